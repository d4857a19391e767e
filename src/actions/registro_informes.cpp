#include "actions/registro_p.h"

#include "output/print/tfrmencargo.h"
#include "output/print/tfrmgeneral.h"
#include "output/print/tfrmprescripciones.h"
#include "output/print/tfrmtablas.h"
#include "queries/tdmconsumo.h"
#include "queries/tdmencargo.h"
#include "queries/tdmfechas.h"
#include "queries/tdmgarantias.h"
#include "queries/tdmgeneral.h"
#include "queries/tdmprescripciones.h"
#include "queries/tdmreposiciones.h"

namespace quill::registro {

namespace {

template <class Form, class Module>
std::unique_ptr<print::InformeListado> crear(ListingModule& m, const QString& conexion) {
    return std::make_unique<Form>(static_cast<Module&>(m), conexion);
}

} // namespace

void AnadirInformes(QList<DescriptorListado>& listados) {
    for (DescriptorListado& d : listados) {
        switch (d.codigo) {
        case 0:
            d.crearInforme = [](ListingModule& m, int tipo,
                                const QString& c) -> std::unique_ptr<print::InformeListado> {
                if (tipo == 0) return crear<print::TfrmGeneralResumido, TdmGeneral>(m, c);
                if (tipo == 1) return crear<print::TfrmGeneralDetalle, TdmGeneral>(m, c);
                return nullptr;
            };
            break;
        case 2:
            d.crearInforme = [](ListingModule& m, int tipo,
                                const QString& c) -> std::unique_ptr<print::InformeListado> {
                if (tipo == 0) return crear<print::TfrmReportEncargoResumido, TdmEncargo>(m, c);
                if (tipo == 1) return crear<print::TfrmReportEncargoDetalle, TdmEncargo>(m, c);
                return nullptr;
            };
            break;
        case 1:
            d.crearInforme = [](ListingModule& m, int tipo,
                                const QString& c) -> std::unique_ptr<print::InformeListado> {
                if (tipo != 0 && tipo != 1) return nullptr;
                return std::make_unique<print::TfrmReportConsumo>(static_cast<TdmConsumo&>(m), c,
                                                                  tipo == 1);
            };
            break;
        case 3:
            d.crearInforme = [](ListingModule& m, int tipo,
                                const QString& c) -> std::unique_ptr<print::InformeListado> {
                if (tipo != 0) return nullptr;
                return crear<print::TfrmFechasResumido, TdmFechas>(m, c);
            };
            break;
        case 4:
            // The format chooses the sheet; the prescription type of the run, its family.
            d.crearInforme = [](ListingModule& m, int formato,
                                const QString& c) -> std::unique_ptr<print::InformeListado> {
                auto& p = static_cast<TdmPrescripciones&>(m);
                if (formato != 0 && formato != 1) return nullptr;
                if (p.EsOptica())
                    return std::make_unique<print::TfrmReportPrescripciones>(p, c, formato == 1);
                return std::make_unique<print::TfrmPrescripcionesAudiometria>(p, c, formato == 1);
            };
            break;
        case 5:
            d.crearInforme = [](ListingModule& m, int tipo,
                                const QString& c) -> std::unique_ptr<print::InformeListado> {
                if (tipo != 0) return nullptr;
                return crear<print::TfrmReportReposicionesResumido, TdmReposiciones>(m, c);
            };
            break;
        case 6:
            d.crearInforme = [](ListingModule& m, int tipo,
                                const QString& c) -> std::unique_ptr<print::InformeListado> {
                if (tipo != 0) return nullptr;
                return crear<print::TfrmReportGarantias, TdmGarantias>(m, c);
            };
            break;
        default:
            break;
        }
    }
}

} // namespace quill::registro
