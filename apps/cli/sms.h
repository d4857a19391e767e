#pragma once

#include "comandos.h"

namespace quill::cli {

// `listado sms`: a listing's patients receive an SMS, queued, checked, sent and recorded as the
// window's SMS dialog does; with --simular only the queued numbers are shown.
Comando ComandoSMS();

} // namespace quill::cli
