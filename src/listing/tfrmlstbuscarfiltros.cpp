#include "listing/tfrmlstbuscarfiltros.h"

#include "conditions/filtros.h"
#include "conditions/tlstfiltros.h"
#include "host/bloque.h"
#include "platform/modal.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TfrmlstBuscarFiltros::TfrmlstBuscarFiltros(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmlstBuscarFiltros"));
    setWindowTitle(QStringLiteral("Búsqueda de Filtros"));

    lblTitulo = new QLabel(QStringLiteral("Filtros Disponibles"), this);
    lblTitulo->setObjectName(QStringLiteral("lblTitulo"));
    QFont negrita = lblTitulo->font();
    negrita.setBold(true);
    lblTitulo->setFont(negrita);

    lblDescripcion = new QLabel(QStringLiteral("En esta pantalla se le muestran todos los filtros "
                                               "disponible para el listado elegido."),
                                this);
    lblDescripcion->setObjectName(QStringLiteral("lblDescripcion"));
    lblDescripcion->setWordWrap(true);

    // Small icons side by side, as a file list in small-icon view.
    lvwFiltros = new QListWidget(this);
    lvwFiltros->setObjectName(QStringLiteral("lvwFiltros"));
    lvwFiltros->setViewMode(QListView::ListMode);
    lvwFiltros->setFlow(QListView::LeftToRight);
    lvwFiltros->setWrapping(true);
    lvwFiltros->setResizeMode(QListView::Adjust);
    lvwFiltros->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwFiltros->setIconSize(QSize(16, 16));
    lvwFiltros->setSpacing(4);

    tbnAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    tbnAceptar->setObjectName(QStringLiteral("tbnAceptar"));
    tbnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    tbnCancelar->setObjectName(QStringLiteral("tbnCancelar"));
    connect(tbnAceptar, &QPushButton::clicked, this, &TfrmlstBuscarFiltros::Aceptar);
    connect(tbnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(lvwFiltros, &QListWidget::itemDoubleClicked, this, &TfrmlstBuscarFiltros::Aceptar);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(tbnAceptar);
    botones->addWidget(tbnCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitulo);
    layout->addWidget(lblDescripcion);
    layout->addWidget(lvwFiltros, 1);
    layout->addLayout(botones);
    resize(460, 340);

    LstFiltros = new TLstFiltros(this);
}

TfrmlstBuscarFiltros::~TfrmlstBuscarFiltros() = default;

void TfrmlstBuscarFiltros::setBloque(const std::intptr_t* bloque) {
    quill::AsignarCarpetas(*LstFiltros, bloque);
}

int TfrmlstBuscarFiltros::CargarFiltros() {
    lvwFiltros->clear();
    const QIcon icono = style()->standardIcon(QStyle::SP_FileIcon);
    const QStringList nombres = quill::FiltrosDisponibles(*LstFiltros, m_tipoListado);
    for (const QString& nombre : nombres)
        new QListWidgetItem(icono, nombre, lvwFiltros);
    return int(nombres.size());
}

void TfrmlstBuscarFiltros::Aceptar() {
    const QList<QListWidgetItem*> elegidos = lvwFiltros->selectedItems();
    if (elegidos.isEmpty()) return;
    m_filtro = elegidos.first()->text();
    accept();
}

namespace quill {

void AsignarCarpetas(TLstFiltros& filtros, const std::intptr_t* bloque) {
    const auto* puesto = bloque ? slotObject<TConfPuesto>(bloque, SlotSettings) : nullptr;
    filtros.setCarpetas(puesto ? puesto->CarpetaFiltros : QString(),
                        puesto ? puesto->CarpetaPaquetes : QString());
}

QString ElegirFiltro(const std::intptr_t* bloque, qint16 tipoListado, QWidget* padre) {
    TfrmlstBuscarFiltros dialogo(padre);
    dialogo.setBloque(bloque);
    dialogo.setTipoListado(tipoListado);
    dialogo.CargarFiltros();
    if (Modal::current().exec(&dialogo) != QDialog::Accepted) return QString();
    return dialogo.Filtro();
}

} // namespace quill
