// Catalogue rows of the replacement records (REPOSICION: cleanings, revisions and replacements
// of any record family).

#include "catalogo_formas.h"

namespace quill {

using namespace formas;

QList<EntradaCatalogo> filasReposiciones() {
    const Registro R{QStringLiteral("PACIENTE.ID_PACIENTE = REPOSICION.ID_PACIENTE AND "),
                     {QStringLiteral("REPOSICION")}};
    // No entry: 400, 407 to 419.
    return {
        numero(401, R, QStringLiteral("REPOSICION.NUMERO_FICHA"), 0),
        lista(402, R, QStringLiteral("REPOSICION.TIPO_REPOSICION")),
        fecha(403, R, QStringLiteral("REPOSICION.FECHA"),
              QStringLiteral("CAST(REPOSICION.FECHA AS DATE) != '12/30/1899' AND ")),
        lista(404, R, QStringLiteral("REPOSICION.TIPO")),
        numero(405, R, QStringLiteral("REPOSICION.IMPORTE_M1"), 0),
        memo(406, R, QStringLiteral("REPOSICION.OBSERVACIONES")),
    };
}

} // namespace quill
