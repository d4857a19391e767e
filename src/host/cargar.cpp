// Entry points of the listing module: the only symbols the library exports.

#include "listing/abrirlistado.h"
#include "listing/modalreal.h"

#include <cstdint>

#define QUILL_EXPORT extern "C" __attribute__((visibility("default")))

// Opens one listing window for the host's block: 0, or -1 when no window could be made.
QUILL_EXPORT int Cargar_Dll(std::intptr_t* bloque) {
    try {
        quill::instalarModalReal();
        return AbrirListado(bloque) ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

// The windows free themselves when closed; nothing is left to release here.
QUILL_EXPORT int Liberar_Dll() {
    return 0;
}
