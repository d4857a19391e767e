// The General summary report of every patient of a shop database written to PDF: the run and its
// patient table, then the report rendered twice (a tenth of the rows, then all of them), with
// the pages per second of the rendering and the peak memory after each, so that memory growing
// with the page count would show. bench/informes.sh runs it on the 200,000-patient shop.
//   bench_informe_general TIENDA.fdb SALIDA.pdf

#include "output/print/tfrmgeneral.h"
#include "queries/tdmgeneral.h"
#include "sql/database.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

#include <iostream>

namespace {

// Peak resident memory of the process so far, in MB.
double picoMB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmHWM:")) return l.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

// Bare QPdfWriter on this machine now: 200 pages of 55 plain lines, pages per second. The
// machine is shared; the report's figure means most next to this one.
double paginasBase(const QString& fichero) {
    QElapsedTimer reloj;
    reloj.start();
    {
        QPdfWriter w(fichero);
        w.setResolution(300);
        QPainter p(&w);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSizeF(8);
        p.setFont(f);
        for (int pagina = 0; pagina < 200; ++pagina) {
            if (pagina > 0) w.newPage();
            for (int l = 0; l < 55; ++l)
                p.drawText(
                    QPointF(100, 150 + l * 60),
                    QStringLiteral("%1  GARCÍA LÓPEZ, MARÍA  Calle Mayor %2  Madrid  91 555 %3")
                        .arg(pagina * 55 + l)
                        .arg(l)
                        .arg(pagina));
        }
    }
    return 200 / (reloj.elapsed() / 1000.0);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("TZ")) qputenv("TZ", ":/etc/localtime");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::cerr << "Uso: bench_informe_general TIENDA.fdb SALIDA.pdf\n";
        return 1;
    }
    std::cout << "QPdfWriter sin informe: " << paginasBase(args[2]) << " páginas/s\n";
    const QString conexion = QStringLiteral("bench");
    if (const QString e = quill::openDatabase(conexion, {args[1]}); !e.isEmpty()) {
        std::cerr << qPrintable(e) << "\n";
        return 1;
    }
    TdmGeneral dm;
    dm.setConexion(conexion);
    dm.AsignarParticion(QStringLiteral("1"));
    QElapsedTimer reloj;
    reloj.start();
    if (const qint16 r = dm.GenerarSQL(18, 0, true); r != quill::kListadoCorrecto) {
        std::cerr << "Resultado " << r << ": " << qPrintable(dm.ErrorSQL()) << "\n";
        return 1;
    }
    quill::print::TfrmGeneralResumido informe(dm, conexion);
    informe.TextoOrden = QStringLiteral("Apellidos");
    informe.Preparar(); // fills the patient table from the run
    const int filas = informe.report().rowCount;
    std::cout << "consulta y tabla: " << filas << " pacientes en " << reloj.elapsed() / 1000.0
              << " s, pico " << picoMB() << " MB\n";
    for (int parte : {10, 1}) {
        informe.report().rowCount = filas / parte;
        reloj.restart();
        int paginas = 0;
        if (const QString e = informe.EscribirPdf(args[2], &paginas); !e.isEmpty()) {
            std::cerr << qPrintable(e) << "\n";
            return 1;
        }
        const double s = reloj.elapsed() / 1000.0;
        std::cout << "informe: " << informe.report().rowCount << " filas, " << paginas
                  << " páginas en " << s << " s = " << (s > 0 ? paginas / s : 0) << " páginas/s, "
                  << QFile(args[2]).size() / (1024 * 1024) << " MB de PDF, pico " << picoMB()
                  << " MB\n";
    }
    return 0;
}
