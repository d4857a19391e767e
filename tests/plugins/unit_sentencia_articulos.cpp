// How an article selection becomes the Sentencia of its condition row: every condition of the
// selection table through the builder, the fragments in parentheses joined by " AND ".

#include "listing/tfltarticulo.h"
#include "puentes.h"
#include "tfrmseleccionarticulos.h"

#include "platform/guard.h"
#include "platform/memtable.h"
#include "sql/lstsentpaciente.h"
#include "sql/valores.h"

#include <gtest/gtest.h>

namespace {

struct CasoUnion {
    QStringList fragmentos;
    QString esperado;
};

TEST(UnirSentenciasArticulos, ParentesisYAndSinFragmentosVacios) {
    const QList<CasoUnion> casos = {
        {{}, QString()},
        {{QString(), QStringLiteral("  ")}, QString()},
        {{QStringLiteral("A = 1")}, QStringLiteral("(A = 1)")},
        {{QStringLiteral("A = 1"), QStringLiteral("B = 2")}, QStringLiteral("(A = 1) AND (B = 2)")},
        {{QString(), QStringLiteral("A = 1"), QString(), QStringLiteral("B = 2"), QString()},
         QStringLiteral("(A = 1) AND (B = 2)")},
        // A fragment carrying its own OR stays one term.
        {{QStringLiteral(" X = 1 Or Y = 2 "), QStringLiteral("Z = 3")},
         QStringLiteral("(X = 1 Or Y = 2) AND (Z = 3)")},
    };
    for (const CasoUnion& c : casos)
        EXPECT_EQ(UnirSentenciasArticulos(c.fragmentos), c.esperado)
            << c.fragmentos.join(QLatin1Char('|')).toStdString();
}

class SentenciaArticulosTest : public ::testing::Test {
protected:
    void SetUp() override {
        pickers::DefinirCamposSeleccion(tabla);
        tabla.open();
    }
    void fila(double id, const QString& condicion, const QString& c1, const QString& c2 = {},
              const QString& ids = {}) {
        tabla.append();
        tabla.setValue(QStringLiteral("Id"), id);
        tabla.setValue(QStringLiteral("Condicion"), condicion);
        tabla.setValue(QStringLiteral("Condicion1"), c1);
        tabla.setValue(QStringLiteral("Condicion2"), c2);
        tabla.setValue(QStringLiteral("IdsCondicion1"), ids);
        tabla.post();
    }

    quill::MemTable tabla;
    quill::TLstSentPaciente constructor;
};

// A generator that shows what the builder was given for each condition.
QString eco(quill::TLstSentPaciente& c) {
    if (c.Condicion1() == QStringLiteral("nada")) return QString();
    return QStringLiteral("%1 %2 %3 %4 [%5] %6")
        .arg(c.Id())
        .arg(c.Condicion(), c.Condicion1(), c.Condicion2(),
             c.Lista() ? c.Lista()->join(QLatin1Char(',')) : QStringLiteral("sin lista"))
        .arg(c.TipoListado());
}

TEST_F(SentenciaArticulosTest, CadaCondicionLlegaAlConstructorEnOrden) {
    fila(501, QStringLiteral("Empieza por..."), QStringLiteral("RB"));
    fila(513, QStringLiteral("...Entre..."), QStringLiteral("10"), QStringLiteral("20"));
    fila(504, QStringLiteral("Igual a..."), QStringLiteral("nada"));
    fila(505, QStringLiteral("Igual a..."), QStringLiteral("Metal; Sol"), {},
         QStringLiteral("1; 3"));
    tabla.moveTo(1);
    const QString s = SentenciaArticulos(constructor, 3, tabla, eco);
    EXPECT_EQ(s, QStringLiteral("(501 Empieza por... RB  [] 3) AND "
                                "(513 ...Entre... 10 20 [] 3) AND "
                                "(505 Igual a... Metal; Sol  [1,3] 3)"));
    EXPECT_EQ(constructor.TipoListado(), 3);
    // The ids list of the call is gone; the builder does not keep it.
    EXPECT_EQ(constructor.Lista(), nullptr);
    EXPECT_EQ(tabla.currentRow(), 1);
}

TEST_F(SentenciaArticulosTest, SinCondicionesNoHaySentencia) {
    EXPECT_EQ(SentenciaArticulos(constructor, 2, tabla, eco), QString());
    EXPECT_EQ(constructor.TipoListado(), 2);
}

TEST_F(SentenciaArticulosTest, ElConstructorDeConsumoNoDaFragmentoFueraDeLosCamposDeConsumo) {
    // A patient field in a selection table is not an article condition.
    fila(1, QStringLiteral("Igual a..."), QStringLiteral("García"));
    fila(2, QStringLiteral("Empieza por..."), QStringLiteral("Ana"));
    EXPECT_EQ(SentenciaArticulos(constructor, 4, tabla), QString());
    EXPECT_TRUE(constructor.Tablas().isEmpty());
}

TEST_F(SentenciaArticulosTest, UnValorRechazadoDejaLasTablasComoEstaban) {
    constructor.AnadirTabla(QStringLiteral("PACIENTE"));
    fila(513, QStringLiteral("Igual a..."), QStringLiteral("12,5"));
    fila(513, QStringLiteral("Igual a..."), QStringLiteral("doce"));
    const auto numero = [](quill::TLstSentPaciente& c) {
        const QString f = c.SentenciaNumero(0, QStringLiteral("DGRADUACION.IMPORTE_M1"));
        c.AnadirTabla(QStringLiteral("DGRADUACION"));
        return QStringLiteral("DGRADUACION.IMPORTE_M1") + f;
    };
    try {
        SentenciaArticulos(constructor, 2, tabla, numero);
        FAIL() << "the value 'doce' was accepted";
    } catch (const quill::Error& e) {
        EXPECT_EQ(e.message(), quill::fragmentErrorMessage());
    }
    EXPECT_EQ(constructor.Tablas(), QStringList{QStringLiteral("PACIENTE")});
    EXPECT_EQ(constructor.Lista(), nullptr);

    // Without the refused row the same builder gives the fragment and keeps its table.
    tabla.last();
    tabla.remove();
    EXPECT_EQ(SentenciaArticulos(constructor, 2, tabla, numero),
              QStringLiteral("(DGRADUACION.IMPORTE_M1 = 12.5)"));
    EXPECT_EQ(constructor.Tablas(),
              (QStringList{QStringLiteral("PACIENTE"), QStringLiteral("DGRADUACION")}));
}

} // namespace
