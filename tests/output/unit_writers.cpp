#include "exportfixture.h"

#include "testsupport.h"

#include <QDate>

#include <functional>

using namespace quill;
using namespace exporttest;

namespace {

QString u(const char* s) {
    return QString::fromUtf8(s);
}

// Four patients, inserted out of order, with texts that break naive writers: markup, quotes,
// ampersands, ";" and line breaks, accents, a null surname, the empty date and a null date.
void fillPacientes(MemTable& t) {
    definirMemPacientes(t);
    t.open();
    addRow(t, {{"Codigo", 3},
               {"Apellidos", u("Peña")},
               {"Nombre", u("José & <Ana>")},
               {"Direccion", u("C/ \"Mayor\" 5; 2º")},
               {"CodigoPostal", "28001"},
               {"Localidad", "Madrid"},
               {"Provincia", "Madrid"},
               {"Telefono", "912345678"},
               {"Movil", "600111222"},
               {"EMail", "jose@example.com"},
               {"FNacimiento", QDate(1970, 5, 17)},
               {"TotalComprado", 1234.5}});
    addRow(t, {{"Codigo", 1},
               {"Apellidos", u("Álvarez")},
               {"Nombre", "O'Brien"},
               {"Direccion", u("Línea1\nLínea2")},
               {"Localidad", u("A Coruña")},
               {"FNacimiento", QDate(1899, 12, 30)},
               {"TotalComprado", 0}});
    addRow(t, {{"Codigo", 2},
               {"Apellidos", "Penalva"},
               {"Nombre", u("Ñoño")},
               {"Direccion", "Av. <b>Sol</b>; 3\r\nbajo"},
               {"TotalComprado", -7.25}});
    addRow(t, {{"Codigo", 4},
               {"Nombre", "Sin apellidos"},
               {"FNacimiento", QDate(1900, 1, 1)},
               {"TotalComprado", 1e6}});
}

// The same rows as the files must show them, in Spanish surname order (null first, then
// "Álvarez", "Penalva", "Peña": ñ sorts after n), values untouched.
const QList<QStringList> expectedRows = {
    {"4", "", "Sin apellidos", "", "", "", "", "", "", "", "", "01/01/1900", "1000000"},
    {"1", u("Álvarez"), "O'Brien", u("Línea1\nLínea2"), "", u("A Coruña"), "", "", "", "", "", "",
     "0"},
    {"2", "Penalva", u("Ñoño"), "Av. <b>Sol</b>; 3\r\nbajo", "", "", "", "", "", "", "", "",
     "-7,25"},
    {"3", u("Peña"), u("José & <Ana>"), u("C/ \"Mayor\" 5; 2º"), "28001", "Madrid", "Madrid",
     "912345678", "600111222", "", "jose@example.com", "17/05/1970", "1234,5"},
};

QStringList expectedCaptions() {
    return {"Codigo",    "Apellidos",        "Nombre",         "Direccion",      "Cod. Postal",
            "Localidad", "Provincia",        u("Teléfono"),    u("Tfno. Móvil"), "N.I.F",
            "E-Mail",    "Fecha Nacimiento", " Total Comprado"};
}

class Writers : public ::testing::Test {
protected:
    void SetUp() override {
        fillPacientes(table);
        columns = ConfigurarGridExpListGeneral(table, {13, 19});
        dir = quilltest::scratch();
    }
    QString file(const QString& name) const { return dir->filePath(name); }

    MemTable table{QStringLiteral("memPacientes")};
    ExportColumnSet columns;
    std::unique_ptr<QTemporaryDir> dir;
};

QString normalized(QString s) {
    return s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

TEST_F(Writers, TextOneLinePerRowNothingAroundValues) {
    const QString path = file("lista.txt");
    ASSERT_EQ(writeText(table, columns, path), QString());
    const QString text = QString::fromUtf8(readAll(path));
    ASSERT_TRUE(text.endsWith(QLatin1String("\r\n")));
    const QStringList lines = text.chopped(2).split(QLatin1String("\r\n"));
    // ";" and line breaks inside values became blanks; nothing else changed.
    const QStringList expected = {
        u("Codigo;Apellidos;Nombre;Direccion;Cod. Postal;Localidad;Provincia;Teléfono;"
          "Tfno. Móvil;N.I.F;E-Mail;Fecha Nacimiento; Total Comprado"),
        "4;;Sin apellidos;;;;;;;;;01/01/1900;1000000",
        u("1;Álvarez;O'Brien;Línea1 Línea2;;A Coruña;;;;;;;0"),
        u("2;Penalva;Ñoño;Av. <b>Sol</b>  3  bajo;;;;;;;;;-7,25"),
        u("3;Peña;José & <Ana>;C/ \"Mayor\" 5  2º;28001;Madrid;Madrid;912345678;600111222;;"
          "jose@example.com;17/05/1970;1234,5"),
    };
    EXPECT_EQ(lines, expected);
}

// Reads a table of an HTML page (XHTML-compatible) or an XML file: the texts of each row.
struct Parsed {
    QStringList headers;
    QList<QStringList> rows;
    QStringList childNames; // XML: element names of the first row
};

Parsed parseHtml(const QByteArray& bytes) {
    Parsed p;
    QXmlStreamReader x(bytes);
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        if (x.name() == QLatin1String("th"))
            p.headers << x.readElementText();
        else if (x.name() == QLatin1String("tr"))
            p.rows.append(QStringList());
        else if (x.name() == QLatin1String("td"))
            p.rows.last() << x.readElementText();
    }
    EXPECT_FALSE(x.hasError()) << x.errorString().toStdString();
    if (!p.rows.isEmpty() && !p.headers.isEmpty()) p.rows.removeFirst(); // the captions' row
    return p;
}

Parsed parseXml(const QByteArray& bytes) {
    Parsed p;
    QXmlStreamReader x(bytes);
    int depth = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            ++depth;
            if (depth == 1) p.headers << x.name().toString(); // the root
            if (depth == 2) p.rows.append(QStringList());
            if (depth == 3) {
                if (p.rows.size() == 1) p.childNames << x.name().toString();
                p.rows.last() << x.readElementText();
                --depth;
            }
        } else if (x.isEndElement()) {
            --depth;
        }
    }
    EXPECT_FALSE(x.hasError()) << x.errorString().toStdString();
    return p;
}

QList<QStringList> normalizedRows(QList<QStringList> rows) {
    for (QStringList& r : rows)
        for (QString& s : r)
            s = normalized(s);
    return rows;
}

TEST_F(Writers, HtmlParsesAndKeepsHostileText) {
    const QString path = file("lista.html");
    ASSERT_EQ(writeHtml(table, columns, path), QString());
    const QByteArray bytes = readAll(path);
    const Parsed p = parseHtml(bytes);
    EXPECT_EQ(p.headers, expectedCaptions());
    EXPECT_EQ(normalizedRows(p.rows), normalizedRows(expectedRows));
}

TEST_F(Writers, XmlParsesWithSafeNamesAndIntactValues) {
    const QString path = file("lista.xml");
    ASSERT_EQ(writeXml(table, columns, path), QString());
    const QByteArray bytes = readAll(path);
    const Parsed p = parseXml(bytes);
    EXPECT_EQ(p.childNames,
              QStringList({"Codigo", "Apellidos", "Nombre", "Direccion", "Cod._Postal", "Localidad",
                           "Provincia", u("Teléfono"), u("Tfno._Móvil"), "N.I.F", "E-Mail",
                           "Fecha_Nacimiento", "Total_Comprado"}));
    EXPECT_EQ(normalizedRows(p.rows), normalizedRows(expectedRows));
}

TEST_F(Writers, XlsxHoldsCaptionsNumbersDatesAndTexts) {
    const QString path = file("lista.xlsx");
    ASSERT_EQ(writeXlsx(table, columns, path), QString());
    const QMap<QString, XlsxCell> cells = readXlsx(path);

    const QStringList caps = expectedCaptions();
    for (int c = 0; c < caps.size(); ++c) {
        const XlsxCell cell = cells.value(QString(QChar(u'A' + c)) + "1");
        EXPECT_EQ(cell.type, "s") << c;
        EXPECT_EQ(cell.value, caps[c]);
    }
    const int dateCol = 11, totalCol = 12;
    for (int r = 0; r < expectedRows.size(); ++r) {
        const QString row = QString::number(r + 2);
        for (int c = 0; c < caps.size(); ++c) {
            const QString ref = QString(QChar(u'A' + c)) + row;
            const QString want = expectedRows[r][c];
            SCOPED_TRACE(ref.toStdString());
            if (want.isEmpty()) {
                EXPECT_FALSE(cells.contains(ref)); // empty texts, null and empty dates
                continue;
            }
            ASSERT_TRUE(cells.contains(ref));
            const XlsxCell cell = cells.value(ref);
            if (c == 0 || c == totalCol) {
                EXPECT_EQ(cell.type, "n");
                EXPECT_DOUBLE_EQ(cell.value.toDouble(), QString(want).replace(',', '.').toDouble());
            } else if (c == dateCol) {
                EXPECT_EQ(cell.type, "n");
                const QDate d = QDate::fromString(want, "dd/MM/yyyy");
                // Day numbers of the spreadsheet: 1 is 01/01/1900, with its phantom 29/02/1900.
                const qint64 serial = QDate(1899, 12, 30).daysTo(d) - (d < QDate(1900, 3, 1));
                EXPECT_EQ(cell.value, QString::number(serial));
            } else {
                EXPECT_EQ(cell.type, "s");
                EXPECT_EQ(normalized(cell.value), normalized(want));
            }
        }
    }
}

// Each writer, by its function and through the export type code, fails without leaving a
// partial or temporary file and keeps the file it would have replaced.
TEST_F(Writers, FailuresLeaveNoPartialFile) {
    using Write = std::function<QString(const MemTable&, const ExportColumnSet&, const QString&)>;
    const QList<QPair<const char*, Write>> writers = {
        {"xlsx", writeXlsx},
        {"html", writeHtml},
        {"text", writeText},
        {"xml", writeXml},
        {"by type code", [](const MemTable& mt, const ExportColumnSet& cs,
                            const QString& fp) { return writeExport(2, mt, cs, fp); }},
    };
    const QString path = file("lista.out");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("previo");
    }
    const ExportColumnSet bad{{{"Codigo", "Codigo"}, {"NoExiste", "X"}}, QString()};
    for (const auto& [name, write] : writers) {
        SCOPED_TRACE(name);
        const QString missing = file("no/existe/lista.out");
        EXPECT_EQ(write(table, columns, missing),
                  QStringLiteral("La carpeta '%1' no existe: no se ha creado el fichero '%2'")
                      .arg(file("no/existe"), missing));
        EXPECT_EQ(write(table, bad, path),
                  QStringLiteral("La tabla 'memPacientes' no tiene el campo 'NoExiste'"));
        EXPECT_EQ(write(table, columns, dir->path()),
                  QStringLiteral("'%1' es una carpeta, no un fichero").arg(dir->path()));
        EXPECT_EQ(readAll(path), "previo");
        EXPECT_EQ(filesIn(dir->path()), QStringList{"lista.out"});
    }
}

TEST(SmsFile, WrittenThenRewrittenAsPlainText) {
    MemTable sms(QStringLiteral("memSMS"));
    definirMemSMS(sms);
    sms.open();
    addRow(sms, {{"Nombre", u("Zoe Núñez")}, {"Telefono", "600000001"}});
    addRow(sms, {{"Nombre", u("Ana Peña; hija")}, {"Telefono", "711222333"}});
    auto dir = quilltest::scratch();
    const QString path = dir->filePath("sms.txt");
    ASSERT_EQ(writeText(sms, ConfigurarGridSMSExpList(sms), path), QString());
    const QByteArray written = readAll(path);
    ASSERT_EQ(rewriteAsPlainText(path), QString());
    EXPECT_EQ(readAll(path), written);
    EXPECT_EQ(QString::fromUtf8(written),
              u("Nombre;Móvil\r\nAna Peña  hija;711222333\r\nZoe Núñez;600000001\r\n"));

    // Whatever line ends and byte-order mark it had, it comes back as CRLF lines without one.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("\xEF\xBB\xBF"
            "a;1\nb;2");
    f.close();
    ASSERT_EQ(rewriteAsPlainText(path), QString());
    EXPECT_EQ(readAll(path), "a;1\r\nb;2\r\n");
    EXPECT_EQ(filesIn(dir->path()), QStringList{"sms.txt"});
}

} // namespace
