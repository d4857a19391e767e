#pragma once

// The sentence builder's catalogue: which SQL each filterable field becomes, as data.
//
// Every field of the filter catalogue has one row (EntradaCatalogo) keyed by its identifier. A row
// names its shape, the text in front (join and column), the column handed to the operator builder,
// the builder, the empty-value sentinel(s), the closing text and the tables the fragment needs.
// A few shape functions read the rows; only the fields that really compute (age, the sales agents)
// carry a function of their own.
//
// Rows are grouped in families, one per kind of record (patient, prescriptions, contact lenses,
// hearing aids...). A family owns one or more identifier ranges; dispatch tests the families in
// the order of familias() and the first family whose range holds the identifier answers, with its
// row or, when it has none for that identifier, with the empty text.
//
// Adding a family:
//   1. write catalogo_<familia>.cpp with a function returning its rows (a static list, or rows
//      generated from a table of columns, such as audiogram runs per frequency);
//   2. declare that function below, next to filasPaciente();
//   3. put it in the family's line of familias() in catalogo.cpp (the ranges are already there).
// The catalogue checks at start that every row lies in its own family's ranges and that no
// identifier has two rows.
//
// The consumption family answers by product line: its rows carry the line (TipoListado 2, 3, 4)
// they are for, and one identifier has a row per line that has the column.

#include "business/maestros.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <utility>

namespace quill {

class TLstSentPaciente;
struct EntradaCatalogo;

// The operator builders a row can use (see TLstBaseSentencia and TLstSentPaciente).
enum class Operador : quint8 {
    Ninguno,
    Fecha,       // SentenciaFecha(columna)
    FechaValor,  // SentenciaFechaValor()
    Texto,       // SentenciaTexto(true)
    Memo,        // SentenciaMemo()
    Numero,      // SentenciaNumero(centinela, columna)
    Lista,       // SentenciaLista(columna)
    ListaSimple, // SentenciaListaSimple(columna)
    Primero,     // SentenciaPrimero()
    In,          // SentenciaIn()
};

enum class Forma : quint8 {
    // delante + builder(columna) + detras. Covers plain columns ("UPPER(PACIENTE.NOMBRE) "),
    // dates (delante empty or a join, the date column handed to the builder) and any entry whose
    // text in front is irregular.
    Directa,
    // delante (the join) + columna + " " + builder(columna) + detras: a record column behind a
    // join.
    Unida,
    // delante + "(" + columna + " " + builder(columna) + detras: an id list on one column; the list
    // builder closes the parenthesis it opens.
    Lista,
    // delante + "(" + each alternative's columna + " " + its builder, separated by separador,
    // + ")" + detras: either-eye pairs (each eye with its own sentinel), the audiogram runs,
    // several note columns. A list alternative opens its own "(" before the column, which its
    // builder closes.
    Alternativas,
    // calculo(builder, row): fields that rewrite the condition before building (age), or whose
    // text interleaves several builders (sales agents).
    Calculada,
};

// One tested column of an Alternativas row.
struct Alternativa {
    QString columna;
    Operador operador = Operador::Ninguno;
    int centinela = 0;
};

using Calculo = QString (*)(TLstSentPaciente& builder, const EntradaCatalogo& entrada);

struct EntradaCatalogo {
    int id = 0;
    Forma forma = Forma::Directa;
    QString delante; // text in front: column text, join, or join and column
    QString columna; // column handed to the builder (dates, sentinel clause, lists)
    Operador operador = Operador::Ninguno;
    int centinela = 0;  // SentenciaNumero's empty value; 0 = none
    QString detras;     // closing text after the builder's result
    QStringList tablas; // added to Tablas in this order
    QList<Alternativa> alternativas;
    QString separador; // between alternatives: " OR " or " Or "
    Calculo calculo = nullptr;
    // Consumption rows: the product line (TipoListado) the row is for; 0 for every other row.
    qint16 linea = 0;
    // Name lists: the master whose records the chosen names (Condicion1) are looked up in to
    // refill Lista before building (TLstSentPaciente::ResolverNombres); empty tabla for none.
    MaestroDef nombres;
};

struct Familia {
    const char* nombre;
    QList<std::pair<int, int>> rangos; // inclusive identifier ranges
    QList<EntradaCatalogo> (*filas)(); // null while the family has no rows
    bool porTipoListado = false;       // consumption: built by GenerarSentenciaConsumo
};

// Families in dispatch order.
const QList<Familia>& familias();

// Rows of each family (catalogo_<familia>.cpp).
QList<EntradaCatalogo> filasPaciente();     // the patient's own fields
QList<EntradaCatalogo> filasPartesFecha();  // day, month, year of patient dates; record dates
QList<EntradaCatalogo> filasComunes();      // fields every listing kind shares
QList<EntradaCatalogo> filasGraduaciones(); // spectacle prescriptions
QList<EntradaCatalogo> filasLentillas();    // contact-lens fittings
QList<EntradaCatalogo> filasAudifonos();    // hearing-aid fittings and audiograms
QList<EntradaCatalogo> filasOptometria();   // optometry examinations
QList<EntradaCatalogo> filasBajaVision();   // low-vision records
QList<EntradaCatalogo> filasReposiciones(); // replacement records
QList<EntradaCatalogo> filasReposicionLentillas(); // lens-replacement fields
QList<EntradaCatalogo> filasVentas();              // sales date and amount of the consumption kind
QList<EntradaCatalogo> filasDocumentosVenta();     // sales documents
QList<EntradaCatalogo> filasLineasVenta(); // sales documents and lines, deleted orders left out
QList<EntradaCatalogo> filasConsumo();     // articles of the records, one row per product line

// The catalogue as a map from identifier to row, with the family of every identifier.
class CatalogoSentencias {
public:
    // Throws std::logic_error when a row lies outside its family or repeats an identifier.
    explicit CatalogoSentencias(const QList<Familia>& familias);

    // The catalogue of familias(), built once.
    static const CatalogoSentencias& instancia();

    // The family that answers for an identifier (first match in order), null for none.
    const Familia* familia(int id) const;
    // The row of an identifier (for a consumption identifier, of the product line), null when it
    // has none.
    const EntradaCatalogo* entrada(int id, qint16 linea = 0) const;
    int size() const { return static_cast<int>(m_filas.size()); }

private:
    QList<Familia> m_familias;
    std::map<std::pair<int, qint16>, EntradaCatalogo> m_filas;
};

// The fragment of one row: the row's shape function applied to the builder's current condition.
// Does not add the row's tables.
QString construirEntrada(TLstSentPaciente& builder, const EntradaCatalogo& entrada);

} // namespace quill
