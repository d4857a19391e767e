#pragma once

#include "comandos.h"

namespace quill::cli {

// `listado sentencia`: the SQL fragment of one condition row, built as the listing window builds
// it before the row is posted, and the tables it adds to the statement.
Comando ComandoSentencia();

} // namespace quill::cli
