#include "opciones.h"

#include <algorithm>

namespace quill::cli {

namespace {

const DefinicionOpcion* buscar(const QList<DefinicionOpcion>& definiciones, const QString& nombre) {
    for (const DefinicionOpcion& d : definiciones)
        if (d.nombre == nombre) return &d;
    return nullptr;
}

} // namespace

QString AnalizarOpciones(const QStringList& argumentos, const QList<DefinicionOpcion>& definiciones,
                         Opciones& opciones) {
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& arg = argumentos.at(i);
        if (!arg.startsWith(QLatin1String("--")) || arg.size() == 2)
            return QStringLiteral("Argumento no esperado: '%1'").arg(arg);
        QString nombre = arg.mid(2);
        QString valor;
        bool valorEnLinea = false;
        if (const qsizetype igual = nombre.indexOf(QLatin1Char('=')); igual >= 0) {
            valor = nombre.mid(igual + 1);
            nombre.truncate(igual);
            valorEnLinea = true;
        }
        const DefinicionOpcion* def = buscar(definiciones, nombre);
        if (!def) return QStringLiteral("Opción desconocida: '--%1'").arg(nombre);
        if (opciones.tiene(nombre))
            return QStringLiteral("La opción '--%1' aparece más de una vez").arg(nombre);
        if (def->conValor()) {
            if (!valorEnLinea) {
                if (i + 1 >= argumentos.size())
                    return QStringLiteral("Falta el valor de la opción '--%1'").arg(nombre);
                valor = argumentos.at(++i);
            }
        } else if (valorEnLinea) {
            return QStringLiteral("La opción '--%1' no lleva valor").arg(nombre);
        }
        opciones.poner(nombre, valor);
    }
    for (const DefinicionOpcion& d : definiciones)
        if (d.obligatoria && !opciones.tiene(d.nombre))
            return QStringLiteral("Falta la opción obligatoria '--%1'").arg(d.nombre);
    return QString();
}

QString AyudaOpciones(const QList<DefinicionOpcion>& definiciones) {
    QStringList izquierda;
    qsizetype ancho = 0;
    for (const DefinicionOpcion& d : definiciones) {
        QString texto = QStringLiteral("  --") + d.nombre;
        if (d.conValor()) texto += QLatin1Char(' ') + d.valor;
        izquierda << texto;
        ancho = std::max(ancho, texto.size());
    }
    QString ayuda;
    for (qsizetype i = 0; i < definiciones.size(); ++i) {
        ayuda += izquierda.at(i).leftJustified(ancho + 2) + definiciones.at(i).ayuda;
        if (definiciones.at(i).obligatoria) ayuda += QStringLiteral(" (obligatoria)");
        ayuda += QLatin1Char('\n');
    }
    return ayuda;
}

} // namespace quill::cli
