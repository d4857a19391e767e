#include "lstbasesentencia.h"

#include "valores.h"

namespace quill {

namespace {
QString vacia() {
    return QString::fromLatin1(kEmptySqlDate);
}
} // namespace

TLstBaseSentencia::TLstBaseSentencia(const QString& conexion) : m_conexion(conexion) {}

TLstBaseSentencia::~TLstBaseSentencia() = default;

void TLstBaseSentencia::setCondicion1(const QString& valor) {
    if (valor != m_condicion1) m_condicion1 = valor;
}

void TLstBaseSentencia::setCondicion2(const QString& valor) {
    if (valor != m_condicion2) m_condicion2 = valor;
}

void TLstBaseSentencia::setCondicion(const QString& valor) {
    if (valor != m_condicion) m_condicion = valor;
}

QDate TLstBaseSentencia::hoy() const {
    return m_hoy.isValid() ? m_hoy : QDate::currentDate();
}

QStringList TLstBaseSentencia::itemsLista() const {
    return m_lista ? *m_lista : QStringList();
}

QDate TLstBaseSentencia::fecha1() const {
    return parseDate(m_condicion1, hoy());
}

QDate TLstBaseSentencia::fecha2() const {
    return m_condicion2.isEmpty() ? QDate() : parseDate(m_condicion2, hoy());
}

QString TLstBaseSentencia::comparacionFecha(const QDate& d1, const QDate& d2) const {
    const QString q = QStringLiteral("'");
    if (m_condicion == operador::IgualA) return QStringLiteral(" = '") + sqlDate(d1) + q;
    if (m_condicion == operador::DistintoDe) return QStringLiteral(" != '") + sqlDate(d1) + q;
    if (m_condicion == operador::MayorQue) return QStringLiteral(" > '") + sqlDate(d1) + q;
    if (m_condicion == operador::MenorQue) return QStringLiteral(" < '") + sqlDate(d1) + q;
    if (m_condicion == operador::Entre)
        return QStringLiteral(" BETWEEN '") + sqlDate(d1) + QStringLiteral("' AND '") +
               sqlDate(d2) + q;
    return QString();
}

QString TLstBaseSentencia::SentenciaFecha(const QString& columna) {
    // No value, or the grid's zero date: the condition restricts nothing.
    if (m_condicion1.isEmpty() || m_condicion1 == QLatin1String("0")) return QString();
    if (m_condicion == operador::Vacio) return columna + QStringLiteral(" = '") + vacia() + "'";
    if (m_condicion == operador::NoVacio) return columna + QStringLiteral(" != '") + vacia() + "'";
    // Records holding the empty date never match a comparison.
    const QString guarda = columna + QStringLiteral(" != '") + vacia() + QStringLiteral("' AND ");
    const QDate d1 = fecha1();
    const QDate d2 = fecha2();
    return guarda + columna + comparacionFecha(d1, d2);
}

QString TLstBaseSentencia::SentenciaTexto(bool mayusculas) {
    const QString c1 = mayusculas ? m_condicion1.toUpper() : m_condicion1;
    const QString c2 = mayusculas ? m_condicion2.toUpper() : m_condicion2;
    const QString& op = m_condicion;
    if (op == operador::IgualA) return QStringLiteral(" = '") + quoteText(c1) + "'";
    if (op == operador::EmpiezaPor) return QStringLiteral("starting with '") + quoteText(c1) + "'";
    if (op == operador::TermineEn) return QStringLiteral("like '%") + quoteText(c1) + "'";
    if (op == operador::Contiene) return QStringLiteral("containing '") + quoteText(c1) + "'";
    if (op == operador::DistintoDe) return QStringLiteral(" != '") + quoteText(c1) + "'";
    if (op == operador::Entre)
        return QStringLiteral(" BETWEEN '") + quoteText(c1) + QStringLiteral("' AND '") +
               quoteText(c2) + "'";
    if (op == operador::Vacio) return QStringLiteral("  = ''");
    if (op == operador::NoVacio) return QStringLiteral(" != ''");
    return QString();
}

QString TLstBaseSentencia::SentenciaMemo() {
    // Two single-character wildcards after the value let a memo ending in a line break match.
    const QString& op = m_condicion;
    const auto v = [this] { return quoteText(m_condicion1.toUpper()); };
    if (op == operador::IgualA) return QStringLiteral(" like '") + v() + "__'";
    if (op == operador::EmpiezaPor) return QStringLiteral("starting with '") + v() + "'";
    if (op == operador::TermineEn) return QStringLiteral("like '%") + v() + "__'";
    if (op == operador::Contiene) return QStringLiteral("containing '") + v() + "'";
    if (op == operador::DistintoDe) return QStringLiteral(" not like '") + v() + "__'";
    if (op == operador::NoVacio) return QStringLiteral(" not like ''");
    if (op == operador::Vacio) return QStringLiteral(" like ''");
    return QString();
}

QString TLstBaseSentencia::listaIds(const QString& columna, const QString& noVacio,
                                    const QString& vacio) {
    const QString cierre = QStringLiteral(")");
    if (m_condicion == operador::NoVacio) return noVacio + cierre;
    if (m_condicion == operador::Vacio) return vacio + cierre;
    QString unir, comparar;
    if (m_condicion == operador::IgualA) {
        unir = QStringLiteral(" Or ");
        comparar = QStringLiteral(" = ");
    } else if (m_condicion == operador::DistintoDe) {
        unir = QStringLiteral(" And ");
        comparar = QStringLiteral(" != ");
    } else {
        return cierre;
    }
    QString result;
    const QStringList items = itemsLista();
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0) result += unir + columna;
        result += comparar + checkedId(items.at(i));
    }
    return result + cierre;
}

QString TLstBaseSentencia::SentenciaLista(const QString& columna) {
    return listaIds(columna, QStringLiteral(" != -1 AND ") + columna + QStringLiteral(" != 0 "),
                    QStringLiteral(" = -1 Or ") + columna + QStringLiteral(" = 0 "));
}

QString TLstBaseSentencia::SentenciaPrimero() {
    const QStringList items = itemsLista();
    if (items.isEmpty()) refuseValue();
    return QStringLiteral(" = ") + checkedId(items.first());
}

} // namespace quill
