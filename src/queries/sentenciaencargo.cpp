#include "queries/sentenciaencargo.h"

#include "platform/guard.h"
#include "queries/listingmodule.h"
#include "queries/sentenciageneral.h"
#include "sql/lstbasesentencia.h"

#include <QRegularExpression>

#include <cmath>

namespace quill {

namespace {

const QString kSelect = QStringLiteral(
    "SELECT PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.NOMBRE_COMPLETO, PACIENTE.DIRECCION, "
    "MVENTA.ID_MVENTA, PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, "
    "PACIENTE.APELLIDOS, PACIENTE.NOMBRE, PACIENTE.TELEFONO_MOVIL, PACIENTE.NIF, PACIENTE.SEXO, "
    "PACIENTE.PROFESION, PACIENTE.VIENE_POR, CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) "
    "FECHA_NACIMIENTO, "
    "CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, "
    "CAST(PACIENTE.FECHA_CARNET AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, "
    "PACIENTE.CORREO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, PACIENTE.FOTOGRAFIA, PACIENTE.E_MAIL, "
    "PACIENTE.WEB, "
    "MVENTA.LIQUIDO_M1, (Select SUM(COBRO.IMPORTE_M1) from COBRO where COBRO.ID_MVENTA = "
    "MVENTA.ID_MVENTA) COBROS_M1, "
    "MVENTA.LIQUIDO_M2, (Select SUM(COBRO.IMPORTE_M2) from COBRO where COBRO.ID_MVENTA = "
    "MVENTA.ID_MVENTA) COBROS_M2 ");

const QString kFrom = QStringLiteral(" FROM PACIENTE, MVENTA ");

const QString kDetalle = QStringLiteral(
    "SELECT CAST(MVENTA.FECHA AS DATE) FECHA, MVENTA.N_TALON, MVENTA.TERMINADO, MVENTA.RECOGIDO, "
    "MVENTA.LIQUIDO_M1, MVENTA.LIQUIDO_M2, MVENTA.PORCENTAJE_DESCUENTO, "
    "(Select SUM(COBRO.IMPORTE_M1) from COBRO where COBRO.ID_MVENTA = MVENTA.ID_MVENTA) "
    "COBROS_M1, "
    "(Select SUM(COBRO.IMPORTE_M2) from COBRO where COBRO.ID_MVENTA = MVENTA.ID_MVENTA) "
    "COBROS_M2 "
    " FROM MVENTA "
    "WHERE MVENTA.ID_PACIENTE = :ID_PACIENTE AND MVENTA.TIPO_OPERACION = 2 Order BY FECHA");

} // namespace

CondicionesUnidas UnirCondiciones(const QList<FilaCondicion>& filas, const QStringList& base,
                                  const QStringList& tablas, bool todas) {
    auto fuera = [&](const FilaCondicion& f) {
        QStringList t = TablasDeSentencia(f.sentencia, tablas);
        t.removeIf([&](const QString& tabla) { return base.contains(tabla); });
        return t;
    };
    // With "any", a condition on tables of its own asks for one of their rows: joined in FROM,
    // those tables would multiply the other alternatives' rows or, empty, list nobody.
    bool separar = false;
    if (!todas && filas.size() > 1)
        for (const FilaCondicion& f : filas)
            if (!fuera(f).isEmpty()) separar = true;
    CondicionesUnidas r;
    r.tablas = separar ? QStringList() : tablas;
    const bool alguna = !todas && filas.size() > 1;
    for (int i = 0; i < filas.size(); ++i) {
        const FilaCondicion& f = filas.at(i);
        const QStringList propias = separar ? fuera(f) : QStringList();
        const QString texto = propias.isEmpty()
                                  ? f.sentencia
                                  : QStringLiteral("EXISTS (SELECT 1 FROM ") +
                                        propias.join(QStringLiteral(", ")) +
                                        QStringLiteral(" WHERE ") + f.sentencia + QLatin1Char(')');
        // The fixed part before is never empty: the first condition always joins with AND.
        r.where += i == 0 || todas ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        if (i == 0 && alguna) r.where += QLatin1Char('(');
        r.where += QLatin1Char('(') + texto + QLatin1Char(')');
    }
    if (alguna) r.where += QLatin1Char(')');
    return r;
}

QString OrdenEncargo(qint16 orden, qint16 sentido) {
    // Column 7 of this statement is the telephone: the address is column 4.
    const QString texto =
        orden == 21 ? QStringLiteral(" ORDER BY 4 ") : ListingModule::OrdenBase(orden);
    return texto + ListingModule::SentidoOrden(sentido);
}

QString GenerarSentenciaEncargo(const DatosSentenciaEncargo& datos, qint16 orden, qint16 sentido,
                                bool todas) {
    // The partition goes into the statement as it is: it must be an integer.
    static const QRegularExpression entero(QStringLiteral("^-?[0-9]{1,9}$"));
    if (!entero.match(datos.particion).hasMatch())
        throw Error(QStringLiteral("El valor de la partición de datos no es un número entero: '%1'")
                        .arg(datos.particion));
    QList<FilaCondicion> filas;
    for (const FilaCondicion& f : datos.filas) {
        const int id = f.idEntero();
        // 552 is the debt, applied to the folded patients; -1 is a blank row.
        if (id == 552 || id == -1 || f.sentencia.trimmed().isEmpty()) continue;
        filas.append(f);
    }
    const CondicionesUnidas c = UnirCondiciones(
        filas, {QStringLiteral("PACIENTE"), QStringLiteral("MVENTA")}, datos.tablas, todas);
    const QString where =
        QStringLiteral(" Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND "
                       "PACIENTE.LICENCIA = ") +
        datos.particion +
        QStringLiteral(" AND PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND MVENTA.TIPO_OPERACION = "
                       "2 ") +
        c.where;
    return kSelect + ListingModule::GenerarSQLFrom(kFrom, c.tablas) + where +
           OrdenEncargo(orden, sentido);
}

QString SentenciaDetalleEncargo() {
    return kDetalle;
}

qint64 Centimos(double importe) {
    return std::llround(importe * 100.0);
}

bool DeudaConservada(const CondicionDeuda& c, qint64 deuda) {
    const qint64 v1 = Centimos(c.valor1);
    if (c.operador == operador::IgualA) return deuda == v1;
    if (c.operador == operador::DistintoDe) return deuda != v1;
    if (c.operador == operador::MayorQue) return deuda >= v1;
    if (c.operador == operador::MenorQue) return deuda <= v1;
    if (c.operador == operador::Entre) return v1 <= deuda && deuda <= Centimos(c.valor2);
    return true;
}

} // namespace quill
