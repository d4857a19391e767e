#include "listing/tfrmconteo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

TfrmConteo::TfrmConteo(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmConteo"));
    setWindowTitle(QStringLiteral("Nº Registros"));
    setModal(true);

    lblTexto = new QLabel(
        QStringLiteral("El número de Pacientes con las Condiciones Solicitadas es de "), this);
    lblTexto->setObjectName(QStringLiteral("lblTexto"));

    edtConteo = new QLineEdit(this);
    edtConteo->setObjectName(QStringLiteral("edtConteo"));
    edtConteo->setReadOnly(true);
    edtConteo->setAlignment(Qt::AlignRight);
    edtConteo->setFocusPolicy(Qt::NoFocus);
    QFont negrita = edtConteo->font();
    negrita.setBold(true);
    edtConteo->setFont(negrita);
    edtConteo->setText(TextoConteo(0));

    tbnAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    tbnAceptar->setObjectName(QStringLiteral("tbnAceptar"));
    tbnAceptar->setDefault(true);
    connect(tbnAceptar, &QPushButton::clicked, this, &QDialog::accept);

    auto* numero = new QHBoxLayout;
    numero->addStretch();
    numero->addWidget(edtConteo);
    edtConteo->setFixedWidth(140);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(tbnAceptar);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 10);
    layout->addWidget(lblTexto);
    layout->addLayout(numero);
    layout->addSpacing(8);
    layout->addLayout(botones);
    setFixedSize(layout->sizeHint().expandedTo(QSize(420, 0)));
}

TfrmConteo::~TfrmConteo() = default;

void TfrmConteo::setConteo(double conteo) {
    m_conteo = conteo;
    edtConteo->setText(TextoConteo(conteo));
}

QString TfrmConteo::TextoConteo(double conteo) {
    if (!std::isfinite(conteo)) return QStringLiteral("0");
    const double redondo = std::round(conteo);
    const QString cifras = QString::number(std::fabs(redondo), 'f', 0);
    QString texto;
    for (qsizetype i = 0; i < cifras.size(); ++i) {
        if (i > 0 && (cifras.size() - i) % 3 == 0) texto += QLatin1Char('.');
        texto += cifras.at(i);
    }
    return redondo < 0 ? QLatin1Char('-') + texto : texto;
}

void TfrmConteo::showEvent(QShowEvent* event) {
    // Centred on the host's window, as every secondary window of the listing.
    if (QWidget* p = parentWidget(); p && p->isVisible())
        move(p->mapToGlobal(QPoint(0, 0)) +
             QPoint((p->width() - width()) / 2, (p->height() - height()) / 2));
    QDialog::showEvent(event);
}
