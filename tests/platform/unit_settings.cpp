#include "platform/settings.h"
#include "qtprint.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

using namespace quill;

namespace {

// Every registry test writes under a scratch configuration folder of its own.
struct Registry : ::testing::Test {
    std::unique_ptr<QTemporaryDir> dir = quilltest::scratch();
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", dir->path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
    }
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST_F(Registry, ValuesWrittenUnderAKeyReadBackThroughTheSameKey) {
    const QString path = QStringLiteral("\\Software\\Quillmore\\3.0\\SMS\\P1");
    {
        const RegistryKey k(path);
        EXPECT_FALSE(k.exists());
        EXPECT_EQ(
            k.writeString(QStringLiteral("Usuario"), QStringLiteral("Óptica Peña, S.L. \\ 1")),
            QString());
        EXPECT_EQ(k.writeInteger(QStringLiteral("Puerto"), 465), QString());
        EXPECT_EQ(k.writeBool(QStringLiteral("SSL"), true), QString());
        EXPECT_EQ(k.writeBool(QStringLiteral("Bcc"), false), QString());
    }
    const RegistryKey k(path);
    EXPECT_TRUE(k.exists());
    EXPECT_EQ(k.readString(QStringLiteral("Usuario")), QStringLiteral("Óptica Peña, S.L. \\ 1"));
    EXPECT_EQ(k.readInteger(QStringLiteral("Puerto")), 465);
    EXPECT_TRUE(k.readBool(QStringLiteral("SSL")));
    EXPECT_FALSE(k.readBool(QStringLiteral("Bcc"), true));
    EXPECT_TRUE(k.valueExists(QStringLiteral("Puerto")));
    EXPECT_FALSE(k.valueExists(QStringLiteral("Nada")));
    EXPECT_EQ(k.readInteger(QStringLiteral("Usuario"), -7), -7) << "not an integer: the default";
    EXPECT_EQ(k.readString(QStringLiteral("Nada"), QStringLiteral("x")), QStringLiteral("x"));

    // The same value through QSettings directly, as the mapping promises.
    QSettings direct(QStringLiteral("Quillmore"), QStringLiteral("3.0"));
    EXPECT_EQ(direct.value(QStringLiteral("SMS/P1/Puerto")).toInt(), 465);

    const RegistryKey sms(QStringLiteral("\\Software\\Quillmore\\3.0\\SMS"));
    EXPECT_EQ(RegistryKey(QStringLiteral("\\Software\\Quillmore\\3.0\\SMS\\P2"))
                  .writeString(QStringLiteral("Usuario"), QStringLiteral("b")),
              QString());
    EXPECT_EQ(sms.subKeys(), (QStringList{"P1", "P2"}));
    EXPECT_TRUE(sms.exists());
    EXPECT_EQ(k.valueNames(), (QStringList{"Bcc", "Puerto", "SSL", "Usuario"}));

    EXPECT_EQ(k.deleteValue(QStringLiteral("Puerto")), QString());
    EXPECT_FALSE(k.valueExists(QStringLiteral("Puerto")));
    EXPECT_FALSE(k.writeString(QStringLiteral("a/b"), QStringLiteral("x")).isEmpty());
}

TEST(IniFileTest, SectionsRoundTripAndForeignLinesStay) {
    auto dir = quilltest::scratch();
    const QString path = dir->filePath(QStringLiteral("Quillmore.ini"));
    writeFile(path,
              "; configuración del puesto\r\n[RUTAS]\r\nFormatos=C:\\Quillmore\\Formatos\\new\r\n"
              "Lista = a, b ,c\r\n\r\n[General]\r\nTienda=1\r\n");
    IniFile ini(dir->path());
    EXPECT_EQ(ini.path(), path);
    EXPECT_EQ(ini.sections(), (QStringList{"RUTAS", "General"}));
    EXPECT_EQ(ini.readString(QStringLiteral("rutas"), QStringLiteral("FORMATOS")),
              QStringLiteral("C:\\Quillmore\\Formatos\\new"));
    EXPECT_EQ(ini.readString(QStringLiteral("RUTAS"), QStringLiteral("Lista")),
              QStringLiteral("a, b ,c"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("General"), QStringLiteral("Tienda")), 1);

    struct Case {
        const char* section;
        const char* key;
        QString value;
    };
    const QList<Case> cases = {
        {"RUTAS", "Formatos", QStringLiteral("/srv/quillmore/formatos")},
        {"RUTAS", "Etiquetas", QStringLiteral("D:\\Etiquetas, Año 2024")},
        {"Nueva", "Espacios", QStringLiteral("  con espacios  ")},
        {"Nueva", "Igual", QStringLiteral("a=b;c")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.writeString(QString::fromUtf8(c.section), QString::fromUtf8(c.key), c.value),
                  QString())
            << c.key;
    EXPECT_EQ(ini.writeBool(QStringLiteral("General"), QStringLiteral("Demo"), true), QString());

    IniFile again(dir->path());
    for (const Case& c : cases)
        EXPECT_EQ(again.readString(QString::fromUtf8(c.section), QString::fromUtf8(c.key)), c.value)
            << c.key;
    EXPECT_TRUE(again.readBool(QStringLiteral("General"), QStringLiteral("Demo")));
    EXPECT_EQ(again.keys(QStringLiteral("RUTAS")), (QStringList{"Formatos", "Lista", "Etiquetas"}));
    const QByteArray text = readAll(path);
    EXPECT_TRUE(text.startsWith(
        "; configuración del puesto\r\n[RUTAS]\r\nFormatos=/srv/quillmore/formatos\r\n"))
        << text.constData();

    EXPECT_EQ(again.deleteKey(QStringLiteral("RUTAS"), QStringLiteral("Lista")), QString());
    EXPECT_EQ(again.eraseSection(QStringLiteral("Nueva")), QString());
    IniFile third(dir->path());
    EXPECT_FALSE(third.valueExists(QStringLiteral("RUTAS"), QStringLiteral("Lista")));
    EXPECT_FALSE(third.sectionExists(QStringLiteral("Nueva")));
    EXPECT_TRUE(third.sectionExists(QStringLiteral("General")));
}

TEST(IniFileTest, MissingLatin1AndRefusedWrites) {
    auto dir = quilltest::scratch();
    IniFile none(dir->path());
    EXPECT_FALSE(none.fileExists());
    EXPECT_EQ(none.readString(QStringLiteral("RUTAS"), QStringLiteral("X"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(none.writeString(QStringLiteral("RUTAS"), QStringLiteral("Datos"),
                               QStringLiteral("C:\\Datos")),
              QString());
    EXPECT_EQ(readAll(none.path()), QByteArray("[RUTAS]\r\nDatos=C:\\Datos\r\n"));

    // Written by a Windows program in its code page; it stays in that code page.
    const QString path = dir->filePath(QStringLiteral("Quillmore.ini"));
    writeFile(path, QStringLiteral("[RUTAS]\r\nLogo=C:\\Óptica\\logo.bmp\r\n").toLatin1());
    IniFile latin(dir->path());
    EXPECT_EQ(latin.readString(QStringLiteral("RUTAS"), QStringLiteral("Logo")),
              QStringLiteral("C:\\Óptica\\logo.bmp"));
    EXPECT_EQ(
        latin.writeString(QStringLiteral("RUTAS"), QStringLiteral("Año"), QStringLiteral("ñ")),
        QString());
    EXPECT_EQ(readAll(path),
              QStringLiteral("[RUTAS]\r\nLogo=C:\\Óptica\\logo.bmp\r\nAño=ñ\r\n").toLatin1());

    const QByteArray before = readAll(path);
    EXPECT_FALSE(
        latin.writeString(QStringLiteral("RUTAS"), QStringLiteral("X"), QStringLiteral("a\nb"))
            .isEmpty());
    EXPECT_FALSE(
        latin.writeString(QStringLiteral("RUTAS"), QStringLiteral("a=b"), QStringLiteral("x"))
            .isEmpty());
    EXPECT_FALSE(latin.writeString(QStringLiteral("A]B"), QStringLiteral("k"), QStringLiteral("x"))
                     .isEmpty());
    EXPECT_EQ(readAll(path), before);

    IniFile nowhere(dir->filePath(QStringLiteral("no/existe")));
    EXPECT_FALSE(
        nowhere.writeString(QStringLiteral("RUTAS"), QStringLiteral("X"), QStringLiteral("y"))
            .isEmpty());
}
