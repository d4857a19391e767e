// The host program's window driving the real module library: the block it fills, windows opened
// through Cargar_Dll, and the workstation file a first run writes.

#include "hostconfig.h"
#include "hostwindow.h"
#include "platform/settings.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include "quill_config.h"

namespace {

class Anfitrion : public ::testing::Test {
protected:
    void SetUp() override {
        dir = quilltest::scratch();
        qputenv("XDG_CONFIG_HOME", dir->filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", dir->filePath(QStringLiteral("datos")).toUtf8());
        opciones.iniPath = dir->filePath(QStringLiteral("Quillmore.ini"));
        opciones.libDir = quilltest::buildDir() + QStringLiteral("/lib");
    }
    std::unique_ptr<QTemporaryDir> dir;
    quill::HostOptions opciones;
};

} // namespace

TEST_F(Anfitrion, FirstRunWritesTheWorkstationFileAndKeepsWhatIsThere) {
    const quill::HostPaths p =
        quill::loadWorkstationPaths(opciones.iniPath, QStringLiteral("/opt/q/lib"));
    EXPECT_EQ(p.programa, QStringLiteral("/opt/q/lib"));
    EXPECT_EQ(p.paquetes, QStringLiteral(QUILL_SOURCE_DATA_DIR));
    EXPECT_TRUE(QDir(p.filtros).exists());
    // A new formats folder gets the shipped label formats.
    EXPECT_TRUE(QFile::exists(p.formatos + QStringLiteral("/A4 3x8 70x37.fqm")));

    quill::IniFile ini(dir->path());
    EXPECT_EQ(ini.keys(QStringLiteral("RUTAS")).size(), 5);

    // A value the shop wrote is read as it is, never replaced by a default.
    ASSERT_EQ(ini.writeString(QStringLiteral("RUTAS"), QStringLiteral("PAQUETES"),
                              QStringLiteral("C:\\Quillmore\\Datos")),
              QString());
    const quill::TConfPuesto c = quill::loadWorkstation(opciones.iniPath, QStringLiteral("/x"));
    EXPECT_EQ(c.CarpetaPaquetes, QStringLiteral("C:\\Quillmore\\Datos"));
    EXPECT_EQ(c.CarpetaFormatos, p.formatos);
    EXPECT_EQ(c.CarpetaLibrerias, QStringLiteral("/opt/q/lib"));
}

TEST_F(Anfitrion, TheModuleOpensIndependentWindowsInTheHostArea) {
    tiendaprueba::Tienda tienda;
    ASSERT_EQ(tienda.crear(QStringLiteral("anfitrion")), QString());
    opciones.connectionName = QStringLiteral("anfitrion");
    opciones.partition = 2;
    opciones.userNumber = 12;
    // A message box shown by the module's real dialogs would wait for a user: close any that
    // appears and remember it.
    QStringList vistos;
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            vistos << w->windowTitle();
            w->close();
        }
    });
    vigia.start(50);
    {
        quill::HostWindow host(opciones);
        host.show();
        ASSERT_EQ(host.loadModule(), QString());

        // The block as the module reads it.
        EXPECT_EQ(quill::slotPartition(host.block().data()), 2);

        EXPECT_EQ(host.openListing(), 0);
        EXPECT_EQ(host.openListing(), 0);
        const auto ventanas = host.mdiArea()->subWindowList();
        ASSERT_EQ(ventanas.size(), 2);
        EXPECT_EQ(ventanas.at(1)->widget()->objectName(), QStringLiteral("frmListado"));
        // Closing one leaves the other.
        ventanas.at(0)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(host.mdiArea()->subWindowList().size(), 1);
        EXPECT_EQ(tienda.valor(QStringLiteral("SELECT COUNT(*) FROM ACCESO")).toInt(), 1);
        // The host closing closes the rest, each logging once.
        host.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(tienda.valor(QStringLiteral("SELECT COUNT(*) FROM ACCESO")).toInt(), 2);
    EXPECT_EQ(tienda.valor(QStringLiteral("SELECT MIN(ID_USUARIO) FROM ACCESO")).toInt(), 12);
    EXPECT_TRUE(vistos.isEmpty()) << vistos.join(QLatin1Char(' ')).toStdString();
}
