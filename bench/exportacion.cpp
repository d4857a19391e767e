// Speed of the export writers on a General-sized listing (200,000 rows unless given), with rows
// in surname order and shuffled (the worst case for the writers' sort).
//   bench_exportacion [ROWS]

#include "output/export/columnas.h"
#include "output/export/exportwriters.h"
#include "queries/tablas.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <ctime>
#include <iostream>

using namespace quill;

namespace {

void fill(MemTable& t, int rows, bool shuffled) {
    definirMemPacientes(t);
    t.open();
    const QStringList surnames = {QString::fromUtf8("Álvarez Núñez"),
                                  QString::fromUtf8("García López"),
                                  QString::fromUtf8("Muñoz Íñiguez"),
                                  QStringLiteral("Penalva Sanz"), QString::fromUtf8("Peña Ruiz")};
    MemTable::ControlsDisabled quiet(t);
    for (int i = 0; i < rows; ++i) {
        const int k = shuffled ? int((qint64(i) * 7919) % rows) : i;
        t.appendRecord(
            {i + 1, k + 1,
             surnames[int(qint64(k) * surnames.size() / rows)] + QString::number(1000000 + k),
             QStringLiteral("Nombre%1").arg(i), QString(),
             QStringLiteral("C/ Mayor %1; 2º").arg(i % 300), QStringLiteral("28001"),
             QStringLiteral("Madrid"), QStringLiteral("Madrid"),
             QStringLiteral("91%1").arg(i, 7, 10, QLatin1Char('0')),
             QStringLiteral("6%1").arg(i, 8, 10, QLatin1Char('0')),
             QStringLiteral("%1X").arg(i, 8, 10, QLatin1Char('0')),
             QStringLiteral("p%1@example.com").arg(i)});
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 && QString::fromLocal8Bit(argv[1]).toInt() > 0
                         ? QString::fromLocal8Bit(argv[1]).toInt()
                         : 200000;
    QTemporaryDir dir;
    int failures = 0;
    for (const bool shuffled : {false, true}) {
        MemTable t(QStringLiteral("memPacientes"));
        fill(t, rows, shuffled);
        const ExportColumnSet cols = ConfigurarGridExpListGeneral(t, {});
        struct Format {
            const char* name;
            QString (*write)(const MemTable&, const ExportColumnSet&, const QString&);
        };
        for (const Format& f : {Format{"xlsx", writeXlsx}, Format{"html", writeHtml},
                                Format{"txt", writeText}, Format{"xml", writeXml}}) {
            const QString path =
                dir.filePath(QStringLiteral("lista.") + QString::fromLatin1(f.name));
            QElapsedTimer clock;
            clock.start();
            const std::clock_t cpu = std::clock();
            const QString error = f.write(t, cols, path);
            if (!error.isEmpty()) {
                std::cerr << f.name << ": " << error.toStdString() << "\n";
                ++failures;
                continue;
            }
            std::cout << rows << " rows " << (shuffled ? "shuffled " : "in order ") << f.name
                      << ": " << clock.elapsed() << " ms wall, "
                      << (std::clock() - cpu) * 1000 / CLOCKS_PER_SEC << " ms cpu, "
                      << QFileInfo(path).size() / 1024 << " KiB\n";
        }
    }
    return failures == 0 ? 0 : 1;
}
