#pragma once

// The mass-SMS dialog: the sender and the text (with the characters left), an optional sending
// time and the provider; "Aceptar" sends through its TSMS and shows the result, or the message
// of what failed and stays open. Shown modally (through quill::Modal).

#include "messaging/sms/tsms.h"

#include <QDialog>

#include <cstdint>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmSMSMasivo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSMSMasivo(QWidget* owner = nullptr);
    ~TfrmSMSMasivo() override;

    // The host block (its database connection and program folder) and the operation that causes
    // the sending; creates the dialog's TSMS.
    void Inicializar(const std::intptr_t* bloque, int tipoOperacion, int idOperacion);
    // The sending the window queues the numbers in; null before Inicializar.
    quill::TSMS* SMS() const { return m_sms.get(); }

    QLabel* lblCabecera;
    QLabel* lblSubcabecera;
    QLineEdit* edtDe;
    QPlainTextEdit* memMensaje;
    QLabel* txtEspacio;
    QCheckBox* chxFecha;
    QDateTimeEdit* edtFecha;
    QComboBox* cbxProveedor;
    QPushButton* tbnAceptar;
    QPushButton* tbnCancelar;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Aceptar();
    void MensajeCambiado();

    std::unique_ptr<quill::TSMS> m_sms;
    int m_tipoOperacion = 0;
    int m_idOperacion = -1;
};
