#include "actions/registro_p.h"

#include "queries/tdmprescripciones.h"

namespace quill::registro {

DescriptorListado Prescripciones() {
    // Only the sheets print: no count, export, labels, e-mail or SMS. The sheets choose their
    // report by the prescription type and the print format, and go by record date (no order
    // to choose).
    DescriptorListado d = DescriptorBase(
        4, "prescripciones", "Prescripciones al CNOO", "Condiciones Listado Prescripciones al CNOO",
        {"ImprimirListadoPrescripciones", nullptr, nullptr, nullptr, nullptr, nullptr});
    d.crearModulo = [] { return std::make_unique<TdmPrescripciones>(); };
    return d;
}

} // namespace quill::registro
