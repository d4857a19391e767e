#pragma once

// Option parsing of the `listado` commands: "--nombre valor", "--nombre=valor" and flags.
// Every command declares its options; anything else is refused with a Spanish message, so a
// mistyped option never goes unnoticed in a script.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace quill::cli {

struct DefinicionOpcion {
    QString nombre; // without the leading "--"
    QString valor;  // name of its value in the help ("ID"); empty for a flag
    QString ayuda;  // one line of help
    bool obligatoria = false;

    bool conValor() const { return !valor.isEmpty(); }
};

class Opciones {
public:
    bool tiene(const QString& nombre) const { return m_valores.contains(nombre); }
    QString valor(const QString& nombre) const { return m_valores.value(nombre); }
    void poner(const QString& nombre, const QString& valor) { m_valores.insert(nombre, valor); }

private:
    QHash<QString, QString> m_valores;
};

// Reads the arguments that follow the command name. The value of an option is the next
// argument whatever it looks like ("--valor1 -1,5" works). Returns an empty text, or why the
// arguments were refused; an option given twice, an unknown one, a missing value and a missing
// required option are refused.
QString AnalizarOpciones(const QStringList& argumentos, const QList<DefinicionOpcion>& definiciones,
                         Opciones& opciones);

// The help lines of a command's options, aligned.
QString AyudaOpciones(const QList<DefinicionOpcion>& definiciones);

} // namespace quill::cli
