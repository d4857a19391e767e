// The catalogue: dispatch by identifier range, the checks on its rows, and the shape functions the
// record families use.

#include "sql/catalogo.h"
#include "sql/lstsentpaciente.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace quill;

namespace {

const char* familiaDe(int id) {
    const Familia* f = CatalogoSentencias::instancia().familia(id);
    return f ? f->nombre : "";
}

QList<EntradaCatalogo> filaFuera() {
    EntradaCatalogo e;
    e.id = 70;
    e.operador = Operador::Texto;
    return {e};
}

QList<EntradaCatalogo> filaRepetida() {
    EntradaCatalogo e;
    e.id = 3;
    e.operador = Operador::Texto;
    return {e, e};
}

QList<EntradaCatalogo> filaEnRangoAjeno() {
    // 2005 lies in 610..3099 but an earlier family answers for it.
    EntradaCatalogo e;
    e.id = 2005;
    return {e};
}

} // namespace

TEST(SentenciaCatalogo, DispatchByRange) {
    const struct {
        int id;
        const char* familia;
    } casos[] = {
        {-1, "paciente"},
        {68, "paciente"},
        {69, "graduaciones"},
        {2016, "graduaciones"},
        {2017, "campos comunes"},
        {109, "lentillas"},
        {2352, "audifonos"},
        {210, "optometria"},
        {399, "baja vision"},
        {420, "partes de fecha"},
        {455, "ventas"},
        {480, "reposicion de lentillas"},
        {500, "consumo"},
        {550, "documentos de venta"},
        {609, "lineas de venta"},
        {3099, "campos comunes"},
        {3100, ""},
    };
    for (const auto& k : casos)
        EXPECT_STREQ(familiaDe(k.id), k.familia) << k.id;
    EXPECT_TRUE(CatalogoSentencias::instancia().familia(520)->porTipoListado);
}

TEST(SentenciaCatalogo, RowsOutsideTheirFamilyOrRepeatedAreRefused) {
    EXPECT_THROW(CatalogoSentencias({{"paciente", {{0, 68}}, filaFuera}}), std::logic_error);
    EXPECT_THROW(CatalogoSentencias({{"paciente", {{0, 68}}, filaRepetida}}), std::logic_error);
    EXPECT_THROW(CatalogoSentencias({{"graduaciones", {{2000, 2016}}, nullptr},
                                     {"comunes", {{610, 3099}}, filaEnRangoAjeno}}),
                 std::logic_error);
    EXPECT_NO_THROW(CatalogoSentencias({{"comunes", {{610, 3099}}, filaEnRangoAjeno}}));
}

TEST(SentenciaCatalogo, ShapeFunctions) {
    const QString jg = QStringLiteral(" PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND ");
    const QString ja = QStringLiteral("PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND ");

    EntradaCatalogo unida;
    unida.forma = Forma::Unida;
    unida.delante = jg;
    unida.columna = QStringLiteral("MGRADUACION.OD_ESFERA_LEJOS");
    unida.operador = Operador::Numero;
    unida.centinela = 98;

    // Either eye, each eye with its own empty value.
    EntradaCatalogo par;
    par.forma = Forma::Alternativas;
    par.delante = jg;
    par.alternativas = {{QStringLiteral("MGRADUACION.OD_EJE"), Operador::Numero, 400},
                        {QStringLiteral("MGRADUACION.OI_EJE"), Operador::Numero, 98}};
    par.separador = QStringLiteral(" OR ");

    EntradaCatalogo lista;
    lista.forma = Forma::Lista;
    lista.delante = QStringLiteral(" (PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND ");
    lista.columna = QStringLiteral("MGRADUACION.ID_DOCTOR");
    lista.operador = Operador::Lista;
    lista.detras = QStringLiteral(")");

    EntradaCatalogo oido;
    oido.forma = Forma::Alternativas;
    oido.delante = ja;
    oido.alternativas = {{QStringLiteral("MAUDIFONO.OD_AEREA_125"), Operador::Numero, 0}};

    EntradaCatalogo sinCalculo;
    sinCalculo.forma = Forma::Calculada;

    const struct {
        const EntradaCatalogo* e;
        const char* op;
        const char* c1;
        QStringList items;
        std::string esperado;
    // clang-format off
    } casos[] = {
        {&unida, "Vacío", "", {}, jg.toStdString() + "MGRADUACION.OD_ESFERA_LEJOS  = 98"},
        {&par, "Igual a...", "90", {}, jg.toStdString() +
         "(MGRADUACION.OD_EJE  = 90 AND MGRADUACION.OD_EJE != 400 OR "
         "MGRADUACION.OI_EJE  = 90 AND MGRADUACION.OI_EJE != 98)"},
        {&lista, "Igual a...", "", {"3", "5"},
         " (PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND (MGRADUACION.ID_DOCTOR  = 3 Or "
         "MGRADUACION.ID_DOCTOR = 5))"},
        {&oido, "Mayor que...", "40", {}, ja.toStdString() + "(MAUDIFONO.OD_AEREA_125  > 40)"},
        {&sinCalculo, "Igual a...", "1", {}, ""},
    };
    // clang-format on
    for (const auto& k : casos) {
        TLstSentPaciente s;
        QStringList items = k.items;
        s.setLista(&items);
        s.setCondicion(QString::fromUtf8(k.op));
        s.setCondicion1(QString::fromUtf8(k.c1));
        EXPECT_EQ(construirEntrada(s, *k.e).toStdString(), k.esperado) << k.op;
        EXPECT_TRUE(s.Tablas().isEmpty()) << "the shape functions add no table";
    }
}
