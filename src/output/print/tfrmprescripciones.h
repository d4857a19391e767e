#pragma once

// The prescription sheets, one page per record: spectacle prescriptions and contact-lens
// fittings (national form, and the Castilla La Mancha college's with its extra data), and the
// hearing-aid fittings (short sheet, and the complete one with the audiogram values and the
// chart of each ear).

#include "output/print/informetabla.h"

#include <QPainter>

class TdmPrescripciones;

namespace quill::print {

class TfrmReportPrescripciones : public InformeTabla {
public:
    // `castillaLaMancha`: the college's form (delivery date, agent, prescribers, lots).
    TfrmReportPrescripciones(TdmPrescripciones& modulo, const QString& conexion,
                             bool castillaLaMancha);

protected:
    void construir() override;
    QList<Columna> columnas() const override { return {}; }

private:
    TdmPrescripciones& m_modulo;
    bool m_castilla;
};

class TfrmPrescripcionesAudiometria : public InformeTabla {
public:
    // `completo`: the complete sheet with the audiogram.
    TfrmPrescripcionesAudiometria(TdmPrescripciones& modulo, const QString& conexion,
                                  bool completo);

protected:
    void construir() override;
    QList<Columna> columnas() const override { return {}; }

private:
    TdmPrescripciones& m_modulo;
    bool m_completo;
};

// The frequencies of the audiogram, in Hz.
const QList<int>& FrecuenciasAudiograma();

// Draws one ear's audiogram in a device rectangle: frequency on a logarithmic axis (125 to
// 8000 Hz), hearing level downwards (-10 to 120 dB), air thresholds joined by a line and bone
// thresholds unjoined, right ear red (circle, "<"), left ear blue (cross, ">"). A value of 0
// marks a frequency not measured and is not drawn. `aerea`, `osea`: one value per frequency.
void DibujarAudiograma(QPainter& p, const QRectF& caja, bool derecho, const QList<double>& aerea,
                       const QList<double>& osea);

} // namespace quill::print
