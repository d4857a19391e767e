#include "schemainfo.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace quill::datagen {

namespace {

// RDB$FIELD_TYPE codes.
enum : int {
    kSmallint = 7,
    kInteger = 8,
    kFloat = 10,
    kDate = 12,
    kTime = 13,
    kChar = 14,
    kBigint = 16,
    kBoolean = 23,
    kDouble = 27,
    kTimestamp = 35,
    kVarchar = 37,
    kBlob = 261,
};

ColumnInfo::Kind kindOf(int type, int scale) {
    switch (type) {
    case kSmallint:
    case kInteger:
    case kBigint:
        return scale < 0 ? ColumnInfo::Kind::Numeric : ColumnInfo::Kind::Integer;
    case kFloat:
    case kDouble:
        return ColumnInfo::Kind::Double;
    case kDate:
        return ColumnInfo::Kind::Date;
    case kTime:
        return ColumnInfo::Kind::Time;
    case kTimestamp:
        return ColumnInfo::Kind::Timestamp;
    case kChar:
    case kVarchar:
        return ColumnInfo::Kind::Text;
    case kBlob:
        return ColumnInfo::Kind::Blob;
    case kBoolean:
        return ColumnInfo::Kind::Boolean;
    default:
        return ColumnInfo::Kind::Other;
    }
}

} // namespace

QVariant parseDefault(const QString& source, ColumnInfo::Kind kind) {
    QString text = source.trimmed();
    if (text.startsWith(QLatin1String("DEFAULT"), Qt::CaseInsensitive))
        text = text.mid(7).trimmed();
    if (text.isEmpty() || text.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
        return QVariant();
    if (text.size() >= 2 && text.startsWith(u'\'') && text.endsWith(u'\'')) {
        const QString literal =
            text.mid(1, text.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
        switch (kind) {
        case ColumnInfo::Kind::Timestamp: {
            QDateTime dt = QDateTime::fromString(literal, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (!dt.isValid()) dt = QDateTime(QDate::fromString(literal, Qt::ISODate), QTime(0, 0));
            if (!dt.isValid()) return QVariant();
            dt.setTimeSpec(Qt::UTC); // same fields, no time-zone look-up when bound
            return dt;
        }
        case ColumnInfo::Kind::Date: {
            const QDate d = QDate::fromString(literal.left(10), Qt::ISODate);
            return d.isValid() ? QVariant(d) : QVariant();
        }
        case ColumnInfo::Kind::Text:
        case ColumnInfo::Kind::Blob:
            return literal;
        default:
            return QVariant();
        }
    }
    bool ok = false;
    switch (kind) {
    case ColumnInfo::Kind::Integer: {
        const qlonglong v = text.toLongLong(&ok);
        return ok ? QVariant(v) : QVariant();
    }
    case ColumnInfo::Kind::Numeric:
    case ColumnInfo::Kind::Double: {
        const double v = text.toDouble(&ok);
        return ok ? QVariant(v) : QVariant();
    }
    case ColumnInfo::Kind::Boolean:
        if (text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) return true;
        if (text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) return false;
        return QVariant();
    default:
        return QVariant();
    }
}

QString ColumnInfo::declaration() const {
    switch (fbType) {
    case kSmallint:
    case kInteger:
    case kBigint:
        if (scale < 0)
            return QStringLiteral("NUMERIC(%1,%2)").arg(precision > 0 ? precision : 18).arg(-scale);
        return fbType == kSmallint  ? QStringLiteral("SMALLINT")
               : fbType == kInteger ? QStringLiteral("INTEGER")
                                    : QStringLiteral("BIGINT");
    case kFloat:
        return QStringLiteral("FLOAT");
    case kDouble:
        return QStringLiteral("DOUBLE PRECISION");
    case kDate:
        return QStringLiteral("DATE");
    case kTime:
        return QStringLiteral("TIME");
    case kTimestamp:
        return QStringLiteral("TIMESTAMP");
    case kChar:
        return QStringLiteral("CHAR(%1)").arg(length);
    case kVarchar:
        return QStringLiteral("VARCHAR(%1)").arg(length);
    case kBlob:
        return subType == 1 ? QStringLiteral("BLOB SUB_TYPE TEXT") : QStringLiteral("BLOB");
    case kBoolean:
        return QStringLiteral("BOOLEAN");
    default:
        return QString();
    }
}

int ColumnInfo::messageBytes() const {
    int bytes = 8;
    switch (fbType) {
    case kSmallint:
        bytes = 2;
        break;
    case kInteger:
    case kFloat:
    case kDate:
    case kTime:
        bytes = 4;
        break;
    case kChar:
        bytes = length * 4;
        break;
    case kVarchar:
        bytes = length * 4 + 2;
        break;
    case kBoolean:
        bytes = 1;
        break;
    default:
        break;
    }
    // Null flag and worst-case alignment.
    return bytes + 2 + 8;
}

int TableInfo::indexOf(const QString& column) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name == column) return i;
    return -1;
}

const ColumnInfo* TableInfo::column(const QString& columnName) const {
    const int i = indexOf(columnName);
    return i < 0 ? nullptr : &columns[i];
}

QString SchemaInfo::load(const QSqlDatabase& db) {
    tables_.clear();
    sequences_.clear();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // Computed columns take no value; views are not filled.
    const QString sql = QStringLiteral(
        "SELECT TRIM(RF.RDB$RELATION_NAME), TRIM(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, "
        "COALESCE(F.RDB$FIELD_SUB_TYPE, 0), "
        "COALESCE(F.RDB$CHARACTER_LENGTH, F.RDB$FIELD_LENGTH), COALESCE(F.RDB$FIELD_SCALE, 0), "
        "COALESCE(F.RDB$FIELD_PRECISION, 0), "
        "COALESCE(RF.RDB$NULL_FLAG, F.RDB$NULL_FLAG, 0), "
        "IIF(RF.RDB$DEFAULT_SOURCE IS NULL AND F.RDB$DEFAULT_SOURCE IS NULL, 0, 1), "
        "CAST(COALESCE(RF.RDB$DEFAULT_SOURCE, F.RDB$DEFAULT_SOURCE) AS VARCHAR(200)) "
        "FROM RDB$RELATION_FIELDS RF "
        "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
        "JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = RF.RDB$RELATION_NAME "
        "WHERE COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0 AND R.RDB$VIEW_BLR IS NULL "
        "AND F.RDB$COMPUTED_BLR IS NULL "
        "ORDER BY RF.RDB$RELATION_NAME, RF.RDB$FIELD_POSITION");
    if (!q.exec(sql)) return q.lastError().text();
    while (q.next()) {
        const QString table = q.value(0).toString();
        ColumnInfo c;
        c.name = q.value(1).toString();
        c.fbType = q.value(2).toInt();
        c.subType = q.value(3).toInt();
        c.length = q.value(4).toInt();
        c.scale = q.value(5).toInt();
        c.precision = q.value(6).toInt();
        c.notNull = q.value(7).toInt() != 0;
        c.hasDefault = q.value(8).toInt() != 0;
        c.kind = kindOf(c.fbType, c.scale);
        c.literalDefault = parseDefault(q.value(9).toString(), c.kind);
        TableInfo& t = tables_[table];
        t.name = table;
        t.columns.append(c);
    }
    if (!q.exec(QStringLiteral("SELECT TRIM(RDB$GENERATOR_NAME) FROM RDB$GENERATORS "
                               "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1")))
        return q.lastError().text();
    while (q.next())
        sequences_.append(q.value(0).toString());
    return QString();
}

const TableInfo* SchemaInfo::table(const QString& name) const {
    auto it = tables_.constFind(name);
    return it == tables_.cend() ? nullptr : &*it;
}

QStringList SchemaInfo::tableNames() const {
    QStringList names = tables_.keys();
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace quill::datagen
