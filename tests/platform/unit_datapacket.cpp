#include "platform/datapacket.h"
#include "qtprint.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace quill;

namespace {

void defineEveryType(MemTable& t) {
    t.addField(QStringLiteral("ID"), FieldType::Float, 0, true);
    t.addField(QStringLiteral("ENTERO"), FieldType::Integer);
    t.addField(QStringLiteral("CORTO"), FieldType::SmallInt);
    t.addField(QStringLiteral("CAMPO"), FieldType::String, 50);
    t.addField(QStringLiteral("NOTA"), FieldType::Memo);
    t.addField(QStringLiteral("DATOS"), FieldType::Blob);
    t.addField(QStringLiteral("FECHA"), FieldType::Date);
    t.addField(QStringLiteral("MOMENTO"), FieldType::DateTime);
    t.addField(QStringLiteral("ACTIVO"), FieldType::Boolean);
    t.addField(QStringLiteral("IMPORTE"), FieldType::Currency);
}

const QString hostile = QStringLiteral("Peña & \"Hijos\" <S.L.> 'año'\nsegunda línea\r\n\ttab  ");

QList<QVariantList> hostileRows() {
    return {
        {1.0, 2147483647, 32767, hostile, hostile + hostile, QStringLiteral("<blob>&amp;"),
         QDate(2009, 12, 31), QDateTime(QDate(2009, 12, 31), QTime(10, 30, 0, 7)), true, 1234.56},
        {0.1, -2147483647 - 1, -32768, QStringLiteral("  espacios  "),
         QStringLiteral("]]> <!-- no es un comentario -->"), QStringLiteral("\xF0\x9F\x98\x80"),
         QDate(1899, 12, 30), QDateTime(QDate(1899, 12, 30), QTime(0, 0)), false, -0.01},
        {-1.5e-300, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
         QVariant(), QVariant(), QVariant()},
    };
}

QString dump(const MemTable& t) {
    QStringList out;
    for (int r = 0; r < t.recordCount(); ++r) {
        QStringList row;
        for (int f = 0; f < t.fieldCount(); ++f) {
            const QVariant v = t.valueAt(r, f);
            row << (v.isValid() ? QString::fromLatin1(v.metaType().name()) + QLatin1Char(':') +
                                      (v.metaType().id() == QMetaType::QDateTime
                                           ? v.toDateTime().toString(Qt::ISODateWithMs)
                                           : v.toString())
                                : QStringLiteral("null"));
        }
        out << row.join(QLatin1Char('|'));
    }
    return out.join(QLatin1Char('\n'));
}

const QByteArray catalogue =
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"ID\" fieldtype=\"r8\" required=\"true\"/>"
    "<FIELD attrname=\"IDGRUPO\" fieldtype=\"r8\" required=\"true\"/>"
    "<FIELD attrname=\"GRUPO\" fieldtype=\"string\" WIDTH=\"50\"/>"
    "<FIELD attrname=\"CAMPO\" fieldtype=\"string\" WIDTH=\"50\"/>"
    "<FIELD attrname=\"TIPOCAMPO\" fieldtype=\"i2\"/>"
    "<FIELD attrname=\"DESCRIPCION\" fieldtype=\"string\" WIDTH=\"500\"/>"
    "</FIELDS><PARAMS LCID=\"3082\"/></METADATA><ROWDATA>"
    "<ROW RowState=\"4\" ID=\"1\" IDGRUPO=\"0\" GRUPO=\"Paciente\" CAMPO=\"Código\" "
    "TIPOCAMPO=\"0\" DESCRIPCION=\"Código del paciente\"/>"
    "<ROW ID=\"300\" IDGRUPO=\"9\" GRUPO=\"Consumo\" CAMPO=\"Artículo\" TIPOCAMPO=\"5\"/>"
    "<ROW ID=\"2\" IDGRUPO=\"0\" GRUPO=\"Paciente\" CAMPO=\"Nombre\" TIPOCAMPO=\"1\"/>"
    "</ROWDATA></DATAPACKET>";

} // namespace

TEST(DataPacket, EveryFieldTypeRoundTripsWithHostileText) {
    MemTable t;
    defineEveryType(t);
    t.open();
    for (const QVariantList& row : hostileRows())
        t.appendRecord(row);
    QString err;
    const QByteArray xml = writeDataPacket(t, &err);
    ASSERT_EQ(err, QString());

    MemTable back;
    ASSERT_EQ(readDataPacket(back, xml), QString());
    ASSERT_EQ(back.fieldCount(), t.fieldCount());
    for (int f = 0; f < t.fieldCount(); ++f) {
        EXPECT_EQ(back.fieldDef(f).name, t.fieldDef(f).name);
        EXPECT_EQ(back.fieldDef(f).type, t.fieldDef(f).type) << f;
        EXPECT_EQ(back.fieldDef(f).size, t.fieldDef(f).size) << f;
        EXPECT_EQ(back.fieldDef(f).required, t.fieldDef(f).required) << f;
    }
    EXPECT_EQ(dump(back), dump(t));
    // Writing what was read gives the same bytes.
    EXPECT_EQ(writeDataPacket(back), xml);
}

TEST(DataPacket, BadPacketsGiveAMessageAndAnEmptyTable) {
    struct Case {
        const char* name;
        QByteArray xml;
        const char* message; // a part of the expected message
    };
    // clang-format off
    const QList<Case> cases = {
        {"not xml", "esto no es XML", "no es XML válido"},
        {"unclosed", "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>", "incompleto"},
        {"unknown type",
         "<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"A\" fieldtype=\"nested\"/></FIELDS>"
         "</METADATA><ROWDATA/></DATAPACKET>", "tipo desconocido: 'nested'"},
        {"bad number",
         "<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"A\" fieldtype=\"r8\"/></FIELDS>"
         "</METADATA><ROWDATA><ROW A=\"1\"/><ROW A=\"1 OR 1=1\"/></ROWDATA></DATAPACKET>",
         "Fila 2: el valor '1 OR 1=1' del campo 'A' no es válido"},
        {"garbage after the packet", catalogue + "<otro/>", "no es XML válido"},
    };
    // clang-format on
    for (const Case& c : cases) {
        MemTable t;
        t.addField(QStringLiteral("ID"), FieldType::Float);
        t.open();
        t.appendRecord({7.0});
        const QString err = readDataPacket(t, c.xml);
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.message)))
            << c.name << ": " << err.toStdString();
        EXPECT_EQ(t.recordCount(), 0) << c.name;
    }
}

TEST(DataPacket, EveryTruncationOfAPacketIsRefused) {
    MemTable whole;
    ASSERT_EQ(readDataPacket(whole, catalogue), QString());
    EXPECT_EQ(whole.recordCount(), 3);
    for (int n = 0; n < catalogue.size(); ++n) {
        MemTable t;
        const QString err = readDataPacket(t, catalogue.left(n));
        ASSERT_FALSE(err.isEmpty()) << "accepted a packet cut at byte " << n;
        EXPECT_EQ(t.recordCount(), 0);
    }
}

TEST(DataPacket, FilesMissingOrLatin1) {
    auto dir = quilltest::scratch();
    MemTable t;
    const QString missing = dir->filePath(QStringLiteral("Filtros.xml"));
    EXPECT_EQ(loadDataPacket(t, missing), QStringLiteral("No existe el archivo '%1'").arg(missing));

    // An old packet written in Latin-1 without an encoding declaration.
    const QString latin = dir->filePath(QStringLiteral("latin.xml"));
    QFile f(latin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\">"
                           "<METADATA><FIELDS><FIELD attrname=\"CAMPO\" fieldtype=\"string\" "
                           "WIDTH=\"20\"/></FIELDS><PARAMS/></METADATA><ROWDATA>"
                           "<ROW CAMPO=\"Población\"/></ROWDATA></DATAPACKET>")
                .toLatin1());
    f.close();
    ASSERT_EQ(loadDataPacket(t, latin), QString());
    EXPECT_EQ(t.valueAt(0, 0).toString(), QStringLiteral("Población"));
}

TEST(DataPacket, SavingReplacesTheFileWholeOrNotAtAll) {
    auto dir = quilltest::scratch();
    const QString path = dir->filePath(QStringLiteral("Consumo.xml"));
    MemTable t;
    defineEveryType(t);
    t.open();
    t.appendRecord(hostileRows().first());
    ASSERT_EQ(saveDataPacket(t, path), QString());
    MemTable back;
    ASSERT_EQ(loadDataPacket(back, path), QString());
    EXPECT_EQ(dump(back), dump(t));

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    // A value XML cannot carry is refused and the old file stays as it was.
    t.append();
    t.setValue(QStringLiteral("ID"), 2);
    t.setValue(QStringLiteral("CAMPO"), QStringLiteral("a\x01z"));
    t.post();
    const QString err = saveDataPacket(t, path);
    EXPECT_TRUE(err.contains(QStringLiteral("'CAMPO'"))) << err.toStdString();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    f.close();
}
