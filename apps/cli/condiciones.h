#pragma once

// The conditions file of the listing commands: a JSON array of condition rows, each with the
// record's field names, e.g.
//
//   [ {"Id": 1, "Condicion": "Empieza por...", "Condicion1": "GAR"},
//     {"Id": 11, "Condicion": "Igual a...", "Condicion1": "Mujer", "Condicion1Ids": "2"} ]
//
// `Id` is required; `Condicion` (operator, "Igual a..." when missing), `Condicion1`,
// `Condicion2` and `Condicion1Ids` (ids joined by ";") are optional; `Campo` may be written for
// the reader and is ignored. The rest of each row (IdGrupo, Campo, TipoCondicion, TipoObjeto)
// comes from the filter catalogue, and every row is built as the listing window builds it
// before posting it (conditions/construir.h), into a condition table of the listing kind.

#include "conditions/construir.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace quill {
class MemTable;
}

namespace quill::cli {

struct CondicionesListado {
    std::unique_ptr<MemTable> tabla; // the kind's condition table, rows built
    QStringList tablas;              // tables the fragments need
    ParametrosListado parametros;    // what the special fields hand to the kind
    bool necesitaBase = false;       // a row looks localities up in the shop database
};

// The catalogue fields whose fragment reads the shop database (postal codes, provinces).
bool CampoNecesitaBase(double id);

// Reads the file and builds its rows for a listing kind, each through the window's own path
// (ConstruirFila on the row being inserted). `carpetaCatalogo` is the folder of
// Filtros.xml; `conexion` the Qt connection of the shop database, or empty when none is open
// (rows that need it are then refused). Returns an empty text, or the reason in Spanish; the
// rows are also checked as the window checks them before any action.
QString LeerCondiciones(const QString& fichero, int tipoListado, const QString& carpetaCatalogo,
                        const QString& conexion, CondicionesListado& salida);

} // namespace quill::cli
