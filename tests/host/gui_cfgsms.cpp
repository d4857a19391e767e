// The host's SMS settings dialog: what it writes is what the SMS client reads.

#include "messaging/sms/tcfgsms.h"
#include "platform/settings.h"
#include "testsupport.h"
#include "tfrmcfgsms.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>

TEST(CfgSMS, TheDialogWritesWhatTheClientReadsAndShowsItAgain) {
    auto dir = quilltest::scratch();
    qputenv("XDG_CONFIG_HOME", dir->path().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
    {
        quill::TfrmCfgSMS d;
        EXPECT_EQ(d.edtParam[0]->text(), QString()) << "a new workstation starts empty";
        d.edtServidor->setText(QStringLiteral(" https://sms.tienda.local:8443 "));
        const char* valores[5] = {"cuenta", "usuario", "clave ñ", "", "cinco"};
        for (int i = 0; i < 5; ++i)
            d.edtParam[i]->setText(QString::fromUtf8(valores[i]));
        d.chxProxy->setChecked(true);
        d.edtProxyServidor->setText(QStringLiteral("proxy.local"));
        d.edtProxyPuerto->setValue(3128);
        d.edtProxyUsuario->setText(QStringLiteral("ana"));
        d.edtProxyClave->setText(QStringLiteral("secreto"));
        EXPECT_EQ(d.Guardar(), QString());
    }
    quill::TCfgSMS c;
    c.Reiniciar();
    ASSERT_EQ(c.Cargar(), 0);
    EXPECT_EQ(QStringList({c.Param1, c.Param2, c.Param3, c.Param4, c.Param5, c.ProxyServidor,
                           c.ProxyUsuario, c.ProxyClave}),
              QStringList(
                  {"cuenta", "usuario", "clave ñ", "", "cinco", "proxy.local", "ana", "secreto"}));
    EXPECT_TRUE(c.ProxyActivo);
    EXPECT_EQ(c.ProxyPuerto, 3128);
    EXPECT_EQ(quill::ServidorSMS(), QStringLiteral("https://sms.tienda.local:8443"));
    EXPECT_FALSE(quill::RegistryKey(quill::TCfgSMS::kClaveProxy)
                     .readString(QStringLiteral("PARAM_4"))
                     .contains(QStringLiteral("secreto")))
        << "stored scrambled";

    quill::TfrmCfgSMS otra;
    EXPECT_EQ(otra.edtParam[2]->text(), QStringLiteral("clave ñ"));
    EXPECT_EQ(otra.edtServidor->text(), QStringLiteral("https://sms.tienda.local:8443"));
    EXPECT_TRUE(otra.edtProxyServidor->isEnabled());
}
