// The shop database made from data/schema holds what the listings rely on: every table and
// column their fragments, joins and statements name, keys from generators, the empty-value
// conventions, the stored procedures, and statements of each listing kind running as written.

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

// Right- and left-eye (or ear) columns: prefixes + each name.
QStringList eyes(const char* right, const char* left, const char* names) {
    QStringList out;
    for (const QString& n : words(names))
        out << QString::fromLatin1(right) + n << QString::fromLatin1(left) + n;
    return out;
}

// The 66 audiogram columns: OD_/OI_ + AEREA/OSEA/UMBRAL + "_" + frequency.
QStringList audiogram() {
    QStringList out;
    for (const char* measure : {"AEREA", "OSEA", "UMBRAL"})
        for (const char* ear : {"OD", "OI"})
            for (int hz : {125, 250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000})
                out << QStringLiteral("%1_%2_%3").arg(ear, measure).arg(hz);
    return out;
}

// Retinoscopy (static, dynamic, MPMAV), subjective and binocular balance, per eye.
QStringList refraction() {
    QStringList out;
    for (const char* group : {"RET_EST", "RET_DIN", "MPMAV", "SUB", "BAL_SUB"})
        for (const char* eye : {"OD", "OI"})
            for (const char* value : {"ESFERA", "CILINDRO", "EJE", "AV"})
                out << QStringLiteral("TR_%1_%2_%3").arg(eye, group, value);
    return out;
}

struct TableColumns {
    QString table;
    QStringList columns;
};

// The contract: every table and column that a fragment, join or statement of the listings,
// their reports (company footer) and the SMS record names. Names may repeat across tables.
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
        {"MGRADUACION",
         words("ID_MGRADUACION ID_PACIENTE NUMERO_FICHA FECHA FECHA_REVISION ID_DOCTOR ID_AGENTE "
               "ID_TIENDA PROPIA_AJENA AGUDEZA_VISUAL ADICION_AMBOS_OJOS") +
             eyes("OD_", "OI_",
                  "ADICION ESFERA_CERCA ESFERA_LEJOS ESFERA_MEDIA CILINDRO EJE PRISMA "
                  "DISTANCIA_CERCA DISTANCIA_LEJOS AGUDEZA_VISUAL_SC AGUDEZA_VISUAL_CC "
                  "QUERATOMETRIA TONOMETRIA")},
        {"DGRADUACION",
         words("ID_MGRADUACION OJO FECHA_GARANTIA ALTURA TIPO_GRADUACION DESCRIPCION IMPORTE "
               "IMPORTE_M1 REFERENCIA MODELO COLOR VARILLA DIAMETRO ESFERA CILINDRO "
               "ID_TRATAMIENTO_1 ID_TRATAMIENTO_2 ID_TRATAMIENTO_3 ID_MARCA")},
        {"GOBSERVACIONES", words("ID_MGRADUACION OBSERVACIONES")},
        {"MLENTILLA",
         words("ID_MLENTILLA ID_PACIENTE NUMERO_FICHA FECHA FECHA_REVISION ID_DOCTOR ID_AGENTE "
               "ID_TIENDA PROPIA_AJENA FECHA_CADUCIDAD FECHA_REPOSICION FECHA_LIMPIEZA LIQUIDOS") +
             eyes("OD_", "OI_",
                  "ABERTURA_PARPEBRAL DIAMETRO_PUPILAR DIAMETRO_IRIS RADIO_1 RADIO_2 ESFERA "
                  "DIAMETRO ZONA_OPTICA ADICION AGUDEZA_VISUAL_CC CILINDRO EJE QUERATOMETRIA")},
        {"DLENTILLA",
         words("ID_MLENTILLA OJO ID_TLENTILLA DESCRIPCION IMPORTE_M1 FECHA_GARANTIA LOTE "
               "REFERENCIA RADIO_1 RADIO_2 COLOR DIAMETRO ESFERA")},
        {"LOBSERVACIONES", words("ID_MLENTILLA OBSERVACIONES")},
        {"MAUDIFONO",
         words("ID_MAUDIFONO ID_PACIENTE NUMERO_FICHA FECHA FECHA_REVISION FECHA_PROXIMA_REVISION "
               "FECHA_AEREA FECHA_OSEA FECHA_ADAPTACION ID_DOCTOR_EXAMINA ID_DOCTOR_ADAPTA "
               "ID_AGENTE ID_TIENDA PROPIA_AJENA OD_HAIC OI_HAIC") +
             audiogram()},
        {"DAUDIFONO",
         words("ID_MAUDIFONO OIDO GARANTIA NUMERO_SERIE MODELO PILA DESCRIPCION MOLDE IMPORTE_M1 "
               "REFERENCIA RADIO_1 RADIO_2 COLOR DIAMETRO ESFERA ID_MARCA")},
        {"AOBSERVACIONES", words("ID_MAUDIFONO OBSERVACIONES")},
        {"OPTOMETRIA",
         words("ID_PACIENTE NUMERO_FICHA ID_TIENDA QUEJA_PRINCIPAL MEDICAMENTOS ALERGIAS "
               "HISTORIAL_FAMILIA FECHA_EX_MEDICO FECHA_EX_OPTICO ID_DOCTOR_EX_MEDICO "
               "ID_DOCTOR_EX_OPTICO AV_BINOCULAR PRE_SEGUIMIENTOS PRE_SACADICOS PRE_PIRRLA "
               "PRE_TIPO_COLOR PRE_COVER_LEJOS_SC PRE_COVER_LEJOS_CC PRE_COVER_CERCA_SC "
               "PRE_COVER_CERCA_CC PRE_TIPO PRE_CC2 PRE_WORTH PRE_ESTEREOPSIS PRE_PPC "
               "PRE_MADDOX_LEJOS PRE_MADDOX_CERCA TB_VER_LEJOS_BE TB_VER_LEJOS_BI TB_VER_CERCA_BE "
               "TB_VER_CERCA_BI TB_FORIA_LEJOS_SC TB_FORIA_LEJOS_CC TB_FORIA_CERCA_SC "
               "TB_FORIA_CERCA_CC TB_GRADUACION_1 TB_FVC TB_ARN TB_ARP TB_CCF TB_CCD TB_DISP_FIJAS "
               "TB_FOR_ASOCIADAS TA_FECHA_REVISION BI_OBSERVACIONES TA_CONCLUSIONES "
               "TA_OBSERVACIONES OF_OBSERVACIONES TB_OBSERVACIONES TR_OBSERVACIONES") +
             eyes("OD_", "OI_",
                  "ESFERA_CERCA ESFERA_LEJOS ESFERA_MEDIA CILINDRO EJE PRISMA DISTANCIA_LEJOS "
                  "DISTANCIA_CERCA AGUDEZA_VISUAL_SC AGUDEZA_VISUAL_CC TONOMETRIA QUERATOMETRIA "
                  "ADICION REF_ANTERIOR REF_FINAL") +
             eyes("PRE_OD_", "PRE_OI_",
                  "CONFRONTACION COLOR ACOMODACION SC_LEJOS SC_CERCA SC_ESTENOPEICO CC_LEJOS "
                  "CC_CERCA CC_ESTENOPEICO") +
             eyes("TB_OD_", "TB_OI_", "MEM FLIPPERS") +
             eyes("BI_OD_", "BI_OI_",
                  "PESTANAS PARPADOS GL_MEIBONIO PUNCTA ESCLERA CONJUNTIVA CORNEA BUT "
                  "FLUORESCENIA CA IRIS CRISTALINO MENISCO VITREO") +
             eyes("OF_OD_", "OF_OI_",
                  "PAPILA_COLOR PAPILA_MARGEN PAPILA_EX VASOS_TIPO VASOS_ART VASOS_PULSO MAC_FIJ "
                  "PARENQUIMIA PERIFERIA") +
             eyes("TA_OD_", "TA_OI_",
                  "PIO FOTOSTRESS AMSTER DESAT_ROJO EXOFTALMOMETRO PRESION_ART D15") +
             refraction()},
        {"MOREDUCIDA",
         words("ID_MREDUCIDA ID_PACIENTE NUMERO_FICHA FECHA FECHA_REVISION ID_TIENDA")},
        {"OROBSERVACIONES", words("ID_MREDUCIDA OBSERVACIONES")},
        {"REPOSICION",
         words("ID_PACIENTE NUMERO_FICHA TIPO_REPOSICION FECHA TIPO IMPORTE_M1 OBSERVACIONES")},
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
        {"PROVEEDOR", words("ID_PROVEEDOR CODIGO NOMBRE")},
        {"DOCTOR", words("ID_DOCTOR NOMBRE APELLIDOS COLEGIADO")},
        {"AGENTE", words("ID_AGENTE NOMBRE APELLIDOS")},
        {"TIENDA", words("ID_TIENDA DESCRIPCION")},
        {"EMPRESA", words("NOMBRE NIF DIRECCION ID_LOCALIDAD TELEFONO FAX E_MAIL")},
        {"FAMILIA", words("ID_FAMILIA DESCRIPCION")},
        {"IVA", words("ID_IVA DESCRIPCION")},
        {"TRATAMIENTO", words("ID_TRATAMIENTO DESCRIPCION")},
        {"MARCA", words("ID_MARCA DESCRIPCION")},
        {"TCRISTAL", words("ID_TCRISTAL DESCRIPCION")},
        {"TLENTILLA", words("ID_TLENTILLA DESCRIPCION")},
        {"TARTICULO", words("ID_TARTICULO DESCRIPCION")},
        {"ALMACEN", words("ID_ALMACEN DESCRIPCION")},
        {"GRUPO", words("ID_GRUPO DESCRIPCION")},
        {"FORMA_PAGO", words("ID_FORMA_PAGO DESCRIPCION")},
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

// Every table has a primary key; a row inserted without one gets it from the table's generator
// (the article master alone has a text key of its own).
TEST_F(ShopSchema, EveryTableHasAPrimaryKeyFromItsGenerator) {
    const QStringList keys = rows(
        "SELECT TRIM(R.RDB$RELATION_NAME), TRIM(S.RDB$FIELD_NAME) FROM RDB$RELATIONS R "
        "LEFT JOIN RDB$RELATION_CONSTRAINTS C ON C.RDB$RELATION_NAME = R.RDB$RELATION_NAME AND "
        "C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' LEFT JOIN RDB$INDEX_SEGMENTS S ON "
        "S.RDB$INDEX_NAME = C.RDB$INDEX_NAME WHERE R.RDB$SYSTEM_FLAG = 0 AND R.RDB$VIEW_BLR IS "
        "NULL ORDER BY 1");
    ASSERT_GE(keys.size(), namedColumns().size());
    QStringList withoutGenerator;
    for (const QString& row : keys) {
        const QString table = row.section(QLatin1Char('|'), 0, 0);
        const QString key = row.section(QLatin1Char('|'), 1);
        SCOPED_TRACE(s(table));
        ASSERT_FALSE(key.isEmpty()) << "no primary key";
        if (rows("SELECT 1 FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = ?",
                 {QStringLiteral("G_") + table})
                .isEmpty()) {
            withoutGenerator << table;
            continue;
        }
        // Required columns without a default get a 1, as the parent's key or a value.
        const QStringList required = rows(
            "SELECT TRIM(R.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS R JOIN RDB$FIELDS F ON "
            "F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE WHERE R.RDB$RELATION_NAME = ? AND "
            "(R.RDB$NULL_FLAG = 1 OR F.RDB$NULL_FLAG = 1) AND R.RDB$DEFAULT_SOURCE IS NULL AND "
            "F.RDB$DEFAULT_SOURCE IS NULL AND R.RDB$FIELD_NAME != ?",
            {table, key});
        const QString insert =
            required.isEmpty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table, required.join(QLatin1Char(',')),
                           QStringList(required.size(), QStringLiteral("1")).join(','));
        const QStringList got = rows(insert + QStringLiteral(" RETURNING ") + key);
        ASSERT_EQ(got.size(), 1);
        EXPECT_GT(got.first().toInt(), 0);
        EXPECT_EQ(got, rows(QStringLiteral("SELECT GEN_ID(G_%1, 0) FROM RDB$DATABASE").arg(table)));
    }
    EXPECT_EQ(withoutGenerator, QStringList{"ARTICULO"});
    QSqlQuery q(db());
    EXPECT_FALSE(q.exec("INSERT INTO ARTICULO (REFERENCIA) VALUES (NULL)"));
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
        {"PACIENTE", "ID_PACIENTE",
         "FECHA_NACIMIENTO FECHA_PRIMERA_VISITA FECHA_ULTIMA_VISITA FECHA_CARNET", empty},
        {"PACIENTE", "ID_PACIENTE", "TELEFONO TELEFONO_MOVIL E_MAIL NIF", ""},
        {"MGRADUACION", "ID_MGRADUACION", "FECHA FECHA_REVISION", empty},
        {"MGRADUACION", "ID_MGRADUACION", "OD_EJE OD_ADICION OD_DISTANCIA_LEJOS OD_DISTANCIA_CERCA",
         "400.00"},
        {"MGRADUACION", "ID_MGRADUACION",
         "OI_EJE OI_ADICION OI_DISTANCIA_LEJOS OD_CILINDRO OI_CILINDRO OD_ESFERA_LEJOS "
         "AGUDEZA_VISUAL ADICION_AMBOS_OJOS OD_TONOMETRIA", "98.00"},
        {"MGRADUACION", "ID_MGRADUACION", "ID_DOCTOR ID_AGENTE ID_TIENDA PROPIA_AJENA", "-1"},
        {"DGRADUACION", "ID_DGRADUACION", "FECHA_GARANTIA", empty},
        {"DGRADUACION", "ID_DGRADUACION", "ID_TRATAMIENTO_1 ID_MARCA", "-1"},
        {"MLENTILLA", "ID_MLENTILLA", "OD_EJE", "400.00"},
        {"MLENTILLA", "ID_MLENTILLA", "OI_EJE OD_ESFERA OI_ZONA_OPTICA", "98.00"},
        {"MLENTILLA", "ID_MLENTILLA",
         "FECHA FECHA_REVISION FECHA_LIMPIEZA FECHA_CADUCIDAD FECHA_REPOSICION", empty},
        {"DLENTILLA", "ID_DLENTILLA", "ID_TLENTILLA", "-1"},
        {"MAUDIFONO", "ID_MAUDIFONO", "OD_AEREA_125 OI_UMBRAL_8000 OD_HAIC", "0.00"},
        {"MAUDIFONO", "ID_MAUDIFONO", "FECHA_ADAPTACION FECHA_PROXIMA_REVISION", empty},
        {"MAUDIFONO", "ID_MAUDIFONO", "ID_DOCTOR_ADAPTA ID_DOCTOR_EXAMINA PROPIA_AJENA", "-1"},
        {"DAUDIFONO", "ID_DAUDIFONO", "GARANTIA", empty},
        {"OPTOMETRIA", "ID_OPTOMETRIA", "OD_EJE OI_ADICION TR_OD_RET_EST_ESFERA", "0.00"},
        {"OPTOMETRIA", "ID_OPTOMETRIA", "FECHA_EX_MEDICO TA_FECHA_REVISION", empty},
        {"MVENTA", "ID_MVENTA", "LIQUIDO_M1 LIQUIDO_M2", "0.00"},
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

TEST_F(ShopSchema, UnqualifiedNamesOfTheListingsAreUnambiguous) {
    // Every record, line and notes table in one FROM: the patient columns that the dates and
    // warranties statements name without a table must belong to PACIENTE alone.
    const QString everyTable =
        "PACIENTE, POBSERVACIONES, MGRADUACION, DGRADUACION, GOBSERVACIONES, MLENTILLA, "
        "DLENTILLA, LOBSERVACIONES, MAUDIFONO, DAUDIFONO, AOBSERVACIONES, OPTOMETRIA, MOREDUCIDA, "
        "OROBSERVACIONES, REPOSICION, MVENTA, DVENTA, COBRO, ARTICULO, LOCALIDAD";
    QStringList statements = {
        "SELECT EXTRACT (DAY FROM FECHA_NACIMIENTO), EXTRACT (MONTH FROM FECHA_PRIMERA_VISITA), "
        "EXTRACT (DAY FROM FECHA_ULTIMA_VISITA), FECHA_CARNET FROM " +
            everyTable,
    };
    // The kind-neutral fields name FECHA, PROPIA_AJENA and FECHA_GARANTIA bare; the kind gives
    // the one record table (and its guarantee lines) they refer to.
    for (const char* table : {"MGRADUACION", "MLENTILLA", "MAUDIFONO"})
        statements << QStringLiteral("SELECT PACIENTE.ID_PACIENTE FROM PACIENTE, %1 TABLA WHERE "
                                     "PACIENTE.ID_PACIENTE = TABLA.ID_PACIENTE AND (CAST(FECHA AS "
                                     "DATE) > '01/01/2020') AND ( (PROPIA_AJENA = 1 ))")
                          .arg(table);
    statements << "SELECT OJO, FECHA_ULTIMA_VISITA, FECHA_CARNET FROM DGRADUACION INNER JOIN "
                  "MGRADUACION on MGRADUACION.ID_MGRADUACION = DGRADUACION.ID_MGRADUACION INNER "
                  "JOIN PACIENTE On (PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE) WHERE "
                  "CAST(FECHA_GARANTIA AS DATE) > '01/01/2020'"
               << "SELECT OJO, FECHA_CARNET FROM DLENTILLA INNER JOIN MLENTILLA on "
                  "MLENTILLA.ID_MLENTILLA = DLENTILLA.ID_MLENTILLA INNER JOIN PACIENTE On "
                  "(PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE) WHERE CAST(FECHA_GARANTIA AS "
                  "DATE) > '01/01/2020'"
               << "SELECT OIDO OJO, FECHA_CARNET FROM DAUDIFONO INNER JOIN MAUDIFONO on "
                  "MAUDIFONO.ID_MAUDIFONO = DAUDIFONO.ID_MAUDIFONO INNER JOIN PACIENTE On "
                  "(PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE) WHERE CAST(GARANTIA AS DATE) > "
                  "'01/01/2020'";
    for (const QString& sql : statements) {
        QSqlQuery q(db());
        EXPECT_TRUE(q.prepare(sql)) << s(sql) << "\n" << s(q.lastError().text());
    }
}

// Both procedures as the module reaches them: executed, and selected from.
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
        {999999, "1899-12-30 00:00|1899-12-30 00:00|1899-12-30 00:00|1899-12-30 00:00"},
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

    run({QString::fromUtf8("INSERT INTO TLENTILLA (ID_TLENTILLA, DESCRIPCION) VALUES (77, "
                           "'Mensual hidrogel silicona')")});
    EXPECT_EQ(rows("EXECUTE PROCEDURE BUSCAR_TLENTILLA(?)", {77}),
              QStringList{"77|Mensual hidrogel silicona"});
    EXPECT_EQ(rows("EXECUTE PROCEDURE BUSCAR_TLENTILLA(?)", {78}), QStringList{"0|"});
}

TEST_F(ShopSchema, SmsKeysComeBackToTheConnectionThatInserted) {
    const QString other = QStringLiteral("esquema-otra");
    ASSERT_EQ(s(openDatabase(other, {s_tienda->ruta()})), "");
    auto lastKey = [](QSqlDatabase& db, const char* procedure) {
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral("EXECUTE PROCEDURE %1").arg(procedure)))
            << s(q.lastError().text());
        return q.next() ? q.record().value("id").toInt() : -99;
    };
    auto insertMaster = [](QSqlDatabase& db, const QString& text) {
        QSqlQuery q(db);
        EXPECT_TRUE(q.prepare("insert into sms_maestro (id_mensaje, id_operacion, "
                              "tipo_operacion, de, mensaje, fecha, estado, proveedor) values "
                              "(:id_mensaje, :id_operacion, :tipo_operacion, :de, :mensaje, "
                              ":fecha, :estado, :proveedor)"));
        q.bindValue(":id_mensaje", 123);
        q.bindValue(":id_operacion", -1);
        q.bindValue(":tipo_operacion", 0);
        q.bindValue(":de", QString::fromUtf8("Óptica Sol"));
        q.bindValue(":mensaje", text);
        q.bindValue(":fecha", QDateTime(QDate(2024, 3, 1), QTime(9, 30)));
        q.bindValue(":estado", 1);
        q.bindValue(":proveedor", 0);
        EXPECT_TRUE(q.exec()) << s(q.lastError().text());
    };
    {
        QSqlDatabase second = QSqlDatabase::database(other, false);
        QSqlDatabase first = db();
        EXPECT_EQ(lastKey(second, "ID_SMS_MAESTRO"), -1); // nothing inserted here yet

        insertMaster(first, QString::fromUtf8("Su revisión anual: llámenos"));
        const int firstKey = lastKey(first, "ID_SMS_MAESTRO");
        insertMaster(second, "Otro envio");
        const int secondKey = lastKey(second, "ID_SMS_MAESTRO");
        EXPECT_NE(firstKey, secondKey);
        EXPECT_EQ(lastKey(first, "ID_SMS_MAESTRO"), firstKey); // not moved by the other insert
        EXPECT_EQ(rows("SELECT mensaje, de, estado FROM sms_maestro WHERE id = ?", {firstKey}),
                  QStringList{QString::fromUtf8("Su revisión anual: llámenos|Óptica Sol|1")});

        QSqlQuery q(first);
        ASSERT_TRUE(q.prepare("insert into sms_detalle (id_sms_maestro, id_sms, estado, prefijo, "
                              "telefono) values (:id_sms_maestro, :id_sms, :estado, :prefijo, "
                              ":telefono)"));
        q.bindValue(":id_sms_maestro", firstKey);
        q.bindValue(":id_sms", -1);
        q.bindValue(":estado", 1);
        q.bindValue(":prefijo", 34);
        q.bindValue(":telefono", "612345678");
        ASSERT_TRUE(q.exec()) << s(q.lastError().text());
        const int detailKey = lastKey(first, "ID_SMS_DETALLE");
        EXPECT_EQ(
            rows("SELECT id_sms_maestro, telefono FROM sms_detalle WHERE id = ?", {detailKey}),
            QStringList{QString("%1|612345678").arg(firstKey)});
    }
    closeDatabase(other);
}

// One statement of each listing kind as its module writes it, over one patient with records of
// every family, a deleted patient and a patient of another partition: neither of those two may
// appear.
TEST_F(ShopSchema, StatementsOfEveryListingKindRun) {
    run({"INSERT INTO PROVINCIA (ID_PROVINCIA, DESCRIPCION) VALUES (5000, 'Soria')",
         "INSERT INTO LOCALIDAD (ID_LOCALIDAD, DESCRIPCION, CODIGO_POSTAL, ID_PROVINCIA) VALUES "
         "(5000, 'Soria', 42001, 5000)",
         "INSERT INTO PROVEEDOR (ID_PROVEEDOR, CODIGO, NOMBRE) VALUES (5000, 12, 'Lentes SA')",
         "INSERT INTO ARTICULO (REFERENCIA, DESCRIPCION, ID_PROVEEDOR) VALUES ('LC-1', "
         "'Mensual', 5000)",
         "INSERT INTO DOCTOR (ID_DOCTOR, NOMBRE, APELLIDOS, COLEGIADO) VALUES (5000, 'Ana', "
         "'Gil', '1234')",
         "INSERT INTO AGENTE (ID_AGENTE, NOMBRE, APELLIDOS) VALUES (5000, 'Luis', 'Mora')",
         "INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, APELLIDOS, NOMBRE, NOMBRE_COMPLETO, "
         "ID_LOCALIDAD, TELEFONO_MOVIL, LICENCIA, BORRADO, FECHA_NACIMIENTO) VALUES (5001, 51, "
         "'Sanz', 'Eva', 'Eva Sanz', 5000, '612 345 678', 1, 0, '1980-04-12')",
         "INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, APELLIDOS, LICENCIA, BORRADO) VALUES (5002, "
         "52, 'Borrado', 1, 1)",
         "INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, APELLIDOS, LICENCIA, BORRADO) VALUES (5003, "
         "53, 'Otra licencia', 2, 0)",
         "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, NUMERO_FICHA, FECHA, ID_DOCTOR, "
         "ID_AGENTE, OD_CILINDRO) VALUES (5001, 5001, 1, '2023-05-01', 5000, 5000, -1.25)",
         "INSERT INTO DGRADUACION (ID_MGRADUACION, OJO, FECHA_GARANTIA) VALUES (5001, 1, "
         "'2025-05-01')",
         "INSERT INTO DGRADUACION (ID_MGRADUACION, OJO, FECHA_GARANTIA) VALUES (5001, 2, "
         "'2025-05-01')",
         "INSERT INTO DGRADUACION (ID_MGRADUACION, OJO, FECHA_GARANTIA) VALUES (5001, 3, "
         "'2025-05-01')",
         "INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE, NUMERO_FICHA, FECHA, "
         "FECHA_REPOSICION, FECHA_LIMPIEZA) VALUES (5001, 5001, 1, '2023-06-01', '2023-12-01', "
         "'2023-09-01')",
         "INSERT INTO DLENTILLA (ID_MLENTILLA, OJO, REFERENCIA, FECHA_GARANTIA) VALUES (5001, 1, "
         "'LC-1', '2024-06-01')",
         "INSERT INTO DLENTILLA (ID_MLENTILLA, OJO, REFERENCIA, FECHA_GARANTIA) VALUES (5001, 2, "
         "'LC-1', '2024-06-01')",
         "INSERT INTO MAUDIFONO (ID_MAUDIFONO, ID_PACIENTE, NUMERO_FICHA, FECHA_ADAPTACION, "
         "ID_DOCTOR_ADAPTA, OD_AEREA_125) VALUES (5001, 5001, 1, '2023-07-01', 5000, 45)",
         "INSERT INTO DAUDIFONO (ID_MAUDIFONO, OIDO, GARANTIA) VALUES (5001, 1, '2026-07-01')",
         "INSERT INTO DAUDIFONO (ID_MAUDIFONO, OIDO, GARANTIA) VALUES (5001, 2, '2026-07-01')",
         "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, N_TALON, FECHA, TIPO_OPERACION, "
         "LIQUIDO_M1, LIQUIDO_M2) VALUES (5001, 5001, 1, '2023-05-01', 2, 100, 16638)",
         "INSERT INTO MVENTA (ID_MVENTA, ID_PACIENTE, N_TALON, FECHA, TIPO_OPERACION, "
         "LIQUIDO_M1, LIQUIDO_M2) VALUES (5002, 5001, 2, '2023-06-01', 0, 250, 41596)",
         "INSERT INTO COBRO (ID_MVENTA, IMPORTE_M1, IMPORTE_M2) VALUES (5001, 30, 4991)",
         "INSERT INTO COBRO (ID_MVENTA, IMPORTE_M1, IMPORTE_M2) VALUES (5001, 50, 8319)"});

    const QString patientColumns =
        "PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.VIENE_POR, PACIENTE.SEXO, "
        "CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, "
        "CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
        "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, "
        "CAST(PACIENTE.FECHA_CARNET AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, "
        "PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.E_MAIL, PACIENTE.WEB, PACIENTE.FOTOGRAFIA, "
        "PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, PACIENTE.TELEFONO, "
        "PACIENTE.TOTAL_COMPRADO_M2,  PACIENTE.TIENDA, ";
    const QString groupBy =
        "GROUP BY PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOs, PACIENTE.NOMBRE, "
        "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, "
        "PACIENTE.VIENE_POR, PACIENTE.SEXO, CAST(PACIENTE.FECHA_NACIMIENTO AS DATE), "
        "CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE), CAST(PACIENTE.FECHA_ULTIMA_VISITA AS "
        "DATE), CAST(PACIENTE.FECHA_CARNET AS DATE), PACIENTE.ULTIMO_DESCUENTO, "
        "PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.E_MAIL, PACIENTE.WEB, PACIENTE.FOTOGRAFIA, "
        "PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, PACIENTE.NIF, PACIENTE.CORREO, "
        "PACIENTE.PROFESION, PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, PACIENTE.FOTOGRAFIA ";
    const QString partition = " Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND "
                              "PACIENTE.LICENCIA = 1  AND (PACIENTE.ID_PACIENTE BETWEEN 5000 AND "
                              "5999)";
    auto warrantyMember = [](const char* head, const char* from, const char* date) {
        return QString::fromLatin1(head) +
               "PACIENTE.DIRECCION, PACIENTE.TELEFONO, PACIENTE.TELEFONO_MOVIL, PACIENTE.E_MAIL, "
               "PACIENTE.ID_LOCALIDAD, PACIENTE.NOMBRE, PACIENTE.APELLIDOS, PACIENTE.VIENE_POR, "
               "PACIENTE.NIF, PACIENTE.SEXO, PACIENTE.FECHA_NACIMIENTO, "
               "PACIENTE.FECHA_PRIMERA_VISITA, FECHA_ULTIMA_VISITA, FECHA_CARNET, "
               "PACIENTE.ULTIMO_DESCUENTO, PACIENTE.CORREO, PACIENTE.TOTAL_COMPRADO_M1, "
               "PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, PACIENTE.FOTOGRAFIA, PACIENTE.WEB " +
               from +
               "INNER JOIN PACIENTE On (PACIENTE.ID_PACIENTE = TABLA_ID_PACIENTE AND "
               "PACIENTE.BORRADO = 0 AND PACIENTE.LICENCIA = 1 AND PACIENTE.ID_PACIENTE BETWEEN "
               "5000 AND 5999) WHERE CAST(" +
               date + " AS DATE) > '01/01/2024'";
    };
    QStringList audiogramColumns;
    for (const QString& c : audiogram())
        audiogramColumns << "TABLA." + c;

    const struct {
        const char* kind;
        QString sql;
        QStringList expected; // first column of each row; empty = only that it runs
        int rowCount;
    // clang-format off
    } cases[] = {
        {"general", "SELECT DISTINCT(PACIENTE.ID_PACIENTE), PACIENTE.CODIGO, PACIENTE.APELLIDOS, "
         "PACIENTE.NOMBRE, PACIENTE.NOMBRE_COMPLETO, " + patientColumns +
         "PACIENTE.ID_LOCALIDAD , PACIENTE.ID_LOCALIDAD, PACIENTE.ID_LOCALIDAD  FROM " "PACIENTE " +
         partition + " Order BY 3 ASC", {"5001"}, 1},
        {"general, latest prescription only",
         "SELECT DISTINCT(PACIENTE.ID_PACIENTE), PACIENTE.CODIGO, PACIENTE.APELLIDOS, "
         "PACIENTE.NOMBRE, PACIENTE.NOMBRE_COMPLETO, " + patientColumns +
         "PACIENTE.ID_LOCALIDAD , PACIENTE.ID_LOCALIDAD, PACIENTE.ID_LOCALIDAD , "
         "MGRADUACION.NUMERO_FICHA, COUNT(DISTINCT(MG.NUMERO_FICHA))  FROM PACIENTE , "
         "MGRADUACION, MGRADUACION MG " + partition +
         " AND (PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND MGRADUACION.OD_CILINDRO "
         "< -1 AND MGRADUACION.OD_CILINDRO != 98) AND MG.ID_PACIENTE = " "PACIENTE.ID_PACIENTE " +
         groupBy + ", MGRADUACION.NUMERO_FICHA HAVING  MGRADUACION.NUMERO_FICHA >= "
         "COUNT(DISTINCT(MG.NUMERO_FICHA))  Order BY 3 DesC", {"5001"}, 1},
        {"dates, lens cleaning",
         "SELECT DISTINCT(PACIENTE.ID_PACIENTE), PACIENTE.CODIGO, PACIENTE.APELLIDOS, "
         "PACIENTE.NOMBRE, PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, "
         "PACIENTE.DIRECCION, PACIENTE.ID_LOCALIDAD, EXTRACT (DAY FROM FECHA_NACIMIENTO), "
         "EXTRACT (MONTH FROM FECHA_NACIMIENTO), EXTRACT (DAY FROM FECHA_PRIMERA_VISITA), "
         "EXTRACT (MONTH FROM FECHA_PRIMERA_VISITA), EXTRACT (DAY FROM FECHA_ULTIMA_VISITA), "
         "EXTRACT (MONTH FROM FECHA_ULTIMA_VISITA), PACIENTE.VIENE_POR, PACIENTE.SEXO, CAST "
         "(PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO , CAST(MLENTILLA.FECHA_LIMPIEZA "
         "AS DATE) FECHA_LIMPIEZA FROM PACIENTE, MLENTILLA Where PACIENTE.BORRADO = 0 AND "
         "PACIENTE.ID_PACIENTE != 0  AND (PACIENTE.ID_PACIENTE BETWEEN 5000 AND 5999) AND "
         "(PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND CAST(MLENTILLA.FECHA_LIMPIEZA AS "
         "DATE) != '12/30/1899' AND CAST(MLENTILLA.FECHA_LIMPIEZA AS DATE) > '01/01/2023') "
         "ORDER BY 9, 10 ASC", {"5001"}, 1},
        {"consumption, total",
         "SELECT MVENTA.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
         "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, "
         "PACIENTE.ID_LOCALIDAD, SUM(MVENTA.LIQUIDO_M1), SUM(MVENTA.LIQUIDO_M2), "
         "COUNT(MVENTA.N_TALON) NOPERACIONES  FROM PACIENTE, MVENTA  Where PACIENTE.BORRADO = 0 "
         "AND PACIENTE.ID_PACIENTE != 0 AND PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND "
         "(MVENTA.TIPO_OPERACION = 0 Or MVENTA.TIPO_OPERACION = 1)  AND (PACIENTE.ID_PACIENTE "
         "BETWEEN 5000 AND 5999) GROUP BY MVENTA.ID_PACIENTE, PACIENTE.CODIGO, "
         "PACIENTE.APELLIDOS, PACIENTE.NOMBRE, PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, "
         "PACIENTE.DIRECCION, PACIENTE.ID_LOCALIDAD HAVING SUM(MVENTA.LIQUIDO_M1)  > 200 ORDER "
         "BY 9 DesC", {"5001"}, 1},
        {"pending orders",
         "SELECT PACIENTE.ID_PACIENTE, MVENTA.LIQUIDO_M1 - (Select SUM(COBRO.IMPORTE_M1) from "
         "COBRO where COBRO.ID_MVENTA = MVENTA.ID_MVENTA), PACIENTE.CODIGO, "
         "PACIENTE.NOMBRE_COMPLETO, MVENTA.ID_MVENTA, MVENTA.LIQUIDO_M1, (Select "
         "SUM(COBRO.IMPORTE_M1) from COBRO where COBRO.ID_MVENTA = MVENTA.ID_MVENTA) COBROS_M1, "
         "MVENTA.LIQUIDO_M2, (Select SUM(COBRO.IMPORTE_M2) from COBRO where COBRO.ID_MVENTA = "
         "MVENTA.ID_MVENTA) COBROS_M2  FROM PACIENTE, MVENTA " + partition +
         " AND PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND MVENTA.TIPO_OPERACION = 2  "
         "Order BY 3 ASC", {"5001|20"}, 1},
        {"warranties",
         warrantyMember("Select 1, OJO, MGRADUACION.ID_MGRADUACION IDCABECERA, "
                        "DGRADUACION.FECHA_GARANTIA GARANTIA, MGRADUACION.ID_PACIENTE IDPACIENTE, "
                        "PACIENTE.CODIGO, PACIENTE.NOMBRE_COMPLETO, ",
                        "From DGRADUACION INNER JOIN MGRADUACION on MGRADUACION.ID_MGRADUACION = "
                        "DGRADUACION.ID_MGRADUACION ",
                        "FECHA_GARANTIA")
                 .replace("TABLA_ID_PACIENTE", "MGRADUACION.ID_PACIENTE") +
             " UNION " +
             warrantyMember("Select 2, OJO, MLENTILLA.ID_MLENTILLA IDCABECERA, "
                            "DLENTILLA.FECHA_GARANTIA GARANTIA, MLENTILLA.ID_PACIENTE IDPACIENTE, "
                            "PACIENTE.CODIGO, PACIENTE.NOMBRE_COMPLETO, ",
                            "From DLENTILLA INNER JOIN MLENTILLA on MLENTILLA.ID_MLENTILLA = "
                            "DLENTILLA.ID_MLENTILLA ",
                            "FECHA_GARANTIA")
                 .replace("TABLA_ID_PACIENTE", "MLENTILLA.ID_PACIENTE") +
             " UNION " +
             warrantyMember("Select 3, OIDO OJO, MAUDIFONO.ID_MAUDIFONO IDCABECERA, "
                            "DAUDIFONO.GARANTIA GARANTIA, MAUDIFONO.ID_PACIENTE IDPACIENTE, "
                            "PACIENTE.CODIGO, PACIENTE.NOMBRE_COMPLETO, ",
                            "From DAUDIFONO INNER JOIN MAUDIFONO on MAUDIFONO.ID_MAUDIFONO = "
                            "DAUDIFONO.ID_MAUDIFONO ",
                            "GARANTIA")
                 .replace("TABLA_ID_PACIENTE", "MAUDIFONO.ID_PACIENTE") +
             " ORDER BY 6 ,3 ,4 ,2 ",
         // Same patient and record keys: ordered by guarantee date, then eye.
         {"2|1", "2|2", "1|1", "1|2", "1|3", "3|1", "3|2"},
         7},
        {"replacements", "SELECT PACIENTE.ID_PACIENTE, DLENTILLA.OJO, PACIENTE.NOMBRE_COMPLETO, "
         "CAST(MLENTILLA.FECHA_REPOSICION AS DATE) FECHA_REPOSICION, MLENTILLA.OD_RADIO_1, "
         "MLENTILLA.OD_RADIO_2, MLENTILLA.OI_RADIO_1, MLENTILLA.OI_RADIO_2, MLENTILLA.OD_ESFERA, "
         "MLENTILLA.OI_ESFERA, MLENTILLA.OD_CILINDRO, MLENTILLA.OI_CILINDRO,MLENTILLA.OD_EJE, "
         "MLENTILLA.OI_EJE, MLENTILLA.OD_DIAMETRO, MLENTILLA.OI_DIAMETRO, "
         "DLENTILLA.ID_TLENTILLA, DLENTILLA.REFERENCIA, DLENTILLA.DESCRIPCION, (Select "
         "PROVEEDOR.NOMBRE from PROVEEDOR, ARTICULO where PROVEEDOR.ID_PROVEEDOR = "
         "ARTICULO.ID_PROVEEDOR AND ARTICULO.REFERENCIA = DLENTILLA.REFERENCIA) "
         "NOMBRE_PROVEEDOR, (select PROVEEDOR.CODIGO from PROVEEDOR, ARTICULO where "
         "PROVEEDOR.ID_PROVEEDOR = ARTICULO.ID_PROVEEDOR AND ARTICULO.REFERENCIA = "
         "DLENTILLA.REFERENCIA) CODIGO_PROVEEDOR, MLENTILLA.NUMERO_FICHA, "
         "MLENTILLA.ID_MLENTILLA  FROM PACIENTE, MLENTILLA, DLENTILLA Where PACIENTE.BORRADO = 0 "
         "AND PACIENTE.ID_PACIENTE != 0 AND PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND "
         "MLENTILLA.ID_MLENTILLA = DLENTILLA.ID_MLENTILLA  AND (PACIENTE.ID_PACIENTE BETWEEN "
         "5000 AND 5999) Order BY 20 ASC, MLENTILLA.FECHA_REPOSICION , DLENTILLA.OJO", {"5001|1",
         "5001|2"}, 2},
        {"prescriptions, contact lenses",
         "SELECT PACIENTE.ID_PACIENTE, PACIENTE.APELLIDOS, PACIENTE.CODIGO, PACIENTE.NOMBRE, "
         "PACIENTE.NOMBRE_COMPLETO, TABLA.FECHA, PACIENTE.TELEFONO, PACIENTE.ID_LOCALIDAD, "
         "TABLA.OD_ESFERA, TABLA.OD_CILINDRO, TABLA.OD_EJE, TABLA.OD_RADIO_1, TABLA.OD_RADIO_2, "
         "TABLA.OD_DIAMETRO, TABLA.OD_ZONA_OPTICA, TABLA.OD_AGUDEZA_VISUAL_CC, TABLA.OI_ESFERA, "
         "TABLA.OI_CILINDRO, TABLA.OI_EJE, TABLA.OI_RADIO_1, TABLA.OI_RADIO_2, "
         "TABLA.OI_DIAMETRO, TABLA.OI_ZONA_OPTICA, TABLA.OI_AGUDEZA_VISUAL_CC, (SELECT FIRST 1 "
         "DLENTILLA.ID_TLENTILLA FROM DLENTILLA WHERE DLENTILLA.ID_MLENTILLA = "
         "TABLA.ID_MLENTILLA AND DLENTILLA.OJO = 1) OD_TLENTILLA, (SELECT FIRST 1 "
         "DLENTILLA.DESCRIPCION FROM DLENTILLA WHERE DLENTILLA.ID_MLENTILLA = "
         "TABLA.ID_MLENTILLA AND DLENTILLA.OJO = 2) OI_DESCRIPCION, (SELECT FIRST 1 "
         "DLENTILLA.LOTE FROM DLENTILLA WHERE DLENTILLA.ID_MLENTILLA = TABLA.ID_MLENTILLA AND "
         "DLENTILLA.OJO = 2) OI_LOTE FROM PACIENTE, MLENTILLA TABLA WHERE PACIENTE.BORRADO = 0 "
         "AND PACIENTE.ID_PACIENTE != 0 AND PACIENTE.ID_PACIENTE = TABLA.ID_PACIENTE  AND "
         "(PACIENTE.ID_PACIENTE BETWEEN 5000 AND 5999) ORDER BY TABLA.FECHA", {"5001"}, 1},
        {"prescriptions, hearing aids",
         "SELECT PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
         "PACIENTE.NOMBRE_COMPLETO, PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, "
         "TABLA.ID_MAUDIFONO, TABLA.FECHA_ADAPTACION,  " + audiogramColumns.join(", ") +
         ", (SELECT DOCTOR.NOMBRE FROM DOCTOR WHERE DOCTOR.ID_DOCTOR = "
         "TABLA.ID_DOCTOR_ADAPTA) NOMBRE_DOCTOR FROM PACIENTE, MAUDIFONO TABLA  WHERE "
         "PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND PACIENTE.ID_PACIENTE = "
         "TABLA.ID_PACIENTE  AND (PACIENTE.ID_PACIENTE BETWEEN 5000 AND 5999) ORDER BY "
         "TABLA.FECHA", {"5001"}, 1},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const QStringList got = rows(c.sql);
        EXPECT_EQ(got.size(), c.rowCount);
        if (c.expected.isEmpty()) continue;
        QStringList heads;
        const int width = int(c.expected.first().count(QLatin1Char('|'))) + 1;
        for (const QString& row : got)
            heads << row.section(QLatin1Char('|'), 0, width - 1);
        EXPECT_EQ(heads, c.expected);
    }

    // The warranties statement's unnamed first column reads back as CONSTANT.
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec("Select 1, OJO FROM DGRADUACION WHERE ID_MGRADUACION = 5001"));
    EXPECT_EQ(q.record().fieldName(0), "CONSTANT");
}
