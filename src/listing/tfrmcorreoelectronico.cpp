#include "listing/tfrmcorreoelectronico.h"

#include "platform/modal.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TfrmCorreoElectronico::TfrmCorreoElectronico(QWidget* owner)
    // No border icons: the buttons are the only way out.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmCorreoElectronico"));
    setWindowTitle(QStringLiteral("Correo Electrónico"));
    setModal(true);

    auto* cabecera = new QFrame(this);
    cabecera->setObjectName(QStringLiteral("pnlCabecera"));
    cabecera->setAutoFillBackground(true);
    QPalette blanco = cabecera->palette();
    blanco.setColor(QPalette::Window, Qt::white);
    cabecera->setPalette(blanco);
    lblTitulo = new QLabel(QStringLiteral("Mensaje de correo electrónico"), cabecera);
    lblTitulo->setObjectName(QStringLiteral("lblTitulo"));
    QFont negrita = lblTitulo->font();
    negrita.setBold(true);
    lblTitulo->setFont(negrita);
    lblSubtitulo = new QLabel(
        QStringLiteral("Rellene los datos necesarios para el envío del correo electrónico."),
        cabecera);
    lblSubtitulo->setObjectName(QStringLiteral("lblSubtitulo"));
    auto* lc = new QVBoxLayout(cabecera);
    lc->setContentsMargins(12, 8, 12, 8);
    lc->addWidget(lblTitulo);
    lc->addWidget(lblSubtitulo);

    edtNombre = new QLineEdit(this);
    edtNombre->setObjectName(QStringLiteral("edtNombre"));
    edtCorreo = new QLineEdit(this);
    edtCorreo->setObjectName(QStringLiteral("edtCorreo"));
    edtAsunto = new QLineEdit(this);
    edtAsunto->setObjectName(QStringLiteral("edtAsunto"));
    memMensaje = new QPlainTextEdit(this);
    memMensaje->setObjectName(QStringLiteral("memMensaje"));
    memMensaje->setTabChangesFocus(true);
    chxCopia = new QCheckBox(QStringLiteral("Enviar una copia al remitente"), this);
    chxCopia->setObjectName(QStringLiteral("chxCopia"));
    lblDestinatarios = new QLabel(this);
    lblDestinatarios->setObjectName(QStringLiteral("lblDestinatarios"));
    lblDestinatarios->setWordWrap(true);

    btnAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    btnAceptar->setObjectName(QStringLiteral("btnAceptar"));
    btnAceptar->setAutoDefault(false);
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnCancelar->setAutoDefault(false);
    connect(btnAceptar, &QPushButton::clicked, this, [this] { Aceptar(); });
    connect(btnCancelar, &QPushButton::clicked, this, &TfrmCorreoElectronico::reject);

    auto* campos = new QFormLayout;
    campos->addRow(QStringLiteral("Remitente"), edtNombre);
    campos->addRow(QStringLiteral("Correo"), edtCorreo);
    campos->addRow(QStringLiteral("Asunto"), edtAsunto);
    campos->addRow(QStringLiteral("Mensaje"), memMensaje);
    auto* botones = new QHBoxLayout;
    botones->addWidget(chxCopia);
    botones->addStretch();
    botones->addWidget(btnAceptar);
    botones->addWidget(btnCancelar);
    auto* cuerpo = new QVBoxLayout;
    cuerpo->setContentsMargins(12, 8, 12, 10);
    cuerpo->addLayout(campos, 1);
    cuerpo->addWidget(lblDestinatarios);
    cuerpo->addLayout(botones);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(cabecera);
    layout->addLayout(cuerpo, 1);
    setFixedSize(500, 367);
    edtAsunto->setFocus();
}

TfrmCorreoElectronico::~TfrmCorreoElectronico() = default;

void TfrmCorreoElectronico::setDestinatarios(int destinatarios, int sinDireccion,
                                             int sinConsentimiento) {
    QString t = QStringLiteral("Recibirán el mensaje %1 pacientes. Pacientes del listado sin "
                               "correo electrónico: %2.")
                    .arg(destinatarios)
                    .arg(sinDireccion);
    if (sinConsentimiento >= 0)
        t += QStringLiteral(" No aceptan correo: %1.").arg(sinConsentimiento);
    lblDestinatarios->setText(t);
}

void TfrmCorreoElectronico::Cargar() {
    edtNombre->setText(Nombre);
    edtCorreo->setText(Correo);
    edtAsunto->setText(Asunto);
    memMensaje->clear();
    memMensaje->setPlainText(Mensaje);
    chxCopia->setChecked(Copia != 0);
}

void TfrmCorreoElectronico::Aceptar() {
    if (memMensaje->toPlainText().isEmpty()) {
        quill::Modal::current().message(
            QStringLiteral("Error"),
            QStringLiteral("Debe escribir un mensaje para el envío de correo electrónico."),
            quill::MessageIcon::Stop);
        return;
    }
    Nombre = edtNombre->text();
    Correo = edtCorreo->text();
    Asunto = edtAsunto->text();
    Mensaje = memMensaje->toPlainText();
    Copia = chxCopia->isChecked() ? 1 : 0;
    accept();
}

void TfrmCorreoElectronico::reject() {
    Nombre.clear();
    Correo.clear();
    Asunto.clear();
    Mensaje.clear();
    Copia = 0;
    QDialog::reject();
}

void TfrmCorreoElectronico::showEvent(QShowEvent* event) {
    // Centred on the screen.
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect zona = s->availableGeometry();
        move(zona.center() - QPoint(width() / 2, height() / 2));
    }
    edtAsunto->setFocus();
    QDialog::showEvent(event);
}
