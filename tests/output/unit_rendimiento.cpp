// Speed of the writers on a benchmark-sized listing. Disabled in the normal run (no timing is
// asserted); run with --gtest_also_run_disabled_tests --gtest_filter='*Rendimiento*'.
// QUILL_EXPORT_ROWS changes the number of rows (200,000 by default).

#include "exportfixture.h"

#include "testsupport.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <ctime>
#include <iostream>

using namespace quill;

namespace {

// Rows as the General query returns them: already ordered by surname, or (shuffled) in an
// order unrelated to it, the worst case for the writers' sort.
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

TEST(Rendimiento, DISABLED_DoscientasMilFilas) {
    const int rows = qEnvironmentVariableIntValue("QUILL_EXPORT_ROWS") > 0
                         ? qEnvironmentVariableIntValue("QUILL_EXPORT_ROWS")
                         : 200000;
    auto dir = quilltest::scratch();
    for (const bool shuffled : {false, true}) {
        MemTable t(QStringLiteral("memPacientes"));
        fill(t, rows, shuffled);
        const ExportColumnSet cols = ConfigurarGridExpListGeneral(t, {});
        ASSERT_EQ(cols.columns.size(), 11);
        struct Format {
            const char* name;
            QString (*write)(const MemTable&, const ExportColumnSet&, const QString&);
        };
        for (const Format& f : {Format{"xlsx", writeXlsx}, Format{"html", writeHtml},
                                Format{"txt", writeText}, Format{"xml", writeXml}}) {
            const QString path =
                dir->filePath(QStringLiteral("lista.") + QString::fromLatin1(f.name));
            QElapsedTimer clock;
            clock.start();
            const std::clock_t cpu = std::clock();
            EXPECT_EQ(f.write(t, cols, path), QString());
            std::cout << rows << " rows " << (shuffled ? "shuffled " : "in order ") << f.name
                      << ": " << clock.elapsed() << " ms wall, "
                      << (std::clock() - cpu) * 1000 / CLOCKS_PER_SEC << " ms cpu, "
                      << QFileInfo(path).size() / 1024 << " KiB\n";
        }
    }
}
