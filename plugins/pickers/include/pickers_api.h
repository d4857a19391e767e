#pragma once

// What the listing module and the two picker libraries of the program folder agree on: the
// libraries' Windows names, their entry points and what those answer. The libraries export
// plain C functions, so each side declares the signature here and resolves it by name.
//
// The article picker writes into a quill::MemTable made by the module; both are built from the
// same sources, so the table's layout is the same on each side of the call.

#include <cstdint>

namespace quill {
class MemTable;
}

namespace pickers {

// Windows names, looked up in the program folder as lib<name>.so.
inline constexpr char kLibreriaPaciente[] = "bcrPaciente.dll";
inline constexpr char kLibreriaArticulo[] = "fltCampoArticulo.dll";

// Entry point names (the same in both libraries).
inline constexpr char kCargarDll[] = "_Cargar_Dll";
inline constexpr char kLiberarDll[] = "_Liberar_Dll";

// Patient picker: opens "Búsqueda de Pacientes" over the shop database of the host block (slot 2,
// partition of slot 601) and waits. Answers the chosen patient's code (> 0), 0 when the user
// cancelled, -1 when the picker could not run (it has told the user why).
using CargarPacienteFn = int (*)(const std::intptr_t* bloque);
inline constexpr int kPacienteCancelado = 0;
inline constexpr int kPacienteError = -1;

// Article picker: opens "Selección de Artículos" for one product line (tipoListado 2 spectacles,
// 3 contact lenses, 4 hearing aids) on the selection table and waits. Answers 0 when the user
// accepted (the table then holds exactly the conditions shown), 2 when the table was left as it
// was: the user cancelled, or the picker could not run (it has told the user why).
using CargarArticuloFn = int (*)(const std::intptr_t* bloque, quill::MemTable* seleccion,
                                 int tipoListado);
// Frees what the picker keeps between calls (value lists read from the database).
using LiberarArticuloFn = int (*)();
inline constexpr int kArticuloAceptado = 0;
inline constexpr int kArticuloCancelado = 2;

} // namespace pickers
