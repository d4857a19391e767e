#pragma once

// What the data modules of the patient listings built like the General one share (General,
// Fechas): the listing utilities of the bound connection, one walk over the open result that
// takes every patient once and applies the lens and prescription filters, the SMS table, the
// count, the latest record date of each patient, and small helpers to fill result tables.

#include "queries/listingmodule.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <memory>
#include <vector>

class QSqlRecord;

namespace quill {

class MemTable;
class TLstUtil;

// The shop's empty date.
inline const QDate kFechaVaciaTienda(1899, 12, 30);

// Empties a result table and opens it again.
void Reabrir(MemTable& tabla);

// Appends rows to a result table by field name, resolved once per table.
class DestinoTabla {
public:
    // Throws quill::Error when the table lacks one of the fields.
    DestinoTabla(MemTable& tabla, const QStringList& campos);
    // Value of the n-th field named at construction.
    void poner(int n, const QVariant& v) { m_valores[m_indices[size_t(n)]] = v; }
    void anadir();

private:
    MemTable& m_tabla;
    std::vector<int> m_indices;
    QVariantList m_valores;
};

// Postal code, locality and province of each locality met in one walk: many patients share a
// locality, and one text per locality is shared by all their rows.
class TextosLocalidad {
public:
    explicit TextosLocalidad(TLstUtil& util) : m_util(util) {}
    const std::array<QString, 3>& operator()(int idLocalidad);

private:
    TLstUtil& m_util;
    QHash<int, std::array<QString, 3>> m_textos;
};

// Positions of the patient columns of a result, by name, resolved once per walk (-1: not in
// this result).
struct ColumnasPaciente {
    explicit ColumnasPaciente(const QSqlRecord& r);

    static QVariant valor(const QSqlQuery& q, int i) { return i < 0 ? QVariant() : q.value(i); }

    int id, codigo, apellidos, nombre, nombreCompleto, movil, direccion, vienePor, sexo, nacimiento,
        primeraVisita, ultimaVisita, carnet, descuento, totalM1, email, web, nif, correo, profesion,
        telefono, totalM2, tienda, localidad;
};

// The patient fields of the per-patient table (memPacientes of General and Consumo), in the order
// PonerPaciente fills them; a kind's own fields follow them.
const QStringList& CamposTablaPaciente();

// Fills the CamposTablaPaciente fields of `d` from one patient row: `c` names the row's columns
// (any set of columns with the patient members and a static valor(q, i)); the locality texts
// come from `localidades`, one lookup per locality.
template <typename Columnas>
void PonerPaciente(DestinoTabla& d, const QSqlQuery& q, const Columnas& c, int id,
                   TextosLocalidad& localidades) {
    auto v = [&](int i) { return Columnas::valor(q, i); };
    const int localidad = v(c.localidad).toInt();
    const auto& textos = localidades(localidad);
    const QVariant valores[] = {
        double(id),
        v(c.codigo),
        v(c.apellidos),
        v(c.nombre),
        v(c.nombreCompleto),
        v(c.direccion),
        textos[0],
        textos[1],
        textos[2],
        v(c.telefono),
        v(c.movil),
        v(c.email),
        localidad,
        QString(),
        v(c.sexo),
        v(c.nacimiento),
        v(c.ultimaVisita),
        v(c.primeraVisita),
        v(c.carnet),
        0.0,
        0.0,
        v(c.web),
        QString(),
        v(c.correo),
        QString(),
        0.0,
        1,
        QString(),
    };
    for (int i = 0; i < int(std::size(valores)); ++i)
        d.poner(i, valores[i]);
}

class ModuloPacientes : public ListingModule {
    Q_OBJECT
public:
    explicit ModuloPacientes(QObject* owner = nullptr);
    ~ModuloPacientes() override;

    // Patients of the last run that pass the lens and prescription filters.
    double ContarPacientes() override;

    // Fills memSMS from the last run: one row per patient whose mobile number passes the
    // mobile check, with the full name.
    // comprobar false: every non-empty mobile as stored, for the mass SMS, which checks them
    // itself.
    void TablaSMS(bool comprobar = true);

    MemTable* memSMS;

    // The listing utilities of the bound connection (localities, mobile check, record tests),
    // created on first use. Tests may give their own.
    TLstUtil& Util();
    void setUtil(std::unique_ptr<TLstUtil> util);

    // Up to this many patients the latest record dates come from BUSCAR_ULTIMA_FICHA, one call
    // per patient; above it from one grouped read per record table, which gives the same dates.
    int LimiteUltimaFichaPorPaciente = 2000;

    // The latest record date of each patient (the empty date 30/12/1899 when there is none).
    QHash<int, QDate> UltimasFichas(const QList<int>& pacientes);

protected:
    // The lens and prescription filters of the run (95 and 134 "No": only patients without
    // such records).
    void FijarFiltros(bool lentillas, bool graduacion) {
        m_filtroLentillas = lentillas;
        m_filtroGraduacion = graduacion;
    }
    // Runs a statement afresh: the record tests read their tables again.
    qint16 EjecutarListado(const QString& sentencia);
    bool PasaFiltros(int idPaciente);

    // Walks the open result of the last successful run once, calling
    // fila(const QSqlQuery&, const ColumnasPaciente&, int idPaciente) for every patient that
    // passes the filters. A patient the statement lists several times (one row per matching
    // record) is taken once, at its first row, wherever its rows fall in the order.
    template <typename Fn> void Recorrer(Fn fila) {
        if (Resultado != kListadoCorrecto || !IrAlPrimero()) return;
        QSqlQuery& q = *dstListado();
        const ColumnasPaciente c(q.record());
        QSet<int> vistos;
        do {
            const int id = ColumnasPaciente::valor(q, c.id).toInt();
            if (id == 0 || vistos.contains(id)) continue;
            vistos.insert(id);
            if (PasaFiltros(id)) fila(q, c, id);
        } while (q.next());
    }

private:
    std::unique_ptr<TLstUtil> m_util;
    QString m_utilConexion;
    bool m_filtroLentillas = true;
    bool m_filtroGraduacion = true;
};

} // namespace quill
