#include "listing/gridcondiciones.h"
#include "conditions/condicion.h"

#include "listing/grideditores.h"
#include "listing/tfrmlistado.h"
#include "platform/memtable.h"
#include "sql/valores.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QToolTip>

namespace quill {

namespace {

// Columns of the grid's model (the grid numbers them from 1: Campo 1 ... Condicion2 4).
constexpr int kColCampo = 0;
constexpr int kColCondicion = 1;
constexpr int kColValor1 = 2;

// Marks a stretch of code as the user's doing.
class DelUsuario {
public:
    explicit DelUsuario(int& contador) : m_contador(contador) { ++m_contador; }
    ~DelUsuario() { --m_contador; }
    DelUsuario(const DelUsuario&) = delete;
    DelUsuario& operator=(const DelUsuario&) = delete;

private:
    int& m_contador;
};

bool esEnter(const QKeyEvent* k) {
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

} // namespace

// ---- GridCondiciones ----

GridCondiciones::GridCondiciones(QWidget* parent) : QTableView(parent) {
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
}

QWidget* GridCondiciones::editorActual() const {
    const QModelIndex actual = currentIndex();
    return actual.isValid() ? indexWidget(actual) : nullptr;
}

void GridCondiciones::confirmarEditor() {
    if (QWidget* editor = editorActual()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void GridCondiciones::cerrarEditor() {
    if (QWidget* editor = editorActual()) closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void GridCondiciones::moverSiguienteCelda() {
    const QModelIndex actual = currentIndex();
    if (!actual.isValid() || !model()) return;
    DelUsuario usuario(m_usuario);
    if (actual.column() + 1 < model()->columnCount()) {
        setCurrentIndex(model()->index(actual.row(), actual.column() + 1));
    } else if (actual.row() + 1 < model()->rowCount()) {
        setCurrentIndex(model()->index(actual.row() + 1, kColCampo));
    } else {
        Q_EMIT finFilas();
    }
}

bool GridCondiciones::esDisparoDeEdicion(EditTrigger trigger, const QEvent* event) const {
    if (trigger == AllEditTriggers) return true; // edit() called by code
    if (!(editTriggers() & trigger)) return false;
    if (trigger == AnyKeyPressed) {
        if (!event || event->type() != QEvent::KeyPress) return false;
        const auto* k = static_cast<const QKeyEvent*>(event);
        return !k->text().isEmpty() && k->text().at(0).isPrint() &&
               !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    }
    return true;
}

bool GridCondiciones::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (index.isValid() && m_antes && !indexWidget(index) && esDisparoDeEdicion(trigger, event)) {
        if (!m_antes(index)) return false;
    }
    return QTableView::edit(index, trigger, event);
}

void GridCondiciones::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    Q_EMIT celdaActual(current, previous);
}

void GridCondiciones::keyPressEvent(QKeyEvent* event) {
    if (esEnter(event) && event->modifiers() == Qt::NoModifier) {
        moverSiguienteCelda();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
        Q_EMIT borrarFila();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F4 && currentIndex().isValid()) {
        // F4 opens the cell's editor and presses its button or drop-down.
        const QModelIndex actual = currentIndex();
        if (!indexWidget(actual)) edit(actual, EditKeyPressed, event);
        if (auto* celda = qobject_cast<EditorCelda*>(indexWidget(actual)))
            celda->abrir();
        else if (auto* lista = qobject_cast<QComboBox*>(indexWidget(actual)))
            lista->showPopup();
        event->accept();
        return;
    }
    DelUsuario usuario(m_usuario);
    QTableView::keyPressEvent(event);
}

bool GridCondiciones::focusNextPrevChild(bool next) {
    const QModelIndex actual = currentIndex();
    const QAbstractItemModel* m = model();
    const bool enBorde =
        !m || !actual.isValid() ||
        (next ? actual.row() == m->rowCount() - 1 && actual.column() == m->columnCount() - 1
              : actual.row() == 0 && actual.column() == 0);
    if (enBorde && !editorActual()) return QWidget::focusNextPrevChild(next);
    DelUsuario usuario(m_usuario);
    return QTableView::focusNextPrevChild(next);
}

void GridCondiciones::mousePressEvent(QMouseEvent* event) {
    DelUsuario usuario(m_usuario);
    QTableView::mousePressEvent(event);
}

// ---- CondicionDelegate ----

CondicionDelegate::CondicionDelegate(TfrmListado* ventana, GridCondiciones* grid)
    : QStyledItemDelegate(grid), m_ventana(ventana), m_grid(grid) {}

QWidget* CondicionDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex& index) const {
    TfrmListado* v = m_ventana;
    const QPersistentModelIndex celda(index);
    switch (index.column()) {
    case kColCampo: {
        // The catalogue drop-down: opens at once; typing searches the catalogue.
        auto* e = new EditorDesplegable(QStringLiteral("edtCampo"), parent);
        e->setDesplegable(v->grdFiltro);
        if (CatalogoPopup* catalogo = v->PopupCatalogo()) {
            connect(catalogo, &CatalogoPopup::entradaElegida, e, [this, v, e, catalogo] {
                EntradaArbol entrada;
                if (!activo(e) || !catalogo->entradaActual(&entrada)) return;
                e->cerrar();
                v->Proteger(QStringLiteral("grdFiltroView1 -> OnClick"),
                            [&] { v->EditarTabla(entrada); });
                refrescar(e);
                // The operator cell opens next, showing the field's default operator.
                terminar(e, Despues::EditarSiguiente);
            });
            connect(e, &EditorDesplegable::teclaBusqueda, e, [e, catalogo](const QString& texto) {
                if (!e->abierto()) {
                    catalogo->reiniciarBusqueda();
                    e->abrir();
                }
                catalogo->buscar(texto);
            });
            QTimer::singleShot(0, e, [e, v, catalogo] {
                if (e->abierto() || !e->isVisible()) return;
                catalogo->reiniciarBusqueda();
                if (quill::MemTable* t = v->TablaCondiciones())
                    if (!t->isEmpty() && !t->isNull(quill::campo::Id))
                        catalogo->seleccionar(t->asDouble(quill::campo::Id));
                e->abrir();
            });
        }
        return e;
    }
    case kColCondicion: {
        auto* c = new QComboBox(parent);
        c->setObjectName(QStringLiteral("cbxCondicion"));
        c->addItems(v->ListaCondiciones);
        // The operator is written into the row as soon as it is chosen.
        connect(c, &QComboBox::activated, this, [this, c] { confirmar(c); });
        return c;
    }
    default:
        break;
    }

    switch (v->EditorCondicion) {
    case TfrmListado::EditorValor::ComboBox: {
        auto* c = new QComboBox(parent);
        c->setObjectName(QStringLiteral("eriComboBox"));
        c->addItems(v->ListaValores);
        connect(c, &QComboBox::activated, this, [this, c] { confirmar(c); });
        return c;
    }
    case TfrmListado::EditorValor::Boton: {
        auto* b = new EditorBoton(parent);
        b->setSoloLectura(v->EditorSoloLectura);
        connect(b, &EditorBoton::pulsado, b, [this, v, b] {
            v->Proteger(QStringLiteral("eriBoton -> ButtonClick"), [v] { v->PulsarBoton(); });
            refrescar(b);
        });
        return b;
    }
    case TfrmListado::EditorValor::Popup: {
        auto* p = new EditorDesplegable(QStringLiteral("eriPopup"), parent);
        if (auto* cal = qobject_cast<CalendarioPopup*>(v->EditorPopup.data())) {
            p->setDesplegable(cal);
            // A date may also be typed; it is checked when the row is posted.
            p->linea()->setReadOnly(false);
            connect(cal, &CalendarioPopup::fechaElegida, p, [this, v, p](const QDate& fecha) {
                if (!activo(p)) return;
                p->cerrar();
                v->Proteger(QStringLiteral("Calendario -> OnClick"),
                            [&] { v->ElegirFecha(fecha); });
                refrescar(p);
            });
        } else if (auto* lista = qobject_cast<CheckListPopup*>(v->EditorPopup.data())) {
            p->setDesplegable(lista);
            connect(lista, &CheckListPopup::cambiado, p, [this, v, p] {
                if (!activo(p)) return;
                v->Proteger(QStringLiteral("CheckComboBox -> OnChange"),
                            [v] { v->MarcarCheckComboBox(); });
                refrescar(p);
            });
        }
        return p;
    }
    case TfrmListado::EditorValor::Texto:
        break;
    }
    auto* l = new QLineEdit(parent);
    l->setObjectName(QStringLiteral("eriTexto"));
    l->setFrame(false);
    l->setMaxLength(255);
    l->setReadOnly(v->EditorSoloLectura);
    return l;
}

void CondicionDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString valor = index.data(Qt::EditRole).toString();
    if (auto* c = qobject_cast<QComboBox*>(editor)) {
        c->setCurrentIndex(c->findText(valor, Qt::MatchExactly));
    } else if (auto* e = qobject_cast<EditorCelda*>(editor)) {
        e->setTexto(valor);
        auto* d = qobject_cast<EditorDesplegable*>(editor);
        if (d && d->desplegable() && !d->abierto()) {
            // The drop-down shows the cell's value when it opens.
            if (auto* cal = qobject_cast<CalendarioPopup*>(d->desplegable()))
                cal->mostrarFecha(valor);
            else if (auto* lista = qobject_cast<CheckListPopup*>(d->desplegable()))
                lista->marcar(valor.split(QStringLiteral("; "), Qt::SkipEmptyParts));
        }
    } else if (auto* l = qobject_cast<QLineEdit*>(editor)) {
        l->setText(valor);
    }
}

void CondicionDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
    TfrmListado* v = m_ventana;
    const QString anterior = index.data(Qt::EditRole).toString();
    if (index.column() == kColCondicion) {
        auto* c = qobject_cast<QComboBox*>(editor);
        if (!c || c->currentIndex() < 0 || c->currentText() == anterior) return;
        if (!model->setData(index, c->currentText())) return;
        v->Proteger(QStringLiteral("gclCondicion -> Change"), [v] { v->CambiarCondicion(); });
        return;
    }
    if (auto* c = qobject_cast<QComboBox*>(editor)) {
        // eriComboBox: the chosen name and its id.
        if (c->currentIndex() < 0 || c->currentText() == anterior) return;
        const QString nombre = c->currentText();
        v->Proteger(QStringLiteral("eriComboBox -> OnValidate"),
                    [v, &nombre] { v->ValidarComboBox(nombre); });
        return;
    }
    if (auto* d = qobject_cast<EditorDesplegable*>(editor);
        d && qobject_cast<CalendarioPopup*>(d->desplegable()) && !d->linea()->isReadOnly()) {
        // A typed date: written as the calendar writes it when it reads as one, as typed
        // otherwise, so that posting refuses it in the user's words and marks the row.
        const QString tecleado = d->linea()->text().trimmed();
        if (tecleado == anterior) return;
        QString valor = tecleado;
        try {
            if (!tecleado.isEmpty()) valor = dateText(parseDate(tecleado, QDate::currentDate()));
        } catch (const Error&) {
        }
        model->setData(index, valor);
        return;
    }
    if (auto* l = qobject_cast<QLineEdit*>(editor)) {
        // eriTexto; a read-only editor never writes.
        if (l->isReadOnly() || l->text() == anterior) return;
        model->setData(index, l->text());
    }
    // eriBoton, eriPopup and the Campo drop-down write through the window as they are used.
}

void CondicionDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

void CondicionDelegate::initStyleOption(QStyleOptionViewItem* option,
                                        const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() >= kColValor1 && !m_ventana->MotivoRechazo(index.row()).isEmpty()) {
        option->backgroundBrush = QColor(255, 200, 200);
        option->palette.setColor(QPalette::Text, QColor(160, 0, 0));
    }
}

bool CondicionDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                  const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event && event->type() == QEvent::ToolTip && index.column() == kColCampo) {
        const QString ayuda = m_ventana->AyudaCampo(index.row());
        if (!ayuda.isEmpty()) {
            QToolTip::showText(event->globalPos(), ayuda, view);
            return true;
        }
    }
    if (event && event->type() == QEvent::ToolTip && index.column() >= kColValor1) {
        const QString motivo = m_ventana->MotivoRechazo(index.row());
        if (!motivo.isEmpty()) {
            QToolTip::showText(event->globalPos(), motivo, view);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

bool CondicionDelegate::activo(const QWidget* editor) const {
    return m_grid && editor && m_grid->editorActual() == editor;
}

void CondicionDelegate::refrescar(QWidget* editor) const {
    if (!m_grid) return;
    const QModelIndex actual = m_grid->currentIndex();
    if (actual.isValid() && m_grid->indexWidget(actual) == editor) setEditorData(editor, actual);
}

void CondicionDelegate::confirmar(QWidget* editor) const {
    // Signals are emitted from const editor callbacks; the delegate itself does not change.
    Q_EMIT const_cast<CondicionDelegate*>(this)->commitData(editor);
}

void CondicionDelegate::terminar(QWidget* editor, Despues despues) const {
    auto* yo = const_cast<CondicionDelegate*>(this);
    Q_EMIT yo->commitData(editor);
    Q_EMIT yo->closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (despues == Despues::Quedarse || !m_grid) return;
    QPointer<GridCondiciones> grid = m_grid;
    QTimer::singleShot(0, grid, [grid, despues] {
        if (!grid) return;
        grid->moverSiguienteCelda();
        if (despues == Despues::EditarSiguiente && grid->currentIndex().isValid())
            grid->edit(grid->currentIndex());
    });
}

bool CondicionDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (!editor) return QStyledItemDelegate::eventFilter(object, event);
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        auto* lista = qobject_cast<QComboBox*>(editor);
        if (esEnter(k) && k->modifiers() == Qt::NoModifier) {
            // Enter writes the value and moves on to the next cell.
            terminar(editor, Despues::Mover);
            return true;
        }
        if (lista && k->key() == Qt::Key_F4) {
            lista->showPopup();
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason)
        return false; // a drop-down of the editor took the focus: the editor stays open
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace quill
