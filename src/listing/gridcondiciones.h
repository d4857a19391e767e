#pragma once

// The condition grid (grdListado) and its one delegate, which chooses the editor of each cell as
// the listing window decided when the cell started editing: the catalogue drop-down for Campo,
// the operator list for Condicion, and for the two value cells the editor CargarValor chose
// (eriTexto, eriComboBox, eriBoton or eriPopup).

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

class TfrmListado;

namespace quill {

class GridCondiciones : public QTableView {
    Q_OBJECT
public:
    explicit GridCondiciones(QWidget* parent = nullptr);
    using QAbstractItemView::edit;

    // The grid's editing event: called before a cell starts editing; false refuses the edit.
    using AntesDeEditar = std::function<bool(const QModelIndex& index)>;
    void setAntesDeEditar(AntesDeEditar antes) { m_antes = std::move(antes); }

    // The editor open in the grid, null when none.
    QWidget* editorActual() const;
    // Writes the open editor's value into the row and closes it.
    void confirmarEditor();
    // Closes the open editor without writing its value.
    void cerrarEditor();
    // Enter: the next cell of the row, then the first cell of the next row; past the last cell
    // of the last row the row is finished (finFilas).
    void moverSiguienteCelda();
    // Whether the focused cell is being moved by the user (a click, a navigation key, Enter).
    // Moves that follow rows inserted or removed underneath are not the user's: the table is
    // then in the middle of its own change and must not be touched.
    bool porUsuario() const { return m_usuario > 0; }

Q_SIGNALS:
    // The focused cell moved (rows and columns of the model).
    void celdaActual(const QModelIndex& actual, const QModelIndex& anterior);
    // Control + Supr on the grid.
    void borrarFila();
    // Enter past the last cell of the last row.
    void finFilas();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Tab walks the cells; past the last cell (Shift+Tab before the first) it leaves the grid
    // for the window's next control.
    bool focusNextPrevChild(bool next) override;

private:
    bool esDisparoDeEdicion(EditTrigger trigger, const QEvent* event) const;

    AntesDeEditar m_antes;
    int m_usuario = 0;
};

// The delegate of grdListado: one editor per cell, chosen by column and, for the value cells, by
// what the window's CargarValor decided for the row.
class CondicionDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CondicionDelegate(TfrmListado* ventana, GridCondiciones* grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // A value cell whose value was refused shows it: tinted, the reason as its hint.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    // Whether the editor is the one open in the grid (a closed editor lives on until deleted,
    // and the drop-downs it watched outlive it).
    bool activo(const QWidget* editor) const;
    // Writes nothing: shows the row's current value again after the window changed it.
    void refrescar(QWidget* editor) const;
    // Writes the editor's value into the row.
    void confirmar(QWidget* editor) const;
    // What follows when an editor is done.
    enum class Despues { Quedarse, Mover, EditarSiguiente };
    // Writes the value, closes the editor and moves on (and edits the next cell) when asked.
    void terminar(QWidget* editor, Despues despues) const;

    TfrmListado* m_ventana;
    QPointer<GridCondiciones> m_grid;
};

} // namespace quill
