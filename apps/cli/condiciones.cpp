#include "condiciones.h"

#include "actions/registro.h"
#include "conditions/catalogo.h"
#include "conditions/control.h"
#include "conditions/tdmlstpaciente.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "sql/lstbasesentencia.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>

#include <cmath>

namespace quill::cli {

namespace {

const QStringList& clavesAdmitidas() {
    static const QStringList claves = {
        quill::campo::Id,         quill::campo::Condicion,     quill::campo::Condicion1,
        quill::campo::Condicion2, quill::campo::Condicion1Ids, quill::campo::Campo};
    return claves;
}

// A text value of a row: a JSON string, or a number written as the grid would show it.
bool texto(const QJsonObject& o, const QString& clave, QString& valor) {
    const QJsonValue v = o.value(clave);
    if (v.isUndefined() || v.isNull()) {
        valor.clear();
        return true;
    }
    if (v.isString()) {
        valor = v.toString();
        return true;
    }
    if (v.isDouble()) {
        valor = QString::number(v.toDouble(), 'g', 15);
        return true;
    }
    return false;
}

} // namespace

bool CampoNecesitaBase(double id) {
    const CampoEspecial e = CampoEspecialDe(id);
    return e == CampoEspecial::CodigoPostal || e == CampoEspecial::Provincia;
}

QString LeerCondiciones(const QString& fichero, int tipoListado, const QString& carpetaCatalogo,
                        const QString& conexion, CondicionesListado& salida) {
    QFile f(fichero);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("No se puede leer el fichero de condiciones '%1': %2")
            .arg(fichero, f.errorString());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("El fichero de condiciones '%1' no es JSON válido: %2 (posición %3)")
            .arg(fichero, error.errorString())
            .arg(error.offset);
    if (!doc.isArray())
        return QStringLiteral("El fichero de condiciones '%1' debe contener una lista de "
                              "condiciones: [ {\"Id\": ..., \"Condicion\": ..., \"Condicion1\": "
                              "...}, ... ]")
            .arg(fichero);

    MemTable catalogo;
    QString motivo;
    if (CargarCatalogo(catalogo, carpetaCatalogo, tipoListado, &motivo) != kCatalogoCargado)
        return QStringLiteral("No se puede cargar el catálogo de filtros '%1': %2")
            .arg(RutaCatalogo(carpetaCatalogo), motivo);

    salida.tabla = std::make_unique<MemTable>(QStringLiteral("memCondiciones"));
    MemTable& tabla = *salida.tabla;
    TdmlstPaciente::DefinirCampos(tabla, tipoListado);
    tabla.open();
    salida.tablas.clear();
    salida.necesitaBase = false;

    // One controller for every row, as in the window.
    ControlCondiciones control(conexion);
    const QJsonArray filas = doc.array();
    const DescriptorListado* descriptor = Listado(tipoListado);
    const QString listado = descriptor ? descriptor->titulo : QString();
    for (qsizetype n = 0; n < filas.size(); ++n) {
        const QString donde = QStringLiteral("Condición %1 del fichero").arg(n + 1);
        if (!filas.at(n).isObject())
            return donde + QStringLiteral(": no es un objeto JSON ({\"Id\": ..., ...})");
        const QJsonObject o = filas.at(n).toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            if (!clavesAdmitidas().contains(it.key()))
                return donde + QStringLiteral(": campo desconocido '%1' (se admiten %2)")
                                   .arg(it.key(), clavesAdmitidas().join(QStringLiteral(", ")));
        const QJsonValue vid = o.value(quill::campo::Id);
        if (!vid.isDouble() || !std::isfinite(vid.toDouble()))
            return donde + QStringLiteral(": falta 'Id', el número del campo en el catálogo de "
                                          "filtros (Filtros.xml)");
        FilaCondicion fila;
        fila.id = vid.toDouble();
        // A grid row where no field was chosen yet: the window leaves it out of the run too.
        if (fila.id == -1) continue;
        QString ids;
        if (!texto(o, quill::campo::Condicion, fila.condicion) ||
            !texto(o, quill::campo::Condicion1, fila.condicion1) ||
            !texto(o, quill::campo::Condicion2, fila.condicion2) ||
            !texto(o, quill::campo::Condicion1Ids, ids))
            return donde + QStringLiteral(": 'Condicion', 'Condicion1', 'Condicion2' y "
                                          "'Condicion1Ids' deben ser textos");
        if (fila.condicion.isEmpty()) fila.condicion = operador::IgualA;
        if (!operador::Todos.contains(fila.condicion))
            return donde + QStringLiteral(": operador desconocido '%1'. Escríbalo como en la "
                                          "rejilla: \"%2\"")
                               .arg(fila.condicion, operador::Todos.join(QStringLiteral("\", \"")));
        if (fila.condicion != operador::Entre) fila.condicion2.clear();

        if (BuscarEnCatalogo(catalogo, fila.id) != kEntradaEncontrada)
            return donde + QStringLiteral(": el campo %1 no existe en el catálogo del listado %2")
                               .arg(QString::number(fila.id, 'g', 15), listado);
        if (CampoNecesitaBase(fila.id)) {
            salida.necesitaBase = true;
            if (conexion.isEmpty())
                return donde + QStringLiteral(": el campo %1 busca localidades en la base de "
                                              "datos de la tienda: indique '--db'")
                                   .arg(QString::number(fila.id, 'g', 15));
        }

        // The ids the value editors would have chosen.
        control.Lista.clear();
        for (const QString& id : ids.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!id.trimmed().isEmpty()) control.Lista.append(id.trimmed());

        // The row as the grid holds it before its post, then built by the window's own path.
        tabla.append();
        tabla.setValue(campo::Id, fila.id);
        tabla.setValue(campo::IdGrupo, catalogo.value(QStringLiteral("IDGRUPO")));
        tabla.setValue(campo::Campo, catalogo.value(QStringLiteral("CAMPO")));
        tabla.setValue(campo::Condicion, fila.condicion);
        tabla.setValue(campo::TipoCondicion, catalogo.value(QStringLiteral("TIPOCAMPO")));
        tabla.setValue(campo::TipoObjeto, catalogo.value(QStringLiteral("TIPOOBJETO")));
        tabla.setValue(campo::Condicion1, fila.condicion1);
        tabla.setValue(campo::Condicion2, fila.condicion2);
        tabla.setValue(campo::Contador, -1);
        tabla.setValue(campo::Condicion1Ids, ids);
        const ResultadoCondicion r = control.AntesDePostear(tabla);
        if (r.codigo != kCondicionConstruida) {
            tabla.cancel();
            QString mensaje = donde + QStringLiteral(": ") + r.mensaje;
            if (!r.detalle.isEmpty() && r.detalle != r.mensaje)
                mensaje += QLatin1Char('\n') + r.detalle;
            return mensaje;
        }
        tabla.post();
    }
    // The window's own check before an action, on the whole table.
    const QString rechazo = control.Validar(tabla);
    if (!rechazo.isEmpty()) return rechazo;
    salida.tablas = control.Tablas(tabla);
    salida.parametros = control.Parametros;
    return QString();
}

} // namespace quill::cli
