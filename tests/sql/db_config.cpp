#include "business/consultas.h"
#include "business/maestros.h"
#include "sql/lstconfiguracion.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

using quill::TLstConfiguracion;

namespace {

const QString kConnection = QStringLiteral("d2-configuracion");

QStringList masterRows() {
    QStringList rows = tiendaprueba::filasLocalidades();
    rows << QStringLiteral("INSERT INTO TIENDA (ID_TIENDA, DESCRIPCION) VALUES (2, 'Óptica Sol')")
         << QStringLiteral("INSERT INTO TIENDA (ID_TIENDA, DESCRIPCION) VALUES (1, 'Centro')")
         << QStringLiteral("INSERT INTO TIENDA (ID_TIENDA, DESCRIPCION) VALUES (3, 'alameda')")
         << QStringLiteral("INSERT INTO DOCTOR (ID_DOCTOR, NOMBRE, APELLIDOS) "
                           "VALUES (4, 'Ana', 'Pérez Gil')")
         << QStringLiteral("INSERT INTO DOCTOR (ID_DOCTOR, NOMBRE, APELLIDOS) "
                           "VALUES (9, 'Luis', '')")
         << QStringLiteral("INSERT INTO AGENTE (ID_AGENTE, NOMBRE, APELLIDOS) "
                           "VALUES (1, 'Marta', 'Ruiz')")
         << QStringLiteral("INSERT INTO MARCA (ID_MARCA, DESCRIPCION) VALUES (7, 'Zeiss')")
         << QStringLiteral("INSERT INTO MARCA (ID_MARCA, DESCRIPCION) VALUES (8, 'Essilor')")
         << QStringLiteral("INSERT INTO GRUPO (ID_GRUPO, DESCRIPCION) VALUES (1, 'Gafas')")
         << QStringLiteral("INSERT INTO FORMA_PAGO (ID_FORMA_PAGO, DESCRIPCION) "
                           "VALUES (1, 'Efectivo')")
         << QStringLiteral("INSERT INTO FORMA_PAGO (ID_FORMA_PAGO, DESCRIPCION) "
                           "VALUES (2, 'Tarjeta')");
    return rows;
}

class ConfiguracionDb : public tiendaprueba::SuiteTienda<ConfiguracionDb> {
public:
    static QString conexion() { return kConnection; }
    static QStringList filas() { return masterRows(); }
};

} // namespace

TEST_F(ConfiguracionDb, MasterListsInNameOrderWithTheirKeys) {
    TLstConfiguracion config(kConnection);
    struct Case {
        qint16 codigo;
        QStringList nombres;
        QStringList ids;
    };
    const Case cases[] = {
        {5, {"alameda", "Centro", "Óptica Sol"}, {"3", "1", "2"}},
        {7, {"Ana Pérez Gil", "Luis"}, {"4", "9"}},
        {8, {"Marta Ruiz"}, {"1"}},
        {22, {"Essilor", "Zeiss"}, {"8", "7"}},
        {25, {"Essilor", "Zeiss"}, {"8", "7"}},
        {32, {"Gafas"}, {"1"}},
        {33, {"Efectivo", "Tarjeta"}, {"1", "2"}},
        {12, {}, {}}, // an empty master is an empty list, not an error
        {2, {"Ávila", "Barcelona", "Madrid", "Teruel"}, {"5", "8", "28", "44"}},
        {1, {"Ávila", "Barcelona", "Madrid", "Móstoles", "Sin provincia", "Villanueva",
         "VILLANUEVA"}, {"4", "1", "3", "6", "7", "2", "5"}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(config.CargarValores(c.codigo), TLstConfiguracion::Preparado)
            << c.codigo << " " << config.Error().toStdString();
        EXPECT_EQ(config.Nombres(), c.nombres) << "lista " << c.codigo;
        EXPECT_EQ(config.Ids(), c.ids) << "lista " << c.codigo;
    }
}

// A database-backed list is read once per run: a second request, from this object or another
// one on the same connection, runs no query. Lists 22 and 25 share the brands master.
TEST_F(ConfiguracionDb, ListsAreReadOnce) {
    TLstConfiguracion config(kConnection);
    const int start = quill::masterQueryCount();
    ASSERT_EQ(config.CargarValores(5), TLstConfiguracion::Preparado);
    EXPECT_EQ(quill::masterQueryCount() - start, 1);
    ASSERT_EQ(config.CargarValores(22), TLstConfiguracion::Preparado);
    EXPECT_EQ(quill::masterQueryCount() - start, 2);
    ASSERT_EQ(config.CargarValores(1), TLstConfiguracion::Preparado);
    EXPECT_EQ(quill::masterQueryCount() - start, 4); // provinces and localities

    const int loaded = quill::masterQueryCount();
    TLstConfiguracion other(kConnection);
    for (TLstConfiguracion* c : {&config, &other})
        for (qint16 codigo : {5, 22, 25, 1, 2, 3, 30}) {
            ASSERT_EQ(c->CargarValores(codigo), TLstConfiguracion::Preparado) << codigo;
            EXPECT_FALSE(c->Nombres().isEmpty()) << codigo;
        }
    EXPECT_EQ(quill::masterQueryCount(), loaded);
}

// A master that cannot be read gives a Spanish message, an empty list, and is read again on the
// next request instead of being kept empty.
TEST_F(ConfiguracionDb, UnreadableMasterIsReportedAndRetried) {
    const quill::MaestroDef missing{
        QStringLiteral("NO_EXISTE"), QStringLiteral("ID"), {QStringLiteral("DESCRIPCION")}};
    const int start = quill::masterQueryCount();
    auto first = quill::MaestroCache::shared(kConnection, missing);
    EXPECT_FALSE(first->isLoaded());
    EXPECT_TRUE(first->items().isEmpty());
    EXPECT_TRUE(first->error().startsWith(QStringLiteral("Error al leer la tabla NO_EXISTE: ")))
        << first->error().toStdString();
    auto second = quill::MaestroCache::shared(kConnection, missing);
    EXPECT_NE(second, first);
    EXPECT_EQ(quill::masterQueryCount() - start, 2);
}

// Names that are not plain identifiers never reach the database.
TEST_F(ConfiguracionDb, MasterDefinitionsAreChecked) {
    const quill::MaestroDef hostile[] = {
        {QStringLiteral("TIENDA; DELETE FROM TIENDA"),
         QStringLiteral("ID_TIENDA"),
         {QStringLiteral("DESCRIPCION")}},
        {QStringLiteral("TIENDA"),
         QStringLiteral("ID_TIENDA"),
         {QStringLiteral("DESCRIPCION FROM TIENDA --")}},
        {QStringLiteral("TIENDA"), QStringLiteral("ID_TIENDA"), {}},
        {QStringLiteral("TIENDA"), QStringLiteral("1=1"), {QStringLiteral("DESCRIPCION")}},
    };
    const int start = quill::masterQueryCount();
    for (const quill::MaestroDef& def : hostile) {
        EXPECT_EQ(quill::MaestroCache::selectFor(def), QString());
        quill::MaestroCache cache;
        EXPECT_TRUE(cache.load(kConnection, def).startsWith(QStringLiteral("La tabla maestra")));
    }
    EXPECT_EQ(quill::masterQueryCount(), start);
    TLstConfiguracion config(kConnection);
    ASSERT_EQ(config.CargarValores(5), TLstConfiguracion::Preparado);
    EXPECT_EQ(config.Nombres().size(), 3);
}
