// The General listing on a generated shop database: what every statement may and may not list,
// no result, the patients and their count against independent queries, and "any" with EXISTS
// against its alternatives and the one-FROM text.

#include "condiciones.h"
#include "listadojson.h"
#include "tiendaprueba.h"

#include "platform/memtable.h"
#include "queries/tdmgeneral.h"
#include "sql/lstutil.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlRecord>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kConexion = QStringLiteral("db_general");

struct Paciente {
    int licencia = 0;
    int borrado = 0;
};

class General : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base = new tiendaprueba::Tienda;
        error = base->crear(kConexion, {}, tiendaprueba::plantillaGenerada);
        if (!error.isEmpty()) return;
        QSqlQuery q(base->db());
        q.exec(QStringLiteral("SELECT ID_PACIENTE, LICENCIA, BORRADO FROM PACIENTE"));
        while (q.next())
            pacientes.insert(q.value(0).toInt(), {q.value(1).toInt(), q.value(2).toInt()});
    }
    static void TearDownTestSuite() {
        delete base;
        base = nullptr;
        pacientes.clear();
    }
    void SetUp() override { ASSERT_TRUE(error.isEmpty()) << qPrintable(error); }

    // A General data module over the conditions of a JSON text, built as the runner builds them.
    using Listado = ListadoJson<TdmGeneral>;
    // tipoCatalogo: the kind whose catalogue groups the ids are looked up in (the record dates
    // 433-435 are offered by the Fechas kind's catalogue).
    static std::unique_ptr<Listado> listado(const QString& json,
                                            const QString& particion = QStringLiteral("1"),
                                            int tipoCatalogo = 0) {
        return listadoJson<TdmGeneral>(json, tipoCatalogo, kConexion, particion);
    }

    // Patient ids of a statement run directly, every row (duplicates kept).
    static QList<int> filas(const QString& sql) {
        QList<int> ids;
        QSqlQuery q(base->db());
        q.setForwardOnly(true);
        EXPECT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text()) << "\n" << qPrintable(sql);
        const int c = q.record().indexOf(QStringLiteral("ID_PACIENTE"));
        while (q.next())
            ids.append(q.value(c).toInt());
        return ids;
    }
    static QSet<int> conjunto(const QString& sql) {
        const QList<int> l = filas(sql);
        return QSet<int>(l.begin(), l.end());
    }
    static QSet<int> idsDe(const quill::MemTable& t) {
        QSet<int> ids;
        for (int i = 0; i < t.recordCount(); ++i)
            ids.insert(t.valueAt(i, QStringLiteral("IdPaciente")).toInt());
        return ids;
    }

    static inline tiendaprueba::Tienda* base = nullptr;
    static inline QString error;
    static inline QHash<int, Paciente> pacientes;
};

// Condition sets of every shape the module builds, each run as listing and as count, "all" and
// "any": none may be refused by the database, and none may list a patient of another partition,
// a deleted patient or patient 0.
TEST_F(General, NingunaSentenciaSaleDeLaParticion) {
    const QStringList casos = {
        R"([])",
        R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "G"},
            {"Id": 11, "Condicion1": "Mujer", "Condicion1Ids": "2"},
            {"Id": 13, "Condicion": "...Entre...", "Condicion1": "01/01/1950", "Condicion2": "31/12/1990"}])",
        R"([{"Id": 55, "Condicion1": "Última", "Condicion1Ids": "1"},
            {"Id": 82, "Condicion": "...Entre...", "Condicion1": "-1", "Condicion2": "1"},
            {"Id": 112, "Condicion": "Mayor que...", "Condicion1": "01/01/2000"}])",
        R"([{"Id": 50, "Condicion1": "Graduación; Contactología; Audiometría; Optometría; Baja Visión",
             "Condicion1Ids": "1;2;0;3;4"},
            {"Id": 52, "Condicion1": "x", "Condicion1Ids": "1;2;3"},
            {"Id": 1, "Condicion": "Empieza por...", "Condicion1": "S"}])",
        R"([{"Id": 50, "Condicion": "Distinto de...", "Condicion1": "x", "Condicion1Ids": "1"},
            {"Id": 23, "Condicion": "...Contiene...", "Condicion1": "e"},
            {"Id": 11, "Condicion1": "Hombre", "Condicion1Ids": "1"}])",
    };
    for (const QString& json : casos) {
        for (const QString& particion : {QStringLiteral("1"), QStringLiteral("2")}) {
            for (bool todas : {true, false}) {
                SCOPED_TRACE(qPrintable(json + " particion " + particion +
                                        (todas ? " todas" : " cualquiera")));
                auto l = listado(json, particion);
                const qint16 r = l->dm->GenerarSQL(18, 1, todas);
                ASSERT_NE(r, quill::kListadoErrorInterno)
                    << qPrintable(l->dm->ErrorSQL() + "\n" + l->dm->SentenciaSQL());
                for (int id : filas(l->dm->SentenciaSQL())) {
                    ASSERT_TRUE(pacientes.contains(id)) << id;
                    EXPECT_NE(id, 0);
                    EXPECT_EQ(pacientes[id].borrado, 0) << id;
                    EXPECT_EQ(pacientes[id].licencia, particion.toInt()) << id;
                }
                ASSERT_NE(l->dm->GenerarSQLConteo(todas), quill::kListadoErrorInterno)
                    << qPrintable(l->dm->ErrorSQL() + "\n" + l->dm->SentenciaSQL());
            }
        }
    }
}

TEST_F(General, SinResultadoVaciaLasTablas) {
    auto l = listado(R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "G"}])");
    TdmGeneral& dm = *l->dm;
    ASSERT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoCorrecto);
    dm.CrearTablaPaciente();
    dm.TablaSMS();
    ASSERT_GT(dm.memPacientes->recordCount(), 0);

    // Nobody: the tables of the run before are emptied, the count is 0.
    auto nadie = listado(R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "ZZZQ"}])");
    dm.setCondiciones(nadie->condiciones.tabla.get());
    EXPECT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoSinRegistros);
    EXPECT_EQ(dm.Resultado, quill::kListadoSinRegistros);
    dm.CrearTablaPaciente();
    dm.TablaSMS();
    EXPECT_EQ(dm.memPacientes->recordCount(), 0);
    EXPECT_EQ(dm.memSMS->recordCount(), 0);
    EXPECT_EQ(dm.GenerarSQLConteo(true), quill::kListadoSinRegistros);
}

// The listed patients and their count against queries written independently of the module.
TEST_F(General, PacientesYConteoComoUnaConsultaIndependiente) {
    const QString cilindro = QStringLiteral(
        "EXISTS (SELECT 1 FROM MGRADUACION M WHERE M.ID_PACIENTE = P.ID_PACIENTE AND "
        "M.OD_CILINDRO BETWEEN -1 AND -0.25)");
    const auto ficha = [](const char* tabla, const QString& mas = QString()) {
        return QStringLiteral("EXISTS (SELECT 1 FROM %1 X WHERE X.ID_PACIENTE = P.ID_PACIENTE%2)")
            .arg(QLatin1String(tabla), mas);
    };
    const QString desde2024 = QStringLiteral(" AND CAST(X.FECHA AS DATE) > '2024-01-01'");
    struct Caso {
        const char* json;
        QString donde; // on PACIENTE P, besides partition 1, not deleted, not patient 0
        int tipoCatalogo = 0;
    };
    const Caso casos[] = {
        {R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "G"},
             {"Id": 11, "Condicion1": "Mujer", "Condicion1Ids": "2"}])",
         "UPPER(P.APELLIDOS) STARTING WITH 'G' AND P.SEXO = 2"},
        // A record table in FROM: each patient once however many prescriptions match.
        {R"([{"Id": 82, "Condicion": "...Entre...", "Condicion1": "-1", "Condicion2": "-0,25"}])",
         cilindro},
        {R"([{"Id": 50, "Condicion1": "x", "Condicion1Ids": "2;0"}])",
         "(" + ficha("MLENTILLA") + " OR " + ficha("MAUDIFONO") + ")"},
        {R"([{"Id": 50, "Condicion": "Distinto de...", "Condicion1": "x", "Condicion1Ids": "2"}])",
         "NOT " + ficha("MGRADUACION") + " AND NOT " + ficha("MLENTILLA") + " AND NOT " +
             ficha("MAUDIFONO") + " AND NOT " + ficha("OPTOMETRIA") + " AND NOT " +
             ficha("MOREDUCIDA")},
        // A record date (offered by the Fechas catalogue): 30/12/1899 is no date.
        {R"([{"Id": 433, "Condicion": "Mayor que...", "Condicion1": "01/01/2024"}])",
         "(" + ficha("MGRADUACION", desde2024) + " OR " + ficha("MLENTILLA", desde2024) + " OR " +
             ficha("OPTOMETRIA", " AND CAST(X.FECHA_EX_MEDICO AS DATE) > '2024-01-01'") + ")",
         3},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.json);
        const QSet<int> esperado = conjunto(
            "SELECT P.ID_PACIENTE FROM PACIENTE P WHERE P.LICENCIA = 1 AND P.BORRADO = 0 AND "
            "P.ID_PACIENTE <> 0 AND " +
            c.donde);
        ASSERT_FALSE(esperado.isEmpty()) << "the case must select someone";
        auto l = listado(QString::fromUtf8(c.json), QStringLiteral("1"), c.tipoCatalogo);
        ASSERT_EQ(l->dm->GenerarSQLConteo(true), quill::kListadoCorrecto)
            << qPrintable(l->dm->ErrorSQL());
        EXPECT_EQ(l->dm->ContarPacientes(), double(esperado.size()));
        ASSERT_EQ(l->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
        l->dm->CrearTablaPaciente();
        EXPECT_EQ(l->dm->memPacientes->recordCount(), esperado.size());
        EXPECT_EQ(idsDe(*l->dm->memPacientes), esperado);
    }
}

// The SMS table holds patients with a valid mobile only (the rule itself: TLstUtil.MobileCheck);
// the last-visit table gives the same dates from the procedure one patient at a time as from one
// grouped read per record table.
TEST_F(General, TablasDeSmsYDeUltimaVisita) {
    auto sms = listado(R"([])");
    ASSERT_EQ(sms->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
    sms->dm->TablaSMS();
    const quill::MemTable& m = *sms->dm->memSMS;
    ASSERT_GT(m.recordCount(), 0);
    int enParticion = 0;
    for (auto it = pacientes.begin(); it != pacientes.end(); ++it)
        enParticion += it.key() != 0 && it->licencia == 1 && it->borrado == 0;
    EXPECT_LT(m.recordCount(), enParticion) << "some patients have no valid mobile";
    for (int i = 0; i < m.recordCount(); ++i)
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[67][0-9]{8}$"))
                        .match(m.textAt(i, m.fieldIndex(QStringLiteral("Telefono"))))
                        .hasMatch());

    auto l = listado(R"([{"Id": 56, "Condicion": "Mayor que...", "Condicion1": "01/01/2015"}])");
    TdmGeneral& dm = *l->dm;
    quill::MemTable& t = *dm.memPacientesFecha;
    QHash<int, QDate> fechas[2];
    for (int porPaciente : {1, 0}) {
        dm.LimiteUltimaFichaPorPaciente = porPaciente ? 1000000 : 0;
        ASSERT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoCorrecto);
        ASSERT_TRUE(dm.Analisis().tablaUltimaVisita);
        for (int i = 0; i < t.recordCount(); ++i)
            fechas[porPaciente].insert(t.valueAt(i, "IdPaciente").toInt(),
                                       t.valueAt(i, "Fecha").toDate());
    }
    ASSERT_GT(fechas[1].size(), 0);
    EXPECT_EQ(fechas[0], fechas[1]);
    EXPECT_TRUE(fechas[1].values().contains(QDate(1899, 12, 30))) << "a patient without records";
}

// "Any" with EXISTS lists exactly the patients its alternatives list one by one, with the rows
// outside the OR group kept; where the tables are small, the same as the one-FROM text (which
// multiplies patients by every table and needs them not empty). The count and the table agree.
TEST_F(General, CualquieraConExistsIgualQueSusAlternativas) {
    struct Caso {
        QString fijas; // rows outside the OR group, with a trailing comma
        QStringList alternativas;
        bool textoUnico;
    };
    const QString nacimiento =
        R"({"Id": 13, "Condicion": "Mayor que...", "Condicion1": "01/01/1990"})";
    const QString cilindro =
        R"({"Id": 82, "Condicion": "...Entre...", "Condicion1": "-1", "Condicion2": "-0,25"})";
    const QString revisionLentilla =
        R"({"Id": 112, "Condicion": "Mayor que...", "Condicion1": "01/01/2020"})";
    const QString nota = R"({"Id": 23, "Condicion": "...Contiene...", "Condicion1": "cataratas"})";
    const Caso casos[] = {
        // Low vision (its date, and its note through two tables), hearing aids and the patient.
        {{},
         {nacimiento, R"({"Id": 376, "Condicion": "Mayor que...", "Condicion1": "01/01/2000"})",
          R"({"Id": 380, "Condicion": "...Contiene...", "Condicion1": "a"})",
          R"({"Id": 151, "Condicion": "Mayor que...", "Condicion1": "01/01/2020"})"},
         true},
        {{},
         {R"({"Id": 1, "Condicion": "Empieza por...", "Condicion1": "M"})", cilindro,
          revisionLentilla,
          R"({"Id": 403, "Condicion": "Mayor que...", "Condicion1": "01/01/2020"})", nota},
         false},
        {R"({"Id": 50, "Condicion1": "x", "Condicion1Ids": "1;2"},)",
         {cilindro, R"({"Id": 2104, "Condicion": "...Contiene...", "Condicion1": "a"})", nota,
          nacimiento},
         false},
    };
    for (const Caso& c : casos) {
        const QString json = "[" + c.fijas + c.alternativas.join(',') + "]";
        SCOPED_TRACE(qPrintable(json));
        auto l = listado(json);
        ASSERT_EQ(l->dm->GenerarSQL(0, 0, false), quill::kListadoCorrecto)
            << qPrintable(l->dm->ErrorSQL() + "\n" + l->dm->SentenciaSQL());
        ASSERT_TRUE(l->dm->SentenciaSQL().contains("EXISTS (SELECT 1 FROM "));
        const QSet<int> a = conjunto(l->dm->SentenciaSQL());
        QSet<int> partes;
        for (const QString& una : c.alternativas) {
            auto s = listado("[" + c.fijas + una + "]");
            ASSERT_EQ(s->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto) << qPrintable(una);
            const QSet<int> parte = conjunto(s->dm->SentenciaSQL());
            EXPECT_FALSE(parte.isEmpty()) << qPrintable(una);
            partes += parte;
        }
        EXPECT_EQ(a, partes);
        if (c.textoUnico) {
            auto unico = listado(json);
            unico->dm->SepararCualquiera = false;
            // Its count form: the same patients, without sorting every wide row it multiplies.
            ASSERT_EQ(unico->dm->GenerarSQLConteo(false), quill::kListadoCorrecto);
            ASSERT_FALSE(unico->dm->SentenciaSQL().contains("EXISTS"));
            EXPECT_EQ(conjunto(unico->dm->SentenciaSQL()), a);
        }
        l->dm->CrearTablaPaciente();
        EXPECT_EQ(idsDe(*l->dm->memPacientes), a);
        ASSERT_EQ(l->dm->GenerarSQLConteo(false), quill::kListadoCorrecto);
        EXPECT_EQ(l->dm->ContarPacientes(), double(a.size()));
    }
}

} // namespace
