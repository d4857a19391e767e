// Sales and article (consumption) fields: the exact fragment and tables of every entry, the
// article fields per product line, and the names of list fields looked up in their masters.

#include "familias_casos.h"

#include "platform/guard.h"

#include "business/maestros.h"
#include "sql/catalogo.h"

#include <array>
#include <memory>

using namespace familias;
using namespace quill;

namespace {

const std::string JV = "PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND ";
const std::string JV3 = " PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND MVENTA.TIPO_OPERACION != 3 "
                        "AND ";
const std::string LV = "MVENTA.ID_MVENTA = DVENTA.ID_MVENTA  AND ";
const QStringList VP{"MVENTA", "PACIENTE"};
const QStringList V{"MVENTA"};
const QStringList VD{"MVENTA", "DVENTA"};

// The masters names are looked up in, as (table, key, description column, one record).
void conMaestros(TLstSentPaciente& s) {
    const std::array<std::array<const char*, 4>, 7> maestros = {
        {{"FAMILIA", "ID_FAMILIA", "DESCRIPCION", "Monturas"},
         {"IVA", "ID_IVA", "DESCRIPCION", "Iva"},
         {"PROVEEDOR", "ID_PROVEEDOR", "NOMBRE", "Visión Sur"},
         {"TARTICULO", "ID_TARTICULO", "DESCRIPCION", "Audífono"},
         {"TRATAMIENTO", "ID_TRATAMIENTO", "DESCRIPCION", "Endurecido"},
         {"MARCA", "ID_MARCA", "DESCRIPCION", "Sonora"},
         {"TLENTILLA", "ID_TLENTILLA", "DESCRIPCION", "Diaria esférica"}}};
    int id = 0;
    for (const auto& [tabla, clave, columna, nombre] : maestros) {
        auto cache = std::make_shared<MaestroCache>();
        cache->add(++id, QString::fromUtf8(nombre));
        if (id == 1) cache->add(9, QStringLiteral("Lentes"));
        s.setMaestro({tabla, clave, {columna}}, cache);
    }
}

struct CasoConsumo {
    int id;
    qint16 linea;
    const char* op;
    const char* c1;
    QStringList items; // the ids the grid handed over (replaced for name lists)
    std::string resto; // after the record join
    bool articulo;     // the article join and table
};

} // namespace

TEST(Ventas, EveryEntry) {
    const std::string agentes =
        "MVENTA.ID_AGENTE  = 3 Or MVENTA.ID_AGENTE = 5) Or MVENTA.ID_MVENTA in (SELECT ID_MVENTA "
        "from DVENTA WHERE (DVENTA.ID_AGENTE_1  = 3 Or DVENTA.ID_AGENTE_1 = 5) Or "
        "(DVENTA.ID_AGENTE_2  = 3 Or DVENTA.ID_AGENTE_2 = 5) Or (DVENTA.ID_AGENTE_3  = 3 Or "
        "DVENTA.ID_AGENTE_3 = 5))))";
    const std::string fecha =
        "CAST(MVENTA.FECHA AS DATE) != '12/30/1899' AND CAST(MVENTA.FECHA AS DATE) > '12/31/2023'";
    // clang-format off
    const Caso casos[] = {
        {451, kMayor, "31/12/2023", "", {}, JV + fecha, VP},
        {452, kMayor, "300,5", "", {}, " > 300.5", VP},
        {551, kMayor, "31/12/2023", "", {}, JV + fecha, VP},
        {553, kIgual, "", "", {"2"}, " (" + JV + LV + "(DVENTA.ID_ALMACEN  = 2))",
         {"DVENTA", "MVENTA", "PACIENTE"}},
        {554, kIgual, "", "", {"3", "5"}, "(" + JV + "((" + agentes, VP},
        {554, kDistinto, "", "", {"3"}, "(" + JV + "((MVENTA.ID_AGENTE  != 3) AND MVENTA.ID_MVENTA "
         "in (SELECT ID_MVENTA from DVENTA WHERE (DVENTA.ID_AGENTE_1  != 3) AND "
         "(DVENTA.ID_AGENTE_2  != 3) And (DVENTA.ID_AGENTE_3  != 3))))", VP},
        {555, kIgual, "", "", {"2", "3"}, " (" + JV +
         "(MVENTA.TERMINADO  = 2 Or MVENTA.TERMINADO = 3))", VP},
        {556, kVacio, "", "", {}, " (" + JV + "(MVENTA.RECOGIDO  = -1 Or MVENTA.RECOGIDO = 0 ))", VP},
        {571, kMayor, "31/12/2023", "", {}, JV3 + fecha, V},
        {572, kEmpieza, "mon", "", {}, JV3 + LV + "DVENTA.REFERENCIA starting with 'MON'", VD},
        {574, kMayor, "10", "", {}, JV3 + LV + "DVENTA.PORCENTAJE_DESCUENTO  > 10", VD},
        {575, kEntre, "5", "15", {}, JV3 + "MVENTA.PORCENTAJE_DESCUENTO  BETWEEN 5 AND 15", V},
        {576, kIgual, "", "", {"3", "5"}, "(" + JV3.substr(1) + "((" + agentes, V},
        {577, kDistinto, "", "", {"1"}, JV3 + LV + "(DVENTA.ID_GRUPO  != 1)", VD},
        {578, kIgual, "", "", {"4"}, JV3 + "(MVENTA.ID_FORMA_PAGO  = 4)", V},
        {579, kMenor, "99,9", "", {}, JV3 + "MVENTA.LIQUIDO_M1  < 99.9", V},
        // No entry, and a date without value restricts nothing.
        {453, kIgual, "Total", "", {}, "", {}},
        {557, kIgual, "1", "", {}, "", {}},
        {571, kIgual, "", "", {}, "", {}},
    };
    // clang-format on
    for (const Caso& k : casos)
        comprobar(k);
}

TEST(Consumo, EveryEntryPerProductLine) {
    const std::string jc[] = {
        "PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND MGRADUACION.ID_MGRADUACION = "
        "DGRADUACION.ID_MGRADUACION AND ",
        "PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND MLENTILLA.ID_MLENTILLA = "
        "DLENTILLA.ID_MLENTILLA AND ",
        "PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND MAUDIFONO.ID_MAUDIFONO = "
        "DAUDIFONO.ID_MAUDIFONO AND "};
    const char* const registro[] = {"MGRADUACION", "MLENTILLA", "MAUDIFONO"};
    const char* const detalle[] = {"DGRADUACION", "DLENTILLA", "DAUDIFONO"};
    // clang-format off
    const CasoConsumo casos[] = {
        {501, 2, kEmpieza, "cr", {}, "DGRADUACION.REFERENCIA starting with 'CR'", false},
        {505, 2, kIgual, "Monturas; Lentes", {"99"}, "(ARTICULO.ID_FAMILIA  = 1 Or ARTICULO.ID_FAMILIA = 9)", true},
        {506, 4, kDistinto, "Iva", {}, "(ARTICULO.ID_IVA_COMPRA  != 2)", true},
        {507, 2, kIgual, "x1", {}, "DGRADUACION.MODELO  = 'X1'", false},
        {507, 3, kIgual, "x1", {}, "ARTICULO.MODELO  = 'X1'", true},
        {508, 2, kIgual, "8,6", {}, "(ARTICULO.RADIO_1  = '8,6' Or ARTICULO.RADIO_2  = '8,6')", true},
        {508, 4, kIgual, "8,6", {}, "(DAUDIFONO.RADIO_1  = '8,6' Or DAUDIFONO.RADIO_2  = '8,6')", false},
        // The article type's names come from another list; only the master's names count.
        {512, 2, kIgual, "Audifono; Generico", {"1", "0"}, "(ARTICULO.ID_TARTICULO  = 4)", true},
        {516, 3, kIgual, "2", {}, "ARTICULO.CILINDRO  = 2", true},
        {517, 2, kIgual, "52-18", {}, "ARTICULO.TAMANO  = '52-18'", true},
        {518, 2, kIgual, "Endurecido", {}, "((ARTICULO.ID_TRATAMIENTO_1  = 5) Or "
         "(ARTICULO.ID_TRATAMIENTO_2  = 5) Or (ARTICULO.ID_TRATAMIENTO_3  = 5))", true},
        {518, 3, kNoVacio, "", {}, "((ARTICULO.ID_TRATAMIENTO_1  != -1 AND ARTICULO.ID_TRATAMIENTO_1 != 0 ) "
         "AND (ARTICULO.ID_TRATAMIENTO_2  != -1 AND ARTICULO.ID_TRATAMIENTO_2 != 0 ) AND "
         "(ARTICULO.ID_TRATAMIENTO_3  != -1 AND ARTICULO.ID_TRATAMIENTO_3 != 0 ))", true},
        {519, 2, kIgual, "Sonora", {}, "(ARTICULO.ID_MARCA  = 6)", true},
        {521, 3, kIgual, "Diaria esférica", {}, "(DLENTILLA.ID_TLENTILLA  = 7)", false},
        {521, 4, kIgual, "Diaria esférica", {}, "(ARTICULO.ID_TIPO  = 7)", true},
        {522, 4, kVacio, "", {}, "(ARTICULO.ID_MARCA  = -1 Or ARTICULO.ID_MARCA = 0 )", true},
        {523, 2, kIgual, "Bifocal", {"5"}, "(ARTICULO.ID_TIPO  = 5)", true},
        // Fields a product line does not have, and a builder without product line.
        {521, 2, kIgual, "Diaria esférica", {}, "", false},
        {522, 3, kIgual, "Sonora", {}, "", false},
        {523, 3, kIgual, "Bifocal", {"5"}, "", false},
        {501, 0, kIgual, "x", {}, "", false},
    };
    // clang-format on
    for (const CasoConsumo& k : casos) {
        for (const bool consumo : {true, false}) {
            TLstSentPaciente s;
            conMaestros(s);
            s.setTipoListado(k.linea);
            QStringList lista;
            poner(s, lista, k.id, k.op, k.c1, "", k.items);
            const QString r = consumo ? s.GenerarSentenciaConsumo() : s.GenerarSentencia();
            std::string esperado;
            QStringList tablas;
            if (!k.resto.empty()) {
                const int i = k.linea - 2;
                esperado = jc[i] +
                           (k.articulo ? detalle[i] + std::string(".REFERENCIA = "
                                                                  "ARTICULO.REFERENCIA AND ")
                                       : std::string()) +
                           k.resto;
                if (k.articulo) tablas << "ARTICULO";
                tablas << "PACIENTE" << registro[i] << detalle[i];
            }
            EXPECT_EQ(r.toStdString(), esperado) << k.id << " line " << k.linea;
            EXPECT_EQ(s.Tablas(), tablas) << k.id << " line " << k.linea;
        }
    }
}

TEST(Consumo, NamesNotInTheMaster) {
    TLstSentPaciente s;
    conMaestros(s);
    s.setTipoListado(2);
    QStringList lista;
    // Names the master does not have add nothing; when none is left the condition is refused.
    poner(s, lista, 519, kIgual, "Nadie; Sonora", "", {"1", "2"});
    EXPECT_TRUE(s.GenerarSentenciaConsumo().endsWith("(ARTICULO.ID_MARCA  = 6)"));
    EXPECT_EQ(lista, QStringList{"6"});
    poner(s, lista, 519, kDistinto, "Nadie; Otra", "", {"1"});
    EXPECT_THROW(s.GenerarSentenciaConsumo(), Error);
    // A master that cannot be read is an error, not an empty list.
    TLstSentPaciente sinBase(QStringLiteral("no existe"));
    sinBase.setTipoListado(2);
    poner(sinBase, lista, 505, kIgual, "Monturas");
    EXPECT_THROW(sinBase.GenerarSentenciaConsumo(), Error);
}
