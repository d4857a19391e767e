#include "etiquetas_p.h"

#include "business/tdocumento.h"

#include <QDir>
#include <QProcess>
#include <QSaveFile>

#include <cmath>

namespace etiquetas {

namespace {

// EPL/2 printers of 203 dpi: 8 dots per millimetre.
int puntos(double mm) {
    return int(std::lround(mm * 8.0));
}

// The resident font whose height best matches a size in points (1 smallest ... 5 largest).
int fuente(double tamano) {
    if (tamano <= 8) return 1;
    if (tamano <= 10) return 2;
    if (tamano <= 12) return 3;
    if (tamano <= 16) return 4;
    return 5;
}

// Quoted data: backslash and double quote are escaped; the text goes in Latin-1 (code page
// selected by I8,A).
QByteArray dato(const QString& texto) {
    QString t = texto;
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    t.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return '"' + t.toLatin1() + '"';
}

} // namespace

QByteArray ComandosEPL2(const quill::TDocumento& d) {
    using quill::ComponenteEtiqueta;
    QByteArray s;
    const int rotar = std::clamp(d.Rotar, 0, 3);
    // Set-up once: code page, label width, label length with the gap, the left margin.
    s += "I8,A,034\n";
    s += "q" + QByteArray::number(puntos(d.AnchoEtiqueta - d.MargenIzquierdo - d.MargenDerecho)) +
         "\n";
    s += "Q" + QByteArray::number(puntos(d.AltoEtiqueta)) + "," +
         QByteArray::number(puntos(d.EspacioVertical)) + "\n";
    s += "R" + QByteArray::number(puntos(d.MargenIzquierdo)) + ",0\n";
    for (int n = 0; n < d.NumeroEtiquetas(); ++n) {
        const QStringList& valores = d.Etiqueta(n);
        s += "N\n";
        for (const ComponenteEtiqueta& c : d.Componentes) {
            const QByteArray xy = QByteArray::number(puntos(c.izquierda)) + "," +
                                  QByteArray::number(puntos(c.superior)) + "," +
                                  QByteArray::number(rotar) + ",";
            switch (c.tipo) {
            case ComponenteEtiqueta::Texto:
            case ComponenteEtiqueta::Campo: {
                const QString v = c.Valor(valores);
                if (v.isEmpty()) break;
                s += "A" + xy + QByteArray::number(fuente(c.tamano)) + ",1,1,N," + dato(v) + "\n";
                break;
            }
            case ComponenteEtiqueta::CodigoBarras: {
                const QString v = c.Valor(valores);
                if (v.isEmpty()) break;
                // Code 128 (auto subset), narrow bar 2 dots, wide 5, with its human-readable line.
                s += "B" + xy + "1,2,5," + QByteArray::number(puntos(c.alto)) + ",B," + dato(v) +
                     "\n";
                break;
            }
            case ComponenteEtiqueta::Regla:
                s += "LO" + QByteArray::number(puntos(c.izquierda)) + "," +
                     QByteArray::number(puntos(c.superior)) + "," +
                     QByteArray::number(std::max(1, puntos(c.ancho))) + "," +
                     QByteArray::number(std::max(1, puntos(c.alto))) + "\n";
                break;
            default:
                // Images need a stored graphic on the printer: not sent.
                break;
            }
        }
        s += "P1\n";
    }
    return s;
}

qint16 ImprimirEPL2(quill::TDocumento& d) {
    const QByteArray comandos = ComandosEPL2(d);
    if (!d.FicheroSalida.isEmpty()) {
        QSaveFile f(d.FicheroSalida);
        if (!f.open(QIODevice::WriteOnly) || f.write(comandos) != comandos.size() || !f.commit()) {
            d.MensajeError = QStringLiteral("No se ha podido escribir el fichero de etiquetas '%1'")
                                 .arg(QDir::toNativeSeparators(d.FicheroSalida));
            return kSinEscritura;
        }
        return 0;
    }
    if (d.Impresora.trimmed().isEmpty()) {
        d.MensajeError = QStringLiteral("Debe indicar una Impresora");
        return kSinSalida;
    }
    // The commands go byte for byte to the printer's raw queue.
    QProcess lp;
    lp.start(QStringLiteral("lp"), {QStringLiteral("-d"), d.Impresora, QStringLiteral("-o"),
                                    QStringLiteral("raw"), QStringLiteral("-t"),
                                    QStringLiteral("Etiquetas")});
    if (!lp.waitForStarted(10000)) {
        d.MensajeError =
            QStringLiteral("No se ha podido enviar las etiquetas a la impresora '%1'").arg(d.Impresora);
        return kColaRechaza;
    }
    lp.write(comandos);
    lp.closeWriteChannel();
    if (!lp.waitForFinished(60000) || lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0) {
        d.MensajeError = QStringLiteral("La impresora '%1' no ha aceptado las etiquetas: %2")
                             .arg(d.Impresora, QString::fromLocal8Bit(lp.readAllStandardError()).trimmed());
        return kColaRechaza;
    }
    return 0;
}

} // namespace etiquetas
