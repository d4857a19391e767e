#include "listing/tfrmsmsmasivo.h"

#include "host/bloque.h"
#include "platform/modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmSMSMasivo::TfrmSMSMasivo(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmSMSMasivo"));
    setWindowTitle(QStringLiteral("Envío de mensajes SMS"));
    setModal(true);

    lblCabecera = new QLabel(QStringLiteral("Mensaje corto para teléfonos móviles."), this);
    lblCabecera->setObjectName(QStringLiteral("lblCabecera"));
    QFont negrita = lblCabecera->font();
    negrita.setBold(true);
    lblCabecera->setFont(negrita);
    lblSubcabecera = new QLabel(QStringLiteral("Introduzca el mensaje que quiere enviar."), this);
    lblSubcabecera->setObjectName(QStringLiteral("lblSubcabecera"));

    edtDe = new QLineEdit(this);
    edtDe->setObjectName(QStringLiteral("edtDe"));
    edtDe->setMaxLength(quill::sms::LongitudRemitente);
    memMensaje = new QPlainTextEdit(this);
    memMensaje->setObjectName(QStringLiteral("memMensaje"));
    memMensaje->setTabChangesFocus(true);
    txtEspacio = new QLabel(this);
    txtEspacio->setObjectName(QStringLiteral("txtEspacio"));
    chxFecha = new QCheckBox(QStringLiteral("Enviar el mensaje en un día y hora específico"), this);
    chxFecha->setObjectName(QStringLiteral("chxFecha"));
    edtFecha = new QDateTimeEdit(QDateTime::currentDateTime(), this);
    edtFecha->setObjectName(QStringLiteral("edtFecha"));
    edtFecha->setDisplayFormat(QStringLiteral("dd/MM/yyyy HH:mm"));
    edtFecha->setCalendarPopup(true);
    edtFecha->setEnabled(false);
    cbxProveedor = new QComboBox(this);
    cbxProveedor->setObjectName(QStringLiteral("cbxProveedor"));
    cbxProveedor->addItem(QStringLiteral("Mensario"));
    cbxProveedor->setCurrentIndex(0);
    tbnAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    tbnAceptar->setObjectName(QStringLiteral("tbnAceptar"));
    tbnAceptar->setDefault(true);
    tbnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    tbnCancelar->setObjectName(QStringLiteral("tbnCancelar"));

    connect(memMensaje, &QPlainTextEdit::textChanged, this, &TfrmSMSMasivo::MensajeCambiado);
    connect(chxFecha, &QCheckBox::toggled, edtFecha, &QWidget::setEnabled);
    // A time the editor cannot read (it keeps the last good one) falls back to today.
    connect(edtFecha, &QDateTimeEdit::editingFinished, this, [this] {
        if (!edtFecha->dateTime().isValid()) edtFecha->setDateTime(QDateTime::currentDateTime());
    });
    connect(tbnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(tbnAceptar, &QPushButton::clicked, this, &TfrmSMSMasivo::Aceptar);

    auto* formulario = new QFormLayout;
    formulario->addRow(QStringLiteral("De"), edtDe);
    formulario->addRow(QStringLiteral("Mensaje"), memMensaje);
    formulario->addRow(QString(), txtEspacio);
    formulario->addRow(QString(), chxFecha);
    formulario->addRow(QString(), edtFecha);
    formulario->addRow(QStringLiteral("Proveedor"), cbxProveedor);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(tbnAceptar);
    botones->addWidget(tbnCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCabecera);
    layout->addWidget(lblSubcabecera);
    layout->addSpacing(8);
    layout->addLayout(formulario, 1);
    layout->addLayout(botones);
    setFixedSize(479, 443);
    MensajeCambiado();
}

TfrmSMSMasivo::~TfrmSMSMasivo() = default;

void TfrmSMSMasivo::Inicializar(const std::intptr_t* bloque, int tipoOperacion, int idOperacion) {
    m_tipoOperacion = tipoOperacion;
    m_idOperacion = idOperacion;
    const auto* db = quill::slotObject<quill::HostConnection>(bloque, quill::SlotDatabase);
    const auto* puesto = quill::slotObject<quill::TConfPuesto>(bloque, quill::SlotSettings);
    m_sms = std::make_unique<quill::TSMS>(db ? db->connectionName : QString(),
                                          puesto ? puesto->CarpetaPrograma : QString());
    m_sms->Telefonos.clear();
    txtEspacio->setText(
        QStringLiteral("Caracteres disponibles: %1").arg(quill::sms::LongitudMensaje));
}

void TfrmSMSMasivo::MensajeCambiado() {
    // The text takes no more than a message holds.
    QString texto = memMensaje->toPlainText();
    if (texto.size() > quill::sms::LongitudMensaje) {
        texto.truncate(quill::sms::LongitudMensaje);
        const QSignalBlocker bloqueo(memMensaje);
        memMensaje->setPlainText(texto);
        memMensaje->moveCursor(QTextCursor::End);
    }
    txtEspacio->setText(QStringLiteral("Caracteres disponibles: %1")
                            .arg(quill::sms::LongitudMensaje - texto.size()));
}

void TfrmSMSMasivo::Aceptar() {
    if (!m_sms) return;
    m_sms->setDe(edtDe->text());
    m_sms->setMensaje(memMensaje->toPlainText());
    m_sms->setTipoOperacion(m_tipoOperacion);
    m_sms->setIdOperacion(m_idOperacion);
    m_sms->setProveedor(cbxProveedor->currentIndex());
    m_sms->setFechaEnvio(chxFecha->isChecked() ? edtFecha->dateTime() : QDateTime());
    const int r = m_sms->Enviar();
    if (r == 0) {
        quill::Modal::current().message(QStringLiteral("Resultado"), m_sms->TextoResultado(),
                                        quill::MessageIcon::Information);
        accept();
        return;
    }
    const QString texto = quill::MensajeSMS(r);
    if (!texto.isEmpty())
        quill::Modal::current().message(QStringLiteral("Mensaje"), texto, quill::MessageIcon::Stop);
}

void TfrmSMSMasivo::showEvent(QShowEvent* event) {
    // Centred on its owner.
    if (QWidget* p = parentWidget(); p && p->isVisible())
        move(p->mapToGlobal(QPoint(0, 0)) +
             QPoint((p->width() - width()) / 2, (p->height() - height()) / 2));
    QDialog::showEvent(event);
}
