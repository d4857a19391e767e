#pragma once

// The dialog that asks for the name a filter is saved under ("&Guardar Filtros").
//
// It opens with the name of the filter last loaded, if any. "&Aceptar" (or F5) refuses an empty
// name or one a file name cannot hold, asks before reusing the name it was opened with, and
// accepts any other name without looking at the folder. "&Cancelar" (or F12) closes it. Enter
// moves to the next control, as everywhere in the listing.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
#include <functional>

class QPushButton;

class TfrmlstCrearFiltro : public QDialog {
    Q_OBJECT
public:
    explicit TfrmlstCrearFiltro(QWidget* parent = nullptr);
    ~TfrmlstCrearFiltro() override;

    // The name of the filter last loaded (may be empty): shown in the box.
    void setNombre(const QString& nombre);
    // Whether a saved filter of that name exists: saving over another filter asks first too.
    void setExiste(std::function<bool(const QString&)> existe) { m_existe = std::move(existe); }
    // The accepted name, without surrounding blanks; empty until accepted.
    QString Nombre() const { return m_nombre; }

    QLabel* lblTitulo;
    QLabel* lblDescripcion;
    QLineEdit* edtNombre;
    QPushButton* tbnAceptar;
    QPushButton* tbnCancelar;

public Q_SLOTS:
    // "&Aceptar": checks the name and closes the dialog accepted when it may be used.
    void Aceptar();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_original;
    QString m_nombre;
    std::function<bool(const QString&)> m_existe;
};

namespace quill {

// Shows TfrmlstCrearFiltro through Modal with `ultimo` (the filter last loaded) proposed;
// the name to save under, or an empty text when cancelled. `existe` tells the names already
// saved: overwriting one asks first.
QString PedirNombreFiltro(const QString& ultimo, QWidget* padre = nullptr,
                          std::function<bool(const QString&)> existe = {});

} // namespace quill
