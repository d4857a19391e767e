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
    }
    const RegistryKey k(path);
    EXPECT_TRUE(k.exists());
    EXPECT_EQ(k.readString(QStringLiteral("Usuario")), QStringLiteral("Óptica Peña, S.L. \\ 1"));
    EXPECT_EQ(k.readInteger(QStringLiteral("Puerto")), 465);
    EXPECT_TRUE(k.readBool(QStringLiteral("SSL")));
    EXPECT_FALSE(k.valueExists(QStringLiteral("Nada")));
    EXPECT_EQ(k.readInteger(QStringLiteral("Usuario"), -7), -7) << "not an integer: the default";

    // The same value through QSettings directly, as the mapping promises.
    QSettings direct(QStringLiteral("Quillmore"), QStringLiteral("3.0"));
    EXPECT_EQ(direct.value(QStringLiteral("SMS/P1/Puerto")).toInt(), 465);

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
    EXPECT_EQ(ini.readString(QStringLiteral("rutas"), QStringLiteral("FORMATOS")),
              QStringLiteral("C:\\Quillmore\\Formatos\\new"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("General"), QStringLiteral("Tienda")), 1);

    struct Case {
        const char* section;
        const char* key;
        QString value;
    };
    const QList<Case> cases = {
        {"RUTAS", "Formatos", QStringLiteral("/srv/quillmore/formatos")},
        {"Nueva", "Espacios", QStringLiteral("  con espacios  ")},
        {"Nueva", "Igual", QStringLiteral("a=b;c")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.writeString(QString::fromUtf8(c.section), QString::fromUtf8(c.key), c.value),
                  QString())
            << c.key;

    IniFile again(dir->path());
    for (const Case& c : cases)
        EXPECT_EQ(again.readString(QString::fromUtf8(c.section), QString::fromUtf8(c.key)), c.value)
            << c.key;
    const QByteArray text = readAll(path);
    EXPECT_TRUE(text.startsWith(
        "; configuración del puesto\r\n[RUTAS]\r\nFormatos=/srv/quillmore/formatos\r\n"))
        << text.constData();
}

TEST(IniFileTest, Latin1AndRefusedWrites) {
    auto dir = quilltest::scratch();
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
    EXPECT_FALSE(latin.writeString(QStringLiteral("A]B"), QStringLiteral("k"), QStringLiteral("x"))
                     .isEmpty());
    EXPECT_EQ(readAll(path), before);
}
