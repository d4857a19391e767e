#pragma once

// Saving the conditions of the current listing kind under a name, and loading them back.
//
// GuardarFiltro writes one record per condition row into the filter's file (made from the
// template FilModelo.xml when new). Free values (texts, numbers, dates) are not kept: only the
// shown names and ids of value-list fields are. MostrarFiltros clears every kind's conditions
// and appends one row per saved record whose field the catalogue still offers, posting each
// through the table's row events; a row with a value, or whose operator needs none ("Vacío",
// "No Vacío"), is posted with the rebuild-on-post flag set so that its fragment is built again,
// the others with it cleared.
//
// Every failure is shown through quill::Modal and leaves things as they were: a file that
// cannot be read as a filter changes no table, a save that cannot be written leaves the old
// file (or no file) behind.

#include <QString>
#include <QStringList>

#include <functional>

class TdmlstPaciente;
class TLstFiltros;

namespace quill {

class MemTable;

// The template of a saved filter, in the data-packet folder.
inline constexpr char kFicheroModeloFiltro[] = "FilModelo.xml";

// Longest name the name box takes.
inline constexpr int kLongitudNombreFiltro = 150;

// Code of a name that cannot name a filter file (empty, or with characters a file name cannot
// hold).
inline constexpr qint16 kNombreFiltroNoValido = -2902;

// The system's texts.
QString MensajeErrorFiltro();    // "Ha ocurrido un Error al Generar el Archivo del Filtro"
QString MensajeNombreVacio();    // "Debe introducir una descripción para el Registro"
QString PreguntaSobreescribir(); // "El Filtro Seleccionado ya existe, ¿Desea sobreescribirlo?"

// Empty when `nombre` can name a filter file, otherwise the message to show (caption "ERROR").
// Refused: an empty (or blank) name, a character a file name cannot hold (\ / : * ? " < > | and
// control characters), the text ".xml" (the list of filters cuts names there) and a name too
// long for a file name.
QString ComprobarNombreFiltro(const QString& nombre);

// The saved filters a listing kind offers: every "*.xml" of the filters folder of `buscador`
// whose first record's TipoListado is `tipoListado`, shown as its file name up to the first
// ".xml", in name order. Files that cannot be read as filters are left out.
QStringList FiltrosDisponibles(TLstFiltros& buscador, qint16 tipoListado);

struct ResultadoFiltro {
    qint16 codigo = 0; // 0, kNombreFiltroNoValido or a TLstFiltros code
    int registros = 0; // records written (saving) or rows appended (loading)
    int omitidos = 0;  // loading: records whose field the catalogue does not offer
    bool todas = true; // loading: the all-conditions choice to restore (last record's TipoUnion)
    QString detalle;   // why it failed, for logs and support
};

// Saves the rows of `tabla` (the current condition table of kind `tipoListado`) under `nombre`
// in the filters folder of `filtros`, with TipoUnion 1 when `todas`. The table and its cursor
// are not touched. On failure the message is shown (Modal) and the result says why.
ResultadoFiltro GuardarFiltro(TLstFiltros& filtros, MemTable& tabla, qint16 tipoListado, bool todas,
                              const QString& nombre);

// What loading a filter needs of the window.
struct VentanaFiltro {
    // The condition tables (the current one receives the rows) and the catalogue cdsFiltros,
    // loaded for the current kind: a saved field it does not show is dropped.
    TdmlstPaciente* datos = nullptr;
    // The window's rebuild-on-post flag and selected-ids list, read by its before-post event.
    bool* reconstruir = nullptr;
    QStringList* lista = nullptr;
    // The window's LimpiarCampos; without it the seven tables are emptied.
    std::function<void()> limpiarCampos;
};

// Loads the saved filter `nombre` into the current condition table (see the top of this file).
// A missing file is made again from the template and loads nothing. The caller sets the title
// and, on success, the all/any choice from `todas`.
ResultadoFiltro MostrarFiltros(TLstFiltros& filtros, const VentanaFiltro& ventana,
                               const QString& nombre);

} // namespace quill
