#include "listing/grideditores.h"

#include "platform/memtable.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCollator>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QScreen>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <vector>

namespace quill {

namespace {

// Item roles of a catalogue field in the tree.
enum Rol {
    RolEsCampo = Qt::UserRole + 1,
    RolId,
    RolIdGrupo,
    RolGrupo,
    RolTipoCampo,
    RolTipoObjeto,
    RolDescripcion,
    RolClave, // caption without accents and case, for the search
    RolCampo, // the caption alone (the text shown adds the group where two fields share it)
};

// Captions compared as a user reads them: accents and case do not matter.
QString claveBusqueda(const QString& texto) {
    const QString d = texto.normalized(QString::NormalizationForm_D);
    QString clave;
    clave.reserve(d.size());
    for (const QChar c : d)
        if (c.category() != QChar::Mark_NonSpacing) clave.append(c.toCaseFolded());
    return clave;
}

bool esTeclaAbrir(const QKeyEvent* k) {
    return k->key() == Qt::Key_F4 ||
           (k->key() == Qt::Key_Down && k->modifiers().testFlag(Qt::AltModifier));
}

// Shows a drop-down window under a widget, kept on the screen.
void mostrarDebajo(QWidget* desplegable, QWidget* ancla) {
    const QSize tam = desplegable->size().isValid() && !desplegable->size().isEmpty()
                          ? desplegable->size()
                          : desplegable->sizeHint();
    QPoint p = ancla->mapToGlobal(QPoint(0, ancla->height()));
    if (const QScreen* pantalla = ancla->screen()) {
        const QRect zona = pantalla->availableGeometry();
        if (p.y() + tam.height() > zona.bottom())
            p.setY(ancla->mapToGlobal(QPoint(0, 0)).y() - tam.height());
        p.setX(std::clamp(p.x(), zona.left(), std::max(zona.left(), zona.right() - tam.width())));
        p.setY(std::max(p.y(), zona.top()));
    }
    desplegable->move(p);
    // A popup takes the keyboard while shown; the window keeps being the active one.
    desplegable->show();
    desplegable->raise();
}

} // namespace

// ---- EditorCelda ----

EditorCelda::EditorCelda(const QString& nombre, QWidget* parent) : QWidget(parent) {
    setObjectName(nombre);
    setAutoFillBackground(true);
    auto* fila = new QHBoxLayout(this);
    fila->setContentsMargins(0, 0, 0, 0);
    fila->setSpacing(0);
    m_linea = new QLineEdit(this);
    m_linea->setFrame(false);
    m_linea->setMaxLength(255);
    m_linea->installEventFilter(this);
    m_boton = new QToolButton(this);
    m_boton->setFocusPolicy(Qt::NoFocus);
    m_boton->setAutoRaise(false);
    m_boton->setFixedWidth(18);
    m_boton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    fila->addWidget(m_linea, 1);
    fila->addWidget(m_boton);
    setFocusProxy(m_linea);
    connect(m_boton, &QToolButton::clicked, this, [this] { abrir(); });
}

QString EditorCelda::texto() const {
    return m_linea->text();
}

void EditorCelda::setTexto(const QString& texto) {
    m_linea->setText(texto);
    m_linea->setCursorPosition(0);
}

void EditorCelda::setSoloLectura(bool soloLectura) {
    m_linea->setReadOnly(soloLectura);
}

bool EditorCelda::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_linea && event->type() == QEvent::KeyPress &&
        esTeclaAbrir(static_cast<QKeyEvent*>(event))) {
        abrir();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- EditorBoton ----

EditorBoton::EditorBoton(QWidget* parent) : EditorCelda(QStringLiteral("eriBoton"), parent) {
    m_boton->setText(QStringLiteral("..."));
    m_boton->setToolTip(QStringLiteral("Buscar (F4)"));
}

void EditorBoton::abrir() {
    Q_EMIT pulsado();
}

// ---- EditorDesplegable ----

EditorDesplegable::EditorDesplegable(const QString& nombre, QWidget* parent)
    : EditorCelda(nombre, parent) {
    m_boton->setArrowType(Qt::DownArrow);
    m_linea->setReadOnly(true);
}

EditorDesplegable::~EditorDesplegable() {
    // The drop-down belongs to the window; it must not stay on screen without its editor.
    cerrar();
}

void EditorDesplegable::abrir() {
    if (!m_desplegable) return;
    if (m_desplegable->width() < width()) m_desplegable->resize(width(), m_desplegable->height());
    mostrarDebajo(m_desplegable, this);
}

void EditorDesplegable::cerrar() {
    if (m_desplegable && m_desplegable->isVisible()) m_desplegable->hide();
}

bool EditorDesplegable::abierto() const {
    return m_desplegable && m_desplegable->isVisible();
}

bool EditorDesplegable::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_linea && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        const QString texto = k->text();
        if (!esTeclaAbrir(k) && !texto.isEmpty() && texto.at(0).isPrint() &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (isSignalConnected(QMetaMethod::fromSignal(&EditorDesplegable::teclaBusqueda))) {
                Q_EMIT teclaBusqueda(texto);
                return true;
            }
        }
    }
    return EditorCelda::eventFilter(watched, event);
}

// ---- CatalogoPopup ----

CatalogoPopup::CatalogoPopup(QWidget* parent) : QFrame(parent, Qt::Popup) {
    setObjectName(QStringLiteral("grdFiltro"));
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    QFont fuente(QStringLiteral("Tahoma"));
    fuente.setPointSize(9);
    setFont(fuente);
    auto* columna = new QVBoxLayout(this);
    columna->setContentsMargins(1, 1, 1, 1);
    columna->setSpacing(0);

    m_modelo = new QStandardItemModel(this);
    m_vista = new QTreeView(this);
    m_vista->setObjectName(QStringLiteral("grdFiltroView1"));
    m_vista->setModel(m_modelo);
    m_vista->setHeaderHidden(true);
    m_vista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_vista->setSelectionMode(QAbstractItemView::SingleSelection);
    m_vista->setUniformRowHeights(true);
    m_vista->setAlternatingRowColors(true);
    m_vista->setExpandsOnDoubleClick(false);
    m_vista->setIndentation(14);
    m_vista->setMouseTracking(true);
    m_vista->setFrameShape(QFrame::NoFrame);
    m_vista->installEventFilter(this);
    m_vista->viewport()->installEventFilter(this);
    columna->addWidget(m_vista, 1);

    m_estado = new QLabel(this);
    m_estado->setObjectName(QStringLiteral("lblBusqueda"));
    m_estado->setContentsMargins(4, 2, 4, 2);
    m_estado->setStyleSheet(QStringLiteral("color: #24364a; background: #eef2f6;"));
    columna->addWidget(m_estado);
    reiniciarBusqueda();

    connect(m_vista, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (index.data(RolEsCampo).toBool()) {
            elegir(index);
        } else if (index.isValid()) {
            m_vista->setExpanded(index, !m_vista->isExpanded(index));
        }
    });
    resize(330, 340);
}

CatalogoPopup::~CatalogoPopup() = default;

void CatalogoPopup::vaciar() {
    m_modelo->clear();
    m_numeroCampos = 0;
    reiniciarBusqueda();
}

int CatalogoPopup::cargar(const MemTable& t) {
    vaciar();
    if (!t.isOpen()) return 0;
    const int fId = t.fieldIndex(QStringLiteral("ID"));
    const int fIdGrupo = t.fieldIndex(QStringLiteral("IDGRUPO"));
    const int fGrupo = t.fieldIndex(QStringLiteral("GRUPO"));
    const int fCampo = t.fieldIndex(QStringLiteral("CAMPO"));
    const int fTipoCampo = t.fieldIndex(QStringLiteral("TIPOCAMPO"));
    const int fTipoObjeto = t.fieldIndex(QStringLiteral("TIPOOBJETO"));
    const int fDescripcion = t.fieldIndex(QStringLiteral("DESCRIPCION"));
    if (fId < 0 || fCampo < 0 || fGrupo < 0) return 0;

    // Groups in the order the catalogue gives them (group-number order), fields by caption.
    struct Grupo {
        QString titulo;
        std::vector<int> filas;
    };
    std::vector<Grupo> grupos;
    std::map<QString, size_t> porTitulo;
    for (int r = 0; r < t.recordCount(); ++r) {
        const QString titulo = t.textAt(r, fGrupo);
        auto it = porTitulo.find(titulo);
        if (it == porTitulo.end()) {
            it = porTitulo.emplace(titulo, grupos.size()).first;
            grupos.push_back({titulo, {}});
        }
        grupos[it->second].filas.push_back(r);
    }
    QCollator orden(QLocale(QLocale::Spanish, QLocale::Spain));
    orden.setCaseSensitivity(Qt::CaseInsensitive);
    orden.setNumericMode(true);

    // Captions that more than one field wears ("Cilindro OD" of spectacles and of lenses).
    QHash<QString, int> usos;
    for (int r = 0; r < t.recordCount(); ++r)
        ++usos[t.textAt(r, fCampo)];

    QFont negrita = font();
    negrita.setBold(true);
    for (Grupo& g : grupos) {
        std::stable_sort(g.filas.begin(), g.filas.end(), [&](int a, int b) {
            return orden.compare(t.textAt(a, fCampo), t.textAt(b, fCampo)) < 0;
        });
        auto* grupo = new QStandardItem(g.titulo);
        grupo->setEditable(false);
        grupo->setFont(negrita);
        grupo->setData(false, RolEsCampo);
        for (int r : g.filas) {
            const QString titulo = t.textAt(r, fCampo);
            auto* campo = new QStandardItem(
                usos.value(titulo) > 1 ? QStringLiteral("%1 (%2)").arg(titulo, g.titulo) : titulo);
            campo->setData(titulo, RolCampo);
            campo->setEditable(false);
            const QString descripcion = fDescripcion >= 0 ? t.textAt(r, fDescripcion) : QString();
            campo->setData(true, RolEsCampo);
            campo->setData(t.valueAt(r, fId).toDouble(), RolId);
            campo->setData(fIdGrupo >= 0 ? t.valueAt(r, fIdGrupo).toDouble() : -1.0, RolIdGrupo);
            campo->setData(g.titulo, RolGrupo);
            campo->setData(fTipoCampo >= 0 ? t.valueAt(r, fTipoCampo).toInt() : 0, RolTipoCampo);
            campo->setData(fTipoObjeto >= 0 ? t.valueAt(r, fTipoObjeto).toInt() : 0, RolTipoObjeto);
            campo->setData(descripcion, RolDescripcion);
            campo->setData(claveBusqueda(t.textAt(r, fCampo)), RolClave);
            // As rich text the hint wraps instead of running off the screen.
            if (!descripcion.isEmpty())
                campo->setToolTip(QStringLiteral("<p>%1</p>").arg(descripcion.toHtmlEscaped()));
            grupo->appendRow(campo);
            ++m_numeroCampos;
        }
        m_modelo->appendRow(grupo);
    }
    plegar();
    return m_numeroCampos;
}

QStringList CatalogoPopup::grupos() const {
    QStringList r;
    for (int g = 0; g < m_modelo->rowCount(); ++g)
        r << m_modelo->item(g)->text();
    return r;
}

QStringList CatalogoPopup::campos(const QString& grupo) const {
    QStringList r;
    for (int g = 0; g < m_modelo->rowCount(); ++g) {
        const QStandardItem* item = m_modelo->item(g);
        if (item->text() != grupo) continue;
        for (int c = 0; c < item->rowCount(); ++c)
            r << item->child(c)->data(RolCampo).toString();
    }
    return r;
}

bool CatalogoPopup::entradaActual(EntradaArbol* e) const {
    const QModelIndex i = m_vista->currentIndex();
    if (!i.isValid() || !i.data(RolEsCampo).toBool()) return false;
    if (e) {
        e->id = i.data(RolId).toDouble();
        e->idGrupo = i.data(RolIdGrupo).toDouble();
        e->grupo = i.data(RolGrupo).toString();
        e->campo = i.data(RolCampo).toString();
        e->tipoCampo = qint16(i.data(RolTipoCampo).toInt());
        e->tipoObjeto = qint16(i.data(RolTipoObjeto).toInt());
        e->descripcion = i.data(RolDescripcion).toString();
    }
    return true;
}

void CatalogoPopup::mostrar(const QModelIndex& campo) {
    // The group's caption stays in sight when the field fits below it.
    m_vista->expand(campo.parent());
    m_vista->setCurrentIndex(campo);
    m_vista->scrollTo(campo.parent(), QAbstractItemView::PositionAtTop);
    m_vista->scrollTo(campo, QAbstractItemView::EnsureVisible);
}

bool CatalogoPopup::seleccionar(double id) {
    for (int g = 0; g < m_modelo->rowCount(); ++g) {
        QStandardItem* grupo = m_modelo->item(g);
        for (int c = 0; c < grupo->rowCount(); ++c) {
            if (grupo->child(c)->data(RolId).toDouble() != id) continue;
            mostrar(grupo->child(c)->index());
            return true;
        }
    }
    return false;
}

void CatalogoPopup::reiniciarBusqueda() {
    m_busqueda.clear();
    m_estado->setText(QStringLiteral("Escriba para buscar un campo"));
}

void CatalogoPopup::plegar() {
    m_vista->collapseAll();
    if (m_modelo->rowCount() > 0) m_vista->setCurrentIndex(m_modelo->index(0, 0));
    reiniciarBusqueda();
}

bool CatalogoPopup::buscarDesde(const QString& texto) {
    const QString clave = claveBusqueda(texto);
    // A caption that starts with the text first, then one that holds it anywhere ("nacim" finds
    // "Fecha Nacimiento").
    for (const bool alPrincipio : {true, false}) {
        for (int g = 0; g < m_modelo->rowCount(); ++g) {
            QStandardItem* grupo = m_modelo->item(g);
            for (int c = 0; c < grupo->rowCount(); ++c) {
                const QString k = grupo->child(c)->data(RolClave).toString();
                if (alPrincipio ? !k.startsWith(clave) : !k.contains(clave)) continue;
                mostrar(grupo->child(c)->index());
                return true;
            }
        }
    }
    return false;
}

bool CatalogoPopup::buscar(const QString& texto) {
    const QString nuevo = m_busqueda + texto;
    if (!buscarDesde(nuevo)) {
        // Nothing stays highlighted that Enter could pick by mistake.
        m_vista->setCurrentIndex(QModelIndex());
        m_vista->clearSelection();
        m_estado->setText(QStringLiteral("Buscar: %1  (sin coincidencias)").arg(nuevo));
        return false;
    }
    m_busqueda = nuevo;
    m_estado->setText(QStringLiteral("Buscar: %1").arg(m_busqueda));
    return true;
}

void CatalogoPopup::elegir(const QModelIndex& index) {
    if (!index.data(RolEsCampo).toBool()) return;
    m_vista->setCurrentIndex(index);
    Q_EMIT entradaElegida();
}

void CatalogoPopup::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    m_vista->setFocus();
}

bool CatalogoPopup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_vista && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        switch (k->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            const QModelIndex i = m_vista->currentIndex();
            if (i.data(RolEsCampo).toBool())
                elegir(i);
            else if (i.isValid())
                m_vista->setExpanded(i, !m_vista->isExpanded(i));
            return true;
        }
        case Qt::Key_Backspace:
            if (!m_busqueda.isEmpty()) {
                const QString menos = m_busqueda.left(m_busqueda.size() - 1);
                reiniciarBusqueda();
                if (!menos.isEmpty()) buscar(menos);
            }
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Left:
        case Qt::Key_Right:
            reiniciarBusqueda();
            return false;
        default:
            break;
        }
        const QString texto = k->text();
        if (!texto.isEmpty() && texto.at(0).isPrint() &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            buscar(texto);
            return true;
        }
    }
    if (watched == m_vista->viewport() && event->type() == QEvent::MouseButtonPress)
        reiniciarBusqueda();
    return QFrame::eventFilter(watched, event);
}

// ---- CalendarioPopup ----

CalendarioPopup::CalendarioPopup(QWidget* parent) : QFrame(parent, Qt::Popup) {
    setObjectName(QStringLiteral("Calendario"));
    setFrameShape(QFrame::Box);
    auto* columna = new QVBoxLayout(this);
    columna->setContentsMargins(1, 1, 1, 1);
    m_calendario = new QCalendarWidget(this);
    m_calendario->setObjectName(QStringLiteral("calCalendario"));
    m_calendario->setLocale(QLocale(QLocale::Spanish, QLocale::Spain));
    m_calendario->setFirstDayOfWeek(Qt::Monday);
    m_calendario->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendario->setGridVisible(true);
    columna->addWidget(m_calendario);
    connect(m_calendario, &QCalendarWidget::clicked, this, &CalendarioPopup::fechaElegida);
    connect(m_calendario, &QCalendarWidget::activated, this, &CalendarioPopup::fechaElegida);
    resize(sizeHint());
}

void CalendarioPopup::mostrarFecha(const QString& texto) {
    QDate fecha;
    for (const char* formato : {"d/M/yyyy", "d/M/yy"}) {
        fecha = QDate::fromString(texto.trimmed(), QString::fromLatin1(formato));
        if (fecha.isValid()) break;
    }
    if (!fecha.isValid()) fecha = QDate::currentDate();
    m_calendario->setSelectedDate(fecha);
    m_calendario->setCurrentPage(fecha.year(), fecha.month());
}

// ---- CheckListPopup ----

CheckListPopup::CheckListPopup(QWidget* parent) : QFrame(parent, Qt::Popup) {
    setObjectName(QStringLiteral("CheckComboBox"));
    setFrameShape(QFrame::Box);
    QFont fuente(QStringLiteral("Tahoma"));
    fuente.setPixelSize(12);
    setFont(fuente);
    auto* columna = new QVBoxLayout(this);
    columna->setContentsMargins(1, 1, 1, 1);
    m_lista = new QListWidget(this);
    m_lista->setObjectName(QStringLiteral("lstCheck"));
    m_lista->setFrameShape(QFrame::NoFrame);
    m_lista->setUniformItemSizes(true);
    columna->addWidget(m_lista);
    connect(m_lista, &QListWidget::itemChanged, this, [this] {
        if (!m_silencio) Q_EMIT cambiado();
    });
    // A click anywhere on an entry ticks it, not only on its box (the box ticks by itself).
    m_lista->viewport()->installEventFilter(this);
    resize(350, 240);
}

bool CheckListPopup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lista->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* m = static_cast<QMouseEvent*>(event);
        const int caja = m_lista->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 8;
        if (m->button() == Qt::LeftButton && m->position().x() > caja)
            if (QListWidgetItem* item = m_lista->itemAt(m->position().toPoint()))
                item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked
                                                                      : Qt::Checked);
    }
    return QFrame::eventFilter(watched, event);
}

void CheckListPopup::cargar(int codigoLista, const QStringList& nombres) {
    m_silencio = true;
    bool iguales = codigoLista == m_codigo && m_lista->count() == nombres.size();
    for (int i = 0; iguales && i < nombres.size(); ++i)
        iguales = m_lista->item(i)->text() == nombres.at(i);
    if (iguales) {
        for (int i = 0; i < m_lista->count(); ++i)
            m_lista->item(i)->setCheckState(Qt::Unchecked);
    } else {
        m_lista->clear();
        for (const QString& n : nombres) {
            auto* item = new QListWidgetItem(n, m_lista);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            item->setCheckState(Qt::Unchecked);
        }
        m_codigo = codigoLista;
    }
    m_silencio = false;
    const int alto = std::clamp(m_lista->sizeHintForRow(0) * int(nombres.size()) + 6, 60, 300);
    resize(350, alto);
}

void CheckListPopup::marcar(const QStringList& nombres) {
    m_silencio = true;
    for (int i = 0; i < m_lista->count(); ++i) {
        QListWidgetItem* item = m_lista->item(i);
        item->setCheckState(nombres.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
    }
    m_silencio = false;
}

void CheckListPopup::setMarcado(int fila, bool marcado) {
    if (QListWidgetItem* item = m_lista->item(fila))
        item->setCheckState(marcado ? Qt::Checked : Qt::Unchecked);
}

QList<int> CheckListPopup::marcados() const {
    QList<int> r;
    for (int i = 0; i < m_lista->count(); ++i)
        if (m_lista->item(i)->checkState() == Qt::Checked) r << i;
    return r;
}

} // namespace quill
