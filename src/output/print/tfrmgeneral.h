#pragma once

// The General listing's two report forms: the summary (one line per patient) and the detail
// (a block per patient with its notes, each patient on its own page).

#include "output/print/informelistado.h"

#include <QHash>
#include <QSet>

class TdmGeneral;

namespace quill::print {

class TfrmGeneralResumido : public InformeListado {
public:
    // Reads the module's last run: its last-visit table when the run built one, otherwise its
    // patient table (filled here from the run).
    TfrmGeneralResumido(TdmGeneral& modulo, const QString& conexion);

protected:
    void construir() override;
    QList<Columna> columnas() const override;

private:
    TdmGeneral& m_modulo;
    const MemTable* m_tabla = nullptr;
    bool m_ultimaVisita = false;
    QSet<int> m_impresos; // patients already printed in this pass
    bool m_plata = true;
};

class TfrmGeneralDetalle : public InformeListado {
public:
    TfrmGeneralDetalle(TdmGeneral& modulo, const QString& conexion);

protected:
    void construir() override;

private:
    // What the patient table does not carry, read from the run's result.
    struct Extra {
        QString vienePor, profesion, nif;
        double descuento = 0, total = 0;
    };
    void leerExtras();

    TdmGeneral& m_modulo;
    const MemTable* m_tabla = nullptr;
    QHash<int, Extra> m_extras;
    QSet<int> m_impresos;
    QString m_notas;
};

} // namespace quill::print
