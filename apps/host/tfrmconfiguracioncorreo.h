#pragma once

// The workstation's e-mail settings dialog of the host: server, port, security mode, login,
// sender, copy to the sender and the two sending options. Aceptar writes the settings (user and
// password scrambled) and the host's workstation object takes them at once.

#include "host/bloque.h"
#include "messaging/email/configuracioncorreo.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quill {

// The mail values of the workstation object from the settings.
void AplicarConfiguracionCorreo(TConfPuesto& puesto, const ConfiguracionCorreo& c);

class TfrmConfiguracionCorreo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConfiguracionCorreo(QWidget* owner = nullptr);

    // Puts the settings into the controls.
    void Cargar(const ConfiguracionCorreo& c);
    // The settings as the controls hold them.
    ConfiguracionCorreo Configuracion() const;

    QLineEdit* edtServidor;
    QSpinBox* spePuerto;
    QComboBox* cbxSeguridad; // 0 STARTTLS, 1 TLS from the first byte
    QCheckBox* chxAutentificacion;
    QLineEdit* edtUsuario;
    QLineEdit* edtClave;
    QLineEdit* edtNombre;
    QLineEdit* edtCorreo;
    QCheckBox* chxCopia;
    QSpinBox* speDestinatarios;
    QCheckBox* chxConsentimiento;
    QPushButton* btnAceptar;
    QPushButton* btnCancelar;

private:
    void Aceptar();
    void ActivarCredenciales();

    // Kept as read: the dialog does not edit it.
    QString m_certificados;
};

} // namespace quill
