// Statements of the Pending orders listing, compared as whole texts: the orders statement with
// "all" and "any" (EXISTS for a condition on the sale lines), every order code in both
// directions, the rows that take no part, the partition, and the detail statement; then the debt
// test the module applies to the folded patients.

#include "conditions/tdmlstpaciente.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/sentenciaencargo.h"
#include "queries/tdmencargo.h"

#include <gtest/gtest.h>

using quill::FilaCondicion;

namespace {

// The documented texts, written out on their own so that a slip in the module shows.
const QString kSelect = QStringLiteral(
    "SELECT PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.NOMBRE_COMPLETO, PACIENTE.DIRECCION, "
    "MVENTA.ID_MVENTA, PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, PACIENTE.APELLIDOS, "
    "PACIENTE.NOMBRE, PACIENTE.TELEFONO_MOVIL, PACIENTE.NIF, PACIENTE.SEXO, PACIENTE.PROFESION, "
    "PACIENTE.VIENE_POR, CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, "
    "CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET "
    "AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, PACIENTE.CORREO, "
    "PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, "
    "PACIENTE.FOTOGRAFIA, PACIENTE.E_MAIL, PACIENTE.WEB, MVENTA.LIQUIDO_M1, (Select "
    "SUM(COBRO.IMPORTE_M1) from COBRO where COBRO.ID_MVENTA = MVENTA.ID_MVENTA) COBROS_M1, "
    "MVENTA.LIQUIDO_M2, (Select SUM(COBRO.IMPORTE_M2) from COBRO where COBRO.ID_MVENTA = "
    "MVENTA.ID_MVENTA) COBROS_M2 ");

QString where(const QString& particion = QStringLiteral("1")) {
    return " Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND PACIENTE.LICENCIA = " +
           particion +
           " AND PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND MVENTA.TIPO_OPERACION = 2 ";
}

// Fragments as the sentence builder gives them for this kind's fields.
const QString kApellidos = QStringLiteral("UPPER(PACIENTE.APELLIDOS) starting with 'GAR'");
const QString kFechaDocumento = QStringLiteral(
    "PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND CAST(MVENTA.FECHA AS DATE) != '12/30/1899' "
    "AND CAST(MVENTA.FECHA AS DATE) > '01/01/2024'");
const QString kReferencia =
    QStringLiteral(" PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND MVENTA.TIPO_OPERACION != 3 AND "
                   "MVENTA.ID_MVENTA = DVENTA.ID_MVENTA  AND DVENTA.REFERENCIA starting with 'LC'");
const QString kNota = QStringLiteral(
    "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And UPPER(POBSERVACIONES.OBSERVACIONES) "
    "containing 'ALE'");

FilaCondicion fila(double id, const QString& sentencia, const QString& condicion = QString(),
                   const QString& valor = QString()) {
    FilaCondicion f;
    f.id = id;
    f.sentencia = sentencia;
    f.condicion = condicion;
    f.condicion1 = valor;
    return f;
}

QString generar(const QList<FilaCondicion>& filas, const QStringList& tablas, bool todas,
                qint16 orden = 18, qint16 sentido = 0,
                const QString& particion = QStringLiteral("1")) {
    return quill::GenerarSentenciaEncargo({filas, tablas, particion}, orden, sentido, todas);
}

TEST(SentenciaEncargo, Condiciones) {
    const QStringList pacienteVenta{"MVENTA", "PACIENTE"};
    const QStringList conLineas{"MVENTA", "PACIENTE", "DVENTA"};
    const QStringList conNotas{"PACIENTE", "POBSERVACIONES"};
    const QString base = " FROM PACIENTE, MVENTA ";
    struct Caso {
        const char* nombre;
        QList<FilaCondicion> filas;
        QStringList tablas;
        bool todas;
        QString esperado; // FROM + WHERE, without the SELECT and the ORDER
    };
    const QList<Caso> casos = {
        {"sin condiciones", {}, {}, true, base + where()},
        // The debt is applied after the run; a blank row and an empty fragment add nothing.
        {"deuda, fila vacía y fragmento vacío",
         {fila(552, {}, "Mayor que...", "50"), fila(-1, {}), fila(1, "  "), fila(1, kApellidos)},
         {"PACIENTE"},
         true,
         base + where() + " AND (" + kApellidos + ")"},
        {"todas, con las líneas en FROM",
         {fila(551, kFechaDocumento), fila(572, kReferencia)},
         conLineas,
         true,
         base + ", DVENTA" + where() + " AND (" + kFechaDocumento + ") AND (" + kReferencia + ")"},
        {"cualquiera sobre la base: un solo FROM",
         {fila(1, kApellidos), fila(551, kFechaDocumento)},
         pacienteVenta,
         false,
         base + where() + " AND ((" + kApellidos + ") OR (" + kFechaDocumento + "))"},
        // Each alternative on a table of its own asks with EXISTS; the base stays alone in FROM.
        {"cualquiera con líneas y notas",
         {fila(1, kApellidos), fila(572, kReferencia), fila(23, kNota)},
         conLineas + conNotas,
         false,
         base + where() + " AND ((" + kApellidos + ") OR (EXISTS (SELECT 1 FROM DVENTA WHERE " +
             kReferencia + ")) OR (EXISTS (SELECT 1 FROM POBSERVACIONES WHERE " + kNota + ")))"},
        // One condition: nothing to choose between, its table is joined.
        {"cualquiera con una sola condición",
         {fila(572, kReferencia), fila(552, {}, "Igual a...", "0")},
         conLineas,
         false,
         base + ", DVENTA" + where() + " AND (" + kReferencia + ")"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        EXPECT_EQ(generar(c.filas, c.tablas, c.todas), kSelect + c.esperado + " Order BY 3 ASC");
    }
}

TEST(SentenciaEncargo, Orden) {
    const struct {
        qint16 orden, sentido;
        const char* texto;
    } casos[] = {
        {3, 0, " Order BY 2 ASC"},   {3, 1, " Order BY 2 DesC"},  {18, 0, " Order BY 3 ASC"},
        {18, 1, " Order BY 3 DesC"}, {21, 0, " ORDER BY 4 ASC"},  {21, 1, " ORDER BY 4 DesC"},
        {0, 0, " Order BY 3 ASC"},   {26, 1, " Order BY 3 DesC"}, {3, 2, " Order BY 2 "},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.texto);
        EXPECT_EQ(generar({}, {}, true, c.orden, c.sentido),
                  kSelect + " FROM PACIENTE, MVENTA " + where() + QString::fromLatin1(c.texto));
    }
}

TEST(SentenciaEncargo, ParticionNoEntera) {
    for (const char* mala : {"", "1 OR 1=1", "1.5", "uno"}) {
        SCOPED_TRACE(mala);
        EXPECT_THROW(generar({}, {}, true, 0, 0, QString::fromLatin1(mala)), quill::Error);
    }
    EXPECT_EQ(generar({}, {}, true, 3, 0, "-2"),
              kSelect + " FROM PACIENTE, MVENTA " + where("-2") + " Order BY 2 ASC");
    TdmEncargo dm;
    dm.AsignarParticion("1;");
    EXPECT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoErrorInterno);
    EXPECT_TRUE(dm.ErrorSQL().contains("partición"));
    EXPECT_EQ(dm.ContarPacientes(), 0.0);
}

// The module reads its condition table and gives the orders statement, then the detail.
TEST(SentenciaEncargo, ModuloConDetalle) {
    quill::MemTable condiciones;
    TdmlstPaciente::DefinirCampos(condiciones, 2);
    condiciones.open();
    for (const FilaCondicion& f :
         {fila(552, {}, "Mayor que...", "50"), fila(551, kFechaDocumento)}) {
        condiciones.append();
        condiciones.setValue("Id", f.id);
        condiciones.setValue("Condicion", f.condicion);
        condiciones.setValue("Condicion1", f.condicion1);
        condiciones.setValue("Sentencia", f.sentencia);
        condiciones.post();
    }
    TdmEncargo dm;
    dm.setCondiciones(&condiciones);
    dm.Tablas = {"MVENTA", "PACIENTE"};
    dm.AsignarParticion("3");
    const QStringList s = dm.ConstruirSentencias(21, 1, true);
    ASSERT_EQ(s.size(), 2);
    EXPECT_EQ(s[0], kSelect + " FROM PACIENTE, MVENTA " + where("3") + " AND (" + kFechaDocumento +
                        ") ORDER BY 4 DesC");
    EXPECT_EQ(s[1],
              "SELECT CAST(MVENTA.FECHA AS DATE) FECHA, MVENTA.N_TALON, MVENTA.TERMINADO, "
              "MVENTA.RECOGIDO, MVENTA.LIQUIDO_M1, MVENTA.LIQUIDO_M2, "
              "MVENTA.PORCENTAJE_DESCUENTO, (Select SUM(COBRO.IMPORTE_M1) from COBRO where "
              "COBRO.ID_MVENTA = MVENTA.ID_MVENTA) COBROS_M1, (Select SUM(COBRO.IMPORTE_M2) "
              "from COBRO where COBRO.ID_MVENTA = MVENTA.ID_MVENTA) COBROS_M2  FROM MVENTA WHERE "
              "MVENTA.ID_PACIENTE = :ID_PACIENTE AND MVENTA.TIPO_OPERACION = 2 Order BY FECHA");
    EXPECT_EQ(s[0], dm.ConstruirSQL(21, 1, true));
}

// The kept-when table, compared to the cent.
TEST(SentenciaEncargo, DeudaConservada) {
    const struct {
        const char* operador;
        double v1, v2;
        double deuda;
        bool conservada;
    } casos[] = {
        {"Igual a...", 50, -1, 50, true},
        {"Igual a...", 50, -1, 50.01, false},
        {"Igual a...", 0.1 + 0.2, -1, 0.3, true}, // sums that miss by a hair are the same cents
        {"Distinto de...", 50, -1, 50, false},
        {"Mayor que...", 50, -1, 50, true}, // the bound itself is kept
        {"Mayor que...", 50, -1, 49.99, false},
        {"Menor que...", 50, -1, 50, true},
        {"Menor que...", 50, -1, 50.01, false},
        {"Menor que...", 0, -1, -10, true}, // paid more than owed
        {"...Entre...", 10, 20, 10, true},
        {"...Entre...", 10, 20, 20, true},
        {"...Entre...", 10, 20, 20.01, false},
        {"...Entre...", 20, 10, 15, false}, // bounds the wrong way round keep nobody
        {"Vacío", 50, -1, 0, true},
        {"", 50, -1, 1e6, true},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.operador) + " " + std::to_string(c.deuda));
        EXPECT_EQ(quill::DeudaConservada({QString::fromUtf8(c.operador), c.v1, c.v2},
                                         quill::Centimos(c.deuda)),
                  c.conservada);
    }
    EXPECT_EQ(quill::Centimos(100 - 30 + 100 - 50), 12000);
    EXPECT_EQ(quill::Centimos(-0.005), -1); // half a cent rounds away from zero
}

} // namespace
