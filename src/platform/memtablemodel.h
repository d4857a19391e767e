#pragma once

// A Qt table model over a MemTable, so any view, grid or exporter can show one. Rows are the
// table's visible rows; columns come from a column set (field and caption, in order). The
// model follows the table: rows appended, removed, moved or edited underneath are signalled as
// such; closing, sorting, filtering and re-enabling controls reset the model.

#include "memtable.h"

#include <QAbstractTableModel>
#include <QPointer>

#include <vector>

namespace quill {

class MemTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // An empty column set shows every field, captioned with its name. Columns naming a field
    // the table lacks stay empty.
    explicit MemTableModel(MemTable* table, const ColumnSet& columns = {},
                           QObject* parent = nullptr);

    MemTable* table() const { return table_; }
    const ColumnSet& columns() const { return columns_; }
    void setColumns(const ColumnSet& columns);
    // Field index behind a column, -1 when the table has no such field.
    int fieldOfColumn(int column) const;

    // Off by default: the model only shows.
    void setEditable(bool on) { editable_ = on; }
    bool isEditable() const { return editable_; }
    // When on (default), each setData() posts the row at once; when off the row stays in edit
    // state until the table posts it (moving to another row posts it too).
    void setAutoPost(bool on) { autoPost_ = on; }
    bool autoPost() const { return autoPost_; }
    // Function text reported by the guard when an edit fails (a before-event refused it).
    void setErrorContext(const QString& funcion) { errorContext_ = funcion; }
    QString errorContext() const { return errorContext_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // Display and edit roles give the typed value (double, int, QString, QDate, QDateTime,
    // bool) or an invalid QVariant for null; numbers are right-aligned.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Moves the table to the row, puts it in edit state and sets the value; never throws.
    // Returns false (after reporting through the guard) when the table refuses.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void resolveFields();
    void onAboutToReset();
    void onReset();

    QPointer<MemTable> table_;
    ColumnSet columns_;
    std::vector<int> fields_;
    bool editable_ = false;
    bool autoPost_ = true;
    bool resetting_ = false;
    QString errorContext_ = QStringLiteral("MemTableModel -> setData");
};

} // namespace quill
