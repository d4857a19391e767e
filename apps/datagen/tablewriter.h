#pragma once

#include "schemainfo.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <memory>
#include <stdexcept>

namespace quill::datagen {

// A failure while filling the database; the message is for the user (Spanish).
class DatagenError : public std::runtime_error {
public:
    explicit DatagenError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Fast insertion into one table. Rows are collected and sent in blocks through one prepared
// EXECUTE BLOCK that inserts many rows per call, which saves most of the per-statement cost.
// The statement names the columns the caller fills; a column of that list left unset in a row
// takes the literal DEFAULT of the schema (the shop's empty conventions), and the columns
// outside the list take their DEFAULT from the engine.
class TableWriter {
public:
    // columns: the columns the caller may set; names the table lacks are dropped and reported
    // by missingColumns(), so the demo data adapts to the schema it is given.
    TableWriter(const QSqlDatabase& db, const TableInfo& table, const QStringList& columns,
                int maxRowsPerBlock = 64);
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    const QString& table() const { return table_; }
    // Sets a column of the current row; unknown names are ignored (see missingColumns()).
    void set(const QString& column, const QVariant& value);
    // The current row is complete; the next one starts from the defaults. Throws DatagenError.
    void add();
    // Sends what is pending. Throws DatagenError.
    void finish();

    qint64 count() const { return count_; }
    int rowsPerBlock() const { return blockRows_; }
    QStringList missingColumns() const;

private:
    void prepare();
    void sendBlock();
    void sendSingle(int row);
    void resetRow();
    [[noreturn]] void fail(const QSqlQuery& q) const;

    QSqlDatabase db_;
    QString table_;
    QVector<ColumnInfo> columns_;
    QHash<QString, int> index_;
    QVector<QVariant> defaults_;
    QVector<QVariant> pending_; // blockRows_ rows of columns_.size() values
    int pendingRows_ = 0;
    int blockRows_ = 1;
    int maxRows_ = 64;
    qint64 count_ = 0;
    std::unique_ptr<QSqlQuery> block_;
    std::unique_ptr<QSqlQuery> single_;
    QSet<QString> missing_;
};

} // namespace quill::datagen
