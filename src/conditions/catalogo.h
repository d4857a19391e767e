#pragma once

// The filter catalogue Filtros.xml: every field a user may put a condition on, grouped by theme.
// It is a data packet in the data-packet folder, shared by all listing kinds; each kind shows
// only some groups. These functions load it into the catalogue table (cdsFiltros of
// TdmlstPaciente) for one listing kind, and find an entry by its ID.

#include <QList>
#include <QString>

namespace quill {

class MemTable;

// File name of the catalogue inside the data-packet folder.
inline constexpr char kFicheroCatalogo[] = "Filtros.xml";

// Result codes.
inline constexpr int kCatalogoCargado = 0;
inline constexpr int kCatalogoNoCargado = -1;
inline constexpr int kEntradaEncontrada = 0;
inline constexpr int kEntradaNoEncontrada = -5;

// Defines the eight fields of a catalogue entry, in file order: ID, IDGRUPO (doubles, required),
// GRUPO, CAMPO (texts of 50), TIPOCAMPO, TIPOOBJETO (16-bit), MASCARA (25), DESCRIPCION (500).
// The table must be closed.
void DefinirCamposCatalogo(MemTable& cdsFiltros);

// Groups (IDGRUPO) each listing kind shows: 0 General, 1 Consumo, 2 Encargos Pendientes,
// 3 Fechas, 4 Prescripciones al CNOO, 5 Reposiciones, 6 Garantías. Empty for any other code.
QList<int> GruposCatalogo(int tipoListado);

// The filter text of a kind, e.g. "IDGRUPO = 0 Or IDGRUPO = 9 Or IDGRUPO = 14" for Consumo;
// empty for a code that is not a listing kind.
QString FiltroCatalogo(int tipoListado);

// The catalogue file of a data-packet folder: the folder text unchanged, the platform's
// separator and "Filtros.xml" (a folder given with a trailing separator gives a doubled one).
QString RutaCatalogo(const QString& carpeta);

// Loads the catalogue of a folder for one listing kind into cdsFiltros: closed, indexed on
// IDGRUPO (entries come in group order), filtered to the kind's groups (not filtered when the
// code is not a kind), opened and filled from the file. A table without fields gets the
// catalogue's fields first. Returns 0, or -1 when the file is missing or cannot be read as a
// catalogue: the table is then left open and empty, and *motivo (when given) says why.
int CargarCatalogo(MemTable& cdsFiltros, const QString& carpeta, int tipoListado,
                   QString* motivo = nullptr);

// Makes current the entry whose ID equals id among the entries shown; 0 when found, -5 when not
// (the cursor then stays where it was).
int BuscarEnCatalogo(MemTable& cdsFiltros, double id);

} // namespace quill
