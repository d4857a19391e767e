#pragma once

// Workstation settings: the current user's registry keys and the workstation file
// Quillmore.ini.
//
// Registry keys map onto QSettings: the key path "\Software\Quillmore\3.0\SMS\P1" with the
// value name "Usuario" is QSettings(organisation "Quillmore", application "3.0"), group
// "SMS/P1", key "Usuario". On Windows the same code reads the real registry; elsewhere the
// values live in the user's configuration folder (XDG_CONFIG_HOME). Names are kept as given
// (case matters outside Windows).
//
// Quillmore.ini is read and written as the shop's programs write it: raw values (Windows
// paths with backslashes, commas), sections and keys in any case, other lines kept as they are.
// QSettings' INI format is not used for it: it reads backslashes as escapes and commas as
// list separators.

#include <QString>
#include <QStringList>

#include <vector>

namespace quill {

// One registry key of the current user. Cheap to make; every call reads or writes at once.
class RegistryKey {
public:
    // keyPath: "\Software\<organisation>\<application>[\subkey...]"; '/' separators also work.
    explicit RegistryKey(const QString& keyPath);

    bool isValid() const { return error_.isEmpty(); }
    // Why the path is not valid (Spanish); empty when it is.
    QString errorString() const { return error_; }
    QString keyPath() const { return keyPath_; }

    // A key exists when it holds a value or a subkey.
    bool exists() const;
    bool valueExists(const QString& name) const;
    QStringList valueNames() const;
    QStringList subKeys() const;

    // A missing value gives the default; so does a text that is not an integer.
    QString readString(const QString& name, const QString& def = QString()) const;
    int readInteger(const QString& name, int def = 0) const;
    // Booleans are stored as integers (0 false, anything else true); "true"/"false" read too.
    bool readBool(const QString& name, bool def = false) const;

    // Each returns an empty text, or why the value could not be written.
    QString writeString(const QString& name, const QString& value) const;
    QString writeInteger(const QString& name, int value) const;
    QString writeBool(const QString& name, bool value) const;
    QString deleteValue(const QString& name) const;

    // The QSettings organisation, application and group the key maps to.
    QString organization() const { return organization_; }
    QString application() const { return application_; }
    QString group() const { return group_; }

private:
    QString write(const QString& name, const QVariant& value) const;

    QString keyPath_;
    QString organization_;
    QString application_;
    QString group_;
    QString error_;
};

// An INI file such as the workstation's Quillmore.ini. The file is read when the object is
// made (and by reload()); each write updates the file at once, replacing it in one step.
class IniFile {
public:
    // The file fileName in folder (the program folder the host gives).
    explicit IniFile(const QString& folder,
                     const QString& fileName = QStringLiteral("Quillmore.ini"));

    QString path() const { return path_; }
    // Reads the file again; a missing file is an empty one. Returns why it could not be read.
    QString reload();
    bool fileExists() const;

    QStringList sections() const;
    QStringList keys(const QString& section) const;
    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;

    // Values as written, surrounding spaces and one pair of enclosing quotes removed.
    QString readString(const QString& section, const QString& key,
                       const QString& def = QString()) const;
    int readInteger(const QString& section, const QString& key, int def = 0) const;
    // "1"/"0" as written by writeBool; also "true"/"false", "sí"/"no".
    bool readBool(const QString& section, const QString& key, bool def = false) const;

    // Each returns an empty text, or why nothing was written (the file is then unchanged).
    QString writeString(const QString& section, const QString& key, const QString& value);
    QString writeInteger(const QString& section, const QString& key, int value);
    QString writeBool(const QString& section, const QString& key, bool value);
    QString deleteKey(const QString& section, const QString& key);
    QString eraseSection(const QString& section);

private:
    struct Line {
        QString text;    // the line as read, or as written
        QString section; // for a section header: its name
        QString key;     // for key=value: the key
        QString value;   // for key=value: the raw value text
    };

    int sectionLine(const QString& section) const;
    int keyLine(const QString& section, const QString& key) const;
    int sectionEnd(int headerLine) const;
    QString save(const std::vector<Line>& lines);
    static Line parse(const QString& text);

    QString path_;
    std::vector<Line> lines_;
    bool latin1_ = false; // the file was not UTF-8: write it back the same way
};

} // namespace quill
