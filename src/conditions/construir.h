#pragma once

// Where a condition row becomes SQL. Every path goes through here: the window before it posts a
// row, `listado` for each row of its conditions file, and the actions when they collect the
// tables of FROM again. The special fields are decided here too: what they build (postal
// codes, provinces, record dates, article selections) and what they hand to the listing kinds
// instead of a fragment (prescription type, debt, record families, warranty families and eyes).

#include "conditions/condicion.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace quill {

class MemTable;
class TLstSentPaciente;

// The catalogue fields with a role of their own.
enum class CampoEspecial {
    Ninguno,
    CodigoPostal,      // 4: postal codes become the ids of their localities
    Provincia,         // 6: province ids become the ids of their localities
    FechaFicha,        // 433, 434, 435: record dates, built without the selected ids
    TipoPrescripcion,  // 463: no fragment; the value is the prescription type to print
    Deuda,             // 552: no fragment; the value is the debt condition of pending orders
    Articulos,         // 91, 129, 192: article conditions chosen with the article picker
    TipoFicha,         // 50: built as usual; the selected ids are the record families
    GarantiaTipoFicha, // 3001: built as usual; the selected ids are the warranty families
    GarantiaOjo,       // 3003: built as usual; the selected ids are the eyes of the warranty
};

CampoEspecial CampoEspecialDe(double id);

// Consumption sub-kind of an article picker field: 2 spectacles (91), 3 contact lenses (129),
// 4 hearing aids (192); 0 for any other field.
qint16 TipoListadoArticulos(double id);

// What the special fields hand to the listing kinds besides the fragments.
struct ParametrosListado {
    QString tipoPrescripcion = QStringLiteral("Óptica"); // 463
    // 552: the first value, the second (-1 when the operator compares one value), the operator.
    double deudaValor1 = 0;
    double deudaValor2 = 0;
    QString deudaOperador;
    QStringList familias;         // 50, for the General and Dates kinds
    QStringList familiasGarantia; // 3001
    QStringList ojosGarantia;     // 3003: one item, the eyes joined by line breaks
    QString condicionesArticulos; // the article fragments posted so far

    // Back to nothing chosen (the grid was cleared).
    void Limpiar() { *this = ParametrosListado(); }
    // What deleting a row of field `id` takes back.
    void AlBorrar(double id);
};

inline constexpr int kCondicionConstruida = 0;
inline constexpr int kErrorCondicion = -3002;

struct ResultadoCondicion {
    int codigo = kCondicionConstruida; // 0, or kErrorCondicion when the value was refused
    // true when the row gets `sentencia` as its new Sentencia; false when the field builds no
    // fragment (463, 552) or the build failed: the row then keeps the Sentencia it had.
    bool conSentencia = false;
    QString sentencia;
    // On failure: the message shown to the user (the fragment-error message) and the reason
    // underneath, for logs and support.
    QString mensaje;
    QString detalle;
};

// Builds the fragment of one row. `ids` is the selected-ids list of the row; the builder reads
// it and may refill it (postal codes, provinces). `seleccion` is the row's article selection
// (article picker fields; null when it has none). With `parametros` the special fields hand
// over their values there; without, nothing but the fragment and the builder's Tablas change.
// Never throws: a value that cannot become SQL gives kErrorCondicion, and the parameters keep
// what they had.
ResultadoCondicion ConstruirCondicion(TLstSentPaciente& constructor, const FilaCondicion& fila,
                                      QStringList& ids, const MemTable* seleccion = nullptr,
                                      ParametrosListado* parametros = nullptr);

// The row being posted in `tabla` (its current row): built as above and, when it has one, its
// new Sentencia written into the row.
ResultadoCondicion ConstruirFila(TLstSentPaciente& constructor, MemTable& tabla, QStringList& ids,
                                 const MemTable* seleccion, ParametrosListado& parametros);

// A row with a field and no value, unless its operator is "Vacío" or "No Vacío" (which need
// none). Allowed while editing; refused before any action.
bool FilaSinValor(const FilaCondicion& fila);

// The article selection of a row by its Contador; null when it has none.
using SeleccionArticulos = std::function<const MemTable*(int contador)>;

// The check before any action, on every row of a condition table: a row without value
// (FilaSinValor), and a table made only of rows 55 and 95 (they narrow what other conditions
// select), are refused. With a builder, every row is also built again from its own values, and a
// row whose value cannot become SQL refuses the action with a message naming its field: a
// refused row never takes part in a listing. Empty text, or the message.
QString ValidarCondiciones(const MemTable& tabla, TLstSentPaciente* constructor = nullptr,
                           const SeleccionArticulos& seleccion = {});

// The tables of FROM for the rows of a condition table, built again from each row's own values
// and ids (Condicion1Ids): a deleted or cleared condition leaves nothing behind, and a row that
// restricts nothing (empty Sentencia) brings no table. The rows' Sentencia stay as they are.
QStringList ReconstruirTablas(TLstSentPaciente& constructor, const MemTable& tabla,
                              const SeleccionArticulos& seleccion = {});

// ---- Article selections ----

// The fragments of an article selection, each in parentheses, joined by " AND "; empty (and
// blank) fragments are left out, so a selection that restricts nothing gives an empty text.
QString UnirSentenciasArticulos(const QStringList& fragmentos);

// The fragment of one article condition, given the builder with the condition set.
using GeneradorArticulo = std::function<QString(TLstSentPaciente&)>;

// The Sentencia of a row whose field is an article picker (91, 129, 192): the builder gets the
// product line (TipoListado 2, 3 or 4), then for every row of the selection, in order, its Id,
// Condicion, Condicion1, Condicion2 and, as the selected ids, its IdsCondicion1 (split at ";"),
// and builds the consumption fragment (GenerarSentenciaConsumo unless generar is given); the
// fragments are joined by UnirSentenciasArticulos. The selection's cursor does not move. A
// refused value throws quill::Error with the fragment-error message; the builder's Tablas are
// then as they were before the call.
QString SentenciaArticulos(TLstSentPaciente& constructor, qint16 tipoListado,
                           const MemTable& seleccion, const GeneradorArticulo& generar = {});

} // namespace quill
