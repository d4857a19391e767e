#include "conditions/condicion.h"

#include "platform/memtable.h"

#include <cmath>

namespace quill {

int IdEntero(double id) {
    return std::isfinite(id) ? static_cast<int>(std::trunc(id)) : -1;
}

namespace {

QString texto(const MemTable& t, int fila, const QString& nombre) {
    const int f = t.fieldIndex(nombre);
    return f < 0 ? QString() : t.textAt(fila, f);
}

double numero(const QVariant& v, double vacio) {
    return v.isNull() ? vacio : v.toDouble();
}

} // namespace

FilaCondicion LeerFila(const MemTable& t, int fila) {
    FilaCondicion f;
    if (t.fieldIndex(campo::Id) >= 0) f.id = numero(t.valueAt(fila, campo::Id), -1.0);
    f.campo = texto(t, fila, campo::Campo);
    f.condicion = texto(t, fila, campo::Condicion);
    f.condicion1 = texto(t, fila, campo::Condicion1);
    f.condicion2 = texto(t, fila, campo::Condicion2);
    f.sentencia = texto(t, fila, campo::Sentencia);
    f.condicion1Ids = texto(t, fila, campo::Condicion1Ids);
    if (t.fieldIndex(campo::Contador) >= 0)
        f.contador = int(numero(t.valueAt(fila, campo::Contador), -1.0));
    return f;
}

FilaCondicion FilaActual(const MemTable& t) {
    FilaCondicion f;
    auto leer = [&t](const QString& nombre) {
        return t.fieldIndex(nombre) < 0 ? QString() : t.asString(nombre);
    };
    if (t.fieldIndex(campo::Id) >= 0 && !t.isNull(campo::Id)) f.id = t.asDouble(campo::Id);
    f.campo = leer(campo::Campo);
    f.condicion = leer(campo::Condicion);
    f.condicion1 = leer(campo::Condicion1);
    f.condicion2 = leer(campo::Condicion2);
    f.sentencia = leer(campo::Sentencia);
    f.condicion1Ids = leer(campo::Condicion1Ids);
    if (t.fieldIndex(campo::Contador) >= 0 && !t.isNull(campo::Contador))
        f.contador = t.asInt(campo::Contador);
    return f;
}

} // namespace quill
