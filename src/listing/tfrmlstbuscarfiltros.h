#pragma once

// The dialog that offers the saved filters of the current listing kind ("&Cargar Filtros").
// It lists the filters folder through a saved-filter holder of its own; "&Aceptar" with an
// entry selected closes it with that entry's name, without one it does nothing.

#include <QDialog>
#include <QString>

#include <cstdint>

class QLabel;
class QListWidget;
class QPushButton;
class TLstFiltros;

class TfrmlstBuscarFiltros : public QDialog {
    Q_OBJECT
public:
    explicit TfrmlstBuscarFiltros(QWidget* parent = nullptr);
    ~TfrmlstBuscarFiltros() override;

    // The host parameter block, for the filters folder.
    void setBloque(const std::intptr_t* bloque);
    void setTipoListado(qint16 tipo) { m_tipoListado = tipo; }
    qint16 TipoListado() const { return m_tipoListado; }

    // Fills the list with the filters of the listing kind; returns how many there are.
    int CargarFiltros();
    // The chosen filter's name; empty until accepted.
    QString Filtro() const { return m_filtro; }

    QLabel* lblTitulo;
    QLabel* lblDescripcion;
    QListWidget* lvwFiltros;
    QPushButton* tbnAceptar;
    QPushButton* tbnCancelar;
    // The dialog's own holder, which reads each file of the folder.
    TLstFiltros* LstFiltros;

public Q_SLOTS:
    void Aceptar();

private:
    qint16 m_tipoListado = 0;
    QString m_filtro;
};

namespace quill {

// Hands the filters and data-packet folders of the host's workstation settings (slot 6) to a
// saved-filter holder; empty folders without a block or settings object.
void AsignarCarpetas(TLstFiltros& filtros, const std::intptr_t* bloque);

// Shows TfrmlstBuscarFiltros through Modal with the filters of `tipoListado` in the filters
// folder of the host block; the chosen name, or an empty text when none was chosen.
QString ElegirFiltro(const std::intptr_t* bloque, qint16 tipoListado, QWidget* padre = nullptr);

} // namespace quill
