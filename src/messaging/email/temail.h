#pragma once

// The sender of the listing e-mail: one plain-text message over SMTP in which every patient is
// a blind-copy recipient (envelope only), so that no patient sees the others' addresses.
// libcurl speaks SMTP: implicit TLS ("smtps://") when DesSSL is 1, STARTTLS required
// otherwise; the server's certificate is always verified.

#include <QString>
#include <QStringList>

namespace quill {

struct ConfiguracionCorreo;

// Result codes of TEMail.
namespace email {
inline constexpr qint32 Correcto = 0;
inline constexpr qint32 SinNombre = -100;
inline constexpr qint32 SinCorreo = -101;
inline constexpr qint32 SinAsunto = -200;
inline constexpr qint32 SinMensaje = -201;
inline constexpr qint32 SinServidor = -202;
inline constexpr qint32 SinPuerto = -203;
inline constexpr qint32 SinUsuario = -300;
inline constexpr qint32 SinClave = -301;
inline constexpr qint32 FalloEnvio = -402;
} // namespace email

class TEMail {
public:
    QStringList Direcciones; // recipient addresses, in result-row order
    QStringList Nombres;     // their display names, parallel to Direcciones
    QString AutClave;
    QString AutUsuario;
    qint32 AutRequerida = 0;
    QString OriCorreo;
    QString OriNombre;
    qint32 OriCopia = 0;
    QString DesServidor;
    qint32 DesPuerto = -1; // used as 16 bits
    qint32 DesSSL = 0;
    QString Asunto;
    QString Mensaje;

    // At most this many blind-copy recipients per message; 0: all in one message.
    qint32 DestinatariosMensaje = 0;
    // A file of trusted authorities used besides the system's (a test's own authority).
    QString CertificadosCA;

    // What the last Enviar did: messages the server took, recipients they carried, and the
    // transport's own words for a failure (for logs and the command line; the window shows its
    // fixed text).
    int MensajesEnviados = 0;
    int DestinatariosAlcanzados = 0;
    QString DetalleError;

    // Clears both lists and resets the settings fields (not OriCopia, Asunto, Mensaje).
    void Inicializar();
    // The first failing check: -100, -101, -200, -201, -202, -300, -301, -203; 0 when all pass.
    qint32 Validar() const;
    // Validates, then sends: 0, a validation code (nothing connected) or -402.
    qint32 Enviar();

    // Takes the server, port, security, login, batch size and extra authorities from the
    // workstation settings.
    void AsignarServidor(const ConfiguracionCorreo& c);
    // How many messages Enviar sends for the current recipients.
    int NumeroMensajes() const;
};

// Header text as RFC 2047 encoded words (UTF-8, base64) when it is not plain printable ASCII;
// each word at most 75 characters, split on character boundaries, words joined by CRLF + blank.
QByteArray CodificarCabecera(const QString& texto);
// "Name <address>" for a header, the name encoded or quoted as needed.
QByteArray DireccionCabecera(const QString& nombre, const QString& direccion);
// The complete message (headers and a quoted-printable UTF-8 body, CRLF line ends). `para`:
// whether the sender is the To recipient.
QByteArray ComponerMensaje(const TEMail& correo, bool para);

} // namespace quill
