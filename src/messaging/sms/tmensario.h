#pragma once

// The SMS provider client: one request (sender, text, optional sending time, recipients) handed
// to the provider's library and turned into one result code. It keeps the ids and the charge the
// service reports.

#include "messaging/sms/semapi.h"
#include "messaging/sms/tcfgsms.h"
#include "platform/libreria.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

namespace quill {

// SMS result codes, shared by the client and the mass sending.
namespace sms {
inline constexpr int SinRemitente = -25501;
inline constexpr int SinMensaje = -25502;
inline constexpr int SinTelefonos = -25503;
inline constexpr int FechaNoValida = -25506;
inline constexpr int FechaDemasiadoLejana = -25507;
inline constexpr int ProveedorNoValido = -25510;
inline constexpr int ZonaHoraria = -25511;
inline constexpr int ServicioNoDisponible = -25512;
inline constexpr int FalloMaestro = -25530;
inline constexpr int LongitudMensaje = 153;
inline constexpr int LongitudRemitente = 11;
} // namespace sms

// The code a "KO-..." answer of the service stands for; -1 for any other text.
int CodigoRespuestaSMS(const QString& respuesta);
// The message the SMS dialog shows for a code; empty for a code that shows nothing.
QString MensajeSMS(int codigo);

class TMensario {
public:
    struct Destinatario {
        QString Telefono; // digits only
        int Prefijo = 34;
        int IdPeticion = -1;
        int Resultado = -1; // what AddMessageRecipient returned
        int IdMensaje = -1; // the service's message id
    };

    // Loads the settings and the provider's library from `carpeta` (the program folder; empty:
    // the folder of the running program's libraries). Never fails: a missing library shows when
    // sending.
    explicit TMensario(const QString& carpeta = QString());
    ~TMensario();
    TMensario(const TMensario&) = delete;
    TMensario& operator=(const TMensario&) = delete;

    void Reiniciar();
    void setDe(const QString& de) { De = de; }
    void setMensaje(const QString& mensaje) { Mensaje = mensaje; }
    // Null or invalid: send now.
    void setFechaEnvio(const QDateTime& fecha) { FechaEnvio = fecha; }

    int Validar() const;
    // 0 sent; otherwise the code of what failed (validation, -25510, -25511, the service's
    // answer, -1 for an answer that is not known).
    int Enviar();

    // Why the library could not be loaded (empty when it was).
    QString ErrorLibreria() const { return m_errorLibreria; }
    // The "yyyymmddhhnnss" text of a sending time; fourteen zeros for "now".
    static QByteArray TextoFecha(const QDateTime& fecha);
    // Credits of a charged-quantity text: "3.OK" -> 3, "7" -> 7, empty or not a number -> 0.
    static int LeerCoste(const QString& texto);

    QString De;
    QString Mensaje;
    QDateTime FechaEnvio;
    int IdPeticion = -1;
    int Coste = 0;
    QList<Destinatario> Destinatarios;
    QString Servidor;
    int Opcion = 0;
    TCfgSMS Configuracion;

private:
    bool Login();

    Library m_libreria;
    QString m_errorLibreria;
    QFunctionPointer m_puntos[20] = {};
};

} // namespace quill
