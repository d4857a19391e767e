#pragma once

// The label options dialog "Impresión de etiquetas": format and printer, order and direction,
// first row and column on the first sheet, number of copies, and one label per address. The
// window sets every input, shows it modally and reads the results only after OK.
//
// "Imprimir" (or F5) refuses an empty printer, an empty format and a format that is neither a
// standard document nor an EPL/2 format; "Cancelar" (or F7) asks first; F12 closes; Enter moves
// to the next control. The format button (F3) opens the format browser.

#include <QDialog>
#include <QString>
#include <QStringList>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

class TfrmOpcionesEtiqueta : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOpcionesEtiqueta(QWidget* owner = nullptr);
    ~TfrmOpcionesEtiqueta() override;

    // ---- Inputs, set before Preparar ----
    void setBloque(const std::intptr_t* bloque) { m_bloque = bloque; }
    void setCopias(int copias) { m_copias = copias; }
    void setMostrarCopias(bool mostrar) { m_mostrarCopias = mostrar; }
    void setFilaInicial(int fila) { m_fila = fila; }
    void setColumnaInicial(int columna) { m_columna = columna; }
    // Document context: 34 patients, 35 clients, 36 suppliers, 37 articles, 38 shipping.
    void setContexto(int contexto) { m_contexto = contexto; }
    void setFechaNacimiento(bool ofrecer) { m_fechaNacimiento = ofrecer; }
    void setFormato(const QString& formato) { m_formatoInicial = formato; }
    void setImpresora(const QString& impresora) { m_impresoraInicial = impresora; }

    // Fills the controls from the inputs: 0, or -1 after "Paso no inicializado. Imposible
    // continuar" when there is no host block.
    qint16 Preparar();

    // The orders a context offers.
    static QStringList Ordenes(int contexto, bool fechaNacimiento);

    // ---- Results, valid after OK ----
    qint16 Orden() const { return m_orden; } // position in the order list
    qint16 Sentido() const { return m_sentido; }
    QString Impresora() const { return m_impresora; }
    // The file the printer chooser asked for when the printer is the built-in "PDF".
    QString Fichero() const { return m_fichero; }
    QString Formato() const { return m_formato; }
    qint16 FilaInicial() const { return m_filaResultado; }
    qint16 ColumnaInicial() const { return m_columnaResultado; }
    qint16 Copias() const { return m_copiasResultado; }
    bool PorDomicilio() const { return m_porDomicilio; }
    // The order's name ("Código", "Apellidos"...).
    QString TextoOrden() const { return m_textoOrden; }

    // The format path checks of "Imprimir": 0, or -2 after the message.
    qint16 IntegridadDatos();

    QLabel* lblCabecera;
    QLabel* lblDescripcion;
    QGroupBox* gbxFormato;
    QLineEdit* edtFormato;
    QToolButton* tbnFormato;
    QLineEdit* edtImpresora;
    QToolButton* tbnImpresora;
    QGroupBox* gbxConfiguracion;
    QLabel* lblOrden;
    QComboBox* cbxOrden;
    QLabel* lblSentido;
    QComboBox* cbxSentido;
    QSpinBox* edtFilaInicial;
    QSpinBox* edtColumnaInicial;
    QLabel* lblNumeroCopias;
    QSpinBox* edtNumeroCopias;
    QCheckBox* chxPorDomicilio;
    QPushButton* btnImprimir;
    QPushButton* btnCancelar;

public Q_SLOTS:
    void Imprimir();
    void Cancelar() { reject(); }
    void reject() override;
    // The format browser: its name, first column and row go into the boxes.
    void BuscarFormato();
    // The printer list (F4), preselecting the workstation's label printer; the PDF printer
    // asks there for its file.
    void BuscarImpresora();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const std::intptr_t* m_bloque = nullptr;
    int m_copias = 1;
    bool m_mostrarCopias = true;
    int m_fila = 1;
    int m_columna = 1;
    int m_contexto = 34;
    bool m_fechaNacimiento = false;
    QString m_formatoInicial;
    QString m_impresoraInicial;

    qint16 m_orden = -1;
    qint16 m_sentido = 0;
    QString m_impresora;
    QString m_fichero;
    QString m_ficheroElegido;
    QString m_formato;
    qint16 m_filaResultado = 1;
    qint16 m_columnaResultado = 1;
    qint16 m_copiasResultado = 1;
    bool m_porDomicilio = false;
    QString m_textoOrden;
};
