#pragma once

// The statements of the Consumption listing, assembled from the condition rows without touching
// the database: the consumption mode (condition 453), the main statement (one row per patient
// with the sum and the number of his sales and finished orders), the detail statement (the
// operations of one patient, parameter :PACIENTE), their count form and the mobile check of the
// kind's SMS table.
//
// The main statement sums over the rows of FROM PACIENTE, MVENTA. A condition that needs another
// table (sale lines, records, articles, notes) would multiply each operation by its matching
// rows there and inflate the sums, so it asks for them with EXISTS (SELECT 1 FROM <its tables>
// WHERE <its fragment>), correlated with the outer patient and operation through the fragment's
// own join.

#include <QList>
#include <QString>
#include <QStringList>

namespace quill {

struct FilaCondicion;

// The consumption mode that sums all the operations of a patient before comparing the amount.
inline const QString kModoConsumoTotal = QStringLiteral("Total");

// The Condicion1 of the mode row (Id 453); the last one when there are several, empty without.
QString ModoConsumo(const QList<FilaCondicion>& filas);

struct SentenciasConsumo {
    QString principal; // SELECT ... GROUP BY ... [HAVING ...] ORDER ...
    QString detalle;   // the operations of :PACIENTE, by date
};

// `tablas`: the table list handed over by the window. `todas`: all conditions must hold (AND),
// else any (OR).
SentenciasConsumo GenerarSentenciasConsumo(const QList<FilaCondicion>& filas,
                                           const QStringList& tablas, qint16 orden, qint16 sentido,
                                           bool todas);

// The count form of the main statement: the same patients, one column ID_PACIENTE.
QString GenerarSentenciaConteoConsumo(const QList<FilaCondicion>& filas, const QStringList& tablas,
                                      bool todas);

// ORDER of the kind: 3 code, 18 surname, 21 address, 22 birth date, 23 first visit, 24 last visit,
// 27 consumption, anything else surname; then "ASC" (0) or "DesC" (1).
QString GenerarSQLOrderConsumo(qint16 orden, qint16 sentido);

// The kind's own mobile check: at least nine characters, the first a "6", and exactly nine
// digits among them (every other character skipped); the nine digits, or an empty text.
QString ComprobarMovilConsumo(const QString& telefono);

} // namespace quill
