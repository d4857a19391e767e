// A stand-in picker library for the bridge tests, built in several variants (see CMakeLists.txt):
// it answers a fixed value and counts how often each entry point was called.

#include <cstdint>

#define PRUEBA_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int llamadas = 0;
int liberaciones = 0;
} // namespace

#ifdef CON_CARGAR
#ifdef PACIENTE
PRUEBA_EXPORT int _Cargar_Dll(const std::intptr_t*) {
    ++llamadas;
    return RESPUESTA;
}
#else
PRUEBA_EXPORT int _Cargar_Dll(const std::intptr_t*, void*, int) {
    ++llamadas;
    return RESPUESTA;
}
#endif
#endif

#ifdef CON_LIBERAR
PRUEBA_EXPORT int _Liberar_Dll() {
    ++liberaciones;
    return 0;
}
#endif

PRUEBA_EXPORT int PruebaLlamadas() {
    return llamadas;
}

PRUEBA_EXPORT int PruebaLiberaciones() {
    return liberaciones;
}
