#pragma once

// The workstation's mail settings, key "\Software\Quillmore\3.0\CorreoE" of the current user.
// User and password are stored scrambled by the business layer's credential routine; these
// functions are the only place that reads or writes the key, so every reader gets them plain.

#include <QString>

namespace quill {

struct ConfiguracionCorreo {
    qint32 AutRequerida = 0; // 1: the server asks for user and password
    QString AutUsuario;      // plain text here; scrambled in the settings
    QString AutClave;
    QString OriNombre; // the sender proposed by the compose dialog
    QString OriCorreo;
    qint32 OriCopia = 0;
    QString DesServidor;
    qint32 DesPuerto = 25;
    qint32 DesSSL = 0; // 1: TLS from the first byte; anything else: STARTTLS
    // Beyond the basic settings, both off by default: at most this many blind-copy recipients
    // per message (0: all in one message, as providers without a limit take it), and leaving
    // out the patients whose mail-consent flag says no.
    qint32 DestinatariosMensaje = 0;
    qint32 SoloConsentimiento = 0;
    // A file of authorities the server's certificate may also be signed by (a shop's own mail
    // server); the system's authorities are always trusted. Verification is never turned off.
    QString CertificadosCA;
};

QString ClaveRegistroCorreo();

// Reads the key (missing values give the defaults above).
ConfiguracionCorreo LeerConfiguracionCorreo();
// Writes every value; an empty text, or why the settings could not be written.
QString GuardarConfiguracionCorreo(const ConfiguracionCorreo& c);

} // namespace quill
