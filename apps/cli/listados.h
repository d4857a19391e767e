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

// Runs the listing of the command line as the window does for `accion` (order and direction 0),
// reports a run that found nothing or failed, and on success hands the runner and the database
// connection to `seguir`, whose result is the exit status. For commands in their own files.
int EjecutarListadoYSeguir(
    const Opciones& o, QTextStream& errores, qint16 accion,
    const std::function<int(EjecutorListado&, const QString& conexion)>& seguir);
// The options that name a listing (kind, conditions, partition, all/any, catalogue, variant) and
// its order, for the commands of other files.
QList<DefinicionOpcion> OpcionesListado(bool particionObligatoria);
QList<DefinicionOpcion> OpcionesOrden();
// Runs a listing as the output commands do (kind, database, conditions, --orden, --sentido,
// --cualquiera) and, when it found rows, `paso` with its runner; returns the exit status.
int EjecutarListadoPara(const Opciones& o, qint16 accionPropia, QTextStream& errores,
                        const std::function<int(EjecutorListado&)>& paso);

// A count as the count window shows it: thousands grouped with ".", no decimals ("1.234").
QString TextoConteo(double cuenta);

} // namespace quill::cli
