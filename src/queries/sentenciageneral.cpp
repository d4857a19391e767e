#include "queries/sentenciageneral.h"

#include "platform/guard.h"
#include "sql/lstbasesentencia.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace quill {

namespace {

// ---- Fixed texts ----

const QString kSelect = QStringLiteral(
    "SELECT DISTINCT(PACIENTE.ID_PACIENTE), PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, "
    "PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.VIENE_POR, PACIENTE.SEXO, "
    "CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, CAST(PACIENTE.FECHA_PRIMERA_VISITA "
    "AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET AS "
    "DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, "
    "PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.E_MAIL, PACIENTE.WEB, "
    "PACIENTE.FOTOGRAFIA, PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, PACIENTE.TELEFONO, "
    "PACIENTE.TOTAL_COMPRADO_M2,  "
    "PACIENTE.TIENDA, PACIENTE.ID_LOCALIDAD "
    ", PACIENTE.ID_LOCALIDAD, PACIENTE.ID_LOCALIDAD ");

// The patients without records: the same columns, ID_LOCALIDAD once and FOTOGRAFIA last.
const QString kSelectDistinto = QStringLiteral(
    "SELECT PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, "
    "PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.VIENE_POR, PACIENTE.SEXO, "
    "CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, CAST(PACIENTE.FECHA_PRIMERA_VISITA "
    "AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET AS "
    "DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, "
    "PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.E_MAIL, PACIENTE.WEB, "
    "PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, PACIENTE.TELEFONO, "
    "PACIENTE.TOTAL_COMPRADO_M2, "
    "PACIENTE.TIENDA, PACIENTE.ID_LOCALIDAD, PACIENTE.FOTOGRAFIA ");

const QString kSelectConteo = QStringLiteral("SELECT DISTINCT(PACIENTE.ID_PACIENTE) ID_PACIENTE ");

const QString kGroupBy = QStringLiteral(
    "GROUP BY PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOs, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, "
    "PACIENTE.DIRECCION, PACIENTE.VIENE_POR, PACIENTE.SEXO, CAST(PACIENTE.FECHA_NACIMIENTO AS "
    "DATE), "
    "CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE), CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE), "
    "CAST(PACIENTE.FECHA_CARNET AS DATE), PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.E_MAIL, PACIENTE.WEB, PACIENTE.FOTOGRAFIA, "
    "PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, "
    "PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, PACIENTE.FOTOGRAFIA ");

const QString kGroupByConteo = QStringLiteral(" GROUP BY PACIENTE.ID_PACIENTE ");

// The count selects one column: Firebird refuses an ORDER BY position beyond it.
const QString kOrdenConteo = QStringLiteral(" Order BY 1 ASC");

const QString kFrom = QStringLiteral(" FROM PACIENTE ");
const QString kFromDistinto = QStringLiteral(" From PACIENTE ");
const QString kFechaVacia = QStringLiteral("'12/30/1899'");

// The normal path of a listing that lists every partition.
const QString kWhereTodas =
    QStringLiteral(" Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 ");

QString whereFijo(const QString& particion) {
    return QStringLiteral(" Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND "
                          "PACIENTE.LICENCIA = ") +
           particion + QLatin1Char(' ');
}

// ---- Last-record mode: the six family slots ----

struct RanuraGrupo {
    int desde;
    int hasta;
    const char* codigo; // family code, or null (replacements have none)
    const char* select;
    const char* from;
    const char* where;
    const char* groupBy;
    const char* having;
    int idGarantia; // the family's guarantee field, 0 for none
    const char* garantiaSelect;
    const char* garantiaGroupBy;
    // The HAVING predicate for one record inside an "any" EXISTS, where nothing is grouped.
    const char* ultimaFicha;
};

// In slot order: spectacle prescriptions, contact lenses, hearing aids, optometry, low vision,
// replacements.
const std::array<RanuraGrupo, 6> kRanuras = {{
    {70, 108, "1", ", MGRADUACION.NUMERO_FICHA, COUNT(DISTINCT(MG.NUMERO_FICHA)) ",
     ", MGRADUACION MG ", " AND MG.ID_PACIENTE = PACIENTE.ID_PACIENTE ",
     ", MGRADUACION.NUMERO_FICHA ",
     " MGRADUACION.NUMERO_FICHA >= COUNT(DISTINCT(MG.NUMERO_FICHA)) ", 92,
     ", CAST(DGRADUACION.FECHA_GARANTIA AS DATE) ", ", CAST(DGRADUACION.FECHA_GARANTIA AS DATE) ",
     " AND MGRADUACION.NUMERO_FICHA >= (SELECT COUNT(DISTINCT(MG.NUMERO_FICHA)) FROM MGRADUACION "
     "MG WHERE MG.ID_PACIENTE = PACIENTE.ID_PACIENTE)"},
    {110, 148, "2", ", MLENTILLA.NUMERO_FICHA, MAX(ML.NUMERO_FICHA) ", ", MLENTILLA ML ",
     " AND ML.ID_PACIENTE = PACIENTE.ID_PACIENTE ", ", MLENTILLA.NUMERO_FICHA ",
     " MLENTILLA.NUMERO_FICHA = MAX(ML.NUMERO_FICHA) ", 130,
     ", CAST(DLENTILLA.FECHA_GARANTIA AS DATE)", ", CAST(DLENTILLA.FECHA_GARANTIA AS DATE)",
     " AND MLENTILLA.NUMERO_FICHA = (SELECT MAX(ML.NUMERO_FICHA) FROM MLENTILLA ML WHERE "
     "ML.ID_PACIENTE = PACIENTE.ID_PACIENTE)"},
    {150, 209, "0", ", MAUDIFONO.NUMERO_FICHA, MAX(MA.NUMERO_FICHA) ", ", MAUDIFONO MA ",
     " AND MA.ID_PACIENTE = PACIENTE.ID_PACIENTE ", ", MAUDIFONO.NUMERO_FICHA ",
     " MAUDIFONO.NUMERO_FICHA = MAX(MA.NUMERO_FICHA) ", 191, ", CAST(DAUDIFONO.GARANTIA AS DATE)",
     ", CAST(DAUDIFONO.GARANTIA AS DATE)",
     " AND MAUDIFONO.NUMERO_FICHA = (SELECT MAX(MA.NUMERO_FICHA) FROM MAUDIFONO MA WHERE "
     "MA.ID_PACIENTE = PACIENTE.ID_PACIENTE)"},
    {211, 374, "3", ", OPTOMETRIA.NUMERO_FICHA, MAX(OP.NUMERO_FICHA) ", ", OPTOMETRIA OP ",
     " AND OP.ID_PACIENTE = PACIENTE.ID_PACIENTE ", ", OPTOMETRIA.NUMERO_FICHA ",
     " OPTOMETRIA.NUMERO_FICHA = MAX(OP.NUMERO_FICHA) ", 0, "", "",
     " AND OPTOMETRIA.NUMERO_FICHA = (SELECT MAX(OP.NUMERO_FICHA) FROM OPTOMETRIA OP WHERE "
     "OP.ID_PACIENTE = PACIENTE.ID_PACIENTE)"},
    {376, 399, "4", ", MOREDUCIDA.NUMERO_FICHA, MAX(MO.NUMERO_FICHA) ", ", MOREDUCIDA MO ",
     " AND MO.ID_PACIENTE = PACIENTE.ID_PACIENTE ", ", MOREDUCIDA.NUMERO_FICHA ",
     " MOREDUCIDA.NUMERO_FICHA = MAX(MO.NUMERO_FICHA) ", 0, "", "",
     " AND MOREDUCIDA.NUMERO_FICHA = (SELECT MAX(MO.NUMERO_FICHA) FROM MOREDUCIDA MO WHERE "
     "MO.ID_PACIENTE = PACIENTE.ID_PACIENTE)"},
    {401, 419, nullptr, ", CAST(REPOSICION.FECHA AS DATE) FECHA, MAX(CAST(REP.FECHA AS DATE)) ",
     ", REPOSICION REP ", " AND REP.ID_PACIENTE = PACIENTE.ID_PACIENTE ",
     ", CAST(REPOSICION.FECHA AS DATE) ",
     " CAST(REPOSICION.FECHA AS DATE) = MAX(CAST(REP.FECHA AS DATE)) ", 0, "", "",
     " AND CAST(REPOSICION.FECHA AS DATE) = (SELECT MAX(CAST(REP.FECHA AS DATE)) FROM REPOSICION "
     "REP WHERE REP.ID_PACIENTE = PACIENTE.ID_PACIENTE)"},
}};

struct Ranuras {
    QString select, from, where, groupBy;
    QStringList having;
};

// ---- Record-family paths ----

struct FamiliaFicha {
    const char* codigo;
    const char* tabla;
    const char* columnas; // the family's dates in the UNION member
    int numColumnas;
    const char* agrupar; // the same columns in GROUP BY (last-record mode)
    const char* detalle; // guarantee detail table, null when the family has none
    const char* unionDetalle;
    const char* columnaGarantia;
    const char* garantiaColumna;
    const char* garantiaAgrupar;
    const char* fechaFicha;    // 433, null: none
    const char* fechaRevision; // 434, null: none
    const char* profesional1;  // 51, null: none
    const char* profesional2;  // 51, second column or null
    const char* agente;        // 52, null: none
    const char* alias;         // latest-record join
    const char* having;
};

const std::array<FamiliaFicha, 5> kFamilias = {{
    {"1", "MGRADUACION",
     ", CAST(MGRADUACION.FECHA AS DATE), CAST(MGRADUACION.FECHA AS DATE), CAST(MGRADUACION.FECHA "
     "AS DATE)",
     3, ", CAST(MGRADUACION.FECHA AS DATE)", "DGRADUACION",
     " AND DGRADUACION.ID_MGRADUACION = MGRADUACION.ID_MGRADUACION ", "DGRADUACION.FECHA_GARANTIA",
     ", CAST(DGRADUACION.FECHA_GARANTIA AS DATE) FECHA_GARANTIA ",
     ", CAST(DGRADUACION.FECHA_GARANTIA AS DATE)", "MGRADUACION.FECHA",
     "MGRADUACION.FECHA_REVISION", "MGRADUACION.ID_DOCTOR", nullptr, "MGRADUACION.ID_AGENTE", "MG1",
     " MGRADUACION.NUMERO_FICHA >= COUNT(DISTINCT(MG1.NUMERO_FICHA)) "},
    {"2", "MLENTILLA",
     ", CAST(MLENTILLA.FECHA_REVISION AS DATE) FECHA_REVISION, "
     "CAST(MLENTILLA.FECHA_LIMPIEZA AS DATE) FECHA_LIMPIEZA, CAST(MLENTILLA.FECHA_CADUCIDAD AS "
     "DATE) FECHA_CADUCIDAD, "
     "CAST(MLENTILLA.FECHA_REPOSICION AS DATE) FECHA_REPOSICION, CAST(MLENTILLA.FECHA AS DATE) "
     "FECHA",
     5,
     ", CAST(MLENTILLA.FECHA_REVISION AS DATE), CAST(MLENTILLA.FECHA_LIMPIEZA AS DATE), "
     "CAST(MLENTILLA.FECHA_CADUCIDAD AS DATE), CAST(MLENTILLA.FECHA_REPOSICION AS DATE), "
     "CAST(MLENTILLA.FECHA AS DATE)",
     "DLENTILLA", " AND DLENTILLA.ID_MLENTILLA = MLENTILLA.ID_MLENTILLA ",
     "DLENTILLA.FECHA_GARANTIA", ", CAST(DLENTILLA.FECHA_GARANTIA AS DATE) FECHA_GARANTIA ",
     ", CAST(DLENTILLA.FECHA_GARANTIA AS DATE)", "MLENTILLA.FECHA", "MLENTILLA.FECHA_REVISION",
     "MLENTILLA.ID_DOCTOR", nullptr, "MLENTILLA.ID_AGENTE", "ML1",
     " MLENTILLA.NUMERO_FICHA = MAX(ML1.NUMERO_FICHA) "},
    {"0", "MAUDIFONO",
     ", CAST(MAUDIFONO.FECHA AS DATE) FECHA, CAST(MAUDIFONO.FECHA_AEREA AS DATE) FECHA_AEREA, "
     "CAST(MAUDIFONO.FECHA_OSEA AS DATE) FECHA_OSEA, CAST(MAUDIFONO.FECHA_PROXIMA_REVISION AS "
     "DATE) "
     "FECHA_REVISION, "
     "CAST(MAUDIFONO.FECHA_ADAPTACION AS DATE) FECHA_ADAPTACION",
     5,
     ", CAST(MAUDIFONO.FECHA AS DATE), CAST(MAUDIFONO.FECHA_AEREA AS DATE), "
     "CAST(MAUDIFONO.FECHA_OSEA AS DATE), CAST(MAUDIFONO.FECHA_PROXIMA_REVISION AS DATE), "
     "CAST(MAUDIFONO.FECHA_ADAPTACION AS DATE)",
     "DAUDIFONO", " AND DAUDIFONO.ID_MAUDIFONO = MAUDIFONO.ID_MAUDIFONO ", "DAUDIFONO.GARANTIA",
     ", CAST(DAUDIFONO.GARANTIA AS DATE) FECHA_GARANTIA ", ", CAST(DAUDIFONO.GARANTIA AS DATE)",
     nullptr, nullptr, "MAUDIFONO.ID_DOCTOR_ADAPTA", "MAUDIFONO.ID_DOCTOR_EXAMINA",
     "MAUDIFONO.ID_AGENTE", "MA", " MAUDIFONO.NUMERO_FICHA = MAX(MA.NUMERO_FICHA) "},
    {"3", "OPTOMETRIA",
     ", CAST(OPTOMETRIA.FECHA_EX_OPTICO AS DATE) FECHA, CAST(OPTOMETRIA.TA_FECHA_REVISION AS "
     "DATE)TA_FECHA_REVISION ",
     2, ", CAST(OPTOMETRIA.FECHA_EX_OPTICO AS DATE), CAST(OPTOMETRIA.TA_FECHA_REVISION AS DATE)",
     nullptr, nullptr, nullptr, nullptr, nullptr, "OPTOMETRIA.FECHA_EX_MEDICO",
     "OPTOMETRIA.TA_FECHA_REVISION", "OPTOMETRIA.ID_DOCTOR_Ex_OPTICO",
     "OPTOMETRIA.ID_DOCTOR_EX_MEDICO", nullptr, "OP",
     " OPTOMETRIA.NUMERO_FICHA = MAX(OP.NUMERO_FICHA) "},
    {"4", "MOREDUCIDA",
     ", CAST(MOREDUCIDA.FECHA_REVISION AS DATE) FECHA_REVISION, CAST(MOREDUCIDA.FECHA AS DATE) "
     "FECHA, "
     "CAST(MOREDUCIDA.FECHA AS DATE) FECHA, CAST(MOREDUCIDA.FECHA AS DATE) FECHA ",
     4, ", CAST(MOREDUCIDA.FECHA_REVISION AS DATE), CAST(MOREDUCIDA.FECHA AS DATE)", nullptr,
     nullptr, nullptr, nullptr, nullptr, "MOREDUCIDA.FECHA", "MOREDUCIDA.FECHA_REVISION", nullptr,
     nullptr, nullptr, "MO", " MOREDUCIDA.NUMERO_FICHA = MAX(MO.NUMERO_FICHA) "},
}};

const FamiliaFicha* familiaFicha(const QString& codigo) {
    for (const FamiliaFicha& f : kFamilias)
        if (codigo == QLatin1String(f.codigo)) return &f;
    return nullptr;
}

const char* const kTablasFicha[] = {"MGRADUACION", "MLENTILLA", "MAUDIFONO", "OPTOMETRIA",
                                    "MOREDUCIDA"};

bool esCondicionFicha(int id) {
    return id == 51 || id == 52 || id == 433 || id == 434 || id == 435;
}

QString t(const char* s) {
    return QString::fromLatin1(s);
}

// A date clause of a family: the empty date never matches.
QString clausulaFecha(const QString& columna, const QString& sentencia) {
    const QString cast = QStringLiteral("CAST(") + columna + QStringLiteral(" AS DATE)");
    return QStringLiteral(" AND ") + cast + QStringLiteral(" != ") + kFechaVacia +
           QStringLiteral(" AND ") + cast + QLatin1Char(' ') + sentencia;
}

// The clause of a record condition for one family (CondicionEspecial); a null text when the
// family has no such column, so that the family cannot meet the condition.
QString CondicionEspecial(const FamiliaFicha& f, const FilaCondicion& fila) {
    const QString& s = fila.sentencia;
    switch (fila.idEntero()) {
    case 433:
        return f.fechaFicha ? clausulaFecha(t(f.fechaFicha), s) : QString();
    case 434:
        return f.fechaRevision ? clausulaFecha(t(f.fechaRevision), s) : QString();
    case 435:
        return f.columnaGarantia ? t(f.unionDetalle) + clausulaFecha(t(f.columnaGarantia), s).mid(1)
                                 : QString();
    case 51:
        if (!f.profesional1) return QString();
        if (!f.profesional2)
            return QStringLiteral(" AND ") + t(f.profesional1) + QLatin1Char(' ') + s;
        return QStringLiteral(" AND (") + t(f.profesional1) + QLatin1Char(' ') + s +
               QStringLiteral(" OR ") + t(f.profesional2) + QLatin1Char(' ') + s + QLatin1Char(')');
    case 52:
        return f.agente ? QStringLiteral(" AND ") + t(f.agente) + QLatin1Char(' ') + s : QString();
    default:
        return QString();
    }
}

using Filas = QList<const FilaCondicion*>;

// A family that can meet the record conditions, before its UNION member is written.
struct Participante {
    const FamiliaFicha* familia = nullptr;
    QStringList condiciones; // the condition texts
    QStringList tablas;      // the tables of its FROM
    QString clausulas;       // the record conditions' clauses for this family
    bool garantia = false;   // the guarantee detail table is joined
};

// The General profile: the patient columns of step 1, every listing in the host's partition,
// the family columns of each member padded with empty dates to the widest member.
class PerfilGeneralImpl final : public PerfilSentencia {
public:
    QString Select() const override { return kSelect; }
    QString SelectDistinto() const override { return kSelectDistinto; }
    QString GroupBy() const override { return kGroupBy; }
    QList<ColumnasMiembro> ColumnasUnion(const QList<MiembroUnion>& miembros) const override {
        QList<ColumnasMiembro> columnas;
        QList<int> anchos;
        int ancho = 0;
        for (const MiembroUnion& m : miembros) {
            const FamiliaFicha* f = familiaFicha(m.codigo);
            ColumnasMiembro c;
            int n = 0;
            if (f) {
                c.select = t(f->columnas);
                c.groupBy = t(f->agrupar);
                n = f->numColumnas;
                if (m.garantia && f->detalle) {
                    c.select += t(f->garantiaColumna);
                    c.groupBy += t(f->garantiaAgrupar);
                    ++n;
                }
            }
            columnas.append(c);
            anchos.append(n);
            ancho = std::max(ancho, n);
        }
        // Families date different things: the narrower members are filled with empty dates
        // so that every member has the same columns.
        for (qsizetype i = 0; i < columnas.size(); ++i)
            for (int n = anchos.at(i); n < ancho; ++n)
                columnas[i].select += QStringLiteral(", CAST(NULL AS DATE)");
        return columnas;
    }
};

class Constructor {
public:
    Constructor(const PerfilSentencia& p, const DatosSentenciaGeneral& d, FormaSentencia forma,
                bool todas)
        : m_p(p), m_d(d), m_a(d.analisis), m_conteo(forma == FormaSentencia::Conteo),
          m_todas(todas) {
        for (const FilaCondicion& f : d.filas) {
            if (f.sentencia.isEmpty()) continue;
            const int id = f.idEntero();
            // 55 works through the last-record mode; 482 takes no part in this kind.
            if (id == 55 || id == 482) continue;
            if (esCondicionFicha(id))
                m_fichas.append(&f);
            else
                m_simples.append(&f);
        }
        m_garantia = false;
        for (const FilaCondicion* f : m_fichas)
            if (f->idEntero() == 435) m_garantia = true;
    }

    QString generar(qint16 orden, qint16 sentido) const {
        const auto order = [&](FormaOrden forma) {
            return m_conteo ? kOrdenConteo : m_p.Orden(orden, sentido, forma);
        };
        if (m_a.familias.isEmpty())
            return normal() + order(m_a.modoGrupo ? FormaOrden::Grupo : FormaOrden::Normal);
        if (m_a.operadorTipoFicha == operador::IgualA) {
            bool esUnion = false;
            const QString texto = especialIgual(esUnion);
            return texto + order(esUnion ? FormaOrden::Union : FormaOrden::Normal);
        }
        return especialDistinto() + order(FormaOrden::Normal);
    }

private:
    // Whether "any" needs EXISTS: some alternative needs a table outside the base.
    bool separar(const QStringList& base) const {
        if (m_todas || m_simples.size() < 2 || !m_d.separarCualquiera) return false;
        for (const FilaCondicion* f : m_simples)
            if (!tablasFuera(f, base).isEmpty()) return true;
        return false;
    }

    QStringList tablasFuera(const FilaCondicion* f, const QStringList& base) const {
        QStringList fuera = TablasDeSentencia(f->sentencia, m_d.tablas);
        fuera.removeIf([&](const QString& tabla) { return base.contains(tabla); });
        return fuera;
    }

    // The condition texts. For "any" with tables beyond the base, each condition that needs
    // them asks for one row of its own tables with EXISTS: joined in the outer FROM they would
    // multiply every patient, and an empty table would list nobody. Every fragment carries its
    // join to the base, so the EXISTS is correlated through it. `ultimaFicha`: in last-record
    // mode the row must be the patient's latest record of its family.
    QStringList textos(const QStringList& base, bool separadas, bool ultima) const {
        QStringList lista;
        for (const FilaCondicion* f : m_simples) {
            const QStringList fuera = separadas ? tablasFuera(f, base) : QStringList();
            if (fuera.isEmpty()) {
                lista.append(f->sentencia);
                continue;
            }
            QString texto = QStringLiteral("EXISTS (SELECT 1 FROM ") +
                            fuera.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") +
                            f->sentencia;
            if (ultima) texto += ultimaFicha(f);
            lista.append(texto + QLatin1Char(')'));
        }
        return lista;
    }

    // The condition sentences (GenerarSQLWhere), after the WHERE text so far.
    static QString sentencias(const QString& where, const QStringList& textos, bool todas) {
        QString texto;
        const bool alguna = !todas && textos.size() > 1;
        for (int i = 0; i < textos.size(); ++i) {
            texto += ListingModule::CondicionWhere(where + texto, i == 0 ? true : todas);
            // With OR, one more pair of parentheses keeps the fixed prefix on every alternative.
            if (i == 0 && alguna) texto += QLatin1Char('(');
            texto += QLatin1Char('(') + textos.at(i) + QLatin1Char(')');
        }
        if (alguna) texto += QLatin1Char(')');
        return texto;
    }

    Ranuras ranuras(const Filas& filas) const {
        Ranuras r;
        std::array<bool, kRanuras.size()> hecha{};
        std::array<bool, kRanuras.size()> garantia{};
        std::array<QString, kRanuras.size()> select, groupBy;
        std::array<QString, kRanuras.size()> from, where, having;
        for (const FilaCondicion* f : filas) {
            const int id = f->idEntero();
            for (size_t i = 0; i < kRanuras.size(); ++i) {
                const RanuraGrupo& g = kRanuras[i];
                if (id < g.desde || id > g.hasta) continue;
                if (!hecha[i]) {
                    hecha[i] = true;
                    select[i] = t(g.select);
                    from[i] = t(g.from);
                    where[i] = t(g.where);
                    groupBy[i] = t(g.groupBy);
                    having[i] = t(g.having);
                }
                if (g.idGarantia == id && !garantia[i]) {
                    garantia[i] = true;
                    select[i] += t(g.garantiaSelect);
                    groupBy[i] += t(g.garantiaGroupBy);
                }
            }
        }
        for (size_t i = 0; i < kRanuras.size(); ++i) {
            r.select += select[i];
            r.from += from[i];
            r.where += where[i];
            r.groupBy += groupBy[i];
            if (!having[i].isEmpty()) r.having.append(having[i]);
        }
        return r;
    }

    static QString having(const QStringList& predicados) {
        // Several families' predicates must all hold.
        return predicados.isEmpty()
                   ? QString()
                   : QStringLiteral("HAVING ") + predicados.join(QStringLiteral(" AND "));
    }

    // ---- Normal path ----

    // The columns the condition rows add, after the patient columns, and their GROUP BY forms.
    // A row whose tables stay out of the outer FROM ("any" with EXISTS) gives its value through
    // a subselect over the records that meet it: the latest such date (of the latest record in
    // last-record mode), empty when the patient was listed by another alternative.
    void columnasCondiciones(const QStringList& base, bool separadas, QString& select,
                             QString& groupBy) const {
        for (const FilaCondicion* f : m_simples) {
            const ColumnaCondicion c = m_p.Columna(*f);
            if (c.vacia()) continue;
            const QStringList fuera = separadas ? tablasFuera(f, base) : QStringList();
            if (fuera.isEmpty()) {
                select += c.select;
                groupBy += c.groupBy;
                continue;
            }
            select += QStringLiteral(", (SELECT MAX(") + c.expresion + QStringLiteral(") FROM ") +
                      fuera.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + f->sentencia +
                      ultimaFicha(f) + QStringLiteral(") ") + c.nombre + QLatin1Char(' ');
        }
    }

    // In last-record mode, the predicate that keeps a row's record to the patient's latest.
    QString ultimaFicha(const FilaCondicion* f) const {
        QString texto;
        if (!m_a.modoGrupo) return texto;
        for (const RanuraGrupo& g : kRanuras)
            if (f->idEntero() >= g.desde && f->idEntero() <= g.hasta) texto += t(g.ultimaFicha);
        return texto;
    }

    QString whereNormal() const {
        return m_p.ParticionNormal() ? whereFijo(m_d.particion) : kWhereTodas;
    }

    // Without ORDER. With EXISTS the record tables stay out of the outer FROM, and with them
    // the last-record columns and groups: the latest record is tested inside each EXISTS.
    QString normal() const {
        const QStringList base{QStringLiteral("PACIENTE")};
        const bool separadas = separar(base);
        const Ranuras r = m_a.modoGrupo && !separadas ? ranuras(m_simples) : Ranuras{};
        QString select = m_conteo ? kSelectConteo : m_p.Select();
        QString agrupar;
        if (!m_conteo) {
            columnasCondiciones(base, separadas, select, agrupar);
            select += r.select;
        }
        QString where = whereNormal();
        where += sentencias(where, textos(base, separadas, m_a.modoGrupo), m_todas) + r.where;
        const QString from =
            ListingModule::GenerarSQLFrom(kFrom, separadas ? base : m_d.tablas) + r.from;
        QString groupBy;
        if (m_conteo)
            groupBy = kGroupByConteo + r.groupBy;
        else if (m_a.modoGrupo)
            groupBy = m_p.GroupBy() + agrupar + r.groupBy;
        return select + from + where + groupBy + having(r.having);
    }

    // ---- Record families: one UNION member per family ----

    // `esUnion`: whether the text is a UNION (or the single SELECT that lists nobody).
    QString especialIgual(bool& esUnion) const {
        QList<Participante> participantes;
        for (const QString& codigo : m_a.familias) {
            const FamiliaFicha* f = familiaFicha(codigo);
            if (!f) continue;
            Participante p;
            p.familia = f;
            bool puede = true;
            for (const FilaCondicion* ficha : m_fichas) {
                const QString c = CondicionEspecial(*f, *ficha);
                if (c.isNull()) {
                    puede = false; // the family cannot meet this condition
                    break;
                }
                p.clausulas += c;
            }
            if (!puede) continue;
            p.garantia = m_garantia && f->detalle;
            QStringList base{QStringLiteral("PACIENTE"), t(f->tabla)};
            if (p.garantia) base.append(t(f->detalle));
            // A condition on the family's own table speaks of the listed record, as with "all";
            // only the tables beyond it go into EXISTS.
            const bool separadas = separar(base);
            p.condiciones = textos(base, separadas, false);
            p.tablas = separadas ? base : m_d.tablas;
            participantes.append(p);
        }
        esUnion = !participantes.isEmpty();
        if (participantes.isEmpty()) {
            // No ticked family can meet the record conditions: a statement that lists nobody.
            return (m_conteo ? kSelectConteo : m_p.Select()) + kFrom + whereFijo(m_d.particion) +
                   QStringLiteral(" AND 1 = 0") + (m_conteo ? kGroupByConteo : QString());
        }
        QList<ColumnasMiembro> columnas;
        if (!m_conteo) {
            QList<MiembroUnion> miembros;
            for (const Participante& p : participantes)
                miembros.append({t(p.familia->codigo), p.garantia});
            columnas = m_p.ColumnasUnion(miembros);
        }
        QStringList textos;
        for (qsizetype i = 0; i < participantes.size(); ++i)
            textos.append(miembroFamilia(participantes.at(i),
                                         m_conteo ? ColumnasMiembro{} : columnas.value(i)));
        return textos.join(QStringLiteral(" UNION "));
    }

    QString miembroFamilia(const Participante& p, const ColumnasMiembro& columnas) const {
        const FamiliaFicha& f = *p.familia;
        const QString tabla = t(f.tabla);
        const QString select = m_conteo ? kSelectConteo : m_p.Select() + columnas.select;
        QString base = QStringLiteral(" FROM PACIENTE, ") + tabla;
        if (p.garantia) base += QStringLiteral(", ") + t(f.detalle);
        base += QLatin1Char(' ');
        QString from = ListingModule::GenerarSQLFrom(base, p.tablas);
        QString where = whereFijo(m_d.particion) + QStringLiteral(" AND PACIENTE.ID_PACIENTE = ") +
                        tabla + QStringLiteral(".ID_PACIENTE ");
        where += sentencias(where, p.condiciones, m_todas) + p.clausulas;
        QString groupBy;
        QString hav;
        if (m_a.modoGrupo) {
            const QString alias = t(f.alias);
            from += QStringLiteral(", ") + tabla + QLatin1Char(' ') + alias + QLatin1Char(' ');
            where += QStringLiteral(" AND ") + alias +
                     QStringLiteral(".ID_PACIENTE = PACIENTE.ID_PACIENTE ");
            const QString numero = QStringLiteral(", ") + tabla + QStringLiteral(".NUMERO_FICHA ");
            groupBy = (m_conteo ? kGroupByConteo : m_p.GroupBy() + columnas.groupBy) + numero;
            hav = having({t(f.having)});
        } else if (m_conteo) {
            groupBy = kGroupByConteo;
        }
        return select + from + where + groupBy + hav;
    }

    // ---- Patients without records (GenerarSQLEspecialDistinto) ----

    QString especialDistinto() const {
        const QStringList base{QStringLiteral("PACIENTE")};
        const bool separadas = separar(base);
        const QString select = m_conteo ? kSelectConteo : m_p.SelectDistinto();
        const QString from =
            ListingModule::GenerarSQLFrom(kFromDistinto, separadas ? base : m_d.tablas);
        QString where = whereFijo(m_d.particion);
        for (const char* tabla : kTablasFicha) {
            const QString n = t(tabla);
            where += QStringLiteral(" AND NOT EXISTS (SELECT ") + n +
                     QStringLiteral(".ID_PACIENTE from ") + n + QStringLiteral(" where ") + n +
                     QStringLiteral(".ID_PACIENTE = PACIENTE.ID_PACIENTE) ");
        }
        // Record conditions name a family; patients without records have none to meet them
        // against, so only the patient conditions apply.
        where += sentencias(where, textos(base, separadas, false), m_todas);
        return select + from + where + (m_conteo ? kGroupByConteo : QString());
    }

    const PerfilSentencia& m_p;
    const DatosSentenciaGeneral& m_d;
    const AnalisisGeneral& m_a;
    bool m_conteo;
    bool m_todas;
    Filas m_simples; // conditions joined with AND / OR
    Filas m_fichas;  // record conditions: a clause per family
    bool m_garantia = false;
};

} // namespace

AnalisisGeneral AnalizarCondicionesGeneral(const QList<FilaCondicion>& filas,
                                           const QStringList& familiasTipoFicha) {
    AnalisisGeneral a;
    auto fijarFamilias = [&](const QStringList& familias) {
        if (a.tipoFichaVisto) return;
        a.familias = familias;
        a.operadorTipoFicha = operador::IgualA;
    };
    for (const FilaCondicion& f : filas) {
        switch (f.idEntero()) {
        case 50:
            a.tipoFichaVisto = true;
            a.operadorTipoFicha = f.condicion;
            a.familias = familiasTipoFicha;
            break;
        case 433:
        case 434:
            fijarFamilias({familia::Graduaciones, familia::Lentillas, familia::Audifonos,
                           familia::Optometria});
            break;
        case 435:
        case 51:
        case 52:
            fijarFamilias({familia::Graduaciones, familia::Lentillas, familia::Audifonos});
            break;
        case 55:
            a.modoGrupo = f.condicion1 != QLatin1String("Todas");
            a.reiniciaResultado = true;
            break;
        case 56:
            a.tablaUltimaVisita = true;
            break;
        case 95:
            if (f.condicion1 == QLatin1String("No")) a.filtroLentillas = false;
            break;
        case 134:
            if (f.condicion1 == QLatin1String("No")) a.filtroGraduacion = false;
            break;
        default:
            break;
        }
    }
    return a;
}

QString PerfilSentencia::Orden(qint16 orden, qint16 sentido, FormaOrden) const {
    return ListingModule::GenerarSQLOrder(orden, sentido);
}

const PerfilSentencia& PerfilGeneral() {
    static const PerfilGeneralImpl perfil;
    return perfil;
}

QString GenerarSentenciaPacientes(const PerfilSentencia& perfil, const DatosSentenciaGeneral& datos,
                                  FormaSentencia forma, qint16 orden, qint16 sentido, bool todas) {
    // The partition goes into the statement as it is: it must be an integer.
    static const QRegularExpression entero(QStringLiteral("^-?[0-9]{1,9}$"));
    if (!entero.match(datos.particion).hasMatch())
        throw Error(QStringLiteral("El valor de la partición de datos no es un número entero: '%1'")
                        .arg(datos.particion));
    return Constructor(perfil, datos, forma, todas).generar(orden, sentido);
}

QString GenerarSentenciaGeneral(const DatosSentenciaGeneral& datos, FormaSentencia forma,
                                qint16 orden, qint16 sentido, bool todas) {
    return GenerarSentenciaPacientes(PerfilGeneral(), datos, forma, orden, sentido, todas);
}

QStringList TablasDeSentencia(const QString& sentencia, const QStringList& tablas) {
    QStringList encontradas;
    for (const QString& tabla : tablas) {
        if (tabla.isEmpty() || encontradas.contains(tabla)) continue;
        const QString marca = tabla + QLatin1Char('.');
        for (qsizetype desde = 0;;) {
            const qsizetype i = sentencia.indexOf(marca, desde, Qt::CaseInsensitive);
            if (i < 0) break;
            const QChar antes = i > 0 ? sentencia.at(i - 1) : QChar(u' ');
            if (!antes.isLetterOrNumber() && antes != QLatin1Char('_')) {
                encontradas.append(tabla);
                break;
            }
            desde = i + 1;
        }
    }
    return encontradas;
}

} // namespace quill
