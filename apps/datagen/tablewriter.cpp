#include "tablewriter.h"

#include <QSqlError>
#include <QSqlResult>

#include <algorithm>

namespace quill::datagen {

namespace {

// Firebird 3 limits a statement's text and its compiled form to 64 KB; stay below, and let a
// refused prepare halve the block.
constexpr int kMaxStatementChars = 60000;
constexpr int kMaxMessageBytes = 60000;

// QSqlQuery binds one value per call, and each call formats and hashes a placeholder name
// (about a microsecond): a block of 60 rows of 30 columns would pay that 1800 times per
// execution. The result's own list of bound values is reachable from a derived class, so once
// the first execution has bound every position, later blocks swap their values in whole.
class BoundValues : public QSqlResult {
public:
    static QList<QVariant>& of(const QSqlQuery& q) {
        return (q.result()->*(&BoundValues::boundValues))();
    }
};

// Runs q with values (values.size() parameters); values is left with unspecified contents.
bool execWith(QSqlQuery& q, QList<QVariant>& values) {
    QList<QVariant>& bound = BoundValues::of(q);
    if (bound.size() != values.size()) {
        for (qsizetype i = 0; i < values.size(); ++i)
            q.bindValue(static_cast<int>(i), values[i]);
        return q.exec();
    }
    bound.swap(values);
    const bool ok = q.exec();
    bound.swap(values);
    return ok;
}

} // namespace

TableWriter::TableWriter(const QSqlDatabase& db, const TableInfo& table, const QStringList& columns,
                         int maxRowsPerBlock)
    : db_(db), table_(table.name), maxRows_(std::max(1, maxRowsPerBlock)) {
    if (columns.isEmpty()) {
        columns_ = table.columns;
    } else {
        for (const QString& name : columns) {
            const ColumnInfo* c = table.column(name);
            if (!c)
                missing_.insert(name);
            else if (!index_.contains(name)) {
                index_.insert(name, static_cast<int>(columns_.size()));
                columns_.append(*c);
            }
        }
    }
    if (columns_.isEmpty())
        throw DatagenError(
            QStringLiteral("La tabla %1 no tiene ninguna de las columnas esperadas.").arg(table_));
    index_.clear();
    for (int i = 0; i < columns_.size(); ++i) {
        index_.insert(columns_[i].name, i);
        defaults_.append(columns_[i].literalDefault);
    }
    prepare();
    pending_.resize(qsizetype(blockRows_) * columns_.size());
    resetRow();
}

void TableWriter::prepare() {
    const int n = static_cast<int>(columns_.size());
    QString names;
    QString marks;
    int messageBytes = 0;
    for (int i = 0; i < n; ++i) {
        names += (i ? QStringLiteral(",") : QString()) + columns_[i].name;
        marks += i ? QStringLiteral(",?") : QStringLiteral("?");
        messageBytes += columns_[i].messageBytes();
    }
    single_ = std::make_unique<QSqlQuery>(db_);
    if (!single_->prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table_, names, marks)))
        fail(*single_);

    // What one row adds to the block's text: its parameter declarations and its INSERT.
    int perRowChars = static_cast<int>(names.size() + table_.size()) + 40;
    for (const ColumnInfo& c : columns_)
        perRowChars += static_cast<int>(c.declaration().size()) + 16;
    int rows = std::min({maxRows_, std::max(1, kMaxStatementChars / perRowChars),
                         std::max(1, kMaxMessageBytes / std::max(1, messageBytes))});
    for (; rows > 1; rows /= 2) {
        QString head = QStringLiteral("EXECUTE BLOCK (");
        QString body = QStringLiteral(") AS BEGIN\n");
        for (int r = 0; r < rows; ++r) {
            QString values;
            for (int i = 0; i < n; ++i) {
                const QString p = QStringLiteral("P%1").arg(r * n + i);
                if (r || i) head += u',';
                head += p + u' ' + columns_[i].declaration() + QStringLiteral("=?");
                values += (i ? QStringLiteral(",:") : QStringLiteral(":")) + p;
            }
            body += QStringLiteral("INSERT INTO %1 (%2) VALUES (%3);\n").arg(table_, names, values);
        }
        auto q = std::make_unique<QSqlQuery>(db_);
        if (q->prepare(head + body + QStringLiteral("END"))) {
            block_ = std::move(q);
            break;
        }
    }
    blockRows_ = block_ ? rows : 1;
}

void TableWriter::resetRow() {
    std::copy(defaults_.cbegin(), defaults_.cend(),
              pending_.begin() + qsizetype(pendingRows_) * columns_.size());
}

void TableWriter::set(const QString& column, const QVariant& value) {
    const auto it = index_.constFind(column);
    if (it == index_.cend()) {
        missing_.insert(column);
        return;
    }
    QVariant& cell = pending_[qsizetype(pendingRows_) * columns_.size() + *it];
    // A null QString would be bound as NULL; the shop database holds '' for an empty text.
    if (value.typeId() == QMetaType::QString &&
        static_cast<const QString*>(value.constData())->isNull())
        cell = QStringLiteral("");
    else
        cell = value;
}

void TableWriter::add() {
    ++pendingRows_;
    ++count_;
    if (pendingRows_ == blockRows_) {
        if (block_)
            sendBlock();
        else
            sendSingle(0);
        pendingRows_ = 0;
    }
    resetRow();
}

void TableWriter::sendBlock() {
    if (!execWith(*block_, pending_)) fail(*block_);
}

void TableWriter::sendSingle(int row) {
    const auto n = columns_.size();
    QList<QVariant> values(pending_.cbegin() + row * n, pending_.cbegin() + (row + 1) * n);
    if (!execWith(*single_, values)) fail(*single_);
}

void TableWriter::finish() {
    for (int r = 0; r < pendingRows_; ++r)
        sendSingle(r);
    pendingRows_ = 0;
    resetRow();
}

QStringList TableWriter::missingColumns() const {
    QStringList names(missing_.cbegin(), missing_.cend());
    names.sort();
    return names;
}

void TableWriter::fail(const QSqlQuery& q) const {
    throw DatagenError(QStringLiteral("No se pudieron grabar los datos de la tabla %1: %2")
                           .arg(table_, q.lastError().text()));
}

} // namespace quill::datagen
