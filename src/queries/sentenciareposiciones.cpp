#include "queries/sentenciareposiciones.h"

#include "queries/listingmodule.h"
#include "queries/sentenciaencargo.h"

namespace quill {

namespace {

const QString kSelect = QStringLiteral(
    "SELECT PACIENTE.ID_PACIENTE, PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO, "
    "CAST(MLENTILLA.FECHA_REPOSICION AS DATE) FECHA_REPOSICION, MLENTILLA.OD_RADIO_1, "
    "MLENTILLA.OD_RADIO_2, "
    "MLENTILLA.OI_RADIO_1, MLENTILLA.OI_RADIO_2, MLENTILLA.OD_ESFERA, MLENTILLA.OI_ESFERA, "
    "MLENTILLA.OD_CILINDRO, "
    "MLENTILLA.OI_CILINDRO,MLENTILLA.OD_EJE, MLENTILLA.OI_EJE, MLENTILLA.OD_DIAMETRO, "
    "MLENTILLA.OI_DIAMETRO, "
    "DLENTILLA.ID_TLENTILLA, DLENTILLA.REFERENCIA, DLENTILLA.DESCRIPCION, DLENTILLA.OJO, "
    "(Select PROVEEDOR.NOMBRE from PROVEEDOR, ARTICULO where PROVEEDOR.ID_PROVEEDOR = "
    "ARTICULO.ID_PROVEEDOR AND ARTICULO.REFERENCIA = DLENTILLA.REFERENCIA) NOMBRE_PROVEEDOR, "
    "(select PROVEEDOR.CODIGO from PROVEEDOR, ARTICULO where PROVEEDOR.ID_PROVEEDOR = "
    "ARTICULO.ID_PROVEEDOR AND ARTICULO.REFERENCIA = DLENTILLA.REFERENCIA) CODIGO_PROVEEDOR, "
    "MLENTILLA.NUMERO_FICHA, "
    "PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, PACIENTE.DIRECCION, "
    "PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, PACIENTE.TELEFONO_MOVIL, PACIENTE.NIF, "
    "PACIENTE.SEXO, PACIENTE.PROFESION, PACIENTE.VIENE_POR, "
    "CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, "
    "CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, "
    "CAST(PACIENTE.FECHA_CARNET AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, "
    "PACIENTE.CORREO, PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, "
    "PACIENTE.FOTOGRAFIA, PACIENTE.E_MAIL, PACIENTE.WEB, "
    "MLENTILLA.ID_MLENTILLA ");

// The lens lines are named too: the SELECT and WHERE read them.
const QString kFrom = QStringLiteral(" FROM PACIENTE, MLENTILLA, DLENTILLA ");

// Every partition: no LICENCIA filter.
const QString kWhere = QStringLiteral(
    " Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND PACIENTE.ID_PACIENTE = "
    "MLENTILLA.ID_PACIENTE AND MLENTILLA.ID_MLENTILLA = DLENTILLA.ID_MLENTILLA ");

} // namespace

QString OrdenReposiciones(qint16 orden, qint16 sentido) {
    QString texto = orden == 18 ? QStringLiteral(" Order BY  22") : QStringLiteral(" Order BY 21");
    if (sentido == 0)
        texto += QStringLiteral(" ASC");
    else if (sentido == 1)
        texto += QStringLiteral(" DesC");
    return texto + QStringLiteral(", MLENTILLA.FECHA_REPOSICION ");
}

QString GenerarSentenciaReposiciones(const DatosSentenciaReposiciones& datos, qint16 orden,
                                     qint16 sentido, bool todas) {
    QList<FilaCondicion> filas;
    for (const FilaCondicion& f : datos.filas) {
        const int id = f.idEntero();
        // 55 (last record) and 482 (lens type) take no part in this kind.
        if (id == 55 || id == 482 || id == -1 || f.sentencia.trimmed().isEmpty()) continue;
        filas.append(f);
    }
    const CondicionesUnidas c = UnirCondiciones(
        filas,
        {QStringLiteral("PACIENTE"), QStringLiteral("MLENTILLA"), QStringLiteral("DLENTILLA")},
        datos.tablas, todas);
    return kSelect + ListingModule::GenerarSQLFrom(kFrom, c.tablas) + kWhere + c.where +
           OrdenReposiciones(orden, sentido);
}

} // namespace quill
