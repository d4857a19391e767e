#include "output/print/informetabla.h"

#include "platform/guard.h"

#include <algorithm>
#include <numeric>

namespace quill::print {

namespace {
const QColor kPlata(192, 192, 192);
} // namespace

int InformeTabla::Campo(const char* nombre) const {
    const int i = m_tabla->fieldIndex(QString::fromLatin1(nombre));
    if (i < 0)
        throw Error(QStringLiteral("La tabla '%1' no tiene el campo '%2'")
                        .arg(m_tabla->name(), QString::fromLatin1(nombre)));
    return i;
}

QString InformeTabla::Texto(int fila, int campo) const {
    return m_tabla->textAt(filaTabla(fila), campo);
}

QVariant InformeTabla::Valor(int fila, int campo) const {
    return m_tabla->valueAt(filaTabla(fila), campo);
}

void InformeTabla::OrdenarFilas(const std::function<bool(int a, int b)>& antes) {
    std::vector<int> filas(size_t(m_report.rowCount));
    std::iota(filas.begin(), filas.end(), 0);
    // The comparison reads through the current order: start from the table's.
    m_filas.clear();
    std::stable_sort(filas.begin(), filas.end(), antes);
    m_filas = std::move(filas);
}

void InformeTabla::Filas(const MemTable& tabla, const QString& campoPaciente) {
    m_tabla = &tabla;
    m_campoPaciente = campoPaciente.isEmpty() ? -1 : tabla.fieldIndex(campoPaciente);
    m_report.rowCount = tabla.isOpen() ? tabla.recordCount() : 0;
}

QList<Columna> InformeTabla::columnas() const {
    QList<Columna> c;
    for (const Celda& celda : m_celdas)
        c.append(celda.columna);
    return c;
}

void InformeTabla::Detalle(const QList<Celda>& celdas, qreal alto) {
    m_celdas = celdas;
    Band& d = m_report.detail();
    m_detalle = &d;
    d.height = alto;
    const QList<Item*> items = FilaTextos(d, columnas(), 0, 14, Fuente(8));
    m_report.beforePrint = [this] {
        m_impresos.clear();
        m_plata = true;
        m_detalle->color = kPlata;
    };
    m_report.afterPrint = [this] { m_impresos.clear(); };
    d.beforePrint = [this, items] {
        const int fila = m_report.currentRow();
        return Proteger(
            "bndDetalleBeforePrint",
            [&] {
                if (m_campoPaciente >= 0) {
                    // A patient prints once, wherever its rows fall in the order.
                    const int id = m_tabla->valueAt(filaTabla(fila), m_campoPaciente).toInt();
                    if (m_impresos.contains(id)) return false;
                    m_impresos.insert(id);
                }
                for (int i = 0; i < items.size(); ++i)
                    items[i]->text = m_celdas[i].texto ? m_celdas[i].texto(fila) : QString();
                return true;
            },
            [items] { items[0]->text = QStringLiteral("ERROR"); });
    };
    d.afterPrint = [this] {
        m_plata = !m_plata;
        m_detalle->color = m_plata ? kPlata : QColor(Qt::white);
    };
}

} // namespace quill::print
