#pragma once

// The pending-orders reports: one line per patient with what is still owed (summary), or the
// patient followed by each pending order (detail). Both carry the running total in the page
// footer ("Suma y Sigue.....") and the total in the summary band ("Suma Total.....").

#include "output/print/informelistado.h"

#include <vector>

class TdmEncargo;

namespace quill::print {

class InformeEncargo : public InformeListado {
public:
    InformeEncargo(TdmEncargo& modulo, const QString& conexion, bool detalle);

    // The running amount printed so far (what the page footer shows).
    double Suma() const { return m_suma; }

protected:
    void construir() override;
    QList<Columna> columnas() const override;
    QString subtitulo() const override;

private:
    struct Encargo {
        QString fecha, talon, terminado, recogido, descuento, liquido, pendiente;
    };
    void leerEncargos(int idPaciente);

    TdmEncargo& m_modulo;
    bool m_detalle;
    double m_suma = 0;
    bool m_plata = true;
    std::vector<Encargo> m_encargos;
};

class TfrmReportEncargoResumido : public InformeEncargo {
public:
    TfrmReportEncargoResumido(TdmEncargo& modulo, const QString& conexion)
        : InformeEncargo(modulo, conexion, false) {}
};

class TfrmReportEncargoDetalle : public InformeEncargo {
public:
    TfrmReportEncargoDetalle(TdmEncargo& modulo, const QString& conexion)
        : InformeEncargo(modulo, conexion, true) {}
};

} // namespace quill::print
