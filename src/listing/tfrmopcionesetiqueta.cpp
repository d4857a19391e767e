#include "listing/tfrmopcionesetiqueta.h"

#include "host/bloque.h"
#include "listing/tfrmbuscarformatos.h"
#include "listing/tfrmimpresoras.h"
#include "output/labels/formatosetiqueta.h"
#include "output/print/impresoras.h"
#include "platform/modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kAviso = QStringLiteral("AVISO");

void aviso(const QString& texto) {
    quill::Modal::current().message(kAviso, texto, quill::MessageIcon::Stop);
}

QSpinBox* numero(QWidget* padre, const char* nombre, int minimo, int maximo) {
    auto* s = new QSpinBox(padre);
    s->setObjectName(QString::fromLatin1(nombre));
    s->setRange(minimo, maximo);
    return s;
}

} // namespace

TfrmOpcionesEtiqueta::TfrmOpcionesEtiqueta(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmOpcionesEtiqueta"));
    setWindowTitle(QStringLiteral("Impresión de etiquetas"));
    setModal(true);

    lblCabecera = new QLabel(QStringLiteral("Impresión de etiquetas"), this);
    lblCabecera->setObjectName(QStringLiteral("lblCabecera"));
    QFont negrita = lblCabecera->font();
    negrita.setBold(true);
    lblCabecera->setFont(negrita);
    lblDescripcion = new QLabel(
        QStringLiteral("Seleccione la configuración de las etiquetas, si la impresión se realiza "
                       "en impresoras de etiquetas asegurese de seleccionar un formato EPL."),
        this);
    lblDescripcion->setObjectName(QStringLiteral("lblDescripcion"));
    lblDescripcion->setWordWrap(true);

    gbxFormato = new QGroupBox(QStringLiteral(" Formato e impresora "), this);
    gbxFormato->setObjectName(QStringLiteral("gbxFormato"));
    edtFormato = new QLineEdit(gbxFormato);
    edtFormato->setObjectName(QStringLiteral("edtFormato"));
    tbnFormato = new QToolButton(gbxFormato);
    tbnFormato->setObjectName(QStringLiteral("tbnFormato"));
    tbnFormato->setText(QStringLiteral("..."));
    edtImpresora = new QLineEdit(gbxFormato);
    edtImpresora->setObjectName(QStringLiteral("edtImpresora"));
    tbnImpresora = new QToolButton(gbxFormato);
    tbnImpresora->setObjectName(QStringLiteral("tbnImpresora"));
    tbnImpresora->setText(QStringLiteral("..."));
    auto* rejilla = new QGridLayout(gbxFormato);
    rejilla->addWidget(new QLabel(QStringLiteral("Formato"), gbxFormato), 0, 0);
    rejilla->addWidget(edtFormato, 0, 1);
    rejilla->addWidget(tbnFormato, 0, 2);
    rejilla->addWidget(new QLabel(QStringLiteral("Impresora"), gbxFormato), 1, 0);
    rejilla->addWidget(edtImpresora, 1, 1);
    rejilla->addWidget(tbnImpresora, 1, 2);
    rejilla->setColumnStretch(1, 1);

    gbxConfiguracion = new QGroupBox(QStringLiteral(" Configuración "), this);
    gbxConfiguracion->setObjectName(QStringLiteral("gbxConfiguracion"));
    lblOrden = new QLabel(QStringLiteral("Orden"), gbxConfiguracion);
    cbxOrden = new QComboBox(gbxConfiguracion);
    cbxOrden->setObjectName(QStringLiteral("cbxOrden"));
    lblSentido = new QLabel(QStringLiteral("Sentido"), gbxConfiguracion);
    cbxSentido = new QComboBox(gbxConfiguracion);
    cbxSentido->setObjectName(QStringLiteral("cbxSentido"));
    cbxSentido->addItems({QStringLiteral("Ascendente"), QStringLiteral("Descendente")});
    edtFilaInicial = numero(gbxConfiguracion, "edtFilaInicial", 1, 999);
    edtColumnaInicial = numero(gbxConfiguracion, "edtColumnaInicial", 1, 999);
    lblNumeroCopias = new QLabel(QStringLiteral("Número de copias"), gbxConfiguracion);
    edtNumeroCopias = numero(gbxConfiguracion, "edtNumeroCopias", 1, 999);
    chxPorDomicilio = new QCheckBox(QStringLiteral("Una etiqueta por domicilio"), gbxConfiguracion);
    chxPorDomicilio->setObjectName(QStringLiteral("chxPorDomicilio"));
    chxPorDomicilio->setToolTip(QStringLiteral(
        "Los pacientes con la misma dirección, código postal y localidad reciben una sola "
        "etiqueta"));
    auto* form = new QFormLayout(gbxConfiguracion);
    form->addRow(lblOrden, cbxOrden);
    form->addRow(lblSentido, cbxSentido);
    form->addRow(QStringLiteral("Fila inicial"), edtFilaInicial);
    form->addRow(QStringLiteral("Columna inicial"), edtColumnaInicial);
    form->addRow(lblNumeroCopias, edtNumeroCopias);
    form->addRow(chxPorDomicilio);

    btnImprimir = new QPushButton(QStringLiteral("Imprimir"), this);
    btnImprimir->setObjectName(QStringLiteral("btnImprimir"));
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    for (QPushButton* b : {btnImprimir, btnCancelar}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(btnImprimir, &QPushButton::clicked, this, &TfrmOpcionesEtiqueta::Imprimir);
    connect(btnCancelar, &QPushButton::clicked, this, &TfrmOpcionesEtiqueta::Cancelar);
    connect(tbnFormato, &QToolButton::clicked, this, &TfrmOpcionesEtiqueta::BuscarFormato);
    connect(tbnImpresora, &QToolButton::clicked, this, &TfrmOpcionesEtiqueta::BuscarImpresora);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(btnImprimir);
    botones->addWidget(btnCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCabecera);
    layout->addWidget(lblDescripcion);
    layout->addWidget(gbxFormato);
    layout->addWidget(gbxConfiguracion);
    layout->addStretch();
    layout->addLayout(botones);
    resize(460, 420);
}

TfrmOpcionesEtiqueta::~TfrmOpcionesEtiqueta() = default;

QStringList TfrmOpcionesEtiqueta::Ordenes(int contexto, bool fechaNacimiento) {
    switch (contexto) {
    case 34: {
        QStringList o = {QStringLiteral("Código"), QStringLiteral("Apellidos"),
                         QStringLiteral("Direccion")};
        if (fechaNacimiento) o.append(QStringLiteral("Fecha Nacimiento"));
        return o;
    }
    case 35:
    case 36:
        return {QStringLiteral("Código"), QStringLiteral("Nombre"), QStringLiteral("Rótulo")};
    case 37:
        return {QStringLiteral("Referencia"), QStringLiteral("Descripción")};
    default:
        return {};
    }
}

qint16 TfrmOpcionesEtiqueta::Preparar() {
    if (!m_bloque) {
        quill::Modal::current().message(QStringLiteral("ERROR"),
                                        QStringLiteral("Paso no inicializado. Imposible continuar"),
                                        quill::MessageIcon::Stop);
        return -1;
    }
    const QStringList ordenes = Ordenes(m_contexto, m_fechaNacimiento);
    cbxOrden->clear();
    cbxOrden->addItems(ordenes);
    cbxOrden->setCurrentIndex(ordenes.isEmpty() ? -1 : 0);
    cbxSentido->setCurrentIndex(0);
    const bool conOrden = !ordenes.isEmpty();
    for (QWidget* w : std::initializer_list<QWidget*>{lblOrden, cbxOrden, lblSentido, cbxSentido})
        w->setVisible(conOrden);
    edtFilaInicial->setValue(m_fila);
    edtColumnaInicial->setValue(m_columna);
    edtNumeroCopias->setValue(std::max(1, m_copias));
    lblNumeroCopias->setVisible(m_mostrarCopias);
    edtNumeroCopias->setVisible(m_mostrarCopias);
    edtFormato->setText(m_formatoInicial);
    edtImpresora->setText(m_impresoraInicial);
    chxPorDomicilio->setChecked(false);
    return 0;
}

qint16 TfrmOpcionesEtiqueta::IntegridadDatos() {
    if (edtImpresora->text().trimmed().isEmpty()) {
        aviso(QStringLiteral("Debe indicar una Impresora"));
        edtImpresora->setFocus();
        return -2;
    }
    const QString nombre = quill::NombreFormato(edtFormato->text());
    const QString invalido = QStringLiteral("Debe indicar un Formato Válido");
    if (nombre.isEmpty()) {
        aviso(invalido);
        edtFormato->setFocus();
        return -2;
    }
    const auto* puesto =
        m_bloque ? quill::slotObject<quill::TConfPuesto>(m_bloque, quill::SlotSettings) : nullptr;
    if (!quill::FormatoValido(quill::RutaFormato(quill::CarpetaFormatos(puesto), nombre))) {
        aviso(invalido);
        edtFormato->setFocus();
        return -2;
    }
    return 0;
}

void TfrmOpcionesEtiqueta::Imprimir() {
    if (IntegridadDatos() != 0) return;
    m_orden = qint16(cbxOrden->currentIndex());
    m_textoOrden = cbxOrden->currentText();
    m_sentido = qint16(cbxSentido->currentIndex());
    m_impresora = edtImpresora->text().trimmed();
    // The file named in the printer list goes with the PDF printer only.
    m_fichero = quill::EsImpresoraPDF(m_impresora) ? m_ficheroElegido : QString();
    m_formato = quill::NombreFormato(edtFormato->text());
    m_filaResultado = qint16(edtFilaInicial->value());
    m_columnaResultado = qint16(edtColumnaInicial->value());
    m_copiasResultado = qint16(edtNumeroCopias->value());
    m_porDomicilio = chxPorDomicilio->isChecked();
    accept();
}

void TfrmOpcionesEtiqueta::reject() {
    if (!quill::Modal::current().question(
            kAviso, QStringLiteral("¿Está seguro de querer cancelar la Impresión de Etiquetas?")))
        return;
    QDialog::reject();
}

void TfrmOpcionesEtiqueta::BuscarFormato() {
    TfrmBuscarFormatos buscar(this);
    if (buscar.Inicializar(m_bloque, m_contexto, edtColumnaInicial->value(),
                           edtFilaInicial->value()) != 0)
        return;
    if (quill::Modal::current().exec(&buscar) != QDialog::Accepted) return;
    edtFormato->setText(buscar.Formato());
    edtColumnaInicial->setValue(buscar.Columna());
    edtFilaInicial->setValue(buscar.Fila());
}

void TfrmOpcionesEtiqueta::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        focusNextChild();
        event->accept();
        return;
    case Qt::Key_F3:
        event->accept();
        BuscarFormato();
        return;
    case Qt::Key_F4:
        event->accept();
        BuscarImpresora();
        return;
    case Qt::Key_F5:
        event->accept();
        Imprimir();
        return;
    case Qt::Key_F7:
        event->accept();
        Cancelar();
        return;
    case Qt::Key_F12:
        event->accept();
        QDialog::reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TfrmOpcionesEtiqueta::BuscarImpresora() {
    QString impresora, fichero;
    if (!TfrmImpresoras::Elegir(m_bloque, impresora, fichero, this, QStringLiteral("Etiqueta")))
        return;
    edtImpresora->setText(impresora);
    m_ficheroElegido = fichero;
}
