#pragma once

#include "comandos.h"

namespace quill::cli {

// `listado correo`: the listing's e-mail sent with the workstation's settings.
Comando ComandoCorreo();

} // namespace quill::cli
