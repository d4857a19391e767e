#pragma once

#include "comandos.h"

namespace quill::cli {

// `listado sql`: the statement the listing's data module would run, on one line.
Comando ComandoSql();
// `listado conteo`: the number of patients, as the count window shows it.
Comando ComandoConteo();
// `listado exportar`: the listing written to a spreadsheet, HTML, text or XML file.
Comando ComandoExportar();

// A count as the count window shows it: thousands grouped with ".", no decimals ("1.234").
QString TextoConteo(double cuenta);

} // namespace quill::cli
