#pragma once

// Writers of a result table to an export file: spreadsheet (xlsx), HTML page, ";"-separated
// text and XML. Each writes one row per visible row of the table, in ascending order of the
// column set's sort field (the table itself is left as it is), with the captions above.
//
// Each returns an empty text on success, or why the file was not written, in Spanish. The file
// is written under a temporary name in the same folder and renamed at the end, so a failure
// never leaves a half-written file and never spoils a file that was already there.
//
// Cell values, as every format shows them:
//   - dates as dd/mm/yyyy; a null date and the shop's empty date (30/12/1899) give an empty
//     cell; date-time fields are shown as their date;
//   - numbers with a decimal comma and no thousands separator (1234,5), whole numbers without
//     decimals, currency with two decimals (12,50); the spreadsheet stores them as numbers;
//   - texts as they are, without the control characters that no XML file can hold.

#include "output/export/columnas.h"

#include <QString>

namespace quill {

// The export types of the export dialog, by their codes.
enum class ExportType : qint16 { Excel = 0, Html = 1, Texto = 2, Xml = 3 };

QString writeXlsx(const MemTable& table, const ExportColumnSet& columns, const QString& path);
QString writeHtml(const MemTable& table, const ExportColumnSet& columns, const QString& path);
QString writeText(const MemTable& table, const ExportColumnSet& columns, const QString& path);
QString writeXml(const MemTable& table, const ExportColumnSet& columns, const QString& path);

// Writes by export type code (0 Excel, 1 HTML, 2 text, 3 XML); any other code is refused.
QString writeExport(int type, const MemTable& table, const ExportColumnSet& columns,
                    const QString& path);

// The last step of the SMS number file: reads the written file back as lines and writes them
// again to the same name as plain text (UTF-8, CRLF line ends, no empty last line added).
QString rewriteAsPlainText(const QString& path);

} // namespace quill
