// The SMS provider's client library. One request is built at a time (login, optional proxy, the
// message, its recipients, the time zone) and sent as one JSON document to "<service>/envios";
// the service answers with a JSON document holding "resultado" ("OK" or a "KO-..." code), the
// request id, one message id per recipient and the credits charged. Balance and cancellations
// go to "<service>/saldo" and "<service>/cancelaciones" the same way.
//
// Certificates are always verified; CURL_CA_BUNDLE names another authority file (a shop's own
// authority, or a test one). Any failure to reach the service reads as "KO-DIS-SERV".

#include "messaging/sms/semapi.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <curl/curl.h>

#include <mutex>

#define SEMAPI_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

const char* const kNoDisponible = "KO-DIS-SERV";
const char* const kErrorInterno = "KO-INT-ERR";
const char* const kSintaxis = "KO-INV-SINT";

struct Destinatario {
    QString prefijo;
    QString telefono;
};

struct Estado {
    std::mutex mutex;
    // Login and proxy.
    QString cuenta, usuario, clave, servidor;
    int opcion = 0;
    QString proxy, proxyUsuario, proxyClave;
    int proxyPuerto = 0;
    // The request being built.
    int peticion = 0; // handle of the last AddRequestMessage
    QString de, texto, fecha, zona;
    QList<Destinatario> destinatarios;
    QList<int> cancelar;
    // What the service answered last.
    QByteArray resultado;
    int idPeticion = -1;
    QList<int> mensajes;
    QByteArray coste, devuelto, saldo;
    int total = 0, canceladosTotal = 0;
    QList<int> cancelados;
};

Estado& estado() {
    static Estado e;
    return e;
}

QString texto16(const char16_t* t) {
    return t ? QString::fromUtf16(t) : QString();
}
QString texto8(const char* t) {
    return t ? QString::fromUtf8(t) : QString();
}

size_t recibir(char* datos, size_t tam, size_t n, void* destino) {
    static_cast<QByteArray*>(destino)->append(datos, qsizetype(tam * n));
    return tam * n;
}

// POSTs `cuerpo` to the service's `ruta`; the answer's JSON object, or "resultado" set to the
// failure code when the service could not be reached or answered nonsense.
QJsonObject llamar(Estado& e, const char* ruta, QJsonObject cuerpo) {
    static std::once_flag iniciado;
    std::call_once(iniciado, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    auto fallo = [](const char* codigo) {
        return QJsonObject{{QStringLiteral("resultado"), QString::fromLatin1(codigo)}};
    };
    if (e.servidor.isEmpty()) return fallo(kNoDisponible);
    cuerpo.insert(QStringLiteral("cuenta"), e.cuenta);
    cuerpo.insert(QStringLiteral("usuario"), e.usuario);
    cuerpo.insert(QStringLiteral("clave"), e.clave);
    cuerpo.insert(QStringLiteral("opcion"), e.opcion);
    const QByteArray json = QJsonDocument(cuerpo).toJson(QJsonDocument::Compact);
    QString base = e.servidor;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    if (!base.contains(QStringLiteral("://"))) base.prepend(QStringLiteral("https://"));
    const QByteArray url = (base + QLatin1Char('/') + QLatin1String(ruta)).toUtf8();

    CURL* c = curl_easy_init();
    if (!c) return fallo(kErrorInterno);
    QByteArray respuesta;
    curl_slist* cabeceras = curl_slist_append(nullptr, "Content-Type: application/json");
    cabeceras = curl_slist_append(cabeceras, "Accept: application/json");
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, cabeceras);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, json.constData());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, long(json.size()));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, recibir);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &respuesta);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    // The window waits on this call: a service that does not answer must not hang it.
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, 60L);
    const QByteArray ca = qgetenv("CURL_CA_BUNDLE");
    if (!ca.isEmpty()) curl_easy_setopt(c, CURLOPT_CAINFO, ca.constData());
    QByteArray proxy, proxyUsuario, proxyClave;
    if (!e.proxy.isEmpty()) {
        proxy = e.proxy.toUtf8();
        proxyUsuario = e.proxyUsuario.toUtf8();
        proxyClave = e.proxyClave.toUtf8();
        curl_easy_setopt(c, CURLOPT_PROXY, proxy.constData());
        if (e.proxyPuerto > 0) curl_easy_setopt(c, CURLOPT_PROXYPORT, long(e.proxyPuerto));
        if (!proxyUsuario.isEmpty()) {
            curl_easy_setopt(c, CURLOPT_PROXYUSERNAME, proxyUsuario.constData());
            curl_easy_setopt(c, CURLOPT_PROXYPASSWORD, proxyClave.constData());
        }
    }
    const CURLcode r = curl_easy_perform(c);
    long http = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &http);
    curl_slist_free_all(cabeceras);
    curl_easy_cleanup(c);
    if (r != CURLE_OK) return fallo(kNoDisponible);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(respuesta, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        !doc.object().value(QStringLiteral("resultado")).isString())
        return fallo(http >= 500 ? kNoDisponible : kErrorInterno);
    return doc.object();
}

QList<int> enteros(const QJsonValue& v) {
    QList<int> l;
    for (const QJsonValue& x : v.toArray())
        l.append(x.toInt(-1));
    return l;
}

const char* guardar(QByteArray& destino, const QJsonValue& v) {
    destino = v.isDouble() ? QByteArray::number(v.toInteger()) : v.toString().toUtf8();
    return destino.constData();
}

QJsonArray arrayDe(const QList<int>& l) {
    QJsonArray a;
    for (int x : l)
        a.append(x);
    return a;
}

bool soloCifras(const QString& t, int maximo) {
    if (t.isEmpty() || t.size() > maximo) return false;
    for (QChar ch : t)
        if (!ch.isDigit()) return false;
    return true;
}

} // namespace

SEMAPI_EXPORT bool SetLoginParamsAPI(const char16_t* param1, const char16_t* param2,
                                     const char16_t* param3, const char16_t* servidor, int opcion) {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    e.cuenta = texto16(param1);
    e.usuario = texto16(param2);
    e.clave = texto16(param3);
    e.servidor = texto16(servidor).trimmed();
    e.opcion = opcion;
    e.proxy.clear();
    // An account without its user or a service without an address cannot log in.
    return !e.usuario.isEmpty() && !e.servidor.isEmpty();
}

SEMAPI_EXPORT bool SetProxyParamsAPI(const char16_t* servidor, int puerto, const char16_t* usuario,
                                     const char16_t* clave) {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    e.proxy = texto16(servidor).trimmed();
    e.proxyPuerto = puerto;
    e.proxyUsuario = texto16(usuario);
    e.proxyClave = texto16(clave);
    return !e.proxy.isEmpty() && puerto >= 0 && puerto <= 65535;
}

SEMAPI_EXPORT int AddRequestMessage(const char16_t* de, const char16_t* texto, const char* fecha) {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    e.de = texto16(de);
    e.texto = texto16(texto);
    e.fecha = texto8(fecha);
    e.zona.clear();
    e.destinatarios.clear();
    if (!soloCifras(e.fecha, 14) || e.fecha.size() != 14) return -1;
    return ++e.peticion;
}

SEMAPI_EXPORT int AddMessageRecipient(int peticion, const char* prefijo, const char* telefono) {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    if (peticion != e.peticion || peticion <= 0) return -1;
    const QString p = texto8(prefijo), t = texto8(telefono);
    if (!soloCifras(p, 4) || !soloCifras(t, 15)) return -1;
    e.destinatarios.append({p, t});
    return int(e.destinatarios.size()) - 1;
}

SEMAPI_EXPORT bool SetTimeZoneSending(const char* zona) {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    e.zona = texto8(zona).trimmed();
    // An IANA name: Area/Location.
    return e.zona.contains(QLatin1Char('/')) && !e.zona.contains(QLatin1Char(' '));
}

SEMAPI_EXPORT const char* ExecuteSending() {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    e.idPeticion = -1;
    e.mensajes.clear();
    e.coste.clear();
    if (e.peticion <= 0 || e.destinatarios.isEmpty()) {
        e.resultado = kSintaxis;
        return e.resultado.constData();
    }
    QJsonArray destinatarios;
    for (const Destinatario& d : e.destinatarios)
        destinatarios.append(QJsonObject{{QStringLiteral("prefijo"), d.prefijo},
                                         {QStringLiteral("telefono"), d.telefono}});
    const QJsonObject r = llamar(e, "envios",
                                 {{QStringLiteral("remitente"), e.de},
                                  {QStringLiteral("texto"), e.texto},
                                  {QStringLiteral("fecha"), e.fecha},
                                  {QStringLiteral("zona"), e.zona},
                                  {QStringLiteral("destinatarios"), destinatarios}});
    e.resultado = r.value(QStringLiteral("resultado")).toString().toUtf8();
    if (e.resultado == "OK") {
        e.idPeticion = r.value(QStringLiteral("peticion")).toInt(-1);
        e.mensajes = enteros(r.value(QStringLiteral("mensajes")));
        guardar(e.coste, r.value(QStringLiteral("coste")));
        e.total += int(e.mensajes.size());
    }
    return e.resultado.constData();
}

SEMAPI_EXPORT int GetSendRequestId() {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return e.idPeticion;
}

SEMAPI_EXPORT int GetSendMessagesCount() {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return int(e.mensajes.size());
}

SEMAPI_EXPORT int GetSendMessageId(int indice) {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return indice >= 0 && indice < e.mensajes.size() ? e.mensajes.at(indice) : -1;
}

SEMAPI_EXPORT const char* GetChargedQuantity() {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return e.coste.constData();
}

SEMAPI_EXPORT const char* ExecuteBalanceEnquiry() {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    const QJsonObject r = llamar(e, "saldo", {});
    e.resultado = r.value(QStringLiteral("resultado")).toString().toUtf8();
    if (e.resultado == "OK") guardar(e.saldo, r.value(QStringLiteral("saldo")));
    return e.resultado.constData();
}

SEMAPI_EXPORT const char* GetBalance() {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return e.saldo.constData();
}

SEMAPI_EXPORT int AddCancellationMessageId(int idMensaje) {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    if (idMensaje < 0) return -1;
    e.cancelar.append(idMensaje);
    return int(e.cancelar.size()) - 1;
}

namespace {

const char* cancelar(Estado& e, const QJsonObject& cuerpo) {
    e.cancelados.clear();
    e.devuelto.clear();
    const QJsonObject r = llamar(e, "cancelaciones", cuerpo);
    e.cancelar.clear();
    e.resultado = r.value(QStringLiteral("resultado")).toString().toUtf8();
    if (e.resultado == "OK") {
        e.cancelados = enteros(r.value(QStringLiteral("canceladas")));
        guardar(e.devuelto, r.value(QStringLiteral("devuelto")));
        e.canceladosTotal += int(e.cancelados.size());
    }
    return e.resultado.constData();
}

} // namespace

SEMAPI_EXPORT const char* ExecuteCancellationByIdRequest(int peticion) {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return cancelar(e, {{QStringLiteral("peticion"), peticion}});
}

SEMAPI_EXPORT const char* ExecuteCancellationByIdMessages() {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return cancelar(e, {{QStringLiteral("mensajes"), arrayDe(e.cancelar)}});
}

SEMAPI_EXPORT const char* GetRefundedQuantity() {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return e.devuelto.constData();
}

SEMAPI_EXPORT int GetCancelledMessagesCount() {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return int(e.cancelados.size());
}

SEMAPI_EXPORT int GetCancelledMessageId(int indice) {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return indice >= 0 && indice < e.cancelados.size() ? e.cancelados.at(indice) : -1;
}

SEMAPI_EXPORT int GetMessagesTotal() {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return e.total;
}

SEMAPI_EXPORT int GetMessagesCancelled() {
    Estado& e = estado();
    std::lock_guard bloqueo(e.mutex);
    return e.canceladosTotal;
}
