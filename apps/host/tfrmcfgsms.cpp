#include "tfrmcfgsms.h"

#include "messaging/sms/tcfgsms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quill {

TfrmCfgSMS::TfrmCfgSMS(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCfgSMS"));
    setWindowTitle(QStringLiteral("Configuración de mensajes SMS"));
    setModal(true);

    cbxProveedor = new QComboBox(this);
    cbxProveedor->setObjectName(QStringLiteral("cbxProveedor"));
    cbxProveedor->addItem(QStringLiteral("Mensario"));
    edtServidor = new QLineEdit(this);
    edtServidor->setObjectName(QStringLiteral("edtServidor"));
    edtServidor->setPlaceholderText(QStringLiteral("https://... (dirección que da el proveedor)"));
    auto* cuenta = new QFormLayout;
    cuenta->addRow(QStringLiteral("Proveedor"), cbxProveedor);
    cuenta->addRow(QStringLiteral("Dirección del servicio"), edtServidor);
    const char* nombres[5] = {"Cuenta", "Usuario", "Clave", "Parámetro 4", "Parámetro 5"};
    for (int i = 0; i < 5; ++i) {
        edtParam[i] = new QLineEdit(this);
        edtParam[i]->setObjectName(QStringLiteral("edtParam%1").arg(i + 1));
        cuenta->addRow(QString::fromUtf8(nombres[i]), edtParam[i]);
    }
    edtParam[2]->setEchoMode(QLineEdit::Password);

    auto* proxy = new QGroupBox(QStringLiteral("Proxy"), this);
    chxProxy = new QCheckBox(QStringLiteral("Conectar a través de un proxy"), proxy);
    chxProxy->setObjectName(QStringLiteral("chxProxy"));
    edtProxyServidor = new QLineEdit(proxy);
    edtProxyServidor->setObjectName(QStringLiteral("edtProxyServidor"));
    edtProxyPuerto = new QSpinBox(proxy);
    edtProxyPuerto->setObjectName(QStringLiteral("edtProxyPuerto"));
    edtProxyPuerto->setRange(0, 65535);
    edtProxyUsuario = new QLineEdit(proxy);
    edtProxyUsuario->setObjectName(QStringLiteral("edtProxyUsuario"));
    edtProxyClave = new QLineEdit(proxy);
    edtProxyClave->setObjectName(QStringLiteral("edtProxyClave"));
    edtProxyClave->setEchoMode(QLineEdit::Password);
    auto* formProxy = new QFormLayout(proxy);
    formProxy->addRow(chxProxy);
    formProxy->addRow(QStringLiteral("Servidor"), edtProxyServidor);
    formProxy->addRow(QStringLiteral("Puerto"), edtProxyPuerto);
    formProxy->addRow(QStringLiteral("Usuario"), edtProxyUsuario);
    formProxy->addRow(QStringLiteral("Clave"), edtProxyClave);
    auto activar = [this](bool on) {
        for (QWidget* w :
             {static_cast<QWidget*>(edtProxyServidor), static_cast<QWidget*>(edtProxyPuerto),
              static_cast<QWidget*>(edtProxyUsuario), static_cast<QWidget*>(edtProxyClave)})
            w->setEnabled(on);
    };
    connect(chxProxy, &QCheckBox::toggled, this, activar);
    activar(false);

    auto* botones = new QDialogButtonBox(this);
    botones->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("tbnAceptar"));
    botones->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("tbnCancelar"));
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(botones, &QDialogButtonBox::accepted, this, [this] {
        const QString error = Guardar();
        if (error.isEmpty()) {
            accept();
            return;
        }
        QMessageBox::critical(this, QStringLiteral("ERROR"),
                              QStringLiteral("No se ha podido guardar la configuración de mensajes "
                                             "SMS: ") +
                                  error);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(cuenta);
    layout->addWidget(proxy);
    layout->addWidget(botones);
    Cargar();
}

void TfrmCfgSMS::Cargar() {
    TCfgSMS c;
    c.Reiniciar();
    c.Cargar();
    cbxProveedor->setCurrentIndex(c.Proveedor == 0 ? 0 : -1);
    edtServidor->setText(ServidorSMS());
    const QString* p[5] = {&c.Param1, &c.Param2, &c.Param3, &c.Param4, &c.Param5};
    for (int i = 0; i < 5; ++i)
        edtParam[i]->setText(*p[i]);
    chxProxy->setChecked(c.ProxyActivo);
    edtProxyServidor->setText(c.ProxyServidor);
    edtProxyPuerto->setValue(c.ProxyPuerto);
    edtProxyUsuario->setText(c.ProxyUsuario);
    edtProxyClave->setText(c.ProxyClave);
}

QString TfrmCfgSMS::Guardar() {
    TCfgSMS c;
    c.Proveedor = cbxProveedor->currentIndex() < 0 ? 0 : cbxProveedor->currentIndex();
    QString* p[5] = {&c.Param1, &c.Param2, &c.Param3, &c.Param4, &c.Param5};
    for (int i = 0; i < 5; ++i)
        *p[i] = edtParam[i]->text();
    c.ProxyActivo = chxProxy->isChecked();
    c.ProxyServidor = edtProxyServidor->text().trimmed();
    c.ProxyPuerto = edtProxyPuerto->value();
    c.ProxyUsuario = edtProxyUsuario->text();
    c.ProxyClave = edtProxyClave->text();
    return GuardarCfgSMS(c, edtServidor->text());
}

} // namespace quill
