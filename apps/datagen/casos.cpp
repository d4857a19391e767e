// Demo cases: a few patients made on purpose, so that even a small demo shop holds every shape
// the listings must handle (exact amounts and debts, deleted patients and other partitions with
// everything due this month, the odd contact-lens, spectacle and hearing-aid records). They are
// patients 10, 20, 30...; their identity is drawn as anyone's, their records and sales are fixed.

#include "generator_p.h"

namespace quill::datagen {

using namespace detail;

namespace {

// Doctors of the demo masters (generator.cpp): 3 and 8 have no registration number, 5 is the
// audiologist with one.
constexpr int kDoctorSinColegiado = 3;
constexpr int kAudiologoSinColegiado = 8;
constexpr int kAudiologoColegiado = 5;

} // namespace

const DemoGenerator::Caso* DemoGenerator::casoDe(qint64 id) {
    static const std::vector<Caso> casos = {
        // 10: a regular customer: many small operations, together well above 300.
        {.habitual = true},
        // 20: two orders of 100 paid 30 and 50: owes 120.
        {.operaciones = {{2, 1, 100, {30}}, {2, 0, 100, {50}}}},
        // 30: owes exactly 50 on an order of 300.
        {.operaciones = {{2, 2, 300, {200, 50}}}},
        // 40: an unpaid order of 500 and another of 100 paid up.
        {.operaciones = {{2, 0, 500, {}}, {2, 3, 100, {100}}}},
        // 50: only an order paid up in two payments: owes nothing.
        {.operaciones = {{2, 1, 150, {50, 100}}}},
        // 60: one sale of exactly 300 and two of 100: 500 in all.
        {.operaciones = {{1, 2, 300, {}}, {0, 5, 100, {}}, {0, 9, 100, {}}}},
        // 70: three sales of 100: exactly 300 in all.
        {.operaciones = {{0, 1, 100, {}}, {0, 4, 100, {}}, {0, 7, 100, {}}}},
        // 80 and 90: a cent either side of 300.
        {.operaciones = {{1, 3, 299.99, {}}}},
        {.operaciones = {{0, 6, 300.01, {}}}},
        // 100: 200 bought, but 1,120 in all once orders and deleted operations are added.
        {.operaciones = {{1, 1, 200, {}},
                         {3, 2, 500, {}},
                         {2, 4, 150, {}},
                         {3, 5, 50, {}},
                         {3, 8, 80, {}},
                         {2, 9, 80, {20}},
                         {3, 11, 60, {}}}},
        // 110: deleted, with everything a listing could pick: birthday, sales, an order,
        // records due this month.
        {.borrado = true,
         .cumpleEsteMes = true,
         .vencimientos = true,
         .operaciones = {{1, 2, 600, {}}, {2, 0, 100, {}}}},
        // 120 and 130: the other two partitions, birthday this month, lenses due this month.
        {.licencia = 2,
         .cumpleEsteMes = true,
         .operaciones = {{1, 3, 400, {}}, {2, 0, 200, {50}}},
         .lentes = {Lentes::DosProveedores},
         .garantias = {3}},
        {.licencia = 3,
         .cumpleEsteMes = true,
         .operaciones = {{0, 1, 350, {}}},
         .lentes = {Lentes::SoloIzquierdo},
         .audifonos = {{Oidos::SoloDerecho, 1, kAudiologoColegiado}}},
        // 140: every family with every date due in the coming days.
        {.vencimientos = true},
        // 150: contact-lens fittings of every shape.
        {.lentes = {Lentes::AmbosOjos, Lentes::SoloDerecho, Lentes::SoloIzquierdo,
                    Lentes::DosProveedores, Lentes::SinArticulo, Lentes::SinLineas}},
        // 160: spectacle records with one, two and three guarantee lines.
        {.garantias = {1, 2, 3}},
        // 170: hearing aids on both ears, on each ear alone, with several notes, fitted by
        // audiologists with and without registration number.
        {.audifonos = {{Oidos::Ambos, 3, kAudiologoSinColegiado},
                       {Oidos::SoloDerecho, 0, kAudiologoColegiado},
                       {Oidos::SoloIzquierdo, 2, kAudiologoSinColegiado}}},
    };
    if (id <= 0 || id % 10 != 0) return nullptr;
    const qint64 k = id / 10 - 1;
    return k < static_cast<qint64>(casos.size()) ? &casos[static_cast<std::size_t>(k)] : nullptr;
}

void DemoGenerator::writeCaso(Ficha& f, const Caso& caso) {
    Random& r = f.r;
    const QDate& hoy = options_.hoy;
    // Records made these last days, one a day, so that each has its own due dates.
    int dias = 0;
    auto forzado = [&](int forma, int notas, int doctor) {
        Forzado fz;
        fz.hecho = hoy.addDays(-dias++);
        fz.forma = forma;
        fz.notas = notas;
        fz.doctor = doctor;
        f.primera = std::min(f.primera, fz.hecho);
        return fz;
    };
    if (caso.vencimientos) {
        Forzado fz = forzado(3, 1, kDoctorSinColegiado);
        writeGraduaciones(f, &fz);
        fz = forzado(static_cast<int>(Lentes::AmbosOjos), 1, -1);
        writeLentillas(f, &fz);
        fz = forzado(static_cast<int>(Oidos::Ambos), 3, kAudiologoSinColegiado);
        writeAudifonos(f, &fz);
        fz = forzado(-1, -1, -1);
        writeOptometria(f, &fz);
        writeBajaVision(f, &fz);
        writeReposiciones(f, &fz);
    }
    for (int lineas : caso.garantias) {
        const Forzado fz = forzado(lineas, -1, -1);
        writeGraduaciones(f, &fz);
    }
    for (Lentes forma : caso.lentes) {
        const Forzado fz = forzado(static_cast<int>(forma), -1, -1);
        writeLentillas(f, &fz);
    }
    for (const AudifonoCaso& a : caso.audifonos) {
        const Forzado fz = forzado(static_cast<int>(a.oidos), a.notas, a.doctor);
        writeAudifonos(f, &fz);
    }
    // The records' own sales are left out: a case's sales are exactly the ones it lists.
    f.ventas.clear();

    for (const OperacionCaso& op : caso.operaciones) {
        const QDate fecha = hoy.addMonths(-op.mesesAtras);
        const Articulo& a = articulo(r, op.importe >= 60 ? Clase::Sol : Clase::Liquido);
        const std::vector<double> pagado{op.importe};
        VentaFija fija;
        fija.cobros = op.tipo <= 1 && op.cobros.empty() ? &pagado : &op.cobros;
        f.primera = std::min(f.primera, fecha);
        f.visita(fecha);
        writeVenta(f, r, fecha, op.tipo, {{&a, a.referencia, a.descripcion, op.importe}}, &fija);
    }
    if (caso.habitual) {
        for (int mes = 0; mes < 24; ++mes) {
            const QDate fecha = hoy.addMonths(-mes);
            f.primera = std::min(f.primera, fecha);
            f.visita(fecha);
            for (int tipo = 0; tipo <= (mes < 12 ? 1 : 0); ++tipo) {
                const Articulo& a = articulo(r, tipo == 0 ? Clase::Liquido : Clase::Pila);
                const double importe = cents(a.pvp * static_cast<double>(r.between(1, 2)));
                writeVenta(f, r, fecha, tipo, {{&a, a.referencia, a.descripcion, importe}});
            }
        }
    }
}

const DemoGenerator::Articulo& DemoGenerator::otroProveedor(Random& r, const Articulo& a) const {
    std::vector<int> otros;
    for (int i : porClase_[static_cast<int>(a.clase)])
        if (articulos_[i].tipo == a.tipo && articulos_[i].proveedor != a.proveedor)
            otros.push_back(i);
    return otros.empty() ? a : articulos_[otros[r.index(otros.size())]];
}

} // namespace quill::datagen
