#pragma once

// The mass SMS without a window: the numbers a listing's result queues, the confirmation asked
// before the dialog, and the sending's figures. The window and `listado sms` both use it.

#include "actions/registro.h"
#include "messaging/sms/tsms.h"

#include <QString>
#include <QStringList>

namespace quill {

class ListingModule;

// Every non-empty mobile of the last run, as stored, in result order and with the kind's repeat
// rule. Empty when the kind has no mass SMS.
QStringList TelefonosSMS(const DescriptorListado& descriptor, ListingModule& modulo);
// Queues the numbers in a sending (prefix 0: validation makes it 34).
void EncolarTelefonos(TSMS& envio, const QStringList& telefonos);
// How many of the numbers validation will leave out.
int OmitidosSMS(const QStringList& telefonos);
// "Se generarán N mensajes SMS. ¿Está seguro de querer continuar?", N with thousands separated
// by ".", and, when some will be left out, how many.
QString PreguntaEnvioSMS(int total, int omitidos);

} // namespace quill
