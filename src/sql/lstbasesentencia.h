#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace quill {

// The operator texts of the condition grid, compared literally.
namespace operador {
inline const QString IgualA = QStringLiteral("Igual a...");
inline const QString DistintoDe = QStringLiteral("Distinto de...");
inline const QString MayorQue = QStringLiteral("Mayor que...");
inline const QString MenorQue = QStringLiteral("Menor que...");
inline const QString Entre = QStringLiteral("...Entre...");
inline const QString Vacio = QStringLiteral("Vacío");
inline const QString NoVacio = QStringLiteral("No Vacío");
inline const QString EmpiezaPor = QStringLiteral("Empieza por...");
inline const QString TermineEn = QStringLiteral("Termine en...");
inline const QString Contiene = QStringLiteral("...Contiene...");
// Every operator text the grid offers.
inline const QStringList Todos = {IgualA, DistintoDe, MayorQue,   MenorQue,  Entre,
                                  Vacio,  NoVacio,    EmpiezaPor, TermineEn, Contiene};
} // namespace operador

// Base of the sentence builders: the condition being built (operator, one or two values, the
// field's catalogue id and the window's selected-ids list) and the operator builders that turn it
// into SQL text. Values are checked as they are used (valores.h); a value that cannot be used
// throws quill::Error with the fragment-error message.
class TLstBaseSentencia {
public:
    // conexion: the Qt SQL connection name of the shop database, kept for the business objects
    // the derived builder creates.
    explicit TLstBaseSentencia(const QString& conexion = QString());
    virtual ~TLstBaseSentencia();
    TLstBaseSentencia(const TLstBaseSentencia&) = delete;
    TLstBaseSentencia& operator=(const TLstBaseSentencia&) = delete;

    const QString& Condicion1() const { return m_condicion1; }
    void setCondicion1(const QString& valor);
    const QString& Condicion2() const { return m_condicion2; }
    void setCondicion2(const QString& valor);
    const QString& Condicion() const { return m_condicion; }
    void setCondicion(const QString& valor);
    double Id() const { return m_id; }
    void setId(double id) { m_id = id; }
    // The window's selected-ids list; not owned, may be null (read as empty).
    QStringList* Lista() const { return m_lista; }
    void setLista(QStringList* lista) { m_lista = lista; }

    const QString& conexion() const { return m_conexion; }

    // "Today" for ages and two-digit years; the current date unless set (tests fix it).
    QDate hoy() const;
    void setHoy(const QDate& hoy) { m_hoy = hoy; }

    // col != empty date AND col, then the comparison with Condicion1 (and Condicion2).
    QString SentenciaFecha(const QString& columna);
    // Comparison of a text column with Condicion1 (and Condicion2), upper-cased when asked.
    QString SentenciaTexto(bool mayusculas);
    // Comparison of an observation memo with the upper-cased Condicion1.
    QString SentenciaMemo();
    // The chosen ids of Lista compared with an id column; closes the entry's parenthesis.
    QString SentenciaLista(const QString& columna);
    // " = " and the first id of Lista.
    QString SentenciaPrimero();

protected:
    // The items of Lista, or none when no list was set.
    QStringList itemsLista() const;
    // Condicion1 / Condicion2 read as dates; a null date for an empty Condicion2.
    QDate fecha1() const;
    QDate fecha2() const;
    // The comparison of a date builder for the current operator, without column; empty for
    // operators that compare nothing.
    QString comparacionFecha(const QDate& d1, const QDate& d2) const;
    // The id list builders share everything but the empty/non-empty texts.
    QString listaIds(const QString& columna, const QString& noVacio, const QString& vacio);

private:
    QString m_condicion1;
    QString m_condicion2;
    QString m_condicion;
    double m_id = -1;
    QStringList* m_lista = nullptr;
    QString m_conexion;
    QDate m_hoy;
};

} // namespace quill
