#pragma once

// Opening a listing window for the host: what Cargar_Dll does.

#include <cstdint>
#include <functional>

class TfrmListado;

// Makes the window (a subclass when `crear` is given); used by tests to watch the start.
using CrearVentana = std::function<TfrmListado*(const std::intptr_t* bloque)>;

// Creates the window with slot 1 as owner (as a sub-window when the owner is a main window whose
// central widget is a multi-document area, centred there), keeps the block, runs the start
// sequence and shows the window without waiting. Returns the window, or null after a failure of
// creation, which leaves no window behind.
TfrmListado* AbrirListado(const std::intptr_t* bloque, const CrearVentana& crear = {});

// The window opened last (null once it is gone).
TfrmListado* frmListado();

// Whether Qt's Spanish catalogue is in use (AbrirListado installs it the first time).
bool TraduccionesQtCargadas();
