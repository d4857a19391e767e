#include "memtablemodel.h"

#include "guard.h"

namespace quill {

MemTableModel::MemTableModel(MemTable* table, const ColumnSet& columns, QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(columns) {
    resolveFields();
    if (!table) return;
    connect(table, &MemTable::rowAboutToBeInserted, this,
            [this](int row) { beginInsertRows(QModelIndex(), row, row); });
    connect(table, &MemTable::rowInserted, this, [this] { endInsertRows(); });
    connect(table, &MemTable::rowAboutToBeRemoved, this,
            [this](int row) { beginRemoveRows(QModelIndex(), row, row); });
    connect(table, &MemTable::rowRemoved, this, [this] { endRemoveRows(); });
    connect(table, &MemTable::rowAboutToBeMoved, this, [this](int from, int to) {
        // Qt counts the destination before the move: one past the final row when moving down.
        beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    });
    connect(table, &MemTable::rowMoved, this, [this] { endMoveRows(); });
    connect(table, &MemTable::rowChanged, this, [this](int row) {
        if (columnCount() > 0 && row >= 0 && row < rowCount())
            Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(table, &MemTable::aboutToReset, this, &MemTableModel::onAboutToReset);
    connect(table, &MemTable::reset, this, &MemTableModel::onReset);
    connect(table, &QObject::destroyed, this, [this] {
        if (!resetting_) beginResetModel();
        resetting_ = false;
        fields_.clear();
        endResetModel();
    });
}

void MemTableModel::onAboutToReset() {
    if (resetting_) return;
    resetting_ = true;
    beginResetModel();
}

void MemTableModel::onReset() {
    // A table whose controls were disabled before the model existed ends a reset it never began.
    if (!resetting_) beginResetModel();
    resetting_ = false;
    resolveFields();
    endResetModel();
}

void MemTableModel::setColumns(const ColumnSet& columns) {
    beginResetModel();
    columns_ = columns;
    resolveFields();
    endResetModel();
}

void MemTableModel::resolveFields() {
    fields_.clear();
    if (!table_) return;
    if (columns_.isEmpty()) {
        for (int f = 0; f < table_->fieldCount(); ++f)
            fields_.push_back(f);
        return;
    }
    for (const ColumnSpec& c : columns_)
        fields_.push_back(table_->fieldIndex(c.field));
}

int MemTableModel::fieldOfColumn(int column) const {
    return column >= 0 && column < int(fields_.size()) ? fields_[size_t(column)] : -1;
}

int MemTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !table_ || !table_->isOpen()) return 0;
    return table_->recordCount();
}

int MemTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(fields_.size());
}

QVariant MemTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const int field = fieldOfColumn(index.column());
    if (field < 0 || !table_ || index.row() >= rowCount()) return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return table_->valueAt(index.row(), field);
    case Qt::TextAlignmentRole: {
        switch (table_->fieldDef(field).type) {
        case FieldType::Float:
        case FieldType::Currency:
        case FieldType::Integer:
        case FieldType::SmallInt:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        default:
            return QVariant();
        }
    }
    default:
        return QVariant();
    }
}

QVariant MemTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (!columns_.isEmpty()) return columns_[section].caption;
    const int field = fieldOfColumn(section);
    return field >= 0 && table_ ? table_->fieldDef(field).name : QString();
}

Qt::ItemFlags MemTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (editable_ && fieldOfColumn(index.column()) >= 0) f |= Qt::ItemIsEditable;
    return f;
}

bool MemTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!editable_ || role != Qt::EditRole || !table_ ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const int field = fieldOfColumn(index.column());
    if (field < 0) return false;
    MemTable* t = table_;
    return Guardar(errorContext_, [&] {
        if (t->currentRow() != index.row()) t->moveTo(index.row());
        t->edit();
        t->setValue(field, value);
        if (autoPost_) t->post();
    });
}

void MemTableModel::sort(int column, Qt::SortOrder order) {
    const int field = fieldOfColumn(column);
    if (field < 0 || !table_ || !table_->isOpen()) return;
    MemTable* t = table_;
    Guardar(QStringLiteral("MemTableModel -> sort"),
            [&] { t->sort(t->fieldDef(field).name, order); });
}

} // namespace quill
