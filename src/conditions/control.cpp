#include "conditions/control.h"

#include "platform/memtable.h"

namespace quill {

ControlCondiciones::ControlCondiciones(const QString& conexion) : Constructor(conexion) {}

void ControlCondiciones::recuperarIds(MemTable& tabla) {
    // The list is the one the value editors filled for the row edited last.
    if (tabla.state() != MemTable::State::Edit) return;
    const int tipo = tabla.asInt(campo::TipoCondicion);
    if (tipo != 3 && tipo != 4) return;
    const QString ids = tabla.asString(campo::Condicion1Ids);
    const QString actual = Lista.join(QLatin1Char(';'));
    // A narrow Condicion1Ids (the dates table) may hold only the start of the ids chosen.
    const int f = tabla.fieldIndex(campo::Condicion1Ids);
    const int ancho = f >= 0 ? tabla.fieldDef(f).size : 0;
    if (actual == ids || (ancho > 0 && ids.size() >= ancho && actual.startsWith(ids))) return;
    Lista = ids.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

ResultadoCondicion ControlCondiciones::AntesDePostear(MemTable& tabla, const MemTable* seleccion) {
    recuperarIds(tabla);
    if (FilaSinValor(FilaActual(tabla))) {
        // Values are filled after choosing fields: not an error until an action runs.
        tabla.setValue(campo::Sentencia, QString());
        return {};
    }
    return ConstruirFila(Constructor, tabla, Lista, seleccion, Parametros);
}

QString ControlCondiciones::Validar(const MemTable& condiciones,
                                    const SeleccionArticulos& seleccion) {
    const QString motivo = ValidarCondiciones(condiciones, &Constructor, seleccion);
    Constructor.setLista(&Lista);
    return motivo;
}

void ControlCondiciones::AlBorrar(const MemTable& tabla) {
    Parametros.AlBorrar(tabla.asDouble(campo::Id));
}

void ControlCondiciones::Limpiar() {
    Parametros.Limpiar();
    Lista.clear();
}

QStringList ControlCondiciones::Tablas(const MemTable& condiciones,
                                       const SeleccionArticulos& seleccion) {
    const QStringList tablas = ReconstruirTablas(Constructor, condiciones, seleccion);
    // The builder reads the editors' list again.
    Constructor.setLista(&Lista);
    return tablas;
}

} // namespace quill
