#include "catalogo.h"

#include "lstsentpaciente.h"

#include <limits>
#include <stdexcept>

namespace quill {

const QList<Familia>& familias() {
    // Tested in this order; the kind-neutral fields take what is left of 610 to 3099.
    static const QList<Familia> lista = {
        {"paciente", {{std::numeric_limits<int>::min(), 68}}, filasPaciente},
        {"graduaciones", {{69, 108}, {2000, 2016}}, filasGraduaciones},
        {"lentillas", {{109, 148}, {2100, 2115}}, filasLentillas},
        {"audifonos", {{149, 209}, {2300, 2352}}, filasAudifonos},
        {"optometria", {{210, 374}}, filasOptometria},
        {"baja vision", {{375, 399}}, filasBajaVision},
        {"reposiciones", {{400, 419}}, filasReposiciones},
        {"partes de fecha", {{420, 449}}, filasPartesFecha},
        {"ventas", {{450, 459}}, filasVentas},
        {"campos comunes", {{460, 479}, {610, 3099}}, filasComunes},
        {"reposicion de lentillas", {{480, 499}}, filasReposicionLentillas},
        {"consumo", {{500, 549}}, filasConsumo, true},
        {"documentos de venta", {{550, 569}}, filasDocumentosVenta},
        {"lineas de venta", {{570, 609}}, filasLineasVenta},
    };
    return lista;
}

namespace {

qsizetype indiceFamilia(const QList<Familia>& lista, int id) {
    for (qsizetype i = 0; i < lista.size(); ++i)
        for (const auto& [desde, hasta] : lista.at(i).rangos)
            if (id >= desde && id <= hasta) return i;
    return -1;
}

QString aplicar(TLstSentPaciente& s, Operador operador, const QString& columna, int centinela) {
    switch (operador) {
    case Operador::Fecha:
        return s.SentenciaFecha(columna);
    case Operador::FechaValor:
        return s.SentenciaFechaValor();
    case Operador::Texto:
        return s.SentenciaTexto(true);
    case Operador::Memo:
        return s.SentenciaMemo();
    case Operador::Numero:
        return s.SentenciaNumero(centinela, columna);
    case Operador::Lista:
        return s.SentenciaLista(columna);
    case Operador::ListaSimple:
        return s.SentenciaListaSimple(columna);
    case Operador::Primero:
        return s.SentenciaPrimero();
    case Operador::In:
        return s.SentenciaIn();
    case Operador::Ninguno:
        break;
    }
    return QString();
}

QString formaDirecta(TLstSentPaciente& s, const EntradaCatalogo& e) {
    const QString comparacion = aplicar(s, e.operador, e.columna, e.centinela);
    // A date condition without value restricts nothing; a record join left alone in front of
    // it would not even be a condition.
    if (e.operador == Operador::Fecha && comparacion.isEmpty()) return QString();
    return e.delante + comparacion + e.detras;
}

QString formaUnida(TLstSentPaciente& s, const EntradaCatalogo& e) {
    return e.delante + e.columna + QLatin1Char(' ') +
           aplicar(s, e.operador, e.columna, e.centinela) + e.detras;
}

QString formaLista(TLstSentPaciente& s, const EntradaCatalogo& e) {
    return e.delante + QLatin1Char('(') + e.columna + QLatin1Char(' ') +
           aplicar(s, e.operador, e.columna, e.centinela) + e.detras;
}

QString formaAlternativas(TLstSentPaciente& s, const EntradaCatalogo& e) {
    QString result = e.delante + QLatin1Char('(');
    for (qsizetype i = 0; i < e.alternativas.size(); ++i) {
        const Alternativa& a = e.alternativas.at(i);
        if (i > 0) result += e.separador;
        if (a.operador == Operador::Lista) result += QLatin1Char('(');
        result += a.columna + QLatin1Char(' ') + aplicar(s, a.operador, a.columna, a.centinela);
    }
    return result + QLatin1Char(')') + e.detras;
}

} // namespace

QString construirEntrada(TLstSentPaciente& builder, const EntradaCatalogo& entrada) {
    switch (entrada.forma) {
    case Forma::Directa:
        return formaDirecta(builder, entrada);
    case Forma::Unida:
        return formaUnida(builder, entrada);
    case Forma::Lista:
        return formaLista(builder, entrada);
    case Forma::Alternativas:
        return formaAlternativas(builder, entrada);
    case Forma::Calculada:
        return entrada.calculo ? entrada.calculo(builder, entrada) : QString();
    }
    return QString();
}

CatalogoSentencias::CatalogoSentencias(const QList<Familia>& lista) : m_familias(lista) {
    for (qsizetype i = 0; i < m_familias.size(); ++i) {
        const Familia& familia = m_familias.at(i);
        if (!familia.filas) continue;
        for (EntradaCatalogo& fila : familia.filas()) {
            const QString quien = QStringLiteral("%1 (%2, line %3)")
                                      .arg(fila.id)
                                      .arg(QLatin1String(familia.nombre))
                                      .arg(fila.linea);
            if (indiceFamilia(m_familias, fila.id) != i)
                throw std::logic_error(QStringLiteral("catalogue row %1 lies outside its family")
                                           .arg(quien)
                                           .toStdString());
            // Only the consumption rows are per product line, and every one of them is.
            if ((fila.linea != 0) != familia.porTipoListado)
                throw std::logic_error(QStringLiteral("catalogue row %1 has the wrong product line")
                                           .arg(quien)
                                           .toStdString());
            const std::pair<int, qint16> clave{fila.id, fila.linea};
            if (!m_filas.emplace(clave, std::move(fila)).second)
                throw std::logic_error(
                    QStringLiteral("catalogue row %1 is repeated").arg(quien).toStdString());
        }
    }
}

const CatalogoSentencias& CatalogoSentencias::instancia() {
    static const CatalogoSentencias catalogo(familias());
    return catalogo;
}

const Familia* CatalogoSentencias::familia(int id) const {
    const qsizetype i = indiceFamilia(m_familias, id);
    return i < 0 ? nullptr : &m_familias.at(i);
}

const EntradaCatalogo* CatalogoSentencias::entrada(int id, qint16 linea) const {
    const auto it = m_filas.find({id, linea});
    return it == m_filas.end() ? nullptr : &it->second;
}

} // namespace quill
