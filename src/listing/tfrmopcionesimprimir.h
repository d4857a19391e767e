#pragma once

// The print options dialog, "Configuración Impresión de Listados": report type, order and
// direction, currency, prescription format, what to print and the printer.
//
// The window's print action calls one function and reads the choices back:
//
//     quill::ConfiguracionImpresion opciones;            // output/print/impresoras_opciones.h
//     const qint16 codigo = TfrmOpcionesImprimir::Ejecutar(conMonedas, tipoListado, bloque,
//                                                          opciones, this);
//     if (codigo != 0) return codigo; // -301: cancelled; `opciones` is left as it was
//     // opciones.Tipo indexes the kind's reports, opciones.Orden / Sentido go to the query,
//     // opciones.Impresora names the printer; when it is "PDF" (quill::EsImpresoraPDF)
//     // opciones.FicheroPDF is the file to write, already chosen by the user.
//
// tipoListado is the kind's code (0-6), or 10 / 11 for the glasses / hearing-aid prescription
// reports. The lists come from the kind's descriptor (report types, order codes) and, with
// conMonedas, from the host's currencies (slot 10). A kind without report types gives Tipo 0
// (its one report); a kind without orders gives Orden 0; a hidden option reads false.
//
// Keys: F5 "Imprimir", F7 "Cancelar" (asks), F12 closes, F4 the printer list, Enter moves to
// the next edit, drop-down or check box.

#include "output/print/impresoras_opciones.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <cstdint>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStatusBar;

class TfrmOpcionesImprimir : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOpcionesImprimir(QWidget* owner = nullptr);
    ~TfrmOpcionesImprimir() override;

    // Fills the lists for a kind, shows the dialog through the modal interface and on OK copies
    // the choices into `opciones`. Returns 0 on OK, -301 otherwise.
    static qint16 Ejecutar(bool conMonedas, qint16 tipoListado, const std::intptr_t* bloque,
                           quill::ConfiguracionImpresion& opciones, QWidget* owner = nullptr);

    // The lists the window hands over, by kind: report types and order names from the kind's
    // descriptor, the host's two currency names when asked for.
    struct Listas {
        QStringList tipos;
        QStringList ordenes;
        QStringList monedas;
    };
    static Listas ListasDe(bool conMonedas, qint16 tipoListado, const std::intptr_t* bloque);

    // The setters, then the preparation (ValoresIniciales).
    void setTipoListado(qint16 tipo) { m_tipoListado = tipo; }
    void setBloque(const std::intptr_t* bloque) { m_bloque = bloque; }
    void setListas(const Listas& listas) { m_listas = listas; }
    // Loads the lists, shows the rows of the kind, selects the defaults.
    void ValoresIniciales();

    // The choices, valid after the dialog closed (OK; or Cancel, which empties them).
    const quill::ConfiguracionImpresion& Resultado() const { return m_resultado; }
    qint16 TipoListado() const { return m_tipoListado; }

    QLabel* lblCabecera;
    QLabel* lblDescripcion;
    QLabel* lblTipo;
    QComboBox* cbxTipo;
    QLabel* lblOrden;
    QComboBox* cbxOrden;
    QLabel* lblSentido;
    QComboBox* cbxSentido;
    QLabel* lblMoneda;
    QComboBox* cbxMoneda;
    QLabel* lblFormato;
    QComboBox* cbxFormato;
    QCheckBox* chxDatosEmpresa;
    QCheckBox* chxCondicion;
    QCheckBox* chxObservaciones;
    QCheckBox* chxNumerar;
    QLabel* lblNOrden;
    QSpinBox* edtNOrden;
    QCheckBox* chxAgrupar;
    QCheckBox* chxImprimirTitulo;
    QCheckBox* chxNumerarPagina;
    QCheckBox* chxFecha;
    QLabel* lblImpresora;
    QLineEdit* edtImpresora;
    QAction* actImpresora; // the printer button inside edtImpresora
    QLabel* lblFichero;    // the PDF file, when the printer is "PDF"
    QPushButton* btnImprimir;
    QPushButton* btnCancelar;
    QStatusBar* sbrAyuda;

public Q_SLOTS:
    // Refuses an empty printer; for "PDF" without a file asks for it; then reads every choice
    // and closes with OK.
    void Imprimir();
    // Asks; on Yes empties the choices and closes with Cancel, on No changes nothing.
    void Cancelar();
    // The printer list (TfrmImpresoras); on OK its choice goes into edtImpresora.
    void SeleccionarImpresora();
    // Escape and the window's close button: as "Cancelar".
    void reject() override { Cancelar(); }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void MostrarObservaciones();
    void MostrarFichero();
    // The order code of a name of the order list; 0 for any other text.
    static qint16 CodigoOrden(const QString& nombre);

    qint16 m_tipoListado = 0;
    const std::intptr_t* m_bloque = nullptr;
    Listas m_listas;
    QString m_fichero;
    quill::ConfiguracionImpresion m_resultado;
};
