#include "catalogo.h"

#include "platform/datapacket.h"
#include "platform/guard.h"
#include "platform/memtable.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <exception>

namespace quill {

namespace {

const QString kId = QStringLiteral("ID");
const QString kIdGrupo = QStringLiteral("IDGRUPO");

// Entries of a packet must at least say which field they are and where they belong.
bool esNumerico(const FieldDef& def) {
    switch (def.type) {
    case FieldType::Float:
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::Currency:
        return true;
    default:
        return false;
    }
}

QString comprobarEstructura(const QByteArray& xml, const QString& ruta) {
    MemTable prueba;
    const QString error = readDataPacket(prueba, xml, PacketFields::FromPacket);
    if (!error.isEmpty()) return error;
    for (const QString& campo : {kId, kIdGrupo}) {
        const int i = prueba.fieldIndex(campo);
        if (i < 0 || !esNumerico(prueba.fieldDef(i)))
            return QStringLiteral("El catálogo '%1' no tiene el campo numérico %2")
                .arg(ruta, campo);
    }
    return QString();
}

QString cargar(MemTable& tabla, const QString& ruta) {
    QFile fichero(ruta);
    if (!fichero.exists()) return QStringLiteral("No existe el catálogo de filtros '%1'").arg(ruta);
    if (!fichero.open(QIODevice::ReadOnly))
        return QStringLiteral("No se puede leer el catálogo de filtros '%1': %2")
            .arg(ruta, fichero.errorString());
    const QByteArray xml = fichero.readAll();
    if (QString error = comprobarEstructura(xml, ruta); !error.isEmpty()) return error;
    return readDataPacket(tabla, xml, PacketFields::FromTable);
}

// After a failure the grid still needs an open table; it just offers no fields.
void dejarVacia(MemTable& tabla) {
    try {
        tabla.close();
        if (tabla.fieldCount() == 0) DefinirCamposCatalogo(tabla);
        tabla.open();
    } catch (const std::exception&) {
        // A table that cannot even be reopened stays closed; the caller already reports -1.
    }
}

} // namespace

void DefinirCamposCatalogo(MemTable& cdsFiltros) {
    cdsFiltros.clearFields();
    cdsFiltros.addField(kId, FieldType::Float, 0, true);
    cdsFiltros.addField(kIdGrupo, FieldType::Float, 0, true);
    cdsFiltros.addField(QStringLiteral("GRUPO"), FieldType::String, 50);
    cdsFiltros.addField(QStringLiteral("CAMPO"), FieldType::String, 50);
    cdsFiltros.addField(QStringLiteral("TIPOCAMPO"), FieldType::SmallInt);
    cdsFiltros.addField(QStringLiteral("TIPOOBJETO"), FieldType::SmallInt);
    cdsFiltros.addField(QStringLiteral("MASCARA"), FieldType::String, 25);
    cdsFiltros.addField(QStringLiteral("DESCRIPCION"), FieldType::String, 500);
}

QList<int> GruposCatalogo(int tipoListado) {
    switch (tipoListado) {
    case 0: // General
        return {0, 1, 2, 3, 4, 5, 6, 7, 14};
    case 1: // Consumo
        return {0, 9, 14};
    case 2: // Encargos Pendientes
        return {0, 13, 14};
    case 3: // Fechas
        return {0, 1, 2, 3, 4, 5, 6, 7, 8, 14};
    case 4: // Prescripciones al CNOO
        return {0, 10};
    case 5: // Reposiciones
        return {0, 11};
    case 6: // Garantías
        return {15};
    default:
        return {};
    }
}

QString FiltroCatalogo(int tipoListado) {
    QStringList partes;
    for (int grupo : GruposCatalogo(tipoListado))
        partes << QStringLiteral("IDGRUPO = %1").arg(grupo);
    return partes.join(QStringLiteral(" Or "));
}

QString RutaCatalogo(const QString& carpeta) {
    return carpeta + QDir::separator() + QLatin1String(kFicheroCatalogo);
}

int CargarCatalogo(MemTable& cdsFiltros, const QString& carpeta, int tipoListado, QString* motivo) {
    QString error;
    try {
        cdsFiltros.close();
        if (cdsFiltros.fieldCount() == 0) DefinirCamposCatalogo(cdsFiltros);
        cdsFiltros.setIndexFieldNames(kIdGrupo);
        const QString filtro = FiltroCatalogo(tipoListado);
        if (filtro.isEmpty()) {
            cdsFiltros.setFiltered(false);
        } else {
            error = cdsFiltros.setFilterText(filtro);
            cdsFiltros.setFiltered(error.isEmpty());
        }
        if (error.isEmpty()) {
            cdsFiltros.open();
            error = cargar(cdsFiltros, RutaCatalogo(carpeta));
        }
    } catch (const Error& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    if (error.isEmpty()) {
        cdsFiltros.first();
        return kCatalogoCargado;
    }
    dejarVacia(cdsFiltros);
    if (motivo) *motivo = error;
    return kCatalogoNoCargado;
}

int BuscarEnCatalogo(MemTable& cdsFiltros, double id) {
    try {
        if (cdsFiltros.isOpen() && cdsFiltros.locate(kId, id)) return kEntradaEncontrada;
    } catch (const std::exception&) {
        // A table without an ID field has no entry to find.
    }
    return kEntradaNoEncontrada;
}

} // namespace quill
