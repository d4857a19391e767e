#include "tfrmconfiguracioncorreo.h"

#include "platform/modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quill {

void AplicarConfiguracionCorreo(TConfPuesto& p, const ConfiguracionCorreo& c) {
    p.AutRequerida = c.AutRequerida;
    p.AutUsuario = c.AutUsuario;
    p.AutClave = c.AutClave;
    p.OriNombre = c.OriNombre;
    p.OriCorreo = c.OriCorreo;
    p.OriCopia = c.OriCopia;
    p.DesServidor = c.DesServidor;
    p.DesPuerto = c.DesPuerto;
    p.DesSSL = c.DesSSL;
    p.DestinatariosMensaje = c.DestinatariosMensaje;
    p.SoloConsentimiento = c.SoloConsentimiento;
    p.CertificadosCA = c.CertificadosCA;
}

TfrmConfiguracionCorreo::TfrmConfiguracionCorreo(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmConfiguracionCorreo"));
    setWindowTitle(QStringLiteral("Configuración del correo electrónico"));
    setModal(true);

    edtServidor = new QLineEdit(this);
    edtServidor->setObjectName(QStringLiteral("edtServidor"));
    spePuerto = new QSpinBox(this);
    spePuerto->setObjectName(QStringLiteral("spePuerto"));
    spePuerto->setRange(1, 65535);
    cbxSeguridad = new QComboBox(this);
    cbxSeguridad->setObjectName(QStringLiteral("cbxSeguridad"));
    cbxSeguridad->addItems({QStringLiteral("STARTTLS (normalmente puerto 587)"),
                            QStringLiteral("SSL/TLS desde la conexión (normalmente puerto 465)")});
    chxAutentificacion =
        new QCheckBox(QStringLiteral("El servidor requiere autentificación"), this);
    chxAutentificacion->setObjectName(QStringLiteral("chxAutentificacion"));
    edtUsuario = new QLineEdit(this);
    edtUsuario->setObjectName(QStringLiteral("edtUsuario"));
    edtClave = new QLineEdit(this);
    edtClave->setObjectName(QStringLiteral("edtClave"));
    edtClave->setEchoMode(QLineEdit::Password);
    edtNombre = new QLineEdit(this);
    edtNombre->setObjectName(QStringLiteral("edtNombre"));
    edtCorreo = new QLineEdit(this);
    edtCorreo->setObjectName(QStringLiteral("edtCorreo"));
    chxCopia = new QCheckBox(QStringLiteral("Enviar una copia al remitente"), this);
    chxCopia->setObjectName(QStringLiteral("chxCopia"));
    speDestinatarios = new QSpinBox(this);
    speDestinatarios->setObjectName(QStringLiteral("speDestinatarios"));
    speDestinatarios->setRange(0, 10000);
    speDestinatarios->setSpecialValueText(QStringLiteral("Sin límite"));
    chxConsentimiento = new QCheckBox(QStringLiteral("Solo pacientes que aceptan correo"), this);
    chxConsentimiento->setObjectName(QStringLiteral("chxConsentimiento"));

    btnAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    btnAceptar->setObjectName(QStringLiteral("btnAceptar"));
    btnAceptar->setDefault(true);
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    connect(btnAceptar, &QPushButton::clicked, this, [this] { Aceptar(); });
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(chxAutentificacion, &QCheckBox::toggled, this, [this] { ActivarCredenciales(); });

    auto* f = new QFormLayout;
    f->addRow(QStringLiteral("Servidor"), edtServidor);
    f->addRow(QStringLiteral("Puerto"), spePuerto);
    f->addRow(QStringLiteral("Seguridad"), cbxSeguridad);
    f->addRow(QString(), chxAutentificacion);
    f->addRow(QStringLiteral("Usuario"), edtUsuario);
    f->addRow(QStringLiteral("Contraseña"), edtClave);
    f->addRow(QStringLiteral("Remitente"), edtNombre);
    f->addRow(QStringLiteral("Correo"), edtCorreo);
    f->addRow(QString(), chxCopia);
    f->addRow(QStringLiteral("Destinatarios por mensaje"), speDestinatarios);
    f->addRow(QString(), chxConsentimiento);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(btnAceptar);
    botones->addWidget(btnCancelar);
    auto* l = new QVBoxLayout(this);
    l->addLayout(f);
    l->addLayout(botones);
    setMinimumWidth(460);
    Cargar(ConfiguracionCorreo{});
}

void TfrmConfiguracionCorreo::Cargar(const ConfiguracionCorreo& c) {
    edtServidor->setText(c.DesServidor);
    spePuerto->setValue(c.DesPuerto < 1 ? 25 : c.DesPuerto);
    cbxSeguridad->setCurrentIndex(c.DesSSL == 1 ? 1 : 0);
    chxAutentificacion->setChecked(c.AutRequerida == 1);
    edtUsuario->setText(c.AutUsuario);
    edtClave->setText(c.AutClave);
    edtNombre->setText(c.OriNombre);
    edtCorreo->setText(c.OriCorreo);
    chxCopia->setChecked(c.OriCopia != 0);
    speDestinatarios->setValue(std::max(0, c.DestinatariosMensaje));
    chxConsentimiento->setChecked(c.SoloConsentimiento != 0);
    m_certificados = c.CertificadosCA;
    ActivarCredenciales();
}

ConfiguracionCorreo TfrmConfiguracionCorreo::Configuracion() const {
    ConfiguracionCorreo c;
    c.DesServidor = edtServidor->text().trimmed();
    c.DesPuerto = spePuerto->value();
    c.DesSSL = cbxSeguridad->currentIndex() == 1 ? 1 : 0;
    c.AutRequerida = chxAutentificacion->isChecked() ? 1 : 0;
    c.AutUsuario = edtUsuario->text();
    c.AutClave = edtClave->text();
    c.OriNombre = edtNombre->text();
    c.OriCorreo = edtCorreo->text().trimmed();
    c.OriCopia = chxCopia->isChecked() ? 1 : 0;
    c.DestinatariosMensaje = speDestinatarios->value();
    c.SoloConsentimiento = chxConsentimiento->isChecked() ? 1 : 0;
    c.CertificadosCA = m_certificados;
    return c;
}

void TfrmConfiguracionCorreo::ActivarCredenciales() {
    edtUsuario->setEnabled(chxAutentificacion->isChecked());
    edtClave->setEnabled(chxAutentificacion->isChecked());
}

void TfrmConfiguracionCorreo::Aceptar() {
    const ConfiguracionCorreo c = Configuracion();
    QString falta;
    if (c.DesServidor.isEmpty())
        falta = QStringLiteral("Debe indicar el servidor de correo.");
    else if (c.AutRequerida == 1 && (c.AutUsuario.isEmpty() || c.AutClave.isEmpty()))
        falta = QStringLiteral("Debe indicar el usuario y la contraseña del servidor de correo.");
    if (!falta.isEmpty()) {
        Modal::current().message(QStringLiteral("AVISO"), falta, MessageIcon::Stop);
        return;
    }
    const QString error = GuardarConfiguracionCorreo(c);
    if (!error.isEmpty()) {
        Modal::current().message(
            QStringLiteral("ERROR"),
            QStringLiteral("No se ha podido guardar la configuración del correo electrónico: %1")
                .arg(error),
            MessageIcon::Stop);
        return;
    }
    accept();
}

} // namespace quill
