// The Replacements listing on a generated shop database with a few known fittings added: the
// rows (fitting and supplier) with their eyes against an independent query, patients of every
// partition, the known fittings row by row in supplier order, the SMS table, "any" with EXISTS,
// and `listado`.

#include "comandos.h"
#include "condiciones.h"
#include "listadojson.h"
#include "listados.h"
#include "tiendaprueba.h"

#include "platform/memtable.h"
#include "queries/tdmreposiciones.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace {

const QString kConexion = QStringLiteral("db_reposiciones");

// Known fittings, all due for replacement in 2041 (the generator's dates are years before).
const int kAmbosOjos = 9500001;      // both eyes from supplier ALFA: one row, both flags
const int kDosProveedores = 9500002; // right eye ALFA, left eye BETA: one row per supplier
const int kSinArticulo = 9500003;    // left eye only, its reference has no article
const int kSinLineas = 9500004;      // no lens lines: not listed
const int kBorrado = 9500005;        // of a deleted patient

QStringList filasConocidas() {
    QStringList s;
    s << "INSERT INTO PROVEEDOR (ID_PROVEEDOR, CODIGO, NOMBRE) VALUES (9001, 901, 'ZZPROV ALFA')"
      << "INSERT INTO PROVEEDOR (ID_PROVEEDOR, CODIGO, NOMBRE) VALUES (9002, 902, 'ZZPROV BETA')"
      << "INSERT INTO ARTICULO (REFERENCIA, DESCRIPCION, ID_PROVEEDOR) VALUES ('ZZART-A', "
         "'Lente alfa', 9001)"
      << "INSERT INTO ARTICULO (REFERENCIA, DESCRIPCION, ID_PROVEEDOR) VALUES ('ZZART-B', "
         "'Lente beta', 9002)";
    auto paciente = [&](int id, int licencia, int borrado, const char* apellidos,
                        const char* movil) {
        s << QStringLiteral("INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, "
                            "APELLIDOS, NOMBRE, NOMBRE_COMPLETO, TELEFONO_MOVIL) VALUES (%1, %1, "
                            "%2, %3, '%4', 'Eva', '%4, Eva', '%5')")
                 .arg(id)
                 .arg(licencia)
                 .arg(borrado)
                 .arg(QLatin1String(apellidos), QLatin1String(movil));
    };
    auto ficha = [&](int id, int idPaciente, const char* reposicion) {
        s << QStringLiteral("INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE, NUMERO_FICHA, "
                            "FECHA_REPOSICION, OD_RADIO_1, OD_RADIO_2, OI_RADIO_1, OI_RADIO_2, "
                            "OD_ESFERA, OI_ESFERA) VALUES (%1, %2, 1, '%3', '7.80', '8.00', "
                            "'7.90', '8.10', -1.25, -2.5)")
                 .arg(id)
                 .arg(idPaciente)
                 .arg(QLatin1String(reposicion));
    };
    int linea = 9600000;
    auto lente = [&](int idFicha, int ojo, const char* referencia, const char* descripcion) {
        s << QStringLiteral("INSERT INTO DLENTILLA (ID_DLENTILLA, ID_MLENTILLA, OJO, REFERENCIA, "
                            "DESCRIPCION, ID_TLENTILLA) VALUES (%1, %2, %3, '%4', '%5', %3)")
                 .arg(++linea)
                 .arg(idFicha)
                 .arg(ojo)
                 .arg(QLatin1String(referencia), QLatin1String(descripcion));
    };
    paciente(9000101, 1, 0, "ZZREP UNO", "612000001");
    ficha(kAmbosOjos, 9000101, "2041-03-01");
    lente(kAmbosOjos, 1, "ZZART-A", "Alfa derecha");
    lente(kAmbosOjos, 2, "ZZART-A", "Alfa izquierda");
    ficha(kSinLineas, 9000101, "2041-03-02");
    paciente(9000102, 2, 0, "ZZREP DOS", "612000002");
    ficha(kDosProveedores, 9000102, "2041-02-01");
    lente(kDosProveedores, 1, "ZZART-A", "Alfa derecha");
    lente(kDosProveedores, 2, "ZZART-B", "Beta izquierda");
    paciente(9000103, 3, 0, "ZZREP TRES", "");
    ficha(kSinArticulo, 9000103, "2041-04-01");
    lente(kSinArticulo, 2, "ZZSINART", "Sin artículo");
    paciente(9000104, 1, 1, "ZZREP BORRADO", "612000004");
    ficha(kBorrado, 9000104, "2041-04-02");
    lente(kBorrado, 1, "ZZART-A", "Alfa");
    return s;
}

const QString kCondicion2041 = QStringLiteral(
    R"([{"Id": 481, "Condicion": "...Entre...", "Condicion1": "01/01/2041", "Condicion2": "31/12/2041"}])");

// A listed row as the tests compare it.
struct Fila {
    int ficha = 0;
    QString proveedor; // supplier code, empty when the lens has no article
    bool derecho = false;
    bool izquierdo = false;
    bool operator==(const Fila&) const = default;
};

// A row as one text, for sets.
QString texto(const Fila& f) {
    return QStringLiteral("%1 [%2] %3%4")
        .arg(f.ficha)
        .arg(f.proveedor, f.derecho ? "D" : "-", f.izquierdo ? "I" : "-");
}

class Reposiciones : public ::testing::Test {
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

    using Listado = ListadoJson<TdmReposiciones>;
    static std::unique_ptr<Listado> listado(const QString& json) {
        return listadoJson<TdmReposiciones>(json, 5, kConexion);
    }

    static QList<Fila> filasDe(const quill::MemTable& t) {
        QList<Fila> r;
        for (int i = 0; i < t.recordCount(); ++i) {
            const QVariant codigo = t.valueAt(i, "CodigoProveedor");
            r.append({t.valueAt(i, "IdMLentilla").toInt(),
                      codigo.isNull() ? QString() : QString::number(codigo.toInt()),
                      t.valueAt(i, "Derecho").toBool(), t.valueAt(i, "Izquierdo").toBool()});
        }
        return r;
    }

    // The rows written independently: each fitting's lenses grouped by the supplier of their
    // article, with the eyes they hold.
    static QSet<QString> independientes(const QString& donde) {
        QSet<QString> r;
        QSqlQuery q(base->db());
        const QString sql =
            QStringLiteral("SELECT M.ID_MLENTILLA, PR.CODIGO, MAX(CASE WHEN D.OJO = 1 THEN 1 "
                           "ELSE 0 END), MAX(CASE WHEN D.OJO <> 1 THEN 1 ELSE 0 END) FROM "
                           "MLENTILLA M JOIN PACIENTE P ON P.ID_PACIENTE = M.ID_PACIENTE "
                           "JOIN DLENTILLA D ON D.ID_MLENTILLA = M.ID_MLENTILLA LEFT JOIN "
                           "ARTICULO A ON A.REFERENCIA = D.REFERENCIA LEFT JOIN PROVEEDOR PR "
                           "ON PR.ID_PROVEEDOR = A.ID_PROVEEDOR WHERE P.BORRADO = 0 AND "
                           "P.ID_PACIENTE <> 0 AND (%1) GROUP BY M.ID_MLENTILLA, PR.CODIGO")
                .arg(donde);
        EXPECT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text());
        while (q.next())
            r.insert(texto({q.value(0).toInt(),
                            q.value(1).isNull() ? QString() : QString::number(q.value(1).toInt()),
                            q.value(2).toInt() == 1, q.value(3).toInt() == 1}));
        return r;
    }

    static inline tiendaprueba::Tienda* base = nullptr;
    static inline QString error;
};

// Every fitting with lenses, one row per supplier with the eyes it holds, against the
// independent query; patients of every partition; the count is the number of rows.
TEST_F(Reposiciones, FilasComoUnaConsultaIndependiente) {
    const struct {
        const char* json;
        const char* donde;
    } casos[] = {
        {"[]", "1 = 1"},
        {R"([{"Id": 481, "Condicion": "Mayor que...", "Condicion1": "01/01/2025"}])",
         "CAST(M.FECHA_REPOSICION AS DATE) > '2025-01-01'"},
        // The lens type takes no part in this listing.
        {R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "M"},
            {"Id": 482, "Condicion": "Igual a...", "Condicion1": "x", "Condicion1Ids": "99"}])",
         "UPPER(P.APELLIDOS) STARTING WITH 'M'"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.json);
        const auto esperado = independientes(QLatin1String(c.donde));
        ASSERT_GT(esperado.size(), 4) << "the case must list generated fittings";
        auto l = listado(QString::fromUtf8(c.json));
        ASSERT_EQ(l->dm->GenerarSQL(3, 0, true), quill::kListadoCorrecto)
            << qPrintable(l->dm->ErrorSQL() + "\n" + l->dm->SentenciaSQL());
        QSet<QString> obtenido;
        const QList<Fila> filas = filasDe(*l->dm->memReposiciones);
        for (const Fila& f : filas)
            obtenido.insert(texto(f));
        EXPECT_EQ(obtenido.size(), filas.size()) << "a fitting and supplier listed twice";
        EXPECT_EQ(obtenido, esperado);
        ASSERT_EQ(l->dm->GenerarSQLConteo(true), quill::kListadoCorrecto);
        EXPECT_EQ(l->dm->ContarPacientes(), double(esperado.size()));
    }
    // Patients of every partition that has fittings with lenses.
    auto l = listado("[]");
    ASSERT_EQ(l->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
    QSet<int> codigos;
    const quill::MemTable& t = *l->dm->memReposiciones;
    for (int i = 0; i < t.recordCount(); ++i)
        codigos.insert(t.valueAt(i, "Codigo").toInt());
    QSet<int> particiones;
    QSqlQuery q(base->db());
    ASSERT_TRUE(q.exec("SELECT DISTINCT P.LICENCIA, P.CODIGO FROM PACIENTE P JOIN MLENTILLA M ON "
                       "M.ID_PACIENTE = P.ID_PACIENTE JOIN DLENTILLA D ON D.ID_MLENTILLA = "
                       "M.ID_MLENTILLA WHERE P.BORRADO = 0 AND P.ID_PACIENTE <> 0"));
    QSet<int> todas;
    while (q.next()) {
        todas.insert(q.value(0).toInt());
        if (codigos.contains(q.value(1).toInt())) particiones.insert(q.value(0).toInt());
    }
    EXPECT_GE(todas.size(), 3);
    EXPECT_EQ(particiones, todas);
}

// The known fittings: grouped by supplier (no article first), within one by replacement date;
// both eyes in one row; two suppliers in two rows, each with its eye and its article.
TEST_F(Reposiciones, FichasConocidasEnOrdenDeProveedor) {
    auto l = listado(kCondicion2041);
    ASSERT_EQ(l->dm->GenerarSQL(3, 0, true), quill::kListadoCorrecto);
    const QList<Fila> esperado = {{kSinArticulo, "", false, true},
                                  {kDosProveedores, "901", true, false},
                                  {kAmbosOjos, "901", true, true},
                                  {kDosProveedores, "902", false, true}};
    EXPECT_EQ(filasDe(*l->dm->memReposiciones), esperado);
    quill::MemTable& t = *l->dm->memReposiciones;
    t.moveTo(2);
    EXPECT_EQ(t.asString("NombreProveedor"), "ZZPROV ALFA");
    EXPECT_EQ(t.asString("NombrePaciente"), "ZZREP UNO, Eva");
    EXPECT_EQ(t.value("Fecha").toDate(), QDate(2041, 3, 1));
    EXPECT_EQ(t.asString("ArticuloOD"), "Alfa derecha");
    EXPECT_EQ(t.asString("ArticuloOI"), "Alfa izquierda");
    EXPECT_EQ(t.asString("ODRadio"), "7.80 8.00");
    EXPECT_EQ(t.asString("OIRadio"), "7.90 8.10");
    EXPECT_EQ(t.asDouble("ODEsfera"), -1.25);
    EXPECT_EQ(t.asDouble("OIEsfera"), -2.5);
    EXPECT_EQ(t.asDouble("IdTLentillaOD"), 1);
    EXPECT_EQ(t.asDouble("IdTLentillaOI"), 2);
    EXPECT_EQ(t.asString("Movil"), "612000001");
    EXPECT_FALSE(t.asString("Localidad").isEmpty());
    t.moveTo(3);
    EXPECT_EQ(t.asString("ArticuloOI"), "Beta izquierda");
    EXPECT_TRUE(t.asString("ArticuloOD").isEmpty());
    EXPECT_TRUE(t.isNull("ODRadio")) << "the other supplier's eye stays empty";

    // By supplier code, descending: BETA, ALFA (by date), then no article.
    ASSERT_EQ(l->dm->GenerarSQL(18, 1, true), quill::kListadoCorrecto);
    const QList<Fila> codigoDesc = {esperado[3], esperado[1], esperado[2], esperado[0]};
    EXPECT_EQ(filasDe(*l->dm->memReposiciones), codigoDesc);

    // One message per fitting with a valid mobile, though a fitting has two rows.
    l->dm->TablaSMS();
    const quill::MemTable& sms = *l->dm->memSMS;
    QStringList moviles;
    for (int i = 0; i < sms.recordCount(); ++i)
        moviles << sms.valueAt(i, "Nombre").toString() + "=" +
                       sms.valueAt(i, "Telefono").toString();
    moviles.sort();
    EXPECT_EQ(moviles, QStringList({"ZZREP DOS, Eva=612000002", "ZZREP UNO, Eva=612000001"}));

    // No fitting due: no records.
    auto nadie =
        listado(R"([{"Id": 481, "Condicion": "Mayor que...", "Condicion1": "01/01/2099"}])");
    EXPECT_EQ(nadie->dm->GenerarSQL(0, 0, true), quill::kListadoSinRegistros);
    EXPECT_EQ(nadie->dm->memReposiciones->recordCount(), 0);
}

// "Any" with a condition on a table of its own asks for it with EXISTS: the rows are those of
// either alternative alone.
TEST_F(Reposiciones, CualquieraConExists) {
    const QString nota = R"({"Id": 23, "Condicion": "...Contiene...", "Condicion1": "a"})";
    const QString fecha = kCondicion2041.mid(1, kCondicion2041.size() - 2);
    auto ambas = listado("[" + nota + "," + fecha + "]");
    ASSERT_EQ(ambas->dm->GenerarSQL(0, 0, false), quill::kListadoCorrecto)
        << qPrintable(ambas->dm->ErrorSQL() + "\n" + ambas->dm->SentenciaSQL());
    ASSERT_TRUE(ambas->dm->SentenciaSQL().contains("EXISTS (SELECT 1 FROM POBSERVACIONES"));
    QSet<std::pair<int, QString>> union_, obtenido;
    for (const QString& una : {nota, fecha}) {
        auto l = listado("[" + una + "]");
        ASSERT_EQ(l->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
        for (const Fila& f : filasDe(*l->dm->memReposiciones))
            union_.insert({f.ficha, f.proveedor});
    }
    for (const Fila& f : filasDe(*ambas->dm->memReposiciones))
        obtenido.insert({f.ficha, f.proveedor});
    EXPECT_EQ(obtenido, union_);
}

// `listado` prints one statement and counts the rows (fittings split by supplier), of every
// partition whichever it is given.
TEST_F(Reposiciones, Listado) {
    auto dir = quilltest::scratch();
    const QString fichero = dir->filePath("c.json");
    QFile f(fichero);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(kCondicion2041.toUtf8());
    f.close();
    auto correr = [](const QStringList& args) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int estado = quill::cli::EjecutarListado(args, o, e);
        o.flush();
        e.flush();
        return std::tuple<int, QString, QString>{estado, out, err};
    };
    tiendaprueba::Tienda copia;
    ASSERT_TRUE(
        copia.crear("db_reposiciones_listado", filasConocidas(), tiendaprueba::plantillaGenerada)
            .isEmpty());
    copia.cerrar();
    const auto [estado, out, err] =
        correr({"sql", "--tipo", "reposiciones", "--condiciones", fichero, "--orden", "18"});
    EXPECT_EQ(estado, 0) << qPrintable(err);
    const QStringList lineas = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lineas.size(), 1) << qPrintable(out);
    EXPECT_TRUE(lineas[0].endsWith(" Order BY  22 ASC, MLENTILLA.FECHA_REPOSICION "))
        << qPrintable(lineas[0]);
    const auto [e2, conteo, err2] =
        correr({"conteo", "--db", copia.ruta(), "--tipo", "reposiciones", "--condiciones", fichero,
                "--particion", "2"});
    EXPECT_EQ(e2, 0) << qPrintable(err2);
    EXPECT_EQ(conteo.trimmed(), quill::cli::TextoConteo(4));
}

} // namespace
