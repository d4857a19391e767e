#include "memtable.h"

#include "guard.h"

#include <QCollator>
#include <QLocale>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quill {

namespace {

constexpr qint64 msPerDay = 86400000;

// Column vector used by each field type (index into MemTable::ColumnData).
enum Slot { DoubleSlot = 0, Int32Slot, Int16Slot, Int64Slot, TextSlot, BoolSlot };

Slot slotOf(FieldType t) {
    switch (t) {
    case FieldType::Float:
    case FieldType::Currency:
        return DoubleSlot;
    case FieldType::Integer:
        return Int32Slot;
    case FieldType::SmallInt:
        return Int16Slot;
    case FieldType::Date:
    case FieldType::DateTime:
        return Int64Slot;
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Blob:
        return TextSlot;
    case FieldType::Boolean:
        return BoolSlot;
    }
    return TextSlot;
}

bool isNumeric(FieldType t) {
    return t == FieldType::Float || t == FieldType::Currency || t == FieldType::Integer ||
           t == FieldType::SmallInt;
}

QString numberText(double v) {
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

// Dates and times are kept as Julian days / local milliseconds counted from Julian day 0, so
// that no time zone or daylight-saving rule ever changes a stored value.
qint64 dateTimeToStored(const QDateTime& dt) {
    return dt.date().toJulianDay() * msPerDay + dt.time().msecsSinceStartOfDay();
}

QDateTime storedToDateTime(qint64 v) {
    const qint64 day = v >= 0 ? v / msPerDay : -((-v + msPerDay - 1) / msPerDay);
    return QDateTime(QDate::fromJulianDay(day),
                     QTime::fromMSecsSinceStartOfDay(int(v - day * msPerDay)));
}

QDate parseDate(const QString& s) {
    static const char* const formats[] = {"dd/MM/yyyy", "d/M/yyyy", "yyyy-MM-dd"};
    for (const char* f : formats) {
        const QDate d = QDate::fromString(s, QLatin1String(f));
        if (d.isValid()) return d;
    }
    return {};
}

QDateTime parseDateTime(const QString& s) {
    static const char* const formats[] = {"dd/MM/yyyy hh:mm:ss", "dd/MM/yyyy hh:mm",
                                          "d/M/yyyy h:mm:ss", "d/M/yyyy h:mm"};
    for (const char* f : formats) {
        const QDateTime d = QDateTime::fromString(s, QLatin1String(f));
        if (d.isValid()) return d;
    }
    QDateTime iso = QDateTime::fromString(s, Qt::ISODateWithMs);
    if (iso.isValid()) return QDateTime(iso.date(), iso.time());
    const QDate d = parseDate(s);
    return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
}

// Decimal text with either '.' or ',' as the decimal separator.
bool parseDouble(QString s, double* out) {
    s = s.trimmed();
    if (!s.contains(QLatin1Char('.'))) s.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(s, &ok);
    if (ok && std::isfinite(v)) *out = v;
    return ok && std::isfinite(v);
}

// Cuts a text to n characters without splitting a surrogate pair.
QString cutTo(const QString& s, int n) {
    if (n <= 0 || s.size() <= n) return s;
    int end = n;
    if (s.at(end - 1).isHighSurrogate()) --end;
    return s.left(end);
}

QCollator& spanishCollator() {
    static QCollator c = [] {
        QCollator col(QLocale(QLocale::Spanish, QLocale::Spain));
        col.setCaseSensitivity(Qt::CaseInsensitive);
        col.setNumericMode(false);
        return col;
    }();
    return c;
}

template <typename T> void pushDefault(std::vector<T>& v) {
    v.emplace_back();
}

} // namespace

QString fieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::Float:
        return QStringLiteral("Float");
    case FieldType::Integer:
        return QStringLiteral("Integer");
    case FieldType::SmallInt:
        return QStringLiteral("SmallInt");
    case FieldType::String:
        return QStringLiteral("String");
    case FieldType::Memo:
        return QStringLiteral("Memo");
    case FieldType::Blob:
        return QStringLiteral("Blob");
    case FieldType::Date:
        return QStringLiteral("Date");
    case FieldType::DateTime:
        return QStringLiteral("DateTime");
    case FieldType::Boolean:
        return QStringLiteral("Boolean");
    case FieldType::Currency:
        return QStringLiteral("Currency");
    }
    return QString();
}

// ---------------------------------------------------------------------------------------------
// RowView

QVariant RowView::value(int field) const {
    table_.checkFieldIndex(field);
    return table_.cell(row_, field);
}

QVariant RowView::value(const QString& field) const {
    return table_.cell(row_, table_.checkedField(field));
}

bool RowView::isNull(int field) const {
    table_.checkFieldIndex(field);
    return table_.cols_[size_t(field)].null[size_t(row_)] != 0;
}

// ---------------------------------------------------------------------------------------------
// Structure

MemTable::MemTable(const QString& name, QObject* parent) : QObject(parent) {
    setObjectName(name);
}

MemTable::~MemTable() = default;

void MemTable::addField(const QString& name, FieldType type, int size, bool required) {
    addField(FieldDef{name, type, size, required});
}

void MemTable::addField(const FieldDef& def) {
    checkClosed();
    const QString trimmed = def.name.trimmed();
    if (trimmed.isEmpty()) throw Error(QStringLiteral("El nombre del campo no puede estar vacío"));
    if (fieldIndex(trimmed) >= 0)
        throw Error(QStringLiteral("El campo '%1' ya existe").arg(trimmed));
    FieldDef d = def;
    d.name = trimmed;
    if (d.type != FieldType::String) d.size = 0;
    d.size = std::max(0, d.size);
    Column c;
    switch (slotOf(d.type)) {
    case DoubleSlot:
        c.data = std::vector<double>();
        break;
    case Int32Slot:
        c.data = std::vector<qint32>();
        break;
    case Int16Slot:
        c.data = std::vector<qint16>();
        break;
    case Int64Slot:
        c.data = std::vector<qint64>();
        break;
    case TextSlot:
        c.data = std::vector<QString>();
        break;
    case BoolSlot:
        c.data = std::vector<quint8>();
        break;
    }
    defs_.push_back(d);
    upperNames_.push_back(trimmed.toUpper());
    cols_.push_back(std::move(c));
}

void MemTable::clearFields() {
    checkClosed();
    defs_.clear();
    upperNames_.clear();
    cols_.clear();
}

const FieldDef& MemTable::fieldDef(int field) const {
    checkFieldIndex(field);
    return defs_[size_t(field)];
}

QList<FieldDef> MemTable::fieldDefs() const {
    return QList<FieldDef>(defs_.begin(), defs_.end());
}

int MemTable::fieldIndex(const QString& name) const {
    const QString upper = name.trimmed().toUpper();
    for (size_t i = 0; i < upperNames_.size(); ++i)
        if (upperNames_[i] == upper) return int(i);
    return -1;
}

int MemTable::checkedField(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0) {
        if (objectName().isEmpty())
            throw Error(QStringLiteral("No existe el campo '%1'").arg(name));
        throw Error(
            QStringLiteral("No existe el campo '%1' en la tabla %2").arg(name, objectName()));
    }
    return i;
}

void MemTable::checkFieldIndex(int field) const {
    if (field < 0 || field >= fieldCount())
        throw Error(QStringLiteral("No existe el campo número %1").arg(field));
}

void MemTable::checkOpen() const {
    if (state_ == State::Inactive) {
        if (objectName().isEmpty()) throw Error(QStringLiteral("La tabla no está abierta"));
        throw Error(QStringLiteral("La tabla %1 no está abierta").arg(objectName()));
    }
}

void MemTable::checkClosed() const {
    if (state_ != State::Inactive)
        throw Error(QStringLiteral("No se pueden cambiar los campos de una tabla abierta"));
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

void MemTable::open() {
    if (isOpen()) return;
    if (defs_.empty()) throw Error(QStringLiteral("La tabla no tiene campos definidos"));
    resolveOrder();
    if (signalsOn()) Q_EMIT aboutToReset();
    setState(State::Browse);
    rebuildView();
    pos_ = 0;
    bof_ = true;
    eof_ = view_.empty();
    if (signalsOn()) {
        Q_EMIT reset();
        Q_EMIT currentChanged(currentRow());
    }
}

void MemTable::close() {
    if (!isOpen()) return;
    if (signalsOn()) Q_EMIT aboutToReset();
    for (Column& c : cols_) {
        std::visit([](auto& v) { std::vector<std::decay_t<decltype(v[0])>>().swap(v); }, c.data);
        std::vector<quint8>().swap(c.null);
    }
    storedRows_ = 0;
    order_.clear();
    view_.clear();
    pendingRow_ = -1;
    rowBeforeInsert_ = -1;
    savedValues_.clear();
    pos_ = 0;
    bof_ = eof_ = true;
    setState(State::Inactive);
    if (signalsOn()) {
        Q_EMIT reset();
        Q_EMIT currentChanged(-1);
    }
}

void MemTable::resolveOrder() {
    std::vector<int> fields;
    for (const QString& f : indexText_.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (f.trimmed().isEmpty()) continue;
        fields.push_back(checkedField(f));
    }
    indexFields_ = fields;
    if (!filterTerms_.empty()) {
        const QString err = resolveFilterTerms(filterTerms_);
        if (!err.isEmpty()) throw Error(err);
    }
}

// ---------------------------------------------------------------------------------------------
// Storage

int MemTable::addStorageRow() {
    for (Column& c : cols_) {
        std::visit([](auto& v) { pushDefault(v); }, c.data);
        c.null.push_back(1);
    }
    return storedRows_++;
}

void MemTable::removeStorageRow(int sr) {
    for (Column& c : cols_) {
        std::visit([sr](auto& v) { v.erase(v.begin() + sr); }, c.data);
        c.null.erase(c.null.begin() + sr);
    }
    --storedRows_;
    order_.erase(std::remove(order_.begin(), order_.end(), sr), order_.end());
    view_.erase(std::remove(view_.begin(), view_.end(), sr), view_.end());
    for (int& r : order_)
        if (r > sr) --r;
    for (int& r : view_)
        if (r > sr) --r;
    if (pendingRow_ > sr) --pendingRow_;
    if (rowBeforeInsert_ == sr)
        rowBeforeInsert_ = -1;
    else if (rowBeforeInsert_ > sr)
        --rowBeforeInsert_;
}

QVariant MemTable::cell(int sr, int field) const {
    const Column& c = cols_[size_t(field)];
    if (c.null[size_t(sr)]) return QVariant();
    const FieldType t = defs_[size_t(field)].type;
    switch (slotOf(t)) {
    case DoubleSlot:
        return std::get<std::vector<double>>(c.data)[size_t(sr)];
    case Int32Slot:
        return int(std::get<std::vector<qint32>>(c.data)[size_t(sr)]);
    case Int16Slot:
        return int(std::get<std::vector<qint16>>(c.data)[size_t(sr)]);
    case Int64Slot: {
        const qint64 v = std::get<std::vector<qint64>>(c.data)[size_t(sr)];
        if (t == FieldType::Date) return QDate::fromJulianDay(v);
        return storedToDateTime(v);
    }
    case TextSlot:
        return std::get<std::vector<QString>>(c.data)[size_t(sr)];
    case BoolSlot:
        return std::get<std::vector<quint8>>(c.data)[size_t(sr)] != 0;
    }
    return QVariant();
}

QVariant MemTable::convert(int field, const QVariant& v) const {
    const FieldDef& d = defs_[size_t(field)];
    if (!v.isValid() || v.isNull()) return QVariant();
    const int id = v.metaType().id();
    const bool isText =
        id == QMetaType::QString || id == QMetaType::QByteArray || id == QMetaType::QChar;
    const QString text = isText ? v.toString() : QString();
    const bool isDateLike =
        id == QMetaType::QDate || id == QMetaType::QDateTime || id == QMetaType::QTime;
    auto refuse = [&](const QString& what) -> Error {
        const QString shown = isText ? text : v.toString();
        return Error(QStringLiteral("'%1' no es %2 para el campo '%3'").arg(shown, what, d.name));
    };

    switch (d.type) {
    case FieldType::Float:
    case FieldType::Currency: {
        if (isText) {
            if (text.trimmed().isEmpty()) return QVariant();
            double out = 0;
            if (!parseDouble(text, &out)) throw refuse(QStringLiteral("un valor numérico válido"));
            return out;
        }
        if (isDateLike || id == QMetaType::Bool)
            throw refuse(QStringLiteral("un valor numérico válido"));
        bool ok = false;
        const double out = v.toDouble(&ok);
        if (!ok || !std::isfinite(out)) throw refuse(QStringLiteral("un valor numérico válido"));
        return out;
    }
    case FieldType::Integer:
    case FieldType::SmallInt: {
        const qint64 lo = d.type == FieldType::Integer ? std::numeric_limits<qint32>::min()
                                                       : std::numeric_limits<qint16>::min();
        const qint64 hi = d.type == FieldType::Integer ? std::numeric_limits<qint32>::max()
                                                       : std::numeric_limits<qint16>::max();
        qint64 out = 0;
        if (isText) {
            const QString t = text.trimmed();
            if (t.isEmpty()) return QVariant();
            bool ok = false;
            out = t.toLongLong(&ok);
            if (!ok) throw refuse(QStringLiteral("un valor entero válido"));
        } else if (id == QMetaType::Double || id == QMetaType::Float) {
            const double dv = v.toDouble();
            if (!std::isfinite(dv) || dv < double(lo) - 1 || dv > double(hi) + 1)
                throw refuse(QStringLiteral("un valor entero válido"));
            out = qint64(std::trunc(dv));
        } else if (isDateLike || id == QMetaType::Bool) {
            throw refuse(QStringLiteral("un valor entero válido"));
        } else {
            bool ok = false;
            out = v.toLongLong(&ok);
            if (!ok) throw refuse(QStringLiteral("un valor entero válido"));
        }
        if (out < lo || out > hi) throw refuse(QStringLiteral("un valor entero válido"));
        return int(out);
    }
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Blob: {
        QString s;
        if (id == QMetaType::Double || id == QMetaType::Float)
            s = numberText(v.toDouble());
        else if (id == QMetaType::QDate)
            s = v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
        else if (id == QMetaType::QDateTime)
            s = v.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
        else if (id == QMetaType::QByteArray)
            s = QString::fromUtf8(v.toByteArray());
        else
            s = v.toString();
        // As in the shop's datasets, an empty text is no value at all.
        if (s.isEmpty()) return QVariant();
        return d.type == FieldType::String ? cutTo(s, d.size) : s;
    }
    case FieldType::Date: {
        QDate out;
        if (id == QMetaType::QDate)
            out = v.toDate();
        else if (id == QMetaType::QDateTime)
            out = v.toDateTime().date();
        else if (isText) {
            if (text.trimmed().isEmpty()) return QVariant();
            out = parseDate(text.trimmed());
        }
        if (!out.isValid()) throw refuse(QStringLiteral("una fecha válida"));
        return out;
    }
    case FieldType::DateTime: {
        QDateTime out;
        if (id == QMetaType::QDateTime)
            out = v.toDateTime();
        else if (id == QMetaType::QDate)
            out = QDateTime(v.toDate(), QTime(0, 0));
        else if (isText) {
            if (text.trimmed().isEmpty()) return QVariant();
            out = parseDateTime(text.trimmed());
        }
        if (!out.isValid()) throw refuse(QStringLiteral("una fecha y hora válida"));
        return QDateTime(out.date(), out.time());
    }
    case FieldType::Boolean: {
        if (id == QMetaType::Bool) return v.toBool();
        if (isText) {
            const QString t = text.trimmed().toLower();
            if (t.isEmpty()) return QVariant();
            if (t == QLatin1String("true") || t == QLatin1String("1")) return true;
            if (t == QLatin1String("false") || t == QLatin1String("0")) return false;
            throw refuse(QStringLiteral("un valor lógico válido"));
        }
        if (isDateLike) throw refuse(QStringLiteral("un valor lógico válido"));
        bool ok = false;
        const double dv = v.toDouble(&ok);
        if (!ok) throw refuse(QStringLiteral("un valor lógico válido"));
        return dv != 0;
    }
    }
    return QVariant();
}

void MemTable::setCell(int sr, int field, const QVariant& typed) {
    Column& c = cols_[size_t(field)];
    const size_t r = size_t(sr);
    if (!typed.isValid()) {
        c.null[r] = 1;
        // Release text so a nulled memo does not keep its memory.
        if (auto* t = std::get_if<std::vector<QString>>(&c.data)) (*t)[r] = QString();
        return;
    }
    c.null[r] = 0;
    const FieldType t = defs_[size_t(field)].type;
    switch (slotOf(t)) {
    case DoubleSlot:
        std::get<std::vector<double>>(c.data)[r] = typed.toDouble();
        break;
    case Int32Slot:
        std::get<std::vector<qint32>>(c.data)[r] = qint32(typed.toInt());
        break;
    case Int16Slot:
        std::get<std::vector<qint16>>(c.data)[r] = qint16(typed.toInt());
        break;
    case Int64Slot:
        std::get<std::vector<qint64>>(c.data)[r] = t == FieldType::Date
                                                       ? typed.toDate().toJulianDay()
                                                       : dateTimeToStored(typed.toDateTime());
        break;
    case TextSlot:
        std::get<std::vector<QString>>(c.data)[r] = typed.toString();
        break;
    case BoolSlot:
        std::get<std::vector<quint8>>(c.data)[r] = typed.toBool() ? 1 : 0;
        break;
    }
}

QVariantList MemTable::rowValues(int sr) const {
    QVariantList out;
    out.reserve(fieldCount());
    for (int f = 0; f < fieldCount(); ++f)
        out.append(cell(sr, f));
    return out;
}

// ---------------------------------------------------------------------------------------------
// Order and filter

int MemTable::compareCells(int field, int a, int b) const {
    const Column& c = cols_[size_t(field)];
    const bool na = c.null[size_t(a)] != 0, nb = c.null[size_t(b)] != 0;
    if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
    return std::visit(
        [&](const auto& v) -> int {
            using T = std::decay_t<decltype(v[0])>;
            if constexpr (std::is_same_v<T, QString>) {
                return spanishCollator().compare(v[size_t(a)], v[size_t(b)]);
            } else {
                const T& x = v[size_t(a)];
                const T& y = v[size_t(b)];
                return x < y ? -1 : (y < x ? 1 : 0);
            }
        },
        c.data);
}

bool MemTable::indexLess(int a, int b) const {
    for (int f : indexFields_) {
        const int c = compareCells(f, a, b);
        if (c != 0) return c < 0;
    }
    return false;
}

bool MemTable::passesFilter(int sr) const {
    if (!filtered_) return true;
    if (filter_) return filter_(RowView(*this, sr));
    if (filterTerms_.empty()) return true;
    for (const FilterTerm& t : filterTerms_) {
        if (t.index < 0) return false;
        const Column& c = cols_[size_t(t.index)];
        if (c.null[size_t(sr)]) continue;
        const bool equal = std::visit(
            [&](const auto& v) -> bool {
                using T = std::decay_t<decltype(v[0])>;
                if constexpr (std::is_same_v<T, double>) {
                    // Only a whole number can equal an integer: 9.5 matches neither 9 nor 10.
                    const double x = v[size_t(sr)];
                    return std::isfinite(x) && x == double(t.value);
                } else if constexpr (std::is_same_v<T, qint32> || std::is_same_v<T, qint16>) {
                    return qint64(v[size_t(sr)]) == t.value;
                } else {
                    return false;
                }
            },
            c.data);
        if (equal) return true;
    }
    return false;
}

void MemTable::rebuildView() {
    if (!indexFields_.empty())
        std::stable_sort(order_.begin(), order_.end(),
                         [this](int a, int b) { return indexLess(a, b); });
    view_.clear();
    view_.reserve(order_.size());
    for (int sr : order_)
        if (passesFilter(sr)) view_.push_back(sr);
}

void MemTable::resetView() {
    if (!isOpen()) return;
    const int keep = view_.empty() ? -1 : view_[size_t(pos_)];
    if (signalsOn()) Q_EMIT aboutToReset();
    rebuildView();
    const auto it = std::find(view_.begin(), view_.end(), keep);
    if (keep >= 0 && it != view_.end()) {
        pos_ = int(it - view_.begin());
        bof_ = eof_ = false;
    } else {
        pos_ = 0;
        bof_ = true;
        eof_ = view_.empty();
    }
    if (signalsOn()) {
        Q_EMIT reset();
        Q_EMIT currentChanged(currentRow());
    }
}

void MemTable::sort(const QString& field, Qt::SortOrder order) {
    checkOpen();
    const int f = checkedField(field);
    checkBrowseMode();
    indexText_.clear();
    indexFields_.clear();
    const bool desc = order == Qt::DescendingOrder;
    if (slotOf(defs_[size_t(f)].type) == TextSlot) {
        // Collation keys once per row rather than a collation per comparison.
        const auto& texts = std::get<std::vector<QString>>(cols_[size_t(f)].data);
        const auto& nulls = cols_[size_t(f)].null;
        std::vector<QCollatorSortKey> keys;
        keys.reserve(size_t(storedRows_));
        for (int r = 0; r < storedRows_; ++r)
            keys.push_back(
                spanishCollator().sortKey(nulls[size_t(r)] ? QString() : texts[size_t(r)]));
        auto cmp = [&](int a, int b) {
            const bool na = nulls[size_t(a)] != 0, nb = nulls[size_t(b)] != 0;
            if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
            return keys[size_t(a)].compare(keys[size_t(b)]);
        };
        std::stable_sort(order_.begin(), order_.end(),
                         [&](int a, int b) { return desc ? cmp(b, a) < 0 : cmp(a, b) < 0; });
    } else {
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
            return desc ? compareCells(f, b, a) < 0 : compareCells(f, a, b) < 0;
        });
    }
    resetView();
}

void MemTable::setIndexFieldNames(const QString& fields) {
    if (!isOpen()) {
        indexText_ = fields.trimmed();
        indexFields_.clear();
        return;
    }
    std::vector<int> resolved;
    for (const QString& f : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!f.trimmed().isEmpty()) resolved.push_back(checkedField(f));
    checkBrowseMode();
    indexText_ = fields.trimmed();
    indexFields_ = resolved;
    resetView();
}

namespace {

// "IDGRUPO = 0 Or IDGRUPO = 9": field = integer, joined by Or.
struct FilterParser {
    QString text;
    int i = 0;

    void skipSpaces() {
        while (i < text.size() && text.at(i).isSpace())
            ++i;
    }
    bool identifier(QString* out) {
        skipSpaces();
        const int start = i;
        if (i < text.size() && (text.at(i).isLetter() || text.at(i) == QLatin1Char('_'))) {
            ++i;
            while (i < text.size() &&
                   (text.at(i).isLetterOrNumber() || text.at(i) == QLatin1Char('_')))
                ++i;
        }
        *out = text.mid(start, i - start);
        return i > start;
    }
    bool symbol(QChar c) {
        skipSpaces();
        if (i < text.size() && text.at(i) == c) {
            ++i;
            return true;
        }
        return false;
    }
    bool integer(qint64* out) {
        skipSpaces();
        const int start = i;
        if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
            ++i;
        const int digits = i;
        while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128)
            ++i;
        if (i == digits) return false;
        // A number glued to letters or a decimal point is not an integer.
        if (i < text.size() && (text.at(i).isLetterOrNumber() || text.at(i) == QLatin1Char('.') ||
                                text.at(i) == QLatin1Char(',')))
            return false;
        bool ok = false;
        *out = text.mid(start, i - start).toLongLong(&ok);
        return ok;
    }
    bool atEnd() {
        skipSpaces();
        return i >= text.size();
    }
};

} // namespace

QString MemTable::resolveFilterTerms(std::vector<FilterTerm>& terms) const {
    for (FilterTerm& t : terms) {
        const int f = fieldIndex(t.field);
        if (f < 0) return QStringLiteral("El filtro usa el campo '%1', que no existe").arg(t.field);
        if (!isNumeric(defs_[size_t(f)].type))
            return QStringLiteral("El campo '%1' del filtro no es numérico").arg(t.field);
        t.index = f;
    }
    return QString();
}

QString MemTable::setFilterText(const QString& text) {
    std::vector<FilterTerm> terms;
    FilterParser p{text};
    if (!p.atEnd()) {
        for (;;) {
            FilterTerm t;
            if (!p.identifier(&t.field) || !p.symbol(QLatin1Char('=')) || !p.integer(&t.value))
                return QStringLiteral("El filtro \"%1\" no es válido").arg(text);
            terms.push_back(t);
            if (p.atEnd()) break;
            QString word;
            if (!p.identifier(&word) || word.compare(QLatin1String("or"), Qt::CaseInsensitive) != 0)
                return QStringLiteral("El filtro \"%1\" no es válido").arg(text);
        }
    }
    // Fields are checked now when known; a table whose fields come from a file checks on open.
    if (!defs_.empty()) {
        const QString err = resolveFilterTerms(terms);
        if (!err.isEmpty()) return err;
    }
    if (isOpen()) checkBrowseMode();
    filter_ = nullptr;
    filterTerms_ = std::move(terms);
    filterText_ = text;
    if (filtered_) resetView();
    return QString();
}

void MemTable::setFilter(RowPredicate predicate) {
    if (isOpen()) checkBrowseMode();
    filterTerms_.clear();
    filterText_.clear();
    filter_ = std::move(predicate);
    if (filtered_) resetView();
}

void MemTable::setFiltered(bool on) {
    if (on == filtered_) return;
    if (isOpen()) checkBrowseMode();
    filtered_ = on;
    resetView();
}

// ---------------------------------------------------------------------------------------------
// Cursor

void MemTable::setState(State s) {
    if (s == state_) return;
    state_ = s;
    if (signalsOn()) Q_EMIT stateChanged(s);
}

void MemTable::setPosition(int pos) {
    const int before = currentRow();
    pos_ = pos;
    if (signalsOn() && currentRow() != before) Q_EMIT currentChanged(currentRow());
}

void MemTable::checkBrowseMode() {
    if (state_ != State::Edit && state_ != State::Insert) return;
    // Moving from inside a before-post handler would post again without end.
    if (inBeforePost_)
        throw Error(QStringLiteral("No se puede cambiar de fila mientras se graba la fila actual"));
    post();
}

void MemTable::fire(const RowEvent& e) {
    if (e && eventsEnabled_) e(*this);
}

int MemTable::storageRowOfCurrent() const {
    checkOpen();
    if (view_.empty())
        throw Error(QStringLiteral("No se puede realizar esta operación en una tabla vacía"));
    return view_[size_t(pos_)];
}

void MemTable::first() {
    checkOpen();
    checkBrowseMode();
    setPosition(0);
    bof_ = true;
    eof_ = view_.empty();
}

void MemTable::last() {
    checkOpen();
    checkBrowseMode();
    setPosition(view_.empty() ? 0 : int(view_.size()) - 1);
    eof_ = true;
    bof_ = view_.empty();
}

void MemTable::next() {
    checkOpen();
    checkBrowseMode();
    if (pos_ + 1 < int(view_.size())) {
        setPosition(pos_ + 1);
        bof_ = eof_ = false;
    } else {
        eof_ = true;
    }
}

void MemTable::prior() {
    checkOpen();
    checkBrowseMode();
    if (pos_ > 0 && !view_.empty()) {
        setPosition(pos_ - 1);
        bof_ = eof_ = false;
    } else {
        bof_ = true;
    }
}

void MemTable::moveTo(int row) {
    checkOpen();
    if (row < 0 || row >= int(view_.size()))
        throw Error(QStringLiteral("Fila %1 fuera de rango").arg(row));
    checkBrowseMode();
    // Posting may have moved or hidden rows; clamp to what is there now.
    if (view_.empty()) return;
    setPosition(std::min(row, int(view_.size()) - 1));
    bof_ = eof_ = false;
}

bool MemTable::locate(const QString& field, const QVariant& value, Qt::CaseSensitivity cs) {
    checkOpen();
    const int f = checkedField(field);
    checkBrowseMode();
    QVariant wanted;
    try {
        wanted = convert(f, value);
    } catch (const Error&) {
        return false; // a value the field cannot hold equals no row
    }
    const bool text = slotOf(defs_[size_t(f)].type) == TextSlot;
    for (size_t p = 0; p < view_.size(); ++p) {
        const QVariant have = cell(view_[p], f);
        bool equal;
        if (!wanted.isValid() || !have.isValid())
            equal = !wanted.isValid() && !have.isValid();
        else if (text)
            equal = have.toString().compare(wanted.toString(), cs) == 0;
        else
            equal = have == wanted;
        if (equal) {
            setPosition(int(p));
            bof_ = eof_ = false;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Editing

void MemTable::placeNewRow(int sr, int orderPos, int viewPos) {
    if (signalsOn()) Q_EMIT rowAboutToBeInserted(viewPos);
    order_.insert(order_.begin() + orderPos, sr);
    view_.insert(view_.begin() + viewPos, sr);
    pos_ = viewPos;
    if (signalsOn()) Q_EMIT rowInserted(viewPos);
}

void MemTable::append() {
    checkOpen();
    checkBrowseMode();
    fire(beforeInsert_);
    const int previous = view_.empty() ? -1 : view_[size_t(pos_)];
    const int before = currentRow();
    const int sr = addStorageRow();
    placeNewRow(sr, int(order_.size()), int(view_.size()));
    rowBeforeInsert_ = previous;
    pendingRow_ = sr;
    bof_ = eof_ = false;
    setState(State::Insert);
    if (signalsOn() && currentRow() != before) Q_EMIT currentChanged(currentRow());
}

void MemTable::insert() {
    checkOpen();
    checkBrowseMode();
    fire(beforeInsert_);
    const int previous = view_.empty() ? -1 : view_[size_t(pos_)];
    const int before = currentRow();
    int orderPos = int(order_.size());
    int viewPos = 0;
    if (previous >= 0) {
        orderPos = int(std::find(order_.begin(), order_.end(), previous) - order_.begin());
        viewPos = pos_;
    }
    const int sr = addStorageRow();
    placeNewRow(sr, orderPos, viewPos);
    rowBeforeInsert_ = previous;
    pendingRow_ = sr;
    bof_ = eof_ = false;
    setState(State::Insert);
    if (signalsOn() && currentRow() != before) Q_EMIT currentChanged(currentRow());
}

void MemTable::edit() {
    checkOpen();
    if (state_ == State::Edit || state_ == State::Insert) return;
    if (view_.empty()) {
        insert();
        return;
    }
    fire(beforeEdit_);
    pendingRow_ = view_[size_t(pos_)];
    savedValues_ = rowValues(pendingRow_);
    setState(State::Edit);
}

void MemTable::post() {
    if (state_ != State::Edit && state_ != State::Insert) return;
    if (inBeforePost_) return; // the handler's own post() is the one already running
    inBeforePost_ = true;
    try {
        fire(beforePost_);
    } catch (...) {
        inBeforePost_ = false;
        throw;
    }
    inBeforePost_ = false;
    for (int f = 0; f < fieldCount(); ++f)
        if (defs_[size_t(f)].required && cols_[size_t(f)].null[size_t(pendingRow_)])
            throw Error(
                QStringLiteral("El campo '%1' debe tener un valor").arg(defs_[size_t(f)].name));
    const int sr = pendingRow_;
    pendingRow_ = -1;
    rowBeforeInsert_ = -1;
    savedValues_.clear();
    setState(State::Browse);
    settleAfterPost(sr);
    fire(afterPost_);
}

void MemTable::dropRowFromView(int viewPos) {
    const int before = currentRow();
    if (signalsOn()) Q_EMIT rowAboutToBeRemoved(viewPos);
    view_.erase(view_.begin() + viewPos);
    if (pos_ > viewPos) --pos_;
    if (view_.empty()) {
        pos_ = 0;
        bof_ = eof_ = true;
    } else {
        pos_ = std::min(pos_, int(view_.size()) - 1);
        bof_ = eof_ = false;
    }
    if (signalsOn()) {
        Q_EMIT rowRemoved(viewPos);
        if (currentRow() != before) Q_EMIT currentChanged(currentRow());
    }
}

int MemTable::viewPosOf(int sr) const {
    // The row is nearly always the current one; search only when it is not.
    if (!view_.empty() && view_[size_t(pos_)] == sr) return pos_;
    const auto it = std::find(view_.begin(), view_.end(), sr);
    return it == view_.end() ? -1 : int(it - view_.begin());
}

void MemTable::settleAfterPost(int sr) {
    const int from = viewPosOf(sr);
    if (from < 0) return;
    if (!passesFilter(sr)) {
        // A posted row the filter refuses leaves the visible rows.
        dropRowFromView(from);
        return;
    }
    if (indexFields_.empty()) {
        if (signalsOn()) Q_EMIT rowChanged(from);
        return;
    }
    order_.erase(std::find(order_.begin(), order_.end(), sr));
    order_.insert(std::upper_bound(order_.begin(), order_.end(), sr,
                                   [this](int a, int b) { return indexLess(a, b); }),
                  sr);
    std::vector<int> rest = view_;
    rest.erase(rest.begin() + from);
    const int to = int(std::upper_bound(rest.begin(), rest.end(), sr,
                                        [this](int a, int b) { return indexLess(a, b); }) -
                       rest.begin());
    if (to == from) {
        if (signalsOn()) Q_EMIT rowChanged(from);
        return;
    }
    const int before = currentRow();
    if (signalsOn()) Q_EMIT rowAboutToBeMoved(from, to);
    rest.insert(rest.begin() + to, sr);
    view_.swap(rest);
    if (pos_ == from)
        pos_ = to;
    else if (from < pos_ && pos_ <= to)
        --pos_;
    else if (to <= pos_ && pos_ < from)
        ++pos_;
    if (signalsOn()) {
        Q_EMIT rowMoved(from, to);
        Q_EMIT rowChanged(to);
        if (currentRow() != before) Q_EMIT currentChanged(currentRow());
    }
}

void MemTable::cancel() {
    if (state_ == State::Edit) {
        const int sr = pendingRow_;
        for (int f = 0; f < fieldCount(); ++f)
            setCell(sr, f, savedValues_.value(f));
        pendingRow_ = -1;
        savedValues_.clear();
        setState(State::Browse);
        const int at = viewPosOf(sr);
        if (signalsOn() && at >= 0) Q_EMIT rowChanged(at);
    } else if (state_ == State::Insert) {
        const int sr = pendingRow_;
        const int back = rowBeforeInsert_;
        pendingRow_ = -1;
        rowBeforeInsert_ = -1;
        const int at = viewPosOf(sr);
        if (at >= 0) dropRowFromView(at);
        removeStorageRow(sr);
        const int backAfter = back > sr ? back - 1 : back;
        setState(State::Browse);
        // Back to the row that was current before the new one.
        const auto bit = std::find(view_.begin(), view_.end(), backAfter);
        if (backAfter >= 0 && bit != view_.end()) setPosition(int(bit - view_.begin()));
    }
}

void MemTable::remove() {
    checkOpen();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    checkBrowseMode();
    const int sr = storageRowOfCurrent();
    fire(beforeDelete_);
    // The event may have moved the cursor; delete the row it was called for.
    const int at = viewPosOf(sr);
    if (at < 0) return;
    dropRowFromView(at);
    removeStorageRow(sr);
}

void MemTable::appendRecord(const QVariantList& values) {
    if (values.size() > fieldCount())
        throw Error(QStringLiteral("Demasiados valores para la tabla: %1 de %2")
                        .arg(values.size())
                        .arg(fieldCount()));
    append();
    try {
        for (int f = 0; f < values.size(); ++f)
            setValue(f, values[f]);
        post();
    } catch (...) {
        cancel();
        throw;
    }
}

void MemTable::appendStored(const QVariantList& values) {
    checkOpen();
    if (state_ != State::Browse) throw Error(QStringLiteral("La tabla está en edición"));
    if (values.size() > fieldCount())
        throw Error(QStringLiteral("Demasiados valores para la tabla: %1 de %2")
                        .arg(values.size())
                        .arg(fieldCount()));
    QVariantList typed;
    typed.reserve(values.size());
    for (int f = 0; f < values.size(); ++f)
        typed.append(convert(f, values[f]));
    const int sr = addStorageRow();
    for (int f = 0; f < typed.size(); ++f)
        setCell(sr, f, typed[f]);
    auto less = [this](int a, int b) { return indexLess(a, b); };
    const bool indexed = !indexFields_.empty();
    const int orderPos =
        indexed ? int(std::upper_bound(order_.begin(), order_.end(), sr, less) - order_.begin())
                : int(order_.size());
    order_.insert(order_.begin() + orderPos, sr);
    if (!passesFilter(sr)) return;
    const int viewPos =
        indexed ? int(std::upper_bound(view_.begin(), view_.end(), sr, less) - view_.begin())
                : int(view_.size());
    const int before = currentRow();
    if (signalsOn()) Q_EMIT rowAboutToBeInserted(viewPos);
    view_.insert(view_.begin() + viewPos, sr);
    if (view_.size() > 1 && pos_ >= viewPos) ++pos_;
    if (view_.size() == 1) {
        pos_ = 0;
        eof_ = false; // the cursor stands on the first row, as after first()
    }
    if (signalsOn()) {
        Q_EMIT rowInserted(viewPos);
        if (currentRow() != before) Q_EMIT currentChanged(currentRow());
    }
}

// ---------------------------------------------------------------------------------------------
// Values

QVariant MemTable::value(int field) const {
    checkFieldIndex(field);
    return cell(storageRowOfCurrent(), field);
}

QVariant MemTable::value(const QString& field) const {
    return value(checkedField(field));
}

bool MemTable::isNull(int field) const {
    checkFieldIndex(field);
    return cols_[size_t(field)].null[size_t(storageRowOfCurrent())] != 0;
}

bool MemTable::isNull(const QString& field) const {
    return isNull(checkedField(field));
}

QString MemTable::textAt(int row, int field) const {
    const QVariant v = valueAt(row, field);
    if (!v.isValid()) return QString();
    switch (defs_[size_t(field)].type) {
    case FieldType::Float:
    case FieldType::Currency:
        return numberText(v.toDouble());
    case FieldType::Date:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case FieldType::DateTime:
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.toString();
    }
}

QString MemTable::asString(const QString& field) const {
    storageRowOfCurrent();
    return textAt(pos_, checkedField(field));
}

double MemTable::asDouble(const QString& field) const {
    const int f = checkedField(field);
    const QVariant v = value(f);
    if (!v.isValid()) return 0;
    switch (defs_[size_t(f)].type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Blob: {
        double out = 0;
        if (!parseDouble(v.toString(), &out))
            throw Error(QStringLiteral("'%1' no es un valor numérico válido para el campo '%2'")
                            .arg(v.toString(), defs_[size_t(f)].name));
        return out;
    }
    case FieldType::Date:
    case FieldType::DateTime:
        throw Error(QStringLiteral("El campo '%1' no es numérico").arg(defs_[size_t(f)].name));
    default:
        return v.toDouble();
    }
}

int MemTable::asInt(const QString& field) const {
    const int f = checkedField(field);
    const QVariant v = value(f);
    if (!v.isValid()) return 0;
    switch (defs_[size_t(f)].type) {
    case FieldType::Float:
    case FieldType::Currency: {
        const double d = std::trunc(v.toDouble());
        if (d < std::numeric_limits<int>::min() || d > std::numeric_limits<int>::max())
            throw Error(QStringLiteral("'%1' no es un valor entero válido para el campo '%2'")
                            .arg(numberText(v.toDouble()), defs_[size_t(f)].name));
        return int(d);
    }
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Blob: {
        bool ok = false;
        const int out = v.toString().trimmed().toInt(&ok);
        if (!ok)
            throw Error(QStringLiteral("'%1' no es un valor entero válido para el campo '%2'")
                            .arg(v.toString(), defs_[size_t(f)].name));
        return out;
    }
    case FieldType::Date:
    case FieldType::DateTime:
        throw Error(QStringLiteral("El campo '%1' no es numérico").arg(defs_[size_t(f)].name));
    default:
        return v.toInt();
    }
}

bool MemTable::asBool(const QString& field) const {
    const int f = checkedField(field);
    const QVariant v = value(f);
    if (!v.isValid()) return false;
    switch (slotOf(defs_[size_t(f)].type)) {
    case BoolSlot:
        return v.toBool();
    case TextSlot: {
        const QString t = v.toString().trimmed().toLower();
        return t == QLatin1String("true") || t == QLatin1String("1");
    }
    case Int64Slot:
        return false;
    default:
        return v.toDouble() != 0;
    }
}

void MemTable::setValue(const QString& field, const QVariant& v) {
    setValue(checkedField(field), v);
}

void MemTable::setValue(int field, const QVariant& v) {
    checkOpen();
    checkFieldIndex(field);
    if (state_ != State::Edit && state_ != State::Insert)
        throw Error(QStringLiteral("La tabla no está en modo de edición o inserción"));
    setCell(pendingRow_, field, convert(field, v));
    if (signalsOn()) Q_EMIT rowChanged(pos_);
}

QVariant MemTable::valueAt(int row, int field) const {
    checkOpen();
    checkFieldIndex(field);
    if (row < 0 || row >= int(view_.size()))
        throw Error(QStringLiteral("Fila %1 fuera de rango").arg(row));
    return cell(view_[size_t(row)], field);
}

QVariant MemTable::valueAt(int row, const QString& field) const {
    return valueAt(row, checkedField(field));
}

QVariant MemTable::storedValue(int storedIndex, int field) const {
    checkOpen();
    checkFieldIndex(field);
    if (storedIndex < 0 || storedIndex >= int(order_.size()))
        throw Error(QStringLiteral("Fila %1 fuera de rango").arg(storedIndex));
    return cell(order_[size_t(storedIndex)], field);
}

// ---------------------------------------------------------------------------------------------
// Controls

void MemTable::disableControls() {
    if (controlsDisabled_++ == 0) Q_EMIT aboutToReset();
}

void MemTable::enableControls() {
    if (controlsDisabled_ == 0) return;
    if (--controlsDisabled_ == 0) {
        Q_EMIT reset();
        Q_EMIT currentChanged(currentRow());
        Q_EMIT stateChanged(state_);
    }
}

} // namespace quill
