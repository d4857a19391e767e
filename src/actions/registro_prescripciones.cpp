#include "actions/registro_p.h"

namespace quill::registro {

DescriptorListado Prescripciones() {
    // The prescription sheets choose their own variant and format when printed.
    return Pendiente(
        4, "prescripciones", "Prescripciones al CNOO", "Condiciones Listado Prescripciones al CNOO",
        {"ImprimirListadoPrescripciones", nullptr, nullptr, nullptr, nullptr, nullptr});
}

} // namespace quill::registro
