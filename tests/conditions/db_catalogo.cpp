// The shipped catalogue against a generated shop database: every field outside the record
// families (tests/sql runs those), with every operator its type offers and a plausible value,
// is built as the window builds it and run by Firebird inside a statement shaped as the listing
// that uses the field shapes it. A missing column, a list without values in the database or
// ids that do not fit the column fail here.

#include "conditions/catalogo.h"
#include "conditions/construir.h"
#include "platform/memtable.h"
#include "sql/catalogo.h"
#include "sql/lstconfiguracion.h"
#include "sql/lstsentpaciente.h"

#include "tiendaprueba.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace quill;

namespace {

const QString kConexion = QStringLiteral("db_catalogo");

// The tables of the fields run here reach the patient, or their header, by these joins.
const std::map<QString, std::pair<QString, QString>> kUniones = {
    // table -> (table it hangs from, join)
    {"POBSERVACIONES", {"", "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE"}},
    {"MGRADUACION", {"", "PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE"}},
    {"DGRADUACION", {"MGRADUACION", "MGRADUACION.ID_MGRADUACION = DGRADUACION.ID_MGRADUACION"}},
    {"MVENTA", {"", "PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE"}},
    {"DVENTA", {"MVENTA", "MVENTA.ID_MVENTA = DVENTA.ID_MVENTA"}},
};

// FROM and WHERE of one statement being assembled.
struct Consulta {
    QStringList tablas{"PACIENTE"};
    QStringList uniones;

    void anadir(const QString& tabla) {
        if (tabla.isEmpty() || tablas.contains(tabla)) return;
        const auto it = kUniones.find(tabla);
        if (it != kUniones.end()) {
            anadir(it->second.first);
            uniones << it->second.second;
        }
        tablas << tabla;
    }
    QString sql(const QString& condicion) const {
        QString where = QStringLiteral("PACIENTE.BORRADO = 0");
        for (const QString& u : uniones)
            where += QStringLiteral(" AND ") + u;
        return QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 AND (%3)")
            .arg(tablas.join(QStringLiteral(", ")), where, condicion);
    }
};

// The statement a fragment is run in, shaped as the listing that uses the field does.
QString sentenciaDe(int id, const QString& fragmento, const QStringList& tablasAnadidas) {
    Consulta c;
    for (const QString& t : tablasAnadidas)
        c.anadir(t);
    switch (id) {
    case 433:
    case 434:
    case 435: {
        // The listing puts the record family's date column in front (spectacles here).
        const QString col = id == 433   ? "MGRADUACION.FECHA"
                            : id == 434 ? "MGRADUACION.FECHA_REVISION"
                                        : "DGRADUACION.FECHA_GARANTIA";
        c.anadir(id == 435 ? "DGRADUACION" : "MGRADUACION");
        return c.sql(
            QStringLiteral("CAST(%1 AS DATE) != '12/30/1899' AND CAST(%1 AS DATE)").arg(col) +
            fragmento);
    }
    case 452:
        // The consumption listing compares the amount of each operation, or its sum.
        return c.sql(QStringLiteral("MVENTA.LIQUIDO_M1 ") + fragmento);
    case 51:
    case 52:
        c.anadir("MGRADUACION");
        return c.sql((id == 51 ? "MGRADUACION.ID_DOCTOR " : "MGRADUACION.ID_AGENTE ") + fragmento);
    default:
        return c.sql(fragmento);
    }
}

// Fields whose fragment only runs inside the statements of the prescription and guarantee
// listings, which are not built.
const std::set<int> kSinListado = {461, 462, 464, 3000, 3002};

// A plausible value for a field, by its type; list fields take ids from the database.
struct Valor {
    QString v1, v2;
    QStringList ids;
    bool valido = true;
    QString motivo;
};

Valor valorPara(int id, int tipo, int lista, TLstConfiguracion& config,
                const QString& codigoPostal) {
    Valor v;
    switch (tipo) {
    case 0:
        if (id == 4) return {codigoPostal, codigoPostal, {}, true, {}}; // postal codes
        if (id >= 421 && id <= 432) return {"12", "15", {}, true, {}};  // day or year part
        v = {"40", "60", {}, true, {}};
        break;
    case 1:
        v = {"a", "m", {}, true, {}};
        break;
    case 2:
        v = {"01/01/2000", "31/12/2020", {}, true, {}};
        break;
    case 3:
    case 4: {
        if (config.CargarValores(static_cast<qint16>(lista)) != TLstConfiguracion::Preparado ||
            config.Ids().isEmpty()) {
            v.valido = false;
            v.motivo =
                QStringLiteral("la lista %1 no tiene valores: %2").arg(lista).arg(config.Error());
            return v;
        }
        const int n = tipo == 3 ? 1 : std::min<int>(2, int(config.Ids().size()));
        v.ids = config.Ids().mid(0, n);
        v.v1 = config.Nombres().mid(0, n).join(QStringLiteral("; "));
        break;
    }
    default:
        v.valido = false;
        v.motivo = QStringLiteral("campo de buscador");
    }
    return v;
}

class CatalogoEnBase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tienda = new tiendaprueba::Tienda;
        error = tienda->crear(kConexion, {}, tiendaprueba::plantillaGenerada);
    }
    static void TearDownTestSuite() {
        delete tienda;
        tienda = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(error.isEmpty()) << qPrintable(error); }

    static inline tiendaprueba::Tienda* tienda = nullptr;
    static inline QString error;
};

// The record families whose entries tests/sql runs.
const std::set<std::string> kFamilias{
    "graduaciones",           "lentillas", "audifonos", "optometria", "baja vision", "reposiciones",
    "reposicion de lentillas"};
TEST_F(CatalogoEnBase, EveryFragmentRunsOnTheDatabase) {
    MemTable cds;
    ASSERT_EQ(CargarCatalogo(cds, quilltest::dataDir(), -1), 0);
    TLstConfiguracion config(kConexion);
    QSqlDatabase db = QSqlDatabase::database(kConexion);
    // A postal code some locality has, so the postal-code field has localities to list.
    QString codigoPostal;
    {
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("SELECT MIN(CODIGO_POSTAL) FROM LOCALIDAD") && q.next());
        codigoPostal = q.value(0).toString();
    }

    std::set<int> conFragmento;
    QStringList fallos;
    for (int i = 0; i < cds.recordCount(); ++i) {
        const int id = cds.valueAt(i, "ID").toInt();
        const Familia* familia = CatalogoSentencias::instancia().familia(id);
        if ((familia && kFamilias.count(familia->nombre)) || kSinListado.count(id)) continue;
        const int tipo = cds.valueAt(i, "TIPOCAMPO").toInt();
        const int lista = cds.valueAt(i, "TIPOOBJETO").toInt();
        const Valor valor = valorPara(id, tipo, lista, config, codigoPostal);
        if (!valor.valido) {
            if (tipo != 5) fallos << QStringLiteral("ID %1: %2").arg(id).arg(valor.motivo);
            continue;
        }
        config.setTipoCampo(static_cast<qint16>(tipo));
        config.CargarOperadoresCampo(id, static_cast<qint16>(lista));
        const QStringList operadores = config.Operadores();
        bool alguno = false;
        // The article fields depend on the product line the article picker sets.
        const QList<qint16> lineas =
            id >= 500 && id <= 549 ? QList<qint16>{2, 3, 4} : QList<qint16>{0};
        for (const qint16 linea : lineas) {
            for (const QString& op : operadores) {
                TLstSentPaciente constructor(kConexion);
                constructor.setTipoListado(linea);
                QStringList ids = valor.ids;
                FilaCondicion fila;
                fila.id = double(id);
                fila.condicion = op;
                fila.condicion1 = valor.v1;
                if (op == QStringLiteral("...Entre...")) fila.condicion2 = valor.v2;
                const ResultadoCondicion r = ConstruirCondicion(constructor, fila, ids);
                if (r.codigo != kCondicionConstruida) {
                    fallos << QStringLiteral("ID %1 %2 '%3': rechazado (%4)")
                                  .arg(id)
                                  .arg(op, fila.condicion1, r.detalle);
                    continue;
                }
                if (!r.conSentencia || r.sentencia.isEmpty()) continue;
                alguno = true;
                const QString sql = sentenciaDe(id, r.sentencia, constructor.Tablas());
                QSqlQuery q(db);
                q.setForwardOnly(true);
                if (!q.prepare(sql) || !q.exec() || !q.next())
                    fallos << QStringLiteral("ID %1 %2 línea %3: %4\n    %5")
                                  .arg(id)
                                  .arg(op)
                                  .arg(linea)
                                  .arg(q.lastError().text(), sql);
            }
        }
        if (alguno) conFragmento.insert(id);
    }
    for (const QString& f : fallos)
        ADD_FAILURE() << qPrintable(f);

    // The patient's own fields, the date parts and the record dates always build a fragment.
    for (int id = 0; id <= 24; ++id)
        EXPECT_TRUE(conFragmento.count(id)) << id;
    for (int id = 421; id <= 435; ++id)
        EXPECT_TRUE(conFragmento.count(id)) << id;
    for (int id : {51, 52, 56})
        EXPECT_TRUE(conFragmento.count(id)) << id;
    // So do the sales fields and the article fields of every product line.
    for (int id : {451, 452, 551, 553, 554, 555, 556, 571, 572, 573, 574, 575, 576, 577, 578, 579})
        EXPECT_TRUE(conFragmento.count(id)) << id;
    for (int id = 501; id <= 523; ++id)
        EXPECT_TRUE(conFragmento.count(id)) << id;
}

// The sales fields in a statement of their own joins only, on four patients of their own:
// deleted orders never match the line fields, and an agent on a line of another patient's
// document does not make a patient match.
TEST_F(CatalogoEnBase, SalesFieldsLookOnlyAtThePatientsOwnDocuments) {
    const QString fallo = tienda->ejecutar({
        "INSERT INTO PACIENTE (ID_PACIENTE, CODIGO) VALUES (900001, 900001)",
        "INSERT INTO PACIENTE (ID_PACIENTE, CODIGO) VALUES (900002, 900002)",
        "INSERT INTO PACIENTE (ID_PACIENTE, CODIGO) VALUES (900003, 900003)",
        "INSERT INTO PACIENTE (ID_PACIENTE, CODIGO) VALUES (900004, 900004)",
        // 900001: agent 9001 only on a line; 900002: no agent at all.
        "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE) VALUES (900011, 900001)",
        "INSERT INTO DVENTA (ID_DVENTA, ID_MVENTA, ID_AGENTE_2) VALUES (900111, 900011, 9001)",
        "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE) VALUES (900012, 900002)",
        "INSERT INTO DVENTA (ID_DVENTA, ID_MVENTA) VALUES (900112, 900012)",
        // The same document as a deleted order (900003) and as a sale (900004).
        "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, FECHA, TIPO_OPERACION, ID_AGENTE, "
        "ID_FORMA_PAGO, PORCENTAJE_DESCUENTO, LIQUIDO_M1) "
        "VALUES (900013, 900003, '2031-05-05', 3, 9002, 9003, 33, 777.77)",
        "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, FECHA, TIPO_OPERACION, ID_AGENTE, "
        "ID_FORMA_PAGO, PORCENTAJE_DESCUENTO, LIQUIDO_M1) "
        "VALUES (900014, 900004, '2031-05-05', 0, 9002, 9003, 33, 777.77)",
        "INSERT INTO DVENTA (ID_DVENTA, ID_MVENTA, REFERENCIA, DESCRIPCION, "
        "PORCENTAJE_DESCUENTO, ID_GRUPO) VALUES (900113, 900013, 'ZZREF-3', 'ZZDESC', 44, 9004)",
        "INSERT INTO DVENTA (ID_DVENTA, ID_MVENTA, REFERENCIA, DESCRIPCION, "
        "PORCENTAJE_DESCUENTO, ID_GRUPO) VALUES (900114, 900014, 'ZZREF-3', 'ZZDESC', 44, 9004)",
    });
    ASSERT_TRUE(fallo.isEmpty()) << qPrintable(fallo);

    const struct {
        int id;
        const char* valor;
        QStringList ids;
        QList<int> pacientes;
    } casos[] = {
        {554, "", {"9001"}, {900001}},     {576, "", {"9001"}, {900001}},
        {571, "05/05/2031", {}, {900004}}, {572, "zzref-3", {}, {900004}},
        {573, "zzdesc", {}, {900004}},     {574, "44", {}, {900004}},
        {575, "33", {}, {900004}},         {576, "", {"9002"}, {900004}},
        {577, "", {"9004"}, {900004}},     {578, "", {"9003"}, {900004}},
        {579, "777,77", {}, {900004}},
    };
    for (const auto& k : casos) {
        TLstSentPaciente constructor(kConexion);
        QStringList ids = k.ids;
        FilaCondicion fila;
        fila.id = k.id;
        fila.condicion = QStringLiteral("Igual a...");
        fila.condicion1 = QString::fromUtf8(k.valor);
        const ResultadoCondicion r = ConstruirCondicion(constructor, fila, ids);
        ASSERT_EQ(r.codigo, kCondicionConstruida) << k.id << qPrintable(r.detalle);
        // FROM and WHERE as the General listing makes them: the fragment brings its joins.
        QStringList tablas = constructor.Tablas();
        tablas.removeAll(QStringLiteral("PACIENTE"));
        const QString sql =
            QStringLiteral("SELECT DISTINCT PACIENTE.ID_PACIENTE FROM PACIENTE, %1 WHERE "
                           "PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE > 900000 AND (%2) "
                           "ORDER BY 1")
                .arg(tablas.join(QStringLiteral(", ")), r.sentencia);
        QSqlQuery q(QSqlDatabase::database(kConexion));
        ASSERT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text() + "\n" + sql);
        QList<int> pacientes;
        while (q.next())
            pacientes << q.value(0).toInt();
        EXPECT_EQ(pacientes, k.pacientes) << k.id << " " << k.ids.join(",").toStdString();
    }
}

} // namespace
