#pragma once

// The compose dialog of the listing e-mail: sender, address, subject and text, and whether the
// sender gets a copy. A setter per property, Cargar() puts them into the controls, a modal show
// (through quill::Modal), and the properties read back only after Aceptar.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmCorreoElectronico : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCorreoElectronico(QWidget* owner = nullptr);
    ~TfrmCorreoElectronico() override;

    void setNombre(const QString& v) { Nombre = v; }
    void setCorreo(const QString& v) { Correo = v; }
    void setAsunto(const QString& v) { Asunto = v; }
    void setMensaje(const QString& v) { Mensaje = v; }
    void setCopia(qint32 v) { Copia = v; }
    // Who the message reaches: the recipients, the listed rows left out for having no address
    // and, when only consenting patients get it, those left out for not accepting mail (-1: the
    // filter is off).
    void setDestinatarios(int destinatarios, int sinDireccion, int sinConsentimiento = -1);
    // Copies the properties into the controls.
    void Cargar();

    QString Nombre;
    QString Correo;
    QString Asunto;
    QString Mensaje;
    qint32 Copia = 0;

    QLabel* lblTitulo;
    QLabel* lblSubtitulo;
    QLabel* lblDestinatarios;
    QLineEdit* edtNombre;
    QLineEdit* edtCorreo;
    QLineEdit* edtAsunto;
    QPlainTextEdit* memMensaje;
    QCheckBox* chxCopia;
    QPushButton* btnAceptar;
    QPushButton* btnCancelar;

public Q_SLOTS:
    // Cancel (also Escape): nothing is kept.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Aceptar();
};
