#include "output/export/columnas.h"

#include "platform/guard.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace quill {

namespace {

using Par = std::pair<const char*, const char*>; // field, caption

ColumnSet columnas(std::initializer_list<Par> pares) {
    ColumnSet out;
    out.reserve(qsizetype(pares.size()));
    for (const auto& [campo, titulo] : pares)
        out.append({QString::fromUtf8(campo), QString::fromUtf8(titulo)});
    return out;
}

bool pide(const QList<double>& ids, std::initializer_list<int> buscados) {
    return std::any_of(ids.begin(), ids.end(), [&](double id) {
        return std::find(buscados.begin(), buscados.end(), id) != buscados.end();
    });
}

// An optional column is shown when any condition asks for it; however many do, it is shown
// once, in its place in the table.
struct Opcional {
    std::initializer_list<int> ids;
    const char* campo;
    const char* titulo;
};

void anadirOpcionales(ColumnSet& cols, const QList<double>& ids,
                      std::initializer_list<Opcional> opcionales) {
    for (const Opcional& o : opcionales)
        if (pide(ids, o.ids))
            cols.append({QString::fromUtf8(o.campo), QString::fromUtf8(o.titulo)});
}

const QString apellidos = QStringLiteral("Apellidos");

} // namespace

ExportColumnSet makeColumnSet(const MemTable& table, const ColumnSet& shown,
                              const QString& sortField) {
    std::vector<int> indices(size_t(table.fieldCount()), -1); // field -> position in shown
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const int f = table.fieldIndex(shown[i].field);
        if (f < 0)
            throw Error(QStringLiteral("La tabla '%1' no tiene el campo '%2'")
                            .arg(table.name(), shown[i].field));
        if (indices[size_t(f)] < 0) indices[size_t(f)] = int(i);
    }
    if (!sortField.isEmpty() && !table.hasField(sortField))
        throw Error(
            QStringLiteral("La tabla '%1' no tiene el campo '%2'").arg(table.name(), sortField));

    ExportColumnSet set;
    set.sortField = sortField;
    for (int f = 0; f < table.fieldCount(); ++f)
        if (indices[size_t(f)] >= 0)
            set.columns.append({table.fieldDef(f).name, shown[indices[size_t(f)]].caption});
    return set;
}

ExportColumnSet ConfigurarGridExpListGeneral(const MemTable& memPacientes,
                                             const QList<double>& idsCondiciones) {
    ColumnSet cols = columnas({{"Codigo", "Codigo"},
                               {"Apellidos", "Apellidos"},
                               {"Nombre", "Nombre"},
                               {"Direccion", "Direccion"},
                               {"CodigoPostal", "Cod. Postal"},
                               {"Localidad", "Localidad"},
                               {"Provincia", "Provincia"},
                               {"Telefono", "Teléfono"},
                               {"Movil", "Tfno. Móvil"},
                               {"Nif", "N.I.F"},
                               {"EMail", "E-Mail"}});
    anadirOpcionales(cols, idsCondiciones,
                     {{{13}, "FNacimiento", "Fecha Nacimiento"},
                      {{15}, "FUltVisita", "Fecha Ult. Visita"},
                      {{14}, "FPriVisita", "Fecha 1ª Visita"},
                      {{19}, "TotalComprado", " Total Comprado"}});
    return makeColumnSet(memPacientes, cols, apellidos);
}

// "Nombre" is the first name (NombreCorto): the table's own Nombre holds the full name and
// comes before Codigo, while the file shows Codigo first.
ExportColumnSet ConfigurarGridExpListGeneralUltimaVisita(const MemTable& memPacientesFecha) {
    return makeColumnSet(memPacientesFecha,
                         columnas({{"Codigo", "Codigo"},
                                   {"NombreCorto", "Nombre"},
                                   {"Apellidos", "Apellidos"},
                                   {"Direccion", "Direccion"},
                                   {"Telefono", "Telefono"},
                                   {"TelefonoMovil", "Tfno. Móvil"},
                                   {"CodigoPostal", "Codigo Postal"},
                                   {"Localidad", "Localidad"},
                                   {"Provincia", "Provincia"},
                                   {"EMail", "Correo Electrónico"},
                                   {"Nif", "N.I.F"},
                                   {"Fecha", "Fecha"}}),
                         apellidos);
}

ExportColumnSet ConfigurarGridExpListConsumo(const MemTable& memPacientes) {
    return makeColumnSet(memPacientes,
                         columnas({{"Codigo", "Codigo"},
                                   {"Apellidos", "Apellidos"},
                                   {"Nombre", "Nombre"},
                                   {"Direccion", "Direccion"},
                                   {"CodigoPostal", "Cod. Postal"},
                                   {"Localidad", "Localidad"},
                                   {"Provincia", "Provincia"},
                                   {"Telefono", "Teléfono"},
                                   {"Movil", "Tfno. Móvil"},
                                   {"Nif", "N.I.F"},
                                   {"EMail", "E-Mail"},
                                   {"Consumo", "Consumo"},
                                   {"NOperaciones", "Nº Operaciones"}}),
                         apellidos);
}

ExportColumnSet ConfigurarGridExpListEncargo(const MemTable& memEncargosPendientes) {
    return makeColumnSet(memEncargosPendientes,
                         columnas({{"Codigo", "Codigo"},
                                   {"Apellidos", "Apellidos"},
                                   {"Nombre", "Nombre"},
                                   {"Direccion", "Direccion"},
                                   {"CodigoPostal", "Cod. Postal"},
                                   {"Localidad", "Localidad"},
                                   {"Provincia", "Provincia"},
                                   {"Nif", "N.I.F"},
                                   {"Telefono", "Teléfono"},
                                   {"Movil", "Tfno. Móvil"},
                                   {"E_Mail", "E-Mail"},
                                   {"DeudaM1", "Deuda"}}),
                         apellidos);
}

// As in the last-visit table, "Nombre" is NombreCorto, between Codigo and Apellidos.
ExportColumnSet ConfigurarGridExpListFechas(const MemTable& memPacientesFecha,
                                            const QList<double>& idsCondiciones) {
    ColumnSet cols = columnas({{"Codigo", "Codigo"},
                               {"NombreCorto", "Nombre"},
                               {"Apellidos", "Apellidos"},
                               {"Direccion", "Direccion"},
                               {"Telefono", "Telefono"},
                               {"TelefonoMovil", "Tfno. Móvil"},
                               {"CodigoPostal", "Codigo Postal"},
                               {"Localidad", "Localidad"},
                               {"Provincia", "Provincia"},
                               {"E_Mail", "Correo Electrónico"},
                               {"Nif", "N.I.F"}});
    anadirOpcionales(cols, idsCondiciones,
                     {{{15, 427, 428, 429}, "UltimaVisita", "Fecha Ult. Visita"},
                      {{14, 421, 422, 423}, "PrimeraVisita", "Fecha 1ª Visita"},
                      {{13, 424, 425, 426}, "Nacimiento", "Fecha Nacimiento"},
                      {{433}, "Fecha", "Fecha"},
                      {{72, 112, 152, 434}, "FechaRevision", "Fecha Revisión"},
                      {{117}, "FechaCaducidad", "Fecha Caducidad"},
                      {{118}, "FechaReposicion", "Fecha Reposición"},
                      {{92, 130, 191, 435}, "FechaGarantia", "Fecha Garantía"}});
    return makeColumnSet(memPacientesFecha, cols, QStringLiteral("NombreCorto"));
}

ExportColumnSet ConfigurarGridExpListReposicion(const MemTable& memReposiciones) {
    return makeColumnSet(memReposiciones,
                         columnas({{"Codigo", "Codigo"},
                                   {"Nombre", "Nombre"},
                                   {"Apellidos", "Apellidos"},
                                   {"Direccion", "Direccion"},
                                   {"CodigoPostal", "Cod. Postal"},
                                   {"Localidad", "Localidad"},
                                   {"Provincia", "Provincia"},
                                   {"Nif", "N.I.F"},
                                   {"Telefono", "Teléfono"},
                                   {"Movil", "Tfno. Móvil"},
                                   {"EMail", "E-Mail"},
                                   {"Fecha", "Fecha"}}),
                         apellidos);
}

ExportColumnSet ConfigurarGridExpListGarantias(const MemTable& memDatos) {
    return makeColumnSet(memDatos,
                         columnas({{"Codigo", "Codigo"},
                                   {"Apellidos", "Apellidos"},
                                   {"Nombre", "Nombre"},
                                   {"Direccion", "Direccion"},
                                   {"CodigoPostal", "Cod. Postal"},
                                   {"Localidad", "Localidad"},
                                   {"Provincia", "Provincia"},
                                   {"Nif", "N.I.F"},
                                   {"Telefono", "Teléfono"},
                                   {"Movil", "Tfno. Móvil"},
                                   {"E_Mail", "E-Mail"},
                                   {"Garantia", "F. Garantía"}}),
                         apellidos);
}

ExportColumnSet ConfigurarGridSMSExpList(const MemTable& memSMS) {
    return makeColumnSet(memSMS, columnas({{"Nombre", "Nombre"}, {"Telefono", "Móvil"}}),
                         QStringLiteral("Nombre"));
}

} // namespace quill
