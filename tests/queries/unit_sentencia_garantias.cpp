// The Warranties listing without a database: its statement compared as whole texts (members by
// family, the mail condition inside the join, guarantee dates in WHERE, the order rules), the
// families and eyes its conditions choose, the completeness rules and the grouping of lines
// into records, and the one statement the runner prints for it.

#include "condiciones.h"

#include "actions/ejecutor.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/sentenciagarantias.h"
#include "queries/tdmgarantias.h"
#include "testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

using quill::FilaCondicion;

namespace {

// The documented member texts, written out here on their own so that a slip in the module
// shows.
const QString kPaciente = QStringLiteral(
    "PACIENTE.CODIGO, PACIENTE.NOMBRE_COMPLETO, PACIENTE.DIRECCION, PACIENTE.TELEFONO, "
    "PACIENTE.TELEFONO_MOVIL, PACIENTE.E_MAIL, PACIENTE.ID_LOCALIDAD, PACIENTE.NOMBRE, "
    "PACIENTE.APELLIDOS, PACIENTE.VIENE_POR, PACIENTE.NIF, PACIENTE.SEXO, "
    "PACIENTE.FECHA_NACIMIENTO, PACIENTE.FECHA_PRIMERA_VISITA, FECHA_ULTIMA_VISITA, FECHA_CARNET, "
    "PACIENTE.ULTIMO_DESCUENTO, PACIENTE.CORREO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, PACIENTE.FOTOGRAFIA, PACIENTE.WEB ");

QString graduacion(const QString& particion = QStringLiteral("1")) {
    return "Select 1, OJO, MGRADUACION.ID_MGRADUACION IDCABECERA, DGRADUACION.FECHA_GARANTIA "
           "GARANTIA, MGRADUACION.ID_PACIENTE IDPACIENTE, " +
           kPaciente +
           "From DGRADUACION INNER JOIN MGRADUACION on MGRADUACION.ID_MGRADUACION = "
           "DGRADUACION.ID_MGRADUACION INNER JOIN PACIENTE On (PACIENTE.ID_PACIENTE = "
           "MGRADUACION.ID_PACIENTE AND PACIENTE.BORRADO = 0 AND PACIENTE.LICENCIA = " +
           particion;
}
QString lentillas() {
    return "Select 2, OJO, MLENTILLA.ID_MLENTILLA IDCABECERA, DLENTILLA.FECHA_GARANTIA GARANTIA, "
           "MLENTILLA.ID_PACIENTE IDPACIENTE, " +
           kPaciente +
           "From DLENTILLA INNER JOIN MLENTILLA on MLENTILLA.ID_MLENTILLA = "
           "DLENTILLA.ID_MLENTILLA INNER JOIN PACIENTE On (PACIENTE.ID_PACIENTE = "
           "MLENTILLA.ID_PACIENTE AND PACIENTE.BORRADO = 0 AND PACIENTE.LICENCIA = 1";
}
QString audifonos() {
    return "Select 3, OIDO OJO, MAUDIFONO.ID_MAUDIFONO IDCABECERA, DAUDIFONO.GARANTIA GARANTIA, "
           "MAUDIFONO.ID_PACIENTE IDPACIENTE, " +
           kPaciente +
           "From DAUDIFONO INNER JOIN MAUDIFONO on MAUDIFONO.ID_MAUDIFONO = "
           "DAUDIFONO.ID_MAUDIFONO INNER JOIN PACIENTE On (PACIENTE.ID_PACIENTE = "
           "MAUDIFONO.ID_PACIENTE AND PACIENTE.BORRADO = 0 AND PACIENTE.LICENCIA = 1";
}

const QString kUnion = QStringLiteral(" UNION ");
const QString kOrden = QStringLiteral(" ORDER BY 6 ,3 ,4 ,2 ");

// Fragments as the sentence builder gives them for 3000 and 3002.
const QString kCorreo = QStringLiteral("PACIENTE.CORREO = 1");
const QString kDesde = QStringLiteral(
    "CAST(FECHA_GARANTIA AS DATE) != '12/30/1899' AND CAST(FECHA_GARANTIA AS DATE) > "
    "'01/01/2024'");
const QString kHasta = QStringLiteral(
    "CAST(FECHA_GARANTIA AS DATE) != '12/30/1899' AND CAST(FECHA_GARANTIA AS DATE) < "
    "'01/01/2030'");

FilaCondicion fila(double id, const QString& sentencia,
                   const QString& condicion = QStringLiteral("Igual a..."),
                   const QString& ids = QString()) {
    FilaCondicion f;
    f.id = id;
    f.sentencia = sentencia;
    f.condicion = condicion;
    f.condicion1Ids = ids;
    return f;
}

QString generar(const QList<FilaCondicion>& filas, const QStringList& familias = {},
                qint16 orden = 0, qint16 sentido = 0,
                const QString& particion = QStringLiteral("1")) {
    quill::DatosSentenciaGarantias d;
    d.filas = filas;
    d.familias = familias;
    d.particion = particion;
    return quill::GenerarSentenciaGarantias(d, orden, sentido);
}

TEST(SentenciaGarantias, TextosCompletos) {
    const QString audifonoDesde = QString(kDesde).replace("FECHA_GARANTIA", "GARANTIA");
    const QString audifonoHasta = QString(kHasta).replace("FECHA_GARANTIA", "GARANTIA");
    struct Caso {
        const char* nombre;
        QList<FilaCondicion> filas;
        QStringList familias;
        QString texto;
    };
    // clang-format off
    const Caso casos[] = {
        {"sin condiciones: las tres familias", {}, {},
         graduacion() + ")" + kUnion + lentillas() + ")" + kUnion + audifonos() + ")" + kOrden},
        {"solo audífonos: un miembro, sin UNION", {}, {"0"}, audifonos() + ")" + kOrden},
        {"las familias van en su orden, se marquen como se marquen", {}, {"0", "1"},
         graduacion() + ")" + kUnion + audifonos() + ")" + kOrden},
        {"optometría no tiene garantías y no añade miembro", {}, {"3", "2"},
         lentillas() + ")" + kOrden},
        {"3000 dentro de la unión, 3002 en WHERE", {fila(3000, kCorreo), fila(3002, kDesde)}, {"1"},
         graduacion() + " AND " + kCorreo + ") WHERE " + kDesde + kOrden},
        {"la segunda fecha se une con AND; en audífonos la columna es GARANTIA",
         {fila(3002, kDesde), fila(3000, kCorreo), fila(3002, kHasta)}, {"2", "0"},
         lentillas() + " AND " + kCorreo + ") WHERE " + kDesde + " AND " + kHasta + kUnion +
             audifonos() + " AND " + kCorreo + ") WHERE " + audifonoDesde + " AND " +
             audifonoHasta + kOrden},
        {"una condición sin fragmento no añade nada",
         {fila(3000, "  "), fila(3002, QString()), fila(3001, QString(), "Igual a...", "0")},
         {"0"}, audifonos() + ")" + kOrden},
    };
    // clang-format on
    for (const Caso& c : casos)
        EXPECT_EQ(generar(c.filas, c.familias).toStdString(), c.texto.toStdString()) << c.nombre;
}

TEST(SentenciaGarantias, OrdenEnLosDosSentidos) {
    struct Caso {
        qint16 orden;
        const char* ascendente;
        const char* descendente;
    };
    const Caso casos[] = {
        {3, " ORDER BY 6 ,3 ,4 ,2 ", " ORDER BY 6  DESC ,3 ,4 ,2 "},
        {18, " ORDER BY 7 ,3 ,4 ,2 ", " ORDER BY 7  DESC ,3 ,4 ,2 "},
        {21, " ORDER BY 8 ,3 ,4 ,2 ", " ORDER BY 8  DESC ,3 ,4 ,2 "},
        {26, " ORDER BY 4 ,3 ,2 ", " ORDER BY 4  DESC ,3 ,2 "},
        {0, " ORDER BY 6 ,3 ,4 ,2 ", " ORDER BY 6  DESC ,3 ,4 ,2 "},
        {24, " ORDER BY 6 ,3 ,4 ,2 ", " ORDER BY 6  DESC ,3 ,4 ,2 "},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(quill::OrdenGarantias(c.orden, 0), QLatin1String(c.ascendente)) << c.orden;
        EXPECT_EQ(quill::OrdenGarantias(c.orden, 1), QLatin1String(c.descendente)) << c.orden;
        // The whole statement ends with it.
        EXPECT_TRUE(generar({}, {"1"}, c.orden, 1).endsWith(QLatin1String(c.descendente)));
    }
}

TEST(SentenciaGarantias, ValoresRechazados) {
    struct Caso {
        const char* nombre;
        QStringList familias;
        QString particion;
        const char* mensaje;
    };
    const Caso casos[] = {
        {"partición con texto", {}, "1 OR 1=1", "no es un número entero"},
        {"partición vacía", {}, "", "no es un número entero"},
        {"solo familias sin garantías", {"3", "4"}, "1", "Ninguno de los tipos de ficha"},
    };
    for (const Caso& c : casos) {
        try {
            generar({}, c.familias, 0, 0, c.particion);
            ADD_FAILURE() << c.nombre << ": sin error";
        } catch (const quill::Error& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.mensaje)))
                << c.nombre << ": " << e.message().toStdString();
        }
    }
    EXPECT_TRUE(generar({}, {}, 0, 0, "-2").contains("PACIENTE.LICENCIA = -2)"));
}

TEST(SentenciaGarantias, FamiliasYOjosDeLasCondiciones) {
    struct Caso {
        const char* nombre;
        QList<FilaCondicion> filas;
        QStringList familias; // handed over by the window
        QStringList ojos;
        QStringList familiasEsperadas;
        QList<int> ojosEsperados;
    };
    // clang-format off
    const Caso casos[] = {
        {"sin filas no cuenta lo entregado antes", {}, {"0"}, {"1\n2"}, {}, {}},
        {"la fila usa sus propios ids",
         {fila(3001, {}, "Igual a...", "1;2"), fila(3003, {}, "Igual a...", "2")},
         {"0"}, {"1\n2"}, {"1", "2"}, {2}},
        {"sin ids propios, lo entregado por la ventana",
         {fila(3001, {}), fila(3003, {})}, {"0", "2"}, {"1\n2"}, {"0", "2"}, {1, 2}},
        {"la última fila de un campo cuenta",
         {fila(3001, {}, "Igual a...", "1"), fila(3001, {}, "Igual a...", "0")}, {}, {},
         {"0"}, {}},
        {"un ojo marcado dos veces es una entrada", {fila(3003, {}, "Igual a...", "1;1; 2")},
         {}, {}, {}, {1, 2}},
    };
    // clang-format on
    for (const Caso& c : casos) {
        const quill::SeleccionGarantias s =
            quill::LeerSeleccionGarantias(c.filas, c.familias, c.ojos);
        EXPECT_EQ(s.familias, c.familiasEsperadas) << c.nombre;
        EXPECT_EQ(s.ojos, c.ojosEsperados) << c.nombre;
    }
    // Only the ticked values are chosen: another operator would be read as if it were "Igual".
    for (const char* op : {"Distinto de...", "Vacío", "No Vacío"})
        for (double id : {3001.0, 3003.0})
            EXPECT_THROW(
                quill::LeerSeleccionGarantias({fila(id, {}, QString::fromUtf8(op), "1")}, {}, {}),
                quill::Error)
                << op << " " << id;
    EXPECT_THROW(quill::OjosGarantia({"1\nx"}), quill::Error);
}

TEST(SentenciaGarantias, FichaCompleta) {
    using namespace quill::fichagarantia;
    struct Caso {
        int familia, lineas, ojos;
        bool completa;
    };
    const Caso casos[] = {
        // Spectacles: both lenses and the frame, or at least the ticked eyes.
        {Graduacion, 3, 0, true},
        {Graduacion, 2, 0, false},
        {Graduacion, 4, 0, false},
        {Graduacion, 1, 1, true},
        {Graduacion, 3, 2, true},
        {Graduacion, 1, 2, false},
        // Lenses and hearing aids: both eyes, or exactly the ticked ones.
        {Lentillas, 2, 0, true},
        {Lentillas, 3, 0, true},
        {Lentillas, 1, 0, false},
        {Lentillas, 1, 1, true},
        {Lentillas, 2, 1, false},
        {Audifonos, 2, 0, true},
        {Audifonos, 1, 0, false},
        {Audifonos, 2, 2, true},
        {Audifonos, 3, 2, false},
        {0, 3, 0, false},
        {4, 2, 0, false},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(quill::FichaCompleta(c.familia, c.lineas, c.ojos), c.completa)
            << c.familia << " " << c.lineas << " " << c.ojos;
}

// Lines of several records, as (family, record id, eye).
struct Linea {
    int familia;
    qint64 cabecera;
    int ojo;
};

QList<int> agrupar(const QList<Linea>& lineas, const QList<int>& ojos = {}) {
    quill::AgrupadorFichas a(ojos);
    for (const Linea& l : lineas)
        a.Linea(l.familia, l.cabecera, l.ojo);
    return a.Completas();
}

TEST(SentenciaGarantias, AgrupacionEnFichas) {
    struct Caso {
        const char* nombre;
        QList<Linea> lineas;
        QList<int> ojos;
        QList<int> completas; // record indexes, in the order of their first line
    };
    // clang-format off
    const Caso casos[] = {
        {"gafas con tres líneas sí, con dos no",
         {{1, 10, 1}, {1, 10, 2}, {1, 10, 3}, {1, 11, 1}, {1, 11, 2}}, {}, {0}},
        {"las líneas de una ficha separadas por otras (orden por fecha de garantía)",
         {{1, 10, 1}, {2, 10, 1}, {1, 10, 2}, {2, 10, 2}, {1, 11, 3}, {1, 10, 3}}, {}, {0, 1}},
        {"el mismo id en dos familias son dos fichas",
         {{2, 7, 1}, {3, 7, 1}, {3, 7, 2}}, {}, {1}},
        {"un ojo marcado: la lentilla de ese ojo sola",
         {{2, 1, 1}, {2, 2, 2}, {2, 3, 1}, {2, 3, 2}}, {1}, {0}},
        {"dos ojos marcados: las lentillas de ambos",
         {{2, 1, 1}, {2, 2, 2}, {2, 3, 2}, {2, 3, 1}}, {1, 2}, {2}},
        {"con ojos marcados, la montura (ojo 3) deja fuera la graduación",
         {{1, 5, 1}, {1, 5, 2}, {1, 5, 3}, {1, 6, 2}, {1, 6, 1}}, {1, 2}, {1}},
        {"el ojo que cuenta es el mayor, venga en la línea que venga",
         {{1, 9, 2}, {1, 9, 1}, {1, 8, 1}}, {1}, {1}},
    };
    // clang-format on
    for (const Caso& c : casos)
        EXPECT_EQ(agrupar(c.lineas, c.ojos), c.completas) << c.nombre;

    quill::AgrupadorFichas a;
    EXPECT_EQ(a.Linea(1, 4, 1), 0);
    EXPECT_TRUE(a.Nueva());
    EXPECT_EQ(a.Linea(2, 4, 1), 1);
    EXPECT_EQ(a.Linea(1, 4, 2), 0);
    EXPECT_FALSE(a.Nueva());
    EXPECT_EQ(a.Fichas(), 2);
}

// Conditions written as for `listado`, built by the window's own path, then run through the
// kind's descriptor: one statement, the builder's real fragments in their places.
TEST(SentenciaGarantias, ElEjecutorDaUnaSentencia) {
    auto dir = quilltest::scratch();
    const QString fichero = dir->filePath(QStringLiteral("c.json"));
    QFile f(fichero);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"([{"Id": 3000, "Condicion1": "Si", "Condicion1Ids": "1"},
                {"Id": 3001, "Condicion1": "Audiometría", "Condicion1Ids": "0"},
                {"Id": 3002, "Condicion": "Mayor que...", "Condicion1": "01/01/2024"},
                {"Id": 3002, "Condicion": "Menor que...", "Condicion1": "01/01/2030"}])");
    f.close();
    quill::cli::CondicionesListado c;
    const QString error = quill::cli::LeerCondiciones(fichero, 6, quilltest::dataDir(), {}, c);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();

    quill::EjecutorListado e(*quill::Listado(6));
    e.Preparar(c.tabla.get(), c.tablas, c.parametros, QStringLiteral("1"), 0);
    for (bool todas : {true, false}) {
        const QStringList sentencias = e.Sentencias(26, 1, todas);
        ASSERT_EQ(sentencias.size(), 1);
        EXPECT_EQ(sentencias.first().toStdString(),
                  (audifonos() + " AND " + kCorreo + ") WHERE " +
                   QString(kDesde).replace("FECHA_GARANTIA", "GARANTIA") + " AND " +
                   QString(kHasta).replace("FECHA_GARANTIA", "GARANTIA") +
                   " ORDER BY 4  DESC ,3 ,2 ")
                      .toStdString());
    }
}

} // namespace
