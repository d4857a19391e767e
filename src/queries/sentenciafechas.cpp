#include "queries/sentenciafechas.h"

#include "queries/listingmodule.h"

#include <array>

namespace quill {

namespace {

const QString kSelect = QStringLiteral(
    "SELECT DISTINCT(PACIENTE.ID_PACIENTE), PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, "
    "PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.ID_LOCALIDAD, "
    "EXTRACT (DAY FROM FECHA_NACIMIENTO), EXTRACT (MONTH FROM FECHA_NACIMIENTO), "
    "EXTRACT (DAY FROM FECHA_PRIMERA_VISITA), EXTRACT (MONTH FROM FECHA_PRIMERA_VISITA), "
    "EXTRACT (DAY FROM FECHA_ULTIMA_VISITA), EXTRACT (MONTH FROM FECHA_ULTIMA_VISITA), "
    "PACIENTE.VIENE_POR, PACIENTE.SEXO, CAST (PACIENTE.FECHA_NACIMIENTO AS DATE) "
    "FECHA_NACIMIENTO, CAST (PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA,"
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET "
    "AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.E_MAIL, PACIENTE.WEB, "
    "PACIENTE.FOTOGRAFIA, PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, PACIENTE.TELEFONO, "
    "PACIENTE.TOTAL_COMPRADO_M2,  "
    "PACIENTE.TIENDA, PACIENTE.FOTOGRAFIA ");

const QString kGroupBy = QStringLiteral(
    "GROUP BY PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOs, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, "
    "PACIENTE.DIRECCION, PACIENTE.VIENE_POR, PACIENTE.SEXO, CAST (PACIENTE.FECHA_NACIMIENTO AS "
    "DATE), CAST (PACIENTE.FECHA_PRIMERA_VISITA AS DATE), CAST(PACIENTE.FECHA_ULTIMA_VISITA AS "
    "DATE), "
    "CAST(PACIENTE.FECHA_CARNET AS DATE), PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.E_MAIL, PACIENTE.WEB, PACIENTE.FOTOGRAFIA, "
    "PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, "
    "PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, "
    "EXTRACT (DAY FROM FECHA_NACIMIENTO), EXTRACT (MONTH FROM FECHA_NACIMIENTO), "
    "EXTRACT (DAY FROM FECHA_PRIMERA_VISITA), EXTRACT (MONTH FROM FECHA_PRIMERA_VISITA), "
    "EXTRACT (DAY FROM FECHA_ULTIMA_VISITA), EXTRACT (MONTH FROM FECHA_ULTIMA_VISITA) ");

// Positions of the birth, first-visit and last-visit dates in the patient columns: a UNION
// sorts only by position.
constexpr int kPosNacimiento = 17;
constexpr int kPosPrimeraVisita = 18;
constexpr int kPosUltimaVisita = 19;

struct Fecha {
    int id;
    const char* tabla;   // table.column cast to DATE, null for the record dates 433-435
    const char* columna; // name in the result
    const char* campo;   // field of memPacientesFecha
    const char* select;  // as appended (null: ", CAST(<tabla> AS DATE) <columna> ")
    const char* groupBy; // as appended (null: ", CAST(<tabla> AS DATE) ")
};

// The date columns the conditions add. The texts are the shop's own, spacing included; the two
// low-vision forms get the comma every other form begins with, without which the statement
// cannot be read.
const Fecha kFechas[] = {
    {71, "MGRADUACION.FECHA", "FECHA", "Fecha", nullptr, ", CAST(MGRADUACION.FECHA AS DATE)"},
    {72, "MGRADUACION.FECHA_REVISION", "FECHA_REVISION", "FechaRevision", nullptr,
     ", CAST(MGRADUACION.FECHA_REVISION AS DATE)"},
    {92, "DGRADUACION.FECHA_GARANTIA", "FECHA_GARANTIA", "FechaGarantia", nullptr, nullptr},
    {111, "MLENTILLA.FECHA", "FECHA", "Fecha", ", CAST(MLENTILLA.FECHA AS DATE) FECHA", nullptr},
    {112, "MLENTILLA.FECHA_REVISION", "FECHA_REVISION", "FechaRevision", nullptr, nullptr},
    {117, "MLENTILLA.FECHA_CADUCIDAD", "FECHA_CADUCIDAD", "FechaCaducidad",
     ", CAST(MLENTILLA.FECHA_CADUCIDAD AS DATE) FECHA_CADUCIDAD", nullptr},
    {118, "MLENTILLA.FECHA_REPOSICION", "FECHA_REPOSICION", "FechaReposicion", nullptr, nullptr},
    {130, "DLENTILLA.FECHA_GARANTIA", "FECHA_GARANTIA", "FechaGarantia", nullptr, nullptr},
    {135, "MLENTILLA.FECHA_LIMPIEZA", "FECHA_LIMPIEZA", "FechaLimpieza", nullptr, nullptr},
    {151, "MAUDIFONO.FECHA", "FECHA", "Fecha", nullptr, nullptr},
    {152, "MAUDIFONO.FECHA_PROXIMA_REVISION", "FECHA_REVISION", "FechaRevision", nullptr, nullptr},
    {153, "MAUDIFONO.FECHA_AEREA", "FECHA_AEREA", "FechaAerea", nullptr, nullptr},
    {154, "MAUDIFONO.FECHA_OSEA", "FECHA_OSEA", "FechaOsea",
     ", CAST(MAUDIFONO.FECHA_OSEA AS DATE) FECHA_OSEA", nullptr},
    {155, "MAUDIFONO.FECHA_ADAPTACION", "FECHA_ADAPTACION", "FechaAdaptacion", nullptr, nullptr},
    {191, "DAUDIFONO.GARANTIA", "FECHA_GARANTIA", "FechaGarantia", nullptr, nullptr},
    {216, "OPTOMETRIA.FECHA_EX_MEDICO", "FECHA_EX_MEDICO", "FechaExMedico",
     ", CAST(OPTOMETRIA.FECHA_EX_MEDICO AS DATE) FECHA_EX_MEDICO", nullptr},
    {217, "OPTOMETRIA.FECHA_EX_OPTICO", "FECHA_EX_OPTICO", "FechaExOptico",
     ", CAST(OPTOMETRIA.FECHA_EX_OPTICO AS DATE) FECHA_EX_OPTICO", nullptr},
    {347, "OPTOMETRIA.TA_FECHA_REVISION", "FECHA_REVISION", "FechaRevision",
     ", CAST(OPTOMETRIA.TA_FECHA_REVISION AS DATE) FECHA_REVISION", nullptr},
    {376, "MOREDUCIDA.FECHA", "FECHA", "Fecha", ", CAST(MOREDUCIDA.FECHA AS DATE) FECHA", nullptr},
    {377, "MOREDUCIDA.FECHA_REVISION", "FECHA_REVISION", "FechaRevision",
     ", CAST(MOREDUCIDA.FECHA_REVISION AS DATE) FECHA_REVISION", nullptr},
    // The record dates: their columns come from the record-family members.
    {433, nullptr, "FECHA", "Fecha", nullptr, nullptr},
    {434, nullptr, "FECHA_REVISION", "FechaRevision", nullptr, nullptr},
    {435, nullptr, "FECHA_GARANTIA", "FechaGarantia", nullptr, nullptr},
};

const Fecha* fecha(int id) {
    for (const Fecha& f : kFechas)
        if (f.id == id) return &f;
    return nullptr;
}

QString cast(const char* columna) {
    return QStringLiteral("CAST(") + QLatin1String(columna) + QStringLiteral(" AS DATE)");
}

// The dates of a record family in its UNION member: name and value.
struct ColumnaFamilia {
    const char* nombre;
    const char* columna;
};

struct FechasFamilia {
    const char* codigo;
    std::array<ColumnaFamilia, 5> columnas; // up to five, null names after the last
    const char* garantia;                   // the guarantee column, null when none
};

const FechasFamilia kFechasFamilia[] = {
    {"1",
     {{{"FECHA_REVISION", "MGRADUACION.FECHA_REVISION"}, {"FECHA", "MGRADUACION.FECHA"}}},
     "DGRADUACION.FECHA_GARANTIA"},
    {"2",
     {{{"FECHA_REVISION", "MLENTILLA.FECHA_REVISION"},
       {"FECHA_LIMPIEZA", "MLENTILLA.FECHA_LIMPIEZA"},
       {"FECHA_CADUCIDAD", "MLENTILLA.FECHA_CADUCIDAD"},
       {"FECHA_REPOSICION", "MLENTILLA.FECHA_REPOSICION"},
       {"FECHA", "MLENTILLA.FECHA"}}},
     "DLENTILLA.FECHA_GARANTIA"},
    {"0",
     {{{"FECHA", "MAUDIFONO.FECHA"},
       {"FECHA_AEREA", "MAUDIFONO.FECHA_AEREA"},
       {"FECHA_OSEA", "MAUDIFONO.FECHA_OSEA"},
       {"FECHA_REVISION", "MAUDIFONO.FECHA_PROXIMA_REVISION"},
       {"FECHA_ADAPTACION", "MAUDIFONO.FECHA_ADAPTACION"}}},
     "DAUDIFONO.GARANTIA"},
    {"3",
     {{{"FECHA", "OPTOMETRIA.FECHA_EX_OPTICO"},
       {"FECHA_REVISION", "OPTOMETRIA.TA_FECHA_REVISION"},
       {"FECHA_EX_OPTICO", "OPTOMETRIA.FECHA_EX_OPTICO"}}},
     nullptr},
    {"4",
     {{{"FECHA_REVISION", "MOREDUCIDA.FECHA_REVISION"}, {"FECHA", "MOREDUCIDA.FECHA"}}},
     nullptr},
};

const FechasFamilia* fechasFamilia(const QString& codigo) {
    for (const FechasFamilia& f : kFechasFamilia)
        if (codigo == QLatin1String(f.codigo)) return &f;
    return nullptr;
}

const char* const kGarantia = "FECHA_GARANTIA";

// The value of a member for a name, null when its family has none.
const char* valorMiembro(const MiembroUnion& m, const QString& nombre) {
    const FechasFamilia* f = fechasFamilia(m.codigo);
    if (!f) return nullptr;
    if (nombre == QLatin1String(kGarantia)) return m.garantia ? f->garantia : nullptr;
    for (const ColumnaFamilia& c : f->columnas)
        if (c.nombre && nombre == QLatin1String(c.nombre)) return c.columna;
    return nullptr;
}

QString ordenFecha(bool diaMes, const char* posiciones, const char* columna, const char* grupo,
                   int posicion, FormaOrden forma) {
    if (diaMes) return QLatin1String(posiciones);
    switch (forma) {
    case FormaOrden::Union:
        return QStringLiteral("ORDER BY %1 ").arg(posicion);
    case FormaOrden::Grupo:
        // A grouped statement sorts only by what it groups.
        return QLatin1String(grupo);
    case FormaOrden::Normal:
        break;
    }
    return QLatin1String(columna);
}

} // namespace

AnalisisFechas AnalizarCondicionesFechas(const QList<FilaCondicion>& filas,
                                         const QStringList& familiasTipoFicha) {
    AnalisisFechas a;
    a.general = AnalizarCondicionesGeneral(filas, familiasTipoFicha);
    for (const FilaCondicion& f : filas) {
        if (f.sentencia.isEmpty()) continue;
        const int id = f.idEntero();
        switch (id) {
        case 424:
        case 425:
            a.diaMesNacimiento = true;
            break;
        case 421:
        case 422:
            a.diaMesPrimeraVisita = true;
            break;
        case 427:
        case 428:
            a.diaMesUltimaVisita = true;
            break;
        default:
            break;
        }
        const Fecha* d = fecha(id);
        if (!d || !d->tabla) continue;
        const QString campo = QLatin1String(d->campo);
        bool visto = false;
        for (const FechaCondicion& p : a.fechasPresentes)
            visto = visto || p.campo == campo;
        if (!visto) a.fechasPresentes.append({QLatin1String(d->columna), campo});
    }
    return a;
}

FechaCondicion FechaDeCondicion(int id) {
    const Fecha* f = fecha(id);
    if (!f) return {};
    return {QLatin1String(f->columna), QLatin1String(f->campo)};
}

ColumnaCondicion ColumnaFechaCondicion(int id) {
    const Fecha* f = fecha(id);
    if (!f || !f->tabla) return {};
    ColumnaCondicion c;
    c.expresion = cast(f->tabla);
    c.nombre = QLatin1String(f->columna);
    c.select = f->select ? QLatin1String(f->select)
                         : QStringLiteral(", ") + c.expresion + QLatin1Char(' ') + c.nombre +
                               QLatin1Char(' ');
    c.groupBy = f->groupBy ? QLatin1String(f->groupBy)
                           : QStringLiteral(", ") + c.expresion + QLatin1Char(' ');
    return c;
}

QString PerfilFechas::Select() const {
    return kSelect;
}

QString PerfilFechas::SelectDistinto() const {
    // The same columns at the same positions, so that every order reads the same; the patients
    // without records are one row each.
    QString texto = kSelect;
    return texto.replace(QStringLiteral("SELECT DISTINCT(PACIENTE.ID_PACIENTE)"),
                         QStringLiteral("SELECT PACIENTE.ID_PACIENTE"));
}

QString PerfilFechas::GroupBy() const {
    return kGroupBy;
}

ColumnaCondicion PerfilFechas::Columna(const FilaCondicion& fila) const {
    return ColumnaFechaCondicion(fila.idEntero());
}

QList<ColumnasMiembro> PerfilFechas::ColumnasUnion(const QList<MiembroUnion>& miembros) const {
    // The names every member carries: each family's own in its order, the guarantee last.
    QStringList nombres;
    bool garantia = false;
    for (const MiembroUnion& m : miembros) {
        const FechasFamilia* f = fechasFamilia(m.codigo);
        if (!f) continue;
        for (const ColumnaFamilia& c : f->columnas)
            if (c.nombre && !nombres.contains(QLatin1String(c.nombre)))
                nombres.append(QLatin1String(c.nombre));
        garantia = garantia || (m.garantia && f->garantia);
    }
    if (garantia) nombres.append(QLatin1String(kGarantia));
    QList<ColumnasMiembro> columnas;
    for (const MiembroUnion& m : miembros) {
        ColumnasMiembro c;
        for (const QString& nombre : nombres) {
            const char* valor = valorMiembro(m, nombre);
            const QString expresion = valor ? cast(valor) : QStringLiteral("CAST(NULL AS DATE)");
            c.select += QStringLiteral(", ") + expresion + QLatin1Char(' ') + nombre;
            if (valor) c.groupBy += QStringLiteral(", ") + expresion;
        }
        if (!c.select.isEmpty()) c.select += QLatin1Char(' ');
        if (!c.groupBy.isEmpty()) c.groupBy += QLatin1Char(' ');
        columnas.append(c);
    }
    return columnas;
}

QString PerfilFechas::Orden(qint16 orden, qint16 sentido, FormaOrden forma) const {
    QString texto;
    switch (orden) {
    case 22:
        texto = ordenFecha(
            m_a.diaMesNacimiento, "ORDER BY 9, 10 ", "ORDER BY PACIENTE.FECHA_NACIMIENTO ",
            "ORDER BY CAST (PACIENTE.FECHA_NACIMIENTO AS DATE) ", kPosNacimiento, forma);
        break;
    case 23:
        texto = ordenFecha(
            m_a.diaMesPrimeraVisita, "ORDER BY 11, 12 ", "ORDER BY PACIENTE.FECHA_PRIMERA_VISITA ",
            "ORDER BY CAST (PACIENTE.FECHA_PRIMERA_VISITA AS DATE) ", kPosPrimeraVisita, forma);
        break;
    case 24:
        texto = ordenFecha(m_a.diaMesUltimaVisita, "ORDER BY 13, 14 ",
                           "ORDER BY CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) ",
                           "ORDER BY CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) ", kPosUltimaVisita,
                           forma);
        break;
    default:
        texto = ListingModule::OrdenBase(orden);
        break;
    }
    return texto + ListingModule::SentidoOrden(sentido);
}

QString GenerarSentenciaFechas(const DatosSentenciaGeneral& datos, const AnalisisFechas& analisis,
                               FormaSentencia forma, qint16 orden, qint16 sentido, bool todas) {
    const PerfilFechas perfil(analisis);
    return GenerarSentenciaPacientes(perfil, datos, forma, orden, sentido, todas);
}

} // namespace quill
