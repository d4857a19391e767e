// The report engine on a PDF writer, read back with pdftotext: page breaks with the page header
// from the second page, page footer with the running total so far, title band grown by the
// condition lines, group headers, sub-detail rows with a new page after them, skipped rows, and
// a second pass giving the same pages.

#include "output/print/report.h"
#include "testsupport.h"

#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace quill::print;

namespace {

QStringList paginasPdf(const QString& fichero) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), fichero, QStringLiteral("-")});
    p.waitForFinished(60000);
    QStringList paginas = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!paginas.isEmpty() && paginas.last().trimmed().isEmpty()) paginas.removeLast();
    return paginas;
}

QFont fuente() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(8);
    return f;
}

TEST(Report, PaginasCabecerasPieTotalesYGrupos) {
    Report r;
    r.rowCount = 120;
    r.title().height = 40;
    r.title().addText(QRectF(0, 0, 400, 20), QStringLiteral("TITULO"), fuente());
    r.pageHeader().height = 16;
    r.pageHeader().addText(QRectF(0, 0, 200, 16), QStringLiteral("CABECERA"), fuente());
    double suma = 0;
    Band& pie = r.pageFooter();
    pie.height = 30;
    Item& sigue = pie.addText(QRectF(0, 0, 300, 14), QString(), fuente());
    sigue.dynamicText = [&] { return QStringLiteral("Suma y Sigue %1").arg(suma); };
    pie.addText(QRectF(400, 0, 200, 14), QString(), fuente()).dynamicText = [&] {
        return QStringLiteral("Pagina %1").arg(r.pageNumber());
    };
    // Groups of ten rows; odd rows are skipped.
    r.addGroup([](int row) { return row / 10; }, 16)
        .header->addText(QRectF(0, 0, 300, 16), QString(), fuente())
        .dynamicText = [&] { return QStringLiteral("GRUPO %1").arg(r.currentRow() / 10); };
    Band& d = r.detail();
    d.height = 40;
    Item& fila = d.addText(QRectF(0, 0, 300, 14), QString(), fuente());
    d.beforePrint = [&] {
        if (r.currentRow() % 2) return false;
        fila.text = QStringLiteral("FILA %1").arg(r.currentRow());
        return true;
    };
    d.afterPrint = [&] { suma += r.currentRow(); };
    r.summary().height = 20;
    r.summary().addText(QRectF(0, 0, 300, 14), QString(), fuente()).dynamicText = [&] {
        return QStringLiteral("Suma Total %1").arg(suma);
    };
    r.beforePrint = [&] { suma = 0; };

    auto dir = quilltest::scratch();
    const QString pdf = dir->filePath(QStringLiteral("r.pdf"));
    QStringList primera;
    for (int pasada = 0; pasada < 2; ++pasada) {
        int paginas = 0;
        ASSERT_EQ(writePdf(r, pdf, &paginas), QString());
        const QStringList p = paginasPdf(pdf);
        ASSERT_EQ(p.size(), paginas);
        ASSERT_GT(paginas, 1);
        if (pasada == 0) primera = p;
        EXPECT_EQ(p, primera) << "a second pass prints the same pages";
    }
    double esperada = 0;
    int filas = 0;
    for (int i = 0; i < primera.size(); ++i) {
        SCOPED_TRACE(i);
        const QString& p = primera[i];
        EXPECT_EQ(p.contains(QStringLiteral("TITULO")), i == 0);
        EXPECT_EQ(p.contains(QStringLiteral("CABECERA")), i > 0);
        EXPECT_TRUE(p.contains(QStringLiteral("Pagina %1").arg(i + 1)));
        // The footer shows exactly the rows printed up to this page.
        const QRegularExpression patron(QStringLiteral("FILA (\\d+)"));
        for (auto it = patron.globalMatch(p); it.hasNext();) {
            esperada += it.next().captured(1).toInt();
            ++filas;
        }
        EXPECT_TRUE(p.contains(QStringLiteral("Suma y Sigue %1").arg(esperada)));
    }
    EXPECT_EQ(filas, 60);
    EXPECT_EQ(primera.join(QString()).count(QStringLiteral("GRUPO")), 12);
    EXPECT_TRUE(primera.last().contains(QStringLiteral("Suma Total %1").arg(esperada)));
}

TEST(Report, SubdetalleConPaginaNuevaYBandaQueCrece) {
    Report r;
    r.rowCount = 3;
    Band& d = r.detail();
    d.height = 20;
    Item& nombre = d.addText(QRectF(0, 0, 300, 14), QString(), fuente());
    d.beforePrint = [&] {
        nombre.text = QStringLiteral("PACIENTE %1").arg(r.currentRow());
        return true;
    };
    SubDetail& s = r.addSubDetail(14);
    s.rowCount = [&] { return r.currentRow() + 1; };
    s.band->stretch = true;
    Item& nota = s.band->addText(QRectF(0, 0, 200, 14), QString(), fuente());
    nota.wordWrap = true;
    s.band->beforePrint = [&] {
        // A long text wraps over several lines and the band grows with it.
        nota.text = QStringLiteral("n%1x ").arg(r.currentSubRow()).repeated(40);
        return true;
    };
    s.newPageAfter = true;
    r.pageFooter().height = 20;
    auto dir = quilltest::scratch();
    const QString pdf = dir->filePath(QStringLiteral("s.pdf"));
    int paginas = 0;
    ASSERT_EQ(writePdf(r, pdf, &paginas), QString());
    EXPECT_EQ(paginas, 3) << "one page per detail row, and no empty page at the end";
    const QStringList p = paginasPdf(pdf);
    ASSERT_EQ(p.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(p[i].contains(QStringLiteral("PACIENTE %1").arg(i)));
        // Row i has i + 1 notes.
        EXPECT_EQ(p[i].count(QStringLiteral("n%1x").arg(i)), 40);
        EXPECT_EQ(p[i].count(QStringLiteral("n%1x").arg(i + 1)), 0);
        // Each note wraps over several lines, and the band grows: the notes do not overlap.
        EXPECT_GE(p[i].count(QLatin1Char('\n')), 4 * (i + 1) + 1) << p[i].toStdString();
    }
    // A file that cannot be written leaves nothing behind and says why.
    const QString mal = dir->filePath(QStringLiteral("no/existe/x.pdf"));
    EXPECT_NE(writePdf(r, mal), QString());
    EXPECT_FALSE(QFile::exists(mal));
}

} // namespace
