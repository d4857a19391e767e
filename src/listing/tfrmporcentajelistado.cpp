#include "listing/tfrmporcentajelistado.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TfrmPorcentajeListado::TfrmPorcentajeListado(QWidget* owner)
    : QWidget(owner,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("frmPorcentajeListado"));
    setWindowTitle(QStringLiteral("Buscando"));

    lblTexto = new QLabel(QStringLiteral("Buscando Registros..."), this);
    lblTexto->setObjectName(QStringLiteral("lblTexto"));
    QFont negrita = lblTexto->font();
    negrita.setBold(true);
    lblTexto->setFont(negrita);
    lblTexto->setAlignment(Qt::AlignCenter);

    tbnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    tbnCancelar->setObjectName(QStringLiteral("tbnCancelar"));
    connect(tbnCancelar, &QPushButton::clicked, this, [this] { m_cancelado = true; });

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(tbnCancelar);
    botones->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTexto);
    layout->addLayout(botones);
    setFixedSize(300, 110);
}

TfrmPorcentajeListado::~TfrmPorcentajeListado() = default;

void TfrmPorcentajeListado::setCancelable(bool cancelable) {
    tbnCancelar->setEnabled(cancelable);
}

void TfrmPorcentajeListado::Mostrar() {
    QRect zona;
    if (QWidget* p = parentWidget(); p && p->isVisible())
        zona = QRect(p->mapToGlobal(QPoint(0, 0)), p->size());
    else if (QScreen* s = QGuiApplication::primaryScreen())
        zona = s->availableGeometry();
    if (zona.isValid()) move(zona.center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
}
