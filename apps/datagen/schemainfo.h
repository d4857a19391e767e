#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace quill::datagen {

// What the generator needs to know of a column: enough to bind a value of the right kind and
// to declare it as a parameter of a batched insert.
struct ColumnInfo {
    enum class Kind { Integer, Numeric, Double, Date, Time, Timestamp, Text, Blob, Boolean, Other };
    QString name;
    Kind kind = Kind::Other;
    int fbType = 0;    // RDB$FIELD_TYPE
    int subType = 0;   // RDB$FIELD_SUB_TYPE
    int length = 0;    // characters for text, bytes otherwise
    int precision = 0; // digits of NUMERIC/DECIMAL
    int scale = 0;     // negative for NUMERIC(p,s)
    bool notNull = false;
    bool hasDefault = false;
    // The DEFAULT clause when it is a literal (number, text, date), converted to the column's
    // kind; null when there is none or it is an expression such as CURRENT_TIMESTAMP.
    QVariant literalDefault;

    // The column's type as written in a declaration (VARCHAR(50), NUMERIC(15,2), ...).
    QString declaration() const;
    // Bytes the column takes in a statement's input message (value plus null flag, aligned).
    int messageBytes() const;
    bool isNumber() const {
        return kind == Kind::Integer || kind == Kind::Numeric || kind == Kind::Double;
    }
    bool isDate() const { return kind == Kind::Date || kind == Kind::Timestamp; }
};

struct TableInfo {
    QString name;
    QVector<ColumnInfo> columns; // in position order
    int indexOf(const QString& column) const;
    const ColumnInfo* column(const QString& columnName) const;
};

// The value of a DEFAULT clause ("DEFAULT 98", "DEFAULT '1899-12-30 00:00:00'") for a column of
// the given kind; null for anything that is not a literal.
QVariant parseDefault(const QString& source, ColumnInfo::Kind kind);

// The user tables, columns and sequences of an open database, read from its system tables.
class SchemaInfo {
public:
    // Empty text on success, else the database's message.
    QString load(const QSqlDatabase& db);

    bool hasTable(const QString& name) const { return tables_.contains(name); }
    const TableInfo* table(const QString& name) const;
    QStringList tableNames() const; // sorted
    const QStringList& sequences() const { return sequences_; }

private:
    QHash<QString, TableInfo> tables_;
    QStringList sequences_;
};

} // namespace quill::datagen
