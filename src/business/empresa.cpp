#include "business/empresa.h"

#include "business/consultas.h"
#include "business/localidades.h"

#include <QSqlQuery>
#include <QStringList>

namespace quill {

QString LeerDatosEmpresa(const QString& conexion, DatosEmpresa& datos) {
    datos = DatosEmpresa();
    QSqlQuery q;
    const QString error = runMasterSelect(
        conexion,
        QStringLiteral("SELECT FIRST 1 NOMBRE, NIF, DIRECCION, ID_LOCALIDAD, TELEFONO, FAX, E_MAIL "
                       "FROM EMPRESA ORDER BY ID_EMPRESA"),
        QStringLiteral("los datos de la empresa"), q);
    if (!error.isEmpty()) return error;
    if (!q.next()) return {};
    datos.nombre = q.value(0).toString().trimmed();
    datos.nif = q.value(1).toString().trimmed();
    datos.direccion = q.value(2).toString().trimmed();
    datos.telefono = q.value(4).toString().trimmed();
    datos.fax = q.value(5).toString().trimmed();
    datos.email = q.value(6).toString().trimmed();
    const int idLocalidad = q.value(3).toInt();
    if (idLocalidad != 0) {
        const auto cache = LocalidadCache::shared(conexion);
        if (const Localidad* l = cache->byId(idLocalidad)) {
            datos.codigoPostal = QStringLiteral("%1").arg(l->codigoPostal, 5, 10, QLatin1Char('0'));
            datos.localidad = l->descripcion;
            datos.provincia = l->provincia;
        }
    }
    return {};
}

QString LeerObservacionesPaciente(const QString& conexion, int idPaciente, QString& notas) {
    notas.clear();
    QSqlQuery q;
    // The id is an integer: it goes into the text as a number.
    const QString error = runMasterSelect(
        conexion,
        QStringLiteral("SELECT OBSERVACIONES FROM POBSERVACIONES WHERE ID_PACIENTE = %1 "
                       "ORDER BY ID_POBSERVACIONES")
            .arg(idPaciente),
        QStringLiteral("las observaciones del paciente"), q);
    if (!error.isEmpty()) return error;
    QStringList partes;
    while (q.next()) {
        const QString t = q.value(0).toString().trimmed();
        if (!t.isEmpty()) partes.append(t);
    }
    notas = partes.join(QLatin1Char('\n'));
    return {};
}

} // namespace quill
