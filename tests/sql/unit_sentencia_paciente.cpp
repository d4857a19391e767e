// GenerarSentencia on the patient's own fields, date parts, record dates, kind-neutral fields,
// age, postal codes and provinces: exact texts and the tables each adds.

#include "business/localidades.h"
#include "sql/lstsentpaciente.h"
#include "sql/valores.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace quill;

namespace {

const char* const kIgual = "Igual a...";
const char* const kDistinto = "Distinto de...";
const char* const kMayor = "Mayor que...";
const char* const kMenor = "Menor que...";
const char* const kEntre = "...Entre...";
const char* const kVacio = "Vacío";
const char* const kNoVacio = "No Vacío";
const char* const kEmpieza = "Empieza por...";
const char* const kTermine = "Termine en...";
const char* const kContiene = "...Contiene...";

struct Caso {
    double id;
    const char* op;
    const char* c1;
    const char* c2;
    QStringList items;
    std::string esperado;
    QStringList tablas;
};

const QStringList P{"PACIENTE"};

std::string fechaGuardada(const std::string& col, const std::string& resto) {
    return col + " != '12/30/1899' AND " + col + resto;
}

class SentenciaPaciente : public ::testing::Test {
protected:
    SentenciaPaciente() {
        s.setHoy(QDate(2024, 3, 15));
        s.setLista(&lista);
        auto cache = std::make_shared<LocalidadCache>();
        cache->add({1, QStringLiteral("Madrid"), 28001, 28, QStringLiteral("Madrid")});
        cache->add({2, QStringLiteral("Getafe"), 28901, 28, QStringLiteral("Madrid")});
        cache->add({3, QStringLiteral("Barcelona"), 8001, 8, QStringLiteral("Barcelona")});
        cache->add({4, QStringLiteral("Alcalá de Henares"), 28801, 28, QStringLiteral("Madrid")});
        cache->add({5, QStringLiteral("Toledo"), 45001, 45, QStringLiteral("Toledo")});
        cache->add({6, QStringLiteral("Zaragoza"), 50001, 50, QStringLiteral("Zaragoza")});
        s.setLocalidades(cache);
    }
    void poner(double id, const char* op, const char* c1 = "", const char* c2 = "",
               QStringList items = {}) {
        s.setId(id);
        s.setCondicion(QString::fromUtf8(op));
        s.setCondicion1(QString::fromUtf8(c1));
        s.setCondicion2(QString::fromUtf8(c2));
        lista = std::move(items);
    }
    std::string generar() { return s.GenerarSentencia().toStdString(); }
    void comprobar(const Caso& k) {
        TLstSentPaciente nuevo;
        nuevo.setHoy(QDate(2024, 3, 15));
        QStringList items = k.items;
        nuevo.setLista(&items);
        nuevo.setId(k.id);
        nuevo.setCondicion(QString::fromUtf8(k.op));
        nuevo.setCondicion1(QString::fromUtf8(k.c1));
        nuevo.setCondicion2(QString::fromUtf8(k.c2));
        EXPECT_EQ(nuevo.GenerarSentencia().toStdString(), k.esperado)
            << "Id " << k.id << " " << k.op;
        EXPECT_EQ(nuevo.Tablas(), k.tablas) << "Id " << k.id;
    }
    template <class F> void rechazado(F&& f, const std::string& what) {
        try {
            f();
            ADD_FAILURE() << "accepted: " << what;
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), fragmentErrorMessage()) << what;
        }
    }

    TLstSentPaciente s;
    QStringList lista;
};

} // namespace

TEST_F(SentenciaPaciente, PatientFields) {
    const std::string nac = "CAST(PACIENTE.FECHA_NACIMIENTO AS DATE)";
    const std::string ult = "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE)";
    // clang-format off
    const Caso casos[] = {
        {0, kIgual, "15", "", {}, "PACIENTE.CODIGO  = 15", P},
        {0, kVacio, "", "", {}, "PACIENTE.CODIGO  = 0", P},
        {1, kEmpieza, "gar", "", {}, "UPPER(PACIENTE.APELLIDOS) starting with 'GAR'", P},
        {2, kIgual, "ana", "", {}, "UPPER(PACIENTE.NOMBRE)  = 'ANA'", P},
        {3, kContiene, "mayor", "", {}, "UPPER(PACIENTE.DIRECCION)containing 'MAYOR'", P},
        {5, kIgual, "", "", {"3", "7"}, "(PACIENTE.ID_LOCALIDAD  = 3 Or PACIENTE.ID_LOCALIDAD = 7)",
         P},
        {8, kNoVacio, "", "", {}, "UPPER(PACIENTE.TELEFONO_MOVIL) != ''", P},
        {10, kVacio, "", "", {}, "UPPER(PACIENTE.VIENE_POR)   = ''", P},
        {11, kVacio, "", "", {}, "(PACIENTE.SEXO  = -1 Or PACIENTE.SEXO = 0 )", P},
        {13, kMenor, "1/1/1950", "", {}, fechaGuardada(nac, " < '01/01/1950'"), P},
        {16, kNoVacio, "1/1/2000", "", {}, "CAST(PACIENTE.FECHA_CARNET AS DATE) != '12/30/1899'",
         P},
        {17, kMayor, "10,5", "", {}, "PACIENTE.ULTIMO_DESCUENTO  > 10.5", P},
        {18, kIgual, "", "", {"1"}, "PACIENTE.CORREO = 1", P},
        {22, kIgual, "", "", {"3"}, "PACIENTE.TIENDA  = 3", P},
        {23, kContiene, "alerg", "", {}, "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And "
         "UPPER(POBSERVACIONES.OBSERVACIONES) " "containing 'ALERG'", {"POBSERVACIONES",
         "PACIENTE"}},
        {51, kIgual, "", "", {"12", "15"}, "In (12,15)", {}},
        {56, kIgual, "1/2/2020", "", {}, fechaGuardada(ult, " = '02/01/2020'"), {}},
        // Only the integer part of the id counts.
        {2.7, kIgual, "ana", "", {}, "UPPER(PACIENTE.NOMBRE)  = 'ANA'", P},
    };
    // clang-format on
    for (const auto& k : casos)
        comprobar(k);
}

TEST_F(SentenciaPaciente, DatePartsRecordDatesAndSharedFields) {
    // clang-format off
    const Caso casos[] = {
        {421, kIgual, "5", "", {},
         " CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) != '12/30/1899' AND (EXTRACT (DAY FROM "
         "PACIENTE.FECHA_PRIMERA_VISITA)  = 5)", P},
        {425, kIgual, "", "", {"1", "12"},
         " CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) != '12/30/1899' AND (EXTRACT (MONTH FROM "
         "PACIENTE.FECHA_NACIMIENTO)  = 1 Or EXTRACT (MONTH FROM PACIENTE.FECHA_NACIMIENTO) = 12)",
         P},
        {427, kMayor, "15", "", {},
         " CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) != '12/30/1899' AND(EXTRACT (DAY FROM "
         "PACIENTE.FECHA_ULTIMA_VISITA)  > 15)", P},
        {428, kIgual, "", "", {"3", "4"},
         " CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) != '12/30/1899' AND (EXTRACT (MONTH FROM "
         "PACIENTE.FECHA_ULTIMA_VISITA)  = 3 Or EXTRACT (MONTH FROM PACIENTE.FECHA_ULTIMA_VISITA)  "
         "= " "4)", P},
        {433, kMenor, "1/1/2020", "", {}, " < '01/01/2020'", P},
        {461, kIgual, "1/1/2020", "", {}, fechaGuardada("CAST(FECHA AS DATE)", " = '01/01/2020'"),
         P},
        {462, kIgual, "", "", {"1"}, " (PROPIA_AJENA  = 1)", P},
        {462, kVacio, "", "", {}, " (PROPIA_AJENA  = -1 )", P},
        {464, kIgual, "", "", {"2", "5"}, " (TABLA.ID_TIENDA  = 2 Or TABLA.ID_TIENDA = 5)", P},
        {3000, kIgual, "", "", {"0"}, "PACIENTE.CORREO = 0", {}},
        {3002, kMenor, "1/1/2020", "", {}, fechaGuardada("CAST(FECHA_GARANTIA AS DATE)",
         " < '01/01/2020'"), {}},
    };
    // clang-format on
    for (const auto& k : casos)
        comprobar(k);
}

TEST_F(SentenciaPaciente, AgeBecomesABirthDateRange) {
    const std::string nac = "CAST(PACIENTE.FECHA_NACIMIENTO AS DATE)";
    const struct {
        QDate hoy;
        const char* op;
        const char* c1;
        const char* c2;
        std::string esperado;
        const char* condicion;
    } casos[] = {
        // Aged 40: from 40 years and 364 days ago to exactly 40 years ago.
        {QDate(2024, 3, 15), kIgual, "40", "",
         fechaGuardada(nac, " BETWEEN '03/17/1983' AND '03/15/1984'"), kEntre},
        {QDate(2024, 3, 15), kMayor, "40", "", fechaGuardada(nac, " < '03/17/1983'"), kMenor},
        // 29 February falls back to 28 February in a year without it.
        {QDate(2024, 2, 29), kIgual, "1", "",
         fechaGuardada(nac, " BETWEEN '03/01/2022' AND '02/28/2023'"), kEntre},
        {QDate(2024, 2, 29), kMenor, "3", "", fechaGuardada(nac, " > '02/28/2021'"), kMayor},
        {QDate(2024, 3, 15), kMenor, "", "", "", kMayor},
        {QDate(2024, 3, 15), kVacio, "", "", "", kVacio},
    };
    for (const auto& k : casos) {
        s.setHoy(k.hoy);
        poner(24, k.op, k.c1, k.c2);
        EXPECT_EQ(generar(), k.esperado) << k.op << " " << k.c1 << " " << k.c2;
        EXPECT_EQ(s.Condicion().toStdString(), k.condicion) << k.op;
    }
    EXPECT_EQ(s.Tablas(), P);

    s.setHoy(QDate(2024, 3, 15));
    for (const auto& k :
         {Caso{24, kMayor, "40 OR 1=1", "", {}, "", {}}, Caso{24, kIgual, "4,5", "", {}, "", {}},
          Caso{24, kEntre, "30", "x", {}, "", {}}}) {
        poner(k.id, k.op, k.c1, k.c2);
        rechazado([&] { s.GenerarSentencia(); }, std::string(k.op) + " " + k.c1);
        // A refused age leaves the condition as the window set it.
        EXPECT_EQ(s.Condicion().toStdString(), k.op);
        EXPECT_EQ(s.Condicion1().toStdString(), k.c1);
    }
}

TEST_F(SentenciaPaciente, PostalCodesBecomeLocalityIds) {
    const struct {
        const char* op;
        const char* c1;
        const char* c2;
        QStringList ids;
        std::string esperado;
    // clang-format off
    } casos[] = {
        {kMayor, "28000", "", {"1", "2", "4", "5", "6"},
         "(PACIENTE.ID_LOCALIDAD  = 1 Or PACIENTE.ID_LOCALIDAD = 2 Or PACIENTE.ID_LOCALIDAD = 4 Or "
         "PACIENTE.ID_LOCALIDAD = 5 Or PACIENTE.ID_LOCALIDAD = 6)"},
        {kIgual, "08001", "", {"3"}, "(PACIENTE.ID_LOCALIDAD  = 3)"},
        {kDistinto, "28001", "", {"1"}, "(PACIENTE.ID_LOCALIDAD  != 1)"},
        {kEntre, "28000", "28999", {"1", "2", "4"},
         "(PACIENTE.ID_LOCALIDAD  = 1 Or PACIENTE.ID_LOCALIDAD = 2 Or PACIENTE.ID_LOCALIDAD = 4)"},
        // No locality in range: the list stays empty and the statement will be refused later.
        {kIgual, "99999", "", {}, "(PACIENTE.ID_LOCALIDAD )"},
        {kNoVacio, "", "", {"9"}, "(PACIENTE.ID_LOCALIDAD  != -1 AND PACIENTE.ID_LOCALIDAD != 0 )"},
    };
    // clang-format on
    for (const auto& k : casos) {
        poner(4, k.op, k.c1, k.c2, {"9"});
        EXPECT_EQ(s.CodigosPostales().toStdString(), k.esperado) << k.op << " " << k.c1;
        EXPECT_EQ(lista, k.ids) << k.op << " " << k.c1;
    }
    EXPECT_EQ(s.Tablas(), P);

    for (const auto& k :
         {Caso{4, kMayor, "28000 OR 1=1", "", {}, "", {}}, Caso{4, kEntre, "28000", "", {}, "", {}}}) {
        poner(4, k.op, k.c1, k.c2, {"9"});
        rechazado([&] { s.CodigosPostales(); }, k.c1);
        EXPECT_EQ(lista, QStringList{"9"}) << "a refused code leaves the list alone";
        EXPECT_EQ(s.Condicion().toStdString(), k.op);
    }
}

TEST_F(SentenciaPaciente, HostileValuesNeverChangeTheStatementShape) {
    // As a text the value stays inside one literal.
    poner(2, kIgual, "1) OR (PACIENTE.LICENCIA <> 0");
    EXPECT_EQ(generar(), "UPPER(PACIENTE.NOMBRE)  = '1) OR (PACIENTE.LICENCIA <> 0'");
    poner(23, kContiene, "a' OR 'b");
    EXPECT_EQ(generar(), "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And "
                         "UPPER(POBSERVACIONES.OBSERVACIONES) containing 'A'' OR ''B'");
    // As a number, a date or an id it is refused.
    const Caso rechazados[] = {
        {19, kEntre, "1", "2 OR 1=1", {}, "", {}},
        {433, kIgual, "31/02/2000", "", {}, "", {}},
        {11, kIgual, "", "", {"1", "2) OR (1=1"}, "", {}},
        {51, kIgual, "", "", {"1.5"}, "", {}},
        {18, kIgual, "", "", {"x"}, "", {}},
        {18, kIgual, "", "", {}, "", {}}, // nothing ticked
        {421, kIgual, "5 OR 1=1", "", {}, "", {}},
        {425, kIgual, "", "", {"1", "enero"}, "", {}},
    };
    for (const auto& k : rechazados) {
        poner(k.id, k.op, k.c1, k.c2, k.items);
        rechazado([&] { s.GenerarSentencia(); }, "Id " + std::to_string(k.id) + " " + k.c1 + " " +
                                                     k.items.join(';').toStdString());
    }
}
