#pragma once

// The progress window shown while a listing query runs: "Buscando Registros..." and a Cancel
// button. The query blocks the user-interface thread, so a click on Cancel is only seen when
// the window lets pending events run again, after the query: the action then stops quietly.

#include <QWidget>

class QLabel;
class QPushButton;

class TfrmPorcentajeListado : public QWidget {
    Q_OBJECT
public:
    // `owner` is the host's window (slot 1): the window stays on top of it and centred on it.
    explicit TfrmPorcentajeListado(QWidget* owner = nullptr);
    ~TfrmPorcentajeListado() override;

    // Export cannot be cancelled half-way: its Cancel button is disabled.
    void setCancelable(bool cancelable);
    // Whether Cancel was pressed since the window was made.
    bool Cancelado() const { return m_cancelado; }
    // Centres the window on its owner (on the screen without one) and shows it.
    void Mostrar();

    QLabel* lblTexto;
    QPushButton* tbnCancelar;

private:
    bool m_cancelado = false;
};
