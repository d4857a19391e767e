#include "listing/tfrmopcionesimprimir.h"

#include "actions/registro.h"
#include "host/bloque.h"
#include "listing/imagenes.h"
#include "listing/tfrmimpresoras.h"
#include "output/print/impresoras.h"
#include "platform/guard.h"
#include "platform/modal.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QVBoxLayout>

#include <limits>

namespace {

const QString kAviso = QStringLiteral("AVISO");
constexpr qint16 kCancelado = -301;

// The prescription variants of the print action.
constexpr qint16 kPrescripcionOptica = 10;
constexpr qint16 kPrescripcionAudifono = 11;

QCheckBox* casilla(const char* nombre, const QString& texto, QWidget* padre) {
    auto* c = new QCheckBox(texto, padre);
    c->setObjectName(QLatin1String(nombre));
    return c;
}

QComboBox* lista(const char* nombre, QWidget* padre) {
    auto* c = new QComboBox(padre);
    c->setObjectName(QLatin1String(nombre));
    return c;
}

QLabel* etiqueta(const char* nombre, const QString& texto, QWidget* padre) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QLatin1String(nombre));
    return l;
}

// Controls Enter moves on from; on any other (a button, the list) Enter keeps its own meaning.
bool PasaConEnter(const QWidget* w) {
    return w && (w->inherits("QLineEdit") || w->inherits("QComboBox") ||
                 w->inherits("QAbstractSpinBox") || w->inherits("QCheckBox"));
}

} // namespace

TfrmOpcionesImprimir::TfrmOpcionesImprimir(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmOpcionesImprimir"));
    setWindowTitle(QStringLiteral("Configuración Impresión de Listados"));
    setModal(true);

    lblCabecera = etiqueta("lblCabecera", QStringLiteral("Asistente Visualización Listado"), this);
    QFont negrita = lblCabecera->font();
    negrita.setBold(true);
    lblCabecera->setFont(negrita);
    lblDescripcion = etiqueta(
        "lblDescripcion",
        QStringLiteral("Configure el TIPO de listado que quiere mostrar, el ORDEN en el que se "
                       "muestran los resgistros y la información que desea mostrar en el listado"),
        this);
    lblDescripcion->setWordWrap(true);

    auto* gbxListado = new QGroupBox(this);
    gbxListado->setObjectName(QStringLiteral("gbxListado"));
    lblTipo = etiqueta("lblTipo", QStringLiteral("Tipo:"), gbxListado);
    cbxTipo = lista("cbxTipo", gbxListado);
    lblOrden = etiqueta("lblOrden", QStringLiteral("Orden:"), gbxListado);
    cbxOrden = lista("cbxOrden", gbxListado);
    lblSentido = etiqueta("lblSentido", QStringLiteral("Sentido:"), gbxListado);
    cbxSentido = lista("cbxSentido", gbxListado);
    cbxSentido->addItems({QStringLiteral("Ascendente"), QStringLiteral("Descendente")});
    lblMoneda = etiqueta("lblMoneda", QStringLiteral("Moneda:"), gbxListado);
    cbxMoneda = lista("cbxMoneda", gbxListado);
    lblFormato = etiqueta("lblFormato", QStringLiteral("Formato:"), gbxListado);
    cbxFormato = lista("cbxFormato", gbxListado);
    for (auto [l, c] : {std::pair{lblTipo, cbxTipo}, std::pair{lblOrden, cbxOrden},
                        std::pair{lblSentido, cbxSentido}, std::pair{lblMoneda, cbxMoneda},
                        std::pair{lblFormato, cbxFormato}})
        l->setBuddy(c);
    auto* rejilla = new QGridLayout(gbxListado);
    rejilla->addWidget(lblTipo, 0, 0);
    rejilla->addWidget(cbxTipo, 0, 1, 1, 3);
    rejilla->addWidget(lblOrden, 1, 0);
    rejilla->addWidget(cbxOrden, 1, 1);
    rejilla->addWidget(lblSentido, 1, 2);
    rejilla->addWidget(cbxSentido, 1, 3);
    rejilla->addWidget(lblMoneda, 2, 0);
    rejilla->addWidget(cbxMoneda, 2, 1, 1, 3);
    rejilla->addWidget(lblFormato, 3, 0);
    rejilla->addWidget(cbxFormato, 3, 1, 1, 3);
    rejilla->setColumnStretch(1, 1);
    rejilla->setColumnStretch(3, 1);

    auto* gbxOpciones = new QGroupBox(this);
    gbxOpciones->setObjectName(QStringLiteral("gbxOpciones"));
    chxDatosEmpresa =
        casilla("chxDatosEmpresa", QStringLiteral("Imprimir los Datos de la Empresa en el Listado"),
                gbxOpciones);
    chxCondicion = casilla("chxCondicion",
                           QStringLiteral("Imprimir las condiciones seleccionadas en el listado"),
                           gbxOpciones);
    chxObservaciones =
        casilla("chxObservaciones", QStringLiteral("Imprimir Observaciones"), gbxOpciones);
    chxImprimirTitulo =
        casilla("chxImprimirTitulo", QStringLiteral("Imprimir Titulo del listado"), gbxOpciones);
    chxNumerarPagina =
        casilla("chxNumerarPagina", QStringLiteral("Numerar Páginas del listado"), gbxOpciones);
    chxFecha = casilla("chxFecha", QStringLiteral("Imprimir Fecha"), gbxOpciones);
    chxAgrupar = casilla("chxAgrupar", QStringLiteral("Agrupar Por Proveedor"), gbxOpciones);
    chxNumerar = casilla("chxNumerar", QStringLiteral("Numerar Registros"), gbxOpciones);
    lblNOrden = etiqueta("lblNOrden", QStringLiteral("Nº Orden:"), gbxOpciones);
    edtNOrden = new QSpinBox(gbxOpciones);
    edtNOrden->setObjectName(QStringLiteral("edtNOrden"));
    edtNOrden->setRange(0, std::numeric_limits<qint32>::max());
    edtNOrden->setButtonSymbols(QAbstractSpinBox::NoButtons);
    lblNOrden->setBuddy(edtNOrden);
    auto* numerar = new QHBoxLayout;
    numerar->addWidget(chxNumerar);
    numerar->addSpacing(12);
    numerar->addWidget(lblNOrden);
    numerar->addWidget(edtNOrden);
    numerar->addStretch();
    auto* opciones = new QVBoxLayout(gbxOpciones);
    for (QCheckBox* c : {chxDatosEmpresa, chxCondicion, chxObservaciones, chxImprimirTitulo,
                         chxNumerarPagina, chxFecha, chxAgrupar})
        opciones->addWidget(c);
    opciones->addLayout(numerar);

    lblImpresora = etiqueta("lblImpresora", QStringLiteral("Impresora:"), this);
    edtImpresora = new QLineEdit(this);
    edtImpresora->setObjectName(QStringLiteral("edtImpresora"));
    actImpresora = edtImpresora->addAction(quill::imagenesBotones().value(quill::ImgImprimir),
                                           QLineEdit::TrailingPosition);
    actImpresora->setObjectName(QStringLiteral("actImpresora"));
    actImpresora->setToolTip(QStringLiteral("Selección de impresora (F4)"));
    lblImpresora->setBuddy(edtImpresora);
    lblFichero = etiqueta("lblFichero", QString(), this);
    lblFichero->setWordWrap(true);
    auto* impresora = new QGridLayout;
    impresora->addWidget(lblImpresora, 0, 0);
    impresora->addWidget(edtImpresora, 0, 1);
    impresora->addWidget(lblFichero, 1, 1);
    impresora->setColumnStretch(1, 1);

    btnImprimir = new QPushButton(QStringLiteral("Imprimir"), this);
    btnImprimir->setObjectName(QStringLiteral("btnImprimir"));
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    // Enter moves on; it never presses a button by itself.
    for (QPushButton* b : {btnImprimir, btnCancelar}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(btnImprimir);
    botones->addWidget(btnCancelar);

    sbrAyuda = new QStatusBar(this);
    sbrAyuda->setObjectName(QStringLiteral("sbrAyuda"));
    sbrAyuda->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCabecera);
    layout->addWidget(lblDescripcion);
    layout->addWidget(gbxListado);
    layout->addWidget(gbxOpciones);
    layout->addLayout(impresora);
    layout->addStretch();
    layout->addLayout(botones);
    layout->addWidget(sbrAyuda);

    // Status-bar hints, shown as the mouse enters each control.
    const QString orden =
        QStringLiteral("Seleccione el ORDEN en el que desea imprimir el listado.");
    const QString empresa =
        QStringLiteral("Muestra los datos de la empresa en el pie de cada página");
    const QString observaciones = QStringLiteral("Imprime las observaciones de cada ficha");
    const std::pair<QWidget*, QString> ayudas[] = {
        {cbxTipo, QStringLiteral("Seleccione el Tipo de listado a mostrar. Resumido, Detallado, "
                                 "Ficha... ")},
        {cbxOrden, orden},
        {cbxSentido, orden},
        {cbxFormato, orden},
        {cbxMoneda, QStringLiteral("Indique la moneda en la que quiere imprimir el listado")},
        {chxDatosEmpresa, empresa},
        {chxNumerar, empresa},
        {chxCondicion, QStringLiteral("Muestra las condiciones por las que se ha filtrado el "
                                      "listado en el título del listado")},
        {chxObservaciones, observaciones},
        {chxAgrupar, observaciones},
        {chxImprimirTitulo, observaciones},
        {chxNumerarPagina, observaciones},
        {chxFecha, observaciones},
        {edtImpresora, QStringLiteral("Indique la impresora en la que desea imprimir el listado")},
    };
    for (const auto& [control, texto] : ayudas)
        control->setStatusTip(texto);
    for (QCheckBox* c : {chxDatosEmpresa, chxCondicion, chxObservaciones})
        c->setToolTip(c->statusTip());

    connect(btnImprimir, &QPushButton::clicked, this, &TfrmOpcionesImprimir::Imprimir);
    connect(btnCancelar, &QPushButton::clicked, this, &TfrmOpcionesImprimir::Cancelar);
    connect(actImpresora, &QAction::triggered, this, &TfrmOpcionesImprimir::SeleccionarImpresora);
    connect(cbxTipo, &QComboBox::currentIndexChanged, this,
            &TfrmOpcionesImprimir::MostrarObservaciones);
    connect(chxNumerar, &QCheckBox::toggled, this, [this](bool activo) {
        edtNOrden->setEnabled(activo);
        lblNOrden->setEnabled(activo);
    });
    // A printer typed by hand is not the one the file was chosen for.
    connect(edtImpresora, &QLineEdit::textEdited, this, [this] {
        m_fichero.clear();
        MostrarFichero();
    });

    setTabOrder(cbxTipo, cbxOrden);
    setTabOrder(cbxOrden, cbxSentido);
    setTabOrder(cbxSentido, cbxMoneda);
    setTabOrder(cbxMoneda, cbxFormato);
    setTabOrder(cbxFormato, chxDatosEmpresa);
    setTabOrder(chxDatosEmpresa, chxCondicion);
    setTabOrder(chxCondicion, chxObservaciones);
    setTabOrder(chxObservaciones, chxImprimirTitulo);
    setTabOrder(chxImprimirTitulo, chxNumerarPagina);
    setTabOrder(chxNumerarPagina, chxFecha);
    setTabOrder(chxFecha, chxAgrupar);
    setTabOrder(chxAgrupar, chxNumerar);
    setTabOrder(chxNumerar, edtNOrden);
    setTabOrder(edtNOrden, edtImpresora);
    setTabOrder(edtImpresora, btnImprimir);
    setTabOrder(btnImprimir, btnCancelar);
    resize(520, 480);
}

TfrmOpcionesImprimir::~TfrmOpcionesImprimir() = default;

TfrmOpcionesImprimir::Listas TfrmOpcionesImprimir::ListasDe(bool conMonedas, qint16 tipoListado,
                                                            const std::intptr_t* bloque) {
    Listas l;
    if (const quill::DescriptorListado* d = quill::Listado(tipoListado)) {
        l.tipos = d->tiposInforme;
        for (qint16 codigo : d->ordenes)
            l.ordenes << quill::NombreOrden(codigo);
    }
    if (conMonedas && bloque) {
        if (const auto* m = quill::slotObject<quill::TMonedas>(bloque, quill::SlotCurrencies))
            l.monedas = {m->Moneda1, m->Moneda2};
    }
    return l;
}

qint16 TfrmOpcionesImprimir::Ejecutar(bool conMonedas, qint16 tipoListado,
                                      const std::intptr_t* bloque,
                                      quill::ConfiguracionImpresion& opciones, QWidget* owner) {
    TfrmOpcionesImprimir dialogo(owner);
    bool preparado = false;
    quill::Guardar(QStringLiteral("ValoresIniciales"), [&] {
        dialogo.setTipoListado(tipoListado);
        dialogo.setBloque(bloque);
        dialogo.setListas(ListasDe(conMonedas, tipoListado, bloque));
        dialogo.ValoresIniciales();
        preparado = true;
    });
    if (!preparado) return kCancelado;
    if (quill::Modal::current().exec(&dialogo) != QDialog::Accepted) return kCancelado;
    opciones = dialogo.Resultado();
    return 0;
}

void TfrmOpcionesImprimir::ValoresIniciales() {
    cbxTipo->clear();
    cbxTipo->addItems(m_listas.tipos);
    cbxOrden->clear();
    cbxOrden->addItems(m_listas.ordenes);
    cbxMoneda->clear();
    cbxMoneda->addItems(m_listas.monedas);
    cbxFormato->clear();
    if (m_tipoListado == kPrescripcionOptica)
        cbxFormato->addItems({QStringLiteral("Nacional"), QStringLiteral("Castilla La Mancha")});
    else if (m_tipoListado == kPrescripcionAudifono)
        cbxFormato->addItems({QStringLiteral("Corto"), QStringLiteral("Completo")});

    const bool conTipos = !m_listas.tipos.isEmpty();
    const bool conOrden = !m_listas.ordenes.isEmpty();
    // Only consumption and pending orders print in a chosen currency.
    const bool conMoneda = m_tipoListado == 1 || m_tipoListado == 2;
    const bool conFormato = cbxFormato->count() > 0;
    lblTipo->setVisible(conTipos);
    cbxTipo->setVisible(conTipos);
    for (QWidget* w : {static_cast<QWidget*>(lblOrden), static_cast<QWidget*>(cbxOrden),
                       static_cast<QWidget*>(lblSentido), static_cast<QWidget*>(cbxSentido)})
        w->setVisible(conOrden);
    lblMoneda->setVisible(conMoneda);
    cbxMoneda->setVisible(conMoneda);
    lblFormato->setVisible(conFormato);
    cbxFormato->setVisible(conFormato);
    // The replacements report is the one grouped by supplier.
    chxAgrupar->setVisible(m_tipoListado == 5);

    const auto* usuario =
        m_bloque ? quill::slotObject<quill::TUsuario>(m_bloque, quill::SlotUser) : nullptr;
    if (conTipos)
        cbxTipo->setCurrentIndex(usuario && usuario->TipoInforme == 2 && cbxTipo->count() > 1 ? 1
                                                                                              : 0);
    if (conOrden) {
        const int i = usuario ? cbxOrden->findText(quill::NombreOrden(usuario->OrdenInforme)) : -1;
        cbxOrden->setCurrentIndex(i >= 0 ? i : 0);
    }
    cbxSentido->setCurrentIndex(0);
    cbxMoneda->setCurrentIndex(cbxMoneda->count() > 0 ? 0 : -1);
    cbxFormato->setCurrentIndex(conFormato ? 0 : -1);

    const quill::ConfiguracionImpresion porDefecto;
    chxDatosEmpresa->setChecked(porDefecto.DatosEmpresa);
    chxCondicion->setChecked(porDefecto.Condiciones);
    chxObservaciones->setChecked(porDefecto.Observaciones);
    chxImprimirTitulo->setChecked(porDefecto.ImprimirTitulo);
    chxNumerarPagina->setChecked(porDefecto.NumerarPaginas);
    chxFecha->setChecked(porDefecto.Fecha);
    chxAgrupar->setChecked(porDefecto.Agrupar);
    chxNumerar->setChecked(porDefecto.Numerar);
    edtNOrden->setValue(porDefecto.NOrden);
    edtNOrden->setEnabled(porDefecto.Numerar);
    lblNOrden->setEnabled(porDefecto.Numerar);

    edtImpresora->setText(quill::ImpresoraPuesto(m_bloque, QStringLiteral("Listado")));
    m_fichero.clear();
    MostrarFichero();
    MostrarObservaciones();
    // As tall as the rows of the kind need at the dialog's width (the description wraps).
    const int alto = hasHeightForWidth() ? heightForWidth(width()) : sizeHint().height();
    resize(width(), qMax(alto, minimumSizeHint().height()));
}

void TfrmOpcionesImprimir::MostrarObservaciones() {
    chxObservaciones->setVisible(m_tipoListado == 0 &&
                                 cbxTipo->currentText() == QLatin1String("Detalle"));
}

void TfrmOpcionesImprimir::MostrarFichero() {
    const bool pdf = quill::EsImpresoraPDF(edtImpresora->text().trimmed());
    lblFichero->setText(pdf && !m_fichero.isEmpty() ? QStringLiteral("Fichero: ") + m_fichero
                                                    : QString());
    lblFichero->setVisible(!lblFichero->text().isEmpty());
}

qint16 TfrmOpcionesImprimir::CodigoOrden(const QString& nombre) {
    // The names are kept in one table (NombreOrden); every code it names is below 64.
    for (qint16 codigo = 1; codigo < 64; ++codigo)
        if (!nombre.isEmpty() && quill::NombreOrden(codigo) == nombre) return codigo;
    return 0;
}

void TfrmOpcionesImprimir::SeleccionarImpresora() {
    quill::Guardar(QStringLiteral("edtImpresora -> OnButtonClick"), [&] {
        QString impresora, fichero;
        if (!TfrmImpresoras::Elegir(m_bloque, impresora, fichero, this)) return;
        edtImpresora->setText(impresora);
        m_fichero = fichero;
        MostrarFichero();
    });
}

void TfrmOpcionesImprimir::Imprimir() {
    const QString impresora = edtImpresora->text().trimmed();
    if (impresora.isEmpty()) {
        quill::Modal::current().message(kAviso, QStringLiteral("Debe indicar una Impresora"),
                                        quill::MessageIcon::Stop);
        edtImpresora->setFocus();
        return;
    }
    // "PDF" typed by hand, or the workstation's default: the file is asked for now.
    if (quill::EsImpresoraPDF(impresora) && m_fichero.isEmpty()) {
        quill::FileRequest peticion;
        peticion.caption = QStringLiteral("Guardar como");
        peticion.filters = {QStringLiteral("Documento PDF (*.pdf)")};
        const QString elegido = quill::Modal::current().saveFileName(peticion);
        if (elegido.isEmpty()) return;
        m_fichero = quill::NombreFicheroPDF(elegido);
        MostrarFichero();
    }

    quill::ConfiguracionImpresion r;
    r.Tipo = qint16(qMax(0, cbxTipo->currentIndex()));
    r.Orden = cbxOrden->isHidden() ? qint16(0) : CodigoOrden(cbxOrden->currentText());
    r.Sentido = cbxSentido->isHidden() ? qint16(0) : qint16(qMax(0, cbxSentido->currentIndex()));
    r.Moneda = qint16(qMax(0, cbxMoneda->currentIndex()));
    r.Formato = qint16(qMax(0, cbxFormato->currentIndex()));
    auto marcada = [](const QCheckBox* c) { return !c->isHidden() && c->isChecked(); };
    r.DatosEmpresa = marcada(chxDatosEmpresa);
    r.Condiciones = marcada(chxCondicion);
    r.Observaciones = marcada(chxObservaciones);
    r.Numerar = marcada(chxNumerar);
    r.NOrden = edtNOrden->value();
    r.Agrupar = marcada(chxAgrupar);
    r.ImprimirTitulo = marcada(chxImprimirTitulo);
    r.NumerarPaginas = marcada(chxNumerarPagina);
    r.Fecha = marcada(chxFecha);
    r.Impresora = impresora;
    r.FicheroPDF = quill::EsImpresoraPDF(impresora) ? m_fichero : QString();
    m_resultado = r;
    accept();
}

void TfrmOpcionesImprimir::Cancelar() {
    if (!quill::Modal::current().question(
            kAviso, QStringLiteral("¿Está seguro de querer cancelar el listado?")))
        return;
    m_resultado.Tipo = -1;
    m_resultado.Orden = -1;
    m_resultado.Moneda = -1;
    m_resultado.Impresora.clear();
    m_resultado.FicheroPDF.clear();
    m_resultado.DatosEmpresa = false;
    m_resultado.Condiciones = false;
    QDialog::reject();
}

bool TfrmOpcionesImprimir::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        sbrAyuda->showMessage(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QDialog::event(e);
}

void TfrmOpcionesImprimir::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (PasaConEnter(QApplication::focusWidget())) {
            focusNextChild();
            e->accept();
            return;
        }
        break;
    case Qt::Key_F4:
        e->accept();
        SeleccionarImpresora();
        return;
    case Qt::Key_F5:
        e->accept();
        Imprimir();
        return;
    case Qt::Key_F7:
        e->accept();
        Cancelar();
        return;
    case Qt::Key_F12:
        e->accept();
        QDialog::reject();
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(e);
}
