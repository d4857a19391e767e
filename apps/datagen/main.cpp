// quillmore-datos: creates a demo shop database, or counts the rows of one.

#include "demodatabase.h"

#include "sql/database.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>

#include <atomic>
#include <csignal>

using namespace quill::datagen;

namespace {

// Ctrl+C stops the work at the next patient; the half-made database is then removed.
std::atomic<bool> interrupted{false};
extern "C" void onInterrupt(int) {
    interrupted = true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString error;
    const Options o = parseArguments(app.arguments().mid(1), &error);
    if (!error.isEmpty()) {
        err << error << "\n\n" << usageText();
        return 2;
    }
    switch (o.mode) {
    case Options::Mode::Help:
        out << usageText();
        return 0;
    case Options::Mode::Summary: {
        QList<QPair<QString, qint64>> rows;
        error = countRows(o.resumen, &rows);
        if (!error.isEmpty()) {
            err << error << "\n";
            return 1;
        }
        for (const auto& [table, count] : rows)
            out << table.leftJustified(20) << ' ' << QString::number(count).rightJustified(10)
                << "\n";
        return 0;
    }
    case Options::Mode::Generate:
        break;
    }

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    Report report;
    error = createDemoDatabase(
        o, quill::defaultSchemaDir(), &report,
        [&](const QString& s) {
            // The database engine installs its own handlers when it attaches (they cut the
            // connection mid-statement); ours stop cleanly between patients instead.
            std::signal(SIGINT, onInterrupt);
            std::signal(SIGTERM, onInterrupt);
            out << s << "\n";
            out.flush();
        },
        &interrupted);
    if (!error.isEmpty()) {
        err << error << "\n";
        return 1;
    }
    qint64 total = 0;
    for (qint64 n : report.rows)
        total += n;
    const QLocale es(QLocale::Spanish, QLocale::Spain);
    out << QStringLiteral("Base de datos creada: %1\n").arg(o.salida);
    out << QStringLiteral("%1 filas en %2 tablas, %3 MB, %4 s\n")
               .arg(es.toString(total))
               .arg(report.rows.size())
               .arg(es.toString(static_cast<double>(report.bytes) / (1024.0 * 1024.0), 'f', 1))
               .arg(es.toString(report.seconds, 'f', 1));
    for (const QString& c : report.missingColumns)
        err << QStringLiteral("Aviso: la columna %1 no existe en el esquema; se ha omitido.\n")
                   .arg(c);
    return 0;
}
