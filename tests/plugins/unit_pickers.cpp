// The pickers' rules that need no window: how a typed text is searched, the statements it runs,
// and which conditions the article picker accepts.

#include "tfrmbuscarpaciente.h"
#include "tfrmseleccionarticulos.h"

#include <gtest/gtest.h>

namespace {

using pickers::BusquedaPaciente;

struct CasoBusqueda {
    const char* texto;
    BusquedaPaciente::Tipo tipo;
    const char* prefijo;
    const char* movil;
};

TEST(BuscarPaciente, ElTextoDecideDondeSeBusca) {
    const QList<CasoBusqueda> casos = {
        {"", BusquedaPaciente::Tipo::Ninguna, "", ""},
        {" garcía ", BusquedaPaciente::Tipo::Apellidos, "GARCÍA", ""},
        {"646.916 6", BusquedaPaciente::Tipo::Numero, "646.916 6", "6469166"},
        {"x1234567l", BusquedaPaciente::Tipo::Numero, "X1234567L", "X1234567L"},
    };
    for (const CasoBusqueda& c : casos) {
        const BusquedaPaciente b = pickers::ClasificarBusqueda(QString::fromUtf8(c.texto));
        EXPECT_EQ(b.tipo, c.tipo) << c.texto;
        EXPECT_EQ(b.texto, QString::fromUtf8(c.prefijo)) << c.texto;
        EXPECT_EQ(b.movil, QString::fromUtf8(c.movil)) << c.texto;
    }
}

TEST(BuscarPaciente, Sentencias) {
    const QString select = QStringLiteral(
        "SELECT PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, PACIENTE.TELEFONO_MOVIL, "
        "PACIENTE.NIF FROM PACIENTE WHERE PACIENTE.ID_PACIENTE != 0 AND PACIENTE.BORRADO + 0 = 0 "
        "AND PACIENTE.LICENCIA + 0 = ?");
    EXPECT_EQ(pickers::SentenciaBusqueda(BusquedaPaciente::Tipo::Ninguna), QString());
    EXPECT_EQ(pickers::SentenciaBusqueda(BusquedaPaciente::Tipo::Apellidos),
              select + QStringLiteral(" AND UPPER(PACIENTE.APELLIDOS) STARTING WITH CAST(? AS "
                                      "VARCHAR(50)) ORDER BY UPPER(PACIENTE.APELLIDOS) ROWS 200"));
    EXPECT_EQ(pickers::SentenciaBusqueda(BusquedaPaciente::Tipo::Numero),
              select + QStringLiteral(
                           " AND (CAST(PACIENTE.CODIGO AS VARCHAR(11)) STARTING WITH CAST(? AS "
                           "VARCHAR(50)) OR UPPER(PACIENTE.NIF) STARTING WITH CAST(? AS "
                           "VARCHAR(50)) OR REPLACE(REPLACE(REPLACE(PACIENTE.TELEFONO_MOVIL, "
                           "'.', ''), ' ', ''), '-', '') STARTING WITH CAST(? AS VARCHAR(50))) "
                           "ORDER BY PACIENTE.CODIGO ROWS 200"));
}

TEST(SeleccionArticulos, CondicionesQueSeAceptan) {
    using C = pickers::CondicionArticulo;
    const auto texto = [](const QString& op, const QString& v1, const QString& v2 = {}) {
        return C{501, QStringLiteral("Referencia"), op, 1, 0, v1, v2, {}};
    };
    const auto numero = [](const QString& op, const QString& v1, const QString& v2 = {}) {
        return C{513, QStringLiteral("Importe"), op, 0, 0, v1, v2, {}};
    };
    const auto lista = [](const QString& op, const QString& nombres, const QString& ids) {
        return C{505, QStringLiteral("Familia"), op, 4, 17, nombres, {}, ids};
    };
    const struct {
        C condicion;
        QString motivo;
    } casos[] = {
        {C{}, {}}, // a row without field is dropped, not refused
        {texto({}, QStringLiteral("RB")),
         QStringLiteral("Elija la condición del campo Referencia")},
        {texto(QStringLiteral("Empieza por..."), QStringLiteral("  ")),
         QStringLiteral("Escriba el valor del campo Referencia")},
        {numero(QStringLiteral("Mayor que..."), QStringLiteral("doce")),
         QStringLiteral("El valor 'doce' del campo Importe no es un número")},
        {numero(QStringLiteral("...Entre..."), QStringLiteral("10")),
         QStringLiteral("Escriba el valor final del campo Importe")},
        {numero(QStringLiteral("...Entre..."), QStringLiteral("-1"), QStringLiteral("20")), {}},
        {lista(QStringLiteral("Igual a..."), QStringLiteral("Metal; Sol"), QStringLiteral("1;3")),
         {}},
        {lista(QStringLiteral("Igual a..."), QStringLiteral("Metal"), {}),
         QStringLiteral("Marque en la lista algún valor del campo Familia")},
    };
    for (const auto& c : casos)
        EXPECT_EQ(pickers::ValidarCondicion(c.condicion), c.motivo)
            << c.condicion.campo.toStdString() << " " << c.condicion.condicion.toStdString() << " "
            << c.condicion.condicion1.toStdString();
}

} // namespace
