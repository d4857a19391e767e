// The statement of the Replacements listing, compared as a whole text: the supplier sub-selects,
// the lens lines in FROM, no partition, the rows that take no part, "all" and "any" (EXISTS for
// a condition on a table of its own) and the ORDER of every order code in both directions.

#include "queries/sentenciareposiciones.h"
#include "queries/tdmreposiciones.h"

#include <gtest/gtest.h>

using quill::FilaCondicion;

namespace {

const QString kSelect = QStringLiteral(
    "SELECT PACIENTE.ID_PACIENTE, PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO, "
    "CAST(MLENTILLA.FECHA_REPOSICION AS DATE) FECHA_REPOSICION, MLENTILLA.OD_RADIO_1, "
    "MLENTILLA.OD_RADIO_2, MLENTILLA.OI_RADIO_1, MLENTILLA.OI_RADIO_2, MLENTILLA.OD_ESFERA, "
    "MLENTILLA.OI_ESFERA, MLENTILLA.OD_CILINDRO, MLENTILLA.OI_CILINDRO,MLENTILLA.OD_EJE, "
    "MLENTILLA.OI_EJE, MLENTILLA.OD_DIAMETRO, MLENTILLA.OI_DIAMETRO, DLENTILLA.ID_TLENTILLA, "
    "DLENTILLA.REFERENCIA, DLENTILLA.DESCRIPCION, DLENTILLA.OJO, (Select PROVEEDOR.NOMBRE from "
    "PROVEEDOR, ARTICULO where PROVEEDOR.ID_PROVEEDOR = ARTICULO.ID_PROVEEDOR AND "
    "ARTICULO.REFERENCIA = DLENTILLA.REFERENCIA) NOMBRE_PROVEEDOR, (select PROVEEDOR.CODIGO from "
    "PROVEEDOR, ARTICULO where PROVEEDOR.ID_PROVEEDOR = ARTICULO.ID_PROVEEDOR AND "
    "ARTICULO.REFERENCIA = DLENTILLA.REFERENCIA) CODIGO_PROVEEDOR, MLENTILLA.NUMERO_FICHA, "
    "PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, PACIENTE.DIRECCION, "
    "PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, PACIENTE.TELEFONO_MOVIL, PACIENTE.NIF, "
    "PACIENTE.SEXO, PACIENTE.PROFESION, PACIENTE.VIENE_POR, CAST(PACIENTE.FECHA_NACIMIENTO AS "
    "DATE) FECHA_NACIMIENTO, CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET "
    "AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, PACIENTE.CORREO, "
    "PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, "
    "PACIENTE.FOTOGRAFIA, PACIENTE.E_MAIL, PACIENTE.WEB, MLENTILLA.ID_MLENTILLA ");
const QString kFrom = QStringLiteral(" FROM PACIENTE, MLENTILLA, DLENTILLA ");
const QString kWhere = QStringLiteral(
    " Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND PACIENTE.ID_PACIENTE = "
    "MLENTILLA.ID_PACIENTE AND MLENTILLA.ID_MLENTILLA = DLENTILLA.ID_MLENTILLA ");

const QString kApellidos = QStringLiteral("UPPER(PACIENTE.APELLIDOS) starting with 'GAR'");
const QString kReposicion = QStringLiteral(
    "CAST(MLENTILLA.FECHA_REPOSICION AS DATE) != '12/30/1899' AND "
    "CAST(MLENTILLA.FECHA_REPOSICION AS DATE) BETWEEN '01/01/2025' AND '06/30/2025'");
const QString kTipoLentilla = QStringLiteral(" (DLENTILLA.ID_TLENTILLA  = 1)");
const QString kNota = QStringLiteral(
    "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And UPPER(POBSERVACIONES.OBSERVACIONES) "
    "containing 'ALE'");

FilaCondicion fila(double id, const QString& sentencia, const QString& valor = QString()) {
    FilaCondicion f;
    f.id = id;
    f.sentencia = sentencia;
    f.condicion1 = valor;
    return f;
}

TEST(SentenciaReposiciones, Condiciones) {
    struct Caso {
        const char* nombre;
        QList<FilaCondicion> filas;
        QStringList tablas;
        bool todas;
        QString esperado; // FROM + WHERE
    };
    const QList<Caso> casos = {
        {"sin condiciones", {}, {}, true, kFrom + kWhere},
        // The last-record choice and the lens type take no part; nor do blank rows.
        {"55, 482 y filas vacías",
         {fila(55, "x", "Última"), fila(482, kTipoLentilla), fila(-1, {}), fila(1, " "),
          fila(481, kReposicion)},
         {"MLENTILLA"},
         true,
         kFrom + kWhere + " AND (" + kReposicion + ")"},
        {"todas con notas",
         {fila(1, kApellidos), fila(23, kNota), fila(481, kReposicion)},
         {"PACIENTE", "POBSERVACIONES", "MLENTILLA"},
         true,
         kFrom + ", POBSERVACIONES" + kWhere + " AND (" + kApellidos + ") AND (" + kNota +
             ") AND (" + kReposicion + ")"},
        {"cualquiera sobre la base",
         {fila(1, kApellidos), fila(481, kReposicion)},
         {"PACIENTE", "MLENTILLA"},
         false,
         kFrom + kWhere + " AND ((" + kApellidos + ") OR (" + kReposicion + "))"},
        {"cualquiera con notas",
         {fila(23, kNota), fila(481, kReposicion)},
         {"PACIENTE", "POBSERVACIONES", "MLENTILLA"},
         false,
         kFrom + kWhere + " AND ((EXISTS (SELECT 1 FROM POBSERVACIONES WHERE " + kNota + ")) OR (" +
             kReposicion + "))"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        EXPECT_EQ(quill::GenerarSentenciaReposiciones({c.filas, c.tablas}, 3, 0, c.todas),
                  kSelect + c.esperado + " Order BY 21 ASC, MLENTILLA.FECHA_REPOSICION ");
    }
}

TEST(SentenciaReposiciones, Orden) {
    const struct {
        qint16 orden, sentido;
        const char* texto;
    } casos[] = {
        {3, 0, " Order BY 21 ASC"},    {3, 1, " Order BY 21 DesC"}, {18, 0, " Order BY  22 ASC"},
        {18, 1, " Order BY  22 DesC"}, {21, 0, " Order BY 21 ASC"}, {21, 1, " Order BY 21 DesC"},
        {0, 1, " Order BY 21 DesC"},   {18, 5, " Order BY  22"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.texto);
        EXPECT_EQ(quill::GenerarSentenciaReposiciones({}, c.orden, c.sentido, true),
                  kSelect + kFrom + kWhere + QString::fromLatin1(c.texto) +
                      ", MLENTILLA.FECHA_REPOSICION ");
    }
    // The module gives the same one statement, whatever partition it was handed.
    TdmReposiciones dm;
    dm.AsignarParticion("no es un número");
    EXPECT_EQ(
        dm.ConstruirSentencias(18, 1, false),
        QStringList{kSelect + kFrom + kWhere + " Order BY  22 DesC, MLENTILLA.FECHA_REPOSICION "});
}

} // namespace
