// Statements of the General listing, compared as whole texts: "all" and "any" (with EXISTS when
// its alternatives need tables of their own), last-record mode, the record-family paths, the
// count, order codes and the partition.

#include "conditions/tdmlstpaciente.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/sentenciageneral.h"
#include "queries/tdmgeneral.h"

#include <gtest/gtest.h>

using quill::DatosSentenciaGeneral;
using quill::FilaCondicion;
using quill::FormaSentencia;

namespace {

// The documented texts, written out here on their own so that a slip in the module shows.
const QString kSelect = QStringLiteral(
    "SELECT DISTINCT(PACIENTE.ID_PACIENTE), PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.VIENE_POR, "
    "PACIENTE.SEXO, CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, "
    "CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET "
    "AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.E_MAIL, PACIENTE.WEB, PACIENTE.FOTOGRAFIA, PACIENTE.NIF, PACIENTE.CORREO, "
    "PACIENTE.PROFESION, PACIENTE.TELEFONO, PACIENTE.TOTAL_COMPRADO_M2,  PACIENTE.TIENDA, "
    "PACIENTE.ID_LOCALIDAD , PACIENTE.ID_LOCALIDAD, PACIENTE.ID_LOCALIDAD ");
const QString kGroupBy = QStringLiteral(
    "GROUP BY PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOs, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.VIENE_POR, "
    "PACIENTE.SEXO, CAST(PACIENTE.FECHA_NACIMIENTO AS DATE), CAST(PACIENTE.FECHA_PRIMERA_VISITA "
    "AS DATE), CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE), CAST(PACIENTE.FECHA_CARNET AS DATE), "
    "PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.E_MAIL, PACIENTE.WEB, "
    "PACIENTE.FOTOGRAFIA, PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, PACIENTE.NIF, "
    "PACIENTE.CORREO, PACIENTE.PROFESION, PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, "
    "PACIENTE.FOTOGRAFIA ");
const QString kSelectDistinto = QStringLiteral(
    "SELECT PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.VIENE_POR, "
    "PACIENTE.SEXO, CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, "
    "CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET "
    "AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.E_MAIL, PACIENTE.WEB, PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, "
    "PACIENTE.TELEFONO, PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, PACIENTE.ID_LOCALIDAD, "
    "PACIENTE.FOTOGRAFIA ");
const QString kConteo = QStringLiteral("SELECT DISTINCT(PACIENTE.ID_PACIENTE) ID_PACIENTE ");

QString where(const QString& particion = QStringLiteral("1")) {
    return QStringLiteral(" Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND "
                          "PACIENTE.LICENCIA = ") +
           particion + QStringLiteral(" ");
}

// Fragments as the sentence builder gives them, with the tables they bring.
const QString kApellidos = QStringLiteral("UPPER(PACIENTE.APELLIDOS) starting with 'GAR'");
const QString kSexo = QStringLiteral("(PACIENTE.SEXO  = 1 Or PACIENTE.SEXO = 2)");
const QString kNacimiento = QStringLiteral(
    "CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) != '12/30/1899' AND CAST(PACIENTE.FECHA_NACIMIENTO "
    "AS DATE) BETWEEN '01/01/1950' AND '12/31/1960'");
const QString kCilindro = QStringLiteral(
    " PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND MGRADUACION.OD_CILINDRO  BETWEEN -1 AND 1 "
    "AND MGRADUACION.OD_CILINDRO != 98");
const QString kNota = QStringLiteral(
    "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And UPPER(POBSERVACIONES.OBSERVACIONES) "
    "containing 'ALE'");
const QString kLentillaRevision = QStringLiteral(
    " PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND CAST(MLENTILLA.FECHA_REVISION AS DATE) != "
    "'12/30/1899' AND CAST(MLENTILLA.FECHA_REVISION AS DATE) > '01/01/2024'");

FilaCondicion fila(double id, const QString& sentencia, const QString& condicion = QString(),
                   const QString& condicion1 = QString()) {
    FilaCondicion f;
    f.id = id;
    f.sentencia = sentencia;
    f.condicion = condicion;
    f.condicion1 = condicion1;
    return f;
}

QString generar(const QList<FilaCondicion>& filas, const QStringList& tablas, bool todas = true,
                qint16 orden = 0, qint16 sentido = 0, const QStringList& familias = {},
                FormaSentencia forma = FormaSentencia::Listado,
                const QString& particion = QStringLiteral("1")) {
    DatosSentenciaGeneral d;
    d.filas = filas;
    d.tablas = tablas;
    d.particion = particion;
    d.analisis = quill::AnalizarCondicionesGeneral(filas, familias);
    return quill::GenerarSentenciaGeneral(d, forma, orden, sentido, todas);
}

const QStringList kPaciente{QStringLiteral("PACIENTE")};
const QString kFechaFicha = QStringLiteral(" > '01/01/2020'");

TEST(SentenciaGeneral, TextosCompletos) {
    using enum FormaSentencia;
    const QString orden = QStringLiteral(" Order BY 3 ASC");
    const QString desde = kSelect + " FROM PACIENTE " + where();
    const auto existe = [](const char* tabla, const QString& fragmento, const QString& mas = {}) {
        return "(EXISTS (SELECT 1 FROM " + QLatin1String(tabla) + " WHERE " + fragmento + mas +
               "))";
    };
    const QString ultima = QStringLiteral(
        " AND MGRADUACION.NUMERO_FICHA >= (SELECT COUNT(DISTINCT(MG.NUMERO_FICHA)) FROM "
        "MGRADUACION MG WHERE MG.ID_PACIENTE = PACIENTE.ID_PACIENTE)");
    const QString garantia = QStringLiteral(
        " PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND MGRADUACION.ID_MGRADUACION = "
        "DGRADUACION.ID_MGRADUACION AND CAST(DGRADUACION.FECHA_GARANTIA AS DATE) > '01/01/2024'");
    const QString sinFichas = QStringLiteral(
        " AND NOT EXISTS (SELECT MGRADUACION.ID_PACIENTE from MGRADUACION where "
        "MGRADUACION.ID_PACIENTE = PACIENTE.ID_PACIENTE)  AND NOT EXISTS (SELECT "
        "MLENTILLA.ID_PACIENTE from MLENTILLA where MLENTILLA.ID_PACIENTE = PACIENTE.ID_PACIENTE)  "
        "AND NOT EXISTS (SELECT MAUDIFONO.ID_PACIENTE from MAUDIFONO where MAUDIFONO.ID_PACIENTE = "
        "PACIENTE.ID_PACIENTE)  AND NOT EXISTS (SELECT OPTOMETRIA.ID_PACIENTE from OPTOMETRIA "
        "where OPTOMETRIA.ID_PACIENTE = PACIENTE.ID_PACIENTE)  AND NOT EXISTS (SELECT "
        "MOREDUCIDA.ID_PACIENTE from MOREDUCIDA where MOREDUCIDA.ID_PACIENTE = "
        "PACIENTE.ID_PACIENTE) ");
    const QString graduacionFecha =
        kSelect +
        ", CAST(MGRADUACION.FECHA AS DATE), CAST(MGRADUACION.FECHA AS DATE), "
        "CAST(MGRADUACION.FECHA AS DATE) FROM PACIENTE, MGRADUACION " +
        where() + " AND PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE  AND ";
    const FilaCondicion ultimaFicha = fila(55, QStringLiteral("= 1"), "Igual a...", "Última");
    const QList<FilaCondicion> tres{fila(1, kApellidos), fila(82, kCilindro), fila(23, kNota)};
    const QStringList todasLasTablas{"PACIENTE", "MGRADUACION", "MLENTILLA", "POBSERVACIONES"};
    struct Caso {
        const char* nombre;
        QList<FilaCondicion> filas;
        QStringList tablas = kPaciente;
        bool todas = true;
        QStringList familias = {};
        FormaSentencia forma = Listado;
        qint16 orden = 0, sentido = 0;
        QString texto;
    };
    // clang-format off
    const Caso casos[] = {
        {.nombre = "no condition", .filas = {}, .tablas = {}, .texto = desde + orden},
        // "Any" with a single condition has no alternative to enclose.
        {.nombre = "any, one condition", .filas = {fila(1, kApellidos)}, .todas = false,
         .texto = desde + " AND (" + kApellidos + ")" + orden},
        {.nombre = "all, three",
         .filas = {fila(1, kApellidos), fila(11, kSexo), fila(13, kNacimiento)},
         .texto = desde + " AND (" + kApellidos + ") AND (" + kSexo + ") AND (" + kNacimiento +
                  ")" + orden},
        // The extra pair keeps deleted rows, patient 0 and the partition out of every alternative.
        {.nombre = "any, three",
         .filas = {fila(1, kApellidos), fila(11, kSexo), fila(13, kNacimiento)},
         .todas = false,
         .texto = desde + " AND ((" + kApellidos + ") OR (" + kSexo + ") OR (" + kNacimiento +
                  "))" + orden},
        // 55 works through the last-record mode, 482 belongs to another kind, 95 builds no
        // fragment; none of them is joined.
        {.nombre = "rows outside WHERE",
         .filas = {fila(55, QStringLiteral("x"), QString(), "Todas"),
                   fila(482, QStringLiteral(" (DLENTILLA.ID_TLENTILLA  = 0)")),
                   fila(95, QString(), QString(), "No"), fila(1, kApellidos)},
         .texto = desde + " AND (" + kApellidos + ")" + orden},
        {.nombre = "all, tables of their own", .filas = tres,
         .tablas = {"PACIENTE", "MGRADUACION", "POBSERVACIONES"},
         .texto = kSelect + " FROM PACIENTE , MGRADUACION, POBSERVACIONES" + where() + " AND (" +
                  kApellidos + ") AND (" + kCilindro + ") AND (" + kNota + ")" + orden},
        {.nombre = "any, tables of their own", .filas = tres, .tablas = todasLasTablas,
         .todas = false,
         .texto = desde + " AND ((" + kApellidos + ") OR " + existe("MGRADUACION", kCilindro) +
                  " OR " + existe("POBSERVACIONES", kNota) + ")" + orden},
        {.nombre = "any, tables of their own, count",
         .filas = {fila(82, kCilindro), fila(23, kNota)},
         .tablas = todasLasTablas, .todas = false, .forma = Conteo,
         .texto = kConteo + " FROM PACIENTE " + where() + " AND (" +
                  existe("MGRADUACION", kCilindro) + " OR " + existe("POBSERVACIONES", kNota) +
                  ") GROUP BY PACIENTE.ID_PACIENTE  Order BY 1 ASC"},
        // The latest record is tested inside the EXISTS: nothing is grouped by record.
        {.nombre = "any, last record",
         .filas = {ultimaFicha, fila(82, kCilindro), fila(1, kApellidos)},
         .tablas = todasLasTablas, .todas = false,
         .texto = desde + " AND (" + existe("MGRADUACION", kCilindro, ultima) + " OR (" +
                  kApellidos + "))" + kGroupBy + orden},
        // The family's own table is the listed record's: only the other tables go into EXISTS.
        {.nombre = "any, record family",
         .filas = {fila(50, QString(), "Igual a...", "Graduación"), fila(82, kCilindro),
                   fila(112, kLentillaRevision), fila(23, kNota)},
         .tablas = todasLasTablas, .todas = false, .familias = {"1"},
         .texto = graduacionFecha + "((" + kCilindro + ") OR " +
                  existe("MLENTILLA", kLentillaRevision) + " OR " +
                  existe("POBSERVACIONES", kNota) + ")" + orden},
        {.nombre = "last record, one family", .filas = {ultimaFicha, fila(82, kCilindro)},
         .tablas = {"MGRADUACION"},
         .texto = kSelect + ", MGRADUACION.NUMERO_FICHA, COUNT(DISTINCT(MG.NUMERO_FICHA)) " +
                  " FROM PACIENTE , MGRADUACION, MGRADUACION MG " + where() + " AND (" +
                  kCilindro + ") AND MG.ID_PACIENTE = PACIENTE.ID_PACIENTE " + kGroupBy +
                  ", MGRADUACION.NUMERO_FICHA HAVING  MGRADUACION.NUMERO_FICHA >= "
                  "COUNT(DISTINCT(MG.NUMERO_FICHA)) " + orden},
        // Slots come in family order (prescriptions before lenses) whatever the row order; the
        // guarantee columns follow their family's slot; the HAVING predicates are joined by AND.
        {.nombre = "last record, two families and a guarantee",
         .filas = {fila(112, kLentillaRevision), fila(92, garantia), ultimaFicha,
                   fila(82, kCilindro)},
         .tablas = {"MLENTILLA", "MGRADUACION", "DGRADUACION"},
         .texto = kSelect + ", MGRADUACION.NUMERO_FICHA, COUNT(DISTINCT(MG.NUMERO_FICHA)) , "
                  "CAST(DGRADUACION.FECHA_GARANTIA AS DATE) , MLENTILLA.NUMERO_FICHA, "
                  "MAX(ML.NUMERO_FICHA)  FROM PACIENTE , MLENTILLA, MGRADUACION, DGRADUACION, "
                  "MGRADUACION MG , MLENTILLA ML " +
                  where() + " AND (" + kLentillaRevision + ") AND (" + garantia + ") AND (" +
                  kCilindro + ") AND MG.ID_PACIENTE = PACIENTE.ID_PACIENTE  AND ML.ID_PACIENTE = "
                  "PACIENTE.ID_PACIENTE " + kGroupBy +
                  ", MGRADUACION.NUMERO_FICHA , CAST(DGRADUACION.FECHA_GARANTIA AS DATE) , "
                  "MLENTILLA.NUMERO_FICHA HAVING  MGRADUACION.NUMERO_FICHA >= "
                  "COUNT(DISTINCT(MG.NUMERO_FICHA))  AND  MLENTILLA.NUMERO_FICHA = "
                  "MAX(ML.NUMERO_FICHA) " + orden},
        {.nombre = "last record, no family: no empty HAVING",
         .filas = {ultimaFicha, fila(1, kApellidos)},
         .texto = desde + " AND (" + kApellidos + ")" + kGroupBy + orden},
        {.nombre = "all, count", .filas = {fila(1, kApellidos)},
         .forma = Conteo, .orden = 18, .sentido = 1,
         .texto = kConteo + " FROM PACIENTE " + where() + " AND (" + kApellidos +
                  ") GROUP BY PACIENTE.ID_PACIENTE  Order BY 1 ASC"},
        {.nombre = "record family and record date",
         .filas = {fila(50, QString(), "Igual a...", "Graduación"), fila(433, kFechaFicha),
                   fila(1, kApellidos)},
         .familias = {"1"},
         .orden = 18, .sentido = 1, .texto = graduacionFecha + "(" + kApellidos +
                  ") AND CAST(MGRADUACION.FECHA AS DATE) != '12/30/1899' AND "
                  "CAST(MGRADUACION.FECHA AS DATE)  > '01/01/2020' Order BY 3 DesC"},
        // Lenses date five things, prescriptions three: the narrower member is filled with empty
        // dates. Hearing aids have no record date: their member cannot meet 433 and is left out.
        {.nombre = "several families",
         .filas = {fila(50, QString(), "Igual a...", "x"), fila(433, kFechaFicha)},
         .familias = {"1", "2", "0"},
         .orden = 3, .texto = kSelect +
                  ", CAST(MGRADUACION.FECHA AS DATE), CAST(MGRADUACION.FECHA AS DATE), "
                  "CAST(MGRADUACION.FECHA AS DATE), CAST(NULL AS DATE), CAST(NULL AS DATE) FROM "
                  "PACIENTE, MGRADUACION " + where() +
                  " AND PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE  AND "
                  "CAST(MGRADUACION.FECHA AS DATE) != '12/30/1899' AND CAST(MGRADUACION.FECHA AS "
                  "DATE)  > '01/01/2020' UNION " + kSelect +
                  ", CAST(MLENTILLA.FECHA_REVISION AS DATE) FECHA_REVISION, "
                  "CAST(MLENTILLA.FECHA_LIMPIEZA AS DATE) FECHA_LIMPIEZA, "
                  "CAST(MLENTILLA.FECHA_CADUCIDAD AS DATE) FECHA_CADUCIDAD, "
                  "CAST(MLENTILLA.FECHA_REPOSICION AS DATE) FECHA_REPOSICION, "
                  "CAST(MLENTILLA.FECHA AS DATE) FECHA FROM PACIENTE, MLENTILLA " + where() +
                  " AND PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE  AND CAST(MLENTILLA.FECHA "
                  "AS DATE) != '12/30/1899' AND CAST(MLENTILLA.FECHA AS DATE)  > '01/01/2020' "
                  "Order BY 2 ASC"},
        {.nombre = "no record family, any",
         .filas = {fila(50, QString(), "Distinto de...", "x"), fila(1, kApellidos),
                   fila(23, kNota)},
         .tablas = {"PACIENTE", "POBSERVACIONES"},
         .todas = false, .familias = {"1", "2"},
         .orden = 21, .sentido = 1,
         .texto = kSelectDistinto + " From PACIENTE " + where() + sinFichas + " AND ((" +
                  kApellidos + ") OR (EXISTS (SELECT 1 FROM POBSERVACIONES WHERE " + kNota +
                  "))) ORDER BY 7 DesC"},
        // Optometry and low vision have no guarantee: nobody can be listed.
        {.nombre = "no family can meet it", .filas = {fila(50, QString(), "Igual a...", "x"),
                   fila(435, QStringLiteral(" < '01/01/2026'"))},
         .familias = {"3", "4"},
         .texto = desde + " AND 1 = 0" + orden},
    };
    // clang-format on
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        EXPECT_EQ(generar(c.filas, c.tablas, c.todas, c.orden, c.sentido, c.familias, c.forma),
                  c.texto);
    }
}

// Nothing but an integer ever reaches the statement.
TEST(SentenciaGeneral, ParticionNoEntera) {
    for (const char* mala : {"", " 1", "1 OR 1=1", "1;", "1.5", "12345678901"}) {
        SCOPED_TRACE(mala);
        try {
            generar({}, {}, true, 0, 0, {}, FormaSentencia::Listado, QString::fromLatin1(mala));
            ADD_FAILURE() << "accepted";
        } catch (const quill::Error& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("El valor de la partición de datos no es un número entero")));
        }
    }
    // The module answers with the internal error, without a query.
    TdmGeneral dm;
    dm.AsignarParticion("1 OR 1=1");
    EXPECT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoErrorInterno);
    EXPECT_TRUE(dm.ErrorSQL().contains("partición"));
    EXPECT_EQ(dm.GenerarSQLConteo(true), quill::kListadoErrorInterno);
    EXPECT_EQ(dm.ContarPacientes(), 0.0);
}

// The module reads its condition table and keeps the analysis of the run.
TEST(TdmGeneralSentencia, DesdeLaTablaDeCondiciones) {
    quill::MemTable condiciones;
    TdmlstPaciente::DefinirCampos(condiciones, 0);
    condiciones.open();
    auto anadir = [&](double id, const QString& condicion, const QString& valor,
                      const QString& sentencia) {
        condiciones.append();
        condiciones.setValue("Id", id);
        condiciones.setValue("Condicion", condicion);
        condiciones.setValue("Condicion1", valor);
        condiciones.setValue("Sentencia", sentencia);
        condiciones.post();
    };
    anadir(50, "Igual a...", "Graduación", QString());
    anadir(1, "Empieza por...", "GAR", kApellidos);
    TdmGeneral dm;
    dm.setCondiciones(&condiciones);
    dm.Tablas = kPaciente;
    dm.AsignarParticion("2");
    // A row still being edited takes part; the cursor is not moved.
    condiciones.append();
    condiciones.setValue("Id", 11.0);
    condiciones.setValue("Sentencia", kSexo);
    condiciones.moveTo(0);
    condiciones.edit();
    condiciones.setValue("Id", -1.0);
    EXPECT_EQ(dm.ConstruirSQLConteo(true), kConteo + " FROM PACIENTE " + where("2") + " AND (" +
                                               kApellidos + ") AND (" + kSexo +
                                               ") GROUP BY PACIENTE.ID_PACIENTE  Order BY 1 ASC");
    EXPECT_EQ(condiciones.currentRow(), 0);
    EXPECT_EQ(condiciones.state(), quill::MemTable::State::Edit);
}

} // namespace
