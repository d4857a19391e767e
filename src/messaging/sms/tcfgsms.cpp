#include "messaging/sms/tcfgsms.h"

#include "business/credenciales.h"
#include "platform/settings.h"

namespace quill {

const QString TCfgSMS::kClave = QStringLiteral("\\Software\\Quillmore\\3.0\\SMS");
const QString TCfgSMS::kClaveProxy = QStringLiteral("\\Software\\Quillmore\\3.0\\SMS\\Proxy");
const QString TCfgSMS::kClaveP1 = QStringLiteral("\\Software\\Quillmore\\3.0\\SMS\\P1");

namespace {

QString param(int n) {
    return QStringLiteral("PARAM_%1").arg(n);
}

QString leer(const RegistryKey& k, int n) {
    return DescifrarCredencial(k.readString(param(n)));
}

// The first failure of a series of writes (empty when all went well).
QString primero(std::initializer_list<QString> errores) {
    for (const QString& e : errores)
        if (!e.isEmpty()) return e;
    return {};
}

} // namespace

void TCfgSMS::Reiniciar() {
    ProxyActivo = false;
    ProxyServidor.clear();
    ProxyUsuario.clear();
    ProxyClave.clear();
    ProxyPuerto = 0;
    Param1.clear();
    Param2.clear();
    Param3.clear();
    Param4.clear();
    Param5.clear();
}

int TCfgSMS::Cargar() {
    const RegistryKey sms(kClave);
    if (!sms.isValid() || !sms.exists()) {
        CrearValores();
        Reiniciar();
        return -1;
    }
    Proveedor = sms.readInteger(QStringLiteral("Proveedor"));

    const RegistryKey proxy(kClaveProxy);
    if (proxy.exists()) {
        // The order in which the shop's programs read them.
        ProxyActivo = proxy.readBool(param(1));
        ProxyPuerto = proxy.readInteger(param(5));
        ProxyServidor = leer(proxy, 2);
        ProxyUsuario = leer(proxy, 3);
        ProxyClave = leer(proxy, 4);
    } else {
        CrearValores();
        Reiniciar();
    }

    const RegistryKey p1(kClaveP1);
    if (!p1.exists()) {
        CrearValores();
        Reiniciar();
        return -1;
    }
    Param1 = leer(p1, 1);
    Param2 = leer(p1, 2);
    Param3 = leer(p1, 3);
    Param4 = leer(p1, 4);
    Param5 = leer(p1, 5);
    return 0;
}

int TCfgSMS::CrearValores() {
    const RegistryKey sms(kClave);
    if (!sms.isValid() || !sms.writeInteger(QStringLiteral("Proveedor"), 0).isEmpty()) return -1;
    const RegistryKey proxy(kClaveProxy);
    if (proxy.isValid()) {
        proxy.writeBool(param(1), false);
        for (int n = 2; n <= 4; ++n)
            proxy.writeString(param(n), QString());
        proxy.writeInteger(param(5), 0);
    }
    const RegistryKey p1(kClaveP1);
    if (!p1.isValid()) return -1;
    for (int n = 1; n <= 5; ++n)
        if (!p1.writeString(param(n), QString()).isEmpty()) return -1;
    return 0;
}

QString ServidorSMS() {
    return RegistryKey(TCfgSMS::kClave).readString(QStringLiteral("Servidor")).trimmed();
}

QString GuardarCfgSMS(const TCfgSMS& c, const QString& servidor) {
    const RegistryKey sms(TCfgSMS::kClave);
    const RegistryKey proxy(TCfgSMS::kClaveProxy);
    const RegistryKey p1(TCfgSMS::kClaveP1);
    return primero({
        sms.writeInteger(QStringLiteral("Proveedor"), c.Proveedor),
        sms.writeString(QStringLiteral("Servidor"), servidor.trimmed()),
        proxy.writeBool(param(1), c.ProxyActivo),
        proxy.writeString(param(2), CifrarCredencial(c.ProxyServidor)),
        proxy.writeString(param(3), CifrarCredencial(c.ProxyUsuario)),
        proxy.writeString(param(4), CifrarCredencial(c.ProxyClave)),
        proxy.writeInteger(param(5), c.ProxyPuerto),
        p1.writeString(param(1), CifrarCredencial(c.Param1)),
        p1.writeString(param(2), CifrarCredencial(c.Param2)),
        p1.writeString(param(3), CifrarCredencial(c.Param3)),
        p1.writeString(param(4), CifrarCredencial(c.Param4)),
        p1.writeString(param(5), CifrarCredencial(c.Param5)),
    });
}

} // namespace quill
