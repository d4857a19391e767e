#include "platform/libreria.h"
#include "qtprint.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace quill;

TEST(LibraryTest, WindowsNamesMapToSharedObjectsInTheFolder) {
    struct Case {
        const char* folder;
        const char* name;
        QString path;
    };
    const QList<Case> cases = {
        {"/opt/quillmore", "fltCampoArticulo.dll",
         QStringLiteral("/opt/quillmore/libfltCampoArticulo.so")},
        {"/opt/quillmore/", "bcrPaciente.DLL", QStringLiteral("/opt/quillmore/libbcrPaciente.so")},
        {"/opt/quillmore", "libetiquetas.so", QStringLiteral("/opt/quillmore/libetiquetas.so")},
        {"/opt/quillmore", "C:\\Quillmore\\semapi.dll",
         QStringLiteral("/opt/quillmore/libsemapi.so")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Library::pathFor(QString::fromLatin1(c.folder), QString::fromLatin1(c.name)),
                  c.path)
            << c.name;
}

TEST(LibraryTest, LoadsAndResolvesOrSaysWhyNot) {
    const QString folder = quilltest::buildDir() + QStringLiteral("/lib");
    Library lib;
    ASSERT_TRUE(lib.load(folder, QStringLiteral("quillfixture.dll")))
        << lib.errorString().toStdString();
    using Entry = int (*)(int);
    const Entry entry = lib.resolveAs<Entry>("_Cargar_Dll");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry(20), 41);
    EXPECT_EQ(lib.resolve("Liberar_Dll"), nullptr);
    EXPECT_EQ(lib.errorString(),
              QStringLiteral("La librería '%1/libquillfixture.so' no tiene el punto de "
                             "entrada 'Liberar_Dll'")
                  .arg(folder));

    Library missing;
    EXPECT_FALSE(missing.load(folder, QStringLiteral("noexiste.dll")));
    EXPECT_EQ(missing.errorString(),
              QStringLiteral("No se encuentra la librería '%1/libnoexiste.so'").arg(folder));
    EXPECT_EQ(missing.resolve("_Cargar_Dll"), nullptr);
    EXPECT_EQ(missing.errorString(), QStringLiteral("La librería no está cargada"));

}
