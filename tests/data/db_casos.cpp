// The demo shop the database tests share (400 patients, seed 7, today 2025-06-01) holds every
// case the listings must meet: sales of every kind and amount, every date due this month,
// deleted patients and other partitions, orders in every state of payment, and the odd shapes
// of contact-lens, spectacle and hearing-aid records. Each case is looked for with plain SQL.

#include "tiendaprueba.h"

#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kConexion = QStringLiteral("db_casos");

// Patients a listing of the host's partition may show.
#define VISIBLE " P.BORRADO = 0 AND P.ID_PACIENTE <> 0 AND P.LICENCIA = 1 "
// Types that count as consumption.
#define CONSUMO " M.TIPO_OPERACION IN (0, 1) "
// What is still owed on order M.
#define DEUDA                                                                                      \
    " (M.LIQUIDO_M1 - COALESCE((SELECT SUM(C.IMPORTE_M1) FROM COBRO C "                            \
    "WHERE C.ID_MVENTA = M.ID_MVENTA), 0)) "
#define ESTE_MES(col) " CAST(" col " AS DATE) BETWEEN '2025-06-01' AND '2025-06-30' "

class DemoCasos : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tienda_ = new tiendaprueba::Tienda;
        error_ = tienda_->crear(kConexion, {}, tiendaprueba::plantillaGenerada);
    }
    static void TearDownTestSuite() {
        delete tienda_;
        tienda_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(error_.isEmpty()) << error_.toStdString(); }

    // The first column of the first row; fails the test when the statement does not run.
    static qint64 cuenta(const char* sql) {
        QSqlQuery q(tienda_->db());
        if (!q.exec(QString::fromUtf8(sql)) || !q.next()) {
            ADD_FAILURE() << sql << ": " << q.lastError().text().toStdString();
            return -1;
        }
        return q.value(0).toLongLong();
    }

    struct Caso {
        const char* que;
        const char* sql;
        qint64 valor;
        bool exacto; // false: at least valor
    };
    static void comprobar(std::initializer_list<Caso> casos) {
        for (const Caso& c : casos) {
            const qint64 n = cuenta(c.sql);
            if (c.exacto)
                EXPECT_EQ(n, c.valor) << c.que << "\n" << c.sql;
            else
                EXPECT_GE(n, c.valor) << c.que << "\n" << c.sql;
        }
    }

    static inline tiendaprueba::Tienda* tienda_ = nullptr;
    static inline QString error_;
};

TEST_F(DemoCasos, SalesOfEveryTypeAndAmount) {
    comprobar({
        {"every operation type in the last year",
         "SELECT COUNT(DISTINCT TIPO_OPERACION) FROM MVENTA WHERE ID_PACIENTE <> 0 AND "
         "FECHA > '2024-06-01' AND TIPO_OPERACION BETWEEN 0 AND 3",
         4, true},
        {"types 0 and 1 in each month of the last year",
         "SELECT COUNT(*) FROM (SELECT M.TIPO_OPERACION FROM MVENTA M WHERE" CONSUMO
         "AND M.FECHA >= '2024-07-01' AND M.FECHA < '2025-07-01' GROUP BY 1 "
         "HAVING COUNT(DISTINCT EXTRACT(MONTH FROM M.FECHA)) = 12)",
         2, true},
        {"orders and deleted operations spread over the year",
         "SELECT COUNT(*) FROM (SELECT TIPO_OPERACION FROM MVENTA WHERE TIPO_OPERACION IN (2, 3) "
         "AND FECHA > '2024-06-01' GROUP BY 1 HAVING COUNT(DISTINCT EXTRACT(MONTH FROM FECHA)) "
         ">= 4)",
         2, true},
        {"operations of exactly 100, 300 and 500",
         "SELECT COUNT(DISTINCT M.LIQUIDO_M1) FROM MVENTA M WHERE" CONSUMO
         "AND M.LIQUIDO_M1 IN (100, 300, 500)",
         3, true},
        {"operations a cent either side of 300",
         "SELECT COUNT(DISTINCT M.LIQUIDO_M1) FROM MVENTA M WHERE" CONSUMO
         "AND M.LIQUIDO_M1 IN (299.99, 300.01)",
         2, true},
        {"operations above and below 300",
         "SELECT COUNT(DISTINCT SIGN(M.LIQUIDO_M1 - 300)) FROM MVENTA M WHERE" CONSUMO, 3, true},
        {"patients whose consumption is exactly 300 and exactly 500",
         "SELECT COUNT(DISTINCT T) FROM (SELECT SUM(M.LIQUIDO_M1) T FROM MVENTA M JOIN PACIENTE P "
         "ON P.ID_PACIENTE = M.ID_PACIENTE WHERE" VISIBLE "AND" CONSUMO
         "GROUP BY M.ID_PACIENTE) WHERE T IN (300, 500)",
         2, true},
        {"consumption above 300 made of operations of 300 or less",
         "SELECT COUNT(*) FROM (SELECT M.ID_PACIENTE FROM MVENTA M JOIN PACIENTE P "
         "ON P.ID_PACIENTE = M.ID_PACIENTE WHERE" VISIBLE "AND" CONSUMO
         "GROUP BY 1 HAVING SUM(M.LIQUIDO_M1) > 300 AND MAX(M.LIQUIDO_M1) <= 300)",
         1, false},
        {"consumption of 300 or less, above it once orders and deleted operations are added",
         "SELECT COUNT(*) FROM (SELECT M.ID_PACIENTE FROM MVENTA M JOIN PACIENTE P "
         "ON P.ID_PACIENTE = M.ID_PACIENTE WHERE" VISIBLE "GROUP BY 1 HAVING "
         "SUM(IIF(M.TIPO_OPERACION IN (0, 1), M.LIQUIDO_M1, 0)) <= 300 AND "
         "SUM(M.LIQUIDO_M1) > 300)",
         1, false},
        {"regular customers: twenty small operations or more, above 300 together",
         "SELECT COUNT(*) FROM (SELECT M.ID_PACIENTE FROM MVENTA M JOIN PACIENTE P "
         "ON P.ID_PACIENTE = M.ID_PACIENTE WHERE" VISIBLE "AND" CONSUMO
         "GROUP BY 1 HAVING COUNT(*) >= 20 AND MAX(M.LIQUIDO_M1) < 60 AND "
         "SUM(M.LIQUIDO_M1) > 300)",
         1, false},
        {"patient 0 above 300",
         "SELECT COUNT(*) FROM (SELECT M.ID_PACIENTE FROM MVENTA M WHERE M.ID_PACIENTE = 0 "
         "AND" CONSUMO "GROUP BY 1 HAVING SUM(M.LIQUIDO_M1) > 300)",
         1, true},
        {"a deleted patient above 300",
         "SELECT COUNT(*) FROM (SELECT M.ID_PACIENTE FROM MVENTA M JOIN PACIENTE P "
         "ON P.ID_PACIENTE = M.ID_PACIENTE WHERE P.BORRADO = 1 AND" CONSUMO
         "GROUP BY 1 HAVING SUM(M.LIQUIDO_M1) > 300)",
         1, false},
        {"consumption above 300 in every partition",
         "SELECT COUNT(DISTINCT L) FROM (SELECT P.LICENCIA L FROM MVENTA M JOIN PACIENTE P "
         "ON P.ID_PACIENTE = M.ID_PACIENTE WHERE P.BORRADO = 0 AND P.ID_PACIENTE <> 0 AND" CONSUMO
         "GROUP BY P.ID_PACIENTE, P.LICENCIA HAVING SUM(M.LIQUIDO_M1) > 300)",
         3, true},
    });
}

TEST_F(DemoCasos, EveryDateFallsDueThisMonth) {
    // Each date a dates listing offers, on a record of a patient it may show.
    const struct {
        const char* tabla; // record table joined to PACIENTE P, with its line table when any
        const char* columna;
    } fechas[] = {
        {"MGRADUACION T", "T.FECHA_REVISION"},
        {"MGRADUACION T JOIN DGRADUACION D ON D.ID_MGRADUACION = T.ID_MGRADUACION",
         "D.FECHA_GARANTIA"},
        {"MLENTILLA T", "T.FECHA_REVISION"},
        {"MLENTILLA T", "T.FECHA_LIMPIEZA"},
        {"MLENTILLA T", "T.FECHA_CADUCIDAD"},
        {"MLENTILLA T", "T.FECHA_REPOSICION"},
        {"MLENTILLA T JOIN DLENTILLA D ON D.ID_MLENTILLA = T.ID_MLENTILLA", "D.FECHA_GARANTIA"},
        {"MAUDIFONO T", "T.FECHA_PROXIMA_REVISION"},
        {"MAUDIFONO T", "T.FECHA_REVISION"},
        {"MAUDIFONO T", "T.FECHA_ADAPTACION"},
        {"MAUDIFONO T JOIN DAUDIFONO D ON D.ID_MAUDIFONO = T.ID_MAUDIFONO", "D.GARANTIA"},
        {"OPTOMETRIA T", "T.TA_FECHA_REVISION"},
        {"MOREDUCIDA T", "T.FECHA_REVISION"},
        {"REPOSICION T", "T.FECHA"},
        // Dates of what was done: these last days, so also this month or the last.
        {"MGRADUACION T", "T.FECHA"},
        {"MLENTILLA T", "T.FECHA"},
        {"MAUDIFONO T", "T.FECHA"},
        {"MAUDIFONO T", "T.FECHA_AEREA"},
        {"MAUDIFONO T", "T.FECHA_OSEA"},
        {"OPTOMETRIA T", "T.FECHA_EX_MEDICO"},
        {"OPTOMETRIA T", "T.FECHA_EX_OPTICO"},
        {"MOREDUCIDA T", "T.FECHA"},
    };
    for (const auto& f : fechas) {
        const QByteArray sql =
            QStringLiteral("SELECT COUNT(*) FROM %1 JOIN PACIENTE P ON P.ID_PACIENTE = "
                           "T.ID_PACIENTE WHERE" VISIBLE "AND CAST(%2 AS DATE) BETWEEN "
                           "'2025-05-01' AND '2025-06-30'")
                .arg(QLatin1String(f.tabla), QLatin1String(f.columna))
                .toUtf8();
        EXPECT_GT(cuenta(sql.constData()), 0) << sql.constData();
    }
    comprobar({
        {"lens cleaning and expiry due this month, each on its own day",
         "SELECT COUNT(*) FROM MLENTILLA T JOIN PACIENTE P ON P.ID_PACIENTE = T.ID_PACIENTE "
         "WHERE" VISIBLE "AND" ESTE_MES("T.FECHA_LIMPIEZA") "AND" ESTE_MES(
             "T.FECHA_CADUCIDAD") "AND T.FECHA_LIMPIEZA <> T.FECHA_CADUCIDAD",
         1, false},
        {"a deleted patient with records due this month",
         "SELECT COUNT(*) FROM MLENTILLA T JOIN PACIENTE P ON P.ID_PACIENTE = T.ID_PACIENTE "
         "WHERE P.BORRADO = 1 AND" ESTE_MES("T.FECHA_REPOSICION"),
         1, false},
        {"lens replacements due this month in every partition",
         "SELECT COUNT(DISTINCT P.LICENCIA) FROM MLENTILLA T JOIN PACIENTE P ON P.ID_PACIENTE = "
         "T.ID_PACIENTE WHERE P.BORRADO = 0 AND" ESTE_MES("T.FECHA_REPOSICION"),
         3, true},
    });
}

TEST_F(DemoCasos, BirthdaysPartitionsAndDeletedPatients) {
    comprobar({
        {"birthdays in every month",
         "SELECT COUNT(DISTINCT EXTRACT(MONTH FROM FECHA_NACIMIENTO)) FROM PACIENTE P WHERE" VISIBLE
         "AND P.FECHA_NACIMIENTO > '1900-01-01'",
         12, true},
        {"birthdays this month in every partition",
         "SELECT COUNT(DISTINCT LICENCIA) FROM PACIENTE P WHERE P.BORRADO = 0 AND "
         "P.ID_PACIENTE <> 0 AND EXTRACT(MONTH FROM P.FECHA_NACIMIENTO) = 6",
         3, true},
        {"a deleted patient with a birthday this month",
         "SELECT COUNT(*) FROM PACIENTE WHERE BORRADO = 1 AND "
         "EXTRACT(MONTH FROM FECHA_NACIMIENTO) = 6",
         1, false},
        {"patient 0 with a birthday this month",
         "SELECT COUNT(*) FROM PACIENTE WHERE ID_PACIENTE = 0 AND BORRADO = 0 AND "
         "EXTRACT(MONTH FROM FECHA_NACIMIENTO) = 6",
         1, true},
        {"patient codes found in all three partitions",
         "SELECT COUNT(*) FROM (SELECT CODIGO FROM PACIENTE WHERE ID_PACIENTE <> 0 GROUP BY 1 "
         "HAVING COUNT(DISTINCT LICENCIA) = 3)",
         1, false},
        {"a code repeated within one partition",
         "SELECT COUNT(*) FROM (SELECT CODIGO, LICENCIA FROM PACIENTE GROUP BY 1, 2 "
         "HAVING COUNT(*) > 1)",
         0, true},
    });
}

TEST_F(DemoCasos, OrdersInEveryStateOfPayment) {
    comprobar({
        {"an order not paid at all",
         "SELECT COUNT(*) FROM MVENTA M JOIN PACIENTE P ON P.ID_PACIENTE = M.ID_PACIENTE "
         "WHERE" VISIBLE
         "AND M.TIPO_OPERACION = 2 AND NOT EXISTS (SELECT 1 FROM COBRO C WHERE C.ID_MVENTA = "
         "M.ID_MVENTA)",
         1, false},
        {"an order partly paid",
         "SELECT COUNT(*) FROM MVENTA M JOIN PACIENTE P ON P.ID_PACIENTE = M.ID_PACIENTE "
         "WHERE" VISIBLE "AND M.TIPO_OPERACION = 2 AND" DEUDA "> 0 AND" DEUDA "< M.LIQUIDO_M1",
         1, false},
        {"an order paid up",
         "SELECT COUNT(*) FROM MVENTA M JOIN PACIENTE P ON P.ID_PACIENTE = M.ID_PACIENTE "
         "WHERE" VISIBLE "AND M.TIPO_OPERACION = 2 AND" DEUDA "= 0",
         1, false},
        {"a patient with orders owing nothing",
         "SELECT COUNT(*) FROM (SELECT M.ID_PACIENTE FROM MVENTA M JOIN PACIENTE P ON "
         "P.ID_PACIENTE = M.ID_PACIENTE WHERE" VISIBLE "AND M.TIPO_OPERACION = 2 GROUP BY 1 "
         "HAVING SUM" DEUDA "= 0)",
         1, false},
        {"two orders of 100 paid 30 and 50: owing 120",
         "SELECT COUNT(*) FROM (SELECT M.ID_PACIENTE FROM MVENTA M JOIN PACIENTE P ON "
         "P.ID_PACIENTE = M.ID_PACIENTE WHERE" VISIBLE "AND M.TIPO_OPERACION = 2 GROUP BY 1 "
         "HAVING COUNT(*) = 2 AND MIN(M.LIQUIDO_M1) = 100 AND MAX(M.LIQUIDO_M1) = 100 AND "
         "SUM" DEUDA "= 120)",
         1, false},
        {"a patient owing exactly 50",
         "SELECT COUNT(*) FROM (SELECT M.ID_PACIENTE FROM MVENTA M JOIN PACIENTE P ON "
         "P.ID_PACIENTE = M.ID_PACIENTE WHERE" VISIBLE "AND M.TIPO_OPERACION = 2 GROUP BY 1 "
         "HAVING SUM" DEUDA "= 50)",
         1, false},
        {"orders of deleted patients and of other partitions",
         "SELECT COUNT(DISTINCT IIF(P.BORRADO = 1, 0, P.LICENCIA)) FROM MVENTA M JOIN PACIENTE P "
         "ON P.ID_PACIENTE = M.ID_PACIENTE WHERE M.TIPO_OPERACION = 2 AND "
         "(P.BORRADO = 1 OR P.LICENCIA <> 1)",
         2, false},
    });
}

TEST_F(DemoCasos, ContactLensFittingsOfEveryShape) {
    // Eyes of a fitting's lines: 1 right, 2 left.
#define LINEAS(cond) "(SELECT " cond " FROM DLENTILLA D WHERE D.ID_MLENTILLA = T.ID_MLENTILLA)"
#define FITTINGS                                                                                   \
    "SELECT COUNT(*) FROM MLENTILLA T JOIN PACIENTE P ON P.ID_PACIENTE = T.ID_PACIENTE "           \
    "WHERE" VISIBLE "AND "
    comprobar({
        {"right eye only", FITTINGS LINEAS("LIST(D.OJO)") " = '1'", 1, false},
        {"left eye only", FITTINGS LINEAS("LIST(D.OJO)") " = '2'", 1, false},
        {"both eyes", FITTINGS LINEAS("COUNT(DISTINCT D.OJO)") " = 2", 1, false},
        {"no lens lines", FITTINGS "NOT EXISTS " LINEAS("1"), 1, false},
        {"each eye from another supplier",
         FITTINGS "(SELECT COUNT(DISTINCT A.ID_PROVEEDOR) FROM DLENTILLA D JOIN ARTICULO A ON "
                  "A.REFERENCIA = D.REFERENCIA WHERE D.ID_MLENTILLA = T.ID_MLENTILLA) = 2",
         1, false},
        {"a lens reference without article",
         FITTINGS "EXISTS (SELECT 1 FROM DLENTILLA D WHERE D.ID_MLENTILLA = T.ID_MLENTILLA AND "
                  "NOT EXISTS (SELECT 1 FROM ARTICULO A WHERE A.REFERENCIA = D.REFERENCIA))",
         1, false},
        {"a doctor without registration number",
         FITTINGS "EXISTS (SELECT 1 FROM DOCTOR O WHERE O.ID_DOCTOR = T.ID_DOCTOR AND "
                  "O.COLEGIADO = '')",
         1, false},
    });
#undef FITTINGS
#undef LINEAS
}

TEST_F(DemoCasos, SpectacleAndHearingAidRecordsOfEveryShape) {
#define GARANTIAS(n)                                                                               \
    "SELECT COUNT(*) FROM MGRADUACION T JOIN PACIENTE P ON P.ID_PACIENTE = T.ID_PACIENTE "         \
    "WHERE" VISIBLE "AND (SELECT COUNT(*) FROM DGRADUACION D WHERE D.ID_MGRADUACION = "            \
    "T.ID_MGRADUACION AND" ESTE_MES("D.FECHA_GARANTIA") ") = " #n
#define AUDIFONOS                                                                                  \
    "SELECT COUNT(*) FROM MAUDIFONO T JOIN PACIENTE P ON P.ID_PACIENTE = T.ID_PACIENTE "           \
    "WHERE" VISIBLE "AND "
    comprobar({
        {"spectacles with one guarantee line due this month", GARANTIAS(1), 1, false},
        {"spectacles with two guarantee lines due this month", GARANTIAS(2), 1, false},
        {"spectacles with three guarantee lines due this month", GARANTIAS(3), 1, false},
        {"spectacles prescribed by a doctor without registration number",
         "SELECT COUNT(*) FROM MGRADUACION T JOIN DOCTOR O ON O.ID_DOCTOR = T.ID_DOCTOR "
         "WHERE O.COLEGIADO = ''",
         1, false},
        {"hearing aids with several notes",
         AUDIFONOS "(SELECT COUNT(*) FROM AOBSERVACIONES N WHERE N.ID_MAUDIFONO = "
                   "T.ID_MAUDIFONO) >= 2",
         1, false},
        {"hearing aids on both ears",
         AUDIFONOS "(SELECT COUNT(DISTINCT D.OIDO) FROM DAUDIFONO D WHERE D.ID_MAUDIFONO = "
                   "T.ID_MAUDIFONO) = 2",
         1, false},
        {"a hearing aid on the right ear only",
         AUDIFONOS "(SELECT LIST(D.OIDO) FROM DAUDIFONO D WHERE D.ID_MAUDIFONO = T.ID_MAUDIFONO) "
                   "= '1'",
         1, false},
        {"a hearing aid on the left ear only",
         AUDIFONOS "(SELECT LIST(D.OIDO) FROM DAUDIFONO D WHERE D.ID_MAUDIFONO = T.ID_MAUDIFONO) "
                   "= '2'",
         1, false},
        {"fitted by an audiologist without registration number",
         AUDIFONOS "EXISTS (SELECT 1 FROM DOCTOR O WHERE O.ID_DOCTOR = T.ID_DOCTOR_ADAPTA AND "
                   "O.COLEGIADO = '')",
         1, false},
        {"fitted by an audiologist with registration number",
         AUDIFONOS "EXISTS (SELECT 1 FROM DOCTOR O WHERE O.ID_DOCTOR = T.ID_DOCTOR_ADAPTA AND "
                   "O.COLEGIADO <> '')",
         1, false},
    });
#undef AUDIFONOS
#undef GARANTIAS
}

} // namespace
