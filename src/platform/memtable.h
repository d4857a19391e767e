#pragma once

// MemTable: the in-memory dataset behind the condition tables, the filter catalogue, the
// saved filters and the listing results.
//
// It behaves as a classic dataset: named typed fields defined before opening, a cursor over
// the visible rows (first / next / eof), the states browse / edit / insert with
// append, edit, post, cancel and remove, five row events, sorting, an index field and a
// filter. Values are stored per column in typed vectors, not as one QVariant per cell.
//
// Rows are addressed in two ways:
//   - the cursor (currentRow(), 0-based; recNo(), 1-based) over the visible rows;
//   - valueAt(row, field) reads any visible row without moving the cursor (grids, exporters).
// Rows hidden by the filter are invisible to both, and to recordCount().
//
// Failures (unknown field, wrong state, a value that does not convert) throw quill::Error with
// a Spanish message. An exception thrown by a before-event aborts the operation, leaves the row
// as it was and propagates to the caller.
//
// Not thread-safe: one table is used by one thread (the user-interface thread).

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

namespace quill {

enum class FieldType {
    Float,    // double
    Integer,  // 32-bit integer
    SmallInt, // 16-bit integer
    String,   // text of at most `size` characters; a longer value is cut on assignment
    Memo,     // text of any length
    Blob,     // binary large object kept as text
    Date,     // QDate
    DateTime, // QDateTime (local time, millisecond precision)
    Boolean,  // bool
    Currency, // money amount, kept as double
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0; // characters of a String field (0: no limit); ignored by other types
    bool required = false;
};

// One visible column of a table shown or exported: field name and caption, in order.
struct ColumnSpec {
    QString field;
    QString caption;
};
using ColumnSet = QList<ColumnSpec>;

class MemTable;

// Read-only access to one stored row, given to filter predicates.
class RowView {
public:
    RowView(const MemTable& table, int storageRow) : table_(table), row_(storageRow) {}
    QVariant value(int field) const;
    QVariant value(const QString& field) const;
    bool isNull(int field) const;
    const MemTable& table() const { return table_; }

private:
    const MemTable& table_;
    int row_;
};

class MemTable : public QObject {
    Q_OBJECT

public:
    enum class State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)

    // Row events: a before-event that throws aborts the operation.
    using RowEvent = std::function<void(MemTable&)>;
    using RowPredicate = std::function<bool(const RowView&)>;

    explicit MemTable(const QString& name = QString(), QObject* parent = nullptr);
    ~MemTable() override;

    QString name() const { return objectName(); }

    // ---- Structure (only while closed) ----
    void addField(const QString& name, FieldType type, int size = 0, bool required = false);
    void addField(const FieldDef& def);
    void clearFields();
    int fieldCount() const { return int(defs_.size()); }
    const FieldDef& fieldDef(int field) const;
    QList<FieldDef> fieldDefs() const;
    // Case-insensitive; -1 when there is no such field.
    int fieldIndex(const QString& name) const;
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }

    // ---- Opening and closing ----
    // Opening needs at least one field and leaves the cursor on the first row.
    void open();
    // Discards every row and any pending edit; the field definitions stay.
    void close();
    bool isOpen() const { return state_ != State::Inactive; }
    State state() const { return state_; }

    // ---- Cursor over the visible rows ----
    int recordCount() const { return int(view_.size()); }
    bool isEmpty() const { return view_.empty(); }
    void first();
    void last();
    void next();  // at the last row sets eof() and stays there
    void prior(); // at the first row sets bof() and stays there
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    int currentRow() const { return view_.empty() ? -1 : pos_; } // 0-based, -1 when empty
    int recNo() const { return currentRow() + 1; }               // 1-based, 0 when empty
    void moveTo(int row);                                        // 0-based visible row
    // Moves to the first visible row whose field equals value (a string compares as text, with
    // the case ignored when asked); returns false and stays put when there is none.
    bool locate(const QString& field, const QVariant& value,
                Qt::CaseSensitivity cs = Qt::CaseSensitive);

    // Moving the cursor, sorting, filtering or appending while editing posts the row first.

    // ---- Editing ----
    void append(); // new blank row at the end, state Insert
    void insert(); // new blank row before the current one, state Insert
    void edit();   // state Edit on the current row (on an empty table: insert())
    void post();   // stores the pending row; nothing to do in Browse
    void cancel(); // restores the previous values; a new row disappears
    void remove(); // deletes the current row (while inserting: cancel())
    // append(), one value per field in field order (missing ones stay null), post().
    void appendRecord(const QVariantList& values);

    // ---- Values of the current row ----
    QVariant value(const QString& field) const;
    QVariant value(int field) const;
    bool isNull(const QString& field) const;
    bool isNull(int field) const;
    QString asString(const QString& field) const; // null: empty text
    double asDouble(const QString& field) const;  // null: 0
    int asInt(const QString& field) const;        // null: 0; a float is truncated
    bool asBool(const QString& field) const;      // null: false
    // Needs state Edit or Insert. An invalid QVariant or an empty text sets null; other values
    // are converted to the field's type (a text too long for a String field is cut to its size).
    void setValue(const QString& field, const QVariant& v);
    void setValue(int field, const QVariant& v);
    void setNull(const QString& field) { setValue(field, QVariant()); }

    // ---- Values of any visible row, without moving the cursor ----
    QVariant valueAt(int row, int field) const;
    QVariant valueAt(int row, const QString& field) const;
    QString textAt(int row, int field) const; // as asString()

    // ---- Order ----
    // Stable sort of the rows on one field; nulls come first in ascending order. Clears the
    // index. Texts compare as Spanish words, ignoring case.
    void sort(const QString& field, Qt::SortOrder order = Qt::AscendingOrder);
    // Keeps the rows ordered by these fields (separated by ';'), ascending; rows with equal
    // keys keep the order they were added in. An empty text removes the index.
    void setIndexFieldNames(const QString& fields);
    QString indexFieldNames() const { return indexText_; }

    // ---- Filter ----
    // A predicate, or a filter text of the form "IDGRUPO = 0 Or IDGRUPO = 9": equality of a
    // numeric field with integers joined by Or (keywords in any case). A row whose value is
    // not a whole number never equals an integer. The filter applies only while filtered.
    void setFilter(RowPredicate predicate);
    // Returns an empty text, or why the text was refused (the filter is then unchanged).
    QString setFilterText(const QString& text);
    QString filterText() const { return filterText_; }
    void setFiltered(bool on);
    bool isFiltered() const { return filtered_; }

    // ---- Row events ----
    // A before-post handler may set values of the row being posted; it may not move the cursor
    // (that throws).
    void setBeforeInsert(RowEvent e) { beforeInsert_ = std::move(e); }
    void setBeforeEdit(RowEvent e) { beforeEdit_ = std::move(e); }
    void setBeforePost(RowEvent e) { beforePost_ = std::move(e); }
    void setAfterPost(RowEvent e) { afterPost_ = std::move(e); }
    void setBeforeDelete(RowEvent e) { beforeDelete_ = std::move(e); }
    // While disabled the five events are not called (loading a packet, bulk fills).
    void setEventsEnabled(bool on) { eventsEnabled_ = on; }
    bool eventsEnabled() const { return eventsEnabled_; }

    // ---- Controls ----
    // While disabled (calls nest) no row signal is sent; enabling again sends reset().
    // aboutToReset() is sent when they are first disabled, so models stay consistent.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return controlsDisabled_ > 0; }
    class ControlsDisabled {
    public:
        explicit ControlsDisabled(MemTable& t) : t_(t) { t_.disableControls(); }
        ~ControlsDisabled() { t_.enableControls(); }
        ControlsDisabled(const ControlsDisabled&) = delete;
        ControlsDisabled& operator=(const ControlsDisabled&) = delete;

    private:
        MemTable& t_;
    };

    // ---- Whole-table access for readers and writers of stored data ----
    // Every stored row in the table's order, including rows hidden by the filter.
    int storedRowCount() const { return int(order_.size()); }
    QVariant storedValue(int storedIndex, int field) const;
    // Appends a row in Browse state without events (used when loading files); values are
    // converted as by setValue().
    void appendStored(const QVariantList& values);

Q_SIGNALS:
    // Positions are visible rows. "About to" signals come before the change, the others after.
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    // A row moves from `from` to its final position `to` (index order after a post).
    void rowAboutToBeMoved(int from, int to);
    void rowMoved(int from, int to);
    void rowChanged(int row);
    void aboutToReset();
    void reset();
    void currentChanged(int row);
    void stateChanged(quill::MemTable::State state);

private:
    using ColumnData = std::variant<std::vector<double>, std::vector<qint32>, std::vector<qint16>,
                                    std::vector<qint64>, std::vector<QString>, std::vector<quint8>>;
    struct Column {
        ColumnData data;
        std::vector<quint8> null; // 1: the cell is null
    };

    friend class RowView;

    int checkedField(const QString& name) const;
    void checkFieldIndex(int field) const;
    void checkOpen() const;
    void checkClosed() const;
    int storageRowOfCurrent() const;
    QVariant cell(int storageRow, int field) const;
    void setCell(int storageRow, int field, const QVariant& v);
    QVariant convert(int field, const QVariant& v) const;
    QVariantList rowValues(int storageRow) const;
    int addStorageRow();
    void removeStorageRow(int storageRow);
    int compareCells(int field, int a, int b) const;
    bool indexLess(int a, int b) const;
    bool passesFilter(int storageRow) const;
    void rebuildView();
    void resetView(); // rebuilds the view with reset signals around it
    void placeNewRow(int storageRow, int orderPos, int viewPos);
    void settleAfterPost(int storageRow);
    void dropRowFromView(int viewPos);
    int viewPosOf(int storageRow) const;
    void setState(State s);
    void setPosition(int pos);
    void checkBrowseMode(); // posts a pending row
    void fire(const RowEvent& e);
    bool signalsOn() const { return controlsDisabled_ == 0; }

    std::vector<FieldDef> defs_;
    std::vector<QString> upperNames_;
    std::vector<Column> cols_;
    int storedRows_ = 0;

    std::vector<int> order_; // storage rows in table order (index or sort), all rows
    std::vector<int> view_;  // the visible subset of order_, in the same order

    State state_ = State::Inactive;
    int pos_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    int pendingRow_ = -1;      // storage row being edited or inserted
    QVariantList savedValues_; // values before edit()
    int rowBeforeInsert_ = -1; // storage row current before append()/insert()
    bool inBeforePost_ = false;

    QString indexText_;
    std::vector<int> indexFields_;
    struct FilterTerm {
        QString field;
        qint64 value = 0;
        int index = -1; // resolved field, -1 until the fields are known
    };
    QString resolveFilterTerms(std::vector<FilterTerm>& terms) const;
    void resolveOrder(); // index and filter fields, when opening

    bool filtered_ = false;
    RowPredicate filter_;
    QString filterText_;
    std::vector<FilterTerm> filterTerms_;

    RowEvent beforeInsert_, beforeEdit_, beforePost_, afterPost_, beforeDelete_;
    bool eventsEnabled_ = true;
    int controlsDisabled_ = 0;
};

// Text of a field type as shown in messages ("Float", "String"...).
QString fieldTypeName(FieldType type);

} // namespace quill
