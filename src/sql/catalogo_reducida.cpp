// Catalogue rows of the low-vision records (MOREDUCIDA) and their notes (OROBSERVACIONES).

#include "catalogo_formas.h"

namespace quill {

using namespace formas;

QList<EntradaCatalogo> filasBajaVision() {
    const QString m = QStringLiteral("MOREDUCIDA");
    const Registro M{QStringLiteral("PACIENTE.ID_PACIENTE = MOREDUCIDA.ID_PACIENTE AND "), {m}};
    const Registro MO{QStringLiteral("PACIENTE.ID_PACIENTE = MOREDUCIDA.ID_PACIENTE AND "
                                     "MOREDUCIDA.ID_MREDUCIDA = OROBSERVACIONES.ID_MREDUCIDA AND "),
                      {m, QStringLiteral("OROBSERVACIONES")}};
    // No entry: 375, 381 to 399.
    return {
        fecha(376, M, QStringLiteral("MOREDUCIDA.FECHA")),
        fecha(377, M, QStringLiteral("MOREDUCIDA.FECHA_REVISION")),
        // The shop is taken as a number here, not chosen from the shop list.
        numero(378, M, QStringLiteral("MOREDUCIDA.ID_TIENDA"), 0),
        numero(379, M, QStringLiteral("MOREDUCIDA.NUMERO_FICHA"), 0),
        memo(380, MO, QStringLiteral("OROBSERVACIONES.OBSERVACIONES")),
    };
}

} // namespace quill
