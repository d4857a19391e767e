#include "catalogo_formas.h"

namespace quill::formas {

namespace {

EntradaCatalogo fila(int id, Forma forma, const Registro& r) {
    EntradaCatalogo e;
    e.id = id;
    e.forma = forma;
    e.tablas = r.tablas;
    return e;
}

} // namespace

QString sinEspacioInicial(const QString& texto) {
    return texto.startsWith(QLatin1Char(' ')) ? texto.mid(1) : texto;
}

EntradaCatalogo unida(int id, const Registro& r, const QString& columna, Operador operador,
                      int centinela) {
    EntradaCatalogo e = fila(id, Forma::Unida, r);
    e.delante = r.union_;
    e.columna = columna;
    e.operador = operador;
    e.centinela = centinela;
    return e;
}

EntradaCatalogo numero(int id, const Registro& r, const QString& columna, int centinela) {
    return unida(id, r, columna, Operador::Numero, centinela);
}

EntradaCatalogo texto(int id, const Registro& r, const QString& columna) {
    return unida(id, r, columna, Operador::Texto);
}

EntradaCatalogo textoMayusculas(int id, const Registro& r, const QString& columna) {
    return unida(id, r, QStringLiteral("UPPER(") + columna + QLatin1Char(')'), Operador::Texto);
}

EntradaCatalogo memo(int id, const Registro& r, const QString& columna) {
    return unida(id, r, QStringLiteral("UPPER(") + columna + QLatin1Char(')'), Operador::Memo);
}

EntradaCatalogo fecha(int id, const Registro& r, const QString& columna, const QString& delante) {
    EntradaCatalogo e = fila(id, Forma::Directa, r);
    e.delante = r.union_ + delante;
    e.columna = QStringLiteral("CAST(") + columna + QStringLiteral(" AS DATE)");
    e.operador = Operador::Fecha;
    return e;
}

EntradaCatalogo lista(int id, const Registro& r, const QString& columna) {
    EntradaCatalogo e = fila(id, Forma::Lista, r);
    e.delante = QStringLiteral(" (") + sinEspacioInicial(r.union_);
    e.columna = columna;
    e.operador = Operador::Lista;
    e.detras = QStringLiteral(")");
    return e;
}

EntradaCatalogo siNo(int id, const Registro& r, const QString& columna) {
    EntradaCatalogo e = fila(id, Forma::Directa, r);
    e.delante = QStringLiteral(" (") + sinEspacioInicial(r.union_) + QLatin1Char('(') + columna;
    e.columna = columna;
    e.operador = Operador::ListaSimple;
    e.detras = QStringLiteral(")");
    return e;
}

EntradaCatalogo par(int id, const Registro& r, const Alternativa& derecho,
                    const Alternativa& izquierdo, const QString& separador) {
    EntradaCatalogo e = fila(id, Forma::Alternativas, r);
    e.delante = r.union_;
    e.alternativas = {derecho, izquierdo};
    e.separador = separador;
    return e;
}

EntradaCatalogo uno(int id, const Registro& r, const Alternativa& columna) {
    EntradaCatalogo e = fila(id, Forma::Alternativas, r);
    e.delante = r.union_;
    e.alternativas = {columna};
    return e;
}

} // namespace quill::formas
