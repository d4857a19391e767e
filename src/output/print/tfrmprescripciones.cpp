#include "output/print/tfrmprescripciones.h"

#include "queries/tdmprescripciones.h"
#include "sql/lstutil.h"

#include <cmath>

namespace quill::print {

namespace {

const QColor kPlata(192, 192, 192);
const int kDerecha = Qt::AlignRight | Qt::AlignVCenter;
const int kCentro = Qt::AlignHCenter | Qt::AlignVCenter;
constexpr qreal kFila = 14;

// A caption and its value on one line of a sheet; returns the value's item.
Item& rotulo(Band& b, qreal x, qreal y, qreal anchoRotulo, qreal anchoValor, const QString& texto) {
    b.addText(QRectF(x, y, anchoRotulo, kFila), texto, Fuente(8, true));
    return b.addText(QRectF(x + anchoRotulo + 2, y, anchoValor, kFila), QString(), Fuente(8));
}

// A measurement as the sheets print it: empty for null and the shop's "no value" markers.
QString medida(const QVariant& v, TLstUtil& u, bool graduacion) {
    if (v.isNull()) return {};
    const double d = v.toDouble();
    if (d == 98 || d == 400) return {};
    return graduacion ? u.Graduacion(v.toString()) : u.Decimal1(d);
}

// A stored text measurement; the "no value" marker prints blank.
QString textoMedida(const QVariant& v) {
    const QString t = v.toString().trimmed();
    bool ok = false;
    const double d = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok && (d == 98 || d == 400) ? QString() : t;
}

// Postal code, locality and province, the parts there are.
QString textoLocalidad(const QString& cp, const QString& localidad, const QString& provincia) {
    QString t = (cp + QLatin1Char(' ') + localidad).trimmed();
    if (!provincia.trimmed().isEmpty())
        t += QStringLiteral(" (") + provincia.trimmed() + QLatin1Char(')');
    return t;
}

QString eje(const QVariant& v) {
    if (v.isNull()) return {};
    const int e = v.toInt();
    return e == 98 || e == 400 ? QString() : QString::number(e) + QStringLiteral("º");
}

} // namespace

// ---- The patient block every sheet starts with ----

namespace {

struct BloquePaciente {
    Item *nombre, *ficha, *direccion, *localidad, *telefono, *fecha, *doctor;
};

BloquePaciente bloquePaciente(Band& b, qreal y) {
    b.addFrame(QRectF(0, y, kBodyWidth, 4 * kFila + 8), kPlata, 1);
    BloquePaciente p{};
    p.nombre = &rotulo(b, 6, y + 4, 60, 360, QStringLiteral("Paciente:"));
    p.ficha = &rotulo(b, 500, y + 4, 60, 150, QStringLiteral("Nº Ficha:"));
    p.direccion = &rotulo(b, 6, y + 4 + kFila, 60, 360, QStringLiteral("Dirección:"));
    p.telefono = &rotulo(b, 500, y + 4 + kFila, 60, 150, QStringLiteral("Teléfono:"));
    p.localidad = &rotulo(b, 6, y + 4 + 2 * kFila, 60, 360, QStringLiteral("Localidad:"));
    p.fecha = &rotulo(b, 500, y + 4 + 2 * kFila, 60, 150, QStringLiteral("Fecha:"));
    p.doctor = &rotulo(b, 6, y + 4 + 3 * kFila, 60, 600, QStringLiteral("Doctor:"));
    return p;
}

} // namespace

// ---- Spectacles and contact lenses ----

TfrmReportPrescripciones::TfrmReportPrescripciones(TdmPrescripciones& modulo,
                                                   const QString& conexion, bool castillaLaMancha)
    : InformeTabla(
          castillaLaMancha
              ? QStringLiteral("Listado de Prescripciones al Colegio de Castilla La Mancha")
              : QStringLiteral("Listado de Prescripciones Nacional"),
          conexion),
      m_modulo(modulo), m_castilla(castillaLaMancha) {
    TextoModo = QStringLiteral("Prescripción");
}

void TfrmReportPrescripciones::construir() {
    Filas(*m_modulo.memPrescripciones);
    const MemTable& t = *m_tabla;
    const auto f = [&t](const QString& n) { return t.fieldIndex(n); };
    Band& d = m_report.detail();
    d.height = 4 * kFila + 40;
    const BloquePaciente p = bloquePaciente(d, 0);
    Item& tipo = d.addText(QRectF(0, 4 * kFila + 14, kBodyWidth, 18), QString(),
                           Fuente(11, true, true), kCentro);
    d.beforePrint = [=, this, &tipo] {
        const int r = m_report.currentRow();
        return Proteger(
            "bndDetalleBeforePrint",
            [&] {
                p.ficha->text = TextoCodigo(Valor(r, Campo("Codigo")));
                p.nombre->text = Texto(r, Campo("NombreCompleto"));
                p.direccion->text = Texto(r, Campo("Direccion"));
                p.localidad->text =
                    textoLocalidad(Texto(r, Campo("CodigoPostal")), Texto(r, Campo("Localidad")),
                                   Texto(r, Campo("Provincia")));
                p.telefono->text =
                    TextoTelefono(Texto(r, Campo("Telefono")), Texto(r, Campo("Movil")));
                p.fecha->text = Texto(r, Campo("Fecha"));
                p.doctor->text = Texto(r, Campo("Doctor"));
                tipo.text = Texto(r, Campo("Tipo"));
                return true;
            },
            [&] { p.ficha->text = QStringLiteral("ERROR"); });
    };

    // Spectacles: one line per eye.
    // Each family's block is a band of its own that prints for its sheets only.
    const auto deTipo = [this](const QString& tipoHoja) {
        return [this, tipoHoja] {
            return Texto(m_report.currentRow(), Campo("Tipo")) == tipoHoja ? 1 : 0;
        };
    };
    SubDetail& sg = m_report.addSubDetail(5 * kFila + 10);
    sg.rowCount = deTipo(TdmPrescripciones::TipoGraduacion());
    Band& gafas = *sg.band;
    const QList<Columna> cg = {{60, 70, QStringLiteral("Lejos"), kDerecha},
                               {134, 70, QStringLiteral("Intermedia"), kDerecha},
                               {208, 70, QStringLiteral("Cerca"), kDerecha},
                               {282, 70, QStringLiteral("Cilindro"), kDerecha},
                               {356, 50, QStringLiteral("Eje"), kDerecha},
                               {410, 90, QStringLiteral("Prisma"), kDerecha},
                               {504, 60, QStringLiteral("A.V. s/c"), kDerecha},
                               {568, 60, QStringLiteral("A.V. c/c"), kDerecha},
                               {632, 86, QStringLiteral("Distancia"), kDerecha}};
    gafas.addText(QRectF(60, 0, 218, kFila), QStringLiteral("Esfera"), Fuente(8, true, true),
                  kCentro);
    gafas.addLine(QLineF(60, kFila, 278, kFila), kPlata, 1);
    for (const Columna& c : cg)
        gafas.addText(QRectF(c.x, kFila + 2, c.ancho, kFila), c.titulo, Fuente(8, true),
                      c.alineacion);
    QList<QList<Item*>> filasGafas;
    for (int ojo = 0; ojo < 2; ++ojo) {
        const qreal y = 2 * kFila + 6 + ojo * kFila;
        gafas.addText(QRectF(0, y, 50, kFila),
                      ojo == 0 ? QStringLiteral("OD") : QStringLiteral("OI"), Fuente(8, true));
        filasGafas.append(FilaTextos(gafas, cg, y, kFila, Fuente(8)));
    }
    Item& distanciaCerca =
        rotulo(gafas, 60, 4 * kFila + 8, 110, 200, QStringLiteral("Distancia Cerca OI:"));
    gafas.beforePrint = [=, this, &distanciaCerca] {
        const int r = m_report.currentRow();
        TLstUtil& u = Util();
        for (int ojo = 0; ojo < 2; ++ojo) {
            const QString o = ojo == 0 ? QStringLiteral("OD") : QStringLiteral("OI");
            const auto v = [&](const char* n) {
                const int i = f(o + QLatin1String(n));
                return i < 0 ? QVariant() : Valor(r, i);
            };
            const QStringList textos = {medida(v("EsferaLejos"), u, true),
                                        medida(v("EsferaMedia"), u, true),
                                        medida(v("EsferaCerca"), u, true),
                                        medida(v("Cilindro"), u, true),
                                        eje(v("Eje")),
                                        textoMedida(v("Prisma")),
                                        medida(v("SCLejos"), u, false),
                                        medida(v("CCLejos"), u, false),
                                        medida(v("DistanciaLejos"), u, false)};
            for (int i = 0; i < textos.size(); ++i)
                filasGafas[ojo][i]->text = textos[i];
        }
        distanciaCerca.text = medida(Valor(r, Campo("OIDistanciaCerca")), u, false);
        return true;
    };

    // Contact lenses: one line per eye.
    SubDetail& sl = m_report.addSubDetail(4 * kFila);
    sl.rowCount = deTipo(TdmPrescripciones::TipoLentilla());
    Band& lentillas = *sl.band;
    const QList<Columna> cl = {{60, 110, QStringLiteral("Radios")},
                               {174, 70, QStringLiteral("Diámetro"), kDerecha},
                               {250, 100, QStringLiteral("Zona Óptica")},
                               {354, 250, QStringLiteral("Tipo de Lentilla")},
                               {608, 110, QStringLiteral("Lote")}};
    for (const Columna& c : cl)
        lentillas.addText(QRectF(c.x, 0, c.ancho, kFila), c.titulo, Fuente(8, true), c.alineacion);
    lentillas.addLine(QLineF(60, kFila, kBodyWidth, kFila), kPlata, 1);
    QList<QList<Item*>> filasLentillas;
    for (int ojo = 0; ojo < 2; ++ojo) {
        const qreal y = kFila + 4 + ojo * kFila;
        lentillas.addText(QRectF(0, y, 50, kFila),
                          ojo == 0 ? QStringLiteral("OD") : QStringLiteral("OI"), Fuente(8, true));
        filasLentillas.append(FilaTextos(lentillas, cl, y, kFila, Fuente(8)));
    }
    lentillas.beforePrint = [=, this] {
        const int r = m_report.currentRow();
        TLstUtil& u = Util();
        for (int ojo = 0; ojo < 2; ++ojo) {
            const QString o = ojo == 0 ? QStringLiteral("OD") : QStringLiteral("OI");
            const auto v = [&](const char* n) {
                const int i = f(o + QLatin1String(n));
                return i < 0 ? QVariant() : Valor(r, i);
            };
            QString tipoLentilla = v("TipoLentilla").toString();
            if (tipoLentilla.isEmpty()) tipoLentilla = v("Descripcion").toString();
            const QStringList textos = {textoMedida(v("Radio")), medida(v("Diametro"), u, false),
                                        textoMedida(v("ZonaOptica")), tipoLentilla,
                                        v("Lote").toString()};
            for (int i = 0; i < textos.size(); ++i)
                filasLentillas[ojo][i]->text = textos[i];
        }
        return true;
    };

    // Notes, and the college's extra data.
    SubDetail& s = m_report.addSubDetail(m_castilla ? 6 * kFila : 2 * kFila);
    s.rowCount = [] { return 1; };
    // One page per prescription.
    s.newPageAfter = true;
    Item& obs = rotulo(*s.band, 0, 6, 90, 620, QStringLiteral("Observaciones:"));
    QList<Item*> extra;
    if (m_castilla) {
        extra = {
            &rotulo(*s.band, 0, 6 + kFila, 90, 200, QStringLiteral("F. Entrega")),
            &rotulo(*s.band, 300, 6 + kFila, 90, 320, QStringLiteral("Agente:")),
            &rotulo(*s.band, 0, 6 + 2 * kFila, 120, 590, QStringLiteral("Prescripción Óptica:")),
            &rotulo(*s.band, 0, 6 + 3 * kFila, 120, 590, QStringLiteral("Prescripción Doctor:")),
            &rotulo(*s.band, 0, 6 + 4 * kFila, 90, 200, QStringLiteral("Nº Lote OD:")),
            &rotulo(*s.band, 300, 6 + 4 * kFila, 40, 200, QStringLiteral("OI:"))};
    }
    s.band->beforePrint = [=, this, &obs] {
        const int r = m_report.currentRow();
        obs.text = Texto(r, Campo("Observaciones"));
        if (!extra.isEmpty()) {
            extra[0]->text = TextoFecha(Valor(r, Campo("FechaEntrega")));
            extra[1]->text = Texto(r, Campo("Agente"));
            extra[2]->text = Texto(r, Campo("Tipo"));
            extra[3]->text = Texto(r, Campo("Doctor"));
            extra[4]->text = Texto(r, Campo("ODLote"));
            extra[5]->text = Texto(r, Campo("OILote"));
        }
        return true;
    };
}

// ---- Hearing aids ----

const QList<int>& FrecuenciasAudiograma() {
    static const QList<int> f = {125, 250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000};
    return f;
}

void DibujarAudiograma(QPainter& p, const QRectF& caja, bool derecho, const QList<double>& aerea,
                       const QList<double>& osea) {
    const qreal escala = caja.height() / 300.0; // the chart drawn at any resolution
    QFont f = p.font();
    f.setPixelSize(std::max(1, int(std::lround(9 * escala))));
    p.setFont(f);
    const QRectF g = caja.adjusted(34 * escala, 16 * escala, -6 * escala, -18 * escala);
    const auto x = [&](double hz) { return g.left() + g.width() * std::log2(hz / 125.0) / 6.0; };
    const auto y = [&](double db) { return g.top() + g.height() * (db + 10.0) / 130.0; };
    const QColor color = derecho ? QColor(200, 0, 0) : QColor(0, 0, 200);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, 1.2 * escala));
    p.drawText(QRectF(caja.left(), caja.top(), caja.width(), 14 * escala), Qt::AlignCenter,
               derecho ? QStringLiteral("Oído Derecho") : QStringLiteral("Oído Izquierdo"));
    // Grid: every 10 dB, every frequency; labels at the octaves.
    p.setPen(QPen(QColor(170, 170, 170), 0.6 * escala));
    for (int db = -10; db <= 120; db += 10) {
        p.drawLine(QPointF(g.left(), y(db)), QPointF(g.right(), y(db)));
        p.drawText(QRectF(caja.left(), y(db) - 6 * escala, 30 * escala, 12 * escala),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(db));
    }
    for (int hz : FrecuenciasAudiograma()) {
        p.drawLine(QPointF(x(hz), g.top()), QPointF(x(hz), g.bottom()));
        if (hz == 750 || hz == 1500 || hz == 3000 || hz == 6000) continue;
        p.drawText(QRectF(x(hz) - 20 * escala, g.bottom() + 2 * escala, 40 * escala, 12 * escala),
                   Qt::AlignCenter,
                   hz >= 1000 ? QStringLiteral("%1k").arg(hz / 1000) : QString::number(hz));
    }
    p.setPen(QPen(Qt::black, 1.0 * escala));
    p.drawRect(g);
    p.drawText(QRectF(g.left(), g.bottom() + 13 * escala, g.width(), 10 * escala), Qt::AlignCenter,
               QStringLiteral("Hz"));
    p.drawText(QRectF(caja.left(), caja.top(), 30 * escala, 14 * escala), Qt::AlignLeft,
               QStringLiteral("dB"));
    // Air: joined symbols; bone: brackets, unjoined. 0 is a frequency not measured.
    const qreal r = 4.5 * escala;
    p.setPen(QPen(color, 1.4 * escala));
    p.setBrush(Qt::NoBrush);
    QPolygonF linea;
    const QList<int>& hz = FrecuenciasAudiograma();
    for (int i = 0; i < hz.size() && i < aerea.size(); ++i) {
        if (aerea[i] == 0) continue;
        const QPointF c(x(hz[i]), y(aerea[i]));
        linea << c;
        if (derecho) {
            p.drawEllipse(c, r, r);
        } else {
            p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
            p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
        }
    }
    p.drawPolyline(linea);
    for (int i = 0; i < hz.size() && i < osea.size(); ++i) {
        if (osea[i] == 0) continue;
        const QPointF c(x(hz[i]) + (derecho ? -2 : 2) * r, y(osea[i]));
        const qreal s = derecho ? 1 : -1; // "<" right ear, ">" left ear
        p.drawLine(c + QPointF(s * r, -r), c);
        p.drawLine(c, c + QPointF(s * r, r));
    }
}

TfrmPrescripcionesAudiometria::TfrmPrescripcionesAudiometria(TdmPrescripciones& modulo,
                                                             const QString& conexion, bool completo)
    : InformeTabla(
          completo ? QStringLiteral("Listado de Prescripciones de Audiometria - Formato Completo")
                   : QStringLiteral("Lsitado de Prescripciones de Audiometria"),
          conexion),
      m_modulo(modulo), m_completo(completo) {
    TextoModo = completo ? QStringLiteral("Completo") : QStringLiteral("Corto");
}

void TfrmPrescripcionesAudiometria::construir() {
    Filas(*m_modulo.memPresAudifono);
    const MemTable& t = *m_tabla;
    Band& d = m_report.detail();
    d.newPageAfter = true;
    const BloquePaciente p = bloquePaciente(d, 0);
    qreal y = 4 * kFila + 14;
    Item& audOD = rotulo(d, 0, y, 90, 300, QStringLiteral("Audífono OD:"));
    Item& audOI = rotulo(d, 0, y + kFila, 90, 300, QStringLiteral("Audífono OI:"));
    Item& adaptacion = rotulo(d, 420, y, 80, 200, QStringLiteral("Adaptación a"));
    Item& entrega = rotulo(d, 420, y + kFila, 80, 200, QStringLiteral("F. Entrega"));
    Item& obs = rotulo(d, 0, y + 2 * kFila, 40, 670, QStringLiteral("Obs.:"));
    y += 3 * kFila + 8;
    QList<Item*> modelo, serie;
    QList<QList<Item*>> valores; // [OD umbral, OD aerea, OD osea, OI ...][frequency]
    const QList<int>& hz = FrecuenciasAudiograma();
    if (m_completo) {
        modelo = {&rotulo(d, 0, y, 90, 250, QStringLiteral("Modelo OD:")),
                  &rotulo(d, 360, y, 90, 250, QStringLiteral("Modelo OI:"))};
        serie = {&rotulo(d, 0, y + kFila, 90, 250, QStringLiteral("Nº Serie OD:")),
                 &rotulo(d, 360, y + kFila, 90, 250, QStringLiteral("Nº Serie OI:"))};
        y += 2 * kFila + 8;
        const qreal ancho = (kBodyWidth - 110) / hz.size();
        for (int i = 0; i < hz.size(); ++i)
            d.addText(QRectF(110 + i * ancho, y, ancho, kFila), QString::number(hz[i]),
                      Fuente(7, true), kDerecha);
        d.addLine(QLineF(0, y + kFila, kBodyWidth, y + kFila), kPlata, 1);
        y += kFila + 2;
        for (const char* oido : {"OD", "OI"})
            for (const char* medidaAud : {"Umbral", "Aerea", "Osea"}) {
                d.addText(
                    QRectF(0, y, 108, 12),
                    QStringLiteral("%1 %2").arg(QLatin1String(oido), QLatin1String(medidaAud)),
                    Fuente(7, true));
                QList<Item*> fila;
                for (int i = 0; i < hz.size(); ++i)
                    fila.append(&d.addText(QRectF(110 + i * ancho, y, ancho, 12), QString(),
                                           Fuente(7), kDerecha));
                valores.append(fila);
                y += 12;
            }
        y += 8;
        // The two charts side by side.
        const qreal alto = 270, anchoGrafico = (kBodyWidth - 20) / 2;
        for (int oido = 0; oido < 2; ++oido) {
            d.addCustom(
                QRectF(oido * (anchoGrafico + 20), y, anchoGrafico, alto),
                [this, oido, &t](QPainter& painter, const QRectF& caja) {
                    const int r = m_report.currentRow();
                    const QString o = oido == 0 ? QStringLiteral("OD") : QStringLiteral("OI");
                    QList<double> aerea, osea;
                    for (int h : FrecuenciasAudiograma()) {
                        aerea << t.valueAt(r, o + QStringLiteral("Aerea") + QString::number(h))
                                     .toDouble();
                        osea << t.valueAt(r, o + QStringLiteral("Osea") + QString::number(h))
                                    .toDouble();
                    }
                    DibujarAudiograma(painter, caja, oido == 0, aerea, osea);
                });
        }
        y += alto + 6;
    }
    d.height = y;
    d.beforePrint = [=, this, &t, &audOD, &audOI, &adaptacion, &entrega, &obs] {
        const int r = m_report.currentRow();
        return Proteger(
            "bndDetalleBeforePrint",
            [&] {
                p.ficha->text = TextoCodigo(Valor(r, Campo("Codigo")));
                p.nombre->text = Texto(r, Campo("NombreCompleto"));
                p.direccion->text = Texto(r, Campo("Direccion"));
                p.localidad->text =
                    textoLocalidad(Texto(r, Campo("CodigoPostal")), Texto(r, Campo("Localidad")),
                                   Texto(r, Campo("Provincia")));
                p.telefono->text =
                    TextoTelefono(Texto(r, Campo("Telefono")), Texto(r, Campo("Movil")));
                p.fecha->text = Texto(r, Campo("Fecha"));
                p.doctor->text = Texto(r, Campo("Doctor"));
                audOD.text = Texto(r, Campo("ArticuloOd"));
                audOI.text = Texto(r, Campo("ArticuloOi"));
                const bool od = !audOD.text.isEmpty(), oi = !audOI.text.isEmpty();
                adaptacion.text = od && oi ? QStringLiteral("Ambos oídos")
                                  : od     ? QStringLiteral("Oído derecho")
                                  : oi     ? QStringLiteral("Oído izquierdo")
                                           : QString();
                entrega.text = TextoFecha(Valor(r, Campo("FechaEntrega")));
                obs.text = Texto(r, Campo("Observaciones"));
                if (!m_completo) return true;
                modelo[0]->text = Texto(r, Campo("ModeloOD"));
                modelo[1]->text = Texto(r, Campo("ModeloOI"));
                serie[0]->text = Texto(r, Campo("NSerieOD"));
                serie[1]->text = Texto(r, Campo("NSerieOI"));
                int n = 0;
                for (const char* oido : {"OD", "OI"})
                    for (const char* m : {"Umbral", "Aerea", "Osea"}) {
                        for (int i = 0; i < hz.size(); ++i) {
                            const QVariant v = t.valueAt(r, QLatin1String(oido) + QLatin1String(m) +
                                                                QString::number(hz[i]));
                            // Empty values print blank.
                            valores[n][i]->text = v.isNull() || v.toDouble() == 0
                                                      ? QString()
                                                      : QString::number(v.toDouble());
                        }
                        ++n;
                    }
                return true;
            },
            [&] { p.ficha->text = QStringLiteral("ERROR"); });
    };
}

} // namespace quill::print
