#pragma once

// What the four writers share: the rows of a table in the order of a column set, each cell's
// text as the files show it, and the checks and temporary-file handling around a written file.

#include "output/export/columnas.h"

#include <QByteArray>
#include <QDate>
#include <QFileDevice>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

class QIODevice;

namespace quill::exportdetail {

QString cellText(FieldType type, const QVariant& v);

// The visible rows of a table, sorted (stably, ascending, nulls first, texts as Spanish words
// ignoring case, as MemTable::sort orders them) on the set's sort field, without touching the
// table. Throws quill::Error when the table is closed or lacks a field of the set.
class ExportSource {
public:
    ExportSource(const MemTable& table, const ExportColumnSet& columns);

    int rowCount() const { return int(order_.size()); }
    int columnCount() const { return int(fields_.size()); }
    const QString& caption(int column) const { return captions_[column]; }
    const FieldDef& fieldDef(int column) const { return table_.fieldDef(fields_[size_t(column)]); }
    FieldType type(int column) const { return fieldDef(column).type; }
    bool isNumeric(int column) const;

    // Value of a column in the i-th row of the sorted order.
    QVariant value(int i, int column) const {
        return table_.valueAt(order_[size_t(i)], fields_[size_t(column)]);
    }
    // The cell as text (see cellText).
    QString text(int i, int column) const { return cellText(type(column), value(i, column)); }

private:
    const MemTable& table_;
    std::vector<int> fields_;
    QStringList captions_;
    std::vector<int> order_; // visible rows of the table, in export order
};

// The shop's empty date, 30/12/1899: shown as no date at all.
bool isEmptyDate(const QDate& d);

// Cell text as every format shows it: numbers with a decimal comma, currency with two
// decimals, dates dd/mm/yyyy (empty date and null: empty), texts without XML-invalid characters.
QString cellText(FieldType type, const QVariant& v);

// Removes the characters an XML 1.0 document cannot hold (control characters other than tab,
// line feed and carriage return, unpaired surrogates, U+FFFE and U+FFFF).
QString xmlSafe(const QString& s);

// Checks that a file can be written at path: a name is given, its folder exists, it is not a
// folder and not a read-only file. Returns why not, or an empty text.
QString checkTarget(const QString& path);

// Spanish text of a failure to create or write a file.
QString fileErrorText(const QString& path, QFileDevice::FileError error);

// Writes a file through a temporary file in the same folder, renamed over path only when body
// finished and every write succeeded. Body writes to the device; a quill::Error it throws
// becomes the returned text and leaves no file behind.
QString writeAtomically(const QString& path, const std::function<void(QIODevice&)>& body);

// A buffer flushed to a device in large blocks; throws quill::Error when the device refuses.
class BlockWriter {
public:
    BlockWriter(QIODevice& device, const QString& path) : device_(device), path_(path) {}
    void append(const QByteArray& bytes) {
        buffer_.append(bytes);
        if (buffer_.size() >= blockSize) flush();
    }
    void append(const QString& text) { append(text.toUtf8()); }
    void flush();

private:
    static constexpr qsizetype blockSize = 1 << 16;
    QIODevice& device_;
    QString path_;
    QByteArray buffer_;
};

} // namespace quill::exportdetail
