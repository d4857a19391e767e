#include "etiquetas_p.h"

#include "business/tdocumento.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <memory>
#include <vector>

namespace etiquetas {

namespace {

using quill::ComponenteEtiqueta;

// What painting one component needs, prepared once for the whole run.
struct Pieza {
    const ComponenteEtiqueta* c;
    QFont fuente;
    QColor color;
    QColor fondo;
    QImage imagen;
    int alineacion;
};

std::vector<Pieza> preparar(const quill::TDocumento& d) {
    std::vector<Pieza> piezas;
    for (const ComponenteEtiqueta& c : d.Componentes) {
        Pieza p{&c, QFont(c.fuente), QColor(Qt::black), QColor(), QImage(), Qt::AlignLeft};
        p.fuente.setPointSizeF(c.tamano > 0 ? c.tamano : 10);
        p.fuente.setBold(c.negrita);
        p.fuente.setItalic(c.italica);
        p.fuente.setUnderline(c.subrayado);
        p.fuente.setStrikeOut(c.tachado);
        if (!c.colorFuente.isEmpty() && QColor::isValidColorName(c.colorFuente))
            p.color = QColor::fromString(c.colorFuente);
        if (!c.colorFondo.isEmpty() && QColor::isValidColorName(c.colorFondo))
            p.fondo = QColor::fromString(c.colorFondo);
        p.alineacion = c.alineacion == 1 ? Qt::AlignRight
                       : c.alineacion == 2 ? Qt::AlignHCenter
                                           : Qt::AlignLeft;
        if (c.tipo == ComponenteEtiqueta::Imagen && !c.imagen.isEmpty()) p.imagen.load(c.imagen);
        piezas.push_back(p);
    }
    return piezas;
}

void pintarEtiqueta(QPainter& pintor, const std::vector<Pieza>& piezas, const QStringList& valores,
                    double x, double y, double escala) {
    for (const Pieza& p : piezas) {
        const ComponenteEtiqueta& c = *p.c;
        const QRectF r((x + c.izquierda) * escala, (y + c.superior) * escala, c.ancho * escala,
                       std::max(c.alto, 0.1) * escala);
        if (p.fondo.isValid()) pintor.fillRect(r, p.fondo);
        switch (c.tipo) {
        case ComponenteEtiqueta::Texto:
        case ComponenteEtiqueta::Campo:
        case ComponenteEtiqueta::CodigoBarras: {
            const QString v = c.Valor(valores);
            if (v.isEmpty()) break;
            pintor.setFont(p.fuente);
            pintor.setPen(p.color);
            // A text longer than its box is cut with an ellipsis, never spilt onto the next label.
            const QString visible =
                pintor.fontMetrics().elidedText(v, Qt::ElideRight, int(r.width()));
            pintor.drawText(r, p.alineacion | Qt::AlignVCenter | Qt::TextSingleLine, visible);
            break;
        }
        case ComponenteEtiqueta::Regla:
            pintor.fillRect(r, p.color);
            break;
        case ComponenteEtiqueta::Imagen:
            if (!p.imagen.isNull()) {
                const QSizeF s = QSizeF(p.imagen.size()).scaled(r.size(), Qt::KeepAspectRatio);
                pintor.drawImage(QRectF(r.topLeft(), s), p.imagen);
            }
            break;
        default:
            break;
        }
    }
}

} // namespace

qint16 ImprimirHoja(quill::TDocumento& d) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        d.MensajeError = QStringLiteral("La impresión de etiquetas necesita la aplicación gráfica");
        return kSinAplicacion;
    }
    const QPageSize pagina(QSizeF(d.AnchoPapel, d.AltoPapel), QPageSize::Millimeter,
                           QString(), QPageSize::ExactMatch);
    const bool pdf = !d.FicheroSalida.isEmpty() ||
                     d.Impresora.compare(QStringLiteral("PDF"), Qt::CaseInsensitive) == 0;
    // The PDF is written beside its final name and put in place only when complete.
    const QString temporal = d.FicheroSalida + QStringLiteral(".parcial");
    std::unique_ptr<QPagedPaintDevice> dispositivo;
    if (pdf) {
        if (d.FicheroSalida.isEmpty()) {
            d.MensajeError = QStringLiteral("Debe indicar un nombre para el fichero");
            return kSinSalida;
        }
        auto w = std::make_unique<QPdfWriter>(temporal);
        w->setResolution(300);
        w->setCreator(QStringLiteral("Quillmore"));
        w->setTitle(QStringLiteral("Etiquetas"));
        w->setPageSize(pagina);
        w->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        dispositivo = std::move(w);
    } else {
        auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
        p->setPrinterName(d.Impresora);
        if (!p->isValid()) {
            d.MensajeError = QStringLiteral("No se encuentra la impresora '%1'").arg(d.Impresora);
            return kSinSalida;
        }
        p->setDocName(QStringLiteral("Etiquetas"));
        p->setPageSize(pagina);
        p->setFullPage(true);
        dispositivo = std::move(p);
    }
    const std::vector<Pieza> piezas = preparar(d);
    bool correcto = true;
    {
        QPainter pintor;
        if (!pintor.begin(dispositivo.get())) {
            correcto = false;
        } else {
            pintor.setRenderHint(QPainter::TextAntialiasing);
            const double escala = dispositivo->logicalDpiX() / 25.4;
            int hoja = 0;
            for (int n = 0; n < d.NumeroEtiquetas(); ++n) {
                const quill::PosicionEtiqueta p = d.Posicion(n);
                while (hoja < p.hoja) {
                    dispositivo->newPage();
                    ++hoja;
                }
                pintarEtiqueta(pintor, piezas, d.Etiqueta(n), p.x, p.y, escala);
            }
            correcto = pintor.end();
        }
    }
    dispositivo.reset();
    if (!pdf) {
        if (correcto) return 0;
        d.MensajeError = QStringLiteral("No se ha podido imprimir en '%1'").arg(d.Impresora);
        return kSinSalida;
    }
    if (correcto && QFileInfo(temporal).size() > 0) {
        QFile::remove(d.FicheroSalida);
        if (QFile::rename(temporal, d.FicheroSalida)) return 0;
    }
    QFile::remove(temporal);
    d.MensajeError = QStringLiteral("No se ha podido escribir el fichero de etiquetas '%1'")
                         .arg(QDir::toNativeSeparators(d.FicheroSalida));
    return kSinSalida;
}

} // namespace etiquetas
