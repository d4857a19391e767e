#pragma once

// The label step of a listing run, shared by the window and `listado etiquetas`: after a run
// that found rows, the chosen format is read into the document, the kind's label loop fills it
// and the label printing library prints it.

#include "output/labels/generaretiquetas.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace quill {

class EjecutorListado;
class TDocumento;

struct TrabajoEtiquetas {
    OpcionesEtiquetas opciones;
    QString carpetaFormatos;
    QString carpetaLibrerias;
    const std::intptr_t* bloque = nullptr; // the host block handed to the printing object
    // Asked before each row (the progress window's Cancel).
    std::function<bool()> cancelado;
    // Runs once the labels are ready, before printing (the window closes its progress window).
    std::function<void()> antesDeImprimir;
};

// After a run that answered 0: 0 when the labels were printed; the format's load code (its
// message already shown); -301 when cancelled (nothing printed); or the printing result, with
// its message in `mensaje`. `etiquetas` gets the number of labels of the document.
qint16 ImprimirEtiquetasListado(EjecutorListado& ejecutor, TDocumento& documento,
                                const TrabajoEtiquetas& trabajo, QString* mensaje = nullptr,
                                int* etiquetas = nullptr);

} // namespace quill
