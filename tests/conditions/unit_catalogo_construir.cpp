// Building one condition row as the window does before a post: the special fields, the plain
// build, refusals that keep everything as it was.

#include "conditions/catalogo.h"
#include "conditions/construir.h"
#include "platform/memtable.h"
#include "testsupport.h"

#include "business/localidades.h"
#include "sql/lstsentpaciente.h"
#include "sql/valores.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quill;

namespace {

FilaCondicion fila(double id, const QString& op, const QString& v1 = {}, const QString& v2 = {}) {
    FilaCondicion f;
    f.id = id;
    f.condicion = op;
    f.condicion1 = v1;
    f.condicion2 = v2;
    return f;
}

std::shared_ptr<LocalidadCache> localidades() {
    auto cache = std::make_shared<LocalidadCache>();
    cache->add({1, "Barcelona", 8001, 8, "Barcelona"});
    cache->add({2, "Villanueva", 28000, 28, "Madrid"});
    cache->add({3, "Madrid", 28001, 28, "Madrid"});
    cache->add({4, "Sevilla", 41001, 41, "Sevilla"});
    cache->add({5, "Getafe", 28901, 28, "Madrid"});
    return cache;
}

class Construir : public ::testing::Test {
protected:
    void SetUp() override { constructor.setLocalidades(localidades()); }

    TLstSentPaciente constructor;
    QStringList ids;
};

// Each row built on its own builder: the fragment, whether the row keeps one, the window's list
// of ids afterwards and the tables it brought.
TEST_F(Construir, FragmentsIdsAndTables) {
    const QStringList paciente{"PACIENTE"};
    struct Caso {
        double id;
        QString op, v1, v2;
        QStringList idsAntes;
        QString sentencia;
        bool conSentencia;
        QStringList idsDespues;
        QStringList tablas;
    };
    const QList<Caso> casos = {
        // Postal codes and provinces become their localities; the list then holds their ids.
        {4,
         "Mayor que...",
         "28000",
         {},
         {},
         "(PACIENTE.ID_LOCALIDAD  = 2 Or PACIENTE.ID_LOCALIDAD = 3 Or PACIENTE.ID_LOCALIDAD = 4 "
         "Or PACIENTE.ID_LOCALIDAD = 5)",
         true,
         {"2", "3", "4", "5"},
         paciente},
        {6,
         "Distinto de...",
         "Madrid; Barcelona",
         {},
         {"28", "8"},
         "(PACIENTE.ID_LOCALIDAD  != 2 And PACIENTE.ID_LOCALIDAD != 3 And PACIENTE.ID_LOCALIDAD "
         "!= 5 And PACIENTE.ID_LOCALIDAD != 1)",
         true,
         {"2", "3", "5", "1"},
         paciente},
        // Record dates ignore the selected ids and leave the column to the listing.
        {434,
         "...Entre...",
         "1/2/2020",
         "29/02/2020",
         {"1", "2"},
         " BETWEEN '02/01/2020' AND '02/29/2020'",
         true,
         {"1", "2"},
         paciente},
        {23,
         "...Contiene...",
         "alérgico",
         {},
         {},
         "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And "
         "UPPER(POBSERVACIONES.OBSERVACIONES) containing 'ALÉRGICO'",
         true,
         {},
         {"POBSERVACIONES", "PACIENTE"}},
        // The record-type field has no fragment of its own: the listings read its ids.
        {50, "Igual a...", "Graduación", {}, {"1"}, "", true, {"1"}, {}},
        // The prescription type and the debt only set values: the row's fragment stays.
        {463, "Igual a...", "Óptica", {}, {}, "", false, {}, {}},
        {552, "Igual a...", "10", {}, {}, "", false, {}, {}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.id);
        TLstSentPaciente nuevo;
        nuevo.setLocalidades(localidades());
        QStringList lista = c.idsAntes;
        const ResultadoCondicion r = ConstruirCondicion(nuevo, fila(c.id, c.op, c.v1, c.v2), lista);
        ASSERT_EQ(r.codigo, kCondicionConstruida) << qPrintable(r.detalle);
        EXPECT_EQ(r.sentencia, c.sentencia);
        EXPECT_EQ(r.conSentencia, c.conSentencia);
        EXPECT_EQ(lista, c.idsDespues);
        EXPECT_EQ(nuevo.Tablas(), c.tablas);
    }
}

TEST_F(Construir, ArticlePickersBuildTheirSelectionIntoTheRowsSentencia) {
    MemTable seleccion;
    for (const char* f : {"Id", "Condicion", "Condicion1", "Condicion2", "IdsCondicion1"})
        seleccion.addField(f, QString(f) == "Id" ? FieldType::Float : FieldType::String, 255);
    seleccion.open();
    for (const auto& [id, op, v1] :
         {std::tuple{501.0, "Igual a...", "ref-1"}, std::tuple{504.0, "...Contiene...", "gafa"}}) {
        seleccion.append();
        seleccion.setValue("Id", id);
        seleccion.setValue("Condicion", op);
        seleccion.setValue("Condicion1", v1);
        seleccion.post();
    }
    ParametrosListado p;
    const ResultadoCondicion r =
        ConstruirCondicion(constructor, fila(129, "Igual a...", "x"), ids, &seleccion, &p);
    ASSERT_EQ(r.codigo, 0) << qPrintable(r.detalle);
    EXPECT_TRUE(r.conSentencia);
    EXPECT_EQ(constructor.TipoListado(), 3);
    // The selection's own fragment, which the kinds also get.
    TLstSentPaciente otro;
    EXPECT_EQ(r.sentencia, SentenciaArticulos(otro, 3, seleccion));
    EXPECT_EQ(p.condicionesArticulos, r.sentencia);
    // Without a selection the row restricts nothing.
    EXPECT_TRUE(
        ConstruirCondicion(constructor, fila(91, "Igual a...", "x"), ids).sentencia.isEmpty());
}

// What the special fields hand to the kinds instead of (or besides) a fragment; a refused value
// hands nothing over.
TEST_F(Construir, SpecialFieldsHandTheirValuesToTheKinds) {
    ParametrosListado p;
    auto con = [&](double id, const QString& op, const QString& v1, const QString& v2,
                   QStringList lista) {
        ids = lista;
        return ConstruirCondicion(constructor, fila(id, op, v1, v2), ids, nullptr, &p).codigo;
    };
    EXPECT_EQ(con(463, "Igual a...", "Contactología", {}, {}), 0);
    EXPECT_EQ(p.tipoPrescripcion, "Contactología");
    EXPECT_EQ(con(552, "...Entre...", "10,5", "20", {}), 0);
    EXPECT_EQ(p.deudaValor1, 10.5);
    EXPECT_EQ(p.deudaValor2, 20);
    EXPECT_EQ(p.deudaOperador, "...Entre...");
    EXPECT_EQ(con(552, "Mayor que...", "7", "99", {}), 0);
    EXPECT_EQ(p.deudaValor2, -1) << "one-value operators leave no second value";
    EXPECT_EQ(con(552, "Igual a...", "siete", {}, {}), kErrorCondicion);
    EXPECT_EQ(p.deudaValor1, 7) << "a refused debt keeps the one before";
    EXPECT_EQ(con(50, "Igual a...", "Graduación; Audífonos", {}, {"1", "0"}), 0);
    EXPECT_EQ(p.familias, QStringList({"1", "0"}));
    EXPECT_EQ(con(3003, "Igual a...", "OD; OI", {}, {"OD", "OI"}), 0);
    EXPECT_EQ(p.ojosGarantia, QStringList({"OD\nOI"}));
    p.AlBorrar(50);
    p.AlBorrar(463);
    EXPECT_TRUE(p.familias.isEmpty());
    EXPECT_EQ(p.tipoPrescripcion, "Óptica");
}

TEST_F(Construir, RefusedValuesLeaveTablesAsTheyWere) {
    struct Caso {
        double id;
        QString op, v1, v2;
        QStringList ids;
        QString mensaje; // in the user's terms
    };
    const QList<Caso> casos = {
        {13, "Igual a...", "31/02/2000", {}, {}, "«31/02/2000» no es una fecha válida"},
        {0, "Igual a...", "1 OR 1=1", {}, {}, "«1 OR 1=1» no es un número válido"},
        {4, "Igual a...", "28000 OR 1=1", {}, {}, "«28000 OR 1=1» no es un número válido"},
        {11, "Igual a...", "Hombre", {}, {"1) OR (1=1"}, "«1) OR (1=1» no es un código válido"},
        {433, "Igual a...", "mañana", {}, {}, "«mañana» no es una fecha válida"},
    };
    for (const Caso& c : casos) {
        TLstSentPaciente nuevo;
        nuevo.setLocalidades(localidades());
        QStringList lista = c.ids;
        const ResultadoCondicion r = ConstruirCondicion(nuevo, fila(c.id, c.op, c.v1, c.v2), lista);
        EXPECT_EQ(r.codigo, kErrorCondicion) << c.id << " " << qPrintable(c.v1);
        EXPECT_FALSE(r.conSentencia);
        EXPECT_EQ(r.mensaje, c.mensaje);
        EXPECT_TRUE(nuevo.Tablas().isEmpty()) << c.id;
    }
}

TEST(ConstruirSinBase, PostalCodesWithoutDatabaseAreRefusedNotCrashed) {
    TLstSentPaciente sinBase(QStringLiteral("conexion-que-no-existe"));
    QStringList lista;
    const ResultadoCondicion r = ConstruirCondicion(sinBase, fila(4, "Igual a...", "28000"), lista);
    EXPECT_EQ(r.codigo, kErrorCondicion);
    EXPECT_EQ(r.mensaje, fragmentErrorMessage());
    EXPECT_FALSE(r.detalle.isEmpty());
}

} // namespace

namespace {} // namespace
