#include "output/print/tfrmencargo.h"

#include "platform/guard.h"
#include "queries/tdmencargo.h"
#include "sql/lstutil.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>

namespace quill::print {

namespace {
const QColor kPlata(192, 192, 192);
constexpr qreal kAltoFila = 14;
// Amounts add up in cents, as the module folds them: no drift over thousands of rows.
double redondear(double v) {
    return std::round(v * 100.0) / 100.0;
}
} // namespace

InformeEncargo::InformeEncargo(TdmEncargo& modulo, const QString& conexion, bool detalle)
    : InformeListado(QStringLiteral("Listado de Pacientes Con Encargos Pendientes"), conexion),
      m_modulo(modulo), m_detalle(detalle) {
    TextoModo = detalle ? QStringLiteral("Detalle") : QStringLiteral("Resumido");
}

QList<Columna> InformeEncargo::columnas() const {
    const int derecha = Qt::AlignRight | Qt::AlignVCenter;
    return {{0, 45, QStringLiteral("Ficha")},
            {48, 185, QStringLiteral("Apellidos y Nombre")},
            {236, 170, QStringLiteral("Dirección")},
            {409, 110, QStringLiteral("Localidad")},
            {522, 85, QStringLiteral("Teléfono")},
            {610, 108,
             m_detalle ? QStringLiteral("Pendiente Recibir") : QStringLiteral("Pendiente"),
             derecha}};
}

QString InformeEncargo::subtitulo() const {
    return InformeListado::subtitulo() + QStringLiteral(". Moneda: ") + TextoMoneda;
}

void InformeEncargo::leerEncargos(int idPaciente) {
    m_encargos.clear();
    QSqlQuery* q = m_modulo.AbrirDetalle(idPaciente);
    if (!q) throw Error(QStringLiteral("No se pueden leer los encargos del paciente"));
    TLstUtil& u = Util();
    const QSqlRecord r = q->record();
    const int liquido =
        r.indexOf(SegundaMoneda ? QStringLiteral("LIQUIDO_M2") : QStringLiteral("LIQUIDO_M1"));
    const int cobros =
        r.indexOf(SegundaMoneda ? QStringLiteral("COBROS_M2") : QStringLiteral("COBROS_M1"));
    while (q->next()) {
        Encargo e;
        e.fecha = TextoFecha(q->value(r.indexOf(QStringLiteral("FECHA"))));
        e.talon = q->value(r.indexOf(QStringLiteral("N_TALON"))).toString();
        e.terminado = u.SiNo(q->value(r.indexOf(QStringLiteral("TERMINADO"))).toInt());
        e.recogido = u.SiNo(q->value(r.indexOf(QStringLiteral("RECOGIDO"))).toInt());
        e.descuento =
            u.Porcentaje(q->value(r.indexOf(QStringLiteral("PORCENTAJE_DESCUENTO"))).toDouble());
        const double l = q->value(liquido).toDouble();
        e.liquido = u.Importe(l, SegundaMoneda);
        e.pendiente = u.Importe(redondear(l - q->value(cobros).toDouble()), SegundaMoneda);
        m_encargos.push_back(e);
    }
}

void InformeEncargo::construir() {
    const MemTable& t = *m_modulo.memEncargosPendientes;
    m_report.rowCount = t.isOpen() ? t.recordCount() : 0;
    const auto campo = [&t](const char* n) { return t.fieldIndex(QString::fromLatin1(n)); };
    const int fId = campo("IdPaciente"), fCodigo = campo("Codigo"),
              fNombre = campo("NombreCompleto"), fDireccion = campo("Direccion"),
              fLocalidad = campo("Localidad"), fTelefono = campo("Telefono"),
              fMovil = campo("Movil"), fDeuda = campo(SegundaMoneda ? "DeudaM2" : "DeudaM1");

    Band& d = m_report.detail();
    d.height = kAltoFila;
    QList<Item*> c =
        FilaTextos(d, columnas(), 0, kAltoFila, m_detalle ? Fuente(8, true) : Fuente(8));
    m_report.beforePrint = [this] {
        m_suma = 0;
        m_plata = true;
        m_report.detail().color = m_detalle ? QColor() : kPlata;
    };
    d.beforePrint = [=, this, &t] {
        const int fila = m_report.currentRow();
        return Proteger(
            "bndDetalleBeforePrint",
            [&] {
                c[0]->text = TextoCodigo(t.valueAt(fila, fCodigo));
                c[1]->text = t.textAt(fila, fNombre);
                c[2]->text = t.textAt(fila, fDireccion);
                c[3]->text = t.textAt(fila, fLocalidad);
                c[4]->text = TextoTelefono(t.textAt(fila, fTelefono), t.textAt(fila, fMovil));
                c[5]->text = Util().Importe(t.valueAt(fila, fDeuda).toDouble(), SegundaMoneda);
                if (m_detalle) leerEncargos(t.valueAt(fila, fId).toInt());
                return true;
            },
            [&] {
                c[0]->text = QStringLiteral("ERROR");
                m_encargos.clear();
            });
    };
    d.afterPrint = [=, this, &t] {
        m_suma = redondear(m_suma + t.valueAt(m_report.currentRow(), fDeuda).toDouble());
        if (m_detalle) return;
        m_plata = !m_plata;
        m_report.detail().color = m_plata ? kPlata : QColor(Qt::white);
    };

    if (m_detalle) {
        const int derecha = Qt::AlignRight | Qt::AlignVCenter;
        const QList<Columna> sub = {{60, 70, QStringLiteral("Fecha")},
                                    {134, 80, QStringLiteral("Nº Talón")},
                                    {218, 70, QStringLiteral("Terminado")},
                                    {292, 70, QStringLiteral("% Dto"), derecha},
                                    {366, 70, QStringLiteral("Recogido")},
                                    {440, 130, QStringLiteral("Liquido"), derecha},
                                    {574, 144, QStringLiteral("Pendiente"), derecha}};
        SubDetail& s = m_report.addSubDetail(kAltoFila);
        s.rowCount = [this] { return int(m_encargos.size()); };
        s.header = std::make_unique<Band>(kAltoFila + 2);
        for (const Columna& col : sub)
            s.header->addText(QRectF(col.x, 0, col.ancho, kAltoFila), col.titulo,
                              Fuente(7, true, true), col.alineacion);
        s.header->addLine(QLineF(60, kAltoFila, kBodyWidth, kAltoFila), kPlata, 1);
        s.header->beforePrint = [this] { return !m_encargos.empty(); };
        QList<Item*> v = FilaTextos(*s.band, sub, 0, kAltoFila, Fuente(7));
        s.band->beforePrint = [this, v] {
            const Encargo& e = m_encargos[size_t(m_report.currentSubRow())];
            const QStringList textos = {e.fecha,    e.talon,   e.terminado, e.descuento,
                                        e.recogido, e.liquido, e.pendiente};
            for (int i = 0; i < v.size(); ++i)
                v[i]->text = textos[i];
            return true;
        };
    }

    // Running total in the page footer, total in the summary band.
    Band& pie = m_report.pageFooter();
    pie.addText(QRectF(kBodyWidth - 330, 34, 130, 12), QStringLiteral("Suma y Sigue....."),
                Fuente(8, true), Qt::AlignRight | Qt::AlignVCenter);
    pie.addText(QRectF(kBodyWidth - 190, 34, 190, 12), QString(), Fuente(8, true),
                Qt::AlignRight | Qt::AlignVCenter)
        .dynamicText = [this] { return Util().Importe(m_suma, SegundaMoneda); };
    Band& resumen = m_report.summary();
    resumen.height = 24;
    resumen.addLine(QLineF(0, 2, kBodyWidth, 2), Qt::black, 1);
    resumen.addText(QRectF(kBodyWidth - 330, 6, 130, 14), QStringLiteral("Suma Total....."),
                    Fuente(8, true), Qt::AlignRight | Qt::AlignVCenter);
    resumen
        .addText(QRectF(kBodyWidth - 190, 6, 190, 14), QString(), Fuente(8, true),
                 Qt::AlignRight | Qt::AlignVCenter)
        .dynamicText = [this] { return Util().Importe(m_suma, SegundaMoneda); };
}

} // namespace quill::print
