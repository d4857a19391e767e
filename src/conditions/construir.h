#pragma once

// Building the SQL fragment of one condition row, as the listing window does before the row is
// posted (CampoEspecial, then ConstruirSentenciaSQL when the field is not special). The window
// and the command-line runner share this one routine, so both give the same fragment for the
// same row. What the special fields change outside the builder (the prescription type, the
// debt condition of the pending-orders listing, the record-type lists of the listings) stays
// with the caller, which learns from CampoEspecialDe() which field it has.

#include <QList>
#include <QString>
#include <QStringList>

namespace quill {

class TLstSentPaciente;

// The values of one condition row the fragment is built from.
struct CondicionFila {
    double id = -1;     // catalogue ID of the field
    QString condicion;  // operator text ("Igual a...", ...)
    QString condicion1; // first value as shown
    QString condicion2; // second value ("...Entre..." only)
};

// The catalogue fields the window treats before (or instead of) the plain build.
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

// The special role of a catalogue field, by the integer part of its ID.
CampoEspecial CampoEspecialDe(double id);

// Consumption sub-kind of an article picker field: 2 spectacles (91), 3 contact lenses (129),
// 4 hearing aids (192); 0 for any other field.
qint16 TipoListadoArticulos(double id);

// Result codes of ConstruirCondicion.
inline constexpr int kCondicionConstruida = 0;
inline constexpr int kErrorCondicion = -3002;

struct ResultadoCondicion {
    int codigo = kCondicionConstruida; // 0, or kErrorCondicion when the fragment was refused
    // true when the row gets `sentencia` as its new Sentencia; false when the field builds no
    // fragment of its own (463, 552, article pickers) or the build failed: the row then keeps
    // the Sentencia it had.
    bool conSentencia = false;
    QString sentencia;
    // Article pickers: the fragments of the article conditions, one after the other.
    QString articulos;
    // On failure: the message the window shows (the fragment-error message) and the reason
    // underneath, for logs and support.
    QString mensaje;
    QString detalle;
};

// Builds the fragment of one condition row with the builder, exactly as the window does before
// a post: the special fields first, then the plain build. `ids` is the window's selected-ids
// list; the builder reads it and may refill it (postal codes, provinces). For the article
// picker fields, `articulos` holds the rows of the field's article selection. Tables the
// fragment needs are added to the builder's Tablas. Never throws: a value that cannot become
// SQL, or any other failure, gives kErrorCondicion with the fragment-error message.
ResultadoCondicion ConstruirCondicion(TLstSentPaciente& constructor, const CondicionFila& fila,
                                      QStringList& ids, const QList<CondicionFila>& articulos = {});

} // namespace quill
