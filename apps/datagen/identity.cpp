#include "identity.h"

#include "catalog.h"

#include <QStringList>

namespace quill::datagen {

namespace {

constexpr char kLetras[] = "TRWAGMYFPDXBNJZSQVHLCKE";

QString digits(Random& rnd, int n) {
    QString s;
    s.reserve(n);
    for (int i = 0; i < n; ++i)
        s += QChar(u'0' + static_cast<char16_t>(rnd.between(0, 9)));
    return s;
}

// Area prefixes of the landline network for the provinces the demo shop sees most; the rest
// get a plausible two-digit 9x prefix.
int prefijoFijo(int provincia) {
    switch (provincia) {
    case 28:
        return 91;
    case 8:
        return 93;
    case 45:
        return 925;
    case 19:
        return 949;
    case 46:
        return 96;
    case 41:
        return 95;
    case 48:
        return 94;
    default:
        return 920 + provincia % 70;
    }
}

} // namespace

QChar letraNif(quint32 numero) {
    return QChar(QLatin1Char(kLetras[numero % 23]));
}

bool nifValido(const QString& nif) {
    if (nif.size() != 9) return false;
    QString body = nif.left(8);
    const QChar first = body.at(0).toUpper();
    if (first == u'X' || first == u'Y' || first == u'Z')
        body[0] = QChar(u'0' + (first.unicode() - u'X'));
    bool ok = false;
    const quint32 n = body.toUInt(&ok);
    if (!ok) return false;
    for (QChar c : body)
        if (!c.isDigit()) return false;
    return nif.at(8).toUpper() == letraNif(n);
}

QString nuevoNif(Random& rnd) {
    if (rnd.chance(0.04)) {
        const int prefix = static_cast<int>(rnd.between(0, 2));
        const QString body = digits(rnd, 7);
        const quint32 n = static_cast<quint32>(prefix) * 10000000u + body.toUInt();
        return QChar(u'X' + prefix) + body + letraNif(n);
    }
    const quint32 n = static_cast<quint32>(rnd.between(1000000, 79999999));
    return QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0')) + letraNif(n);
}

FormatoMovil formatoMovilHabitual(Random& rnd) {
    static constexpr int w[] = {42, 20, 14, 7, 5, 3, 3, 3, 3};
    return static_cast<FormatoMovil>(rnd.weighted(w));
}

QString nuevoMovil(Random& rnd, FormatoMovil formato) {
    // Mostly 6xx; the 71x-74x ranges came later and are rarer.
    QString n = rnd.chance(0.9)
                    ? QStringLiteral("6") + digits(rnd, 8)
                    : QStringLiteral("7") + QString::number(rnd.between(1, 4)) + digits(rnd, 7);
    auto g3 = [&] { return n.mid(0, 3) + u' ' + n.mid(3, 3) + u' ' + n.mid(6, 3); };
    switch (formato) {
    case FormatoMovil::Seguido:
        return n;
    case FormatoMovil::Grupos3:
        return g3();
    case FormatoMovil::Grupos2:
        return n.mid(0, 3) + u' ' + n.mid(3, 2) + u' ' + n.mid(5, 2) + u' ' + n.mid(7, 2);
    case FormatoMovil::Prefijo:
        return QStringLiteral("+34 ") + n;
    case FormatoMovil::PrefijoGrupos:
        return QStringLiteral("+34 ") + g3();
    case FormatoMovil::PrefijoPegado:
        return QStringLiteral("+34") + n;
    case FormatoMovil::Puntos:
        return n.mid(0, 3) + u'.' + n.mid(3, 3) + u'.' + n.mid(6, 3);
    case FormatoMovil::Dos:
        return n + QStringLiteral("/6") + digits(rnd, 8);
    case FormatoMovil::Corto:
        return n.left(8);
    }
    return n;
}

QString nuevoFijo(Random& rnd, int provincia) {
    const QString prefix = QString::number(prefijoFijo(provincia));
    const QString n = prefix + digits(rnd, 9 - static_cast<int>(prefix.size()));
    if (rnd.chance(0.5)) return n;
    if (prefix.size() == 2)
        return n.mid(0, 2) + u' ' + n.mid(2, 3) + u' ' + n.mid(5, 2) + u' ' + n.mid(7, 2);
    return n.mid(0, 3) + u' ' + n.mid(3, 2) + u' ' + n.mid(5, 2) + u' ' + n.mid(7, 2);
}

QString sinAcentos(const QString& text) {
    static const QString from = QStringLiteral("ÁÉÍÓÚÜáéíóúüÀÈÌÒÙàèìòùÏïÇç");
    static const QString to = QStringLiteral("AEIOUUaeiouuAEIOUaeiouIiCc");
    QString out = text;
    for (QChar& c : out) {
        const auto i = from.indexOf(c);
        if (i >= 0) c = to.at(i);
    }
    return out;
}

QString nuevoCorreo(Random& rnd, const QString& nombre, const QString& apellido) {
    auto clean = [](const QString& s) {
        QString t = sinAcentos(s.section(u' ', 0, 0).toLower());
        t.replace(u'ñ', u'n');
        QString out;
        for (QChar c : t)
            if (c.isLetterOrNumber()) out += c;
        return out;
    };
    const QString n = clean(nombre);
    const QString a = clean(apellido);
    QString user;
    switch (rnd.between(0, 4)) {
    case 0:
        user = n + u'.' + a;
        break;
    case 1:
        user = n + a + QString::number(rnd.between(1, 99));
        break;
    case 2:
        user = n.left(1) + a;
        break;
    case 3:
        user = n + u'_' + a + QString::number(rnd.between(60, 99));
        break;
    default:
        user = a + u'.' + n;
        break;
    }
    const auto domains = dominiosCorreo();
    return user + u'@' + QString::fromUtf8(domains[rnd.index(domains.size())]);
}

} // namespace quill::datagen
