// How an article selection becomes the Sentencia of its condition row: every condition of the
// selection table through the builder, the non-empty fragments in parentheses joined by " AND ".

#include "listing/tfltarticulo.h"
#include "tfrmseleccionarticulos.h"

#include "platform/memtable.h"
#include "sql/lstsentpaciente.h"

#include <gtest/gtest.h>

namespace {

// A generator that shows what the builder was given for each condition.
QString eco(quill::TLstSentPaciente& c) {
    if (c.Condicion1() == QStringLiteral("nada")) return QString();
    return QStringLiteral("%1 %2 %3 %4 [%5] %6")
        .arg(c.Id())
        .arg(c.Condicion(), c.Condicion1(), c.Condicion2(),
             c.Lista() ? c.Lista()->join(QLatin1Char(',')) : QStringLiteral("sin lista"))
        .arg(c.TipoListado());
}

TEST(SentenciaArticulos, CadaCondicionLlegaAlConstructorEnOrden) {
    quill::MemTable tabla;
    pickers::DefinirCamposSeleccion(tabla);
    tabla.open();
    // Id, Campo, Condicion, TipoCondicion, Condicion1, Condicion2, IdsCondicion1
    tabla.appendRecord({501, {}, QStringLiteral("Empieza por..."), {}, QStringLiteral("RB")});
    tabla.appendRecord({513, {}, QStringLiteral("...Entre..."), {}, QStringLiteral("10"),
                        QStringLiteral("20")});
    tabla.appendRecord({504, {}, QStringLiteral("Igual a..."), {}, QStringLiteral("nada")});
    tabla.appendRecord({505, {}, QStringLiteral("Igual a..."), {}, QStringLiteral("Metal; Sol"),
                        {}, QStringLiteral("1; 3")});
    tabla.moveTo(1);
    quill::TLstSentPaciente constructor;
    EXPECT_EQ(SentenciaArticulos(constructor, 3, tabla, eco),
              QStringLiteral("(501 Empieza por... RB  [] 3) AND "
                             "(513 ...Entre... 10 20 [] 3) AND "
                             "(505 Igual a... Metal; Sol  [1,3] 3)"));
    EXPECT_EQ(constructor.TipoListado(), 3);
    // The ids list of the call is gone; the builder does not keep it.
    EXPECT_EQ(constructor.Lista(), nullptr);
    EXPECT_EQ(tabla.currentRow(), 1);
}

} // namespace
