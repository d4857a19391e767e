#pragma once

// The listing e-mail without a window: who receives it (the recipients of a run's result, as
// the kind's descriptor names the table) and the sending with the workstation's settings. The
// window's GenerarEMail and `listado correo` both come here.

#include "actions/registro.h"

#include <QString>
#include <QStringList>

namespace quill {

class EjecutorListado;
class ListingModule;
class TEMail;
struct ConfiguracionCorreo;

struct DestinatariosCorreo {
    QStringList direcciones;   // in row order, not trimmed, duplicates kept
    QStringList nombres;       // parallel to direcciones
    int sinDireccion = 0;      // rows left out for an empty address
    int sinConsentimiento = 0; // rows left out because the patient does not accept mail
    bool porPaciente = false;  // read from a per-patient table (else the raw result)
};

// Per-patient form: the address field ("E_MAIL" in any case, else "EMail") and "NombreEMail".
// With soloConsentimiento, rows whose "Correo" flag is not 1 are left out too.
DestinatariosCorreo RecogerDestinatarios(const MemTable& tabla, bool soloConsentimiento);
// Raw form over the module's open result: E_MAIL, and NOMBRE + " " + APELLIDOS (CORREO for the
// consent). Throws quill::Error when the result cannot be read again.
DestinatariosCorreo RecogerDestinatarios(ListingModule& modulo, bool soloConsentimiento);
// The recipients of the last run of a runner, from the table its kind names.
DestinatariosCorreo DestinatariosListado(EjecutorListado& ejecutor, bool soloConsentimiento);

// Puts the recipients into an e-mail: the per-patient form resets it first (Inicializar);
// both forms start from empty lists.
void AsignarDestinatarios(TEMail& correo, const DestinatariosCorreo& d);

// The text of a sending's result as the window shows it ("" for the codes it does not show):
// -402 and 0 in the window's words, with the batches and recipients reached when the settings
// split the recipients.
QString TextoResultadoCorreo(qint32 resultado, const TEMail& correo);
// The caption of that box: "ERROR" for -402, empty for a success.
QString TituloResultadoCorreo(qint32 resultado);

} // namespace quill

namespace quill {
// What a validation code of TEMail means, for `listado` (the window shows nothing for them).
QString DescripcionCodigoCorreo(qint32 codigo);
} // namespace quill
