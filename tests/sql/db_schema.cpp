// The shop database made from data/schema holds what the listings rely on: the tables and
// columns they name, the empty-value conventions and the stored procedures.

#include "sql/database.h"
#include "tiendaprueba.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <gtest/gtest.h>

using namespace quill;

namespace {

const QString kConnection = QStringLiteral("esquema");

std::string s(const QString& text) {
    return text.toStdString();
}

QStringList words(const char* text) {
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

struct TableColumns {
    QString table;
    QStringList columns;
};

// The contract outside the record families (whose columns every catalogue entry checks in
// db_familias.cpp): the patient, the masters the value lists read, the sales tables, the company
// footer of the reports and the SMS record.
QList<TableColumns> namedColumns() {
    return {
        {"PACIENTE",
         words(
             "ID_PACIENTE CODIGO APELLIDOS NOMBRE NOMBRE_COMPLETO DIRECCION ID_LOCALIDAD "
             "TELEFONO TELEFONO_MOVIL PROFESION VIENE_POR SEXO NIF FECHA_NACIMIENTO "
             "FECHA_PRIMERA_VISITA FECHA_ULTIMA_VISITA FECHA_CARNET ULTIMO_DESCUENTO CORREO "
             "TOTAL_COMPRADO_M1 TOTAL_COMPRADO_M2 E_MAIL WEB TIENDA FOTOGRAFIA BORRADO LICENCIA")},
        {"POBSERVACIONES", words("ID_PACIENTE OBSERVACIONES")},
        {"LOCALIDAD", words("ID_LOCALIDAD ID_PROVINCIA CODIGO_POSTAL DESCRIPCION")},
        {"PROVINCIA", words("ID_PROVINCIA DESCRIPCION")},
        {"MVENTA", words("ID_MVENTA ID_PACIENTE FECHA TIPO_OPERACION ID_AGENTE ID_FORMA_PAGO "
                         "PORCENTAJE_DESCUENTO LIQUIDO_M1 LIQUIDO_M2 TERMINADO RECOGIDO N_TALON")},
        {"DVENTA",
         words("ID_MVENTA REFERENCIA DESCRIPCION PORCENTAJE_DESCUENTO ID_AGENTE_1 ID_AGENTE_2 "
               "ID_AGENTE_3 ID_ALMACEN ID_GRUPO")},
        {"COBRO", words("ID_MVENTA IMPORTE_M1 IMPORTE_M2")},
        {"ARTICULO",
         words("REFERENCIA CODIGO_BARRAS REFERENCIA_PROVEEDOR ID_FAMILIA ID_IVA_COMPRA "
               "ID_IVA_VENTA MODELO RADIO_1 RADIO_2 VARILLA ID_PROVEEDOR ID_TARTICULO CILINDRO "
               "TAMANO ID_TRATAMIENTO_1 ID_TRATAMIENTO_2 ID_TRATAMIENTO_3 ID_MARCA ID_TIPO")},
        {"DOCTOR", words("ID_DOCTOR NOMBRE APELLIDOS COLEGIADO")},
        {"EMPRESA", words("NOMBRE NIF DIRECCION ID_LOCALIDAD TELEFONO FAX E_MAIL")},
        {"FAMILIA", words("ID_FAMILIA DESCRIPCION")},
        {"ACCESO", words("ID_ACCESO ID_USUARIO VENTANA FECHA VALOR")},
        {"sms_maestro",
         words("id id_mensaje id_operacion tipo_operacion de mensaje fecha estado proveedor")},
        {"sms_detalle", words("id id_sms_maestro id_sms estado prefijo telefono")},
    };
}

class ShopSchema : public tiendaprueba::SuiteTienda<ShopSchema> {
public:
    static QString conexion() { return kConnection; }
    static QStringList filas() { return {}; }

protected:
    static QSqlDatabase db() { return QSqlDatabase::database(kConnection, false); }

    // Runs each statement; fails the test with the statement and Firebird's reason.
    static void run(const QStringList& statements) {
        QSqlQuery q(db());
        for (const QString& sql : statements)
            ASSERT_TRUE(q.exec(sql)) << s(sql) << "\n" << s(q.lastError().text());
    }

    // Rows of a query, each row's values joined by "|".
    static QStringList rows(const QString& sql, const QVariantList& binds = {}) {
        QSqlQuery q(db());
        QStringList out;
        bool ok = q.prepare(sql);
        for (const QVariant& v : binds)
            q.addBindValue(v);
        ok = ok && q.exec();
        EXPECT_TRUE(ok) << s(sql) << "\n" << s(q.lastError().text());
        while (ok && q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i) {
                const QVariant v = q.value(i);
                values << (v.typeId() == QMetaType::QDateTime
                               ? v.toDateTime().toString("yyyy-MM-dd hh:mm")
                               : v.toString());
            }
            out << values.join(QLatin1Char('|'));
        }
        return out;
    }
};

} // namespace

TEST_F(ShopSchema, EveryNamedColumnExists) {
    for (const TableColumns& t : namedColumns()) {
        const QStringList present =
            rows("SELECT TRIM(RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = ?",
                 {t.table.toUpper()});
        ASSERT_FALSE(present.isEmpty()) << "no table " << s(t.table);
        QStringList missing;
        for (const QString& column : t.columns)
            if (!present.contains(column.toUpper())) missing << column;
        EXPECT_EQ(s(missing.join(' ')), "") << "missing in " << s(t.table);
        // And the columns read back under these names in one statement.
        QSqlQuery q(db());
        const QString sql =
            QStringLiteral("SELECT FIRST 1 %1 FROM %2").arg(t.columns.join(", "), t.table);
        EXPECT_TRUE(q.exec(sql)) << s(sql) << "\n" << s(q.lastError().text());
        EXPECT_EQ(q.record().count(), t.columns.size()) << s(t.table);
    }
}

TEST_F(ShopSchema, EmptyValueConventionsAreTheDefaults) {
    run({"INSERT INTO PACIENTE (ID_PACIENTE) VALUES (1100)",
         "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE) VALUES (1100, 1100)",
         "INSERT INTO DGRADUACION (ID_DGRADUACION, ID_MGRADUACION) VALUES (1100, 1100)",
         "INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE) VALUES (1100, 1100)",
         "INSERT INTO DLENTILLA (ID_DLENTILLA, ID_MLENTILLA) VALUES (1100, 1100)",
         "INSERT INTO MAUDIFONO (ID_MAUDIFONO, ID_PACIENTE) VALUES (1100, 1100)",
         "INSERT INTO DAUDIFONO (ID_DAUDIFONO, ID_MAUDIFONO) VALUES (1100, 1100)",
         "INSERT INTO OPTOMETRIA (ID_OPTOMETRIA, ID_PACIENTE) VALUES (1100, 1100)",
         "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE) VALUES (1100, 1100)"});
    const QString empty = "1899-12-30 00:00:00.0000";
    const struct {
        const char* table;
        const char* key;
        const char* columns;
        QString expected;
    // clang-format off
    } cases[] = {
        {"PACIENTE", "ID_PACIENTE", "BORRADO SEXO CORREO ID_LOCALIDAD", "0"},
        {"PACIENTE", "ID_PACIENTE", "FECHA_NACIMIENTO FECHA_ULTIMA_VISITA FECHA_CARNET", empty},
        {"PACIENTE", "ID_PACIENTE", "TELEFONO_MOVIL E_MAIL", ""},
        {"MGRADUACION", "ID_MGRADUACION", "OD_EJE OD_ADICION OD_DISTANCIA_LEJOS", "400.00"},
        {"MGRADUACION", "ID_MGRADUACION", "OI_EJE OI_ADICION OD_CILINDRO AGUDEZA_VISUAL", "98.00"},
        {"MGRADUACION", "ID_MGRADUACION", "FECHA FECHA_REVISION", empty},
        {"MGRADUACION", "ID_MGRADUACION", "ID_DOCTOR ID_TIENDA PROPIA_AJENA", "-1"},
        {"DLENTILLA", "ID_DLENTILLA", "ID_TLENTILLA", "-1"},
        {"MLENTILLA", "ID_MLENTILLA", "OD_EJE", "400.00"},
        {"MAUDIFONO", "ID_MAUDIFONO", "OD_AEREA_125 OD_HAIC", "0.00"},
        {"MAUDIFONO", "ID_MAUDIFONO", "PROPIA_AJENA", "-1"},
        {"OPTOMETRIA", "ID_OPTOMETRIA", "OD_EJE TR_OD_RET_EST_ESFERA", "0.00"},
    };
    // clang-format on
    for (const auto& c : cases)
        for (const QString& column : words(c.columns)) {
            const QStringList got =
                rows(QStringLiteral("SELECT CAST(%1 AS VARCHAR(30)) FROM %2 WHERE %3 = 1100")
                         .arg(column, c.table, c.key));
            EXPECT_EQ(got, QStringList{c.expected}) << c.table << "." << s(column);
        }
}

// The last-record procedure as the module reaches it: executed, and selected from (the lens-type
// one is compared with its reader in db_util.cpp).
TEST_F(ShopSchema, ProceduresAnswerForEveryPatientAndType) {
    run({"INSERT INTO PACIENTE (ID_PACIENTE, NOMBRE) VALUES (2001, 'Con fichas')",
         "INSERT INTO PACIENTE (ID_PACIENTE, NOMBRE) VALUES (2002, 'Sin fichas')",
         "INSERT INTO PACIENTE (ID_PACIENTE, NOMBRE) VALUES (2003, 'Otro')",
         "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, FECHA) VALUES (2001, 2001, "
         "'2019-03-01')",
         "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, FECHA) VALUES (2002, 2001, "
         "'2022-07-15 10:30')",
         "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE) VALUES (2003, 2001)",
         "INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE, FECHA) VALUES (2001, 2001, "
         "'2021-01-10')",
         "INSERT INTO REPOSICION (ID_REPOSICION, ID_PACIENTE, FECHA) VALUES (2001, 2001, "
         "'2023-02-02')",
         "INSERT INTO REPOSICION (ID_REPOSICION, ID_PACIENTE, FECHA) VALUES (2002, 2001, "
         "'2020-02-02')",
         "INSERT INTO MAUDIFONO (ID_MAUDIFONO, ID_PACIENTE, FECHA) VALUES (2001, 2001, "
         "'2020-11-30')",
         // Later records of another patient do not count.
         "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, FECHA) VALUES (2004, 2003, "
         "'2024-01-01')",
         "INSERT INTO MAUDIFONO (ID_MAUDIFONO, ID_PACIENTE, FECHA) VALUES (2002, 2003, "
         "'2024-01-01')"});
    const struct {
        int patient;
        QString expected;
    } cases[] = {
        {2001, "2022-07-15 10:30|2021-01-10 00:00|2023-02-02 00:00|2020-11-30 00:00"},
        {2002, "1899-12-30 00:00|1899-12-30 00:00|1899-12-30 00:00|1899-12-30 00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rows("EXECUTE PROCEDURE BUSCAR_ULTIMA_FICHA(?)", {c.patient}),
                  QStringList{c.expected})
            << c.patient;
        EXPECT_EQ(rows("SELECT RES_FECHA_GRADUACION, RES_FECHA_LENTILLA, RES_FECHA_REPOSICION, "
                       "RES_FECHA_AUDIFONO FROM BUSCAR_ULTIMA_FICHA(?)",
                       {c.patient}),
                  QStringList{c.expected})
            << c.patient;
    }
}
