#pragma once

// Row makers shared by the clinical record families (prescriptions, contact lenses, hearing aids,
// optometry, low vision, replacements). Every such row starts with the join from PACIENTE to the
// record table and adds the record tables to Tablas; a Registro carries both.

#include "catalogo.h"

namespace quill::formas {

// The join text in front of a record family's fragments and the tables it needs, in order.
struct Registro {
    QString union_;
    QStringList tablas;
};

// The join without its leading space: list entries open their own " (" in front of it.
QString sinEspacioInicial(const QString& texto);

// union + columna + " " + builder(columna): a numeric or text column behind the join.
// For a text column compared upper-cased pass "UPPER(T.COL)" as columna.
EntradaCatalogo unida(int id, const Registro& r, const QString& columna, Operador operador,
                      int centinela = 0);
EntradaCatalogo numero(int id, const Registro& r, const QString& columna, int centinela);
EntradaCatalogo texto(int id, const Registro& r, const QString& columna);
EntradaCatalogo textoMayusculas(int id, const Registro& r, const QString& columna);
EntradaCatalogo memo(int id, const Registro& r, const QString& columna);

// union + delante + SentenciaFecha("CAST(" + columna + " AS DATE)"). delante carries any extra
// text some entries put between the join and the date comparison.
EntradaCatalogo fecha(int id, const Registro& r, const QString& columna,
                      const QString& delante = QString());

// " (" + union + "(" + columna + " " + SentenciaLista(columna) + ")": the join applies to every
// chosen id.
EntradaCatalogo lista(int id, const Registro& r, const QString& columna);

// As lista, with SentenciaListaSimple and no space after the column (own/other-shop columns).
EntradaCatalogo siNo(int id, const Registro& r, const QString& columna);

// union + "(" + derecho + separador + izquierdo + ")": either eye or either ear.
EntradaCatalogo par(int id, const Registro& r, const Alternativa& derecho,
                    const Alternativa& izquierdo, const QString& separador);

// union + "(" + columna + " " + builder + ")": one ear of an audiogram run.
EntradaCatalogo uno(int id, const Registro& r, const Alternativa& columna);

} // namespace quill::formas
