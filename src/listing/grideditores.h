#pragma once

// The cell editors and drop-downs of the condition grid: the text-with-button editor (eriBoton),
// the drop-down editor (eriPopup, and the Campo cell's catalogue drop-down), the catalogue tree,
// the month calendar and the check list. The editors only show and forward: what a choice writes
// into the condition row is the listing window's business.

#include <QCalendarWidget>
#include <QDate>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QToolButton>
#include <QTreeView>

// The widgets the accessors below hand out are complete types for the callers.
class QLabel;
class QStandardItemModel;

namespace quill {

class MemTable;

// One entry of the filter catalogue as the drop-down offers it.
struct EntradaArbol {
    double id = -1;
    double idGrupo = -1;
    QString grupo;
    QString campo;
    qint16 tipoCampo = 0;
    qint16 tipoObjeto = 0;
    QString descripcion;
};

// Base of the grid's own editors: a read-only or editable line and one button beside it.
class EditorCelda : public QWidget {
    Q_OBJECT
public:
    EditorCelda(const QString& nombre, QWidget* parent);

    QLineEdit* linea() const { return m_linea; }
    QToolButton* boton() const { return m_boton; }
    QString texto() const;
    void setTexto(const QString& texto);
    void setSoloLectura(bool soloLectura);

    // What F4 (and Alt+Down) does: press the button or open the drop-down.
    virtual void abrir() = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    QLineEdit* m_linea;
    QToolButton* m_boton;
};

// eriBoton: a text with one glyph button; the button (or F4) asks the window to run a picker.
class EditorBoton : public EditorCelda {
    Q_OBJECT
public:
    explicit EditorBoton(QWidget* parent);
    void abrir() override;

Q_SIGNALS:
    void pulsado();
};

// A drop-down editor: a read-only text and an arrow that shows a drop-down window under the
// cell. The drop-down belongs to the listing window and outlives the editor; the editor only
// places and shows it. eriPopup does not open by itself; the Campo cell's editor opens at once
// and passes typed letters on to the catalogue's search.
class EditorDesplegable : public EditorCelda {
    Q_OBJECT
public:
    EditorDesplegable(const QString& nombre, QWidget* parent);
    ~EditorDesplegable() override;

    void setDesplegable(QWidget* desplegable) { m_desplegable = desplegable; }
    QWidget* desplegable() const { return m_desplegable; }
    void abrir() override;
    void cerrar();
    bool abierto() const;

Q_SIGNALS:
    // A printable key typed while the drop-down is closed (the catalogue searches with it).
    void teclaBusqueda(const QString& texto);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_desplegable;
};

// The drop-down grid of the Campo cell (grdFiltro): the catalogue of the current listing kind as
// a tree of groups (IDGRUPO order, collapsed at first) and fields (sorted by caption), with
// incremental search by caption and the field's description as hint.
class CatalogoPopup : public QFrame {
    Q_OBJECT
public:
    explicit CatalogoPopup(QWidget* parent);
    ~CatalogoPopup() override;

    // Builds the tree from the shown rows of the catalogue table (cdsFiltros). Returns the number
    // of fields offered.
    int cargar(const MemTable& cdsFiltros);
    void vaciar();

    QTreeView* vista() const { return m_vista; }
    QStandardItemModel* modelo() const { return m_modelo; }
    int numeroCampos() const { return m_numeroCampos; }
    // Group captions in the order shown.
    QStringList grupos() const;
    // Field captions of a group, in the order shown (without the group a shared caption shows).
    QStringList campos(const QString& grupo) const;

    // The focused entry; false when the focus is on a group or nothing.
    bool entradaActual(EntradaArbol* entrada) const;
    // Focuses the field with this ID (its group expanded); false when it is not offered.
    bool seleccionar(double id);
    // Incremental search: adds the text to what was typed and focuses the first field (in the
    // order shown) whose caption starts with it, else the first that holds it anywhere, ignoring
    // case and accents; the group of the field found is expanded. A miss leaves nothing
    // focused. A pause longer than the keyboard interval starts a new search. Captions two
    // fields share show their group after them.
    bool buscar(const QString& texto);
    QString textoBusqueda() const { return m_busqueda; }
    void reiniciarBusqueda();
    // Collapses every group and forgets the search.
    void plegar();

Q_SIGNALS:
    // Enter or a click on a field: the window copies the focused entry into the row.
    void entradaElegida();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void elegir(const QModelIndex& index);
    // Focuses a field, its group open and in sight.
    void mostrar(const QModelIndex& campo);
    bool buscarDesde(const QString& texto);

    QTreeView* m_vista;
    QStandardItemModel* m_modelo;
    QLabel* m_estado;
    QString m_busqueda;
    qint64 m_ultimaTecla = 0;
    int m_numeroCampos = 0;
};

// The month calendar of date cells.
class CalendarioPopup : public QFrame {
    Q_OBJECT
public:
    explicit CalendarioPopup(QWidget* parent);

    QCalendarWidget* calendario() const { return m_calendario; }
    // Shows the month of a day/month/year text (today when it does not read as a date).
    void mostrarFecha(const QString& texto);

Q_SIGNALS:
    // A day was clicked (or chosen with Enter).
    void fechaElegida(const QDate& fecha);

private:
    QCalendarWidget* m_calendario;
};

// The check list of multiple-choice cells (350 wide, flat, Tahoma).
class CheckListPopup : public QFrame {
    Q_OBJECT
public:
    explicit CheckListPopup(QWidget* parent);

    QListWidget* lista() const { return m_lista; }
    // Replaces the entries by these names, none ticked; keeps them when the list code is the one
    // loaded last (the names are then the same), so a long list is not rebuilt on every edit.
    void cargar(int codigoLista, const QStringList& nombres);
    int codigoLista() const { return m_codigo; }
    // Ticks exactly the entries whose name is in `nombres`.
    void marcar(const QStringList& nombres);
    // Ticks or unticks one entry as a user would (the change is signalled).
    void setMarcado(int fila, bool marcado);
    // Positions of the ticked entries, in list order.
    QList<int> marcados() const;

Q_SIGNALS:
    // The user ticked or unticked an entry.
    void cambiado();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* m_lista;
    int m_codigo = -1;
    bool m_silencio = false;
};

} // namespace quill
