#include "settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStringDecoder>

namespace quill {

// ---------------------------------------------------------------------------------------------
// RegistryKey

RegistryKey::RegistryKey(const QString& keyPath) : keyPath_(keyPath) {
    QString normal = keyPath;
    normal.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QStringList parts = normal.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() < 3 || parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0) {
        error_ = QStringLiteral(
                     "La clave '%1' no es una clave válida de \\Software\\<empresa>\\<aplicación>")
                     .arg(keyPath);
        return;
    }
    organization_ = parts[1];
    application_ = parts[2];
    group_ = parts.mid(3).join(QLatin1Char('/'));
}

namespace {

// Opens the settings of a key positioned in its group.
struct OpenKey {
    QSettings settings;
    OpenKey(const RegistryKey& k) : settings(k.organization(), k.application()) {
        if (!k.group().isEmpty()) settings.beginGroup(k.group());
    }
};

bool validName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

} // namespace

bool RegistryKey::exists() const {
    if (!isValid()) return false;
    OpenKey k(*this);
    return !k.settings.childKeys().isEmpty() || !k.settings.childGroups().isEmpty();
}

bool RegistryKey::valueExists(const QString& name) const {
    if (!isValid() || !validName(name)) return false;
    OpenKey k(*this);
    return k.settings.contains(name);
}

QStringList RegistryKey::valueNames() const {
    if (!isValid()) return {};
    OpenKey k(*this);
    return k.settings.childKeys();
}

QStringList RegistryKey::subKeys() const {
    if (!isValid()) return {};
    OpenKey k(*this);
    return k.settings.childGroups();
}

QString RegistryKey::readString(const QString& name, const QString& def) const {
    if (!isValid() || !validName(name)) return def;
    OpenKey k(*this);
    const QVariant v = k.settings.value(name);
    if (!v.isValid()) return def;
    // A text with commas that another writer left unquoted reads back as a list.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

int RegistryKey::readInteger(const QString& name, int def) const {
    if (!isValid() || !validName(name)) return def;
    OpenKey k(*this);
    const QVariant v = k.settings.value(name);
    if (!v.isValid()) return def;
    bool ok = false;
    const int out = v.toString().trimmed().toInt(&ok);
    return ok ? out : def;
}

bool RegistryKey::readBool(const QString& name, bool def) const {
    if (!isValid() || !validName(name)) return def;
    OpenKey k(*this);
    const QVariant v = k.settings.value(name);
    if (!v.isValid()) return def;
    const QString t = v.toString().trimmed().toLower();
    if (t == QLatin1String("true")) return true;
    if (t == QLatin1String("false")) return false;
    bool ok = false;
    const int n = t.toInt(&ok);
    return ok ? n != 0 : def;
}

QString RegistryKey::write(const QString& name, const QVariant& value) const {
    if (!isValid()) return error_;
    if (!validName(name)) return QStringLiteral("El nombre de valor '%1' no es válido").arg(name);
    OpenKey k(*this);
    if (value.isValid())
        k.settings.setValue(name, value);
    else
        k.settings.remove(name);
    k.settings.sync();
    if (k.settings.status() != QSettings::NoError)
        return QStringLiteral("No se ha podido guardar '%1' en la clave '%2'").arg(name, keyPath_);
    return QString();
}

QString RegistryKey::writeString(const QString& name, const QString& value) const {
    return write(name, value);
}

QString RegistryKey::writeInteger(const QString& name, int value) const {
    return write(name, value);
}

QString RegistryKey::writeBool(const QString& name, bool value) const {
    return write(name, value ? 1 : 0);
}

QString RegistryKey::deleteValue(const QString& name) const {
    return write(name, QVariant());
}

// ---------------------------------------------------------------------------------------------
// IniFile

IniFile::IniFile(const QString& folder, const QString& fileName)
    : path_(QDir(folder).filePath(fileName)) {
    reload();
}

bool IniFile::fileExists() const {
    return QFileInfo::exists(path_);
}

IniFile::Line IniFile::parse(const QString& text) {
    Line l;
    l.text = text;
    const QString t = text.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'))) return l;
    if (t.startsWith(QLatin1Char('['))) {
        const int close = t.indexOf(QLatin1Char(']'));
        if (close > 0) l.section = t.mid(1, close - 1).trimmed();
        return l;
    }
    const int eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0) return l;
    l.key = t.left(eq).trimmed();
    l.value = t.mid(eq + 1);
    return l;
}

QString IniFile::reload() {
    lines_.clear();
    latin1_ = false;
    QFile f(path_);
    if (!f.exists()) return QString();
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("No se puede leer el archivo '%1': %2").arg(path_, f.errorString());
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        // Written by a Windows program in its ANSI code page.
        text = QString::fromLatin1(bytes);
        latin1_ = true;
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList raw = text.split(QLatin1Char('\n'));
    if (!raw.isEmpty() && raw.last().isEmpty()) raw.removeLast();
    for (const QString& line : raw)
        lines_.push_back(parse(line));
    return QString();
}

int IniFile::sectionLine(const QString& section) const {
    for (size_t i = 0; i < lines_.size(); ++i)
        if (!lines_[i].section.isEmpty() &&
            lines_[i].section.compare(section.trimmed(), Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

int IniFile::sectionEnd(int header) const {
    int i = header + 1;
    while (i < int(lines_.size()) && lines_[size_t(i)].section.isEmpty())
        ++i;
    return i;
}

int IniFile::keyLine(const QString& section, const QString& key) const {
    const int header = sectionLine(section);
    if (header < 0) return -1;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (lines_[size_t(i)].key.compare(key.trimmed(), Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QStringList IniFile::sections() const {
    QStringList out;
    for (const Line& l : lines_)
        if (!l.section.isEmpty()) out << l.section;
    return out;
}

QStringList IniFile::keys(const QString& section) const {
    QStringList out;
    const int header = sectionLine(section);
    if (header < 0) return out;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (!lines_[size_t(i)].key.isEmpty()) out << lines_[size_t(i)].key;
    return out;
}

bool IniFile::sectionExists(const QString& section) const {
    return sectionLine(section) >= 0;
}

bool IniFile::valueExists(const QString& section, const QString& key) const {
    return keyLine(section, key) >= 0;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    const int i = keyLine(section, key);
    if (i < 0) return def;
    QString v = lines_[size_t(i)].value.trimmed();
    if (v.size() >= 2 && ((v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"'))) ||
                          (v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\'')))))
        v = v.mid(1, v.size() - 2);
    return v;
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    bool ok = false;
    const QString t = readString(section, key).trimmed();
    // Hexadecimal as in "$1F" or "0x1F" is accepted too.
    int out = 0;
    if (t.startsWith(QLatin1Char('$')))
        out = t.mid(1).toInt(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        out = t.mid(2).toInt(&ok, 16);
    else
        out = t.toInt(&ok);
    return ok ? out : def;
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
    const QString t = readString(section, key).trimmed().toLower();
    if (t == QLatin1String("1") || t == QLatin1String("true") || t == QLatin1String("sí") ||
        t == QLatin1String("si"))
        return true;
    if (t == QLatin1String("0") || t == QLatin1String("false") || t == QLatin1String("no"))
        return false;
    return def;
}

QString IniFile::save(const std::vector<Line>& lines) {
    QString text;
    for (const Line& l : lines)
        text += l.text + QStringLiteral("\r\n");
    QByteArray bytes;
    if (latin1_) {
        bool fits = true;
        for (QChar c : text)
            if (c.unicode() > 0xFF) fits = false;
        bytes = fits ? text.toLatin1() : text.toUtf8();
    } else {
        bytes = text.toUtf8();
    }
    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        return QStringLiteral("No se puede escribir el archivo '%1': %2")
            .arg(path_, f.errorString());
    lines_ = lines;
    return QString();
}

QString IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    const QString s = section.trimmed(), k = key.trimmed();
    if (s.isEmpty() || s.contains(QLatin1Char(']')) || s.contains(QLatin1Char('\n')))
        return QStringLiteral("El nombre de sección '%1' no es válido").arg(section);
    if (k.isEmpty() || k.contains(QLatin1Char('=')) || k.startsWith(QLatin1Char('[')) ||
        k.startsWith(QLatin1Char(';')) || k.contains(QLatin1Char('\n')))
        return QStringLiteral("El nombre de clave '%1' no es válido").arg(key);
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return QStringLiteral("El valor de '%1' no puede tener saltos de línea").arg(k);
    // Work on the file as it is now, not as it was when read.
    const QString err = reload();
    if (!err.isEmpty()) return err;
    std::vector<Line> lines = lines_;
    // A value that begins and ends with quotes would lose them on reading: quote it again.
    QString stored = value;
    const QString trimmed = value.trimmed();
    if (trimmed != value ||
        (trimmed.size() >= 2 &&
         (trimmed.startsWith(QLatin1Char('"')) || trimmed.startsWith(QLatin1Char('\''))) &&
         (trimmed.endsWith(QLatin1Char('"')) || trimmed.endsWith(QLatin1Char('\'')))))
        stored = QLatin1Char('"') + value + QLatin1Char('"');
    const Line line = parse(k + QLatin1Char('=') + stored);
    const int at = keyLine(s, k);
    if (at >= 0) {
        lines[size_t(at)] = parse(lines[size_t(at)].key + QLatin1Char('=') + stored);
    } else {
        const int header = sectionLine(s);
        if (header >= 0) {
            // After the section's last key, before any blank lines that close it.
            int end = sectionEnd(header);
            while (end > header + 1 && lines[size_t(end - 1)].text.trimmed().isEmpty())
                --end;
            lines.insert(lines.begin() + end, line);
        } else {
            if (!lines.empty() && !lines.back().text.trimmed().isEmpty())
                lines.push_back(parse(QString()));
            lines.push_back(parse(QLatin1Char('[') + s + QLatin1Char(']')));
            lines.push_back(line);
        }
    }
    return save(lines);
}

QString IniFile::writeInteger(const QString& section, const QString& key, int value) {
    return writeString(section, key, QString::number(value));
}

QString IniFile::writeBool(const QString& section, const QString& key, bool value) {
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString IniFile::deleteKey(const QString& section, const QString& key) {
    const QString err = reload();
    if (!err.isEmpty()) return err;
    const int at = keyLine(section, key);
    if (at < 0) return QString();
    std::vector<Line> lines = lines_;
    lines.erase(lines.begin() + at);
    return save(lines);
}

QString IniFile::eraseSection(const QString& section) {
    const QString err = reload();
    if (!err.isEmpty()) return err;
    const int header = sectionLine(section);
    if (header < 0) return QString();
    std::vector<Line> lines = lines_;
    lines.erase(lines.begin() + header, lines.begin() + sectionEnd(header));
    return save(lines);
}

} // namespace quill
