#pragma once

// The export options dialog: the type of file (spreadsheet, HTML, text, XML) and its name.
// In SMS mode (the "Archivo envio SMS" action) the type is always text.
//
// The file button offers a save dialog filtered by the type and gives the picked name the
// type's extension (ComprobarNombre); a name typed in the box is taken as typed. "&Exportar"
// (or F5) refuses an empty name or type; "&Cancelar" (or F7, F12) asks first. Enter moves to
// the next control.

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class TfrmOpcionesExportacion : public QDialog {
    Q_OBJECT
public:
    // Export type codes; -1 after a cancel.
    static constexpr qint16 TipoExcel = 0;
    static constexpr qint16 TipoHTML = 1;
    static constexpr qint16 TipoTexto = 2;
    static constexpr qint16 TipoXML = 3;

    explicit TfrmOpcionesExportacion(QWidget* owner = nullptr);
    ~TfrmOpcionesExportacion() override;

    // Sets the mode, then the texts (Idioma) and the type list (Recursos).
    void Inicializar(bool sms);
    void Idioma();
    void Recursos();
    bool SMS() const { return m_sms; }

    // 0 when the file name and the type are given, else -2 after saying which is missing.
    qint16 IntegridadDatos();
    // The save dialog's filter for the selected type (text in SMS mode).
    QStringList ExtensionArchivo() const;
    // The name with the selected type's extension appended unless it already ends with it
    // (the last four characters, ignoring case).
    QString ComprobarNombre(const QString& nombre) const;

    // The chosen type and file name, valid after the dialog closed with OK.
    qint16 Tipo() const { return m_tipo; }
    QString Fichero() const { return m_fichero; }

    QLabel* lblCabecera;
    QLabel* lblDescripcion;
    QLabel* pnlTitulo;
    QGroupBox* gbxTipoFichero;
    QLabel* lblTipo;
    QComboBox* cbxTipo;
    QLabel* lblFichero;
    QLineEdit* edtFichero;
    QToolButton* tbnFichero;
    QPushButton* tbnExportar;
    QPushButton* tbnCancelar;

public Q_SLOTS:
    // The file button: the save dialog, then ComprobarNombre of the picked name.
    void SeleccionarFichero();
    // "&Exportar": checks the data and closes with OK.
    void Exportar();
    // "&Cancelar" (also Escape and the window's close button): asks, and on Yes closes with
    // Cancel, the type -1 and no file name.
    void Cancelar() { reject(); }
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The type the selection stands for (always text in SMS mode); -1 when none is selected.
    qint16 tipoSeleccionado() const;

    bool m_sms = false;
    qint16 m_tipo = -1;
    QString m_fichero;
};
