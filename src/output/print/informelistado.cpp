#include "output/print/informelistado.h"

#include "conditions/condicion.h"
#include "platform/guard.h"
#include "sql/lstutil.h"

#include <QPagedPaintDevice>

#include <algorithm>
#include <cmath>
#include <exception>

namespace quill::print {

namespace {
const QColor kPlata(192, 192, 192);
constexpr int kMaxEtiquetas = 100; // condition labels a form holds
constexpr qreal kLineaCondicion = 13;
constexpr qreal kInicioCondiciones = 34;
} // namespace

QFont Fuente(qreal puntos, bool negrita, bool cursiva) {
    QFont f(QStringLiteral("Verdana"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(puntos);
    f.setBold(negrita);
    f.setItalic(cursiva);
    return f;
}

QString TextoCodigo(const QVariant& codigo) {
    if (codigo.isNull() || !codigo.isValid()) return {};
    bool ok = false;
    const double d = codigo.toDouble(&ok);
    return ok ? QString::number(std::llround(d)) : codigo.toString();
}

QString TextoFecha(const QVariant& fecha) {
    QDate d;
    if (fecha.typeId() == QMetaType::QDateTime)
        d = fecha.toDateTime().date();
    else
        d = fecha.toDate();
    if (!d.isValid() || d == QDate(1899, 12, 30)) return {};
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

QString TextoTelefono(const QString& telefono, const QString& movil) {
    return telefono.trimmed().isEmpty() ? movil.trimmed() : telefono.trimmed();
}

InformeListado::InformeListado(const QString& titulo, const QString& conexion)
    : memCondiciones(QStringLiteral("memCondiciones")), m_titulo(titulo), m_conexion(conexion) {
    for (const char* c : {"Campo", "TipoCondicion", "Condicion1", "Condicion2"})
        memCondiciones.addField(QString::fromLatin1(c), FieldType::String, 255);
    memCondiciones.open();
}

InformeListado::~InformeListado() = default;

void InformeListado::RellenarCondiciones(const QList<FilaCondicion>& filas) {
    memCondiciones.close();
    memCondiciones.open();
    for (const FilaCondicion& f : filas)
        memCondiciones.appendRecord({f.campo, f.condicion, f.condicion1, f.condicion2});
}

TLstUtil& InformeListado::Util() {
    if (!m_util) {
        m_util = std::make_unique<TLstUtil>(m_conexion);
        m_util->setHoy(Hoy);
    }
    return *m_util;
}

QString InformeListado::subtitulo() const {
    return TextoModo + QStringLiteral(". Ordenador Por ") + TextoOrden;
}

bool InformeListado::Proteger(const char* donde, const std::function<bool()>& fn,
                              const std::function<void()>& alFallar) {
    try {
        return fn();
    } catch (const Error& e) {
        m_errores.append(QString::fromLatin1(donde) + QStringLiteral(": ") + e.message());
    } catch (const std::exception& e) {
        m_errores.append(QString::fromLatin1(donde) + QStringLiteral(": ") +
                         QString::fromUtf8(e.what()));
    }
    if (alFallar) alFallar();
    return true;
}

QList<Item*> InformeListado::FilaTextos(Band& banda, const QList<Columna>& cols, qreal y,
                                        qreal alto, const QFont& fuente) {
    QList<Item*> items;
    for (const Columna& c : cols)
        items.append(
            &banda.addText(QRectF(c.x, y, c.ancho, alto), QString(), fuente, c.alineacion));
    return items;
}

qreal InformeListado::CrearEtiquetasCondicion() {
    Band& b = m_report.title();
    for (Item* i : m_etiquetasCondicion)
        i->visible = false;
    int n = 0;
    if (memCondiciones.isOpen() && !memCondiciones.isEmpty()) {
        for (int fila = 0; fila < memCondiciones.recordCount() && n < kMaxEtiquetas; ++fila) {
            QString texto = memCondiciones.textAt(fila, 0) + QLatin1Char(' ') +
                            memCondiciones.textAt(fila, 1) + QStringLiteral(" '") +
                            memCondiciones.textAt(fila, 2) + QLatin1Char('\'');
            const QString segundo = memCondiciones.textAt(fila, 3);
            if (!segundo.isEmpty()) texto += QStringLiteral(" y '") + segundo + QLatin1Char('\'');
            Item* item;
            if (n < m_etiquetasCondicion.size()) {
                item = m_etiquetasCondicion[n];
            } else {
                item = &b.addText(QRectF(8, 0, kBodyWidth - 16, kLineaCondicion), QString(),
                                  Fuente(8));
                m_etiquetasCondicion.append(item);
            }
            item->rect.moveTop(kInicioCondiciones + n * kLineaCondicion);
            item->text = texto;
            item->visible = true;
            ++n;
        }
    }
    return 52 + 4 + n * kLineaCondicion;
}

void InformeListado::construirTitulo() {
    Band& b = m_report.title();
    b.addFrame(QRectF(0, 0, kBodyWidth, 32), Qt::black, 1);
    b.addText(QRectF(4, 1, kBodyWidth - 8, 20), m_titulo, Fuente(14, true, true),
              Qt::AlignHCenter | Qt::AlignVCenter)
        .visible = ImprimirTitulo;
    Item& sub = b.addText(QRectF(4, 20, kBodyWidth - 8, 11), QString(), Fuente(8, false, true),
                          Qt::AlignHCenter | Qt::AlignVCenter);
    for (const Columna& c : columnas())
        m_titulosColumna.append(
            &b.addText(QRectF(c.x, 0, c.ancho, 16), c.titulo, Fuente(8, true), c.alineacion));
    m_alturaTitulo = ImprimirCondiciones ? CrearEtiquetasCondicion() : 52;
    b.height = m_alturaTitulo;
    // Captions sit 20 units above the band's bottom edge, below the conditions.
    b.beforePrint = [this, &sub] {
        sub.text = subtitulo();
        for (Item* i : m_titulosColumna)
            i->rect.moveTop(m_report.title().height - 20);
        return true;
    };
    const QList<Columna> cols = columnas();
    if (!cols.isEmpty()) {
        Band& cab = m_report.pageHeader();
        cab.height = 20;
        for (const Columna& c : cols)
            cab.addText(QRectF(c.x, 1, c.ancho, 16), c.titulo, Fuente(8, true), c.alineacion);
        cab.addLine(QLineF(0, 18, kBodyWidth, 18), kPlata, 1);
        cab.color = Qt::white;
    }
}

void InformeListado::construirPie() {
    Band& b = m_report.pageFooter();
    b.height = 62;
    b.addLine(QLineF(0, 2, kBodyWidth, 2), kPlata, 1);
    const QFont f = Fuente(7);
    const quill::DatosEmpresa& e = m_empresa;
    const QStringList lineas = {e.nombre, e.nif, e.direccion,
                                e.codigoPostal + QStringLiteral(" - ") + e.localidad +
                                    QStringLiteral(" (") + e.provincia + QLatin1Char(')'),
                                QStringLiteral(" Tfno: ") + e.telefono + QStringLiteral(" / ") +
                                    QStringLiteral("Fax: ") + e.fax + QStringLiteral(" / ") +
                                    e.email};
    QList<Item*> empresa;
    for (int i = 0; i < lineas.size(); ++i) {
        Item& it =
            b.addText(QRectF(0, 6 + 10.5 * i, 500, 10.5), lineas[i], i == 0 ? Fuente(7, true) : f);
        empresa.append(&it);
    }
    Item& pagina = b.addText(QRectF(kBodyWidth - 160, 6, 160, 11), QString(), f,
                             Qt::AlignRight | Qt::AlignVCenter);
    pagina.dynamicText = [this] {
        return QStringLiteral("Página ") + QString::number(m_report.pageNumber());
    };
    pagina.visible = NumerarPaginas;
    // Without page numbers the date takes their line.
    b.addText(QRectF(kBodyWidth - 160, NumerarPaginas ? 17 : 6, 160, 11),
              Hoy.toString(QStringLiteral("dd/MM/yyyy")), f, Qt::AlignRight | Qt::AlignVCenter)
        .visible = Fecha;
    b.beforePrint = [this, empresa] {
        for (Item* i : empresa)
            i->visible = DatosEmpresa;
        return true;
    };
}

QString InformeListado::Preparar() {
    if (!m_empresaDada && DatosEmpresa && !m_conexion.isEmpty()) {
        const QString error = LeerDatosEmpresa(m_conexion, m_empresa);
        if (!error.isEmpty()) m_errores.append(error);
    }
    // The form first: its columns head the title band and the page header.
    construir();
    construirTitulo();
    construirPie();
    if (Numerar) construirNumeracion();
    return {};
}

// The number sits in the left margin, beside the row's first line, so no form gives up a
// column for it; it counts the rows that print (a patient printed once counts once).
void InformeListado::construirNumeracion() {
    Band& d = m_report.detail();
    Item& numero = d.addText(QRectF(-kMargin + 2, 0, kMargin - 12, std::min<qreal>(d.height, 14)),
                             QString(), Fuente(8), Qt::AlignRight | Qt::AlignVCenter);
    const auto antes = d.beforePrint;
    d.beforePrint = [this, antes, &numero] {
        const bool imprime = antes ? antes() : true;
        if (imprime) numero.text = QString::number(qint64(NOrden) + m_numerados);
        return imprime;
    };
    const auto despues = d.afterPrint;
    d.afterPrint = [this, despues] {
        if (despues) despues();
        ++m_numerados;
    };
    const auto inicio = m_report.beforePrint;
    m_report.beforePrint = [this, inicio] {
        m_numerados = 0;
        if (inicio) inicio();
    };
}

int InformeListado::Imprimir(QPagedPaintDevice& device) {
    m_errores.clear();
    return m_report.print(device);
}

QString InformeListado::EscribirPdf(const QString& fichero, int* paginas) {
    m_errores.clear();
    return writePdf(m_report, fichero, paginas);
}

} // namespace quill::print
