// Statements of the Dates listing, compared as whole texts: the patient columns with the day and
// month of three dates, the date columns the conditions add (plain, grouped, and as a subselect
// for "any"), the orders by date in every form, the record-family paths with their named date
// columns, the count and the partition.

#include "conditions/construir.h"
#include "conditions/tdmlstpaciente.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/sentenciafechas.h"
#include "queries/tdmfechas.h"

#include <gtest/gtest.h>

using quill::DatosSentenciaGeneral;
using quill::FilaCondicion;
using quill::FormaSentencia;

namespace {

// The documented texts, written out here on their own so that a slip in the module shows.
const QString kSelect = QStringLiteral(
    "SELECT DISTINCT(PACIENTE.ID_PACIENTE), PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.ID_LOCALIDAD, "
    "EXTRACT (DAY FROM FECHA_NACIMIENTO), EXTRACT (MONTH FROM FECHA_NACIMIENTO), EXTRACT (DAY FROM "
    "FECHA_PRIMERA_VISITA), EXTRACT (MONTH FROM FECHA_PRIMERA_VISITA), EXTRACT (DAY FROM "
    "FECHA_ULTIMA_VISITA), EXTRACT (MONTH FROM FECHA_ULTIMA_VISITA), PACIENTE.VIENE_POR, "
    "PACIENTE.SEXO, CAST (PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, CAST "
    "(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) "
    "FECHA_PRIMERA_VISITA,CAST(PACIENTE.FECHA_ULTIMA_VISITA "
    "AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET AS DATE) FECHA_CARNET, "
    "PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.E_MAIL, PACIENTE.WEB, "
    "PACIENTE.FOTOGRAFIA, PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, PACIENTE.TELEFONO, "
    "PACIENTE.TOTAL_COMPRADO_M2,  PACIENTE.TIENDA, PACIENTE.FOTOGRAFIA ");
const QString kGroupBy = QStringLiteral(
    "GROUP BY PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOs, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.VIENE_POR, "
    "PACIENTE.SEXO, CAST (PACIENTE.FECHA_NACIMIENTO AS DATE), CAST (PACIENTE.FECHA_PRIMERA_VISITA "
    "AS DATE), CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE), CAST(PACIENTE.FECHA_CARNET AS DATE), "
    "PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.E_MAIL, PACIENTE.WEB, "
    "PACIENTE.FOTOGRAFIA, PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, PACIENTE.NIF, "
    "PACIENTE.CORREO, PACIENTE.PROFESION, PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, EXTRACT "
    "(DAY FROM FECHA_NACIMIENTO), EXTRACT (MONTH FROM FECHA_NACIMIENTO), EXTRACT (DAY FROM "
    "FECHA_PRIMERA_VISITA), EXTRACT (MONTH FROM FECHA_PRIMERA_VISITA), EXTRACT (DAY FROM "
    "FECHA_ULTIMA_VISITA), EXTRACT (MONTH FROM FECHA_ULTIMA_VISITA) ");
const QString kConteo = QStringLiteral("SELECT DISTINCT(PACIENTE.ID_PACIENTE) ID_PACIENTE ");
// Every partition on the normal path; the host's on the record-family paths.
const QString kWhere = QStringLiteral(" Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 ");
const QString kWhereParticion = QStringLiteral(
    " Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND PACIENTE.LICENCIA = 1 ");

// Fragments as the sentence builder gives them.
const QString kMesNacimiento =
    QStringLiteral(" CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) != '12/30/1899' AND (EXTRACT (MONTH "
                   "FROM PACIENTE.FECHA_NACIMIENTO)  = 6)");
const QString kDiaPrimera =
    QStringLiteral(" CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) != '12/30/1899' AND (EXTRACT "
                   "(DAY FROM PACIENTE.FECHA_PRIMERA_VISITA) = 15)");
const QString kMesUltima =
    QStringLiteral(" CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) != '12/30/1899' AND(EXTRACT "
                   "(MONTH FROM PACIENTE.FECHA_ULTIMA_VISITA) = 3)");
const QString kApellidos = QStringLiteral("UPPER(PACIENTE.APELLIDOS) starting with 'GAR'");
const QString kRevision = QStringLiteral(
    " PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND CAST(MLENTILLA.FECHA_REVISION AS DATE) != "
    "'12/30/1899' AND CAST(MLENTILLA.FECHA_REVISION AS DATE) > '01/01/2024'");
const QString kLimpieza = QStringLiteral(
    " PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND CAST(MLENTILLA.FECHA_LIMPIEZA AS DATE) != "
    "'12/30/1899' AND CAST(MLENTILLA.FECHA_LIMPIEZA AS DATE) < '01/01/2025'");
const QString kGarantiaAudifono = QStringLiteral(
    "PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND MAUDIFONO.ID_MAUDIFONO = "
    "DAUDIFONO.ID_MAUDIFONO AND CAST(DAUDIFONO.GARANTIA AS DATE) != '12/30/1899' AND "
    "CAST(DAUDIFONO.GARANTIA AS DATE) > '01/01/2024'");
const QString kBajaVision = QStringLiteral(
    "PACIENTE.ID_PACIENTE = MOREDUCIDA.ID_PACIENTE AND CAST(MOREDUCIDA.FECHA AS DATE) != "
    "'12/30/1899' AND CAST(MOREDUCIDA.FECHA AS DATE) > '01/01/2020'");
const QString kUltimaVisita =
    QStringLiteral("CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) != '12/30/1899' AND "
                   "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) > '01/01/2015'");

FilaCondicion fila(double id, const QString& sentencia, const QString& condicion = QString(),
                   const QString& condicion1 = QString()) {
    FilaCondicion f;
    f.id = id;
    f.sentencia = sentencia;
    f.condicion = condicion;
    f.condicion1 = condicion1;
    return f;
}

QString generar(const QList<FilaCondicion>& filas, const QStringList& tablas, bool todas,
                qint16 orden, qint16 sentido, const QStringList& familias, FormaSentencia forma,
                const QString& particion = QStringLiteral("1")) {
    DatosSentenciaGeneral d;
    d.filas = filas;
    d.tablas = tablas;
    d.particion = particion;
    const quill::AnalisisFechas a = quill::AnalizarCondicionesFechas(filas, familias);
    d.analisis = a.general;
    return quill::GenerarSentenciaFechas(d, a, forma, orden, sentido, todas);
}

TEST(SentenciaFechas, TextosCompletos) {
    using enum FormaSentencia;
    const QString desde = kSelect + " FROM PACIENTE " + kWhere;
    const QString revision =
        QStringLiteral(", CAST(MLENTILLA.FECHA_REVISION AS DATE) FECHA_REVISION ");
    const FilaCondicion ultimaFicha = fila(55, QStringLiteral("= 1"), "Igual a...", "Última");
    const QString union1 = QStringLiteral(
        ", CAST(MGRADUACION.FECHA_REVISION AS DATE) FECHA_REVISION, CAST(MGRADUACION.FECHA AS "
        "DATE) FECHA, CAST(NULL AS DATE) FECHA_LIMPIEZA, CAST(NULL AS DATE) FECHA_CADUCIDAD, "
        "CAST(NULL AS DATE) FECHA_REPOSICION, CAST(NULL AS DATE) FECHA_EX_OPTICO ");
    const QString union3 = QStringLiteral(
        ", CAST(OPTOMETRIA.TA_FECHA_REVISION AS DATE) FECHA_REVISION, "
        "CAST(OPTOMETRIA.FECHA_EX_OPTICO AS DATE) FECHA, CAST(NULL AS DATE) FECHA_LIMPIEZA, "
        "CAST(NULL AS DATE) FECHA_CADUCIDAD, CAST(NULL AS DATE) FECHA_REPOSICION, "
        "CAST(OPTOMETRIA.FECHA_EX_OPTICO AS DATE) FECHA_EX_OPTICO ");
    const QString union2 = QStringLiteral(
        ", CAST(MLENTILLA.FECHA_REVISION AS DATE) FECHA_REVISION, CAST(MLENTILLA.FECHA AS DATE) "
        "FECHA, CAST(MLENTILLA.FECHA_LIMPIEZA AS DATE) FECHA_LIMPIEZA, "
        "CAST(MLENTILLA.FECHA_CADUCIDAD AS DATE) FECHA_CADUCIDAD, CAST(MLENTILLA.FECHA_REPOSICION "
        "AS DATE) FECHA_REPOSICION, CAST(NULL AS DATE) FECHA_EX_OPTICO ");
    const auto revisionDe = [](const char* columna) {
        return " AND CAST(" + QLatin1String(columna) + " AS DATE) != '12/30/1899' AND CAST(" +
               QLatin1String(columna) + " AS DATE)  > '01/01/2024'";
    };
    struct Caso {
        const char* nombre;
        QList<FilaCondicion> filas;
        QStringList tablas = {};
        bool todas = true;
        qint16 orden = 0, sentido = 0;
        QStringList familias = {};
        FormaSentencia forma = Listado;
        QString texto;
    };
    // clang-format off
    const Caso casos[] = {
        {.nombre = "no condition", .filas = {}, .texto = desde + " Order BY 3 ASC"},
        // A day-and-month condition sorts by day, then month; without one, by the full date.
        {.nombre = "birthday month, order 22", .filas = {fila(425, kMesNacimiento)},
         .orden = 22, .texto = desde + " AND (" + kMesNacimiento + ")ORDER BY 9, 10 ASC"},
        {.nombre = "order 22 without a birthday condition", .filas = {fila(1, kApellidos)},
         .orden = 22, .sentido = 1,
         .texto = desde + " AND (" + kApellidos + ")ORDER BY PACIENTE.FECHA_NACIMIENTO DesC"},
        {.nombre = "first-visit day, order 23", .filas = {fila(421, kDiaPrimera)},
         .orden = 23, .texto = desde + " AND (" + kDiaPrimera + ")ORDER BY 11, 12 ASC"},
        {.nombre = "order 23 without", .filas = {}, .orden = 23,
         .texto = desde + "ORDER BY PACIENTE.FECHA_PRIMERA_VISITA ASC"},
        {.nombre = "last-visit month, order 24", .filas = {fila(428, kMesUltima)},
         .orden = 24, .sentido = 1,
         .texto = desde + " AND (" + kMesUltima + ")ORDER BY 13, 14 DesC"},
        // A birthday flag does not change the order of another date.
        {.nombre = "order 24 with a birthday condition", .filas = {fila(425, kMesNacimiento)},
         .orden = 24, .texto = desde + " AND (" + kMesNacimiento +
                  ")ORDER BY CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) ASC"},
        {.nombre = "order 21", .filas = {}, .orden = 21, .texto = desde + " ORDER BY 7 ASC"},
        // Record dates add their column after the patient columns, in row order.
        {.nombre = "lens revision and cleaning, hearing-aid guarantee",
         .filas = {fila(112, kRevision), fila(135, kLimpieza), fila(191, kGarantiaAudifono)},
         .tablas = {"PACIENTE", "MLENTILLA", "MAUDIFONO", "DAUDIFONO"}, .orden = 3,
         .texto = kSelect + revision +
                  ", CAST(MLENTILLA.FECHA_LIMPIEZA AS DATE) FECHA_LIMPIEZA , "
                  "CAST(DAUDIFONO.GARANTIA AS DATE) FECHA_GARANTIA  FROM PACIENTE , MLENTILLA, "
                  "MAUDIFONO, DAUDIFONO" + kWhere + " AND (" + kRevision + ") AND (" + kLimpieza +
                  ") AND (" + kGarantiaAudifono + ") Order BY 2 ASC"},
        // The low-vision forms get their comma.
        {.nombre = "low-vision record date", .filas = {fila(376, kBajaVision)},
         .tablas = {"PACIENTE", "MOREDUCIDA"},
         .texto = kSelect + ", CAST(MOREDUCIDA.FECHA AS DATE) FECHA FROM PACIENTE , MOREDUCIDA" +
                  kWhere + " AND (" + kBajaVision + ") Order BY 3 ASC"},
        // Last-record mode: the date column is grouped, before the family slot; a grouped
        // statement sorts by the grouped birth date.
        {.nombre = "last record with the last-visit condition",
         .filas = {ultimaFicha, fila(112, kRevision), fila(56, kUltimaVisita)},
         .tablas = {"PACIENTE", "MLENTILLA"}, .orden = 22,
         .texto = kSelect + revision + ", MLENTILLA.NUMERO_FICHA, MAX(ML.NUMERO_FICHA)  FROM "
                  "PACIENTE , MLENTILLA, MLENTILLA ML " + kWhere + " AND (" + kRevision +
                  ") AND (" + kUltimaVisita + ") AND ML.ID_PACIENTE = PACIENTE.ID_PACIENTE " +
                  kGroupBy + ", CAST(MLENTILLA.FECHA_REVISION AS DATE) , MLENTILLA.NUMERO_FICHA "
                  "HAVING  MLENTILLA.NUMERO_FICHA = MAX(ML.NUMERO_FICHA) ORDER BY CAST "
                  "(PACIENTE.FECHA_NACIMIENTO AS DATE) ASC"},
        {.nombre = "last record, order 23 with its flag",
         .filas = {ultimaFicha, fila(421, kDiaPrimera)}, .orden = 23,
         .texto = desde + " AND (" + kDiaPrimera + ")" + kGroupBy + "ORDER BY 11, 12 ASC"},
        // "Any": the record table stays in EXISTS, and its date comes from the matching records.
        {.nombre = "any with a record date",
         .filas = {fila(425, kMesNacimiento), fila(112, kRevision)},
         .tablas = {"PACIENTE", "MLENTILLA"}, .todas = false, .orden = 22,
         .texto = kSelect + ", (SELECT MAX(CAST(MLENTILLA.FECHA_REVISION AS DATE)) FROM MLENTILLA "
                  "WHERE " + kRevision + ") FECHA_REVISION  FROM PACIENTE " + kWhere + " AND ((" +
                  kMesNacimiento + ") OR (EXISTS (SELECT 1 FROM MLENTILLA WHERE " + kRevision +
                  ")))ORDER BY 9, 10 ASC"},
        {.nombre = "any, last record",
         .filas = {ultimaFicha, fila(1, kApellidos), fila(112, kRevision)},
         .tablas = {"PACIENTE", "MLENTILLA"}, .todas = false,
         .texto = kSelect + ", (SELECT MAX(CAST(MLENTILLA.FECHA_REVISION AS DATE)) FROM MLENTILLA "
                  "WHERE " + kRevision + " AND MLENTILLA.NUMERO_FICHA = (SELECT "
                  "MAX(ML.NUMERO_FICHA) FROM MLENTILLA ML WHERE ML.ID_PACIENTE = "
                  "PACIENTE.ID_PACIENTE)) FECHA_REVISION  FROM PACIENTE " + kWhere + " AND ((" +
                  kApellidos + ") OR (EXISTS (SELECT 1 FROM MLENTILLA WHERE " + kRevision +
                  " AND MLENTILLA.NUMERO_FICHA = (SELECT MAX(ML.NUMERO_FICHA) FROM MLENTILLA ML "
                  "WHERE ML.ID_PACIENTE = PACIENTE.ID_PACIENTE))))" + kGroupBy + " Order BY 3 ASC"},
        // The revision date of every record family: one member per family that has one, in the
        // host's partition, each date under its name at one place; a UNION sorts by position.
        {.nombre = "record revision date",
         .filas = {fila(434, QStringLiteral(" > '01/01/2024'"))}, .orden = 22,
         .familias = {"1", "2", "0", "3"},
         .texto = kSelect + union1 + " FROM PACIENTE, MGRADUACION " + kWhereParticion +
                  " AND PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE " +
                  revisionDe("MGRADUACION.FECHA_REVISION") + " UNION " + kSelect + union2 +
                  " FROM PACIENTE, MLENTILLA " + kWhereParticion +
                  " AND PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE " +
                  revisionDe("MLENTILLA.FECHA_REVISION") + " UNION " + kSelect + union3 +
                  " FROM PACIENTE, OPTOMETRIA " + kWhereParticion +
                  " AND PACIENTE.ID_PACIENTE = OPTOMETRIA.ID_PACIENTE " +
                  revisionDe("OPTOMETRIA.TA_FECHA_REVISION") + "ORDER BY 17 ASC"},
        {.nombre = "patients without records",
         .filas = {fila(50, QString(), "Distinto de...", "x"), fila(1, kApellidos)},
         .orden = 24, .familias = {"1"},
         .texto = QString(kSelect).replace("SELECT DISTINCT(PACIENTE.ID_PACIENTE)",
                                           "SELECT PACIENTE.ID_PACIENTE") +
                  " From PACIENTE " + kWhereParticion +
                  " AND NOT EXISTS (SELECT MGRADUACION.ID_PACIENTE from MGRADUACION where "
                  "MGRADUACION.ID_PACIENTE = PACIENTE.ID_PACIENTE)  AND NOT EXISTS (SELECT "
                  "MLENTILLA.ID_PACIENTE from MLENTILLA where MLENTILLA.ID_PACIENTE = "
                  "PACIENTE.ID_PACIENTE)  AND NOT EXISTS (SELECT MAUDIFONO.ID_PACIENTE from "
                  "MAUDIFONO where MAUDIFONO.ID_PACIENTE = PACIENTE.ID_PACIENTE)  AND NOT EXISTS "
                  "(SELECT OPTOMETRIA.ID_PACIENTE from OPTOMETRIA where OPTOMETRIA.ID_PACIENTE = "
                  "PACIENTE.ID_PACIENTE)  AND NOT EXISTS (SELECT MOREDUCIDA.ID_PACIENTE from "
                  "MOREDUCIDA where MOREDUCIDA.ID_PACIENTE = PACIENTE.ID_PACIENTE)  AND (" +
                  kApellidos + ")ORDER BY CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) ASC"},
        // The count: patient ids only, every partition, no date column.
        {.nombre = "count", .filas = {fila(425, kMesNacimiento), fila(112, kRevision)},
         .tablas = {"PACIENTE", "MLENTILLA"}, .orden = 22, .forma = Conteo,
         .texto = kConteo + " FROM PACIENTE , MLENTILLA" + kWhere + " AND (" + kMesNacimiento +
                  ") AND (" + kRevision + ") GROUP BY PACIENTE.ID_PACIENTE  Order BY 1 ASC"},
        // A row without a fragment adds nothing: no column, no flag, no "AND ()".
        {.nombre = "row without a fragment", .filas = {fila(424, QString()), fila(112, QString())},
         .orden = 22, .texto = desde + "ORDER BY PACIENTE.FECHA_NACIMIENTO ASC"},
    };
    // clang-format on
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        EXPECT_EQ(generar(c.filas, c.tablas, c.todas, c.orden, c.sentido, c.familias, c.forma),
                  c.texto);
    }
}

// The date columns of every row that adds one: their exact forms, and what the result tables
// copy from them.
TEST(SentenciaFechas, ColumnasDeFecha) {
    struct Caso {
        int id;
        const char* select;
        const char* groupBy;
        const char* campo;
    };
    const Caso casos[] = {
        {71, ", CAST(MGRADUACION.FECHA AS DATE) FECHA ", ", CAST(MGRADUACION.FECHA AS DATE)",
         "Fecha"},
        {92, ", CAST(DGRADUACION.FECHA_GARANTIA AS DATE) FECHA_GARANTIA ",
         ", CAST(DGRADUACION.FECHA_GARANTIA AS DATE) ", "FechaGarantia"},
        {117, ", CAST(MLENTILLA.FECHA_CADUCIDAD AS DATE) FECHA_CADUCIDAD",
         ", CAST(MLENTILLA.FECHA_CADUCIDAD AS DATE) ", "FechaCaducidad"},
        {152, ", CAST(MAUDIFONO.FECHA_PROXIMA_REVISION AS DATE) FECHA_REVISION ",
         ", CAST(MAUDIFONO.FECHA_PROXIMA_REVISION AS DATE) ", "FechaRevision"},
        {191, ", CAST(DAUDIFONO.GARANTIA AS DATE) FECHA_GARANTIA ",
         ", CAST(DAUDIFONO.GARANTIA AS DATE) ", "FechaGarantia"},
        {347, ", CAST(OPTOMETRIA.TA_FECHA_REVISION AS DATE) FECHA_REVISION",
         ", CAST(OPTOMETRIA.TA_FECHA_REVISION AS DATE) ", "FechaRevision"},
        {377, ", CAST(MOREDUCIDA.FECHA_REVISION AS DATE) FECHA_REVISION",
         ", CAST(MOREDUCIDA.FECHA_REVISION AS DATE) ", "FechaRevision"},
        // Record dates name a column of the family members but add none.
        {433, "", "", "Fecha"},
        {1, "", "", ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.id);
        const quill::ColumnaCondicion col = quill::ColumnaFechaCondicion(c.id);
        EXPECT_EQ(col.select, QLatin1String(c.select));
        EXPECT_EQ(col.groupBy, QLatin1String(c.groupBy));
        EXPECT_EQ(quill::FechaDeCondicion(c.id).campo, QLatin1String(c.campo));
    }
    // The date-present flags: each field once, rows without a fragment left out.
    const quill::AnalisisFechas a = quill::AnalizarCondicionesFechas(
        {fila(112, "x"), fila(72, "y"), fila(135, "z"), fila(117, QString()), fila(433, "w")}, {});
    QStringList campos;
    for (const quill::FechaCondicion& f : a.fechasPresentes)
        campos << f.campo + "=" + f.columna;
    EXPECT_EQ(campos,
              QStringList({"FechaRevision=FECHA_REVISION", "FechaLimpieza=FECHA_LIMPIEZA"}));
}

// Nothing but an integer ever reaches a statement, even when the normal path does not use it.
TEST(SentenciaFechas, ParticionNoEntera) {
    for (const char* mala : {"", "1 OR 1=1", "1;"}) {
        SCOPED_TRACE(mala);
        EXPECT_THROW(
            generar({}, {}, true, 0, 0, {}, FormaSentencia::Listado, QString::fromLatin1(mala)),
            quill::Error);
    }
    TdmFechas dm;
    dm.AsignarParticion("1 OR 1=1");
    EXPECT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoErrorInterno);
    EXPECT_TRUE(dm.ErrorSQL().contains("partición"));
    EXPECT_EQ(dm.GenerarSQLConteo(true), quill::kListadoErrorInterno);
    EXPECT_EQ(dm.ContarPacientes(), 0.0);
}

// The module reads its condition table (a row being edited included) and the families handed
// over for the record-type row.
TEST(TdmFechasSentencia, DesdeLaTablaDeCondiciones) {
    quill::MemTable condiciones;
    TdmlstPaciente::DefinirCampos(condiciones, 3);
    condiciones.open();
    condiciones.append();
    condiciones.setValue("Id", 425.0);
    condiciones.setValue("Sentencia", kMesNacimiento);
    condiciones.post();
    condiciones.append();
    condiciones.setValue("Id", 1.0);
    condiciones.setValue("Sentencia", kApellidos);
    TdmFechas dm;
    dm.setCondiciones(&condiciones);
    dm.AsignarParticion("2");
    EXPECT_EQ(dm.ConstruirSQL(22, 0, true), kSelect + " FROM PACIENTE " + kWhere + " AND (" +
                                                kMesNacimiento + ") AND (" + kApellidos +
                                                ")ORDER BY 9, 10 ASC");
    EXPECT_TRUE(dm.Analisis().diaMesNacimiento);
    EXPECT_EQ(condiciones.state(), quill::MemTable::State::Insert);

    quill::ParametrosListado p;
    p.familias = {"4"};
    dm.AsignarParametros(p);
    condiciones.cancel();
    condiciones.append();
    condiciones.setValue("Id", 50.0);
    condiciones.setValue("Condicion", "Igual a...");
    condiciones.post();
    EXPECT_EQ(dm.ConstruirSQL(23, 1, true),
              kSelect +
                  ", CAST(MOREDUCIDA.FECHA_REVISION AS DATE) FECHA_REVISION, "
                  "CAST(MOREDUCIDA.FECHA AS DATE) FECHA  FROM PACIENTE, MOREDUCIDA " +
                  QString(kWhereParticion).replace("= 1", "= 2") +
                  " AND PACIENTE.ID_PACIENTE = MOREDUCIDA.ID_PACIENTE  AND (" + kMesNacimiento +
                  ")ORDER BY 18 DesC");
}

} // namespace
