#include "output/export/exportwriters.h"

#include "output/export/exportsource.h"
#include "platform/guard.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QSet>
#include <QStringConverter>
#include <QXmlStreamWriter>

namespace quill {

using namespace exportdetail;

namespace {

const QByteArray crlf = QByteArrayLiteral("\r\n");

// ---- Text ----

// A value's own ";" or line break would split it into two columns or two lines: each becomes a
// blank, so every line keeps one value per column.
QString textValue(QString s) {
    for (QChar& c : s)
        if (c == QLatin1Char(';') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return s;
}

// ---- HTML ----

void appendHtmlEscaped(QString& out, const QString& s) {
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&#39;");
            break;
        default:
            out += c;
        }
    }
}

// ---- XML ----

// XML 1.0 (fifth edition) name characters.
bool isNameStartChar(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c) {
    return isNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// An element name made from a caption: "Cod. Postal" -> "Cod._Postal", "Nº Operaciones" ->
// "No_Operaciones", " Total Comprado" -> "Total_Comprado". Blanks and characters a name cannot
// hold become one "_"; a name that cannot start as it is gets a leading "_".
QString safeName(const QString& text) {
    QString out;
    bool pendingUnderscore = false;
    for (const char32_t c : text.toUcs4()) {
        QString piece;
        if (c == 0xBA)
            piece = QStringLiteral("o"); // º
        else if (c == 0xAA)
            piece = QStringLiteral("a"); // ª
        else if (c != ':' && isNameChar(c))
            piece = QString::fromUcs4(&c, 1);
        if (piece.isEmpty() || piece == QLatin1String("_")) {
            pendingUnderscore = !out.isEmpty();
            continue;
        }
        if (pendingUnderscore) out += QLatin1Char('_');
        pendingUnderscore = false;
        out += piece;
    }
    if (out.isEmpty()) return out;
    const char32_t first = out.toUcs4().front();
    if (!isNameStartChar(first) || out.startsWith(QLatin1String("xml"), Qt::CaseInsensitive))
        out.prepend(QLatin1Char('_'));
    return out;
}

QStringList elementNames(const ExportSource& src) {
    QStringList names;
    QSet<QString> used;
    for (int c = 0; c < src.columnCount(); ++c) {
        QString name = safeName(src.caption(c));
        if (name.isEmpty()) name = safeName(src.fieldDef(c).name);
        if (name.isEmpty()) name = QStringLiteral("Columna%1").arg(c + 1);
        // Two captions may give the same name; the later ones get a number.
        QString unique = name;
        for (int n = 2; used.contains(unique.toLower()); ++n)
            unique = name + QLatin1Char('_') + QString::number(n);
        used.insert(unique.toLower());
        names << unique;
    }
    return names;
}

template <typename Body>
QString writeWith(const MemTable& table, const ExportColumnSet& columns, const QString& path,
                  Body body) {
    try {
        const QString problem = checkTarget(path);
        if (!problem.isEmpty()) return problem;
        const ExportSource src(table, columns);
        return writeAtomically(path, [&](QIODevice& device) { body(src, device); });
    } catch (const Error& e) {
        return e.message();
    }
}

} // namespace

QString writeText(const MemTable& table, const ExportColumnSet& columns, const QString& path) {
    return writeWith(table, columns, path, [&](const ExportSource& src, QIODevice& device) {
        BlockWriter out(device, path);
        QString line;
        for (int c = 0; c < src.columnCount(); ++c) {
            if (c > 0) line += QLatin1Char(';');
            line += textValue(src.caption(c));
        }
        out.append(line);
        out.append(crlf);
        for (int i = 0; i < src.rowCount(); ++i) {
            line.clear();
            for (int c = 0; c < src.columnCount(); ++c) {
                if (c > 0) line += QLatin1Char(';');
                line += textValue(src.text(i, c));
            }
            out.append(line);
            out.append(crlf);
        }
        out.flush();
    });
}

QString writeHtml(const MemTable& table, const ExportColumnSet& columns, const QString& path) {
    return writeWith(table, columns, path, [&](const ExportSource& src, QIODevice& device) {
        BlockWriter out(device, path);
        // XHTML-compatible markup, so that XML tools read the page too.
        out.append(QByteArrayLiteral(
            "<!DOCTYPE html>\r\n<html lang=\"es\">\r\n<head>\r\n<meta charset=\"utf-8\"/>\r\n"
            "<title>Listado de Pacientes</title>\r\n<style>\r\n"
            "table { border-collapse: collapse; }\r\n"
            "th, td { border: 1px solid #999; padding: 2px 6px; }\r\n"
            "th { background: #ddd; }\r\n"
            "td.n { text-align: right; }\r\n"
            "</style>\r\n</head>\r\n<body>\r\n<table>\r\n<thead>\r\n<tr>"));
        QString line;
        for (int c = 0; c < src.columnCount(); ++c) {
            line += QLatin1String("<th>");
            appendHtmlEscaped(line, src.caption(c));
            line += QLatin1String("</th>");
        }
        out.append(line);
        out.append(QByteArrayLiteral("</tr>\r\n</thead>\r\n<tbody>\r\n"));
        std::vector<bool> numeric(size_t(src.columnCount()));
        for (int c = 0; c < src.columnCount(); ++c)
            numeric[size_t(c)] = src.isNumeric(c);
        for (int i = 0; i < src.rowCount(); ++i) {
            line = QStringLiteral("<tr>");
            for (int c = 0; c < src.columnCount(); ++c) {
                line +=
                    numeric[size_t(c)] ? QLatin1String("<td class=\"n\">") : QLatin1String("<td>");
                appendHtmlEscaped(line, src.text(i, c));
                line += QLatin1String("</td>");
            }
            line += QLatin1String("</tr>\r\n");
            out.append(line);
        }
        out.append(QByteArrayLiteral("</tbody>\r\n</table>\r\n</body>\r\n</html>\r\n"));
        out.flush();
    });
}

QString writeXml(const MemTable& table, const ExportColumnSet& columns, const QString& path) {
    return writeWith(table, columns, path, [&](const ExportSource& src, QIODevice& device) {
        const QStringList names = elementNames(src);
        QXmlStreamWriter xml(&device);
        xml.setAutoFormatting(true);
        xml.setAutoFormattingIndent(2);
        xml.writeStartDocument();
        xml.writeStartElement(QStringLiteral("Listado"));
        for (int i = 0; i < src.rowCount(); ++i) {
            xml.writeStartElement(QStringLiteral("Registro"));
            for (int c = 0; c < src.columnCount(); ++c)
                xml.writeTextElement(names[c], src.text(i, c));
            xml.writeEndElement();
            if (xml.hasError()) throw Error(fileErrorText(path, QFileDevice::WriteError));
        }
        xml.writeEndElement();
        xml.writeEndDocument();
        if (xml.hasError()) throw Error(fileErrorText(path, QFileDevice::WriteError));
    });
}

QString writeExport(int type, const MemTable& table, const ExportColumnSet& columns,
                    const QString& path) {
    switch (type) {
    case int(ExportType::Excel):
        return writeXlsx(table, columns, path);
    case int(ExportType::Html):
        return writeHtml(table, columns, path);
    case int(ExportType::Texto):
        return writeText(table, columns, path);
    case int(ExportType::Xml):
        return writeXml(table, columns, path);
    default:
        return QStringLiteral("Debe indicar un Tipo de Exportación válido");
    }
}

QString rewriteAsPlainText(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("No se puede leer el fichero '%1'")
            .arg(QDir::toNativeSeparators(path));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return QStringLiteral("No se puede leer el fichero '%1'")
            .arg(QDir::toNativeSeparators(path));
    in.close();

    QStringDecoder decoder(QStringConverter::Utf8); // drops a leading byte-order mark
    QString text = decoder(bytes);
    // A file that is not UTF-8 (edited elsewhere) is read as Latin-1 rather than losing bytes.
    if (decoder.hasError()) text = QString::fromLatin1(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    // A final line break ends the last line; it does not start another one.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();

    return writeAtomically(path, [&](QIODevice& device) {
        BlockWriter out(device, path);
        for (const QString& line : std::as_const(lines)) {
            out.append(line);
            out.append(crlf);
        }
        out.flush();
    });
}

} // namespace quill
