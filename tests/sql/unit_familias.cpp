// The record families: the exact fragment of each distinct entry shape (join, operator set, value
// type, empty value), the generated audiogram runs, which identifiers have a row, and tables
// collected across conditions. Refused values are checked on the builders themselves.

#include "familias_casos.h"
#include "sql/catalogo.h"

#include <array>
#include <set>

using namespace familias;
using namespace quill;

namespace {

const std::string JG = " PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND ";
const std::string JGD = "PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND "
                        "MGRADUACION.ID_MGRADUACION = DGRADUACION.ID_MGRADUACION AND ";
const std::string LG = " (PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND (";
const QStringList G{"MGRADUACION"};
const QStringList GD{"MGRADUACION", "DGRADUACION"};

const std::string JL = " PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND ";
const std::string JLD = "PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND "
                        "MLENTILLA.ID_MLENTILLA = DLENTILLA.ID_MLENTILLA AND ";
const QStringList L{"MLENTILLA"};
const QStringList LD{"MLENTILLA", "DLENTILLA"};

const std::string JA2 = "PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND ";
const std::string JAD = "PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND "
                        "MAUDIFONO.ID_MAUDIFONO = DAUDIFONO.ID_MAUDIFONO ";
const QStringList A{"MAUDIFONO"};
const QStringList AD{"MAUDIFONO", "DAUDIFONO"};

const std::string JO = "PACIENTE.ID_PACIENTE = OPTOMETRIA.ID_PACIENTE AND ";
const QStringList O{"OPTOMETRIA"};
const std::string JR = "PACIENTE.ID_PACIENTE = REPOSICION.ID_PACIENTE AND ";
const QStringList R{"REPOSICION"};

std::string fecha(const std::string& col, const std::string& resto) {
    return col + " != '12/30/1899' AND " + col + resto;
}

} // namespace

TEST(Familias, OneRowPerEntryShape) {
    const std::string fechaA = "CAST(MAUDIFONO.FECHA AS DATE)";
    // clang-format off
    const Caso casos[] = {
        // Numbers: 98 or 400 as the empty value, or none.
        {80, kNoVacio, "", "", {}, JG +
         "MGRADUACION.OD_ESFERA_LEJOS  != 98 AND MGRADUACION.OD_ESFERA_LEJOS != 98", G},
        {83, kEntre, "80", "100", {}, JG +
         "MGRADUACION.OD_EJE  BETWEEN 80 AND 100 AND MGRADUACION.OD_EJE != 400", G},
        {70, kIgual, "12", "", {}, JG + "MGRADUACION.NUMERO_FICHA  = 12", G},
        {110, kIgual, "7", "", {}, JL + "MLENTILLA.NUMERO_FICHA  = 7", L},
        // Texts: as stored, upper-cased, and the empty text with its extra blanks.
        {84, kContiene, "base", "", {}, JG + "MGRADUACION.OD_PRISMA containing 'BASE'", G},
        {89, kEmpieza, "43", "", {}, JG + "UPPER(MGRADUACION.OD_QUERATOMETRIA) starting with '43'",
         G},
        {104, kVacio, "", "", {}, JG + "MGRADUACION.OI_PRISMA   = ''", G},
        // Notes joined through their record.
        {2003, kIgual, "progresivo", "", {},
         "PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND MGRADUACION.ID_MGRADUACION = "
         "GOBSERVACIONES.ID_MGRADUACION AND UPPER(GOBSERVACIONES.OBSERVACIONES)  like "
         "'PROGRESIVO__'", {"MGRADUACION", "GOBSERVACIONES"}},
        {2104, kContiene, "seca", "", {},
         "PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND MLENTILLA.ID_MLENTILLA = "
         "LOBSERVACIONES.ID_MLENTILLA AND UPPER(LOBSERVACIONES.OBSERVACIONES) containing 'SECA'",
         {"MLENTILLA", "LOBSERVACIONES"}},
        {199, kNoVacio, "", "", {},
         "PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND MAUDIFONO.ID_MAUDIFONO = "
         "AOBSERVACIONES.ID_MAUDIFONO AND UPPER(AOBSERVACIONES.OBSERVACIONES)  not like ''",
         {"MAUDIFONO", "AOBSERVACIONES"}},
        {380, kTermine, "lupa", "", {},
         "PACIENTE.ID_PACIENTE = MOREDUCIDA.ID_PACIENTE AND MOREDUCIDA.ID_MREDUCIDA = "
         "OROBSERVACIONES.ID_MREDUCIDA AND UPPER(OROBSERVACIONES.OBSERVACIONES) like '%LUPA__'",
         {"MOREDUCIDA", "OROBSERVACIONES"}},
        {406, kDistinto, "urgente", "", {}, JR +
         "UPPER(REPOSICION.OBSERVACIONES)  not like 'URGENTE__'", R},
        // Lines joined through their record.
        {93, kMayor, "20", "", {}, JGD + "DGRADUACION.ALTURA  > 20", GD},
        {193, kIgual, "ab12", "", {}, JAD + " AND UPPER(DAUDIFONO.NUMERO_SERIE)  = 'AB12'", AD},
        // The hearing-aid amount is compared as text.
        {198, kIgual, "1200", "", {}, JAD + "AND DAUDIFONO.IMPORTE_M1  = '1200'", AD},
        // Dates: guarded against the empty date, twice on some; emptiness without the guard; no
        // value restricts nothing and brings no table.
        {71, kMayor, "31/12/2009", "", {}, JG + fecha("CAST(MGRADUACION.FECHA AS DATE)",
         " > '12/31/2009'"), G},
        {72, kNoVacio, "1/1/2020", "", {}, JG +
         "CAST(MGRADUACION.FECHA_REVISION AS DATE) != '12/30/1899'", G},
        {71, kVacio, "", "", {}, "", {}},
        {92, kMenor, "1/6/2024", "", {}, JGD + fecha("CAST(DGRADUACION.FECHA_GARANTIA AS DATE)",
         " < '06/01/2024'"), GD},
        {130, kMayor, "1/1/2024", "", {}, JLD + fecha("CAST(DLENTILLA.FECHA_GARANTIA AS DATE)",
         " > '01/01/2024'"), LD},
        {191, kMayor, "1/1/2024", "", {}, JAD + "AND " + fecha("CAST(DAUDIFONO.GARANTIA AS DATE)",
         " > '01/01/2024'"), AD},
        {151, kIgual, "1/2/2020", "", {}, " " + JA2 + fechaA + " != '12/30/1899' AND " +
         fecha(fechaA, " = '02/01/2020'"), A},
        // Lists: the join holds for each id; yes/no without a blank; nested on the lines.
        {73, kIgual, "", "", {"3", "5"}, LG +
         "MGRADUACION.ID_DOCTOR  = 3 Or MGRADUACION.ID_DOCTOR = 5))", G},
        {75, kVacio, "", "", {}, LG + "MGRADUACION.ID_TIENDA  = -1 Or MGRADUACION.ID_TIENDA = 0 ))",
         G},
        {76, kIgual, "", "", {"1"}, LG + "MGRADUACION.PROPIA_AJENA = 1))", G},
        {94, kIgual, "", "", {"2", "3"},
         "PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND (MGRADUACION.ID_MGRADUACION = "
         "DGRADUACION.ID_MGRADUACION AND (DGRADUACION.TIPO_GRADUACION  = 2 Or "
         "DGRADUACION.TIPO_GRADUACION = 3))", GD},
        // The lens type: the list builder closes the parenthesis after the line join.
        {136, kIgual, "", "", {"2", "4"}, JLD +
         "(DLENTILLA.ID_TLENTILLA  = 2 Or DLENTILLA.ID_TLENTILLA = 4)", LD},
        {402, kIgual, "", "", {"0", "2"},
         " (PACIENTE.ID_PACIENTE = REPOSICION.ID_PACIENTE AND (REPOSICION.TIPO_REPOSICION  = 0 Or "
         "REPOSICION.TIPO_REPOSICION = 2))", R},
        // Either eye, each with its own empty value; upper-casing on one side only.
        {2005, kMayor, "2", "", {}, JG +
         "(MGRADUACION.OD_CILINDRO  > 2 AND MGRADUACION.OD_CILINDRO != 98 OR "
         "MGRADUACION.OI_CILINDRO  > 2 AND MGRADUACION.OI_CILINDRO != 98)", G},
        {2006, kIgual, "90", "", {}, JG +
         "(MGRADUACION.OD_EJE  = 90 AND MGRADUACION.OD_EJE != 400 OR "
         "MGRADUACION.OI_EJE  = 90 AND MGRADUACION.OI_EJE != 98)", G},
        {2015, kIgual, "43", "", {}, JG +
         "(UPPER(MGRADUACION.OD_QUERATOMETRIA)  = '43' OR MGRADUACION.OI_QUERATOMETRIA  = '43')",
         G},
        {2106, kIgual, "7,8", "", {}, JL +
         "(UPPER(MLENTILLA.OD_RADIO_1)  = '7,8' OR UPPER(MLENTILLA.OI_RADIO_1)  = '7,8')", L},
        // Optometry pairs: " Or " up to 228, " OR " from 229; 231's left eye is a text.
        {220, kMayor, "1,25", "", {}, JO +
         "(OPTOMETRIA.OD_ESFERA_CERCA  > 1.25 Or OPTOMETRIA.OI_ESFERA_CERCA  > 1.25)", O},
        {229, kMenor, "0,5", "", {}, JO +
         "(OPTOMETRIA.OD_AGUDEZA_VISUAL_CC  < 0.5 OR OPTOMETRIA.OI_AGUDEZA_VISUAL_CC  < 0.5)", O},
        {231, kIgual, "2", "", {}, JO +
         "(OPTOMETRIA.OD_ADICION  = 2 OR OPTOMETRIA.OI_ADICION  = '2')", O},
        {292, kIgual, "1", "", {}, JO +
         "(OPTOMETRIA.TR_OD_BAL_SUB_AV  = '1' OR OPTOMETRIA.TR_OI_BAL_SUB_AV  = '1')", O},
        {211, kContiene, "cefalea", "", {}, JO + "OPTOMETRIA.QUEJA_PRINCIPAL containing 'CEFALEA'",
         O},
        // Audiograms have no empty value; a single ear has a single clause.
        {161, kMayor, "40", "", {}, JA2 +
         "(MAUDIFONO.OD_AEREA_125  > 40 Or MAUDIFONO.OI_AEREA_125  > 40)", A},
        {205, kMenor, "30", "", {}, JA2 + "(MAUDIFONO.OD_AEREA_1500  < 30)", A},
        // The low-vision shop is taken as a number.
        {378, kIgual, "3", "", {}, "PACIENTE.ID_PACIENTE = MOREDUCIDA.ID_PACIENTE AND "
         "MOREDUCIDA.ID_TIENDA  = 3", {"MOREDUCIDA"}},
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

TEST(Familias, AnyOfTheSixOptometryNotes) {
    std::string esperado = JO + "(";
    for (const char* n : {"BI_OBSERVACIONES", "TA_CONCLUSIONES", "TA_OBSERVACIONES",
                          "OF_OBSERVACIONES", "TB_OBSERVACIONES", "TR_OBSERVACIONES"})
        esperado += (esperado.back() == '(' ? "" : " Or ") + std::string("UPPER(OPTOMETRIA.") + n +
                    ") containing 'DOLOR'";
    comprobar({348, kContiene, "dolor", "", {}, esperado + ")", O});
}

