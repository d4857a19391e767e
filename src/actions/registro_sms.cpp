#include "actions/registro_p.h"

#include "queries/tdmconsumo.h"
#include "queries/tdmencargo.h"
#include "queries/tdmfechas.h"
#include "queries/tdmgarantias.h"
#include "queries/tdmgeneral.h"
#include "queries/tdmreposiciones.h"

namespace quill::registro {

// Each kind walks its result as its SMS file does, keeping every number as stored: General,
// Fechas and Consumo take a patient once (after the lens and prescription filters), Encargos
// Pendientes has one row per patient, Reposiciones one message per fitting and Garantías every
// record.
void AnadirEnvioSMS(DescriptorListado& d) {
    switch (d.codigo) {
    case 0:
        d.telefonosSMS = [](ListingModule& m) -> const MemTable* {
            auto& g = static_cast<TdmGeneral&>(m);
            g.TablaSMS(false);
            return g.memSMS;
        };
        break;
    case 1:
        d.telefonosSMS = [](ListingModule& m) -> const MemTable* {
            auto& c = static_cast<TdmConsumo&>(m);
            c.CrearTablaSMS(false);
            return c.memSMS;
        };
        break;
    case 2:
        d.telefonosSMS = [](ListingModule& m) -> const MemTable* {
            auto& e = static_cast<TdmEncargo&>(m);
            e.CrearTablaSMS(false);
            return e.memSMS;
        };
        break;
    case 3:
        d.telefonosSMS = [](ListingModule& m) -> const MemTable* {
            auto& f = static_cast<TdmFechas&>(m);
            f.TablaSMS(false);
            return f.memSMS;
        };
        break;
    case 5:
        d.telefonosSMS = [](ListingModule& m) -> const MemTable* {
            auto& r = static_cast<TdmReposiciones&>(m);
            r.TablaSMS(false);
            return r.memSMS;
        };
        break;
    case 6:
        d.telefonosSMS = [](ListingModule& m) -> const MemTable* {
            auto& g = static_cast<TdmGarantias&>(m);
            g.TablaSMS(false);
            return g.memSMS;
        };
        break;
    default:
        break; // Prescripciones al CNOO sends no SMS
    }
}

} // namespace quill::registro
