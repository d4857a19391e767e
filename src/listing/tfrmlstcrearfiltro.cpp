#include "listing/tfrmlstcrearfiltro.h"

#include "conditions/filtros.h"
#include "platform/modal.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmlstCrearFiltro::TfrmlstCrearFiltro(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmlstCrearFiltro"));
    setWindowTitle(QStringLiteral("Crear Filtro Listados"));

    lblTitulo = new QLabel(QStringLiteral("Crear nuevo Filtro"), this);
    lblTitulo->setObjectName(QStringLiteral("lblTitulo"));
    QFont negrita = lblTitulo->font();
    negrita.setBold(true);
    lblTitulo->setFont(negrita);

    lblDescripcion = new QLabel(
        QStringLiteral("Escriba el nombre con el cual quiere grabar el filtro seleccionado para el "
                       "listado. Es aconsejable poner un nombre claro que le permita identificar "
                       "facilmente el filtro a la hora de buscarlo."),
        this);
    lblDescripcion->setObjectName(QStringLiteral("lblDescripcion"));
    lblDescripcion->setWordWrap(true);

    edtNombre = new QLineEdit(this);
    edtNombre->setObjectName(QStringLiteral("edtNombre"));
    edtNombre->setMaxLength(quill::kLongitudNombreFiltro);

    tbnAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    tbnAceptar->setObjectName(QStringLiteral("tbnAceptar"));
    tbnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    tbnCancelar->setObjectName(QStringLiteral("tbnCancelar"));
    // Enter moves on; it never presses a button by itself.
    for (QPushButton* b : {tbnAceptar, tbnCancelar}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(tbnAceptar, &QPushButton::clicked, this, &TfrmlstCrearFiltro::Aceptar);
    connect(tbnCancelar, &QPushButton::clicked, this, &QDialog::reject);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(tbnAceptar);
    botones->addWidget(tbnCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitulo);
    layout->addWidget(lblDescripcion);
    layout->addWidget(edtNombre);
    layout->addStretch();
    layout->addLayout(botones);
    setTabOrder(edtNombre, tbnAceptar);
    setTabOrder(tbnAceptar, tbnCancelar);
    resize(420, 190);
    edtNombre->setFocus();
}

TfrmlstCrearFiltro::~TfrmlstCrearFiltro() = default;

void TfrmlstCrearFiltro::setNombre(const QString& nombre) {
    m_original = nombre.left(quill::kLongitudNombreFiltro);
    edtNombre->setText(m_original);
}

void TfrmlstCrearFiltro::Aceptar() {
    const QString nombre = edtNombre->text().trimmed();
    const QString error = quill::ComprobarNombreFiltro(nombre);
    if (!error.isEmpty()) {
        quill::Modal::current().message(QStringLiteral("ERROR"), error, quill::MessageIcon::Stop);
        edtNombre->setFocus();
        return;
    }
    // The filter last loaded, or any other filter already saved under that name.
    const bool existe = nombre == m_original.trimmed() || (m_existe && m_existe(nombre));
    if (existe &&
        !quill::Modal::current().question(QStringLiteral("AVISO"), quill::PreguntaSobreescribir()))
        return;
    m_nombre = nombre;
    accept();
}

void TfrmlstCrearFiltro::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        focusNextChild();
        event->accept();
        return;
    case Qt::Key_F5:
        event->accept();
        Aceptar();
        return;
    case Qt::Key_F12:
        event->accept();
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

namespace quill {

QString PedirNombreFiltro(const QString& ultimo, QWidget* padre,
                          std::function<bool(const QString&)> existe) {
    TfrmlstCrearFiltro dialogo(padre);
    dialogo.setNombre(ultimo);
    dialogo.setExiste(std::move(existe));
    if (Modal::current().exec(&dialogo) != QDialog::Accepted) return QString();
    return dialogo.Nombre();
}

} // namespace quill
