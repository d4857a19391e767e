#pragma once

// Shared by the export tests: result tables with hostile contents, and readers of the files
// the writers produce (the spreadsheet through unzip).

#include "output/export/columnas.h"
#include "output/export/exportwriters.h"
#include "queries/tablas.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace exporttest {

inline void addRow(quill::MemTable& t, const QVariantMap& values) {
    t.append();
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        t.setValue(it.key(), it.value());
    t.post();
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Files left in a folder (hidden ones too: a temporary file must not stay behind).
inline QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// One member of a zip file, through the unzip program; empty when it is not there.
inline QByteArray unzipMember(const QString& zip, const QString& member) {
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return p.readAllStandardOutput();
}

// Strings in a sheet encode characters XML cannot carry literally as _xHHHH_.
inline QString decodeXlsxEscapes(const QString& s) {
    static const QRegularExpression re(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype last = 0;
    for (auto it = re.globalMatch(s); it.hasNext();) {
        const auto m = it.next();
        out += s.mid(last, m.capturedStart() - last);
        out += QChar(char16_t(m.captured(1).toUShort(nullptr, 16)));
        last = m.capturedEnd();
    }
    return out + s.mid(last);
}

// A spreadsheet cell as the sheet stores it.
struct XlsxCell {
    QString type;  // "n" number, "s" string, "b" boolean
    QString value; // the number as written, or the string
};

// The cells of the first sheet by reference ("A1", "B2"...), strings resolved.
inline QMap<QString, XlsxCell> readXlsx(const QString& path) {
    QStringList shared;
    {
        QXmlStreamReader x(unzipMember(path, QStringLiteral("xl/sharedStrings.xml")));
        QString current;
        bool inSi = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("si")) {
                inSi = true;
                current.clear();
            } else if (x.isStartElement() && x.name() == QLatin1String("t") && inSi) {
                current += decodeXlsxEscapes(x.readElementText());
            } else if (x.isEndElement() && x.name() == QLatin1String("si")) {
                shared << current;
                inSi = false;
            }
        }
    }
    QMap<QString, XlsxCell> cells;
    QXmlStreamReader x(unzipMember(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref;
    XlsxCell cell;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("c")) {
            ref = x.attributes().value(QLatin1String("r")).toString();
            const QString t = x.attributes().value(QLatin1String("t")).toString();
            cell = XlsxCell{};
            cell.type = t.isEmpty() ? QStringLiteral("n") : t;
        } else if (x.isStartElement() && x.name() == QLatin1String("v")) {
            cell.value = x.readElementText();
        } else if (x.isStartElement() && x.name() == QLatin1String("t")) {
            cell.value += decodeXlsxEscapes(x.readElementText());
        } else if (x.isEndElement() && x.name() == QLatin1String("c")) {
            if (cell.type == QLatin1String("s")) cell.value = shared.value(cell.value.toInt());
            // Inline strings read as strings too.
            if (cell.type == QLatin1String("inlineStr")) cell.type = QStringLiteral("s");
            cells[ref] = cell;
        }
    }
    EXPECT_FALSE(x.hasError()) << x.errorString().toStdString();
    return cells;
}

} // namespace exporttest
