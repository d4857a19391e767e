#include "messaging/sms/tmensario.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>

namespace quill {

namespace {

const char16_t* u16(const QString& t) {
    return reinterpret_cast<const char16_t*>(t.utf16());
}

enum Punto {
    pLogin,
    pProxy,
    pMensaje,
    pDestinatario,
    pZona,
    pEnviar,
    pIdPeticion,
    pCuenta,
    pIdMensaje,
    pCoste
};

} // namespace

int CodigoRespuestaSMS(const QString& r) {
    static const QHash<QString, int> codigos = {
        {QStringLiteral("KO-DIS-SERV"), -25512}, {QStringLiteral("KO-INT-ERR"), -25513},
        {QStringLiteral("KO-INV-AUTH"), -25514}, {QStringLiteral("KO-BLK-LIC"), -25515},
        {QStringLiteral("KO-EXP-LIC"), -25516},  {QStringLiteral("KO-INV-SINT"), -25517},
        {QStringLiteral("KO-INV-PHN"), -25518},  {QStringLiteral("KO-INV-CODE"), -25519},
        {QStringLiteral("KO-EXC-AMNT"), -25520}, {QStringLiteral("KO-INV-TIME"), -25521},
        {QStringLiteral("KO-INV-TZ"), -25522},   {QStringLiteral("KO-UNK-MSGS"), -25522},
    };
    return codigos.value(r, -1);
}

QString MensajeSMS(int codigo) {
    switch (codigo) {
    case -25501:
        return QStringLiteral("Debe introducir quien envía el SMS para que el destinatario del "
                              "mismo sepa quien lo envía.");
    case -25502:
        return QStringLiteral("Debe introducir un mensaje para el envío del SMS.");
    case -25503:
        return QStringLiteral(
            "No hay ningún teléfono asignado a este mensaje. Imposible continuar.");
    case -25506:
        return QStringLiteral("La fecha introducida no es válida.");
    case -25507:
        return QStringLiteral("La programación máxima de mensajes es de un año.");
    case -25510:
        return QStringLiteral("Los datos del proveedor de mensajes no son válidos. Revise la "
                              "configuración de mensajes SMS.");
    case -25511:
        return QStringLiteral("Ha ocurrido un error al establecer la zona horaria. Intentelo mas "
                              "tarde.");
    case -25512:
        return QStringLiteral("El servicio de mensajes SMS no esta disponible actualmente. "
                              "Intentelo mas tarde.");
    case -25513:
        return QStringLiteral("Ha ocurrido un error interno en el servidor de mensajes. Intentelo "
                              "mas tarde.");
    case -25514:
        return QStringLiteral("Los datos del proveedor de mensanes no son válidos. Revise la "
                              "configuración de mensajes SMS.");
    case -25515:
        return QStringLiteral("La licencia del proveedor de mensajes se encuentra bloqueada. "
                              "Consulte con su proveedor de mensajes.");
    case -25516:
        return QStringLiteral("La licencia del proveedor de mensajes ha expirado. Consulte con su "
                              "proveedor de mensajes.");
    case -25517:
        return QStringLiteral("Los datos del mensaje no son correctos. Imposible continuar.");
    case -25518:
        return QStringLiteral("El teléfono introducido no es válido. Compruebe que el número es "
                              "correcto.");
    case -25519:
        return QStringLiteral("El prefijo seleccionado no es válido. Compruebe que el prefijo es "
                              "correcto.");
    case -25520:
        return QStringLiteral("No dispone de saldo suficiente.");
    case -25521:
        return QStringLiteral(
            "La fecha de envío del mensaje es demasiado grande. El periodo máximo "
            "para la programación es de un año.");
    case -25522:
        return QStringLiteral("La zona horaria no es válida. Imposible continuar.");
    default:
        return QString();
    }
}

TMensario::TMensario(const QString& carpeta) {
    Servidor = ServidorSMS();
    Opcion = 0;
    Configuracion.Reiniciar();
    Configuracion.Cargar();
    const QString dir =
        carpeta.isEmpty() ? QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib"))
                                .absolutePath()
                          : carpeta;
    if (!m_libreria.load(dir, QString::fromLatin1(semapi::kLibreria))) {
        m_errorLibreria = m_libreria.errorString();
        return;
    }
    // A name the library lacks stays empty and is never called.
    for (int i = 0; i < 20; ++i)
        m_puntos[i] = m_libreria.resolve(semapi::kNombres[i]);
}

TMensario::~TMensario() = default;

void TMensario::Reiniciar() {
    De.clear();
    Mensaje.clear();
    Destinatarios.clear();
    FechaEnvio = QDateTime();
    IdPeticion = -1;
    Coste = 0;
}

int TMensario::Validar() const {
    if (De.isEmpty()) return sms::SinRemitente;
    if (Mensaje.isEmpty()) return sms::SinMensaje;
    if (FechaEnvio.isValid() && FechaEnvio < QDateTime::currentDateTime())
        return sms::FechaNoValida;
    if (Destinatarios.isEmpty()) return sms::SinTelefonos;
    return 0;
}

QByteArray TMensario::TextoFecha(const QDateTime& fecha) {
    if (!fecha.isValid()) return QByteArrayLiteral("00000000000000");
    return fecha.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
}

int TMensario::LeerCoste(const QString& texto) {
    if (texto.isEmpty()) return 0;
    const qsizetype ok = texto.indexOf(QStringLiteral(".OK"));
    bool valido = false;
    const int n = (ok >= 0 ? texto.left(ok) : texto).trimmed().toInt(&valido);
    return valido ? n : 0;
}

bool TMensario::Login() {
    const auto login = reinterpret_cast<semapi::SetLoginParamsAPI>(m_puntos[pLogin]);
    if (!m_libreria.isLoaded() || !login) return false;
    if (!login(u16(Configuracion.Param1), u16(Configuracion.Param2), u16(Configuracion.Param3),
               u16(Servidor), Opcion))
        return false;
    if (!Configuracion.ProxyActivo) return true;
    const auto proxy = reinterpret_cast<semapi::SetProxyParamsAPI>(m_puntos[pProxy]);
    return proxy && proxy(u16(Configuracion.ProxyServidor), Configuracion.ProxyPuerto,
                          u16(Configuracion.ProxyUsuario), u16(Configuracion.ProxyClave));
}

int TMensario::Enviar() {
    if (const int v = Validar()) return v;
    if (!Login()) return sms::ProveedorNoValido;
    const auto mensaje = reinterpret_cast<semapi::AddRequestMessage>(m_puntos[pMensaje]);
    const auto destinatario =
        reinterpret_cast<semapi::AddMessageRecipient>(m_puntos[pDestinatario]);
    const auto zona = reinterpret_cast<semapi::SetTimeZoneSending>(m_puntos[pZona]);
    const auto enviar = reinterpret_cast<semapi::ExecuteSending>(m_puntos[pEnviar]);
    const auto idPeticion = reinterpret_cast<semapi::GetSendRequestId>(m_puntos[pIdPeticion]);
    const auto cuenta = reinterpret_cast<semapi::GetSendMessagesCount>(m_puntos[pCuenta]);
    const auto idMensaje = reinterpret_cast<semapi::GetSendMessageId>(m_puntos[pIdMensaje]);
    const auto coste = reinterpret_cast<semapi::GetChargedQuantity>(m_puntos[pCoste]);
    // A library without one of the entry points a sending needs is no usable provider.
    if (!mensaje || !destinatario || !zona || !enviar || !idPeticion || !cuenta || !idMensaje ||
        !coste)
        return sms::ProveedorNoValido;

    const QString texto = Mensaje.left(sms::LongitudMensaje);
    IdPeticion = mensaje(u16(De), u16(texto), TextoFecha(FechaEnvio).constData());
    for (Destinatario& d : Destinatarios)
        d.Resultado = destinatario(IdPeticion, QByteArray::number(d.Prefijo).constData(),
                                   d.Telefono.toLatin1().constData());
    if (!zona("Europe/Madrid")) return sms::ZonaHoraria;
    const char* r = enviar();
    const QString respuesta = QString::fromUtf8(r ? r : "");
    if (respuesta != QLatin1String("OK")) return CodigoRespuestaSMS(respuesta);

    IdPeticion = idPeticion();
    const int n = cuenta();
    for (int i = 0; i < n && i < Destinatarios.size(); ++i) {
        Destinatarios[i].IdPeticion = IdPeticion;
        Destinatarios[i].IdMensaje = idMensaje(i);
    }
    const char* c = coste();
    Coste = LeerCoste(QString::fromUtf8(c ? c : ""));
    return 0;
}

} // namespace quill
