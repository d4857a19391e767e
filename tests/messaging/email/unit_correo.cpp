#include "messaging/email/configuracioncorreo.h"
#include "messaging/email/temail.h"
#include "platform/settings.h"
#include "testsupport.h"

#include <QSettings>

#include <gtest/gtest.h>

using namespace quill;

// Encoded words stay within 75 characters and never cut a character in two, whatever the
// mix of one- to four-byte characters.
TEST(CodificarCabecera, PalabrasCortasPartidasEnCaracteresEnteros) {
    EXPECT_EQ(CodificarCabecera(QStringLiteral("Revision anual")), QByteArray("Revision anual"));
    for (const QString& t : {QString(40, QChar(0xF1)), QStringLiteral("a€b😀").repeated(9),
                             QStringLiteral("Línea\r\nBcc: x@y")}) {
        const QByteArray c = CodificarCabecera(t);
        QString decodificado;
        for (const QByteArray& w : c.split('\n')) {
            const QByteArray p = w.trimmed();
            EXPECT_LE(p.size(), 75);
            ASSERT_TRUE(p.startsWith("=?UTF-8?B?") && p.endsWith("?="));
            const QByteArray bytes = QByteArray::fromBase64(p.mid(10, p.size() - 12));
            const QString trozo = QString::fromUtf8(bytes);
            EXPECT_EQ(trozo.toUtf8(), bytes) << "a character split between words";
            decodificado += trozo;
        }
        QString esperado = t;
        esperado.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        EXPECT_EQ(decodificado, esperado);
    }
}

// User and password are scrambled in the settings and come back plain.
TEST(ConfiguracionCorreo, CredencialesGuardadasCifradas) {
    const auto dir = quilltest::scratch();
    qputenv("XDG_CONFIG_HOME", dir->path().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
    ConfiguracionCorreo c;
    c.AutRequerida = 1;
    c.AutUsuario = QStringLiteral("tienda@óptica.es");
    c.AutClave = QStringLiteral("clave secreta");
    c.DesServidor = QStringLiteral("smtp.optica.es");
    c.DesPuerto = 465;
    c.DesSSL = 1;
    c.DestinatariosMensaje = 50;
    ASSERT_EQ(GuardarConfiguracionCorreo(c), QString());
    const RegistryKey k(ClaveRegistroCorreo());
    EXPECT_NE(k.readString(QStringLiteral("AutUsuario")), c.AutUsuario);
    EXPECT_NE(k.readString(QStringLiteral("AutClave")), c.AutClave);
    const ConfiguracionCorreo l = LeerConfiguracionCorreo();
    EXPECT_EQ(l.AutUsuario, c.AutUsuario);
    EXPECT_EQ(l.AutClave, c.AutClave);
    EXPECT_EQ(l.DesPuerto, 465);
    EXPECT_EQ(l.DesSSL, 1);
    EXPECT_EQ(l.DestinatariosMensaje, 50);
    EXPECT_EQ(l.SoloConsentimiento, 0);
}
