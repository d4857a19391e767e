// Statements of the Consumption listing, compared as whole texts: the consumption mode ("Total"
// sums in HAVING, any other mode compares each operation in the main and the detail WHERE),
// "all" and "any", conditions that need tables of their own (EXISTS), the order codes, the count
// form; and the kind's own mobile check.

#include "conditions/tdmlstpaciente.h"
#include "platform/memtable.h"
#include "queries/sentenciaconsumo.h"
#include "queries/tdmconsumo.h"

#include <gtest/gtest.h>

using quill::FilaCondicion;

namespace {

// The documented texts, written out here on their own so that a slip in the module shows.
const QString kSelect = QStringLiteral(
    "SELECT MVENTA.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.ID_LOCALIDAD, "
    "PACIENTE.VIENE_POR, PACIENTE.SEXO, CAST (PACIENTE.FECHA_NACIMIENTO AS DATE) "
    "FECHA_NACIMIENTO, CAST (PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET "
    "AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.E_MAIL, PACIENTE.WEB, PACIENTE.FOTOGRAFIA, PACIENTE.NIF, PACIENTE.CORREO, "
    "PACIENTE.PROFESION, PACIENTE.TELEFONO, PACIENTE.TOTAL_COMPRADO_M2,  PACIENTE.TIENDA, "
    "PACIENTE.FOTOGRAFIA, SUM(MVENTA.LIQUIDO_M1), SUM(MVENTA.LIQUIDO_M2), COUNT(MVENTA.N_TALON) "
    "NOPERACIONES ");
const QString kFromWhere = QStringLiteral(
    " FROM PACIENTE, MVENTA  Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND "
    "PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND (MVENTA.TIPO_OPERACION = 0 Or "
    "MVENTA.TIPO_OPERACION = 1) ");
const QString kGroupBy = QStringLiteral(
    " GROUP BY MVENTA.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.VIENE_POR, "
    "PACIENTE.SEXO, CAST (PACIENTE.FECHA_NACIMIENTO AS DATE), CAST (PACIENTE.FECHA_PRIMERA_VISITA "
    "AS DATE), CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE), CAST(PACIENTE.FECHA_CARNET AS DATE), "
    "PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.E_MAIL, PACIENTE.WEB, "
    "PACIENTE.FOTOGRAFIA, PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, PACIENTE.NIF, "
    "PACIENTE.CORREO, PACIENTE.PROFESION, PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, "
    "PACIENTE.FOTOGRAFIA ");
const QString kDetalle = QStringLiteral(
    "SELECT CAST(MVENTA.FECHA AS DATE) FECHA, MVENTA.N_TALON, MVENTA.TIPO_OPERACION, "
    "MVENTA.LIQUIDO_M1, MVENTA.LIQUIDO_M2,  MVENTA.PORCENTAJE_DESCUENTO  FROM PACIENTE, MVENTA  "
    "where PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND MVENTA.ID_PACIENTE = :PACIENTE AND "
    "MVENTA.TIPO_OPERACION != 3 ");
const QString kOrdenDetalle = QStringLiteral(" ORDER BY MVENTA.FECHA ");
const QString kOrden = QStringLiteral(" Order BY 3 ASC");

// Fragments as the sentence builder gives them.
const QString kImporte = QStringLiteral(" > 300");
const QString kFecha = QStringLiteral(
    "PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND CAST(MVENTA.FECHA AS DATE) != '12/30/1899' AND "
    "CAST(MVENTA.FECHA AS DATE) > '12/31/2023'");
const QString kApellidos = QStringLiteral("UPPER(PACIENTE.APELLIDOS) starting with 'GAR'");
const QString kReferencia = QStringLiteral(
    " PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND MVENTA.TIPO_OPERACION != 3 AND "
    "MVENTA.ID_MVENTA = DVENTA.ID_MVENTA  AND DVENTA.REFERENCIA starting with 'MON'");
const QString kAgente = QStringLiteral(
    "(PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND ((MVENTA.ID_AGENTE  = 3) Or MVENTA.ID_MVENTA "
    "in (SELECT ID_MVENTA from DVENTA WHERE (DVENTA.ID_AGENTE_1  = 3) Or (DVENTA.ID_AGENTE_2  = "
    "3) Or (DVENTA.ID_AGENTE_3  = 3))))");
const QString kArticulo = QStringLiteral(
    "(PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND MGRADUACION.ID_MGRADUACION = "
    "DGRADUACION.ID_MGRADUACION AND DGRADUACION.REFERENCIA = ARTICULO.REFERENCIA AND "
    "ARTICULO.MODELO  = 'X1')");
const QString kNota = QStringLiteral(
    "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And UPPER(POBSERVACIONES.OBSERVACIONES) "
    "containing '(SELECT'");

FilaCondicion fila(double id, const QString& sentencia, const QString& condicion1 = QString()) {
    FilaCondicion f;
    f.id = id;
    f.sentencia = sentencia;
    f.condicion1 = condicion1;
    return f;
}

FilaCondicion modo(const char* m) {
    return fila(453, QString(), QString::fromUtf8(m));
}

const QStringList kVentas{QStringLiteral("MVENTA"), QStringLiteral("PACIENTE")};

TEST(SentenciaConsumo, TextosCompletos) {
    const QString suma = QStringLiteral("SUM(MVENTA.LIQUIDO_M1)  > 300");
    const QString porOperacion =
        QStringLiteral("( PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND MVENTA.LIQUIDO_M1  > 300)");
    const QString enDetalle = QStringLiteral("( MVENTA.LIQUIDO_M1  > 300)");
    const QStringList lineas{"MVENTA", "DVENTA", "PACIENTE"};
    struct Caso {
        const char* nombre;
        QList<FilaCondicion> filas;
        QStringList tablas;
        bool todas;
        QString where;   // after the fixed main WHERE
        QString having;  // after GROUP BY
        QString detalle; // after the fixed detail WHERE
        qint16 orden = 0;
        qint16 sentido = 0;
        QString order = kOrden;
    };
    const Caso casos[] = {
        {"sin condiciones", {}, {}, true, "", "", ""},
        {"una fila en blanco y el modo solo no añaden nada",
         {fila(-1, ""), modo("Total")},
         {},
         false,
         "",
         "",
         ""},
        {"Total: la suma en HAVING, el detalle sin importe",
         {modo("Total"), fila(452, kImporte)},
         kVentas,
         true,
         "",
         "HAVING " + suma,
         ""},
        {"Total después del importe",
         {fila(452, kImporte), modo("Total")},
         kVentas,
         true,
         "",
         "HAVING " + suma,
         ""},
        {"por operación: el importe en los dos WHERE",
         {modo("Individual"), fila(452, kImporte)},
         kVentas,
         true,
         " AND " + porOperacion,
         "",
         " AND " + enDetalle},
        {"sin fila de modo: por operación",
         {fila(452, kImporte)},
         kVentas,
         true,
         " AND " + porOperacion,
         "",
         " AND " + enDetalle},
        {"el modo se compara entero",
         {modo("total"), fila(452, kImporte)},
         kVentas,
         true,
         " AND " + porOperacion,
         "",
         " AND " + enDetalle},
        {"la fecha de operación en los dos WHERE, el paciente solo en el principal",
         {fila(1, kApellidos), fila(451, kFecha), modo("Total"), fila(452, kImporte)},
         kVentas,
         true,
         " AND (" + kApellidos + ") AND (" + kFecha + ")",
         "HAVING " + suma,
         " AND (" + kFecha + ")"},
        {"cualquiera: cada WHERE entre paréntesis",
         {fila(1, kApellidos), fila(451, kFecha), fila(452, kImporte)},
         kVentas,
         false,
         " AND ((" + kApellidos + ") OR (" + kFecha + ") OR " + porOperacion + ")",
         "",
         " AND ((" + kFecha + ") OR " + enDetalle + ")"},
        {"cualquiera con una sola condición en el detalle",
         {fila(1, kApellidos), fila(451, kFecha)},
         kVentas,
         false,
         " AND ((" + kApellidos + ") OR (" + kFecha + "))",
         "",
         " AND (" + kFecha + ")"},
        {"dos importes sumados: todas",
         {modo("Total"), fila(452, kImporte), fila(452, QStringLiteral(" < 1000"))},
         kVentas,
         true,
         "",
         "HAVING " + suma + " AND SUM(MVENTA.LIQUIDO_M1)  < 1000",
         ""},
        {"dos importes sumados: cualquiera",
         {modo("Total"), fila(452, kImporte), fila(452, QStringLiteral(" < 10"))},
         kVentas,
         false,
         "",
         "HAVING " + suma + " OR SUM(MVENTA.LIQUIDO_M1)  < 10",
         ""},
        {"orden por consumo descendente",
         {modo("Total"), fila(452, kImporte)},
         kVentas,
         true,
         "",
         "HAVING " + suma,
         "",
         27,
         1,
         " ORDER BY 27 DesC"},
        {"orden por consumo ascendente, por operación",
         {fila(452, kImporte)},
         kVentas,
         true,
         " AND " + porOperacion,
         "",
         " AND " + enDetalle,
         27,
         0,
         " ORDER BY 27 ASC"},
        // The date orders start without a space of their own.
        {"HAVING y orden por fecha de nacimiento",
         {modo("Total"), fila(452, kImporte)},
         kVentas,
         true,
         "",
         "HAVING " + suma + " ",
         "",
         22,
         0,
         "ORDER BY CAST (PACIENTE.FECHA_NACIMIENTO AS DATE) ASC"},
        // Tables beyond the patient and the operation would multiply the summed rows.
        {"una línea de venta con EXISTS",
         {fila(572, kReferencia)},
         lineas,
         true,
         " AND (EXISTS (SELECT 1 FROM DVENTA WHERE " + kReferencia + "))",
         "",
         ""},
        {"las líneas de los agentes son de su subconsulta",
         {fila(554, kAgente), fila(572, kReferencia)},
         lineas,
         false,
         " AND ((" + kAgente + ") OR (EXISTS (SELECT 1 FROM DVENTA WHERE " + kReferencia + ")))",
         "",
         ""},
        {"artículos de graduación y notas",
         {fila(91, kArticulo), fila(23, kNota)},
         {"PACIENTE", "MGRADUACION", "DGRADUACION", "ARTICULO", "POBSERVACIONES"},
         true,
         " AND (EXISTS (SELECT 1 FROM MGRADUACION, DGRADUACION, ARTICULO WHERE " + kArticulo +
             ")) AND (EXISTS (SELECT 1 FROM POBSERVACIONES WHERE " + kNota + "))",
         "",
         ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const quill::SentenciasConsumo s =
            quill::GenerarSentenciasConsumo(c.filas, c.tablas, c.orden, c.sentido, c.todas);
        EXPECT_EQ(s.principal, kSelect + kFromWhere + c.where + kGroupBy + c.having + c.order);
        EXPECT_EQ(s.detalle, kDetalle + c.detalle + kOrdenDetalle);
    }
}

TEST(SentenciaConsumo, Ordenes) {
    const struct {
        qint16 orden, sentido;
        const char* texto;
    } casos[] = {
        {3, 0, " Order BY 2 ASC"},
        {18, 1, " Order BY 3 DesC"},
        {21, 0, " ORDER BY 7 ASC"},
        {22, 1, "ORDER BY CAST (PACIENTE.FECHA_NACIMIENTO AS DATE) DesC"},
        {23, 0, "ORDER BY CAST (PACIENTE.FECHA_PRIMERA_VISITA AS DATE) ASC"},
        {24, 1, "ORDER BY CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) DesC"},
        {27, 1, " ORDER BY 27 DesC"},
        {26, 0, " Order BY 3 ASC"},
        {0, 2, " Order BY 3 "},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quill::GenerarSQLOrderConsumo(c.orden, c.sentido), QString::fromUtf8(c.texto))
            << c.orden << "/" << c.sentido;
}

TEST(SentenciaConsumo, Conteo) {
    EXPECT_EQ(quill::GenerarSentenciaConteoConsumo(
                  {fila(1, kApellidos), modo("Total"), fila(452, kImporte)}, kVentas, true),
              "SELECT MVENTA.ID_PACIENTE ID_PACIENTE " + kFromWhere + " AND (" + kApellidos +
                  ") GROUP BY MVENTA.ID_PACIENTE HAVING SUM(MVENTA.LIQUIDO_M1)  > 300");
    EXPECT_EQ(quill::GenerarSentenciaConteoConsumo({fila(452, kImporte)}, kVentas, true),
              "SELECT MVENTA.ID_PACIENTE ID_PACIENTE " + kFromWhere +
                  " AND ( PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND MVENTA.LIQUIDO_M1  > 300) "
                  "GROUP BY MVENTA.ID_PACIENTE ");
}

TEST(SentenciaConsumo, ModoDeLaUltimaFila) {
    EXPECT_EQ(quill::ModoConsumo({}), QString());
    EXPECT_EQ(quill::ModoConsumo({modo("Individual"), fila(1, kApellidos), modo("Total")}),
              QStringLiteral("Total"));
}

TEST(SentenciaConsumo, MovilPropioDelConsumo) {
    const struct {
        const char* telefono;
        const char* movil;
    } casos[] = {
        {"612345678", "612345678"},
        {"612 34 56 78", "612345678"},
        {"6.12.34.56.78", "612345678"},
        {"712345678", ""},  // the General check takes it; this kind does not
        {"6123456789", ""}, // ten digits
        {"61234567", ""},   // eight characters
        {"6-1-2-3-4", ""},  // nine characters, five digits
        {" 612345678", ""}, // the first character is not a 6
        {"+34612345678", ""},
        {"", ""},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quill::ComprobarMovilConsumo(QString::fromUtf8(c.telefono)),
                  QString::fromUtf8(c.movil))
            << c.telefono;
}

// The module reads its condition table (a row being edited included), and `listado sql` gets
// the main and the detail statement.
TEST(TdmConsumoSentencia, DesdeLaTablaDeCondiciones) {
    quill::MemTable condiciones;
    TdmlstPaciente::DefinirCampos(condiciones, 1);
    condiciones.open();
    auto anadir = [&](double id, const QString& valor, const QString& sentencia) {
        condiciones.append();
        condiciones.setValue("Id", id);
        condiciones.setValue("Condicion1", valor);
        condiciones.setValue("Sentencia", sentencia);
        condiciones.post();
    };
    anadir(453, "Total", QString());
    anadir(451, "31/12/2023", kFecha);
    TdmConsumo dm;
    dm.setCondiciones(&condiciones);
    dm.Tablas = kVentas;
    condiciones.append();
    condiciones.setValue("Id", 452.0);
    condiciones.setValue("Sentencia", kImporte);
    const QStringList s = dm.ConstruirSentencias(27, 1, true);
    ASSERT_EQ(s.size(), 2);
    EXPECT_EQ(s[0], kSelect + kFromWhere + " AND (" + kFecha + ")" + kGroupBy +
                        "HAVING SUM(MVENTA.LIQUIDO_M1)  > 300 ORDER BY 27 DesC");
    EXPECT_EQ(s[1], kDetalle + " AND (" + kFecha + ")" + kOrdenDetalle);
    EXPECT_EQ(dm.ConstruirSQL(27, 1, true), s[0]);
    EXPECT_EQ(condiciones.state(), quill::MemTable::State::Insert);
    // Without a connection the run fails cleanly and the detail cannot be opened.
    EXPECT_EQ(dm.GenerarSQLConsumo(0, 0, true), quill::kListadoErrorInterno);
    EXPECT_EQ(dm.Modo(), QStringLiteral("Total"));
    EXPECT_EQ(dm.SentenciaDetalle(), s[1]);
    EXPECT_EQ(dm.AbrirDetalle(1), nullptr);
    EXPECT_FALSE(dm.ErrorDetalle().isEmpty());
    EXPECT_EQ(dm.ContarPacientes(), 0.0);
}

} // namespace
