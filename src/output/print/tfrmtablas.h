#pragma once

// The report forms of the dates, warranty, consumption and replacement listings: one line per
// patient or record over the kind's result table (informetabla.h), each with what sets it apart.

#include "output/print/informetabla.h"

#include <vector>

class TdmConsumo;
class TdmFechas;
class TdmGarantias;
class TdmReposiciones;

namespace quill::print {

// Dates: the fixed columns with the birth date, then a second line with one date per date
// condition of the listing.
class TfrmFechasResumido : public InformeTabla {
public:
    TfrmFechasResumido(TdmFechas& modulo, const QString& conexion);

    // The caption and the result column a condition's field caption gives (empty when it names
    // no date column); the column is the dates table's field.
    struct ColumnaFecha {
        QString titulo;
        QString campo;
    };
    static ColumnaFecha ColumnaDeCondicion(const QString& campo);

protected:
    void construir() override;

private:
    TdmFechas& m_modulo;
};

class TfrmReportGarantias : public InformeTabla {
public:
    TfrmReportGarantias(TdmGarantias& modulo, const QString& conexion);

protected:
    void construir() override;

private:
    TdmGarantias& m_modulo;
};

// Consumption: age, consumption and number of operations; the detail adds each operation.
class TfrmReportConsumo : public InformeTabla {
public:
    TfrmReportConsumo(TdmConsumo& modulo, const QString& conexion, bool detalle);

protected:
    void construir() override;

private:
    struct Operacion {
        QString liquido, fecha, talon, tipo, descuento, terminado;
    };
    void leerOperaciones(int idPaciente);

    TdmConsumo& m_modulo;
    bool m_conDetalle;
    std::vector<Operacion> m_operaciones;
};

// Replacements: grouped by supplier, the fitting's line and under it one band per eye.
class TfrmReportReposicionesResumido : public InformeTabla {
public:
    TfrmReportReposicionesResumido(TdmReposiciones& modulo, const QString& conexion);

protected:
    void construir() override;

private:
    TdmReposiciones& m_modulo;
};

} // namespace quill::print
