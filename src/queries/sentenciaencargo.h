#pragma once

// The statements of the Pending orders listing, assembled from the condition rows without
// touching the database: the orders statement (one row per pending order, with its payments),
// the detail statement the detailed report opens per patient, and the debt test the module
// applies in memory after folding the orders into patients.
//
// Also the condition joiner that the kinds with a fixed base of several tables share: "all"
// joins every condition's tables in FROM; "any" with conditions that need tables beyond the base
// asks for each such condition with EXISTS over its own tables, so that one empty table does not
// hide every patient and no alternative multiplies the rows of the others.

#include "conditions/condicion.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quill {

// The condition texts appended to a WHERE whose fixed part is never empty: " AND " before the
// first, then " AND " or " OR " by the all/any choice, each in parentheses; with " OR " the whole
// set in one more pair of parentheses. `tablas`: the tables FROM adds to its base.
struct CondicionesUnidas {
    QString where;
    QStringList tablas;
};
// `base`: the tables the statement's FROM already names; `tablas`: the table list handed over by
// the window. Rows with an empty Sentencia must have been left out by the caller.
CondicionesUnidas UnirCondiciones(const QList<FilaCondicion>& filas, const QStringList& base,
                                  const QStringList& tablas, bool todas);

struct DatosSentenciaEncargo {
    QList<FilaCondicion> filas;
    QStringList tablas; // the table list handed over by the window
    QString particion;  // data partition, an integer inserted as given
};

// The orders statement, on one line. Rows 552 (the debt, applied after the run) and blank rows
// take no part. Throws quill::Error when the partition is not an integer.
QString GenerarSentenciaEncargo(const DatosSentenciaEncargo& datos, qint16 orden, qint16 sentido,
                                bool todas);
// ORDER of the orders statement: 3 code, 18 full name, 21 address (column 4 here), anything
// else full name; "ASC" for direction 0, "DesC" for 1.
QString OrdenEncargo(qint16 orden, qint16 sentido);
// The pending orders of one patient, with parameter :ID_PACIENTE.
QString SentenciaDetalleEncargo();

// The debt condition (552) as the window hands it over. An empty operator: no condition.
struct CondicionDeuda {
    QString operador;
    double valor1 = 0;
    double valor2 = 0;
};
// Amounts in whole cents, as the debt is compared.
qint64 Centimos(double importe);
// Whether a patient owing `deuda` cents stays listed: "Igual a..." equal to the first value,
// "Distinto de..." different, "Mayor que..." at least, "Menor que..." at most, "...Entre..."
// between both values inclusive; any other operator keeps every patient.
bool DeudaConservada(const CondicionDeuda& condicion, qint64 deuda);

} // namespace quill
