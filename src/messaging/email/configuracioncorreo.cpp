#include "messaging/email/configuracioncorreo.h"

#include "business/credenciales.h"
#include "platform/settings.h"

namespace quill {

QString ClaveRegistroCorreo() {
    return QStringLiteral("\\Software\\Quillmore\\3.0\\CorreoE");
}

ConfiguracionCorreo LeerConfiguracionCorreo() {
    const RegistryKey k(ClaveRegistroCorreo());
    ConfiguracionCorreo c;
    c.AutRequerida = k.readInteger(QStringLiteral("AutRequerida"), 0);
    c.AutUsuario = DescifrarCredencial(k.readString(QStringLiteral("AutUsuario")));
    c.AutClave = DescifrarCredencial(k.readString(QStringLiteral("AutClave")));
    c.OriNombre = k.readString(QStringLiteral("OriNombre"));
    c.OriCorreo = k.readString(QStringLiteral("OriCorreo"));
    c.OriCopia = k.readInteger(QStringLiteral("OriCopia"), 0);
    c.DesServidor = k.readString(QStringLiteral("DesServidor"));
    c.DesPuerto = k.readInteger(QStringLiteral("DesPuerto"), 25);
    c.DesSSL = k.readInteger(QStringLiteral("DesSSL"), 0);
    c.DestinatariosMensaje = k.readInteger(QStringLiteral("DestinatariosMensaje"), 0);
    c.SoloConsentimiento = k.readInteger(QStringLiteral("SoloConsentimiento"), 0);
    c.CertificadosCA = k.readString(QStringLiteral("CertificadosCA"));
    return c;
}

QString GuardarConfiguracionCorreo(const ConfiguracionCorreo& c) {
    const RegistryKey k(ClaveRegistroCorreo());
    if (!k.isValid()) return k.errorString();
    const std::pair<const char*, qint32> enteros[] = {
        {"AutRequerida", c.AutRequerida},
        {"OriCopia", c.OriCopia},
        {"DesPuerto", c.DesPuerto},
        {"DesSSL", c.DesSSL},
        {"DestinatariosMensaje", c.DestinatariosMensaje},
        {"SoloConsentimiento", c.SoloConsentimiento},
    };
    for (const auto& [nombre, valor] : enteros) {
        const QString e = k.writeInteger(QString::fromLatin1(nombre), valor);
        if (!e.isEmpty()) return e;
    }
    const std::pair<const char*, QString> textos[] = {
        {"AutUsuario", CifrarCredencial(c.AutUsuario)},
        {"AutClave", CifrarCredencial(c.AutClave)},
        {"OriNombre", c.OriNombre},
        {"OriCorreo", c.OriCorreo},
        {"DesServidor", c.DesServidor},
        {"CertificadosCA", c.CertificadosCA},
    };
    for (const auto& [nombre, valor] : textos) {
        const QString e = k.writeString(QString::fromLatin1(nombre), valor);
        if (!e.isEmpty()) return e;
    }
    return QString();
}

} // namespace quill
