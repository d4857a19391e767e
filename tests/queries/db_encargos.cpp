// The Pending orders listing on a generated shop database with a few patients of known orders
// added: the debt of each patient against an independent query, the debt condition against the
// same debts, a repeated order counted once, "any" with EXISTS, no result, the detail, the SMS
// table, and `listado` printing both statements and the count.

#include "comandos.h"
#include "condiciones.h"
#include "listadojson.h"
#include "listados.h"
#include "tiendaprueba.h"

#include "platform/memtable.h"
#include "queries/tdmencargo.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kConexion = QStringLiteral("db_encargos");

// Patients with known orders, beside the generated ones. Ids far above the generator's.
const int kDosEncargos = 9000001; // two orders of 100, paid 30 and 50: owes 120
const int kCincuenta = 9000002;   // one order of 80 paid 30: owes exactly 50
const int kPagado = 9000003;      // one order of 40 paid in two payments: owes 0
const int kConNotas = 9000004;    // two notes that match, orders of 70 and 30: owes 100
const int kBorrado = 9000005;     // deleted, with an order
const int kOtraParticion = 9000006;

QStringList filasConocidas() {
    QStringList s;
    auto paciente = [&](int id, int licencia, int borrado, const char* apellidos,
                        const char* movil) {
        s << QStringLiteral("INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, "
                            "APELLIDOS, NOMBRE, NOMBRE_COMPLETO, TELEFONO_MOVIL) VALUES (%1, %1, "
                            "%2, %3, '%4', 'Ana', '%4, Ana', '%5')")
                 .arg(id)
                 .arg(licencia)
                 .arg(borrado)
                 .arg(QLatin1String(apellidos), QLatin1String(movil));
    };
    int venta = 9100000;
    auto encargo = [&](int idPaciente, double importe, const char* fecha, int tipo = 2) {
        ++venta;
        s << QStringLiteral("INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, N_TALON, FECHA, "
                            "TIPO_OPERACION, LIQUIDO_M1, LIQUIDO_M2) VALUES (%1, %2, %1, '%3', "
                            "%4, %5, %6)")
                 .arg(venta)
                 .arg(idPaciente)
                 .arg(QLatin1String(fecha))
                 .arg(tipo)
                 .arg(importe)
                 .arg(importe / 2);
        return venta;
    };
    int cobro = 9200000;
    auto pago = [&](int v, double importe) {
        s << QStringLiteral("INSERT INTO COBRO (ID_COBRO, ID_MVENTA, FECHA, IMPORTE_M1, "
                            "IMPORTE_M2) VALUES (%1, %2, '2025-03-01', %3, %4)")
                 .arg(++cobro)
                 .arg(v)
                 .arg(importe)
                 .arg(importe / 2);
    };
    paciente(kDosEncargos, 1, 0, "ZZENC UNO", "612345678");
    pago(encargo(kDosEncargos, 100, "2025-02-01"), 30);
    pago(encargo(kDosEncargos, 100, "2025-01-15"), 50);
    pago(encargo(kDosEncargos, 500, "2025-01-20", 0), 100); // a sale: owes nothing
    encargo(kDosEncargos, 300, "2025-01-21", 3);            // a deleted order: owes nothing
    paciente(kCincuenta, 1, 0, "ZZENC DOS", "");
    pago(encargo(kCincuenta, 80, "2025-02-10"), 30);
    paciente(kPagado, 1, 0, "ZZENC TRES", "712345678");
    const int pagado = encargo(kPagado, 40, "2025-02-11");
    pago(pagado, 15);
    pago(pagado, 25);
    paciente(kConNotas, 1, 0, "ZZENC CUATRO", "");
    encargo(kConNotas, 70, "2025-02-12");
    encargo(kConNotas, 30, "2025-02-13");
    for (int n : {1, 2})
        s << QStringLiteral("INSERT INTO POBSERVACIONES (ID_POBSERVACIONES, ID_PACIENTE, "
                            "OBSERVACIONES) VALUES (%1, %2, 'zznota %1')")
                 .arg(9300000 + n)
                 .arg(kConNotas);
    paciente(kBorrado, 1, 1, "ZZENC BORRADO", "");
    encargo(kBorrado, 10, "2025-02-14");
    paciente(kOtraParticion, 2, 0, "ZZENC OTRA", "");
    encargo(kOtraParticion, 10, "2025-02-15");
    return s;
}

struct Deuda {
    qint64 m1 = 0; // cents
    qint64 m2 = 0;
};

class Encargos : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base = new tiendaprueba::Tienda;
        error = base->crear(kConexion, filasConocidas(), tiendaprueba::plantillaGenerada);
    }
    static void TearDownTestSuite() {
        delete base;
        base = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(error.isEmpty()) << qPrintable(error); }

    using Listado = ListadoJson<TdmEncargo>;
    static std::unique_ptr<Listado> listado(const QString& json,
                                            const QString& particion = QStringLiteral("1")) {
        return listadoJson<TdmEncargo>(json, 2, kConexion, particion);
    }

    // Each patient's debt in both currencies, written independently of the module: the pending
    // orders (type 2) that meet `donde` (on PACIENTE P and MVENTA M), less their payments.
    static QHash<int, Deuda> deudas(const QString& donde = QStringLiteral("1 = 1"),
                                    int particion = 1) {
        QHash<int, Deuda> r;
        QSqlQuery q(base->db());
        const QString sql =
            QStringLiteral(
                "SELECT M.ID_PACIENTE, M.LIQUIDO_M1 - COALESCE((SELECT SUM(C.IMPORTE_M1) FROM "
                "COBRO C WHERE C.ID_MVENTA = M.ID_MVENTA), 0), M.LIQUIDO_M2 - "
                "COALESCE((SELECT SUM(C.IMPORTE_M2) FROM COBRO C WHERE C.ID_MVENTA = "
                "M.ID_MVENTA), 0) FROM MVENTA M JOIN PACIENTE P ON P.ID_PACIENTE = "
                "M.ID_PACIENTE WHERE M.TIPO_OPERACION = 2 AND P.BORRADO = 0 AND P.ID_PACIENTE "
                "<> 0 AND P.LICENCIA = %1 AND (%2)")
                .arg(particion)
                .arg(donde);
        EXPECT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text());
        while (q.next()) {
            Deuda& d = r[q.value(0).toInt()];
            d.m1 += quill::Centimos(q.value(1).toDouble());
            d.m2 += quill::Centimos(q.value(2).toDouble());
        }
        return r;
    }

    static QHash<int, Deuda> deudasDe(const quill::MemTable& t) {
        QHash<int, Deuda> r;
        for (int i = 0; i < t.recordCount(); ++i) {
            const int id = t.valueAt(i, "IdPaciente").toInt();
            EXPECT_FALSE(r.contains(id)) << "patient listed twice: " << id;
            r.insert(id, {quill::Centimos(t.valueAt(i, "DeudaM1").toDouble()),
                          quill::Centimos(t.valueAt(i, "DeudaM2").toDouble())});
        }
        return r;
    }

    static void comparar(const QHash<int, Deuda>& obtenido, const QHash<int, Deuda>& esperado) {
        EXPECT_EQ(obtenido.size(), esperado.size());
        for (auto it = esperado.begin(); it != esperado.end(); ++it) {
            ASSERT_TRUE(obtenido.contains(it.key())) << "missing " << it.key();
            EXPECT_EQ(obtenido[it.key()].m1, it->m1) << it.key();
            EXPECT_EQ(obtenido[it.key()].m2, it->m2) << it.key();
        }
    }

    static inline tiendaprueba::Tienda* base = nullptr;
    static inline QString error;
};

// Every patient's debt, with the orders a condition keeps, against the independent query; the
// count is the number of patients.
TEST_F(Encargos, DeudaDeCadaPacienteComoUnaConsultaIndependiente) {
    const struct {
        const char* json;
        const char* donde;
        int particion;
    } casos[] = {
        {"[]", "1 = 1", 1},
        {"[]", "1 = 1", 2},
        // A sales-document condition narrows the orders that make the debt.
        {R"([{"Id": 551, "Condicion": "Mayor que...", "Condicion1": "01/02/2025"}])",
         "CAST(M.FECHA AS DATE) > '2025-02-01'", 1},
        {R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "zzenc"}])",
         "P.APELLIDOS STARTING WITH 'ZZENC'", 1},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.json);
        const QHash<int, Deuda> esperado = deudas(QLatin1String(c.donde), c.particion);
        ASSERT_FALSE(esperado.isEmpty()) << "the case must list someone";
        auto l = listado(QString::fromUtf8(c.json), QString::number(c.particion));
        ASSERT_EQ(l->dm->GenerarSQL(18, 0, true), quill::kListadoCorrecto)
            << qPrintable(l->dm->ErrorSQL() + "\n" + l->dm->SentenciaSQL());
        comparar(deudasDe(*l->dm->memEncargosPendientes), esperado);
        ASSERT_EQ(l->dm->GenerarSQLConteo(true), quill::kListadoCorrecto);
        EXPECT_EQ(l->dm->ContarPacientes(), double(esperado.size()));
    }
    // The known patients: two orders of 100 paid 30 and 50 owe 120; sales and deleted orders
    // owe nothing; a paid-up patient stays; deleted patients and other partitions never show.
    auto l = listado("[]");
    ASSERT_EQ(l->dm->GenerarSQL(3, 1, true), quill::kListadoCorrecto);
    const QHash<int, Deuda> d = deudasDe(*l->dm->memEncargosPendientes);
    EXPECT_EQ(d.value(kDosEncargos).m1, 12000);
    EXPECT_EQ(d.value(kDosEncargos).m2, 6000);
    EXPECT_EQ(d.value(kCincuenta).m1, 5000);
    ASSERT_TRUE(d.contains(kPagado));
    EXPECT_EQ(d.value(kPagado).m1, 0);
    EXPECT_FALSE(d.contains(kBorrado));
    EXPECT_FALSE(d.contains(kOtraParticion));
    // The patient columns and the locality texts are filled.
    quill::MemTable& c = *l->dm->memEncargosPendientes;
    ASSERT_TRUE(c.locate("IdPaciente", double(kDosEncargos)));
    EXPECT_EQ(c.value("Codigo").toInt(), kDosEncargos);
    EXPECT_EQ(c.value("NombreCompleto").toString(), "ZZENC UNO, Ana");
    EXPECT_EQ(c.value("NombreEMail").toString(), "Ana ZZENC UNO");
    EXPECT_EQ(c.value("Movil").toString(), "612345678");
    EXPECT_FALSE(c.value("Localidad").toString().isEmpty());
}

// The debt condition keeps what its table says, compared to the cent with the independent
// debts; one that keeps nobody is "no records".
TEST_F(Encargos, CondicionDeDeuda) {
    const QHash<int, Deuda> todas = deudas();
    const struct {
        const char* operador;
        const char* v1;
        const char* v2;
        qint64 desde, hasta; // debts kept, in cents
    } casos[] = {
        {"Mayor que...", "50", "", 5000, INT64_MAX},   {"Menor que...", "0", "", INT64_MIN, 0},
        {"Igual a...", "120", "", 12000, 12000},       {"...Entre...", "50", "120", 5000, 12000},
        {"...Entre...", "49,99", "50,01", 4999, 5001},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.operador) + " " + c.v1);
        const QString json =
            QStringLiteral(
                R"([{"Id": 552, "Condicion": "%1", "Condicion1": "%2", "Condicion2": "%3"}])")
                .arg(QString::fromUtf8(c.operador), QLatin1String(c.v1), QLatin1String(c.v2));
        QHash<int, Deuda> esperado;
        for (auto it = todas.begin(); it != todas.end(); ++it)
            if (it->m1 >= c.desde && it->m1 <= c.hasta) esperado.insert(it.key(), *it);
        ASSERT_FALSE(esperado.isEmpty());
        auto l = listado(json);
        ASSERT_EQ(l->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
        comparar(deudasDe(*l->dm->memEncargosPendientes), esperado);
        ASSERT_EQ(l->dm->GenerarSQLConteo(true), quill::kListadoCorrecto);
        EXPECT_EQ(l->dm->ContarPacientes(), double(esperado.size()));
    }
    // "Mayor que..." 50 keeps a patient owing exactly 50.
    auto l = listado(R"([{"Id": 552, "Condicion": "Mayor que...", "Condicion1": "50"}])");
    ASSERT_EQ(l->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
    EXPECT_TRUE(deudasDe(*l->dm->memEncargosPendientes).contains(kCincuenta));
    EXPECT_FALSE(deudasDe(*l->dm->memEncargosPendientes).contains(kPagado));

    // A debt nobody owes: no records, nothing in the table, a count of none.
    auto nadie = listado(R"([{"Id": 552, "Condicion": "Igual a...", "Condicion1": "123456,78"}])");
    EXPECT_EQ(nadie->dm->GenerarSQL(0, 0, true), quill::kListadoSinRegistros);
    EXPECT_EQ(nadie->dm->memEncargosPendientes->recordCount(), 0);
    EXPECT_EQ(nadie->dm->GenerarSQLConteo(true), quill::kListadoSinRegistros);
    EXPECT_EQ(nadie->dm->ContarPacientes(), 0.0);

    // The row gone, the debt handed over earlier no longer narrows the listing.
    auto sinFila = listado("[]");
    sinFila->dm->AsignarParametros(l->condiciones.parametros);
    ASSERT_FALSE(sinFila->dm->Deuda.operador.isEmpty());
    ASSERT_EQ(sinFila->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
    EXPECT_EQ(sinFila->dm->memEncargosPendientes->recordCount(), todas.size());
}

// A condition on a table with several rows per patient repeats every order: each order counts
// once, though its rows are not adjacent. With "any", the same condition asks with EXISTS.
TEST_F(Encargos, EncargoRepetidoCuentaUnaVez) {
    const QString nota = R"({"Id": 23, "Condicion": "...Contiene...", "Condicion1": "zznota"})";
    auto l = listado("[" + nota + "]");
    ASSERT_EQ(l->dm->GenerarSQL(18, 0, true), quill::kListadoCorrecto)
        << qPrintable(l->dm->ErrorSQL());
    // The statement does list each order twice, interleaved.
    QList<int> ventas;
    {
        QSqlQuery q(base->db());
        ASSERT_TRUE(q.exec(l->dm->SentenciaSQL()));
        while (q.next())
            ventas << q.value(q.record().indexOf("ID_MVENTA")).toInt();
    }
    ASSERT_EQ(ventas.size(), 4);
    const QHash<int, Deuda> d = deudasDe(*l->dm->memEncargosPendientes);
    ASSERT_EQ(d.size(), 1);
    EXPECT_EQ(d.value(kConNotas).m1, 10000);

    auto alguna = listado(
        "[" + nota + R"(, {"Id": 1, "Condicion": "Empieza por...", "Condicion1": "zzenc u"}])");
    ASSERT_EQ(alguna->dm->GenerarSQL(18, 0, false), quill::kListadoCorrecto)
        << qPrintable(alguna->dm->ErrorSQL() + "\n" + alguna->dm->SentenciaSQL());
    EXPECT_TRUE(alguna->dm->SentenciaSQL().contains("EXISTS (SELECT 1 FROM POBSERVACIONES"));
    const QHash<int, Deuda> a = deudasDe(*alguna->dm->memEncargosPendientes);
    EXPECT_EQ(a.keys().size(), 2);
    EXPECT_EQ(a.value(kConNotas).m1, 10000);
    EXPECT_EQ(a.value(kDosEncargos).m1, 12000);
}

// The detail statement lists one patient's pending orders by date, with their payments; the
// SMS table holds the listed patients with a valid mobile.
TEST_F(Encargos, DetalleYTablaSMS) {
    auto l = listado(R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "zzenc"}])");
    ASSERT_EQ(l->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
    QSqlQuery* q = l->dm->AbrirDetalle(kDosEncargos);
    ASSERT_NE(q, nullptr) << qPrintable(l->dm->dstDetalle()->lastError().text());
    QList<std::pair<QDate, double>> filas;
    while (q->next())
        filas.append({q->value("FECHA").toDate(), q->value("COBROS_M1").toDouble()});
    const QList<std::pair<QDate, double>> esperado = {{QDate(2025, 1, 15), 50.0},
                                                      {QDate(2025, 2, 1), 30.0}};
    EXPECT_EQ(filas, esperado);
    q = l->dm->AbrirDetalle(kConNotas);
    ASSERT_NE(q, nullptr);
    int n = 0;
    while (q->next()) {
        EXPECT_TRUE(q->value("COBROS_M1").isNull()) << "no payment";
        ++n;
    }
    EXPECT_EQ(n, 2);

    l->dm->CrearTablaSMS();
    const quill::MemTable& sms = *l->dm->memSMS;
    QStringList moviles;
    for (int i = 0; i < sms.recordCount(); ++i)
        moviles << sms.valueAt(i, "Nombre").toString() + "=" +
                       sms.valueAt(i, "Telefono").toString();
    moviles.sort();
    EXPECT_EQ(moviles, QStringList({"ZZENC TRES, Ana=712345678", "ZZENC UNO, Ana=612345678"}));
}

// `listado` prints the orders statement then the detail statement, and counts patients.
TEST_F(Encargos, Listado) {
    auto dir = quilltest::scratch();
    const QString fichero = dir->filePath("c.json");
    QFile f(fichero);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"([{"Id": 552, "Condicion": "Mayor que...", "Condicion1": "50"},
                {"Id": 1, "Condicion": "Empieza por...", "Condicion1": "zzenc"}])");
    f.close();
    auto correr = [](const QStringList& args) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int estado = quill::cli::EjecutarListado(args, o, e);
        o.flush();
        e.flush();
        return std::tuple<int, QString, QString>{estado, out, err};
    };
    // The runner opens its file itself: a copy of its own, closed here.
    tiendaprueba::Tienda copia;
    ASSERT_TRUE(
        copia.crear("db_encargos_listado", filasConocidas(), tiendaprueba::plantillaGenerada)
            .isEmpty());
    copia.cerrar();
    const auto [estado, out, err] = correr({"sql", "--tipo", "encargos", "--condiciones", fichero,
                                            "--particion", "1", "--orden", "21"});
    EXPECT_EQ(estado, 0) << qPrintable(err);
    const QStringList lineas = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lineas.size(), 2) << qPrintable(out);
    EXPECT_TRUE(lineas[0].endsWith(" AND (UPPER(PACIENTE.APELLIDOS) starting with 'ZZENC') "
                                   "ORDER BY 4 ASC"))
        << qPrintable(lineas[0]);
    EXPECT_TRUE(lineas[1].endsWith(":ID_PACIENTE AND MVENTA.TIPO_OPERACION = 2 Order BY FECHA"));
    const auto [e2, conteo, err2] = correr({"conteo", "--db", copia.ruta(), "--tipo", "encargos",
                                            "--condiciones", fichero, "--particion", "1"});
    EXPECT_EQ(e2, 0) << qPrintable(err2);
    // UNO owes 120, DOS 50, CUATRO 100; TRES owes nothing.
    EXPECT_EQ(conteo.trimmed(), quill::cli::TextoConteo(3));
}

} // namespace
