#include "business/consultas.h"
#include "tiendaprueba.h"
#include "sql/lstutil.h"

#include <gtest/gtest.h>

#include <QVariant>

using quill::TLstUtil;

namespace {

const QString kConnection = QStringLiteral("d2-util");

QStringList utilRows() {
    QStringList rows = tiendaprueba::filasLocalidades();
    // Patients 10 and 11 have contact-lens records; 12 only a record whose id is 0; 13 has a
    // spectacle prescription; 14 has nothing.
    rows << QStringLiteral("INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE) VALUES (1, 10)")
         << QStringLiteral("INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE) VALUES (2, 10)")
         << QStringLiteral("INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE) VALUES (3, 11)")
         << QStringLiteral("INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE) VALUES (0, 12)")
         << QStringLiteral("INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE) VALUES (5, 13)")
         << QStringLiteral("INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE) VALUES (6, 10)")
         << QStringLiteral("INSERT INTO TLENTILLA (ID_TLENTILLA, DESCRIPCION) "
                           "VALUES (1, 'Mensual esférica')")
         << QStringLiteral("INSERT INTO TLENTILLA (ID_TLENTILLA, DESCRIPCION) "
                           "VALUES (2, 'Diaria tórica')");
    return rows;
}

class UtilDb : public tiendaprueba::SuiteTienda<UtilDb> {
public:
    static QString conexion() { return kConnection; }
    static QStringList filas() { return utilRows(); }
};

} // namespace

// Locality texts of many rows cost the two reads of the locality cache, never one per row.
TEST_F(UtilDb, LocalityTextsReadTheDatabaseOnce) {
    TLstUtil util(kConnection);
    const int start = quill::masterQueryCount();
    EXPECT_EQ(util.Localidad(1), QStringLiteral("08001 - Barcelona (Barcelona)"));
    EXPECT_EQ(util.CodigoPostal(4), QStringLiteral("05001"));
    EXPECT_EQ(util.NombreProvincia(4), QStringLiteral("Ávila"));
    EXPECT_EQ(util.NombreLocalidad(6), QStringLiteral("Móstoles"));
    EXPECT_EQ(util.Localidad(7), QStringLiteral("99000 - Sin provincia ()"));
    EXPECT_EQ(util.Localidad(0), QStringLiteral("[No definida]"));
    EXPECT_EQ(util.Localidad(70), QStringLiteral("[No Definida]"));
    EXPECT_EQ(util.CodigoPostal(70), QStringLiteral("99999"));
    for (int row = 0; row < 5000; ++row)
        util.Localidad(row % 9);
    EXPECT_EQ(quill::masterQueryCount() - start, 2);

    TLstUtil another(kConnection); // shares the cache of the connection
    EXPECT_EQ(another.NombreLocalidad(2), QStringLiteral("Villanueva"));
    EXPECT_EQ(quill::masterQueryCount() - start, 2);
}

