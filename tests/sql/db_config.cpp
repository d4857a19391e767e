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

