// The host's e-mail settings dialog, reached from its menu: it shows the stored settings,
// writes what the user typed (user and password scrambled) and the workstation object the
// module reads takes the new values at once; an incomplete form is refused and changes nothing.

#include "hostwindow.h"
#include "messaging/email/configuracioncorreo.h"
#include "platform/modal.h"
#include "platform/settings.h"
#include "testsupport.h"
#include "tfrmconfiguracioncorreo.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

TEST(ConfiguracionCorreoAnfitrion, ElMenuEditaLaConfiguracionDelPuesto) {
    auto dir = quilltest::scratch();
    qputenv("XDG_CONFIG_HOME", dir->filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", dir->filePath(QStringLiteral("datos")).toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       dir->filePath(QStringLiteral("config")));
    quill::ConfiguracionCorreo antes;
    antes.DesServidor = QStringLiteral("smtp.viejo.es");
    antes.AutRequerida = 1;
    antes.AutUsuario = QStringLiteral("viejo");
    antes.AutClave = QStringLiteral("clave vieja");
    ASSERT_EQ(quill::GuardarConfiguracionCorreo(antes), QString());

    quill::HostOptions opciones;
    opciones.iniPath = dir->filePath(QStringLiteral("Quillmore.ini"));
    opciones.libDir = quilltest::buildDir() + QStringLiteral("/lib");
    quill::HostWindow host(opciones);
    EXPECT_EQ(host.workstation().AutUsuario, QStringLiteral("viejo")) << "read unscrambled";
    auto* accion = host.findChild<QAction*>(QStringLiteral("actConfiguracionCorreo"));
    ASSERT_TRUE(accion);

    quill::ScriptedModal modal;
    quill::ScopedModal instalado(modal);
    QString usuarioMostrado;
    // First an empty server (refused, the dialog stays open and is cancelled), then the form.
    for (const bool completo : {false, true}) {
        modal.clear();
        modal.queueDialog([&, completo](QWidget* w) {
            auto* d = qobject_cast<quill::TfrmConfiguracionCorreo*>(w);
            if (!d) return 0;
            usuarioMostrado = d->edtUsuario->text();
            d->edtServidor->setText(completo ? QStringLiteral("smtp.optica.es") : QString());
            d->spePuerto->setValue(465);
            d->cbxSeguridad->setCurrentIndex(1);
            d->edtUsuario->setText(QStringLiteral("tienda@óptica.es"));
            d->edtClave->setText(QStringLiteral("nueva clave"));
            d->edtNombre->setText(QStringLiteral("Óptica Peñalver"));
            d->edtCorreo->setText(QStringLiteral("tienda@optica.es"));
            d->chxCopia->setChecked(true);
            d->speDestinatarios->setValue(50);
            d->btnAceptar->click();
            if (d->result() != QDialog::Accepted) d->btnCancelar->click();
            return d->result();
        });
        accion->trigger();
        EXPECT_EQ(usuarioMostrado, QStringLiteral("viejo"));
        if (!completo) {
            ASSERT_EQ(modal.messages().size(), 1);
            EXPECT_EQ(modal.messages()[0].caption, QStringLiteral("AVISO"));
            EXPECT_EQ(quill::LeerConfiguracionCorreo().DesServidor, antes.DesServidor);
            EXPECT_EQ(host.workstation().DesServidor, antes.DesServidor);
        }
    }
    EXPECT_TRUE(modal.messages().isEmpty());
    const quill::RegistryKey k(quill::ClaveRegistroCorreo());
    EXPECT_NE(k.readString(QStringLiteral("AutUsuario")), QStringLiteral("tienda@óptica.es"));
    EXPECT_NE(k.readString(QStringLiteral("AutClave")), QStringLiteral("nueva clave"));
    const quill::ConfiguracionCorreo leida = quill::LeerConfiguracionCorreo();
    EXPECT_EQ(leida.AutUsuario, QStringLiteral("tienda@óptica.es"));
    EXPECT_EQ(leida.AutClave, QStringLiteral("nueva clave"));
    EXPECT_EQ(leida.DesSSL, 1);
    EXPECT_EQ(leida.DesPuerto, 465);
    const quill::TConfPuesto& p = host.workstation();
    EXPECT_EQ(p.DesServidor, QStringLiteral("smtp.optica.es"));
    EXPECT_EQ(p.AutClave, QStringLiteral("nueva clave"));
    EXPECT_EQ(p.OriNombre, QStringLiteral("Óptica Peñalver"));
    EXPECT_EQ(p.OriCopia, 1);
    EXPECT_EQ(p.DestinatariosMensaje, 50);
}
