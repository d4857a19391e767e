// Catalogue rows of the hearing-aid fittings: the record (MAUDIFONO) with its audiogram, its
// devices (DAUDIFONO) and its notes (AOBSERVACIONES). The audiogram thresholds are runs of one
// identifier per frequency, generated from the frequency list.

#include "catalogo_formas.h"

#include <array>

namespace quill {

using namespace formas;

namespace {

QString a(const QString& columna) {
    return QStringLiteral("MAUDIFONO.") + columna;
}

QString d(const char* columna) {
    return QStringLiteral("DAUDIFONO.") + QLatin1String(columna);
}

// Audiogram frequencies in Hz, in the order of every identifier run. There is no 3000 Hz run,
// although the record keeps that column.
constexpr std::array<int, 10> kFrecuencias = {125,  250,  500,  750,  1000,
                                              1500, 2000, 4000, 6000, 8000};

// Audiogram numbers have no empty value: no sentinel clause.
Alternativa umbral(const char* oido, const char* medida, int frecuencia) {
    return {a(QLatin1String(oido) + QLatin1Char('_') + QLatin1String(medida) + QLatin1Char('_') +
              QString::number(frecuencia)),
            Operador::Numero, 0};
}

} // namespace

QList<EntradaCatalogo> filasAudifonos() {
    const QString m = QStringLiteral("MAUDIFONO");
    const Registro A{QStringLiteral(" PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND "), {m}};
    // The pairs and runs use the join without its leading space.
    const Registro A2{sinEspacioInicial(A.union_), {m}};
    const QString jad = QStringLiteral("PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND "
                                       "MAUDIFONO.ID_MAUDIFONO = DAUDIFONO.ID_MAUDIFONO ");
    const QStringList conAparatos{m, QStringLiteral("DAUDIFONO")};
    // Device fields: the join to the devices, a connective and the column. The connective has
    // always been written two ways; both read the same.
    const Registro AD{jad + QStringLiteral("AND "), conAparatos};
    const Registro AD2{jad + QStringLiteral(" AND "), conAparatos};
    const Registro AO{QStringLiteral("PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE AND "
                                     "MAUDIFONO.ID_MAUDIFONO = AOBSERVACIONES.ID_MAUDIFONO AND "),
                      {m, QStringLiteral("AOBSERVACIONES")}};

    // No entry: 149, 192, and the 1500 Hz either-ear identifiers 166, 176, 186.
    QList<EntradaCatalogo> filas = {
        numero(150, A, a(QStringLiteral("NUMERO_FICHA")), 0),
        fecha(151, A, a(QStringLiteral("FECHA")),
              QStringLiteral("CAST(MAUDIFONO.FECHA AS DATE) != '12/30/1899' AND ")),
        fecha(152, A, a(QStringLiteral("FECHA_REVISION"))),
        fecha(153, A, a(QStringLiteral("FECHA_AEREA"))),
        fecha(154, A, a(QStringLiteral("FECHA_OSEA"))),
        fecha(155, A, a(QStringLiteral("FECHA_ADAPTACION"))),
        lista(156, A, a(QStringLiteral("ID_DOCTOR_EXAMINA"))),
        lista(157, A, a(QStringLiteral("ID_DOCTOR_ADAPTA"))),
        lista(158, A, a(QStringLiteral("ID_AGENTE"))),
        lista(159, A, a(QStringLiteral("ID_TIENDA"))),
        siNo(160, A2, a(QStringLiteral("PROPIA_AJENA"))),
        fecha(191, AD, d("GARANTIA")),
        textoMayusculas(193, AD2, d("NUMERO_SERIE")),
        textoMayusculas(194, AD2, d("MODELO")),
        textoMayusculas(195, AD2, d("PILA")),
        textoMayusculas(196, AD, d("DESCRIPCION")),
        textoMayusculas(197, AD, d("MOLDE")),
        // The amount is compared as text.
        texto(198, AD, d("IMPORTE_M1")),
        memo(199, AO, QStringLiteral("AOBSERVACIONES.OBSERVACIONES")),
    };

    const QString o = QStringLiteral(" Or ");
    struct Ambos {
        int primerId;
        const char* medida;
    };
    for (const Ambos& r : {Ambos{161, "AEREA"}, Ambos{171, "OSEA"}, Ambos{181, "UMBRAL"}}) {
        for (std::size_t i = 0; i < kFrecuencias.size(); ++i) {
            // The either-ear runs have never had a 1500 Hz field.
            if (kFrecuencias[i] == 1500) continue;
            filas << par(r.primerId + static_cast<int>(i), A2,
                         umbral("OD", r.medida, kFrecuencias[i]),
                         umbral("OI", r.medida, kFrecuencias[i]), o);
        }
    }
    struct Oido {
        int primerId;
        const char* oido;
        const char* medida;
    };
    for (const Oido& r :
         {Oido{200, "OD", "AEREA"}, Oido{2300, "OD", "OSEA"}, Oido{2310, "OD", "UMBRAL"},
          Oido{2320, "OI", "AEREA"}, Oido{2330, "OI", "OSEA"}, Oido{2340, "OI", "UMBRAL"}}) {
        for (std::size_t i = 0; i < kFrecuencias.size(); ++i)
            filas << uno(r.primerId + static_cast<int>(i), A2,
                         umbral(r.oido, r.medida, kFrecuencias[i]));
    }
    const Alternativa haicOD{a(QStringLiteral("OD_HAIC")), Operador::Numero, 0};
    const Alternativa haicOI{a(QStringLiteral("OI_HAIC")), Operador::Numero, 0};
    filas << par(2350, A2, haicOD, haicOI, o) << uno(2351, A2, haicOD) << uno(2352, A2, haicOI);
    return filas;
}

} // namespace quill
