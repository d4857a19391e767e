#pragma once

#include "comandos.h"

namespace quill::cli {

// `listado etiquetas`: the labels of a listing, written to a PDF (sheet formats) or to a file
// of EPL/2 commands (label-printer formats).
Comando ComandoEtiquetas();

} // namespace quill::cli
