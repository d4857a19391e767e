#include "listing/tfrmlstbase.h"

#include "listing/navbar.h"

#include <QButtonGroup>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>

namespace {

// Fixed geometry of the frame; the resize rule moves only the grid, title and buttons.
constexpr int kAnchoNavegador = 190;
constexpr int kIzquierda = 200;
constexpr int kAltoEstado = 22;

const char* const kEstiloPagina = R"(
QWidget#tshListado { background: #f3f5f8; }
QLabel#pnlTitulo {
    font-weight: bold; color: #1d3f66; padding-left: 6px;
    border: 1px solid #a7b6c6; border-right-color: #ffffff; border-bottom-color: #ffffff;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e7edf4, stop:1 #d6e0eb);
}
QTableView#grdListado {
    background: #ffffff; alternate-background-color: #f4f8fc; gridline-color: #d5dde6;
    border: 1px solid #9fb0c2; selection-background-color: #cfe0f3; selection-color: #10253d;
}
QRadioButton:focus { background: #d4e4f7; border: 1px dotted #2f6fb5; }
QStatusBar#sbrAyuda { background: #e4e9ef; border-top: 1px solid #b7c3d0; }
QStatusBar#sbrAyuda QLabel { color: #24364a; padding-left: 4px; }
)";

} // namespace

TfrmlstBase::TfrmlstBase(QWidget* parent) : QWidget(parent) {
    QFont fuente(QStringLiteral("Tahoma"));
    fuente.setPixelSize(12);
    setFont(fuente);
    setMinimumSize(620, 380);

    nbrListado = new quill::NavBar(this);
    nbgTareas = nbrListado->addGroup(QStringLiteral("nbgTareas"), QStringLiteral("Tareas"));
    nbiImprimir = nbgTareas->addItem(QStringLiteral("nbiImprimir"), QStringLiteral("Imprimir"));
    nbiConteo = nbgTareas->addItem(QStringLiteral("nbiConteo"), QStringLiteral("Conteo"));
    nbiEtiqueta = nbgTareas->addItem(QStringLiteral("nbiEtiqueta"), QStringLiteral("Etiqueta"));
    nbiSMS = nbgTareas->addItem(QStringLiteral("nbiSMS"), QStringLiteral("Envio SMS"));
    nbiFicheroSMS =
        nbgTareas->addItem(QStringLiteral("nbiFicheroSMS"), QStringLiteral("Archivo envio SMS"));
    nbiExportar = nbgTareas->addItem(QStringLiteral("nbiExportar"), QStringLiteral("Exportar"));
    nbrEmail = nbgTareas->addItem(QStringLiteral("nbrEmail"), QStringLiteral("Correo Electrónico"));
    nbiGrafico = nbgTareas->addItem(QStringLiteral("nbiGrafico"), QStringLiteral("Gráfico"));
    nbiTicket = nbgTareas->addItem(QStringLiteral("nbiTicket"), QStringLiteral("Ticket"));
    nbiVisualizar =
        nbgTareas->addItem(QStringLiteral("nbiVisualizar"), QStringLiteral("Visualizar"));
    nbiSalir = nbgTareas->addItem(QStringLiteral("nbiSalir"), QStringLiteral("Salir"));
    nbgListados = nbrListado->addGroup(QStringLiteral("nbgListados"), QStringLiteral("Listados"));

    tshListado = new QWidget(this);
    tshListado->setObjectName(QStringLiteral("tshListado"));
    tshListado->setAttribute(Qt::WA_StyledBackground);
    tshListado->setStyleSheet(QString::fromLatin1(kEstiloPagina));

    pnlTitulo = new QLabel(tshListado);
    pnlTitulo->setObjectName(QStringLiteral("pnlTitulo"));
    pnlTitulo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    rbnTodas = new QRadioButton(tshListado);
    rbnTodas->setObjectName(QStringLiteral("rbnTodas"));
    rbnCualquiera = new QRadioButton(tshListado);
    rbnCualquiera->setObjectName(QStringLiteral("rbnCualquiera"));
    // Checking one unchecks the other.
    auto* eleccion = new QButtonGroup(this);
    eleccion->addButton(rbnTodas);
    eleccion->addButton(rbnCualquiera);

    grdListado = new quill::GridCondiciones(tshListado);
    grdListado->setObjectName(QStringLiteral("grdListado"));
    grdListado->setAlternatingRowColors(true);
    grdListado->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdListado->setSelectionMode(QAbstractItemView::SingleSelection);
    grdListado->verticalHeader()->setDefaultSectionSize(22);
    grdListado->verticalHeader()->setFixedWidth(18);
    grdListado->horizontalHeader()->setHighlightSections(false);

    tbnCargar = new QPushButton(QStringLiteral("&Cargar Filtros"), tshListado);
    tbnCargar->setObjectName(QStringLiteral("tbnCargar"));
    tbnCargar->setToolTip(QStringLiteral("Muestra los filtros definidos"));
    tbnGuardar = new QPushButton(QStringLiteral("&Guardar Filtros"), tshListado);
    tbnGuardar->setObjectName(QStringLiteral("tbnGuardar"));
    tbnGuardar->setToolTip(QStringLiteral("Guarda el Filtro que tenemos actualmente en pantalla"));
    tbnLimpiar = new QPushButton(QStringLiteral("&Limpiar Filtros"), tshListado);
    tbnLimpiar->setObjectName(QStringLiteral("tbnLimpiar"));
    tbnLimpiar->setToolTip(
        QStringLiteral("Limpia todas las condiciones que existan en el listado actualmente"));

    sbrAyuda = new QStatusBar(this);
    sbrAyuda->setObjectName(QStringLiteral("sbrAyuda"));
    sbrAyuda->setSizeGripEnabled(false);
    m_panelAyuda = new QLabel(sbrAyuda);
    sbrAyuda->addWidget(m_panelAyuda, 1);

    // F12 closes the window wherever the focus is inside it.
    auto* f12 = new QShortcut(QKeySequence(Qt::Key_F12), this);
    f12->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f12, &QShortcut::activated, this, &TfrmlstBase::Salir);

    // Tab walks the window as it is read: the all/any choice, the grid (which Tab leaves past
    // its last cell), the filter buttons, then the actions.
    setTabOrder(rbnTodas, rbnCualquiera);
    setTabOrder(rbnCualquiera, grdListado);
    setTabOrder(grdListado, tbnCargar);
    setTabOrder(tbnCargar, tbnGuardar);
    setTabOrder(tbnGuardar, tbnLimpiar);
    QWidget* anterior = tbnLimpiar;
    for (QWidget* accion : {static_cast<QWidget*>(nbiImprimir), static_cast<QWidget*>(nbiConteo),
                            static_cast<QWidget*>(nbiEtiqueta), static_cast<QWidget*>(nbiSMS),
                            static_cast<QWidget*>(nbiFicheroSMS),
                            static_cast<QWidget*>(nbiExportar), static_cast<QWidget*>(nbrEmail)}) {
        accion->setFocusPolicy(Qt::StrongFocus);
        setTabOrder(anterior, accion);
        anterior = accion;
    }

    resize(843, 560);
    aplicarTamano(width(), height());
}

void TfrmlstBase::setTextoAyuda(const QString& texto) {
    m_panelAyuda->setText(texto);
}

QString TfrmlstBase::textoAyuda() const {
    return m_panelAyuda->text();
}

void TfrmlstBase::Salir() {
    if (!ConfirmarSalida()) return;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void TfrmlstBase::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The rule measures the whole window, frame included, as the user resizes it: inside a
    // multi-document area that is the sub-window around this widget.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        aplicarTamano(sub->width(), sub->height());
    else
        aplicarTamano(event->size().width(), event->size().height());
}

void TfrmlstBase::aplicarTamano(int ancho, int alto) {
    // The resize rule: title W - 210 wide, grid W - 220 by H - 150, buttons at top H - 85.
    // The bars fill this widget, whatever the frame around it takes.
    const int w = width();
    const int h = height();
    nbrListado->setGeometry(0, 0, kAnchoNavegador, h - kAltoEstado);
    tshListado->setGeometry(kAnchoNavegador, 0, w - kAnchoNavegador, h - kAltoEstado);
    sbrAyuda->setGeometry(0, h - kAltoEstado, w, kAltoEstado);

    // Page coordinates are offset by the navigation bar's width.
    const int x = kIzquierda - kAnchoNavegador;
    pnlTitulo->setGeometry(x, 6, ancho - 210, 24);
    rbnTodas->setGeometry(x + 4, 35, 250, 20);
    rbnCualquiera->setGeometry(x + 264, 35, 290, 20);
    grdListado->setGeometry(x, 58, ancho - 220, alto - 150);
    const int top = alto - 85;
    tbnCargar->setGeometry(x, top, 132, 28);
    tbnGuardar->setGeometry(x + 140, top, 132, 28);
    tbnLimpiar->setGeometry(x + 280, top, 132, 28);
}
