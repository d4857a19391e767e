// The Consumption listing on a generated shop database, against independent queries: "Total"
// and per-operation amounts list different, correct patients with their consumption and number
// of operations; the detail of a per-operation listing holds only the matching operations; the
// largest consumer comes first with order 27 descending; patients of every partition, counted by
// ID_PACIENTE; conditions on other tables do not inflate the sums; SMS table and runner.

#include "comandos.h"
#include "condiciones.h"
#include "listadojson.h"
#include "listados.h"
#include "tiendaprueba.h"

#include "platform/memtable.h"
#include "queries/tdmconsumo.h"

#include <QCollator>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlRecord>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const QString kConexion = QStringLiteral("db_consumo");

// Exact cases added to the generated shop. Two patients share a code in different partitions; a
// deleted patient and patient 0 buy more than anybody; a patient's pending and deleted orders
// never count as consumption.
const QStringList kFilas = {
    "INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, APELLIDOS, NOMBRE, "
    "NOMBRE_COMPLETO, TELEFONO_MOVIL) VALUES (900001, 77777, 1, 0, 'ZZ UNO', 'ANA', 'ANA ZZ UNO', "
    "'612345678')",
    "INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, APELLIDOS, NOMBRE, "
    "NOMBRE_COMPLETO, TELEFONO_MOVIL) VALUES (900002, 77777, 2, 0, 'ZZ DOS', 'EVA', 'EVA ZZ DOS', "
    "'712345678')",
    "INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, APELLIDOS, NOMBRE, "
    "NOMBRE_COMPLETO, TELEFONO_MOVIL) VALUES (900003, 77778, 1, 1, 'ZZ BORRADO', 'LUIS', "
    "'LUIS ZZ BORRADO', '612345670')",
    "INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, APELLIDOS, NOMBRE, "
    "NOMBRE_COMPLETO, TELEFONO_MOVIL) VALUES (900004, 77779, 3, 0, 'ZZ ENCARGOS', 'RAUL', "
    "'RAUL ZZ ENCARGOS', '6123456789')",
    "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, N_TALON, FECHA, TIPO_OPERACION, LIQUIDO_M1, "
    "LIQUIDO_M2) VALUES (990001, 900001, 990001, '2025-01-10 10:00', 0, 400, 66555)",
    "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, N_TALON, FECHA, TIPO_OPERACION, LIQUIDO_M1, "
    "LIQUIDO_M2) VALUES (990002, 900002, 990002, '2025-02-10 10:00', 1, 200, 33277)",
    "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, N_TALON, FECHA, TIPO_OPERACION, LIQUIDO_M1, "
    "LIQUIDO_M2) VALUES (990003, 900002, 990003, '2025-03-10 10:00', 0, 200, 33277)",
    "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, N_TALON, FECHA, TIPO_OPERACION, LIQUIDO_M1, "
    "LIQUIDO_M2) VALUES (990004, 900003, 990004, '2025-03-10 10:00', 0, 90000, 0)",
    "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, N_TALON, FECHA, TIPO_OPERACION, LIQUIDO_M1, "
    "LIQUIDO_M2) VALUES (990005, 0, 990005, '2025-03-10 10:00', 0, 90000, 0)",
    "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, N_TALON, FECHA, TIPO_OPERACION, LIQUIDO_M1, "
    "LIQUIDO_M2) VALUES (990006, 900004, 990006, '2025-01-05 10:00', 2, 80000, 0)",
    "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, N_TALON, FECHA, TIPO_OPERACION, LIQUIDO_M1, "
    "LIQUIDO_M2) VALUES (990007, 900004, 990007, '2025-01-06 10:00', 3, 80000, 0)",
    "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, N_TALON, FECHA, TIPO_OPERACION, LIQUIDO_M1, "
    "LIQUIDO_M2) VALUES (990008, 900004, 990008, '2025-01-07 10:00', 0, 350, 0)",
};

struct Consumo {
    double suma = 0;
    int operaciones = 0;
};

// The fixed filter of every independent query: patients not deleted, not 0, of any partition,
// with their sales and finished orders.
const QString kVentas = QStringLiteral(
    " FROM PACIENTE P JOIN MVENTA M ON M.ID_PACIENTE = P.ID_PACIENTE WHERE P.BORRADO = 0 AND "
    "P.ID_PACIENTE <> 0 AND M.TIPO_OPERACION IN (0, 1) ");

class ConsumoDb : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base = new tiendaprueba::Tienda;
        error = base->crear(kConexion, kFilas, tiendaprueba::plantillaGenerada);
    }
    static void TearDownTestSuite() {
        delete base;
        base = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(error.isEmpty()) << qPrintable(error); }

    using Listado = ListadoJson<TdmConsumo>;
    // A consumption data module over the conditions of a JSON text, built as the runner builds
    // them.
    static std::unique_ptr<Listado> listado(const QString& json) {
        return listadoJson<TdmConsumo>(json, 1, kConexion);
    }

    // ID_PACIENTE, sum and count of an independent grouped query.
    static QHash<int, Consumo> consumos(const QString& sql) {
        QHash<int, Consumo> r;
        QSqlQuery q(base->db());
        q.setForwardOnly(true);
        EXPECT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text()) << "\n" << qPrintable(sql);
        while (q.next())
            r.insert(q.value(0).toInt(), {q.value(1).toDouble(), q.value(2).toInt()});
        return r;
    }

    static QHash<int, Consumo> tabla(const quill::MemTable& t) {
        QHash<int, Consumo> r;
        for (int i = 0; i < t.recordCount(); ++i) {
            const int id = t.valueAt(i, QStringLiteral("IdPaciente")).toInt();
            EXPECT_FALSE(r.contains(id)) << "patient listed twice: " << id;
            r.insert(id, {t.valueAt(i, QStringLiteral("Consumo")).toDouble(),
                          t.valueAt(i, QStringLiteral("NOperaciones")).toInt()});
        }
        return r;
    }

    static void comparar(const QHash<int, Consumo>& obtenido, const QHash<int, Consumo>& esperado) {
        EXPECT_EQ(QSet<int>(obtenido.keyBegin(), obtenido.keyEnd()),
                  QSet<int>(esperado.keyBegin(), esperado.keyEnd()));
        for (auto it = esperado.begin(); it != esperado.end(); ++it) {
            if (!obtenido.contains(it.key())) continue;
            EXPECT_NEAR(obtenido[it.key()].suma, it->suma, 0.005) << it.key();
            EXPECT_EQ(obtenido[it.key()].operaciones, it->operaciones) << it.key();
        }
    }

    static QSet<int> particiones(const QList<int>& ids) {
        QSet<int> r;
        for (int id : ids)
            r.insert(base->valor(QStringLiteral("SELECT LICENCIA FROM PACIENTE WHERE ID_PACIENTE "
                                                "= %1")
                                     .arg(id))
                         .toInt());
        return r;
    }

    static inline tiendaprueba::Tienda* base = nullptr;
    static inline QString error;
};

const QString kTotal300 = QStringLiteral(R"([
    {"Id": 453, "Condicion": "Igual a...", "Condicion1": "Total"},
    {"Id": 452, "Condicion": "Mayor que...", "Condicion1": "300"}])");
const QString kOperacion300 = QStringLiteral(R"([
    {"Id": 453, "Condicion": "Igual a...", "Condicion1": "Individual"},
    {"Id": 452, "Condicion": "Mayor que...", "Condicion1": "300"}])");

TEST_F(ConsumoDb, TotalYPorOperacionListanConjuntosDistintosYCorrectos) {
    const QHash<int, Consumo> total =
        consumos("SELECT P.ID_PACIENTE, SUM(M.LIQUIDO_M1), COUNT(*)" + kVentas +
                 "GROUP BY P.ID_PACIENTE HAVING SUM(M.LIQUIDO_M1) > 300");
    const QHash<int, Consumo> porOperacion =
        consumos("SELECT P.ID_PACIENTE, SUM(M.LIQUIDO_M1), COUNT(*)" + kVentas +
                 "AND M.LIQUIDO_M1 > 300 GROUP BY P.ID_PACIENTE");
    ASSERT_GT(total.size(), 10);
    ASSERT_GT(porOperacion.size(), 10);
    ASSERT_NE(QSet<int>(total.keyBegin(), total.keyEnd()),
              QSet<int>(porOperacion.keyBegin(), porOperacion.keyEnd()));
    // The added cases: two small operations sum above 300; pending and deleted orders never count.
    EXPECT_TRUE(total.contains(900002) && !porOperacion.contains(900002));
    EXPECT_NEAR(porOperacion.value(900004).suma, 350, 0.005);
    for (int nunca : {0, 900003})
        EXPECT_FALSE(total.contains(nunca) || porOperacion.contains(nunca)) << nunca;

    for (const auto& [json, esperado] :
         {std::pair{kTotal300, total}, std::pair{kOperacion300, porOperacion}}) {
        SCOPED_TRACE(qPrintable(json));
        auto l = listado(json);
        TdmConsumo& dm = *l->dm;
        ASSERT_EQ(dm.GenerarSQLConsumo(18, 0, true), quill::kListadoCorrecto)
            << qPrintable(dm.ErrorSQL() + "\n" + dm.SentenciaSQL());
        dm.CrearTablaPaciente();
        comparar(tabla(*dm.memPacientes), esperado);
        EXPECT_EQ(dm.ContarPacientes(), double(esperado.size()));
        // Patients of every partition, two of them sharing a code, each counted once.
        EXPECT_GE(particiones(esperado.keys()).size(), 2);
        ASSERT_EQ(dm.GenerarSQLConteo(true), quill::kListadoCorrecto) << qPrintable(dm.ErrorSQL());
        EXPECT_EQ(dm.ContarPacientes(), double(esperado.size()));
    }
}

TEST_F(ConsumoDb, DetalleSoloConLasOperacionesQueCumplen) {
    struct Caso {
        QString json;
        QString filtro; // of the independent query, on M
    };
    const Caso casos[] = {
        {kOperacion300, "AND M.LIQUIDO_M1 > 300"},
        {QStringLiteral(R"([
            {"Id": 452, "Condicion": "...Entre...", "Condicion1": "100", "Condicion2": "200"},
            {"Id": 451, "Condicion": "Mayor que...", "Condicion1": "31/12/2024"}])"),
         "AND M.LIQUIDO_M1 BETWEEN 100 AND 200 AND CAST(M.FECHA AS DATE) > '2024-12-31'"},
        // "Total" compares the sum: the detail shows every operation.
        {kTotal300, ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(qPrintable(c.json));
        // The operations each detail must show: every type but deleted orders.
        QHash<int, QList<int>> esperado;
        {
            QSqlQuery q(base->db());
            q.setForwardOnly(true);
            ASSERT_TRUE(q.exec("SELECT M.ID_PACIENTE, M.N_TALON FROM MVENTA M WHERE "
                               "M.TIPO_OPERACION <> 3 " +
                               c.filtro + " ORDER BY M.ID_PACIENTE, M.N_TALON"))
                << qPrintable(q.lastError().text());
            while (q.next())
                esperado[q.value(0).toInt()].append(q.value(1).toInt());
        }
        auto l = listado(c.json);
        TdmConsumo& dm = *l->dm;
        ASSERT_EQ(dm.GenerarSQLConsumo(3, 0, true), quill::kListadoCorrecto)
            << qPrintable(dm.ErrorSQL());
        dm.CrearTablaPaciente();
        ASSERT_GT(dm.memPacientes->recordCount(), 0);
        int conDetalle = 0;
        for (int i = 0; i < dm.memPacientes->recordCount(); ++i) {
            const int id = dm.memPacientes->valueAt(i, QStringLiteral("IdPaciente")).toInt();
            QSqlQuery* d = dm.AbrirDetalle(id);
            ASSERT_NE(d, nullptr) << qPrintable(dm.ErrorDetalle());
            // Columns by position: the driver reads the field descriptions again for every
            // lookup by name.
            const QSqlRecord r = d->record();
            const int talon = r.indexOf(QStringLiteral("N_TALON"));
            const int tipo = r.indexOf(QStringLiteral("TIPO_OPERACION"));
            const int dia = r.indexOf(QStringLiteral("FECHA"));
            QList<int> talones;
            QDate anterior;
            while (d->next()) {
                talones.append(d->value(talon).toInt());
                EXPECT_NE(d->value(tipo).toInt(), 3);
                const QDate fecha = d->value(dia).toDate();
                EXPECT_TRUE(!anterior.isValid() || anterior <= fecha) << id;
                anterior = fecha;
            }
            std::sort(talones.begin(), talones.end());
            EXPECT_EQ(talones, esperado.value(id)) << id;
            conDetalle += talones.isEmpty() ? 0 : 1;
        }
        EXPECT_GT(conDetalle, 0);
    }
}

TEST_F(ConsumoDb, MayorConsumidorPrimeroConOrden27) {
    const QHash<int, Consumo> todos = consumos("SELECT P.ID_PACIENTE, SUM(M.LIQUIDO_M1), COUNT(*)" +
                                               kVentas + "GROUP BY P.ID_PACIENTE");
    double mayor = 0;
    for (const Consumo& c : todos)
        mayor = std::max(mayor, c.suma);
    for (qint16 sentido : {qint16(1), qint16(0)}) {
        SCOPED_TRACE(sentido);
        auto l = listado(QStringLiteral("[]"));
        TdmConsumo& dm = *l->dm;
        ASSERT_EQ(dm.GenerarSQLConsumo(27, sentido, true), quill::kListadoCorrecto)
            << qPrintable(dm.ErrorSQL());
        QSqlQuery& q = *dm.dstListado();
        QList<double> sumas;
        QList<int> ids;
        do {
            sumas.append(q.value(26).toDouble());
            ids.append(q.value(0).toInt());
        } while (q.next());
        ASSERT_EQ(sumas.size(), todos.size());
        if (sentido == 1) {
            EXPECT_NEAR(sumas.first(), mayor, 0.005);
        }
        for (qsizetype i = 1; i < sumas.size(); ++i)
            ASSERT_TRUE(sentido == 1 ? sumas[i - 1] >= sumas[i] : sumas[i - 1] <= sumas[i]) << i;
        for (qsizetype i = 0; i < ids.size(); ++i)
            EXPECT_NEAR(sumas[i], todos.value(ids[i]).suma, 0.005) << ids[i];
    }
}

// Every shape of condition the kind offers runs, "all" and "any", in every order; and a condition
// on the sale lines asks for them without multiplying the summed operations.
TEST_F(ConsumoDb, CondicionesDeOtrasTablasNoInflanLaSuma) {
    const QStringList casos = {
        R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "G"},
            {"Id": 451, "Condicion": "Mayor que...", "Condicion1": "01/01/2024"},
            {"Id": 452, "Condicion": "Mayor que...", "Condicion1": "50"}])",
        R"([{"Id": 453, "Condicion1": "Total"},
            {"Id": 452, "Condicion": "Menor que...", "Condicion1": "500"},
            {"Id": 554, "Condicion1": "x", "Condicion1Ids": "1;2"},
            {"Id": 572, "Condicion": "...Contiene...", "Condicion1": "A"}])",
        R"([{"Id": 577, "Condicion": "Distinto de...", "Condicion1": "x", "Condicion1Ids": "1"},
            {"Id": 23, "Condicion": "...Contiene...", "Condicion1": "a"},
            {"Id": 11, "Condicion1": "Mujer", "Condicion1Ids": "2"}])",
    };
    for (const QString& json : casos)
        for (qint16 orden : {3, 18, 21, 22, 23, 24, 27})
            for (bool todas : {true, false}) {
                SCOPED_TRACE(qPrintable(json + QStringLiteral(" orden %1 ").arg(orden) +
                                        (todas ? "todas" : "cualquiera")));
                auto l = listado(json);
                const qint16 r = l->dm->GenerarSQLConsumo(orden, 1, todas);
                ASSERT_NE(r, quill::kListadoErrorInterno)
                    << qPrintable(l->dm->ErrorSQL() + "\n" + l->dm->SentenciaSQL());
            }

    // The operations with a line whose description holds an "A", summed once each.
    const QHash<int, Consumo> esperado =
        consumos("SELECT P.ID_PACIENTE, SUM(M.LIQUIDO_M1), COUNT(*)" + kVentas +
                 "AND EXISTS (SELECT 1 FROM DVENTA D WHERE D.ID_MVENTA = M.ID_MVENTA AND "
                 "UPPER(D.DESCRIPCION) CONTAINING 'A') GROUP BY P.ID_PACIENTE");
    ASSERT_GT(esperado.size(), 0);
    auto l = listado(QStringLiteral(R"([
        {"Id": 453, "Condicion1": "Total"},
        {"Id": 573, "Condicion": "...Contiene...", "Condicion1": "a"}])"));
    ASSERT_EQ(l->dm->GenerarSQLConsumo(27, 1, true), quill::kListadoCorrecto)
        << qPrintable(l->dm->ErrorSQL());
    l->dm->CrearTablaPaciente();
    comparar(tabla(*l->dm->memPacientes), esperado);
}

TEST_F(ConsumoDb, TablaSmsConSuPropioMovil) {
    auto l = listado(kTotal300);
    TdmConsumo& dm = *l->dm;
    ASSERT_EQ(dm.GenerarSQLConsumo(0, 0, true), quill::kListadoCorrecto);
    dm.CrearTablaPaciente();
    // Independently: the listed patients whose mobile is nine digits starting with 6.
    QHash<QString, QString> esperado;
    for (int i = 0; i < dm.memPacientes->recordCount(); ++i) {
        const QString movil = dm.memPacientes->valueAt(i, QStringLiteral("Movil")).toString();
        QString cifras;
        for (QChar c : movil)
            if (c.isDigit()) cifras += c;
        if (movil.size() >= 9 && movil.startsWith(QLatin1Char('6')) && cifras.size() == 9)
            esperado.insert(
                dm.memPacientes->valueAt(i, QStringLiteral("NombreCompleto")).toString(), cifras);
    }
    dm.CrearTablaSMS();
    QHash<QString, QString> sms;
    for (int i = 0; i < dm.memSMS->recordCount(); ++i)
        sms.insert(dm.memSMS->valueAt(i, QStringLiteral("Nombre")).toString(),
                   dm.memSMS->valueAt(i, QStringLiteral("Telefono")).toString());
    EXPECT_EQ(sms.size(), dm.memSMS->recordCount());
    EXPECT_EQ(sms, esperado);
    EXPECT_EQ(sms.value(QStringLiteral("ANA ZZ UNO")), QStringLiteral("612345678"));
    EXPECT_FALSE(sms.contains(QStringLiteral("EVA ZZ DOS")));       // a 7
    EXPECT_FALSE(sms.contains(QStringLiteral("RAUL ZZ ENCARGOS"))); // ten digits
}

TEST_F(ConsumoDb, SinResultado) {
    auto l = listado(QStringLiteral(R"([
        {"Id": 453, "Condicion1": "Total"},
        {"Id": 452, "Condicion": "Mayor que...", "Condicion1": "99999999"}])"));
    EXPECT_EQ(l->dm->GenerarSQLConsumo(27, 1, true), quill::kListadoSinRegistros);
    l->dm->CrearTablaPaciente();
    EXPECT_EQ(l->dm->memPacientes->recordCount(), 0);
    EXPECT_EQ(l->dm->GenerarSQLConteo(true), quill::kListadoSinRegistros);
}

// `listado conteo` and `exportar --tipo consumo`: the count and the file with the kind's columns,
// by surname whatever the order asked.
TEST_F(ConsumoDb, Runner) {
    const int esperado = base->valor("SELECT COUNT(*) FROM (SELECT P.ID_PACIENTE" + kVentas +
                                     "GROUP BY P.ID_PACIENTE HAVING SUM(M.LIQUIDO_M1) > 300)")
                             .toInt();
    ASSERT_GT(esperado, 0);
    // The runner opens its own copy of the shop: no other connection may hold the file.
    tiendaprueba::Tienda copia;
    ASSERT_EQ(
        copia.crear(QStringLiteral("db_consumo_runner"), kFilas, tiendaprueba::plantillaGenerada),
        QString());
    copia.cerrar();
    const QString cond = copia.carpeta() + QStringLiteral("/c.json");
    {
        QFile f(cond);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kTotal300.toUtf8());
    }
    auto ejecutar = [](const QStringList& args) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int estado = quill::cli::EjecutarListado(args, o, e);
        o.flush();
        e.flush();
        return std::tuple{estado, out, err};
    };
    const auto [e1, o1, m1] = ejecutar({"conteo", "--db", copia.ruta(), "--tipo", "consumo",
                                        "--condiciones", cond, "--particion", "1"});
    EXPECT_EQ(e1, 0) << qPrintable(m1);
    EXPECT_EQ(o1, quill::cli::TextoConteo(esperado) + "\n");

    const QString salida = copia.carpeta() + QStringLiteral("/consumo.txt");
    const auto [e2, o2, m2] = ejecutar({"exportar", "--db", copia.ruta(), "--tipo", "consumo",
                                        "--condiciones", cond, "--particion", "1", "--orden", "27",
                                        "--sentido", "1", "--formato", "txt", "--fichero", salida});
    EXPECT_EQ(e2, 0) << qPrintable(m2);
    EXPECT_EQ(o2, QStringLiteral("Pacientes exportados: %1\n").arg(esperado));
    QFile f(salida);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lineas =
        QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lineas.size(), esperado + 1);
    EXPECT_EQ(lineas.first(), "Codigo;Apellidos;Nombre;Direccion;Cod. Postal;Localidad;Provincia;"
                              "Teléfono;Tfno. Móvil;N.I.F;E-Mail;Consumo;Nº Operaciones");
    // By surname, not by the consumption the run was ordered on.
    QCollator orden(QLocale(QLocale::Spanish, QLocale::Spain));
    orden.setCaseSensitivity(Qt::CaseInsensitive);
    for (qsizetype i = 2; i < lineas.size(); ++i)
        EXPECT_LE(orden.compare(lineas[i - 1].section(';', 1, 1), lineas[i].section(';', 1, 1)), 0)
            << qPrintable(lineas[i - 1] + " / " + lineas[i]);
    EXPECT_EQ(lineas.filter(QStringLiteral("77777;ZZ ")).size(), 2)
        << "both patients of code 77777";

    // `sql` prints the main and the detail statement.
    const auto [e3, o3, m3] =
        ejecutar({"sql", "--tipo", "consumo", "--condiciones", cond, "--orden", "27"});
    EXPECT_EQ(e3, 0) << qPrintable(m3);
    const QStringList sentencias = o3.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(sentencias.size(), 2);
    EXPECT_TRUE(sentencias[0].endsWith("HAVING SUM(MVENTA.LIQUIDO_M1)  > 300 ORDER BY 27 ASC"));
    EXPECT_TRUE(sentencias[1].contains("MVENTA.ID_PACIENTE = :PACIENTE"));
}

} // namespace
