// Stands in for the label library without its entry point Cargar_Dll.
extern "C" __attribute__((visibility("default"))) int Otra_Entrada() {
    return 0;
}
