// The Dates listing on a generated shop database: birthdays of this month from every partition
// (never a deleted patient or patient 0, repeated codes kept apart), the record-date columns
// against the records they come from, the record-family path in the host's partition, the
// last-visit table, the SMS table and the export, against queries written independently of the
// module.

#include "condiciones.h"
#include "listadojson.h"
#include "tiendaprueba.h"

#include "actions/ejecutor.h"
#include "actions/registro.h"
#include "platform/memtable.h"
#include "queries/tdmfechas.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlRecord>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kConexion = QStringLiteral("db_fechas");

const char* const kMeses[] = {"Enero",      "Febrero", "Marzo",     "Abril",
                              "Mayo",       "Junio",   "Julio",     "Agosto",
                              "Septiembre", "Octubre", "Noviembre", "Diciembre"};

struct Paciente {
    int licencia = 0;
    int borrado = 0;
    int codigo = 0;
};

// The patients of the statements below: not deleted, not patient 0, any partition.
const QString kVivos = QStringLiteral("P.BORRADO = 0 AND P.ID_PACIENTE <> 0");

class Fechas : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base = new tiendaprueba::Tienda;
        error = base->crear(kConexion, {}, tiendaprueba::plantillaGenerada);
        if (!error.isEmpty()) return;
        mes = QDate::currentDate().month();
        // Born this month: patient 0, a deleted patient, and two patients of one code in two
        // partitions; only the last two may be listed.
        const QString dia = QStringLiteral("'2001-%1-15'").arg(mes, 2, 10, QLatin1Char('0'));
        QSqlQuery q(base->db());
        q.exec(QStringLiteral("SELECT FIRST 1 A.ID_PACIENTE, B.ID_PACIENTE FROM PACIENTE A, "
                              "PACIENTE B WHERE A.CODIGO = B.CODIGO AND A.LICENCIA = 1 AND "
                              "B.LICENCIA = 2 AND A.BORRADO = 0 AND B.BORRADO = 0 AND "
                              "A.ID_PACIENTE <> 0"));
        if (!q.next()) {
            error = QStringLiteral("the demo data has no code repeated across partitions");
            return;
        }
        mismoCodigo = {q.value(0).toInt(), q.value(1).toInt()};
        borrado = base->valor(QStringLiteral("SELECT MIN(ID_PACIENTE) FROM PACIENTE WHERE "
                                             "BORRADO <> 0"))
                      .toInt();
        error = base->ejecutar(
            {QStringLiteral("UPDATE PACIENTE SET FECHA_NACIMIENTO = %1 WHERE ID_PACIENTE IN (0, "
                            "%2, %3, %4)")
                 .arg(dia)
                 .arg(borrado)
                 .arg(mismoCodigo.first)
                 .arg(mismoCodigo.second)});
        if (!error.isEmpty()) return;
        q.exec(QStringLiteral("SELECT ID_PACIENTE, LICENCIA, BORRADO, CODIGO FROM PACIENTE"));
        while (q.next())
            pacientes.insert(q.value(0).toInt(),
                             {q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt()});
    }
    static void TearDownTestSuite() {
        delete base;
        base = nullptr;
        pacientes.clear();
    }
    void SetUp() override { ASSERT_TRUE(error.isEmpty()) << qPrintable(error); }

    using Listado = ListadoJson<TdmFechas>;
    // A Dates data module over the conditions of a JSON text, built as the runner builds them.
    static std::unique_ptr<Listado> listado(const QString& json, qint16 variante = 0) {
        return listadoJson<TdmFechas>(json, 3, kConexion, QStringLiteral("1"), variante);
    }
    static QString cumpleanos() {
        return QStringLiteral(R"({"Id": 425, "Condicion1": "%1", "Condicion1Ids": "%2"})")
            .arg(QLatin1String(kMeses[mes - 1]))
            .arg(mes);
    }

    static QSet<int> conjunto(const QString& sql) {
        QSet<int> ids;
        QSqlQuery q(base->db());
        q.setForwardOnly(true);
        EXPECT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text()) << "\n" << qPrintable(sql);
        const int c = q.record().indexOf(QStringLiteral("ID_PACIENTE"));
        while (q.next())
            ids.insert(q.value(c).toInt());
        return ids;
    }
    // Patient -> the dates of a query of (ID_PACIENTE, date).
    static QHash<int, QSet<QDate>> fechasPorPaciente(const QString& sql) {
        QHash<int, QSet<QDate>> fechas;
        QSqlQuery q(base->db());
        q.setForwardOnly(true);
        EXPECT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text()) << "\n" << qPrintable(sql);
        while (q.next())
            fechas[q.value(0).toInt()].insert(q.value(1).toDate());
        return fechas;
    }
    static QSet<int> idsDe(const quill::MemTable& t) {
        QSet<int> ids;
        for (int i = 0; i < t.recordCount(); ++i)
            ids.insert(t.valueAt(i, QStringLiteral("IdPaciente")).toInt());
        return ids;
    }
    static double contar(TdmFechas& dm, bool todas) {
        EXPECT_EQ(dm.GenerarSQLConteo(todas), quill::kListadoCorrecto)
            << qPrintable(dm.ErrorSQL() + "\n" + dm.SentenciaSQL());
        return dm.ContarPacientes();
    }

    static inline tiendaprueba::Tienda* base = nullptr;
    static inline QString error;
    static inline int mes = 0;
    static inline int borrado = 0;
    static inline QPair<int, int> mismoCodigo;
    static inline QHash<int, Paciente> pacientes;
};

TEST_F(Fechas, CumpleanosDelMesDeTodasLasParticiones) {
    const QSet<int> esperado = conjunto(
        QStringLiteral("SELECT P.ID_PACIENTE FROM PACIENTE P WHERE %1 AND "
                       "CAST(P.FECHA_NACIMIENTO AS DATE) <> '1899-12-30' AND EXTRACT(MONTH FROM "
                       "P.FECHA_NACIMIENTO) = %2")
            .arg(kVivos)
            .arg(mes));
    QSet<int> particiones;
    for (int id : esperado)
        particiones.insert(pacientes[id].licencia);
    ASSERT_GE(particiones.size(), 2) << "the demo data must have birthdays in several partitions";

    auto l = listado("[" + cumpleanos() + "]");
    TdmFechas& dm = *l->dm;
    ASSERT_EQ(dm.GenerarSQL(22, 0, true), quill::kListadoCorrecto) << qPrintable(dm.ErrorSQL());
    dm.CrearTablaPaciente();
    const quill::MemTable& t = *dm.memPacientesFecha;
    EXPECT_EQ(idsDe(t), esperado);
    EXPECT_EQ(t.recordCount(), esperado.size()) << "each patient once";
    EXPECT_FALSE(idsDe(t).contains(0));
    EXPECT_FALSE(idsDe(t).contains(borrado));
    // One code, two partitions: two patients.
    EXPECT_TRUE(idsDe(t).contains(mismoCodigo.first));
    EXPECT_TRUE(idsDe(t).contains(mismoCodigo.second));
    // Sorted by day of birth (then month, the same for all).
    int anterior = 0;
    for (int i = 0; i < t.recordCount(); ++i) {
        const QDate nacimiento = t.valueAt(i, QStringLiteral("Nacimiento")).toDate();
        EXPECT_EQ(nacimiento.month(), mes);
        EXPECT_GE(nacimiento.day(), anterior);
        anterior = nacimiento.day();
        const int id = t.valueAt(i, QStringLiteral("IdPaciente")).toInt();
        EXPECT_EQ(t.valueAt(i, QStringLiteral("Codigo")).toInt(), pacientes[id].codigo);
    }
    EXPECT_EQ(contar(dm, true), double(esperado.size()));
}

// A record-date condition adds its column: "all" keeps a row per matching record, and the
// patient's row shows one of those dates; "any" with the birthday shows the latest matching date,
// and none for a patient listed by its birthday alone.
TEST_F(Fechas, ColumnasDeFechaDeLasFichas) {
    struct Caso {
        const char* fila;
        QString fechas; // ID_PACIENTE and the date on P, besides the live patients
        const char* campo;
    };
    const auto fechas = [](const char* desde, const char* columna, const char* condicion) {
        return QStringLiteral("SELECT P.ID_PACIENTE, CAST(%2 AS DATE) FROM PACIENTE P %1 WHERE "
                              "%4 AND CAST(%2 AS DATE) <> '1899-12-30' AND CAST(%2 AS DATE) %3")
            .arg(QLatin1String(desde), QLatin1String(columna), QLatin1String(condicion), kVivos);
    };
    const Caso casos[] = {
        {R"({"Id": 112, "Condicion": "Mayor que...", "Condicion1": "01/01/2024"})",
         fechas("JOIN MLENTILLA X ON X.ID_PACIENTE = P.ID_PACIENTE", "X.FECHA_REVISION",
                "> '2024-01-01'"),
         "FechaRevision"},
        {R"({"Id": 135, "Condicion": "Menor que...", "Condicion1": "01/01/2025"})",
         fechas("JOIN MLENTILLA X ON X.ID_PACIENTE = P.ID_PACIENTE", "X.FECHA_LIMPIEZA",
                "< '2025-01-01'"),
         "FechaLimpieza"},
        {R"({"Id": 191, "Condicion": "Mayor que...", "Condicion1": "01/01/2024"})",
         fechas("JOIN MAUDIFONO M ON M.ID_PACIENTE = P.ID_PACIENTE JOIN DAUDIFONO X ON "
                "X.ID_MAUDIFONO = M.ID_MAUDIFONO",
                "X.GARANTIA", "> '2024-01-01'"),
         "FechaGarantia"},
        {R"({"Id": 92, "Condicion": "Mayor que...", "Condicion1": "01/01/2024"})",
         fechas("JOIN MGRADUACION M ON M.ID_PACIENTE = P.ID_PACIENTE JOIN DGRADUACION X ON "
                "X.ID_MGRADUACION = M.ID_MGRADUACION",
                "X.FECHA_GARANTIA", "> '2024-01-01'"),
         "FechaGarantia"},
        {R"({"Id": 376, "Condicion": "Mayor que...", "Condicion1": "01/01/2020"})",
         fechas("JOIN MOREDUCIDA X ON X.ID_PACIENTE = P.ID_PACIENTE", "X.FECHA", "> '2020-01-01'"),
         "Fecha"},
    };
    const QSet<int> nacidos = conjunto(
        QStringLiteral("SELECT P.ID_PACIENTE FROM PACIENTE P WHERE %1 AND "
                       "CAST(P.FECHA_NACIMIENTO AS DATE) <> '1899-12-30' AND EXTRACT(MONTH FROM "
                       "P.FECHA_NACIMIENTO) = %2")
            .arg(kVivos)
            .arg(mes));
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.fila);
        const QHash<int, QSet<QDate>> esperado = fechasPorPaciente(c.fechas);
        ASSERT_FALSE(esperado.isEmpty()) << "the case must select someone";
        const QString campo = QLatin1String(c.campo);
        for (bool todas : {true, false}) {
            SCOPED_TRACE(todas ? "todas" : "cualquiera");
            auto l = listado(
                todas ? QStringLiteral("[%1]").arg(QLatin1String(c.fila))
                      : QStringLiteral("[%1, %2]").arg(cumpleanos(), QLatin1String(c.fila)));
            TdmFechas& dm = *l->dm;
            ASSERT_EQ(dm.GenerarSQL(0, 0, todas), quill::kListadoCorrecto)
                << qPrintable(dm.ErrorSQL() + "\n" + dm.SentenciaSQL());
            dm.CrearTablaPaciente();
            const quill::MemTable& t = *dm.memPacientesFecha;
            QSet<int> ids(esperado.keyBegin(), esperado.keyEnd());
            if (!todas) ids += nacidos;
            EXPECT_EQ(idsDe(t), ids);
            EXPECT_EQ(t.recordCount(), ids.size());
            for (int i = 0; i < t.recordCount(); ++i) {
                const int id = t.valueAt(i, QStringLiteral("IdPaciente")).toInt();
                const QVariant fecha = t.valueAt(i, campo);
                if (!esperado.contains(id)) {
                    EXPECT_TRUE(fecha.isNull()) << id;
                    continue;
                }
                if (todas) {
                    EXPECT_TRUE(esperado[id].contains(fecha.toDate())) << id;
                } else {
                    const QList<QDate> l2(esperado[id].begin(), esperado[id].end());
                    EXPECT_EQ(fecha.toDate(), *std::max_element(l2.begin(), l2.end())) << id;
                }
            }
            EXPECT_EQ(contar(dm, todas), double(ids.size()));
        }
    }
}

// The record revision date of every family: only the host's partition, and each patient's row
// shows a revision date of one of its matching records, whichever family it comes from.
TEST_F(Fechas, FechaDeRevisionDeCualquierFicha) {
    const QString condicion =
        QStringLiteral("AND CAST(%1 AS DATE) <> '1899-12-30' AND CAST(%1 AS DATE) > '2024-06-01'");
    QStringList partes;
    for (const auto& [tabla, columna] :
         {std::pair{"MGRADUACION", "X.FECHA_REVISION"}, std::pair{"MLENTILLA", "X.FECHA_REVISION"},
          std::pair{"OPTOMETRIA", "X.TA_FECHA_REVISION"}})
        partes << QStringLiteral("SELECT P.ID_PACIENTE, CAST(%2 AS DATE) FROM PACIENTE P JOIN %1 X "
                                 "ON X.ID_PACIENTE = P.ID_PACIENTE WHERE %3 AND P.LICENCIA = 1 ")
                          .arg(QLatin1String(tabla), QLatin1String(columna), kVivos) +
                      condicion.arg(QLatin1String(columna));
    const QHash<int, QSet<QDate>> esperado = fechasPorPaciente(partes.join(" UNION ALL "));
    ASSERT_FALSE(esperado.isEmpty());
    auto l = listado(R"([{"Id": 434, "Condicion": "Mayor que...", "Condicion1": "01/06/2024"}])");
    TdmFechas& dm = *l->dm;
    ASSERT_EQ(dm.GenerarSQL(22, 1, true), quill::kListadoCorrecto)
        << qPrintable(dm.ErrorSQL() + "\n" + dm.SentenciaSQL());
    ASSERT_TRUE(dm.SentenciaSQL().contains(" UNION "));
    dm.CrearTablaPaciente();
    const quill::MemTable& t = *dm.memPacientesFecha;
    EXPECT_EQ(idsDe(t), QSet<int>(esperado.keyBegin(), esperado.keyEnd()));
    EXPECT_EQ(t.recordCount(), esperado.size());
    QDate anterior(9999, 1, 1);
    for (int i = 0; i < t.recordCount(); ++i) {
        const int id = t.valueAt(i, QStringLiteral("IdPaciente")).toInt();
        EXPECT_TRUE(esperado[id].contains(t.valueAt(i, QStringLiteral("FechaRevision")).toDate()))
            << id;
        // Order 22 descending: by birth date, latest first.
        const QDate nacimiento = t.valueAt(i, QStringLiteral("Nacimiento")).toDate();
        EXPECT_LE(nacimiento, anterior);
        anterior = nacimiento;
    }
    EXPECT_EQ(contar(dm, true), double(esperado.size()));
}

// Every shape of the statement, in every order and with all and any: none refused by the
// database; the normal path never lists a deleted patient or patient 0, the record-family paths
// only the host's partition.
TEST_F(Fechas, NingunaSentenciaFalla) {
    const QString revision =
        R"({"Id": 112, "Condicion": "Mayor que...", "Condicion1": "01/01/2024"})";
    const QStringList casos = {
        "[]",
        "[" + cumpleanos() + R"(, {"Id": 421, "Condicion": "Igual a...", "Condicion1": "1"},
             {"Id": 427, "Condicion": "Mayor que...", "Condicion1": "10"}])",
        R"([{"Id": 55, "Condicion1": "Última", "Condicion1Ids": "1"},)" + revision +
            R"(, {"Id": 56, "Condicion": "Mayor que...", "Condicion1": "01/01/2015"},
             {"Id": 377, "Condicion": "Mayor que...", "Condicion1": "01/01/2000"}])",
        R"([{"Id": 152, "Condicion": "Mayor que...", "Condicion1": "01/01/2000"},
            {"Id": 217, "Condicion": "Mayor que...", "Condicion1": "01/01/2000"},
            {"Id": 118, "Condicion": "Mayor que...", "Condicion1": "01/01/2000"}])",
        R"([{"Id": 55, "Condicion1": "Última", "Condicion1Ids": "1"},
            {"Id": 435, "Condicion": "Mayor que...", "Condicion1": "01/01/2024"}])",
        R"([{"Id": 50, "Condicion1": "x", "Condicion1Ids": "1;2;0;3;4"},)" + revision +
            R"(, {"Id": 1, "Condicion": "Empieza por...", "Condicion1": "S"}])",
        R"([{"Id": 50, "Condicion": "Distinto de...", "Condicion1": "x", "Condicion1Ids": "1"},
            {"Id": 11, "Condicion1": "Mujer", "Condicion1Ids": "2"}])",
    };
    for (const QString& json : casos) {
        for (qint16 orden : {3, 22, 23, 24}) {
            for (bool todas : {true, false}) {
                SCOPED_TRACE(qPrintable(json + QStringLiteral(" orden %1 ").arg(orden) +
                                        (todas ? "todas" : "cualquiera")));
                auto l = listado(json);
                TdmFechas& dm = *l->dm;
                const qint16 r = dm.GenerarSQL(orden, 1, todas);
                ASSERT_NE(r, quill::kListadoErrorInterno)
                    << qPrintable(dm.ErrorSQL() + "\n" + dm.SentenciaSQL());
                const bool especial = !dm.Analisis().general.familias.isEmpty();
                for (int id : conjunto(dm.SentenciaSQL())) {
                    ASSERT_TRUE(pacientes.contains(id)) << id;
                    EXPECT_NE(id, 0);
                    EXPECT_EQ(pacientes[id].borrado, 0) << id;
                    if (especial) {
                        EXPECT_EQ(pacientes[id].licencia, 1) << id;
                    }
                }
                ASSERT_NE(dm.GenerarSQLConteo(todas), quill::kListadoErrorInterno)
                    << qPrintable(dm.ErrorSQL() + "\n" + dm.SentenciaSQL());
            }
        }
    }
}

// With the last-visit condition the run fills the table itself: Fecha is the latest record date,
// the condition's date column follows, and the locality texts come only for the export.
TEST_F(Fechas, TablaDeUltimaVisitaSmsYExportacion) {
    const QString json =
        R"([{"Id": 112, "Condicion": "Mayor que...", "Condicion1": "01/01/2024"},
            {"Id": 56, "Condicion": "Mayor que...", "Condicion1": "01/01/2015"}])";
    QHash<int, QDate> ultima;
    {
        QSqlQuery q(base->db());
        ASSERT_TRUE(q.exec(QStringLiteral(
            "SELECT ID_PACIENTE, MAX(CAST(FECHA AS DATE)) FROM (SELECT ID_PACIENTE, FECHA FROM "
            "MGRADUACION UNION ALL SELECT ID_PACIENTE, FECHA FROM MLENTILLA UNION ALL SELECT "
            "ID_PACIENTE, FECHA FROM REPOSICION UNION ALL SELECT ID_PACIENTE, FECHA FROM "
            "MAUDIFONO) GROUP BY ID_PACIENTE")));
        while (q.next())
            ultima.insert(q.value(0).toInt(), q.value(1).toDate());
    }
    for (qint16 variante : {0, 3}) {
        SCOPED_TRACE(variante);
        auto l = listado(json, variante);
        TdmFechas& dm = *l->dm;
        ASSERT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoCorrecto) << qPrintable(dm.ErrorSQL());
        const quill::MemTable& t = *dm.memPacientesFecha;
        ASSERT_GT(t.recordCount(), 0);
        int conLocalidad = 0;
        for (int i = 0; i < t.recordCount(); ++i) {
            const int id = t.valueAt(i, QStringLiteral("IdPaciente")).toInt();
            EXPECT_EQ(t.valueAt(i, QStringLiteral("Fecha")).toDate(), ultima.value(id)) << id;
            EXPECT_GT(t.valueAt(i, QStringLiteral("FechaRevision")).toDate(), QDate(2024, 1, 1));
            conLocalidad += !t.valueAt(i, QStringLiteral("Localidad")).toString().isEmpty();
        }
        EXPECT_EQ(conLocalidad > 0, variante == 3);

        // The export keeps that table, with the revision column the condition asks for.
        const quill::DescriptorListado& d = *quill::Listado(3);
        const quill::TablaSalida salida =
            d.exportacion(dm, quill::IdsCondiciones(*l->condiciones.tabla));
        EXPECT_EQ(salida.tabla, &t);
        EXPECT_EQ(salida.tabla->recordCount(), t.recordCount());
        QStringList titulos;
        for (const quill::ColumnSpec& c : salida.columnas.columns)
            titulos << c.caption;
        EXPECT_EQ(titulos.last(), QStringLiteral("Fecha Revisión"));
        EXPECT_EQ(salida.columnas.sortField, QStringLiteral("NombreCorto"));

        // SMS: valid mobiles only, each patient once.
        const quill::TablaSalida sms = d.tablaSMS(dm);
        ASSERT_GT(sms.tabla->recordCount(), 0);
        EXPECT_LE(sms.tabla->recordCount(), t.recordCount());
        for (int i = 0; i < sms.tabla->recordCount(); ++i)
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^[67][0-9]{8}$"))
                            .match(sms.tabla->valueAt(i, QStringLiteral("Telefono")).toString())
                            .hasMatch());
    }
}

} // namespace
