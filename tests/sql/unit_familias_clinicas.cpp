// Hearing aids (with the generated audiogram runs), optometry, low vision and replacements: the
// exact fragment of each entry shape and the record tables it adds.

#include "familias_casos.h"

#include <array>

using namespace familias;

namespace {

const std::string JA = " PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND ";
const std::string JA2 = "PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND ";
const std::string JAD = "PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND "
                        "MAUDIFONO.ID_MAUDIFONO = DAUDIFONO.ID_MAUDIFONO ";
const std::string JAO = "PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND "
                        "MAUDIFONO.ID_MAUDIFONO = AOBSERVACIONES.ID_MAUDIFONO AND ";
const QStringList A{"MAUDIFONO"};
const QStringList AD{"MAUDIFONO", "DAUDIFONO"};
const QStringList AO{"MAUDIFONO", "AOBSERVACIONES"};

const std::string JO = "PACIENTE.ID_PACIENTE = OPTOMETRIA.ID_PACIENTE AND ";
const QStringList O{"OPTOMETRIA"};
const std::string JM = "PACIENTE.ID_PACIENTE = MOREDUCIDA.ID_PACIENTE AND ";
const std::string JMO = "PACIENTE.ID_PACIENTE = MOREDUCIDA.ID_PACIENTE AND "
                        "MOREDUCIDA.ID_MREDUCIDA = OROBSERVACIONES.ID_MREDUCIDA AND ";
const QStringList M{"MOREDUCIDA"};
const std::string JR = "PACIENTE.ID_PACIENTE = REPOSICION.ID_PACIENTE AND ";
const QStringList R{"REPOSICION"};

std::string fecha(const std::string& col, const std::string& resto) {
    return col + " != '12/30/1899' AND " + col + resto;
}

} // namespace

TEST(FamiliasAudifonos, RecordDevicesAndNotes) {
    const std::string fechaA = "CAST(MAUDIFONO.FECHA AS DATE)";
    const Caso casos[] = {
        {150, kIgual, "3", "", {}, JA + "MAUDIFONO.NUMERO_FICHA  = 3", A},
        // 151 carries its empty-date guard twice.
        {151, kIgual, "1/2/2020", "", {}, JA + fechaA + " != '12/30/1899' AND " + fecha(fechaA,
         " = '02/01/2020'"), A},
        {155, kMenor, "1/1/2023", "", {}, JA + fecha("CAST(MAUDIFONO.FECHA_ADAPTACION AS DATE)",
         " < '01/01/2023'"), A},
        {151, kVacio, "", "", {}, "", {}},
        {156, kIgual, "", "", {"3", "5"},
         " (PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND (MAUDIFONO.ID_DOCTOR_EXAMINA  = 3 "
         "Or MAUDIFONO.ID_DOCTOR_EXAMINA = 5))", A},
        {160, kIgual, "", "", {"0"},
         " (PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND (MAUDIFONO.PROPIA_AJENA = 0))", A},
        {191, kMayor, "1/1/2024", "", {}, JAD + "AND " + fecha("CAST(DAUDIFONO.GARANTIA AS DATE)",
         " > '01/01/2024'"), AD},
        {193, kIgual, "ab12", "", {}, JAD + " AND UPPER(DAUDIFONO.NUMERO_SERIE)  = 'AB12'", AD},
        {195, kEmpieza, "p", "", {}, JAD + " AND UPPER(DAUDIFONO.PILA) starting with 'P'", AD},
        {196, kContiene, "retro", "", {}, JAD +
         "AND UPPER(DAUDIFONO.DESCRIPCION) containing 'RETRO'", AD},
        // The amount is compared as text.
        {198, kIgual, "1200", "", {}, JAD + "AND DAUDIFONO.IMPORTE_M1  = '1200'", AD},
        {199, kNoVacio, "", "", {}, JAO + "UPPER(AOBSERVACIONES.OBSERVACIONES)  not like ''", AO},
        // Audiograms have no empty value: no sentinel clause.
        {161, kMayor, "40", "", {}, JA2 +
         "(MAUDIFONO.OD_AEREA_125  > 40 Or MAUDIFONO.OI_AEREA_125  > 40)", A},
        {180, kVacio, "", "", {}, JA2 +
         "(MAUDIFONO.OD_OSEA_8000  = 0 Or MAUDIFONO.OI_OSEA_8000  = 0)", A},
        {205, kMenor, "30", "", {}, JA2 + "(MAUDIFONO.OD_AEREA_1500  < 30)", A},
        {2350, kMayor, "1", "", {}, JA2 + "(MAUDIFONO.OD_HAIC  > 1 Or MAUDIFONO.OI_HAIC  > 1)", A},
        {2351, kIgual, "2", "", {}, JA2 + "(MAUDIFONO.OD_HAIC  = 2)", A},
        {2352, kIgual, "2", "", {}, JA2 + "(MAUDIFONO.OI_HAIC  = 2)", A},
    };
    for (const auto& k : casos)
        comprobar(k);
}

// Every identifier of the nine audiogram runs tests the column of its frequency.
TEST(FamiliasAudifonos, AudiogramRunsFollowTheFrequencyList) {
    const std::array<const char*, 10> hz = {"125",  "250",  "500",  "750",  "1000",
                                            "1500", "2000", "4000", "6000", "8000"};
    const struct {
        int primerId;
        const char* oido; // "" for either ear
        const char* medida;
    } series[] = {
        {161, "", "AEREA"},    {171, "", "OSEA"},    {181, "", "UMBRAL"},
        {200, "OD", "AEREA"},  {2300, "OD", "OSEA"}, {2310, "OD", "UMBRAL"},
        {2320, "OI", "AEREA"}, {2330, "OI", "OSEA"}, {2340, "OI", "UMBRAL"},
    };
    for (const auto& r : series) {
        for (int i = 0; i < 10; ++i) {
            const int id = r.primerId + i;
            const auto col = [&](const char* oido) {
                return std::string("MAUDIFONO.") + oido + "_" + r.medida + "_" + hz[i];
            };
            std::string esperado;
            if (*r.oido)
                esperado = JA2 + "(" + col(r.oido) + "  = 35)";
            else if (i != 5)
                esperado = JA2 + "(" + col("OD") + "  = 35 Or " + col("OI") + "  = 35)";
            // The either-ear runs have no 1500 Hz field (166, 176, 186).
            comprobar({static_cast<double>(id),
                       kIgual,
                       "35",
                       "",
                       {},
                       esperado,
                       esperado.empty() ? QStringList() : A});
        }
    }
}

TEST(FamiliasOptometria, EveryShape) {
    const std::string notas[] = {"BI_OBSERVACIONES", "TA_CONCLUSIONES",  "TA_OBSERVACIONES",
                                 "OF_OBSERVACIONES", "TB_OBSERVACIONES", "TR_OBSERVACIONES"};
    std::string seisNotas = JO + "(";
    for (const std::string& n : notas)
        seisNotas += (n == notas[0] ? "" : " Or ") + std::string("UPPER(OPTOMETRIA.") + n +
                     ") containing 'DOLOR'";
    seisNotas += ")";

    const Caso casos[] = {
        // Text columns compared as stored against the upper-cased value.
        {211, kContiene, "cefalea", "", {}, JO + "OPTOMETRIA.QUEJA_PRINCIPAL containing 'CEFALEA'",
         O},
        {212, kIgual, "vista cansada", "", {}, JO + "OPTOMETRIA.QUEJA_PRINCIPAL  = 'VISTA CANSADA'",
         O},
        {215, kVacio, "", "", {}, JO + "OPTOMETRIA.HISTORIAL_FAMILIA   = ''", O},
        {217, kIgual, "15/3/2024", "", {}, JO + fecha("CAST(OPTOMETRIA.FECHA_EX_OPTICO AS DATE)",
         " = '03/15/2024'"), O},
        {219, kIgual, "", "", {"2", "7"},
         " (PACIENTE.ID_PACIENTE = OPTOMETRIA.ID_PACIENTE AND (OPTOMETRIA.ID_DOCTOR_EX_OPTICO  = 2 "
         "Or OPTOMETRIA.ID_DOCTOR_EX_OPTICO = 7))", O},
        // Either eye: " Or " up to 228, " OR " from 229.
        {220, kMayor, "1,25", "", {}, JO +
         "(OPTOMETRIA.OD_ESFERA_CERCA  > 1.25 Or OPTOMETRIA.OI_ESFERA_CERCA  > 1.25)", O},
        {228, kVacio, "", "", {}, JO +
         "(OPTOMETRIA.OD_AGUDEZA_VISUAL_SC  = 0 Or OPTOMETRIA.OI_AGUDEZA_VISUAL_SC  = 0)", O},
        {229, kMenor, "0,5", "", {}, JO +
         "(OPTOMETRIA.OD_AGUDEZA_VISUAL_CC  < 0.5 OR OPTOMETRIA.OI_AGUDEZA_VISUAL_CC  < 0.5)", O},
        {230, kEmpieza, "42", "", {}, JO +
         "(OPTOMETRIA.OD_QUERATOMETRIA starting with '42' OR OPTOMETRIA.OI_QUERATOMETRIA "
         "starting with '42')", O},
        {231, kIgual, "2", "", {}, JO +
         "(OPTOMETRIA.OD_ADICION  = 2 OR OPTOMETRIA.OI_ADICION  = '2')", O},
        {232, kMayor, "21", "", {}, JO +
         "(OPTOMETRIA.OD_TONOMETRIA  > 21 OR OPTOMETRIA.OI_TONOMETRIA  > 21)", O},
        {248, kIgual, "1", "", {}, JO + "OPTOMETRIA.AV_BINOCULAR  = 1", O},
        {251, kIgual, "normal", "", {}, JO + "OPTOMETRIA.PRE_PIRRLA  = 'NORMAL'", O},
        {253, kIgual, "normal", "", {}, JO +
         "(OPTOMETRIA.PRE_OD_COLOR  = 'NORMAL' Or OPTOMETRIA.PRE_OI_COLOR  = 'NORMAL')", O},
        {265, kContiene, "exo", "", {}, JO + "OPTOMETRIA.PRE_MADDOX_CERCA containing 'EXO'", O},
        {266, kNoVacio, "", "", {}, JO +
         "(OPTOMETRIA.PRE_OD_ACOMODACION  != '' Or OPTOMETRIA.PRE_OI_ACOMODACION  != '')", O},
        {272, kMayor, "0,8", "", {}, JO +
         "(OPTOMETRIA.PRE_OD_CC_ESTENOPEICO  > 0.8 Or OPTOMETRIA.PRE_OI_CC_ESTENOPEICO  > " "0.8)",
         O},
        // Retinoscopy and balance: the TR_ columns of both eyes.
        {273, kMayor, "2", "", {}, JO +
         "(OPTOMETRIA.TR_OD_RET_EST_ESFERA  > 2 OR OPTOMETRIA.TR_OI_RET_EST_ESFERA  > 2)", O},
        {283, kIgual, "90", "", {}, JO +
         "(OPTOMETRIA.TR_OD_MPMAV_EJE  = 90 OR OPTOMETRIA.TR_OI_MPMAV_EJE  = 90)", O},
        {290, kMenor, "-1", "", {}, JO +
         "(OPTOMETRIA.TR_OD_BAL_SUB_CILINDRO  < -1 OR OPTOMETRIA.TR_OI_BAL_SUB_CILINDRO  < " "-1)",
         O},
        {292, kIgual, "1", "", {}, JO +
         "(OPTOMETRIA.TR_OD_BAL_SUB_AV  = '1' OR OPTOMETRIA.TR_OI_BAL_SUB_AV  = '1')", O},
        {295, kContiene, "prog", "", {}, JO +
         "(OPTOMETRIA.OD_REF_FINAL containing 'PROG' Or OPTOMETRIA.OI_REF_FINAL containing "
         "'PROG')", O},
        {297, kIgual, "x", "", {}, JO + "OPTOMETRIA.TB_VER_LEJOS_BE  = 'X'", O},
        {312, kIgual, "x", "", {}, JO + "OPTOMETRIA.TB_FOR_ASOCIADAS  = 'X'", O},
        {314, kIgual, "+2", "", {}, JO +
         "(OPTOMETRIA.TB_OD_FLIPPERS  = '+2' Or OPTOMETRIA.TB_OI_FLIPPERS  = '+2')", O},
        {315, kNoVacio, "", "", {}, JO +
         "(OPTOMETRIA.BI_OD_PESTANAS  != '' OR OPTOMETRIA.BI_OI_PESTANAS  != '')", O},
        {328, kIgual, "claro", "", {}, JO +
         "(OPTOMETRIA.BI_OD_VITREO  = 'CLARO' OR OPTOMETRIA.BI_OI_VITREO  = 'CLARO')", O},
        {337, kIgual, "x", "", {}, JO +
         "(OPTOMETRIA.OF_OD_PERIFERIA  = 'X' OR OPTOMETRIA.OF_OI_PERIFERIA  = 'X')", O},
        {344, kIgual, "x", "", {}, JO +
         "(OPTOMETRIA.TA_OD_D15  = 'X' OR OPTOMETRIA.TA_OI_D15  = 'X')", O},
        {347, kMenor, "1/1/2024", "", {}, JO + fecha("CAST(OPTOMETRIA.TA_FECHA_REVISION AS DATE)",
         " < '01/01/2024'"), O},
        // Any of the six notes.
        {348, kContiene, "dolor", "", {}, seisNotas, O},
        {349, kIgual, "5", "", {}, JO + "OPTOMETRIA.NUMERO_FICHA  = 5", O},
        {350, kIgual, "", "", {"1"},
         " (PACIENTE.ID_PACIENTE = OPTOMETRIA.ID_PACIENTE AND (OPTOMETRIA.ID_TIENDA  = 1))", O},
    };
    for (const auto& k : casos)
        comprobar(k);
}

TEST(FamiliasBajaVisionYReposiciones, EveryShape) {
    const std::string fechaR = "CAST(REPOSICION.FECHA AS DATE)";
    const Caso casos[] = {
        {376, kMayor, "1/1/2020", "", {}, JM + fecha("CAST(MOREDUCIDA.FECHA AS DATE)",
         " > '01/01/2020'"), M},
        {377, kNoVacio, "1/1/2020", "", {}, JM +
         "CAST(MOREDUCIDA.FECHA_REVISION AS DATE) != '12/30/1899'", M},
        // The shop is taken as a number.
        {378, kIgual, "3", "", {}, JM + "MOREDUCIDA.ID_TIENDA  = 3", M},
        {379, kEntre, "1", "10", {}, JM + "MOREDUCIDA.NUMERO_FICHA  BETWEEN 1 AND 10", M},
        {380, kTermine, "lupa", "", {}, JMO + "UPPER(OROBSERVACIONES.OBSERVACIONES) like '%LUPA__'",
         {"MOREDUCIDA", "OROBSERVACIONES"}},
        {401, kIgual, "8", "", {}, JR + "REPOSICION.NUMERO_FICHA  = 8", R},
        {402, kIgual, "", "", {"0", "2"},
         " (PACIENTE.ID_PACIENTE = REPOSICION.ID_PACIENTE AND (REPOSICION.TIPO_REPOSICION  = 0 Or "
         "REPOSICION.TIPO_REPOSICION = 2))", R},
        {403, kMenor, "1/1/2024", "", {}, JR + fechaR + " != '12/30/1899' AND " + fecha(fechaR,
         " < '01/01/2024'"), R},
        {404, kDistinto, "", "", {"3"},
         " (PACIENTE.ID_PACIENTE = REPOSICION.ID_PACIENTE AND (REPOSICION.TIPO  != 3))", R},
        {405, kMayor, "25,50", "", {}, JR + "REPOSICION.IMPORTE_M1  > 25.50", R},
        {406, kDistinto, "urgente", "", {}, JR +
         "UPPER(REPOSICION.OBSERVACIONES)  not like 'URGENTE__'", R},
    };
    for (const auto& k : casos)
        comprobar(k);
}
