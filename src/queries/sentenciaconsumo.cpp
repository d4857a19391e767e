#include "queries/sentenciaconsumo.h"

#include "conditions/condicion.h"
#include "queries/listingmodule.h"

namespace quill {

namespace {

// ---- Fixed texts ----

// Column 27 is the consumption (the sum of LIQUIDO_M1): order 27 sorts on it.
const QString kSelect = QStringLiteral(
    "SELECT MVENTA.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, "
    "PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.ID_LOCALIDAD, PACIENTE.VIENE_POR, "
    "PACIENTE.SEXO, CAST (PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, CAST "
    "(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET AS "
    "DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.E_MAIL, "
    "PACIENTE.WEB, "
    "PACIENTE.FOTOGRAFIA, PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, PACIENTE.TELEFONO, "
    "PACIENTE.TOTAL_COMPRADO_M2,  "
    "PACIENTE.TIENDA, PACIENTE.FOTOGRAFIA, SUM(MVENTA.LIQUIDO_M1), SUM(MVENTA.LIQUIDO_M2), "
    "COUNT(MVENTA.N_TALON) NOPERACIONES ");

const QString kGroupBy = QStringLiteral(
    " GROUP BY MVENTA.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, "
    "PACIENTE.DIRECCION, PACIENTE.VIENE_POR, PACIENTE.SEXO, CAST (PACIENTE.FECHA_NACIMIENTO AS "
    "DATE), CAST (PACIENTE.FECHA_PRIMERA_VISITA AS DATE), CAST(PACIENTE.FECHA_ULTIMA_VISITA AS "
    "DATE), "
    "CAST(PACIENTE.FECHA_CARNET AS DATE), PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.E_MAIL, PACIENTE.WEB, PACIENTE.FOTOGRAFIA, "
    "PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, "
    "PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, PACIENTE.FOTOGRAFIA ");

const QString kFrom = QStringLiteral(" FROM PACIENTE, MVENTA ");

// Only sales (0) and finished orders (1) are consumption; patient 0 and deleted patients never
// appear. Patients of every data partition are listed.
const QString kWhere = QStringLiteral(
    " Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND PACIENTE.ID_PACIENTE = "
    "MVENTA.ID_PACIENTE AND (MVENTA.TIPO_OPERACION = 0 Or MVENTA.TIPO_OPERACION = 1) ");

// The detail lists every operation of the patient but deleted orders (3).
const QString kSelectDetalle = QStringLiteral(
    "SELECT CAST(MVENTA.FECHA AS DATE) FECHA, MVENTA.N_TALON, MVENTA.TIPO_OPERACION, "
    "MVENTA.LIQUIDO_M1, MVENTA.LIQUIDO_M2,  MVENTA.PORCENTAJE_DESCUENTO  FROM PACIENTE, MVENTA ");
const QString kWhereDetalle =
    QStringLiteral(" where PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND MVENTA.ID_PACIENTE = "
                   ":PACIENTE AND MVENTA.TIPO_OPERACION != 3 ");
const QString kOrderDetalle = QStringLiteral(" ORDER BY MVENTA.FECHA ");

const QString kSuma = QStringLiteral("SUM(MVENTA.LIQUIDO_M1) ");

const QString kSelectConteo = QStringLiteral("SELECT MVENTA.ID_PACIENTE ID_PACIENTE ");
const QString kGroupByConteo = QStringLiteral(" GROUP BY MVENTA.ID_PACIENTE ");

const QStringList kBase = {QStringLiteral("PACIENTE"), QStringLiteral("MVENTA")};

constexpr int kIdFecha = 451;
constexpr int kIdImporte = 452;
constexpr int kIdModo = 453;

bool esNombre(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// The text without its sub-selects ("(SELECT ..." up to the parenthesis that closes it): the
// tables named inside them are the sub-select's own.
QString sinSubconsultas(const QString& texto) {
    QString r;
    r.reserve(texto.size());
    qsizetype i = 0;
    while (i < texto.size()) {
        if (texto.at(i) == QLatin1Char('(')) {
            qsizetype j = i + 1;
            while (j < texto.size() && texto.at(j).isSpace())
                ++j;
            if (texto.mid(j, 6).compare(QLatin1String("SELECT"), Qt::CaseInsensitive) == 0 &&
                (j + 6 >= texto.size() || !esNombre(texto.at(j + 6)))) {
                int nivel = 0;
                bool enTexto = false;
                for (; i < texto.size(); ++i) {
                    const QChar c = texto.at(i);
                    if (c == QLatin1Char('\'')) enTexto = !enTexto;
                    if (enTexto) continue;
                    if (c == QLatin1Char('(')) ++nivel;
                    if (c == QLatin1Char(')') && --nivel == 0) break;
                }
                ++i;
                r += QLatin1Char(' ');
                continue;
            }
        }
        if (texto.at(i) == QLatin1Char('\'')) {
            // Quoted values are copied as they are, so that "(SELECT" inside one is not taken
            // for a sub-select.
            const qsizetype fin = texto.indexOf(QLatin1Char('\''), i + 1);
            const qsizetype hasta = fin < 0 ? texto.size() : fin + 1;
            r += texto.mid(i, hasta - i);
            i = hasta;
            continue;
        }
        r += texto.at(i++);
    }
    return r;
}

// The tables of `tablas` outside the base that a fragment names at its own level, as
// "TABLA." after a character that cannot be part of a name; in list order.
QStringList tablasFuera(const QString& sentencia, const QStringList& tablas) {
    const QString texto = sinSubconsultas(sentencia);
    QStringList fuera;
    for (const QString& tabla : tablas) {
        if (tabla.isEmpty() || kBase.contains(tabla, Qt::CaseInsensitive) ||
            fuera.contains(tabla, Qt::CaseInsensitive))
            continue;
        const QString marca = tabla + QLatin1Char('.');
        for (qsizetype desde = 0;;) {
            const qsizetype i = texto.indexOf(marca, desde, Qt::CaseInsensitive);
            if (i < 0) break;
            if (i == 0 || !esNombre(texto.at(i - 1))) {
                fuera.append(tabla);
                break;
            }
            desde = i + 1;
        }
    }
    return fuera;
}

// A condition of the main WHERE: its fragment, or EXISTS over the tables it needs beyond the
// patient and the operation.
QString condicionPrincipal(const QString& sentencia, const QStringList& tablas) {
    const QStringList fuera = tablasFuera(sentencia, tablas);
    if (fuera.isEmpty()) return sentencia;
    return QStringLiteral("EXISTS (SELECT 1 FROM ") + fuera.join(QStringLiteral(", ")) +
           QStringLiteral(" WHERE ") + sentencia + QLatin1Char(')');
}

// The condition sentences after a fixed WHERE: the first joined with " AND ", the following
// ones by the user's choice; with " OR " all of them in one more pair of parentheses, so that
// the fixed part restricts every alternative.
QString sentencias(const QString& where, const QStringList& textos, bool todas) {
    QString texto;
    const bool alguna = !todas && textos.size() > 1;
    for (qsizetype i = 0; i < textos.size(); ++i) {
        texto += ListingModule::CondicionWhere(where + texto, i == 0 ? true : todas);
        if (i == 0 && alguna) texto += QLatin1Char('(');
        texto += QLatin1Char('(') + textos.at(i) + QLatin1Char(')');
    }
    if (alguna) texto += QLatin1Char(')');
    return texto;
}

struct Partes {
    QString where;   // main WHERE, fixed part included
    QString detalle; // detail WHERE, fixed part included
    QString having;  // empty, or "HAVING ..."
};

Partes partes(const QList<FilaCondicion>& filas, const QStringList& tablas, bool todas) {
    const bool total = ModoConsumo(filas) == kModoConsumoTotal;
    QStringList principal, detalle, sumas;
    for (const FilaCondicion& f : filas) {
        // A row that restricts nothing adds nothing (the mode row among them).
        if (f.sentencia.isEmpty()) continue;
        switch (f.idEntero()) {
        case kIdModo:
            break;
        case kIdImporte:
            if (total) {
                sumas.append(f.sentencia);
            } else {
                // Each operation is compared on its own, and the detail shows only those that
                // meet the amount.
                principal.append(QStringLiteral(" PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND "
                                                "MVENTA.LIQUIDO_M1 ") +
                                 f.sentencia);
                detalle.append(QStringLiteral(" MVENTA.LIQUIDO_M1 ") + f.sentencia);
            }
            break;
        case kIdFecha:
            principal.append(condicionPrincipal(f.sentencia, tablas));
            detalle.append(f.sentencia);
            break;
        default:
            principal.append(condicionPrincipal(f.sentencia, tablas));
            break;
        }
    }
    Partes p;
    p.where = kWhere + sentencias(kWhere, principal, todas);
    p.detalle = kWhereDetalle + sentencias(kWhereDetalle, detalle, todas);
    for (qsizetype i = 0; i < sumas.size(); ++i) {
        p.having += i == 0 ? QStringLiteral("HAVING ")
                           : (todas ? QStringLiteral(" AND ") : QStringLiteral(" OR "));
        p.having += kSuma + sumas.at(i);
    }
    return p;
}

} // namespace

QString ModoConsumo(const QList<FilaCondicion>& filas) {
    QString modo;
    for (const FilaCondicion& f : filas)
        if (f.idEntero() == kIdModo) modo = f.condicion1;
    return modo;
}

SentenciasConsumo GenerarSentenciasConsumo(const QList<FilaCondicion>& filas,
                                           const QStringList& tablas, qint16 orden, qint16 sentido,
                                           bool todas) {
    const Partes p = partes(filas, tablas, todas);
    const QString order = GenerarSQLOrderConsumo(orden, sentido);
    SentenciasConsumo s;
    s.principal = kSelect + kFrom + p.where + kGroupBy + p.having;
    // The date orders start without a space: keep the amount of HAVING apart from them.
    if (!p.having.isEmpty() && !order.startsWith(QLatin1Char(' '))) s.principal += QLatin1Char(' ');
    s.principal += order;
    s.detalle = kSelectDetalle + p.detalle + kOrderDetalle;
    return s;
}

QString GenerarSentenciaConteoConsumo(const QList<FilaCondicion>& filas, const QStringList& tablas,
                                      bool todas) {
    const Partes p = partes(filas, tablas, todas);
    return kSelectConteo + kFrom + p.where + kGroupByConteo + p.having;
}

QString GenerarSQLOrderConsumo(qint16 orden, qint16 sentido) {
    QString texto;
    switch (orden) {
    // The dates sort on the grouped expressions: the plain columns are not in GROUP BY.
    case 22:
        texto = QStringLiteral("ORDER BY CAST (PACIENTE.FECHA_NACIMIENTO AS DATE) ");
        break;
    case 23:
        texto = QStringLiteral("ORDER BY CAST (PACIENTE.FECHA_PRIMERA_VISITA AS DATE) ");
        break;
    case 24:
        texto = QStringLiteral("ORDER BY CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) ");
        break;
    case 27:
        texto = QStringLiteral(" ORDER BY 27 ");
        break;
    default:
        texto = ListingModule::OrdenBase(orden);
        break;
    }
    return texto + ListingModule::SentidoOrden(sentido);
}

QString ComprobarMovilConsumo(const QString& telefono) {
    if (telefono.size() < 9 || telefono.at(0) != QLatin1Char('6')) return QString();
    QString cifras;
    for (const QChar c : telefono) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) continue;
        cifras += c;
        if (cifras.size() > 9) return QString();
    }
    return cifras.size() == 9 ? cifras : QString();
}

} // namespace quill
