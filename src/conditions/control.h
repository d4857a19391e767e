#pragma once

// The condition-row controller: what happens to a condition row between the grid (or a
// conditions file) and the listing kinds. It owns the sentence builder, the selected-ids list
// the value editors fill, and what the special fields hand to the kinds. The window forwards its
// row events here; `listado` builds every row of its file through the same object.

#include "conditions/construir.h"
#include "sql/lstsentpaciente.h"

#include <QString>
#include <QStringList>

namespace quill {

class MemTable;

class ControlCondiciones {
public:
    // `conexion`: the shop database the builder looks localities up in (empty: none).
    explicit ControlCondiciones(const QString& conexion = QString());
    ControlCondiciones(const ControlCondiciones&) = delete;
    ControlCondiciones& operator=(const ControlCondiciones&) = delete;

    // Builds the fragments and collects the tables of FROM.
    TLstSentPaciente Constructor;
    // The selected ids of the row edited last, filled by the value editors.
    QStringList Lista;
    // What the special fields of the posted rows hand to the kinds.
    ParametrosListado Parametros;

    // Before the current row of `tabla` is posted: a list row posted again (its operator
    // changed, say) takes its own ids back, then the row is built (ConstruirFila) with its
    // article selection. A row still without value builds nothing yet (its Sentencia is emptied;
    // the check before actions refuses it). The refusal, if any, is for the caller to show.
    ResultadoCondicion AntesDePostear(MemTable& tabla, const MemTable* seleccion = nullptr);
    // The check before any action (ValidarCondiciones with this builder): the window and
    // `listado` both ask here.
    QString Validar(const MemTable& condiciones, const SeleccionArticulos& seleccion = {});
    // Before the current row of `tabla` is deleted.
    void AlBorrar(const MemTable& tabla);
    // Every condition gone: nothing chosen may shape a later listing.
    void Limpiar();
    // The tables of FROM for the rows of a condition table (ReconstruirTablas).
    QStringList Tablas(const MemTable& condiciones, const SeleccionArticulos& seleccion = {});

private:
    void recuperarIds(MemTable& tabla);
};

} // namespace quill
