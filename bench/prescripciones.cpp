// Prescription sheets on a shop database: runs the kind's data module as a print would (optics:
// spectacles and contact lenses into memPrescripciones; hearing aids: fittings with notes,
// devices and audiograms into memPresAudifono) and prints the sheets made and the time taken.
// bench/prescripciones.sh times it against isql-fb fetching the same statements.
//   bench_prescripciones TIENDA.fdb optica|audifonos

#include "platform/memtable.h"
#include "queries/tdmprescripciones.h"
#include "sql/database.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <iostream>

int main(int argc, char** argv) {
    // As the runner and the host do: the time-zone file is read once, not on every timestamp
    // the database driver converts.
    if (qEnvironmentVariableIsEmpty("TZ")) qputenv("TZ", ":/etc/localtime");
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[2] != "optica" && args[2] != "audifonos")) {
        std::cerr << "Uso: bench_prescripciones TIENDA.fdb optica|audifonos\n";
        return 1;
    }
    const QString conexion = QStringLiteral("bench");
    const QString error = quill::openDatabase(conexion, {args[1]});
    if (!error.isEmpty()) {
        std::cerr << qPrintable(error) << "\n";
        return 1;
    }
    int hojas = 0;
    QElapsedTimer reloj;
    reloj.start();
    {
        TdmPrescripciones dm;
        dm.setConexion(conexion);
        const bool optica = args[2] == "optica";
        if (!optica) {
            dm.TipoPrescripcion = QStringLiteral("Audiometría");
            dm.ImprimirObservaciones = true;
        }
        const qint16 r = dm.GenerarSQL(0, 0, true);
        if (r != quill::kListadoCorrecto) {
            std::cerr << "Resultado " << r << ": " << qPrintable(dm.ErrorSQL()) << "\n";
            return 1;
        }
        hojas = optica ? dm.memPrescripciones->recordCount() : dm.memPresAudifono->recordCount();
    }
    std::cout << hojas << " hojas en " << reloj.elapsed() / 1000.0 << " s\n";
    quill::closeDatabase(conexion);
    return 0;
}
