#pragma once

// The workstation's SMS settings, as the host's menu maintains them: the provider, its service
// address, the account's login parameters and the proxy. Read and written through TCfgSMS's keys
// (strings kept scrambled).

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace quill {

class TfrmCfgSMS : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCfgSMS(QWidget* parent = nullptr);

    // Fills the fields from the settings (creating the keys with their defaults when missing).
    void Cargar();
    // Writes the fields; empty text, or why they could not be written.
    QString Guardar();

    QComboBox* cbxProveedor;
    QLineEdit* edtServidor;
    QLineEdit* edtParam[5];
    QCheckBox* chxProxy;
    QLineEdit* edtProxyServidor;
    QSpinBox* edtProxyPuerto;
    QLineEdit* edtProxyUsuario;
    QLineEdit* edtProxyClave;
};

} // namespace quill
