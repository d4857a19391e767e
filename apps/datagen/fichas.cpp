// The clinical records of one patient and the sales that go with them.

#include "catalog.h"
#include "generator_p.h"
#include "identity.h"

namespace quill::datagen {

using namespace detail;

namespace {

QString od(const char* c) {
    return QStringLiteral("OD_") + QLatin1String(c);
}
QString oi(const char* c) {
    return QStringLiteral("OI_") + QLatin1String(c);
}

// A sphere as the optometrist writes it; now and then the "neutral" (97) or "compensated" (99)
// codes, or nothing at all.
double esfera(Random& r, double valor) {
    switch (r.weighted({960, 12, 6, 22})) {
    case 1:
        return 97;
    case 2:
        return 99;
    case 3:
        return kSinDato;
    default:
        return valor;
    }
}

int edadEn(const QDate& nacimiento, const QDate& fecha) {
    return static_cast<int>(nacimiento.daysTo(fecha) / 365);
}

// The day a record was written, with the time the shop was open.
QVariant momento(Random& r, const QDate& d) {
    return tsAt(d, static_cast<int>(r.between(9 * 60 + 30, 20 * 60)));
}

} // namespace

void DemoGenerator::writeGraduaciones(Ficha& f, const Forzado* fz) {
    Random& r = f.r;
    const QDate& hoy = options_.hoy;
    switch (r.weighted({45, 25, 30})) {
    case 0: // myope
        f.esferaOD = -r.stepped(0.25, 8.0, 0.25);
        break;
    case 1: // hyperope
        f.esferaOD = r.stepped(0.25, 5.0, 0.25);
        break;
    default:
        f.esferaOD = r.stepped(-0.25, 0.25, 0.25);
        break;
    }
    f.esferaOI = f.esferaOD + r.stepped(-0.75, 0.75, 0.25);
    const bool astigmata = r.chance(0.55);
    const double cilOD = astigmata ? -r.stepped(0.25, 3.0, 0.25) : 0;
    const double cilOI = astigmata ? -r.stepped(0.25, 3.0, 0.25) : 0;
    const int ejeOD = static_cast<int>(r.between(0, 36)) * 5;
    const int ejeOI = static_cast<int>(r.between(0, 36)) * 5;

    TableWriter& m = writer(QStringLiteral("MGRADUACION"));
    TableWriter& d = writer(QStringLiteral("DGRADUACION"));
    const int n = fz ? 1 : cuantos(r, 0.45, 6);
    const auto fechas = fz ? std::vector<QDate>{fz->hecho} : fechasOrdenadas(r, n, f.primera, hoy);
    for (int k = 0; k < n; ++k) {
        const QDate fecha = fechas[k];
        const int edad = edadEn(f.nacimiento, fecha);
        const qint64 id = nextId(QStringLiteral("MGRADUACION"));
        f.visita(fecha);
        // Myopia grows a little from one record to the next.
        const double deriva = f.esferaOD < 0 ? -0.25 * k : 0;
        m.set(QStringLiteral("ID_MGRADUACION"), id);
        m.set(QStringLiteral("ID_PACIENTE"), f.id);
        m.set(QStringLiteral("NUMERO_FICHA"), ++f.numeroFicha[0]);
        m.set(QStringLiteral("FECHA"), momento(r, fecha));
        m.set(QStringLiteral("FECHA_REVISION"),
              ts(fz               ? fz->vence(kRevisionGraduacion)
                 : r.chance(0.85) ? fecha.addMonths(edad < 14 ? 6 : 12)
                                  : kVacia));
        m.set(QStringLiteral("ID_DOCTOR"),
              fz && fz->doctor >= 0 ? QVariant(fz->doctor)
                                    : idOVacio(r, static_cast<int>(r.between(1, doctores_)), 0.2));
        m.set(QStringLiteral("ID_AGENTE"),
              idOVacio(r, static_cast<int>(r.between(1, agentes_)), 0.25));
        m.set(QStringLiteral("ID_TIENDA"), idOVacio(r, f.tienda, 0.1));
        m.set(QStringLiteral("PROPIA_AJENA"), propiaAjena(r));
        m.set(QStringLiteral("AGUDEZA_VISUAL"),
              r.chance(0.5) ? r.stepped(0.8, 1.2, 0.1) : kSinDato);

        const bool presbita = edad >= 42;
        const double adicion =
            presbita ? std::min(3.5, 0.75 + 0.25 * std::floor((edad - 42) / 3.0)) : 0;
        m.set(QStringLiteral("ADICION_AMBOS_OJOS"), presbita && r.chance(0.6) ? adicion : kSinDato);
        const double lejos[2] = {esfera(r, f.esferaOD + deriva), esfera(r, f.esferaOI + deriva)};
        const double cil[2] = {cilOD, cilOI};
        const int eje[2] = {ejeOD, ejeOI};
        const bool medida = r.chance(0.7);
        const double dnp = r.stepped(29, 34, 0.5);
        for (int e = 0; e < 2; ++e) {
            auto col = e == 0 ? od : oi;
            // The right eye marks what was not entered with 400 in these columns, the left 98.
            const double vacio400 = e == 0 ? kSinDato400 : kSinDato;
            m.set(col("ESFERA_LEJOS"), lejos[e]);
            const bool cilindro = cil[e] != 0 || r.chance(0.65);
            m.set(col("CILINDRO"), cilindro ? cil[e] : kSinDato);
            m.set(col("EJE"), cilindro && cil[e] != 0 ? eje[e] : vacio400);
            m.set(col("ADICION"), presbita ? adicion : vacio400);
            const bool numerica = lejos[e] < 90;
            m.set(col("ESFERA_CERCA"), presbita && numerica ? lejos[e] + adicion : kSinDato);
            m.set(col("ESFERA_MEDIA"),
                  presbita && numerica && r.chance(0.3) ? lejos[e] + adicion / 2 : kSinDato);
            m.set(col("DISTANCIA_LEJOS"), medida ? dnp : vacio400);
            m.set(col("DISTANCIA_CERCA"), medida ? dnp - 1.5 : vacio400);
            m.set(col("AGUDEZA_VISUAL_SC"), r.chance(0.6) ? r.stepped(0.1, 1.0, 0.1) : kSinDato);
            m.set(col("AGUDEZA_VISUAL_CC"), r.chance(0.8) ? r.stepped(0.8, 1.2, 0.1) : kSinDato);
            m.set(col("TONOMETRIA"), r.chance(0.4) ? r.stepped(11, 21, 0.5) : kSinDato);
            m.set(col("PRISMA"), r.chance(0.03) ? QStringLiteral("%1 %2")
                                                      .arg(r.stepped(0.5, 3, 0.5))
                                                      .arg(r.chance(0.5) ? u8("BI") : u8("BE"))
                                                : QString());
            m.set(col("QUERATOMETRIA"), r.chance(0.2) ? queratometria(r) : QString());
        }
        m.add();

        // Guarantee lines: right lens, left lens and frame; some records have fewer.
        std::vector<int> ojos;
        switch (r.weighted({85, 9, 4, 2})) {
        case 0:
            ojos = {1, 2, 3};
            break;
        case 1:
            ojos = {1, 2};
            break;
        case 2:
            ojos = {r.chance(0.5) ? 3 : 1};
            break;
        default:
            break;
        }
        if (fz && fz->forma >= 0) {
            ojos = {1, 2, 3};
            ojos.resize(static_cast<std::size_t>(std::min(fz->forma, 3)));
        }
        int tipoGraduacion = 0;
        if (presbita)
            tipoGraduacion = std::array<int, 5>{3, 1, 2, 6, 5}[r.weighted({60, 20, 5, 8, 7})];
        else if (r.chance(0.15))
            tipoGraduacion = 4;
        const Articulo& cristal = articulo(r, Clase::Cristal);
        const Articulo& montura = articulo(r, tipoGraduacion == 4 ? Clase::Sol : Clase::Montura);
        std::vector<Linea> vendidas;
        for (int ojo : ojos) {
            const bool esMontura = ojo == 3;
            const Articulo& a = esMontura ? montura : cristal;
            const double importe = esMontura ? a.pvp : cents(a.pvp * (1 + r.between(0, 2) * 0.1));
            d.set(QStringLiteral("ID_DGRADUACION"), nextId(QStringLiteral("DGRADUACION")));
            d.set(QStringLiteral("ID_MGRADUACION"), id);
            d.set(QStringLiteral("OJO"), ojo);
            d.set(QStringLiteral("REFERENCIA"), a.referencia);
            d.set(QStringLiteral("DESCRIPCION"), a.descripcion);
            d.set(QStringLiteral("TIPO_GRADUACION"), esMontura ? 0 : tipoGraduacion);
            d.set(QStringLiteral("FECHA_GARANTIA"),
                  ts(fz               ? fz->vence(kGarantiaGraduacion)
                     : r.chance(0.95) ? fecha.addYears(esMontura ? 3 : 2)
                                      : kVacia));
            if (esMontura) {
                d.set(QStringLiteral("MODELO"), a.modelo);
                d.set(QStringLiteral("COLOR"), a.color);
                d.set(QStringLiteral("VARILLA"), QString::number(r.between(13, 15) * 10));
            } else {
                const int e = ojo - 1;
                d.set(QStringLiteral("ALTURA"), tipoGraduacion == 3 ? r.stepped(17, 24, 0.5) : 0.0);
                d.set(QStringLiteral("DIAMETRO"), static_cast<double>(r.between(13, 15) * 5));
                d.set(QStringLiteral("ESFERA"), lejos[e] < 90 ? lejos[e] : 0.0);
                d.set(QStringLiteral("CILINDRO"), cil[e]);
            }
            // The line keeps the treatments and brand of its article (ARTICULO holds them too).
            d.set(QStringLiteral("ID_TRATAMIENTO_1"),
                  esMontura ? QVariant(-1) : QVariant(1 + (a.tipo % 2)));
            d.set(QStringLiteral("ID_TRATAMIENTO_2"),
                  esMontura || r.chance(0.5) ? QVariant(-1) : QVariant(3));
            d.set(QStringLiteral("ID_TRATAMIENTO_3"),
                  esMontura || r.chance(0.8) ? QVariant(-1) : QVariant(6));
            d.set(QStringLiteral("ID_MARCA"), a.marca);
            d.set(QStringLiteral("IMPORTE"), a.pvp);
            d.set(QStringLiteral("IMPORTE_M1"), importe);
            d.set(QStringLiteral("IMPORTE_M2"), cents(importe * kCambioM2));
            d.add();
            vendidas.push_back({&a, a.referencia, a.descripcion, importe});
        }
        // Notes: some records have one, a few several (reports show only the first).
        int notas = 0;
        if (fz && fz->notas >= 0)
            notas = fz->notas;
        else
            for (double p = 0.3; r.chance(p); p = 0.2)
                ++notas;
        for (int i = 0; i < notas; ++i)
            writeNota(QStringLiteral("GOBSERVACIONES"), QStringLiteral("ID_MGRADUACION"), id,
                      u8(r.pick(notasGraduacion())));
        if (!vendidas.empty() && r.chance(0.85)) f.ventas.push_back({fecha, vendidas});
    }
}

void DemoGenerator::writeLentillas(Ficha& f, const Forzado* fz) {
    Random& r = f.r;
    const QDate& hoy = options_.hoy;
    f.tieneLentillas = true;
    TableWriter& m = writer(QStringLiteral("MLENTILLA"));
    TableWriter& d = writer(QStringLiteral("DLENTILLA"));
    const Articulo& lente = articulo(r, Clase::Lentilla);
    const int tipo = lente.tipo;
    const bool torica = tipo == 4;
    const bool multifocal = tipo == 5;
    const bool rigida = tipo == 6 || tipo == 7 || tipo == 8;
    // Months one box lasts: replacements fall due after it.
    const int meses = tipo == 1 ? 3 : tipo == 2 ? 3 : tipo == 8 ? 12 : 6;
    const double esferaBase = f.esferaOD != 0 ? f.esferaOD : -r.stepped(0.5, 6.0, 0.25);
    const int n = fz ? 1 : cuantos(r, 0.4, 4);
    // The latest fitting is recent enough for its replacement to fall around today.
    auto fechas = fz ? std::vector<QDate>{fz->hecho}
                     : fechasOrdenadas(r, n, std::max(f.primera, hoy.addYears(-8)), hoy);
    if (!fz) fechas.back() = std::min(hoy, std::max(fechas.back(), hoy.addMonths(-meses - 4)));
    for (int k = 0; k < n; ++k) {
        const QDate fecha = fechas[k];
        const qint64 id = nextId(QStringLiteral("MLENTILLA"));
        f.visita(fecha);
        m.set(QStringLiteral("ID_MLENTILLA"), id);
        m.set(QStringLiteral("ID_PACIENTE"), f.id);
        m.set(QStringLiteral("NUMERO_FICHA"), ++f.numeroFicha[1]);
        m.set(QStringLiteral("FECHA"), momento(r, fecha));
        if (fz) {
            m.set(QStringLiteral("FECHA_REVISION"), ts(fz->vence(kRevisionLentilla)));
            m.set(QStringLiteral("FECHA_LIMPIEZA"), ts(fz->vence(kLimpieza)));
            m.set(QStringLiteral("FECHA_CADUCIDAD"), ts(fz->vence(kCaducidad)));
            m.set(QStringLiteral("FECHA_REPOSICION"), ts(fz->vence(kReposicionLentilla)));
        } else {
            m.set(QStringLiteral("FECHA_REVISION"),
                  ts(r.chance(0.85) ? fecha.addMonths(6) : kVacia));
            m.set(QStringLiteral("FECHA_LIMPIEZA"),
                  ts(rigida && r.chance(0.8) ? fecha.addMonths(3) : kVacia));
            m.set(QStringLiteral("FECHA_CADUCIDAD"),
                  ts(r.chance(0.6) ? fecha.addYears(1) : kVacia));
            m.set(QStringLiteral("FECHA_REPOSICION"),
                  ts(r.chance(0.92) ? fecha.addMonths(meses).addDays(r.between(-5, 5)) : kVacia));
        }
        m.set(QStringLiteral("ID_DOCTOR"),
              fz && fz->doctor >= 0 ? QVariant(fz->doctor)
                                    : idOVacio(r, static_cast<int>(r.between(1, doctores_)), 0.2));
        m.set(QStringLiteral("ID_AGENTE"),
              idOVacio(r, static_cast<int>(r.between(1, agentes_)), 0.25));
        m.set(QStringLiteral("ID_TIENDA"), idOVacio(r, f.tienda, 0.1));
        m.set(QStringLiteral("PROPIA_AJENA"), propiaAjena(r));
        m.set(QStringLiteral("LIQUIDOS"),
              r.chance(0.6) ? u8(r.pick({"Solución única", "Peróxido", "Solución única y lágrimas",
                                         "No usa (diarias)"}))
                            : QString());
        const double sph[2] = {esfera(r, esferaBase),
                               esfera(r, esferaBase + r.stepped(-0.5, 0.5, 0.25))};
        for (int e = 0; e < 2; ++e) {
            auto col = e == 0 ? od : oi;
            m.set(col("ESFERA"), sph[e]);
            const double cil =
                torica ? -r.stepped(0.75, 2.25, 0.5) : (r.chance(0.3) ? 0.0 : kSinDato);
            m.set(col("CILINDRO"), cil);
            m.set(col("EJE"), torica ? static_cast<double>(r.between(1, 18) * 10)
                                     : (e == 0 ? kSinDato400 : kSinDato));
            m.set(col("ADICION"), multifocal ? r.stepped(1.0, 2.5, 0.25) : kSinDato);
            m.set(col("DIAMETRO"), rigida ? r.stepped(9.2, 10.2, 0.1) : r.stepped(13.8, 14.5, 0.1));
            m.set(col("ZONA_OPTICA"), rigida ? r.stepped(7.8, 8.6, 0.1) : kSinDato);
            m.set(col("AGUDEZA_VISUAL_CC"), r.chance(0.85) ? r.stepped(0.8, 1.2, 0.1) : kSinDato);
            m.set(col("ABERTURA_PARPEBRAL"), r.chance(0.4) ? r.stepped(8, 11, 0.5) : kSinDato);
            m.set(col("DIAMETRO_PUPILAR"), r.chance(0.4) ? r.stepped(3, 6, 0.5) : kSinDato);
            m.set(col("DIAMETRO_IRIS"), r.chance(0.4) ? r.stepped(11, 12.5, 0.1) : kSinDato);
            m.set(col("RADIO_1"), radio(r));
            m.set(col("RADIO_2"), torica || rigida ? radio(r) : QString());
            m.set(col("QUERATOMETRIA"), r.chance(0.5) ? queratometria(r) : QString());
        }
        m.add();

        // Lenses: both eyes as a rule; now and then one eye, each eye from its own supplier
        // (a power one brand does not make), or a fitting still without lenses chosen.
        const Lentes forma =
            fz && fz->forma >= 0
                ? static_cast<Lentes>(fz->forma)
                : std::array<Lentes, 5>{Lentes::AmbosOjos, Lentes::SoloDerecho,
                                        Lentes::SoloIzquierdo, Lentes::DosProveedores,
                                        Lentes::SinLineas}[r.weighted({84, 5, 5, 3, 3})];
        std::vector<int> ojos = {1, 2};
        if (forma == Lentes::SoloDerecho)
            ojos = {1};
        else if (forma == Lentes::SoloIzquierdo)
            ojos = {2};
        else if (forma == Lentes::SinLineas)
            ojos.clear();
        const Articulo& izquierda =
            forma == Lentes::DosProveedores ? otroProveedor(r, lente) : lente;
        std::vector<Linea> vendidas;
        for (int ojo : ojos) {
            const Articulo& a = ojo == 2 ? izquierda : lente;
            // A reference typed by hand or of a discontinued lens has no article.
            const bool huerfana = r.chance(0.04) || (forma == Lentes::SinArticulo && ojo == 1);
            const QString referencia =
                huerfana ? QStringLiteral("LC-ANT-%1").arg(r.between(100, 999)) : a.referencia;
            const double importe = a.pvp * (tipo == 1 ? 3 : 2);
            d.set(QStringLiteral("ID_DLENTILLA"), nextId(QStringLiteral("DLENTILLA")));
            d.set(QStringLiteral("ID_MLENTILLA"), id);
            d.set(QStringLiteral("OJO"), ojo);
            d.set(QStringLiteral("REFERENCIA"), referencia);
            d.set(QStringLiteral("DESCRIPCION"), a.descripcion);
            d.set(QStringLiteral("ID_TLENTILLA"), idOVacio(r, tipo, 0.03));
            d.set(QStringLiteral("LOTE"),
                  r.chance(0.7) ? QStringLiteral("L%1").arg(r.between(100000, 999999)) : QString());
            d.set(QStringLiteral("FECHA_GARANTIA"), ts(fz ? fz->vence(kGarantiaLentilla)
                                                       : r.chance(0.7) ? fecha.addMonths(6)
                                                                       : kVacia));
            d.set(QStringLiteral("RADIO_1"), radio(r));
            d.set(QStringLiteral("RADIO_2"), torica ? radio(r) : QString());
            d.set(QStringLiteral("COLOR"), r.chance(0.05) ? u8("Azul") : QString());
            d.set(QStringLiteral("DIAMETRO"), rigida ? 9.6 : 14.2);
            d.set(QStringLiteral("ESFERA"), sph[ojo - 1] < 90 ? sph[ojo - 1] : 0.0);
            d.set(QStringLiteral("IMPORTE_M1"), cents(importe));
            d.set(QStringLiteral("IMPORTE_M2"), cents(importe * kCambioM2));
            d.add();
            vendidas.push_back(
                {huerfana ? nullptr : &a, referencia, a.descripcion, cents(importe)});
        }
        const int notas = fz && fz->notas >= 0 ? fz->notas : r.chance(0.25) ? 1 : 0;
        for (int i = 0; i < notas; ++i)
            writeNota(QStringLiteral("LOBSERVACIONES"), QStringLiteral("ID_MLENTILLA"), id,
                      u8(r.pick(notasLentillas())));
        if (!vendidas.empty() && r.chance(0.8)) {
            if (r.chance(0.5)) {
                const Articulo& liquido = articulo(r, Clase::Liquido);
                vendidas.push_back(
                    {&liquido, liquido.referencia, liquido.descripcion, liquido.pvp});
            }
            f.ventas.push_back({fecha, vendidas});
        }
    }
}

void DemoGenerator::writeAudifonos(Ficha& f, const Forzado* fz) {
    Random& r = f.r;
    const QDate& hoy = options_.hoy;
    f.tieneAudifonos = true;
    TableWriter& m = writer(QStringLiteral("MAUDIFONO"));
    TableWriter& d = writer(QStringLiteral("DAUDIFONO"));
    static constexpr int kHz[] = {125, 250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000};
    // Hearing loss of the patient: a base that grows towards the high frequencies.
    const int base[2] = {static_cast<int>(r.between(15, 45)), static_cast<int>(r.between(15, 45))};
    const int pendiente = static_cast<int>(r.between(2, 7));
    const int n = fz ? 1 : cuantos(r, 0.3, 3);
    const auto fechas = fz ? std::vector<QDate>{fz->hecho}
                           : fechasOrdenadas(r, n, std::max(f.primera, hoy.addYears(-12)), hoy);
    for (int k = 0; k < n; ++k) {
        const QDate fecha = fechas[k];
        const qint64 id = nextId(QStringLiteral("MAUDIFONO"));
        f.visita(fecha);
        const bool adaptado = fz || r.chance(0.9);
        const QDate adaptacion = fz ? fz->vence(kAdaptacion) : fecha.addDays(r.between(7, 30));
        m.set(QStringLiteral("ID_MAUDIFONO"), id);
        m.set(QStringLiteral("ID_PACIENTE"), f.id);
        m.set(QStringLiteral("NUMERO_FICHA"), ++f.numeroFicha[2]);
        m.set(QStringLiteral("FECHA"), momento(r, fecha));
        m.set(QStringLiteral("FECHA_REVISION"), ts(fz         ? fz->vence(kRevisionAudifono)
                                                   : adaptado ? adaptacion.addMonths(1)
                                                              : kVacia));
        m.set(QStringLiteral("FECHA_PROXIMA_REVISION"),
              ts(fz               ? fz->vence(kProximaRevisionAudifono)
                 : r.chance(0.85) ? fecha.addMonths(r.chance(0.5) ? 6 : 12)
                                  : kVacia));
        m.set(QStringLiteral("FECHA_AEREA"), ts(fecha));
        m.set(QStringLiteral("FECHA_OSEA"), ts(fz || r.chance(0.7) ? fecha : kVacia));
        m.set(QStringLiteral("FECHA_ADAPTACION"), ts(adaptado ? adaptacion : kVacia));
        m.set(QStringLiteral("ID_DOCTOR_EXAMINA"),
              idOVacio(r, static_cast<int>(r.between(4, doctores_)), 0.15));
        // Fitted by the shop's audiologists; the second one has no registration number.
        m.set(QStringLiteral("ID_DOCTOR_ADAPTA"), fz && fz->doctor >= 0
                                                      ? QVariant(fz->doctor)
                                                      : idOVacio(r, r.chance(0.75) ? 5 : 8, 0.2));
        m.set(QStringLiteral("ID_AGENTE"),
              idOVacio(r, static_cast<int>(r.between(1, agentes_)), 0.3));
        m.set(QStringLiteral("ID_TIENDA"), idOVacio(r, f.tienda, 0.1));
        m.set(QStringLiteral("PROPIA_AJENA"), propiaAjena(r));
        m.set(QStringLiteral("OD_HAIC"), static_cast<double>(r.between(0, 100)));
        m.set(QStringLiteral("OI_HAIC"), static_cast<double>(r.between(0, 100)));
        // Audiogram in dB, multiples of 5; 1500 and 3000 Hz are often skipped (0).
        const bool intermedias = r.chance(0.4);
        for (int e = 0; e < 2; ++e) {
            const char* ear = e == 0 ? "OD" : "OI";
            for (int i = 0; i < 11; ++i) {
                const int hz = kHz[i];
                const bool medida = intermedias || (hz != 1500 && hz != 3000);
                const int aerea = std::min(
                    120,
                    (base[e] + pendiente * i + 5 * k + static_cast<int>(r.between(-5, 5))) / 5 * 5);
                const int osea = std::max(0, aerea - static_cast<int>(r.between(0, 3)) * 5);
                const int umbral = static_cast<int>(r.between(17, 22)) * 5;
                m.set(QStringLiteral("%1_AEREA_%2").arg(QLatin1String(ear)).arg(hz),
                      medida ? aerea : 0);
                m.set(QStringLiteral("%1_OSEA_%2").arg(QLatin1String(ear)).arg(hz),
                      medida ? osea : 0);
                m.set(QStringLiteral("%1_UMBRAL_%2").arg(QLatin1String(ear)).arg(hz),
                      medida ? umbral : 0);
            }
        }
        m.add();

        std::vector<int> oidos;
        if (adaptado) {
            const Oidos forma = fz && fz->forma >= 0 ? static_cast<Oidos>(fz->forma)
                                                     : static_cast<Oidos>(r.weighted({70, 15, 15}));
            switch (forma) {
            case Oidos::Ambos:
                oidos = {1, 2};
                break;
            case Oidos::SoloDerecho:
                oidos = {1};
                break;
            case Oidos::SoloIzquierdo:
                oidos = {2};
                break;
            }
        }
        const Articulo& aparato = articulo(r, Clase::Audifono);
        std::vector<Linea> vendidas;
        for (int oido : oidos) {
            d.set(QStringLiteral("ID_DAUDIFONO"), nextId(QStringLiteral("DAUDIFONO")));
            d.set(QStringLiteral("ID_MAUDIFONO"), id);
            d.set(QStringLiteral("OIDO"), oido);
            d.set(QStringLiteral("REFERENCIA"), aparato.referencia);
            d.set(QStringLiteral("DESCRIPCION"), aparato.descripcion);
            d.set(QStringLiteral("NUMERO_SERIE"), QStringLiteral("%1%2")
                                                      .arg(aparato.modelo.left(2))
                                                      .arg(r.between(1000000, 9999999)));
            d.set(QStringLiteral("MODELO"), aparato.modelo);
            d.set(QStringLiteral("PILA"),
                  aparato.tipo == 3 ? u8("Recargable") : u8(r.pick({"10", "13", "312", "675"})));
            d.set(QStringLiteral("MOLDE"),
                  r.chance(0.5) ? u8(r.pick({"Silicona", "Acrílico", "Cápsula abierta"}))
                                : QString());
            d.set(QStringLiteral("GARANTIA"), ts(fz               ? fz->vence(kGarantiaAudifono)
                                                 : r.chance(0.95) ? adaptacion.addYears(3)
                                                                  : kVacia));
            d.set(QStringLiteral("ID_MARCA"), aparato.marca);
            d.set(QStringLiteral("COLOR"), aparato.color);
            d.set(QStringLiteral("IMPORTE_M1"), aparato.pvp);
            d.set(QStringLiteral("IMPORTE_M2"), cents(aparato.pvp * kCambioM2));
            d.add();
            vendidas.push_back({&aparato, aparato.referencia, aparato.descripcion, aparato.pvp});
        }
        int notas = 0;
        if (fz && fz->notas >= 0)
            notas = fz->notas;
        else
            for (double p = 0.4; r.chance(p); p = 0.3)
                ++notas;
        for (int i = 0; i < notas; ++i)
            writeNota(QStringLiteral("AOBSERVACIONES"), QStringLiteral("ID_MAUDIFONO"), id,
                      u8(r.pick(notasAudifono())));
        if (!vendidas.empty() && r.chance(0.9))
            f.ventas.push_back({adaptacion <= hoy ? adaptacion : fecha, vendidas});
    }
}

void DemoGenerator::writeOptometria(Ficha& f, const Forzado* fz) {
    Random& r = f.r;
    TableWriter& w = writer(QStringLiteral("OPTOMETRIA"));
    const int n = fz ? 1 : cuantos(r, 0.25, 3);
    const auto fechas =
        fz ? std::vector<QDate>{fz->hecho} : fechasOrdenadas(r, n, f.primera, options_.hoy);
    auto normal = [&](std::initializer_list<const char*> otros) {
        return r.chance(0.8)
                   ? u8("Normal")
                   : u8(r.pick(std::span<const char* const>(otros.begin(), otros.size())));
    };
    for (int k = 0; k < n; ++k) {
        const QDate fecha = fechas[k];
        f.visita(fecha);
        w.set(QStringLiteral("ID_OPTOMETRIA"), nextId(QStringLiteral("OPTOMETRIA")));
        w.set(QStringLiteral("ID_PACIENTE"), f.id);
        w.set(QStringLiteral("NUMERO_FICHA"), ++f.numeroFicha[3]);
        w.set(QStringLiteral("ID_TIENDA"), idOVacio(r, f.tienda, 0.1));
        w.set(QStringLiteral("FECHA_EX_MEDICO"),
              ts(fz              ? fecha
                 : r.chance(0.3) ? fecha.addDays(-r.between(10, 300))
                                 : kVacia));
        w.set(QStringLiteral("FECHA_EX_OPTICO"), momento(r, fecha));
        w.set(QStringLiteral("ID_DOCTOR_EX_MEDICO"),
              idOVacio(r, static_cast<int>(r.between(6, doctores_)), 0.6));
        w.set(QStringLiteral("ID_DOCTOR_EX_OPTICO"),
              idOVacio(r, static_cast<int>(r.between(1, 4)), 0.1));
        w.set(QStringLiteral("QUEJA_PRINCIPAL"), u8(r.pick(quejasOptometria())));
        w.set(QStringLiteral("MEDICAMENTOS"),
              r.chance(0.3) ? u8(r.pick({"ANTIHIPERTENSIVOS", "METFORMINA", "ANTIHISTAMÍNICOS",
                                         "ESTATINAS", "ANTICOAGULANTES"}))
                            : QString());
        w.set(QStringLiteral("ALERGIAS"),
              r.chance(0.15) ? u8(r.pick({"PENICILINA", "POLEN", "ÁCAROS", "NÍQUEL"})) : QString());
        w.set(QStringLiteral("HISTORIAL_FAMILIA"),
              r.chance(0.25)
                  ? u8(r.pick({"GLAUCOMA", "DIABETES", "DMAE", "ESTRABISMO", "MIOPÍA ALTA"}))
                  : QString());
        const double sph = f.esferaOD != 0 ? f.esferaOD : r.stepped(-3, 2, 0.25);
        for (int e = 0; e < 2; ++e) {
            auto col = e == 0 ? od : oi;
            const double s = sph + (e ? r.stepped(-0.5, 0.5, 0.25) : 0.0);
            const double c = r.chance(0.5) ? -r.stepped(0.25, 2, 0.25) : 0.0;
            w.set(col("ESFERA_LEJOS"), s);
            w.set(col("ESFERA_CERCA"), f.edad >= 42 ? s + 1.5 : 0.0);
            w.set(col("CILINDRO"), c);
            w.set(col("EJE"), c != 0 ? static_cast<double>(r.between(0, 36) * 5) : 0.0);
            w.set(col("ADICION"), f.edad >= 42 ? r.stepped(0.75, 3, 0.25) : 0.0);
            w.set(col("AGUDEZA_VISUAL_SC"), r.stepped(0.1, 1.0, 0.1));
            w.set(col("AGUDEZA_VISUAL_CC"), r.stepped(0.8, 1.2, 0.1));
            w.set(col("TONOMETRIA"), r.stepped(11, 22, 0.5));
            w.set(col("QUERATOMETRIA"), r.chance(0.5) ? queratometria(r) : QString());
            w.set(col("REF_ANTERIOR"), QStringLiteral("%1 %2").arg(s, 0, 'f', 2).arg(c, 0, 'f', 2));
            w.set(col("REF_FINAL"),
                  QStringLiteral("%1 %2").arg(s - 0.25, 0, 'f', 2).arg(c, 0, 'f', 2));
            w.set(QStringLiteral("PRE_") + col("SC_LEJOS"), r.stepped(0.1, 1.0, 0.1));
            w.set(QStringLiteral("PRE_") + col("CC_LEJOS"), r.stepped(0.8, 1.2, 0.1));
            w.set(QStringLiteral("PRE_") + col("COLOR"),
                  r.chance(0.95) ? u8("Normal (Ishihara)") : u8("Deuteranomalía"));
            w.set(QStringLiteral("TR_") + col("SUB_ESFERA"), s);
            w.set(QStringLiteral("TR_") + col("SUB_CILINDRO"), c);
            w.set(QStringLiteral("TR_") + col("SUB_EJE"),
                  c != 0 ? static_cast<double>(r.between(0, 36) * 5) : 0.0);
            w.set(QStringLiteral("TR_") + col("SUB_AV"),
                  QStringLiteral("%1").arg(r.stepped(0.8, 1.2, 0.1), 0, 'f', 1));
            w.set(QStringLiteral("BI_") + col("CORNEA"),
                  normal({"Transparente", "Queratitis punteada"}));
            w.set(QStringLiteral("BI_") + col("CRISTALINO"),
                  f.edad > 65 ? u8(r.pick({"Catarata incipiente", "Transparente", "Pseudofaquia"}))
                              : u8("Transparente"));
            w.set(QStringLiteral("BI_") + col("BUT"), QStringLiteral("%1 s").arg(r.between(4, 15)));
            w.set(QStringLiteral("OF_") + col("PAPILA_COLOR"), normal({"Pálida", "Sonrosada"}));
            w.set(QStringLiteral("OF_") + col("MAC_FIJ"), normal({"Central", "Excéntrica"}));
            w.set(QStringLiteral("TA_") + col("PIO"),
                  QStringLiteral("%1 mmHg").arg(r.between(11, 22)));
        }
        w.set(QStringLiteral("AV_BINOCULAR"), r.stepped(0.8, 1.2, 0.1));
        w.set(QStringLiteral("PRE_SEGUIMIENTOS"), u8("Suaves y completos"));
        w.set(QStringLiteral("PRE_SACADICOS"), normal({"Hipométricos"}));
        w.set(QStringLiteral("PRE_PIRRLA"), u8("PIRRLA"));
        w.set(QStringLiteral("PRE_COVER_LEJOS_SC"), normal({"Exoforia 2", "Endoforia 2"}));
        w.set(QStringLiteral("PRE_COVER_CERCA_SC"), normal({"Exoforia 6", "Ortoforia"}));
        w.set(QStringLiteral("PRE_PPC"), QStringLiteral("%1 cm").arg(r.between(5, 12)));
        w.set(QStringLiteral("PRE_ESTEREOPSIS"),
              QStringLiteral("%1\"").arg(r.pick({40, 60, 100, 200})));
        w.set(QStringLiteral("PRE_WORTH"), u8("Fusión"));
        w.set(QStringLiteral("TB_FORIA_LEJOS_SC"), QStringLiteral("%1 exo").arg(r.between(0, 3)));
        w.set(QStringLiteral("TB_FORIA_CERCA_SC"), QStringLiteral("%1 exo").arg(r.between(0, 8)));
        w.set(QStringLiteral("TB_ARN"),
              QStringLiteral("+%1").arg(r.stepped(1.5, 2.5, 0.25), 0, 'f', 2));
        w.set(QStringLiteral("TB_ARP"),
              QStringLiteral("-%1").arg(r.stepped(1.0, 3.0, 0.25), 0, 'f', 2));
        // The six notes of an examination; most stay empty.
        w.set(QStringLiteral("TR_OBSERVACIONES"),
              r.chance(0.3) ? u8("Acepta bien la graduación final.") : QString());
        w.set(QStringLiteral("TB_OBSERVACIONES"),
              r.chance(0.2) ? u8("Insuficiencia de convergencia leve.") : QString());
        w.set(QStringLiteral("BI_OBSERVACIONES"),
              r.chance(0.3) ? u8("Ojo seco leve, menisco lagrimal bajo.") : QString());
        w.set(QStringLiteral("OF_OBSERVACIONES"),
              r.chance(0.2) ? u8("Fondo de ojo sin alteraciones.") : QString());
        w.set(QStringLiteral("TA_FECHA_REVISION"), ts(fz ? fz->vence(kRevisionOptometria)
                                                      : r.chance(0.7) ? fecha.addYears(1)
                                                                      : kVacia));
        w.set(QStringLiteral("TA_CONCLUSIONES"),
              r.chance(0.5)
                  ? u8("Revisión anual. Dolor de cabeza resuelto con la nueva graduación.")
                  : QString());
        w.set(QStringLiteral("TA_OBSERVACIONES"),
              r.chance(0.2) ? u8("Se deriva al oftalmólogo para valoración.") : QString());
        w.add();
    }
}

void DemoGenerator::writeBajaVision(Ficha& f, const Forzado* fz) {
    Random& r = f.r;
    TableWriter& w = writer(QStringLiteral("MOREDUCIDA"));
    const int n = fz ? 1 : cuantos(r, 0.3, 3);
    const auto fechas =
        fz ? std::vector<QDate>{fz->hecho} : fechasOrdenadas(r, n, f.primera, options_.hoy);
    for (int k = 0; k < n; ++k) {
        const QDate fecha = fechas[k];
        const qint64 id = nextId(QStringLiteral("MOREDUCIDA"));
        f.visita(fecha);
        w.set(QStringLiteral("ID_MREDUCIDA"), id);
        w.set(QStringLiteral("ID_PACIENTE"), f.id);
        w.set(QStringLiteral("NUMERO_FICHA"), ++f.numeroFicha[4]);
        w.set(QStringLiteral("FECHA"), momento(r, fecha));
        w.set(QStringLiteral("FECHA_REVISION"), ts(fz              ? fz->vence(kRevisionBajaVision)
                                                   : r.chance(0.8) ? fecha.addMonths(6)
                                                                   : kVacia));
        w.set(QStringLiteral("ID_TIENDA"), idOVacio(r, f.tienda, 0.15));
        w.add();
        if (r.chance(0.7))
            writeNota(QStringLiteral("OROBSERVACIONES"), QStringLiteral("ID_MREDUCIDA"), id,
                      u8(r.pick(notasBajaVision())));
        if (r.chance(0.5)) {
            const Articulo& lupa = articulo(r, Clase::Lupa);
            f.ventas.push_back({fecha, {{&lupa, lupa.referencia, lupa.descripcion, lupa.pvp}}});
        }
    }
}

void DemoGenerator::writeReposiciones(Ficha& f, const Forzado* fz) {
    Random& r = f.r;
    const QDate& hoy = options_.hoy;
    TableWriter& w = writer(QStringLiteral("REPOSICION"));
    const int n = fz ? 1 : cuantos(r, 0.5, 5);
    // Family of the record replaced: 2 lenses, 3 audiometry, 1 prescription.
    const int tipo = f.tieneLentillas ? 2 : f.tieneAudifonos ? 3 : 1;
    for (int k = 0; k < n; ++k) {
        // Past ones and a few announced for the coming weeks.
        const QDate fecha = fz ? fz->vence(kReposicion)
                               : r.date(std::max(f.primera, hoy.addYears(-3)), hoy.addDays(60));
        if (fecha <= hoy) f.visita(fecha);
        const int tipoReposicion = static_cast<int>(r.weighted({20, 25, 55}));
        const double importe = tipoReposicion == 2 ? cents(r.between(20, 90) + 0.5) : 0.0;
        w.set(QStringLiteral("ID_REPOSICION"), nextId(QStringLiteral("REPOSICION")));
        w.set(QStringLiteral("ID_PACIENTE"), f.id);
        w.set(QStringLiteral("NUMERO_FICHA"), ++f.numeroFicha[5]);
        w.set(QStringLiteral("FECHA"), ts(fz || r.chance(0.95) ? fecha : kVacia));
        w.set(QStringLiteral("TIPO_REPOSICION"), tipoReposicion);
        w.set(QStringLiteral("TIPO"), r.chance(0.9) ? tipo : static_cast<int>(r.between(1, 3)));
        w.set(QStringLiteral("IMPORTE_M1"), importe);
        w.set(QStringLiteral("IMPORTE_M2"), cents(importe * kCambioM2));
        w.set(QStringLiteral("OBSERVACIONES"),
              r.chance(0.6)
                  ? u8(r.pick({"Caja de 6 unidades por ojo.", "Avisado por SMS.", "Recoge su hija.",
                               "Cambio de pila y limpieza.", "Pendiente de confirmar graduación."}))
                  : QString());
        w.add();
    }
}

void DemoGenerator::writeVentas(Ficha& f) {
    Random& r = f.r;
    const QDate& hoy = options_.hoy;
    // The orders of the records: finished, still pending when recent, now and then deleted.
    for (Ficha::Venta& v : f.ventas) {
        const qint64 dias = v.fecha.daysTo(hoy);
        int tipo = 1;
        if (r.chance(0.03))
            tipo = 3;
        else if (dias < 40 || r.chance(0.03))
            tipo = 2;
        // Now and then a promotion at a round price: the lines share it, without discount.
        if (r.chance(0.04)) {
            const double precio = r.pick({100.0, 150.0, 200.0, 300.0, 500.0});
            double antes = 0;
            for (const Linea& l : v.lineas)
                antes += l.importe;
            double resto = precio;
            for (std::size_t i = 0; i + 1 < v.lineas.size(); ++i) {
                v.lineas[i].importe = cents(v.lineas[i].importe * precio / std::max(antes, 0.01));
                resto -= v.lineas[i].importe;
            }
            v.lineas.back().importe = cents(resto);
            const VentaFija promocion;
            writeVenta(f, r, v.fecha, tipo, v.lineas, &promocion);
            continue;
        }
        writeVenta(f, r, v.fecha, tipo, v.lineas);
    }
    // Counter sales: liquids, batteries, sunglasses, accessories. A few regular customers come
    // for small things every few weeks.
    int extra = static_cast<int>(r.weighted({35, 35, 20, 10}));
    const bool habitual = r.chance(0.01);
    if (habitual) extra += static_cast<int>(r.between(12, 24));
    for (int i = 0; i < extra; ++i) {
        Clase clase = Clase::Accesorio;
        if (f.tieneLentillas && r.chance(0.6))
            clase = Clase::Liquido;
        else if (f.tieneAudifonos && r.chance(0.6))
            clase = Clase::Pila;
        else if (r.chance(habitual ? 0.5 : 0.4))
            clase = habitual ? Clase::Liquido : Clase::Sol;
        const Articulo& a = articulo(r, clase);
        const int unidades =
            clase == Clase::Liquido || clase == Clase::Pila ? static_cast<int>(r.between(1, 3)) : 1;
        const QDate fecha =
            r.date(habitual ? std::max(f.primera, hoy.addYears(-2)) : f.primera, hoy);
        f.visita(fecha);
        writeVenta(f, r, fecha, 0, {{&a, a.referencia, a.descripcion, cents(a.pvp * unidades)}});
    }
}

void DemoGenerator::writeVenta(Ficha& f, Random& r, const QDate& fecha, int tipoOperacion,
                               const std::vector<Linea>& lineas, const VentaFija* fija) {
    const QDate& hoy = options_.hoy;
    TableWriter& m = writer(QStringLiteral("MVENTA"));
    TableWriter& d = writer(QStringLiteral("DVENTA"));
    TableWriter& c = writer(QStringLiteral("COBRO"));
    const qint64 id = nextId(QStringLiteral("MVENTA"));
    const double descuento =
        !fija && r.chance(0.2) ? static_cast<double>(r.pick({5, 10, 15, 20})) : 0.0;
    const int agente = static_cast<int>(r.between(1, agentes_));
    const int tienda = f.tienda;
    double total = 0;
    for (const Linea& l : lineas) {
        d.set(QStringLiteral("ID_DVENTA"), nextId(QStringLiteral("DVENTA")));
        d.set(QStringLiteral("ID_MVENTA"), id);
        d.set(QStringLiteral("REFERENCIA"), l.referencia);
        d.set(QStringLiteral("DESCRIPCION"), l.descripcion);
        d.set(QStringLiteral("UNIDADES"), 1.0);
        d.set(QStringLiteral("PORCENTAJE_DESCUENTO"), descuento);
        const double importe = cents(l.importe * (1 - descuento / 100));
        total += importe;
        d.set(QStringLiteral("IMPORTE_M1"), importe);
        d.set(QStringLiteral("IMPORTE_M2"), cents(importe * kCambioM2));
        d.set(QStringLiteral("ID_ALMACEN"), idOVacio(r, r.chance(0.8) ? 1 : 2, 0.05));
        d.set(QStringLiteral("ID_GRUPO"), l.articulo ? QVariant(l.articulo->grupo) : QVariant(4));
        d.set(QStringLiteral("ID_AGENTE_1"), idOVacio(r, agente, 0.1));
        d.set(QStringLiteral("ID_AGENTE_2"),
              r.chance(0.2) ? QVariant(static_cast<int>(r.between(1, agentes_))) : QVariant(-1));
        d.set(QStringLiteral("ID_AGENTE_3"),
              r.chance(0.05) ? QVariant(static_cast<int>(r.between(1, agentes_))) : QVariant(-1));
        d.add();
    }
    total = cents(total);
    const int formaPago = static_cast<int>(r.weighted({35, 50, 5, 5, 5})) + 1;
    m.set(QStringLiteral("ID_MVENTA"), id);
    m.set(QStringLiteral("ID_PACIENTE"), f.id);
    m.set(QStringLiteral("N_TALON"), ++talon_);
    m.set(QStringLiteral("FECHA"),
          tsAt(fecha, static_cast<int>(r.between(9 * 60 + 30, 20 * 60 + 30))));
    m.set(QStringLiteral("TIPO_OPERACION"), tipoOperacion);
    m.set(QStringLiteral("ID_TIENDA"), tienda);
    m.set(QStringLiteral("ID_AGENTE"), idOVacio(r, agente, 0.1));
    m.set(QStringLiteral("ID_FORMA_PAGO"), formaPago);
    m.set(QStringLiteral("PORCENTAJE_DESCUENTO"), descuento);
    m.set(QStringLiteral("LIQUIDO_M1"), total);
    m.set(QStringLiteral("LIQUIDO_M2"), cents(total * kCambioM2));
    // Orders: finished (1), pending to order or to receive (2, 3) or not yet (0); collected,
    // to notify, notified.
    int terminado = 1;
    int recogido = 1;
    if (tipoOperacion == 2) {
        terminado = static_cast<int>(std::array<int, 4>{0, 2, 3, 1}[r.weighted({30, 25, 25, 20})]);
        recogido = terminado == 1 ? static_cast<int>(r.weighted({0, 0, 60, 40})) : 0;
    } else if (tipoOperacion == 3) {
        terminado = 0;
        recogido = 0;
    }
    m.set(QStringLiteral("TERMINADO"), terminado);
    m.set(QStringLiteral("RECOGIDO"), recogido);
    m.add();

    // Payments: sales are paid at once; orders with a deposit and the rest on delivery;
    // pending orders owe part or all of it, a few are already paid up.
    std::vector<std::pair<QDate, double>> cobros;
    if (fija && fija->cobros) {
        // A case's payments: the first on the day, the others a week apart.
        int semana = 0;
        for (double importe : *fija->cobros)
            cobros.push_back({std::min(hoy, fecha.addDays(7 * semana++)), importe});
    }
    switch (fija && fija->cobros ? -1 : tipoOperacion) {
    case -1:
        break;
    case 0:
        cobros.push_back({fecha, total});
        break;
    case 1:
        if (r.chance(0.5)) {
            const double senal = cents(total * r.pick({0.2, 0.3, 0.5}));
            cobros.push_back({fecha, senal});
            cobros.push_back(
                {std::min(hoy, fecha.addDays(r.between(5, 20))), cents(total - senal)});
        } else {
            cobros.push_back({fecha, total});
        }
        break;
    case 2:
        switch (r.weighted({25, 55, 20})) {
        case 1: {
            const double senal = cents(total * r.pick({0.2, 0.3, 0.5, 0.6}));
            cobros.push_back({fecha, senal});
            if (r.chance(0.3))
                cobros.push_back(
                    {std::min(hoy, fecha.addDays(r.between(1, 10))), cents(senal / 2)});
            break;
        }
        case 2:
            cobros.push_back({fecha, total});
            break;
        default:
            break;
        }
        break;
    default:
        if (r.chance(0.3)) cobros.push_back({fecha, cents(total * 0.2)});
        break;
    }
    for (const auto& [dia, importe] : cobros) {
        c.set(QStringLiteral("ID_COBRO"), nextId(QStringLiteral("COBRO")));
        c.set(QStringLiteral("ID_MVENTA"), id);
        c.set(QStringLiteral("FECHA"), ts(dia));
        c.set(QStringLiteral("ID_FORMA_PAGO"), formaPago);
        c.set(QStringLiteral("IMPORTE_M1"), importe);
        c.set(QStringLiteral("IMPORTE_M2"), cents(importe * kCambioM2));
        c.add();
    }
    if (tipoOperacion == 0 || tipoOperacion == 1) {
        f.totalM1 += total;
        f.ultimoDescuento = descuento;
    }
}

} // namespace quill::datagen
