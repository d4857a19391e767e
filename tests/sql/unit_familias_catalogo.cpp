// The record families as a whole: which identifiers have a row, the ones that give the empty
// text, tables collected across conditions, and values that must not shape the statement.

#include "familias_casos.h"
#include "sql/catalogo.h"
#include "sql/valores.h"

#include <set>

using namespace familias;
using namespace quill;

namespace {

// Identifiers with a row in the record families, range by range.
std::set<int> conFila() {
    std::set<int> ids;
    const auto rango = [&ids](int desde, int hasta) {
        for (int id = desde; id <= hasta; ++id)
            ids.insert(id);
    };
    rango(70, 108);
    rango(2000, 2016);
    rango(110, 148);
    rango(2100, 2115);
    rango(150, 209);
    rango(2300, 2352);
    rango(211, 232);
    rango(248, 292);
    rango(294, 295);
    rango(297, 344);
    rango(347, 350);
    rango(376, 380);
    rango(401, 406);
    rango(481, 482);
    for (int sin : {91, 95, 2013, 129, 134, 166, 176, 186, 192})
        ids.erase(sin);
    return ids;
}

} // namespace

TEST(FamiliasCatalogo, EveryIdentifierOfTheFamiliesHasItsRowOrNone) {
    const auto& c = CatalogoSentencias::instancia();
    const std::set<int> esperados = conFila();
    const std::set<std::string> familias{"graduaciones",
                                         "lentillas",
                                         "audifonos",
                                         "optometria",
                                         "baja vision",
                                         "reposiciones",
                                         "reposicion de lentillas"};
    int filas = 0;
    for (int id = 0; id <= 3099; ++id) {
        const Familia* f = c.familia(id);
        if (!f || !familias.count(f->nombre)) continue;
        const bool tiene = c.entrada(id) != nullptr;
        EXPECT_EQ(tiene, esperados.count(id) == 1) << id << " (" << f->nombre << ")";
        filas += tiene;
    }
    EXPECT_EQ(filas, static_cast<int>(esperados.size()));
    EXPECT_EQ(filas, 349);
}

TEST(FamiliasCatalogo, IdentifiersWithoutEntryGiveTheEmptyText) {
    TLstSentPaciente s;
    QStringList lista;
    for (int id : {69,  91,  95,  2013, 109, 129, 134, 149, 166, 176, 186, 192, 210, 233, 247,
                   293, 296, 345, 346,  351, 374, 375, 381, 399, 400, 407, 419, 480, 483, 499}) {
        for (const char* op : {kIgual, kVacio, kNoVacio}) {
            poner(s, lista, id, op, "1", "2", {"1"});
            EXPECT_EQ(s.GenerarSentencia().toStdString(), "") << id << " " << op;
        }
    }
    EXPECT_TRUE(s.Tablas().isEmpty());
}

TEST(FamiliasCatalogo, RecordTablesAreCollectedOnceInOrderOfFirstUse) {
    TLstSentPaciente s;
    QStringList lista;
    const struct {
        int id;
        const char* op;
        const char* c1;
        QStringList items;
    } filas[] = {
        {82, kMenor, "-1", {}},        // MGRADUACION
        {136, kIgual, "", {"2"}},      // MLENTILLA, DLENTILLA
        {80, kMayor, "1", {}},         // nothing new
        {94, kIgual, "", {"1"}},       // DGRADUACION
        {2104, kContiene, "x", {}},    // LOBSERVACIONES
        {71, kVacio, "", {}},          // no value: nothing
        {161, kMayor, "40", {}},       // MAUDIFONO
        {348, kContiene, "x", {}},     // OPTOMETRIA
        {1, kIgual, "x", {}},          // PACIENTE
        {403, kIgual, "1/1/2024", {}}, // REPOSICION
        {481, kIgual, "1/1/2024", {}}, // nothing new
    };
    for (const auto& f : filas) {
        poner(s, lista, f.id, f.op, f.c1, "", f.items);
        EXPECT_EQ(s.GenerarSentencia().isEmpty(), f.id == 71) << f.id;
    }
    EXPECT_EQ(s.Tablas(),
              (QStringList{"MGRADUACION", "MLENTILLA", "DLENTILLA", "DGRADUACION", "LOBSERVACIONES",
                           "MAUDIFONO", "OPTOMETRIA", "PACIENTE", "REPOSICION"}));
}

TEST(FamiliasCatalogo, ValuesNeverShapeTheStatement) {
    // Texts stay inside one literal.
    comprobar({193,
               kIgual,
               "x' OR 'a'='a",
               "",
               {},
               "PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND MAUDIFONO.ID_MAUDIFONO = "
               "DAUDIFONO.ID_MAUDIFONO  AND UPPER(DAUDIFONO.NUMERO_SERIE)  = 'X'' OR ''A''=''A'",
               {"MAUDIFONO", "DAUDIFONO"}});
    comprobar(
        {348,
         kIgual,
         "a'b",
         "",
         {},
         "PACIENTE.ID_PACIENTE = OPTOMETRIA.ID_PACIENTE AND (UPPER(OPTOMETRIA.BI_OBSERVACIONES)"
         "  like 'A''B__' Or UPPER(OPTOMETRIA.TA_CONCLUSIONES)  like 'A''B__' Or "
         "UPPER(OPTOMETRIA.TA_OBSERVACIONES)  like 'A''B__' Or "
         "UPPER(OPTOMETRIA.OF_OBSERVACIONES)  like 'A''B__' Or "
         "UPPER(OPTOMETRIA.TB_OBSERVACIONES)  like 'A''B__' Or "
         "UPPER(OPTOMETRIA.TR_OBSERVACIONES)  like 'A''B__')",
         {"OPTOMETRIA"}});
    // Numbers, dates and ids that are not are refused, and add no table.
    const Caso rechazados[] = {
        {82, kMenor, "-1 OR 1=1", "", {}, "", {}},
        {2006, kIgual, "90) OR (1=1", "", {}, "", {}},
        {161, kEntre, "10", "x", {}, "", {}},
        {71, kIgual, "31/02/2020", "", {}, "", {}},
        {403, kMayor, "1/1/2020' OR '1'='1", "", {}, "", {}},
        {73, kIgual, "", "", {"3", "5) OR (1=1"}, "", {}},
        {94, kIgual, "", "", {"progresivo"}, "", {}},
        {76, kIgual, "", "", {"1.5"}, "", {}},
        {378, kIgual, "tienda 3", "", {}, "", {}},
    };
    for (const auto& k : rechazados) {
        TLstSentPaciente s;
        QStringList lista;
        poner(s, lista, k.id, k.op, k.c1, k.c2, k.items);
        try {
            s.GenerarSentencia();
            ADD_FAILURE() << "accepted: " << k.id << " " << k.c1;
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), fragmentErrorMessage()) << k.id;
        }
        EXPECT_TRUE(s.Tablas().isEmpty()) << k.id;
    }
}
