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
    case 51:
    case 52:
        c.anadir("MGRADUACION");
        return c.sql((id == 51 ? "MGRADUACION.ID_DOCTOR " : "MGRADUACION.ID_AGENTE ") +
                     fragmento);
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
const std::set<std::string> kFamilias{"graduaciones", "lentillas",   "audifonos",
                                      "optometria",   "baja vision", "reposiciones",
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
}

} // namespace
