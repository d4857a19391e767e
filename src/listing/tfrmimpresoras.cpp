#include "listing/tfrmimpresoras.h"

#include "listing/imagenes.h"

#include "output/print/impresoras.h"
#include "output/print/timpresora.h"
#include "platform/modal.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QIcon iconoImpresora() {
    return quill::imagenesBotones().value(quill::ImgImprimir);
}

} // namespace

TfrmImpresoras::TfrmImpresoras(const std::intptr_t* bloque, int preseleccion, QWidget* owner,
                               const QString& documento)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_preseleccion(preseleccion), m_impresoraPuesto(quill::ImpresoraPuesto(bloque, documento)) {
    setObjectName(QStringLiteral("frmImpresoras"));
    setWindowTitle(QStringLiteral("Selección de impresora"));
    setModal(true);

    lblCabecera = new QLabel(QStringLiteral("Selección de impresora"), this);
    lblCabecera->setObjectName(QStringLiteral("lblCabecera"));
    QFont negrita = lblCabecera->font();
    negrita.setBold(true);
    lblCabecera->setFont(negrita);
    lblDescripcion =
        new QLabel(QStringLiteral("Seleccione la impresora en la que desea imprimir."), this);
    lblDescripcion->setObjectName(QStringLiteral("lblDescripcion"));

    lvwImpresoras = new QListWidget(this);
    lvwImpresoras->setObjectName(QStringLiteral("lvwImpresoras"));
    lvwImpresoras->setViewMode(QListView::ListMode);
    lvwImpresoras->setIconSize(QSize(16, 16));
    lvwImpresoras->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwImpresoras->setSortingEnabled(true);

    btnAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    btnAceptar->setObjectName(QStringLiteral("btnAceptar"));
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnAceptar->setAutoDefault(false);
    btnCancelar->setAutoDefault(false);
    connect(btnAceptar, &QPushButton::clicked, this, &TfrmImpresoras::Aceptar);
    connect(btnCancelar, &QPushButton::clicked, this, &TfrmImpresoras::Cancelar);
    connect(lvwImpresoras, &QListWidget::itemDoubleClicked, this, &TfrmImpresoras::Aceptar);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(btnAceptar);
    botones->addWidget(btnCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCabecera);
    layout->addWidget(lblDescripcion);
    layout->addWidget(lvwImpresoras, 1);
    layout->addLayout(botones);
    resize(380, 320);

    TImpresora impresoras;
    impresoras.Cargar();
    MostrarImpresoras(impresoras.Impresoras());
}

TfrmImpresoras::~TfrmImpresoras() = default;

void TfrmImpresoras::MostrarImpresoras(const QStringList& nombres) {
    lvwImpresoras->clear();
    const QIcon icono = iconoImpresora();
    for (const QString& nombre : nombres)
        new QListWidgetItem(icono, nombre, lvwImpresoras);
    lvwImpresoras->sortItems();
    lvwImpresoras->setCurrentItem(nullptr);
    lvwImpresoras->clearSelection();
    // An empty name would match every printer: nothing is preselected then.
    if (m_preseleccion != 0 || m_impresoraPuesto.isEmpty()) return;
    for (int i = 0; i < lvwImpresoras->count(); ++i) {
        QListWidgetItem* item = lvwImpresoras->item(i);
        if (item->text().startsWith(m_impresoraPuesto, Qt::CaseInsensitive)) {
            lvwImpresoras->setCurrentItem(item);
            item->setSelected(true);
            lvwImpresoras->scrollToItem(item);
            return;
        }
    }
}

void TfrmImpresoras::Aceptar() {
    const QList<QListWidgetItem*> seleccion = lvwImpresoras->selectedItems();
    if (seleccion.isEmpty()) {
        quill::Modal::current().message(QStringLiteral("Error"),
                                        QStringLiteral("Debe seleccionar una impresora"),
                                        quill::MessageIcon::Stop);
        return;
    }
    const QString nombre = seleccion.first()->text();
    QString fichero;
    if (quill::EsImpresoraPDF(nombre)) {
        quill::FileRequest peticion;
        peticion.caption = QStringLiteral("Guardar como");
        peticion.filters = {QStringLiteral("Documento PDF (*.pdf)")};
        peticion.fileName = m_fichero;
        fichero = quill::Modal::current().saveFileName(peticion);
        if (fichero.isEmpty()) return;
        fichero = quill::NombreFicheroPDF(fichero);
    }
    m_impresora = nombre;
    m_fichero = fichero;
    accept();
}

bool TfrmImpresoras::Elegir(const std::intptr_t* bloque, QString& impresora, QString& fichero,
                            QWidget* owner, const QString& documento, int preseleccion) {
    TfrmImpresoras dialogo(bloque, preseleccion, owner, documento);
    if (quill::Modal::current().exec(&dialogo) != QDialog::Accepted) return false;
    impresora = dialogo.Impresora();
    fichero = dialogo.Fichero();
    return true;
}
