// The spreadsheet writer, on libxlsxwriter in constant-memory mode: rows go to disk as they
// are written, so a large listing needs no more memory than a small one.

#include "output/export/exportwriters.h"

#include "output/export/exportsource.h"
#include "platform/guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace quill {

using namespace exportdetail;

namespace {

constexpr int maxCellText = 32767; // characters a spreadsheet cell holds

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString lxwText(const QString& path, lxw_error e) {
    switch (e) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("No hay memoria suficiente para generar la hoja de cálculo '%1'")
            .arg(shown(path));
    case LXW_ERROR_CREATING_XLSX_FILE:
        return QStringLiteral("No se ha podido crear el fichero '%1'").arg(shown(path));
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return QStringLiteral("No se han podido usar los ficheros temporales al generar la hoja "
                              "de cálculo '%1'")
            .arg(shown(path));
    default:
        return QStringLiteral("Error al generar la hoja de cálculo '%1' (código %2)")
            .arg(shown(path))
            .arg(int(e));
    }
}

// Spreadsheet day number: days since 30/12/1899, counting the spreadsheet's phantom
// 29/02/1900, so dates before March 1900 are one less.
double serialDate(const QDate& d) {
    qint64 n = QDate(1899, 12, 30).daysTo(d);
    if (d < QDate(1900, 3, 1)) --n;
    return double(n);
}

QByteArray cellUtf8(const QString& s) {
    if (s.size() <= maxCellText) return s.toUtf8();
    qsizetype cut = maxCellText;
    if (s.at(cut - 1).isHighSurrogate()) --cut;
    return s.left(cut).toUtf8();
}

double columnWidth(const ExportSource& src, int c) {
    double w;
    switch (src.type(c)) {
    case FieldType::Date:
    case FieldType::DateTime:
        w = 11;
        break;
    case FieldType::String:
        w = std::clamp(src.fieldDef(c).size, 8, 40);
        break;
    case FieldType::Memo:
    case FieldType::Blob:
        w = 40;
        break;
    default:
        w = 10;
        break;
    }
    return std::max(w, double(src.caption(c).size() + 2));
}

// Permissions the finished file gets: those of the file it replaces, or those a newly created
// file gets (the temporary file was made private to this user).
QFileDevice::Permissions finalPermissions(const QString& target) {
    if (QFileInfo::exists(target)) return QFile::permissions(target);
    QFileDevice::Permissions p = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                 QFileDevice::ReadUser | QFileDevice::WriteUser |
                                 QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                 QFileDevice::ReadOther | QFileDevice::WriteOther;
#ifdef Q_OS_UNIX
    const mode_t mask = ::umask(0); // reading the mask means setting it: put it back at once
    ::umask(mask);
    if (mask & S_IWGRP) p &= ~QFileDevice::WriteGroup;
    if (mask & S_IRGRP) p &= ~QFileDevice::ReadGroup;
    if (mask & S_IWOTH) p &= ~QFileDevice::WriteOther;
    if (mask & S_IROTH) p &= ~QFileDevice::ReadOther;
#endif
    return p;
}

// Owns the workbook and the temporary file until the file is in place.
class Workbook {
public:
    explicit Workbook(const QString& target) : target_(target) {}
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;
    ~Workbook() {
        if (wb_) workbook_close(wb_);
        if (!temp_.isEmpty()) QFile::remove(temp_);
    }

    // Reserves a temporary name beside the target (which also proves the folder writable).
    QString create() {
        const QFileInfo fi(target_);
        QTemporaryFile reserve(fi.absolutePath() + QStringLiteral("/.") + fi.fileName() +
                               QStringLiteral(".XXXXXX"));
        reserve.setAutoRemove(false);
        if (!reserve.open()) return fileErrorText(target_, reserve.error());
        temp_ = reserve.fileName();
        reserve.close();
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = nullptr;
        options.use_zip64 = LXW_FALSE;
        const QByteArray name = QFile::encodeName(temp_);
        wb_ = workbook_new_opt(name.constData(), &options);
        if (!wb_) return lxwText(target_, LXW_ERROR_MEMORY_MALLOC_FAILED);
        return QString();
    }

    lxw_workbook* get() const { return wb_; }

    // Closes the workbook and puts the file in place.
    QString finish() {
        const lxw_error e = workbook_close(wb_);
        wb_ = nullptr;
        if (e != LXW_NO_ERROR) return lxwText(target_, e);
        QFile::setPermissions(temp_, finalPermissions(target_));
        std::error_code ec;
        std::filesystem::rename(std::filesystem::path(QFile::encodeName(temp_).toStdString()),
                                std::filesystem::path(QFile::encodeName(target_).toStdString()),
                                ec);
        if (ec) return fileErrorText(target_, QFileDevice::RenameError);
        temp_.clear();
        return QString();
    }

private:
    QString target_;
    QString temp_;
    lxw_workbook* wb_ = nullptr;
};

void check(lxw_error e, int row) {
    if (e != LXW_NO_ERROR)
        throw Error(QStringLiteral("Error al escribir la fila %1 de la hoja de cálculo (código %2)")
                        .arg(row)
                        .arg(int(e)));
}

} // namespace

QString writeXlsx(const MemTable& table, const ExportColumnSet& columns, const QString& path) {
    try {
        const QString problem = checkTarget(path);
        if (!problem.isEmpty()) return problem;
        const ExportSource src(table, columns);
        if (src.rowCount() > LXW_ROW_MAX - 1)
            return QStringLiteral("La hoja de cálculo admite como máximo %1 filas y el listado "
                                  "tiene %2: elija otro tipo de fichero")
                .arg(LXW_ROW_MAX - 1)
                .arg(src.rowCount());
        if (src.columnCount() > LXW_COL_MAX)
            return QStringLiteral("La hoja de cálculo admite como máximo %1 columnas")
                .arg(LXW_COL_MAX);

        Workbook book(path);
        const QString created = book.create();
        if (!created.isEmpty()) return created;
        lxw_workbook* wb = book.get();
        lxw_worksheet* ws = workbook_add_worksheet(wb, "Listado");
        if (!ws) return lxwText(path, LXW_ERROR_MEMORY_MALLOC_FAILED);

        lxw_format* bold = workbook_add_format(wb);
        format_set_bold(bold);
        lxw_format* date = workbook_add_format(wb);
        format_set_num_format(date, "dd/mm/yyyy");
        lxw_format* money = workbook_add_format(wb);
        format_set_num_format(money, "#,##0.00");

        const int ncol = src.columnCount();
        for (int c = 0; c < ncol; ++c)
            worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), columnWidth(src, c), nullptr);
        worksheet_freeze_panes(ws, 1, 0);

        // Rows must be written in order in constant-memory mode: the header first.
        for (int c = 0; c < ncol; ++c)
            check(worksheet_write_string(ws, 0, lxw_col_t(c), cellUtf8(src.caption(c)).constData(),
                                         bold),
                  0);

        std::vector<FieldType> types(static_cast<size_t>(ncol));
        for (int c = 0; c < ncol; ++c)
            types[size_t(c)] = src.type(c);

        for (int i = 0; i < src.rowCount(); ++i) {
            const lxw_row_t row = lxw_row_t(i + 1);
            for (int c = 0; c < ncol; ++c) {
                const QVariant v = src.value(i, c);
                if (!v.isValid()) continue;
                const lxw_col_t col = lxw_col_t(c);
                switch (types[size_t(c)]) {
                case FieldType::Float:
                case FieldType::Currency:
                case FieldType::Integer:
                case FieldType::SmallInt: {
                    const double d = v.toDouble();
                    if (!std::isfinite(d)) break; // a spreadsheet has no infinite number
                    check(worksheet_write_number(ws, row, col, d,
                                                 types[size_t(c)] == FieldType::Currency ? money
                                                                                         : nullptr),
                          i + 1);
                    break;
                }
                case FieldType::Date:
                case FieldType::DateTime: {
                    const QDate d =
                        types[size_t(c)] == FieldType::Date ? v.toDate() : v.toDateTime().date();
                    if (!d.isValid() || isEmptyDate(d)) break;
                    // Outside the spreadsheet's calendar: as text.
                    if (d < QDate(1900, 1, 1) || d > QDate(9999, 12, 31))
                        check(worksheet_write_string(
                                  ws, row, col,
                                  d.toString(QStringLiteral("dd/MM/yyyy")).toUtf8().constData(),
                                  nullptr),
                              i + 1);
                    else
                        check(worksheet_write_number(ws, row, col, serialDate(d), date), i + 1);
                    break;
                }
                case FieldType::Boolean:
                    check(worksheet_write_boolean(ws, row, col, v.toBool() ? 1 : 0, nullptr),
                          i + 1);
                    break;
                case FieldType::String:
                case FieldType::Memo:
                case FieldType::Blob: {
                    const QString s = xmlSafe(v.toString());
                    if (s.isEmpty()) break;
                    check(worksheet_write_string(ws, row, col, cellUtf8(s).constData(), nullptr),
                          i + 1);
                    break;
                }
                }
            }
        }
        return book.finish();
    } catch (const Error& e) {
        return e.message();
    }
}

} // namespace quill
