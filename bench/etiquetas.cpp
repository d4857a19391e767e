// Speed of the label path on a General-sized result: the label loop into the document and the
// label library painting the sheets into a PDF (10,000 labels unless given), on every shipped
// sheet format. Writes the PDFs to QUILL_BENCH_DIR (a temporary folder when unset) and renders
// the first sheet of each to PNG with pdftoppm when it is installed, to be looked at.
//   bench_etiquetas [LABELS]

#include "business/tdocumento.h"
#include "output/labels/formatosetiqueta.h"
#include "output/labels/generaretiquetas.h"
#include "output/labels/impresionetiquetas.h"
#include "queries/tablas.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "quill_config.h"
#include <iostream>

using namespace quill;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int etiquetas = argc > 1 && QString::fromLocal8Bit(argv[1]).toInt() > 0
                              ? QString::fromLocal8Bit(argv[1]).toInt()
                              : 10000;
    QTemporaryDir temporal;
    const QString salida = qEnvironmentVariableIsEmpty("QUILL_BENCH_DIR")
                               ? temporal.path()
                               : qEnvironmentVariable("QUILL_BENCH_DIR");
    QDir().mkpath(salida);

    MemTable t;
    definirMemPacientes(t);
    t.open();
    {
        MemTable::ControlsDisabled quiet(t);
        for (int i = 0; i < etiquetas; ++i) {
            QVariantList fila(t.fieldCount());
            fila[t.fieldIndex(QStringLiteral("Codigo"))] = double(i + 1);
            fila[t.fieldIndex(QStringLiteral("Nombre"))] = QStringLiteral("María José %1").arg(i);
            fila[t.fieldIndex(QStringLiteral("Apellidos"))] = QStringLiteral("García Núñez");
            fila[t.fieldIndex(QStringLiteral("Direccion"))] =
                QStringLiteral("Avda. de la Constitución, %1, 3º B").arg(i % 300);
            fila[t.fieldIndex(QStringLiteral("CodigoPostal"))] = QStringLiteral("28001");
            fila[t.fieldIndex(QStringLiteral("Localidad"))] = QStringLiteral("Móstoles");
            fila[t.fieldIndex(QStringLiteral("Provincia"))] = QStringLiteral("Madrid");
            t.appendRecord(fila);
        }
    }
    const QString formatos = QStringLiteral(QUILL_SOURCE_DATA_DIR "/formatos");
    const QString librerias = QStringLiteral(QUILL_BUILD_DIR "/lib");
    const std::intptr_t bloque[2] = {0, 0};
    for (const QString& formato : {QStringLiteral("A4 3x8 70x37"), QStringLiteral("A4 2x7 99,1x38,1"),
                                   QStringLiteral("A4 3x11 70x25,4")}) {
        TDocumento d;
        OpcionesEtiquetas o;
        o.formato = formato;
        QElapsedTimer reloj;
        reloj.start();
        if (LeerFormatoEtiqueta(d, formatos, o) != 0) return 1;
        GenerarEtiquetasDataSet(d, {&t, true}, o);
        const qint64 bucle = reloj.elapsed();
        d.Impresora = QStringLiteral("PDF");
        d.FicheroSalida = QDir(salida).filePath(formato + QStringLiteral(".pdf"));
        TImprimirEtiquetas impresion;
        impresion.setBloque(bloque);
        impresion.setDocumento(&d);
        const qint16 r = impresion.Imprimir(librerias);
        const qint64 total = reloj.elapsed();
        if (r != 0) {
            std::cerr << qPrintable(MensajeImpresionEtiquetas(r, &d)) << "\n";
            return 1;
        }
        std::cout << qPrintable(formato) << ": " << d.NumeroEtiquetas() << " labels, "
                  << d.NumeroHojas() << " sheets; loop " << bucle << " ms, loop + PDF " << total
                  << " ms, " << QFileInfo(d.FicheroSalida).size() / 1024 << " KiB\n";
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                           QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                           QStringLiteral("1"), d.FicheroSalida,
                           QDir(salida).filePath(formato)});
    }
    return 0;
}
