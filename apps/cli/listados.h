#pragma once

#include "comandos.h"

#include <functional>

namespace quill {
class EjecutorListado;
}

namespace quill::cli {

// `listado sql`: the statement the listing's data module would run, on one line.
Comando ComandoSql();
// `listado conteo`: the number of patients, as the count window shows it.
Comando ComandoConteo();
// `listado exportar`: the listing written to a spreadsheet, HTML, text or XML file.
Comando ComandoExportar();

// Runs a listing as the window does for `accionPropia` (kind, database, conditions, --orden and
// --sentido when the command has them, else 0, --cualquiera), reports a run that found nothing
// or failed, and on success hands the runner and the database connection to `paso`, whose result
// is the exit status. For the commands of other files.
int EjecutarListadoPara(const Opciones& o, qint16 accionPropia, QTextStream& errores,
                        const std::function<int(EjecutorListado&, const QString& conexion)>& paso);

// A count as the count window shows it: thousands grouped with ".", no decimals ("1.234").
QString TextoConteo(double cuenta);

} // namespace quill::cli
