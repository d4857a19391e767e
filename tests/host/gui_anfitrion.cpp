// The host program's window driving the real module library: the block it fills, windows opened
// through Cargar_Dll, and the workstation file a first run writes.

#include "hostconfig.h"
#include "hostwindow.h"
#include "platform/settings.h"
#include "testsupport.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include "quill_config.h"

namespace {

// A message box shown by the module's real dialogs would wait for a user: close any that
// appears and remember it.
class Vigia {
public:
    Vigia() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                m_vistos << w->windowTitle();
                w->close();
            }
        });
        m_timer.start(50);
    }
    const QStringList& vistos() const { return m_vistos; }

private:
    QTimer m_timer;
    QStringList m_vistos;
};

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
    EXPECT_EQ(p.librerias, QStringLiteral("/opt/q/lib"));
    EXPECT_EQ(p.paquetes, QStringLiteral(QUILL_SOURCE_DATA_DIR));
    EXPECT_TRUE(p.filtros.startsWith(dir->path())) << p.filtros.toStdString();
    EXPECT_TRUE(QDir(p.filtros).exists());
    EXPECT_TRUE(QDir(p.formatos).exists());

    quill::IniFile ini(dir->path());
    for (const char* clave : {"PROGRAMA", "LIBRERIAS", "PAQUETES", "FILTROS", "FORMATOS"})
        EXPECT_TRUE(ini.valueExists(QStringLiteral("RUTAS"), QString::fromLatin1(clave))) << clave;

    // A value the shop wrote is read as it is, never replaced by a default.
    ASSERT_EQ(ini.writeString(QStringLiteral("RUTAS"), QStringLiteral("PAQUETES"),
                              QStringLiteral("C:\\Quillmore\\Datos")),
              QString());
    ASSERT_EQ(
        ini.writeString(QStringLiteral("PUESTO"), QStringLiteral("NUMERO"), QStringLiteral("4")),
        QString());
    const quill::TConfPuesto c = quill::loadWorkstation(opciones.iniPath, QStringLiteral("/x"));
    EXPECT_EQ(c.CarpetaPaquetes, QStringLiteral("C:\\Quillmore\\Datos"));
    EXPECT_EQ(c.CarpetaPrograma, QStringLiteral("/opt/q/lib"));
    EXPECT_EQ(c.Puesto, 4);
    EXPECT_EQ(c.ValorFiltro, 0);

    // Mail settings come from the user's "\Software\Quillmore\3.0\CorreoE".
    quill::RegistryKey correo(QStringLiteral("\\Software\\Quillmore\\3.0\\CorreoE"));
    ASSERT_EQ(
        correo.writeString(QStringLiteral("DesServidor"), QStringLiteral("smtp.tienda.local")),
        QString());
    ASSERT_EQ(correo.writeInteger(QStringLiteral("DesPuerto"), 465), QString());
    const quill::TConfPuesto m = quill::loadWorkstation(opciones.iniPath, QStringLiteral("/x"));
    EXPECT_EQ(m.DesServidor, QStringLiteral("smtp.tienda.local"));
    EXPECT_EQ(m.DesPuerto, 465);
}

TEST_F(Anfitrion, TheModuleOpensIndependentWindowsInTheHostArea) {
    tiendaprueba::Tienda tienda;
    ASSERT_EQ(tienda.crear(QStringLiteral("anfitrion")), QString());
    opciones.connectionName = QStringLiteral("anfitrion");
    opciones.partition = 2;
    opciones.userNumber = 12;
    Vigia vigia;
    {
        quill::HostWindow host(opciones);
        host.show();
        ASSERT_EQ(host.loadModule(), QString());

        // The block as the module reads it.
        const quill::HostBlock& b = host.block();
        EXPECT_EQ(reinterpret_cast<QWidget*>(b[quill::SlotOwner]), &host);
        EXPECT_EQ(
            quill::slotObject<quill::HostConnection>(b.data(), quill::SlotDatabase)->connectionName,
            QStringLiteral("anfitrion"));
        EXPECT_EQ(quill::slotObject<quill::TUsuario>(b.data(), quill::SlotUser)->Numero, 12.0);
        EXPECT_EQ(quill::slotPartition(b.data()), 2);
        EXPECT_EQ(
            quill::slotObject<quill::TConfPuesto>(b.data(), quill::SlotSettings)->CarpetaPaquetes,
            QStringLiteral(QUILL_SOURCE_DATA_DIR));

        EXPECT_EQ(host.openListing(), 0);
        EXPECT_EQ(host.openListing(), 0);
        const auto ventanas = host.mdiArea()->subWindowList();
        ASSERT_EQ(ventanas.size(), 2);
        EXPECT_NE(ventanas.at(0)->widget(), ventanas.at(1)->widget());
        for (QMdiSubWindow* v : ventanas) {
            EXPECT_EQ(v->widget()->objectName(), QStringLiteral("frmListado"));
            EXPECT_EQ(v->widget()->windowTitle(), QStringLiteral("Listado de Pacientes"));
            EXPECT_TRUE(v->isVisible());
        }
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
    EXPECT_EQ(tienda.valor(QStringLiteral("SELECT MIN(VENTANA) FROM ACCESO")).toInt(), 4013);
    EXPECT_TRUE(vigia.vistos().isEmpty()) << vigia.vistos().join(QLatin1Char(' ')).toStdString();
}

TEST_F(Anfitrion, AMissingModuleIsReported) {
    opciones.libDir = dir->path();
    quill::HostWindow host(opciones);
    const QString error = host.loadModule();
    EXPECT_TRUE(error.startsWith(QStringLiteral("No se ha podido cargar el módulo de listados")))
        << error.toStdString();
    EXPECT_FALSE(host.moduleLoaded());
    EXPECT_EQ(host.openListing(), -1);
}
