#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace quill {

class LocalidadCache;

// The vocabulary of a condition field for the condition grid: the operators its type offers, the
// text behind an operator code, the names and ids of its value list and the hints of the grid
// columns. Database-backed lists come from masters read once per run and shared.
class TLstConfiguracion {
public:
    // Codes of CargarOperadores / CargarValores.
    static constexpr int Preparado = 0;
    static constexpr int SinLista = -1;     // type or list code without a list
    static constexpr int ErrorLectura = -2; // the master could not be read; see Error()

    // The three host words of the user object that name the default operators.
    struct PalabrasOperador {
        int numero = 0;
        int texto = 0;
        int fecha = 0;
    };

    // connectionName: the Qt connection of the shop database the masters are read from.
    explicit TLstConfiguracion(const QString& connectionName = QString());

    // Field type (the row's TipoCondicion).
    void setTipoCampo(qint16 tipo) { m_tipoCampo = tipo; }
    qint16 TipoCampo() const { return m_tipoCampo; }

    // Refills Operadores() for TipoCampo(): Preparado, or SinLista for a type outside 0..7, which
    // leaves the list as it was.
    int CargarOperadores();
    // The grid's list for a catalogue field: only "Igual a..." for the reduced fields, otherwise
    // the type's set, with "...Entre..." appended for a text field whose value list is 16.
    int CargarOperadoresCampo(double id, qint16 tipoObjeto);
    const QStringList& Operadores() const { return m_operadores; }

    // Fields whose operators are reduced to "Igual a..." whatever their type.
    static bool OperadoresReducidos(double id);
    // Operator code (the saved-filter code and the user's default-operator words) to its text;
    // any code without text gives "Igual a...".
    static QString TextoOperador(int codigo);
    // Operator text back to its code; -1 for a text without code ("Vacío", "No Vacío", others).
    static int CodigoOperador(const QString& texto);
    // The operator put into a freshly chosen field when its operator cell is first edited: the
    // user's word for numbers, texts or dates, "Igual a..." for list and picker fields, and an
    // empty text for the configuration-only types.
    static QString OperadorPorDefecto(qint16 tipoCampo, const PalabrasOperador& palabras);

    // Clears both lists, then fills names and ids (decimal integer texts, item i of one matching
    // item i of the other) for a list code (the row's TipoObjeto). Preparado, SinLista (both lists
    // empty) or ErrorLectura (both empty, Error() tells why).
    int CargarValores(qint16 codigoLista);
    const QStringList& Nombres() const { return m_nombres; }
    const QStringList& Ids() const { return m_ids; }
    // Id paired with a name of the loaded list (first match); empty when the name is not there.
    QString IdDeNombre(const QString& nombre) const;
    // Message of the last failed list load, in the user's language; empty otherwise.
    QString Error() const { return m_error; }

    // Localities of a name, for the multiple choice of list 1: every id found, as decimal texts.
    QStringList IdsLocalidad(const QString& nombre);

    // Whether a list code has a fixed list, a database-backed list, or neither.
    static bool EsListaFija(qint16 codigoLista);
    static bool EsListaBaseDatos(qint16 codigoLista);

    // Status-bar hint of a grid column; empty for any column but 1 to 4.
    static QString Ayuda(qint16 columna);

    // Configuration mode (0..15) set once by the window; a value outside is refused (false).
    bool setModo(int modo);
    int Modo() const { return m_modo; }
    // The configuration filter value handed over by the window; -1.0 means no filter.
    void setFiltroConfiguracion(double valor) { m_filtroConfiguracion = valor; }
    double FiltroConfiguracion() const { return m_filtroConfiguracion; }

    // Tests and callers without a database may give their own locality cache.
    void setLocalidades(std::shared_ptr<LocalidadCache> cache) { m_localidades = std::move(cache); }

private:
    int cargarListaBaseDatos(qint16 codigoLista);
    LocalidadCache* localidades();

    QString m_connectionName;
    qint16 m_tipoCampo = 0;
    QStringList m_operadores;
    QStringList m_nombres;
    QStringList m_ids;
    QString m_error;
    int m_modo = 0;
    double m_filtroConfiguracion = -1.0;
    std::shared_ptr<LocalidadCache> m_localidades;
};

} // namespace quill
