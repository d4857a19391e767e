#pragma once

// Shared by the generator's source files: the patient being generated and small helpers.

#include "generator.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quill::datagen {

namespace detail {

inline const QDate kVacia{1899, 12, 30};
// Second currency of the shop: the peseta, still kept beside the euro in old shop databases.
constexpr double kCambioM2 = 166.386;
// Optical measurement not entered; the right-eye axis, addition and distances use 400.
constexpr double kSinDato = 98;
constexpr double kSinDato400 = 400;

// Timestamps are built in UTC only because the driver then copies their date and time as they
// are, without a time-zone look-up per value (the stored fields are the same).
inline QVariant ts(const QDate& d) {
    return QDateTime(d, QTime(0, 0), Qt::UTC);
}
inline QVariant tsAt(const QDate& d, int minuteOfDay) {
    return QDateTime(d, QTime(0, 0).addSecs(minuteOfDay * 60), Qt::UTC);
}
inline double cents(double v) {
    return std::round(v * 100.0) / 100.0;
}
inline QString u8(const char* s) {
    return QString::fromUtf8(s);
}

// An id chosen from a list, or the marker a shop database holds for "none": -1, and 0 in rows
// written by older versions of the host.
inline QVariant idOVacio(Random& r, int id, double pVacio) {
    if (r.chance(pVacio)) return r.chance(0.6) ? -1 : 0;
    return id;
}

// PROPIA_AJENA: -1 not given, 0 made in this shop, 1 brought from another one.
inline int propiaAjena(Random& r) {
    return static_cast<int>(r.weighted({30, 60, 10})) - 1;
}

// How many records of a family: at least one, each further one with probability p.
inline int cuantos(Random& r, double p, int maximo) {
    int n = 1;
    while (n < maximo && r.chance(p))
        ++n;
    return n;
}

inline std::vector<QDate> fechasOrdenadas(Random& r, int n, const QDate& desde,
                                          const QDate& hasta) {
    std::vector<QDate> out;
    for (int i = 0; i < n; ++i)
        out.push_back(r.date(desde, hasta));
    std::sort(out.begin(), out.end());
    return out;
}

inline QString queratometria(Random& r) {
    const double k1 = r.stepped(7.40, 8.20, 0.05);
    const double k2 = k1 - r.stepped(0.0, 0.30, 0.05);
    return QStringLiteral("%1 x %2 / %3")
        .arg(k1, 0, 'f', 2)
        .arg(k2, 0, 'f', 2)
        .arg(r.between(0, 36) * 5);
}

// Base curve of a contact lens, "8.60".
inline QString radio(Random& r) {
    return QString::number(r.stepped(8.30, 8.90, 0.1), 'f', 2);
}

// Days after a demo case's record date on which each of its dates falls due: a different day
// per column, so that a listing reading the wrong column shows it.
enum Plazo : int {
    kRevisionGraduacion = 1,
    kGarantiaGraduacion,
    kRevisionLentilla,
    kLimpieza,
    kCaducidad,
    kReposicionLentilla,
    kGarantiaLentilla,
    kProximaRevisionAudifono,
    kRevisionAudifono,
    kAdaptacion,
    kGarantiaAudifono,
    kRevisionOptometria,
    kRevisionBajaVision,
    kReposicion,
};

// Lenses of a contact-lens fitting.
enum class Lentes { AmbosOjos, SoloDerecho, SoloIzquierdo, DosProveedores, SinArticulo, SinLineas };
// Devices of a hearing-aid fitting.
enum class Oidos { Ambos, SoloDerecho, SoloIzquierdo };

} // namespace detail

// What a demo case fixes of one record; everything else is drawn as usual. The record is made
// on `hecho` and every optional date is filled: due dates fall `Plazo` days later.
struct DemoGenerator::Forzado {
    QDate hecho;
    int forma = -1;  // spectacles: guarantee lines (0 to 3); lenses: Lentes; hearing aids: Oidos
    int notas = -1;  // notes of the record; -1 drawn
    int doctor = -1; // the doctor who prescribes or fits; -1 drawn
    QDate vence(detail::Plazo p) const { return hecho.addDays(p); }
};

// A sale at a closed price: no discount, and when `cobros` is given exactly those payments.
struct DemoGenerator::VentaFija {
    const std::vector<double>* cobros = nullptr;
};

struct DemoGenerator::Ficha {
    explicit Ficha(Random rnd) : r(rnd) {}
    Random r;
    qint64 id = 0;
    int sexo = 0;
    int edad = 0;
    int licencia = 1;
    int tienda = 1;
    int provincia = 28;
    QDate nacimiento;
    QDate primera;
    QDate ultima;
    // Far sphere of each eye, kept across records so that they evolve plausibly.
    double esferaOD = 0;
    double esferaOI = 0;
    // NUMERO_FICHA counters: spectacles, lenses, hearing aids, optometry, low vision, replacements.
    int numeroFicha[6] = {};
    double totalM1 = 0;
    double ultimoDescuento = 0;
    bool tieneLentillas = false;
    bool tieneAudifonos = false;
    // Records that become a sale, with the lines sold.
    struct Venta {
        QDate fecha;
        std::vector<Linea> lineas;
    };
    std::vector<Venta> ventas;
    void visita(const QDate& d) {
        if (d > ultima) ultima = d;
    }
};

// One sale of a case: type, months before today, amount; for types 0 and 1 no payments means
// paid in full, for orders (2) and deleted operations (3) the payments are exactly these.
struct OperacionCaso {
    int tipo = 0;
    int mesesAtras = 0;
    double importe = 0;
    std::vector<double> cobros = {};
};

struct AudifonoCaso {
    detail::Oidos oidos = detail::Oidos::Ambos;
    int notas = 0;
    int doctor = -1;
};

struct DemoGenerator::Caso {
    int licencia = 1;
    bool borrado = false;
    bool cumpleEsteMes = false;
    // Small purchases of types 0 and 1 every month of the last year, of type 0 the year before.
    bool habitual = false;
    // One record of every family with every date filled, due in the coming days.
    bool vencimientos = false;
    std::vector<OperacionCaso> operaciones = {};
    std::vector<detail::Lentes> lentes = {}; // contact-lens fittings of these shapes
    std::vector<int> garantias = {}; // spectacle records with these numbers of guarantee lines
    std::vector<AudifonoCaso> audifonos = {};
};

} // namespace quill::datagen
