#pragma once

#include "lstbasesentencia.h"

#include <QStringList>

#include <map>
#include <memory>

namespace quill {

class LocalidadCache;
class MaestroCache;
struct MaestroDef;

// The sentence builder of the patient listings: turns the condition set by the window into the SQL
// fragment of its catalogue field (catalogo.h) and collects the tables the fragments need.
class TLstSentPaciente : public TLstBaseSentencia {
public:
    explicit TLstSentPaciente(const QString& conexion = QString());
    ~TLstSentPaciente() override;

    // Consumption sub-family: 2 spectacles, 3 contact lenses, 4 hearing aids.
    qint16 TipoListado() const { return m_tipoListado; }
    void setTipoListado(qint16 tipo) { m_tipoListado = tipo; }

    // Tables the fragments built so far need in FROM, each once, in order of first use.
    const QStringList& Tablas() const { return m_tablas; }
    void AnadirTabla(const QString& tabla);
    // Forgets the collected tables (the window does it between two listings).
    void VaciarTablas() { m_tablas.clear(); }

    // The locality cache behind postal codes and provinces. Unless set, the shared cache of the
    // builder's connection, loaded on first use.
    std::shared_ptr<LocalidadCache> localidades();
    void setLocalidades(std::shared_ptr<LocalidadCache> cache) { m_localidades = std::move(cache); }

    // The master a name list is looked up in: unless set, the shared cache of the builder's
    // connection, read on first use and kept while the builder lives. Throws quill::Error when
    // it cannot be read.
    std::shared_ptr<MaestroCache> maestro(const MaestroDef& def);
    void setMaestro(const MaestroDef& def, std::shared_ptr<MaestroCache> cache);

    // Name lists: Condicion1 holds the chosen names separated by ";"; Lista is emptied and gets
    // the id of each name found in the master, in the order of the names. A name the master
    // does not have adds nothing; when no name is found for "Igual a..." or "Distinto de..."
    // the condition is refused (it would compare with nothing).
    void ResolverNombres(const MaestroDef& def);

    // The fragment of the current condition, chosen by the integer part of Id; empty when the
    // catalogue has no entry for it. Adds the entry's tables to Tablas once the fragment is built,
    // so a refused value leaves Tablas as it was.
    QString GenerarSentencia();
    // The same for the consumption fields, which depend on TipoListado.
    QString GenerarSentenciaConsumo();

    // Postal-code field (Id 4): the postal codes of the condition become the ids of the localities
    // that have them, in Lista; returns the fragment GenerarSentencia then builds.
    QString CodigosPostales();
    // Province field (Id 6): the province ids in Lista become the ids of their localities;
    // returns the fragment GenerarSentencia then builds.
    QString LocalidadesProvincia();

    // The comparison of a numeric column; with a sentinel, rows holding it never match.
    QString SentenciaNumero(int centinela, const QString& columna);
    // A date comparison without column or empty-date guard (the data module adds the column).
    QString SentenciaFechaValor();
    // A patient-id list: "In (" ... ")" (the data module adds the column).
    QString SentenciaIn();
    // As SentenciaLista, for yes/no columns whose only empty value is -1.
    QString SentenciaListaSimple(const QString& columna);
    // texto with every occurrence of buscado replaced, left to right.
    QString ReemplazarTexto(const QString& texto, const QString& buscado,
                            const QString& reemplazo) const;

    // Age in years (Id 24): rewritten into a condition on the date of birth column and built
    // with SentenciaFecha on it.
    QString SentenciaEdad(const QString& columnaNacimiento);

private:
    QString generar(bool consumo);

    qint16 m_tipoListado = 0;
    QStringList m_tablas;
    // Filled by CodigosPostales/LocalidadesProvincia when the window set no list.
    QStringList m_listaPropia;
    std::shared_ptr<LocalidadCache> m_localidades;
    std::map<QString, std::shared_ptr<MaestroCache>> m_maestros; // by the master's SELECT
};

} // namespace quill
