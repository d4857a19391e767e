#pragma once

#include "comandos.h"

namespace quill::cli {

// `listado imprimir`: the listing's report written as a PDF file, as the window would print it.
Comando ComandoImprimir();

} // namespace quill::cli
