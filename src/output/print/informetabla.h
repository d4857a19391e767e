#pragma once

// The listing reports with one shaded line per result row: the form gives its columns and how
// each one's text comes from the row; rows of one patient print once when the form says so.
// The dates, warranty, consumption and replacement reports are built on it.

#include "output/print/informelistado.h"

#include <QSet>

#include <functional>
#include <vector>

namespace quill::print {

class InformeTabla : public InformeListado {
public:
    using InformeListado::InformeListado;

protected:
    // A column of the detail line and the text it shows for a row of the table.
    struct Celda {
        Columna columna;
        std::function<QString(int fila)> texto;
    };

    // The rows; `campoPaciente`: a field naming the patient, to print each patient once
    // (empty: every row prints).
    void Filas(const MemTable& tabla, const QString& campoPaciente = QString());
    // The detail line; the first cell shows "ERROR" when a row fails.
    void Detalle(const QList<Celda>& celdas, qreal alto = 14);
    QList<Columna> columnas() const override;

    // Prints the rows in this order instead of the table's (stable); the readers below and
    // the hooks' row numbers stay in printing order.
    void OrdenarFilas(const std::function<bool(int a, int b)>& antes);

    // Field positions and readers of the table rows.
    int Campo(const char* nombre) const;
    QString Texto(int fila, int campo) const;
    QVariant Valor(int fila, int campo) const;

    const MemTable* m_tabla = nullptr;
    QList<Celda> m_celdas;
    Band* m_detalle = nullptr;

private:
    int filaTabla(int fila) const { return m_filas.empty() ? fila : m_filas[size_t(fila)]; }

    std::vector<int> m_filas; // printing order -> table row; empty: the table's order
    int m_campoPaciente = -1;
    QSet<int> m_impresos;
    bool m_plata = true;
};

} // namespace quill::print
