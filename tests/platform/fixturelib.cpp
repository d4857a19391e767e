// A tiny library loaded by the library-loading tests.
extern "C" __attribute__((visibility("default"))) int _Cargar_Dll(int value) {
    return value * 2 + 1;
}
