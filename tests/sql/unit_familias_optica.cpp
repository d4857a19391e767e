// Spectacle prescriptions, contact lenses and the lens-replacement fields: the exact fragment of
// each entry shape and the record tables it adds.

#include "familias_casos.h"

using namespace familias;

namespace {

const std::string JG = " PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND ";
const std::string JGD = "PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND "
                        "MGRADUACION.ID_MGRADUACION = DGRADUACION.ID_MGRADUACION AND ";
const std::string JGO = "PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND "
                        "MGRADUACION.ID_MGRADUACION = GOBSERVACIONES.ID_MGRADUACION AND ";
const std::string LG = " (PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND (";
const QStringList G{"MGRADUACION"};
const QStringList GD{"MGRADUACION", "DGRADUACION"};
const QStringList GO{"MGRADUACION", "GOBSERVACIONES"};

const std::string JL = " PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND ";
const std::string JLD = "PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND "
                        "MLENTILLA.ID_MLENTILLA = DLENTILLA.ID_MLENTILLA AND ";
const std::string JLO = "PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND "
                        "MLENTILLA.ID_MLENTILLA = LOBSERVACIONES.ID_MLENTILLA AND ";
const std::string LL = " (PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND (";
const QStringList L{"MLENTILLA"};
const QStringList LD{"MLENTILLA", "DLENTILLA"};
const QStringList LO{"MLENTILLA", "LOBSERVACIONES"};

std::string fecha(const std::string& col, const std::string& resto) {
    return col + " != '12/30/1899' AND " + col + resto;
}

} // namespace

TEST(FamiliasGraduacion, SingleEntries) {
    // clang-format off
    const Caso casos[] = {
        // A measurement with 98 as its empty value: no sentinel clause for "Vacío".
        {80, kVacio, "", "", {}, JG + "MGRADUACION.OD_ESFERA_LEJOS  = 98", G},
        {80, kNoVacio, "", "", {}, JG +
         "MGRADUACION.OD_ESFERA_LEJOS  != 98 AND MGRADUACION.OD_ESFERA_LEJOS != 98", G},
        {82, kMenor, "-1,5", "", {}, JG +
         "MGRADUACION.OD_CILINDRO  < -1.5 AND MGRADUACION.OD_CILINDRO != 98", G},
        {83, kEntre, "80", "100", {}, JG +
         "MGRADUACION.OD_EJE  BETWEEN 80 AND 100 AND MGRADUACION.OD_EJE != 400", G},
        // 103 is the left-eye axis.
        {103, kIgual, "90", "", {}, JG + "MGRADUACION.OI_EJE  = 90 AND MGRADUACION.OI_EJE != 400",
         G},
        {70, kIgual, "12", "", {}, JG + "MGRADUACION.NUMERO_FICHA  = 12", G},
        {70, kVacio, "", "", {}, JG + "MGRADUACION.NUMERO_FICHA  = 0", G},
        {77, kMayor, "0,8", "", {}, JG +
         "MGRADUACION.AGUDEZA_VISUAL  > 0.8 AND MGRADUACION.AGUDEZA_VISUAL != 98", G},
        {84, kContiene, "base", "", {}, JG + "MGRADUACION.OD_PRISMA containing 'BASE'", G},
        {89, kEmpieza, "43", "", {}, JG + "UPPER(MGRADUACION.OD_QUERATOMETRIA) starting with '43'",
         G},
        {104, kVacio, "", "", {}, JG + "MGRADUACION.OI_PRISMA   = ''", G},
        {2000, kIgual, "43,5x44", "", {}, JG + "UPPER(MGRADUACION.OI_QUERATOMETRIA)  = '43,5X44'",
         G},
        {2002, kMayor, "2", "", {}, JG +
         "MGRADUACION.ADICION_AMBOS_OJOS  > 2 AND MGRADUACION.ADICION_AMBOS_OJOS != 98", G},
        {2003, kIgual, "progresivo", "", {}, JGO +
         "UPPER(GOBSERVACIONES.OBSERVACIONES)  like 'PROGRESIVO__'", GO},
        // Guarantee lines.
        {93, kMayor, "20", "", {}, JGD + "DGRADUACION.ALTURA  > 20", GD},
        {96, kTermine, "gris", "", {}, JGD + "DGRADUACION.DESCRIPCION like '%GRIS'", GD},
        {97, kEntre, "50", "100,5", {}, JGD + "DGRADUACION.IMPORTE  BETWEEN 50 AND 100.5", GD},
    };
    // clang-format on
    for (const auto& k : casos)
        comprobar(k);
}

TEST(FamiliasGraduacion, DatesListsAndYesNo) {
    const std::string fechaG = "CAST(MGRADUACION.FECHA AS DATE)";
    // clang-format off
    const Caso casos[] = {
        {71, kMayor, "31/12/2009", "", {}, JG + fecha(fechaG, " > '12/31/2009'"), G},
        {72, kNoVacio, "1/1/2020", "", {}, JG +
         "CAST(MGRADUACION.FECHA_REVISION AS DATE) != '12/30/1899'", G},
        {92, kMenor, "1/6/2024", "", {}, JGD + fecha("CAST(DGRADUACION.FECHA_GARANTIA AS DATE)",
         " < '06/01/2024'"), GD},
        // A date condition without value restricts nothing, and brings no table.
        {71, kVacio, "", "", {}, "", {}},
        {92, kIgual, "", "", {}, "", {}},
        // Two doctors: the join holds for each.
        {73, kIgual, "", "", {"3", "5"}, LG +
         "MGRADUACION.ID_DOCTOR  = 3 Or MGRADUACION.ID_DOCTOR = 5))", G},
        {74, kDistinto, "", "", {"2"}, LG + "MGRADUACION.ID_AGENTE  != 2))", G},
        {75, kVacio, "", "", {}, LG + "MGRADUACION.ID_TIENDA  = -1 Or MGRADUACION.ID_TIENDA = 0 ))",
         G},
        // Own or other shop: no space after the column, -1 alone is empty.
        {76, kIgual, "", "", {"1"}, LG + "MGRADUACION.PROPIA_AJENA = 1))", G},
        {76, kNoVacio, "", "", {}, LG + "MGRADUACION.PROPIA_AJENA != -1 ))", G},
        // The prescription type lives on the lines: nested parentheses.
        {94, kIgual, "", "", {"2", "3"},
         "PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND (MGRADUACION.ID_MGRADUACION = "
         "DGRADUACION.ID_MGRADUACION AND (DGRADUACION.TIPO_GRADUACION  = 2 Or "
         "DGRADUACION.TIPO_GRADUACION = 3))", GD},
        {94, kNoVacio, "", "", {},
         "PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND (MGRADUACION.ID_MGRADUACION = "
         "DGRADUACION.ID_MGRADUACION AND (DGRADUACION.TIPO_GRADUACION  != -1 AND "
         "DGRADUACION.TIPO_GRADUACION != 0 ))", GD},
    };
    // clang-format on
    for (const auto& k : casos)
        comprobar(k);
}

TEST(FamiliasGraduacion, EitherEye) {
    // clang-format off
    const Caso casos[] = {
        {2005, kMayor, "2", "", {}, JG +
         "(MGRADUACION.OD_CILINDRO  > 2 AND MGRADUACION.OD_CILINDRO != 98 OR "
         "MGRADUACION.OI_CILINDRO  > 2 AND MGRADUACION.OI_CILINDRO != 98)", G},
        // Each eye keeps its own empty value.
        {2006, kIgual, "90", "", {}, JG +
         "(MGRADUACION.OD_EJE  = 90 AND MGRADUACION.OD_EJE != 400 OR "
         "MGRADUACION.OI_EJE  = 90 AND MGRADUACION.OI_EJE != 98)", G},
        {2006, kVacio, "", "", {}, JG + "(MGRADUACION.OD_EJE  = 400 OR MGRADUACION.OI_EJE  = 98)",
         G},
        {2009, kNoVacio, "", "", {}, JG +
         "(MGRADUACION.OD_ADICION  != 400 AND MGRADUACION.OD_ADICION != 400 OR "
         "MGRADUACION.OI_ADICION  != 98 AND MGRADUACION.OI_ADICION != 98)", G},
        {2010, kEntre, "60", "70", {}, JG +
         "(MGRADUACION.OD_DISTANCIA_LEJOS  BETWEEN 60 AND 70 AND "
         "MGRADUACION.OD_DISTANCIA_LEJOS != 400 OR MGRADUACION.OI_DISTANCIA_LEJOS  BETWEEN "
         "60 AND 70 AND MGRADUACION.OI_DISTANCIA_LEJOS != 98)", G},
        {2014, kMenor, "21", "", {}, JG +
         "(MGRADUACION.OD_TONOMETRIA  < 21 AND MGRADUACION.OD_TONOMETRIA != 98 OR "
         "MGRADUACION.OI_TONOMETRIA  < 21 AND MGRADUACION.OI_TONOMETRIA != 98)", G},
        // Only the right eye is upper-cased in these two.
        {2015, kIgual, "43", "", {}, JG +
         "(UPPER(MGRADUACION.OD_QUERATOMETRIA)  = '43' OR MGRADUACION.OI_QUERATOMETRIA  = " "'43')",
         G},
        {2016, kVacio, "", "", {}, JG +
         "(UPPER(MGRADUACION.OD_PRISMA)   = '' OR MGRADUACION.OI_PRISMA   = '')", G},
    };
    // clang-format on
    for (const auto& k : casos)
        comprobar(k);
}

TEST(FamiliasLentillas, EveryShape) {
    // clang-format off
    const Caso casos[] = {
        {110, kIgual, "7", "", {}, JL + "MLENTILLA.NUMERO_FICHA  = 7", L},
        {117, kEntre, "1/1/2024", "31/12/2024", {}, JL +
         fecha("CAST(MLENTILLA.FECHA_CADUCIDAD AS DATE)", " BETWEEN '01/01/2024' AND '12/31/2024'"),
         L},
        {135, kVacio, "", "", {}, "", {}},
        {113, kIgual, "", "", {"4"}, LL + "MLENTILLA.ID_DOCTOR  = 4))", L},
        {116, kVacio, "", "", {}, LL + "MLENTILLA.PROPIA_AJENA = -1 ))", L},
        {119, kContiene, "renu", "", {}, JL + "UPPER(MLENTILLA.LIQUIDOS) containing 'RENU'", L},
        {124, kMenor, "-3", "", {}, JL + "MLENTILLA.OD_ESFERA  < -3 AND MLENTILLA.OD_ESFERA != 98",
         L},
        {130, kMayor, "1/1/2024", "", {}, JLD + fecha("CAST(DLENTILLA.FECHA_GARANTIA AS DATE)",
         " > '01/01/2024'"), LD},
        {132, kIgual, "180", "", {}, JL + "MLENTILLA.OD_EJE  = 180 AND MLENTILLA.OD_EJE != 400", L},
        // The lens type: the list builder closes the parenthesis after the line join.
        {136, kIgual, "", "", {"2", "4"}, JLD +
         "(DLENTILLA.ID_TLENTILLA  = 2 Or DLENTILLA.ID_TLENTILLA = 4)", LD},
        {136, kVacio, "", "", {}, JLD +
         "(DLENTILLA.ID_TLENTILLA  = -1 Or DLENTILLA.ID_TLENTILLA = 0 )", LD},
        {138, kMayor, "30", "", {}, JLD + "DLENTILLA.IMPORTE_M1  > 30", LD},
        // 141 is the left eye.
        {141, kMayor, "9", "", {}, JL +
         "MLENTILLA.OI_ABERTURA_PARPEBRAL  > 9 AND MLENTILLA.OI_ABERTURA_PARPEBRAL != 98", L},
        {2102, kIgual, "90", "", {}, JL + "MLENTILLA.OI_EJE  = 90 AND MLENTILLA.OI_EJE != 400", L},
        {2104, kContiene, "seca", "", {}, JLO +
         "UPPER(LOBSERVACIONES.OBSERVACIONES) containing 'SECA'", LO},
        {2105, kIgual, "l123", "", {}, JLD + "DLENTILLA.LOTE  = 'L123'", LD},
        {2106, kIgual, "7,8", "", {}, JL +
         "(UPPER(MLENTILLA.OD_RADIO_1)  = '7,8' OR UPPER(MLENTILLA.OI_RADIO_1)  = '7,8')", L},
        {2110, kMayor, "90", "", {}, JL + "(MLENTILLA.OD_EJE  > 90 AND MLENTILLA.OD_EJE != 400 OR "
         "MLENTILLA.OI_EJE  > 90 AND MLENTILLA.OI_EJE != 98)", L},
        {2113, kVacio, "", "", {}, JL +
         "(MLENTILLA.OD_ADICION  = 98 OR MLENTILLA.OI_ADICION  = 98)", L},
        // Lens replacement fields: no join, the replacements listing brings it.
        {481, kMenor, "1/2/2024", "", {}, fecha("CAST(MLENTILLA.FECHA_REPOSICION AS DATE)",
         " < '02/01/2024'"), L},
        {482, kIgual, "", "", {"1", "3"},
         " (DLENTILLA.ID_TLENTILLA  = 1 Or DLENTILLA.ID_TLENTILLA = 3)", L},
    };
    // clang-format on
    for (const auto& k : casos)
        comprobar(k);
}
