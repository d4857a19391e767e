#include "output/export/exportsource.h"

#include "platform/guard.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace quill::exportdetail {

namespace {

bool isTextType(FieldType t) {
    return t == FieldType::String || t == FieldType::Memo || t == FieldType::Blob;
}

// Number text as the shop reads it: decimal comma, no thousands separator, no exponent.
QString numberText(double v, int decimals) {
    if (!std::isfinite(v)) return QString();
    QString s = decimals < 0 ? QString::number(v, 'f', QLocale::FloatingPointShortest)
                             : QString::number(v, 'f', decimals);
    if (s == QLatin1String("-0")) s = QStringLiteral("0");
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

std::vector<int> sortedRows(const MemTable& table, const QString& sortField) {
    std::vector<int> order(size_t(table.recordCount()));
    std::iota(order.begin(), order.end(), 0);
    if (sortField.isEmpty() || order.empty()) return order;

    const int f = table.fieldIndex(sortField);
    const FieldType type = table.fieldDef(f).type;
    const size_t n = order.size();
    std::vector<quint8> isNull(n);
    for (size_t r = 0; r < n; ++r)
        isNull[r] = table.valueAt(int(r), f).isValid() ? 0 : 1;

    if (isTextType(type)) {
        // One collation key per row: far cheaper than collating at every comparison.
        QCollator collator(QLocale(QLocale::Spanish, QLocale::Spain));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(false);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(n);
        for (size_t r = 0; r < n; ++r)
            keys.push_back(collator.sortKey(table.valueAt(int(r), f).toString()));
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            if (isNull[size_t(a)] != isNull[size_t(b)])
                return isNull[size_t(a)] > isNull[size_t(b)];
            return keys[size_t(a)].compare(keys[size_t(b)]) < 0;
        });
        return order;
    }

    std::vector<double> keys(n, 0.0);
    for (size_t r = 0; r < n; ++r) {
        if (isNull[r]) continue;
        const QVariant v = table.valueAt(int(r), f);
        switch (type) {
        case FieldType::Date:
            keys[r] = double(v.toDate().toJulianDay());
            break;
        case FieldType::DateTime: {
            const QDateTime dt = v.toDateTime();
            keys[r] = double(dt.date().toJulianDay()) * 86400000.0 +
                      double(dt.time().msecsSinceStartOfDay());
            break;
        }
        case FieldType::Boolean:
            keys[r] = v.toBool() ? 1.0 : 0.0;
            break;
        default:
            keys[r] = v.toDouble();
            break;
        }
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (isNull[size_t(a)] != isNull[size_t(b)]) return isNull[size_t(a)] > isNull[size_t(b)];
        return keys[size_t(a)] < keys[size_t(b)];
    });
    return order;
}

} // namespace

ExportSource::ExportSource(const MemTable& table, const ExportColumnSet& columns) : table_(table) {
    if (!table.isOpen())
        throw Error(QStringLiteral("La tabla '%1' no está abierta").arg(table.name()));
    for (const ColumnSpec& c : columns.columns) {
        const int f = table.fieldIndex(c.field);
        if (f < 0)
            throw Error(
                QStringLiteral("La tabla '%1' no tiene el campo '%2'").arg(table.name(), c.field));
        fields_.push_back(f);
        captions_.append(xmlSafe(c.caption));
    }
    if (fields_.empty()) throw Error(QStringLiteral("No hay ninguna columna que exportar"));
    if (!columns.sortField.isEmpty() && !table.hasField(columns.sortField))
        throw Error(QStringLiteral("La tabla '%1' no tiene el campo '%2'")
                        .arg(table.name(), columns.sortField));
    order_ = sortedRows(table, columns.sortField);
}

bool ExportSource::isNumeric(int column) const {
    switch (type(column)) {
    case FieldType::Float:
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::Currency:
        return true;
    default:
        return false;
    }
}

bool isEmptyDate(const QDate& d) {
    return d == QDate(1899, 12, 30);
}

QString cellText(FieldType type, const QVariant& v) {
    if (!v.isValid()) return QString();
    switch (type) {
    case FieldType::Float:
        return numberText(v.toDouble(), -1);
    case FieldType::Currency:
        return numberText(v.toDouble(), 2);
    case FieldType::Integer:
    case FieldType::SmallInt:
        return QString::number(v.toLongLong());
    case FieldType::Date:
    case FieldType::DateTime: {
        // Date columns are shown through a date display: a date-time shows its date.
        const QDate d = type == FieldType::Date ? v.toDate() : v.toDateTime().date();
        if (!d.isValid() || isEmptyDate(d)) return QString();
        return d.toString(QStringLiteral("dd/MM/yyyy"));
    }
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("Sí") : QStringLiteral("No");
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Blob:
        break;
    }
    return xmlSafe(v.toString());
}

QString xmlSafe(const QString& s) {
    const auto allowed = [](char16_t c) {
        return c >= 0x20 ? (c != 0xFFFE && c != 0xFFFF) : (c == 0x9 || c == 0xA || c == 0xD);
    };
    // Fast path: the usual text needs no copy.
    bool clean = true;
    for (qsizetype i = 0; i < s.size() && clean; ++i) {
        const char16_t c = s[i].unicode();
        if (!allowed(c) || QChar::isSurrogate(c)) clean = false;
    }
    if (clean) return s;

    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() &&
            QChar::isLowSurrogate(s[i + 1].unicode())) {
            out.append(s[i]);
            out.append(s[++i]);
        } else if (!QChar::isSurrogate(c) && allowed(c)) {
            out.append(s[i]);
        }
    }
    return out;
}

QString checkTarget(const QString& path) {
    if (path.trimmed().isEmpty()) return QStringLiteral("Debe indicar un nombre para el fichero");
    const QFileInfo fi(path);
    const QString folder = QDir::toNativeSeparators(fi.absolutePath());
    if (!QFileInfo(fi.absolutePath()).isDir())
        return QStringLiteral("La carpeta '%1' no existe: no se ha creado el fichero '%2'")
            .arg(folder, QDir::toNativeSeparators(path));
    if (fi.isDir())
        return QStringLiteral("'%1' es una carpeta, no un fichero")
            .arg(QDir::toNativeSeparators(path));
    if (fi.exists() && !fi.isWritable())
        return QStringLiteral("El fichero '%1' es de solo lectura: no se puede sustituir")
            .arg(QDir::toNativeSeparators(path));
    return QString();
}

QString fileErrorText(const QString& path, QFileDevice::FileError error) {
    const QString shown = QDir::toNativeSeparators(path);
    switch (error) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("No tiene permiso para crear el fichero '%1'").arg(shown);
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return QStringLiteral(
                   "Error al escribir el fichero '%1': compruebe el espacio libre del disco")
            .arg(shown);
    case QFileDevice::RenameError:
        // The temporary file could not take the final name.
        if (QFileInfo::exists(path))
            return QStringLiteral("No se ha podido sustituir el fichero '%1'").arg(shown);
        return QStringLiteral("No se ha podido crear el fichero '%1'").arg(shown);
    default:
        return QStringLiteral("No se ha podido crear el fichero '%1'").arg(shown);
    }
}

QString writeAtomically(const QString& path, const std::function<void(QIODevice&)>& body) {
    const QString problem = checkTarget(path);
    if (!problem.isEmpty()) return problem;

    // QSaveFile writes a temporary file beside path and renames it only on commit; destroying
    // it uncommitted removes the temporary file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fileErrorText(path, file.error());
    try {
        body(file);
    } catch (const Error& e) {
        file.cancelWriting();
        return e.message();
    } catch (const std::exception& e) {
        file.cancelWriting();
        return QString::fromUtf8(e.what());
    }
    if (file.error() != QFileDevice::NoError) {
        const QFileDevice::FileError error = file.error();
        file.cancelWriting();
        return fileErrorText(path, error);
    }
    if (!file.commit()) return fileErrorText(path, file.error());
    return QString();
}

void BlockWriter::flush() {
    if (buffer_.isEmpty()) return;
    if (device_.write(buffer_) != buffer_.size())
        throw Error(fileErrorText(path_, QFileDevice::WriteError));
    buffer_.clear();
}

} // namespace quill::exportdetail
