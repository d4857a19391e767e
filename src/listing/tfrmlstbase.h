#pragma once

// The frame shared by listing windows: navigation bar on the left, title panel, all/any choice,
// condition grid and filter buttons on the right, status bar below. Child positions follow the
// fixed resize rule of the listing window rather than a layout.

#include "listing/gridcondiciones.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace quill {
class NavBar;
class NavGroup;
class NavItem;
} // namespace quill

class TfrmlstBase : public QWidget {
    Q_OBJECT
public:
    explicit TfrmlstBase(QWidget* parent = nullptr);

    // Status-bar text (the bar has one text panel).
    void setTextoAyuda(const QString& texto);
    QString textoAyuda() const;

    // Navigation bar, its groups and action items.
    quill::NavBar* nbrListado;
    quill::NavGroup* nbgTareas;
    quill::NavGroup* nbgListados;
    quill::NavItem* nbiImprimir;
    quill::NavItem* nbiConteo;
    quill::NavItem* nbiEtiqueta;
    quill::NavItem* nbiSMS;
    quill::NavItem* nbiFicheroSMS;
    quill::NavItem* nbiExportar;
    quill::NavItem* nbrEmail;
    quill::NavItem* nbiGrafico;
    quill::NavItem* nbiTicket;
    quill::NavItem* nbiVisualizar;
    quill::NavItem* nbiSalir;

    // The listing page and what it holds.
    QWidget* tshListado;
    QLabel* pnlTitulo;
    QRadioButton* rbnTodas;
    QRadioButton* rbnCualquiera;
    quill::GridCondiciones* grdListado;
    QPushButton* tbnCargar;
    QPushButton* tbnGuardar;
    QPushButton* tbnLimpiar;
    QStatusBar* sbrAyuda;

    // Closes the window, or the sub-window holding it inside a multi-document area.
    void Salir();
    // Asked by Salir (F12) before closing; the listing window asks the user when conditions
    // would be lost.
    virtual bool ConfirmarSalida() { return true; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void aplicarTamano(int ancho, int alto);

    QLabel* m_panelAyuda;
};
