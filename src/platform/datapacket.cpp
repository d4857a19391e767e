#include "datapacket.h"

#include "guard.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTime>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <vector>

namespace quill {

namespace {

struct PacketField {
    FieldDef def;
    QString attr; // attribute name in ROW elements
};

struct Packet {
    std::vector<PacketField> fields;
    std::vector<std::vector<std::pair<int, QString>>> rows; // (packet field, text) per row
};

QString lineText(const QXmlStreamReader& xml) {
    return QStringLiteral(" (línea %1, columna %2)").arg(xml.lineNumber()).arg(xml.columnNumber());
}

// Maps a FIELD element to a field definition; returns an error text or empty.
QString fieldFromElement(const QXmlStreamAttributes& a, FieldDef* def) {
    const QString name = a.value(QLatin1String("attrname")).toString();
    const QString type = a.value(QLatin1String("fieldtype")).toString();
    const QString subtype = a.value(QLatin1String("SUBTYPE")).toString();
    if (name.trimmed().isEmpty()) return QStringLiteral("Hay un campo sin nombre en METADATA");
    if (type.isEmpty()) return QStringLiteral("El campo '%1' no indica su tipo").arg(name);
    def->name = name;
    def->required =
        a.value(QLatin1String("required")).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    def->size = 0;
    const QString t = type.toLower();
    if (t == QLatin1String("r8") || t == QLatin1String("r4") || t == QLatin1String("i8") ||
        t == QLatin1String("fixed") || t == QLatin1String("fixedfmt")) {
        def->type = subtype.compare(QLatin1String("Money"), Qt::CaseInsensitive) == 0
                        ? FieldType::Currency
                        : FieldType::Float;
    } else if (t == QLatin1String("i4") || t == QLatin1String("ui2")) {
        def->type = FieldType::Integer;
    } else if (t == QLatin1String("i2") || t == QLatin1String("i1") || t == QLatin1String("ui1")) {
        def->type = FieldType::SmallInt;
    } else if (t == QLatin1String("string") || t == QLatin1String("string.uni")) {
        def->type = FieldType::String;
        bool ok = true;
        const QString w = a.value(QLatin1String("WIDTH")).toString();
        int width = w.isEmpty() ? 0 : w.toInt(&ok);
        if (!ok || width < 0)
            return QStringLiteral("El ancho '%1' del campo '%2' no es válido").arg(w, name);
        // Wide strings give their width in bytes.
        if (t == QLatin1String("string.uni")) width /= 2;
        def->size = width;
    } else if (t == QLatin1String("bin.hex")) {
        def->type = subtype.compare(QLatin1String("Text"), Qt::CaseInsensitive) == 0 ||
                            subtype.compare(QLatin1String("WideText"), Qt::CaseInsensitive) == 0
                        ? FieldType::Memo
                        : FieldType::Blob;
    } else if (t == QLatin1String("date")) {
        def->type = FieldType::Date;
    } else if (t == QLatin1String("datetime")) {
        def->type = FieldType::DateTime;
    } else if (t == QLatin1String("boolean")) {
        def->type = FieldType::Boolean;
    } else {
        return QStringLiteral("El campo '%1' tiene un tipo desconocido: '%2'").arg(name, type);
    }
    return QString();
}

// Skips the rest of the current element, children included.
void skipElement(QXmlStreamReader& xml) {
    xml.skipCurrentElement();
}

QString readMetadata(QXmlStreamReader& xml, Packet* p) {
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("FIELDS")) {
            while (xml.readNextStartElement()) {
                if (xml.name() != QLatin1String("FIELD")) {
                    skipElement(xml);
                    continue;
                }
                PacketField f;
                const QString err = fieldFromElement(xml.attributes(), &f.def);
                if (!err.isEmpty()) return err;
                f.attr = f.def.name;
                for (const PacketField& other : p->fields)
                    if (other.def.name.compare(f.def.name, Qt::CaseInsensitive) == 0)
                        return QStringLiteral("El campo '%1' está repetido").arg(f.def.name);
                p->fields.push_back(f);
                skipElement(xml); // nested PARAM elements carry nothing we use
            }
        } else {
            skipElement(xml); // PARAMS
        }
    }
    return QString();
}

QString readRows(QXmlStreamReader& xml, Packet* p) {
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("ROW")) {
            skipElement(xml);
            continue;
        }
        std::vector<std::pair<int, QString>> row;
        for (const QXmlStreamAttribute& a : xml.attributes()) {
            for (size_t f = 0; f < p->fields.size(); ++f) {
                if (p->fields[f].attr == a.name()) {
                    row.emplace_back(int(f), a.value().toString());
                    break;
                }
            }
            // Other attributes (RowState) describe change logs we do not keep.
        }
        p->rows.push_back(std::move(row));
        skipElement(xml);
    }
    return QString();
}

QString parsePacket(QXmlStreamReader& xml, Packet* p) {
    if (!xml.readNextStartElement()) {
        if (xml.hasError())
            return QStringLiteral("El paquete de datos no es XML válido: %1%2")
                .arg(xml.errorString(), lineText(xml));
        return QStringLiteral("El paquete de datos está vacío");
    }
    if (xml.name() != QLatin1String("DATAPACKET"))
        return QStringLiteral(
                   "El archivo no es un paquete de datos: se esperaba DATAPACKET y hay %1")
            .arg(xml.name().toString());
    bool metadata = false;
    while (xml.readNextStartElement()) {
        QString err;
        if (xml.name() == QLatin1String("METADATA")) {
            err = readMetadata(xml, p);
            metadata = true;
        } else if (xml.name() == QLatin1String("ROWDATA")) {
            if (!metadata)
                return QStringLiteral("El paquete de datos no tiene METADATA antes de ROWDATA");
            err = readRows(xml, p);
        } else {
            skipElement(xml);
        }
        if (!err.isEmpty()) return err;
    }
    // Reading on to the end finds truncation and anything malformed after the rows.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError()) {
        if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            return QStringLiteral("El paquete de datos está incompleto%1").arg(lineText(xml));
        return QStringLiteral("El paquete de datos no es XML válido: %1%2")
            .arg(xml.errorString(), lineText(xml));
    }
    if (!metadata) return QStringLiteral("El paquete de datos no tiene METADATA");
    if (p->fields.empty()) return QStringLiteral("El paquete de datos no define ningún campo");
    return QString();
}

// Text of a packet value to the value of its packet type.
QVariant packetValue(const FieldDef& def, const QString& s, bool* ok) {
    *ok = true;
    switch (def.type) {
    case FieldType::Float:
    case FieldType::Currency: {
        const double v = QLocale::c().toDouble(s.trimmed(), ok);
        return v;
    }
    case FieldType::Integer:
    case FieldType::SmallInt: {
        const int v = s.trimmed().toInt(ok);
        return v;
    }
    case FieldType::Date: {
        const QDate d = QDate::fromString(s.trimmed(), QStringLiteral("yyyyMMdd"));
        *ok = d.isValid();
        return d;
    }
    case FieldType::DateTime: {
        // "20091231T10:30:00000": seconds followed by milliseconds without a separator.
        const QString t = s.trimmed();
        const QDate d = QDate::fromString(t.left(8), QStringLiteral("yyyyMMdd"));
        QTime time(0, 0);
        if (t.size() > 8) {
            *ok = t.at(8) == QLatin1Char('T');
            const QString rest = t.mid(9);
            if (rest.size() == 11)
                time = QTime::fromString(rest, QStringLiteral("hh:mm:sszzz"));
            else if (rest.size() == 8)
                time = QTime::fromString(rest, QStringLiteral("hh:mm:ss"));
            else
                time = QTime();
        }
        *ok = *ok && d.isValid() && time.isValid();
        return QDateTime(d, time);
    }
    case FieldType::Boolean: {
        const QString t = s.trimmed().toUpper();
        if (t == QLatin1String("TRUE")) return true;
        if (t == QLatin1String("FALSE")) return false;
        *ok = false;
        return QVariant();
    }
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Blob:
        return s;
    }
    *ok = false;
    return QVariant();
}

QString packetText(const FieldDef& def, const QVariant& v) {
    switch (def.type) {
    case FieldType::Float:
    case FieldType::Currency:
        return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case FieldType::Integer:
    case FieldType::SmallInt:
        return QString::number(v.toInt());
    case FieldType::Date:
        return v.toDate().toString(QStringLiteral("yyyyMMdd"));
    case FieldType::DateTime:
        return v.toDateTime().toString(QStringLiteral("yyyyMMdd'T'hh:mm:sszzz"));
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        return v.toString();
    }
}

// XML 1.0 cannot carry most control characters, not even escaped.
bool xmlSafe(const QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        if (c < 0x20 && c != 0x9 && c != 0xA && c != 0xD) return false;
        if (c == 0xFFFE || c == 0xFFFF) return false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= s.size() || !s.at(i + 1).isLowSurrogate()) return false;
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

void leaveEmpty(MemTable& table) {
    table.close();
    if (table.fieldCount() > 0) {
        try {
            table.open();
        } catch (const Error&) {
            // An index or filter naming a missing field: the table stays closed.
        }
    }
}

QString fillTable(MemTable& table, const Packet& p, PacketFields mode) {
    table.close();
    if (mode == PacketFields::FromPacket) {
        table.clearFields();
        for (const PacketField& f : p.fields)
            table.addField(f.def);
    }
    table.open();
    // Packet field -> table field.
    std::vector<int> target(p.fields.size(), -1);
    for (size_t f = 0; f < p.fields.size(); ++f)
        target[f] = table.fieldIndex(p.fields[f].def.name);

    QVariantList values;
    for (size_t r = 0; r < p.rows.size(); ++r) {
        values.clear();
        for (int i = 0; i < table.fieldCount(); ++i)
            values.append(QVariant());
        for (const auto& [f, text] : p.rows[r]) {
            if (target[size_t(f)] < 0) continue;
            const FieldDef& def = p.fields[size_t(f)].def;
            bool ok = false;
            const QVariant v = packetValue(def, text, &ok);
            if (!ok)
                return QStringLiteral("Fila %1: el valor '%2' del campo '%3' no es válido")
                    .arg(r + 1)
                    .arg(text, def.name);
            values[target[size_t(f)]] = v;
        }
        try {
            table.appendStored(values);
        } catch (const Error& e) {
            return QStringLiteral("Fila %1: %2").arg(r + 1).arg(e.message());
        }
    }
    table.first();
    return QString();
}

} // namespace

QString readDataPacket(MemTable& table, const QByteArray& bytes, PacketFields mode) {
    Packet p;
    QString err;
    if (bytes.trimmed().isEmpty()) {
        err = QStringLiteral("El paquete de datos está vacío");
    } else {
        // A packet that declares no encoding and is not valid UTF-8 was written as Latin-1;
        // any other is left to the XML reader, which honours the declaration.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString asUtf8 = utf8.decode(bytes);
        const qsizetype declEnd = bytes.indexOf("?>");
        const bool declared = declEnd >= 0 && bytes.left(declEnd).contains("encoding");
        QXmlStreamReader xml;
        if (utf8.hasError() && !declared)
            xml.addData(QString::fromLatin1(bytes));
        else
            xml.addData(bytes);
        err = parsePacket(xml, &p);
    }
    MemTable::ControlsDisabled quiet(table);
    const bool events = table.eventsEnabled();
    table.setEventsEnabled(false);
    if (err.isEmpty()) {
        try {
            err = fillTable(table, p, mode);
        } catch (const Error& e) {
            err = e.message();
        }
    }
    if (!err.isEmpty()) leaveEmpty(table);
    table.setEventsEnabled(events);
    return err;
}

QString loadDataPacket(MemTable& table, const QString& path, PacketFields mode) {
    QFile file(path);
    QString err;
    if (!QFileInfo::exists(path)) {
        err = QStringLiteral("No existe el archivo '%1'").arg(path);
    } else if (!file.open(QIODevice::ReadOnly)) {
        err = QStringLiteral("No se puede abrir el archivo '%1': %2").arg(path, file.errorString());
    } else {
        const QByteArray bytes = file.readAll();
        err = readDataPacket(table, bytes, mode);
        if (!err.isEmpty())
            return QStringLiteral("Error al leer el archivo '%1': %2").arg(path, err);
        return QString();
    }
    MemTable::ControlsDisabled quiet(table);
    leaveEmpty(table);
    return err;
}

QByteArray writeDataPacket(const MemTable& table, QString* error) {
    auto fail = [&](const QString& e) {
        if (error) *error = e;
        return QByteArray();
    };
    if (!table.isOpen()) return fail(QStringLiteral("La tabla no está abierta"));
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartElement(QStringLiteral("DATAPACKET"));
    xml.writeAttribute(QStringLiteral("Version"), QStringLiteral("2.0"));
    xml.writeStartElement(QStringLiteral("METADATA"));
    xml.writeStartElement(QStringLiteral("FIELDS"));
    for (int f = 0; f < table.fieldCount(); ++f) {
        const FieldDef& d = table.fieldDef(f);
        if (!xmlSafe(d.name) || d.name.contains(QLatin1Char(' ')))
            return fail(QStringLiteral("El nombre de campo '%1' no se puede guardar").arg(d.name));
        xml.writeEmptyElement(QStringLiteral("FIELD"));
        xml.writeAttribute(QStringLiteral("attrname"), d.name);
        switch (d.type) {
        case FieldType::Float:
            xml.writeAttribute(QStringLiteral("fieldtype"), QStringLiteral("r8"));
            break;
        case FieldType::Currency:
            xml.writeAttribute(QStringLiteral("fieldtype"), QStringLiteral("r8"));
            xml.writeAttribute(QStringLiteral("SUBTYPE"), QStringLiteral("Money"));
            break;
        case FieldType::Integer:
            xml.writeAttribute(QStringLiteral("fieldtype"), QStringLiteral("i4"));
            break;
        case FieldType::SmallInt:
            xml.writeAttribute(QStringLiteral("fieldtype"), QStringLiteral("i2"));
            break;
        case FieldType::String:
            xml.writeAttribute(QStringLiteral("fieldtype"), QStringLiteral("string"));
            break;
        case FieldType::Memo:
            xml.writeAttribute(QStringLiteral("fieldtype"), QStringLiteral("bin.hex"));
            xml.writeAttribute(QStringLiteral("SUBTYPE"), QStringLiteral("Text"));
            break;
        case FieldType::Blob:
            xml.writeAttribute(QStringLiteral("fieldtype"), QStringLiteral("bin.hex"));
            xml.writeAttribute(QStringLiteral("SUBTYPE"), QStringLiteral("Binary"));
            break;
        case FieldType::Date:
            xml.writeAttribute(QStringLiteral("fieldtype"), QStringLiteral("date"));
            break;
        case FieldType::DateTime:
            xml.writeAttribute(QStringLiteral("fieldtype"), QStringLiteral("dateTime"));
            break;
        case FieldType::Boolean:
            xml.writeAttribute(QStringLiteral("fieldtype"), QStringLiteral("boolean"));
            break;
        }
        if (d.required) xml.writeAttribute(QStringLiteral("required"), QStringLiteral("true"));
        if (d.type == FieldType::String && d.size > 0)
            xml.writeAttribute(QStringLiteral("WIDTH"), QString::number(d.size));
    }
    xml.writeEndElement(); // FIELDS
    xml.writeEmptyElement(QStringLiteral("PARAMS"));
    xml.writeEndElement(); // METADATA
    xml.writeStartElement(QStringLiteral("ROWDATA"));
    for (int r = 0; r < table.storedRowCount(); ++r) {
        xml.writeEmptyElement(QStringLiteral("ROW"));
        for (int f = 0; f < table.fieldCount(); ++f) {
            const QVariant v = table.storedValue(r, f);
            if (!v.isValid()) continue;
            const QString text = packetText(table.fieldDef(f), v);
            if (!xmlSafe(text))
                return fail(QStringLiteral("Fila %1: el campo '%2' contiene caracteres que no se "
                                           "pueden guardar")
                                .arg(r + 1)
                                .arg(table.fieldDef(f).name));
            xml.writeAttribute(table.fieldDef(f).name, text);
        }
    }
    xml.writeEndElement(); // ROWDATA
    xml.writeEndElement(); // DATAPACKET
    if (xml.hasError()) return fail(QStringLiteral("No se ha podido generar el paquete de datos"));
    if (error) error->clear();
    return QByteArrayLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>") + body;
}

QString saveDataPacket(const MemTable& table, const QString& path) {
    QString err;
    const QByteArray bytes = writeDataPacket(table, &err);
    if (!err.isEmpty()) return err;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("No se puede escribir el archivo '%1': %2")
            .arg(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("No se puede escribir el archivo '%1': %2")
            .arg(path, file.errorString());
    return QString();
}

} // namespace quill
