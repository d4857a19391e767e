// The condition tables of TdmlstPaciente: fields, table-specific differences and the blank row.

#include "conditions/tdmlstpaciente.h"
#include "platform/memtable.h"
#include "platform/memtablemodel.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

using quill::FieldType;
using quill::MemTable;

namespace {

struct Campo {
    const char* nombre;
    FieldType tipo;
    int tamano;
};

std::vector<Campo> camposComunesAntes() {
    return {{"Id", FieldType::Float, 0},
            {"IdGrupo", FieldType::Float, 0},
            {"Campo", FieldType::String, 50},
            {"Condicion", FieldType::String, 25},
            {"TipoCondicion", FieldType::SmallInt, 0},
            {"TipoObjeto", FieldType::SmallInt, 0},
            {"Condicion1", FieldType::String, 255},
            {"Condicion2", FieldType::String, 255}};
}

std::vector<Campo> esperados(int tipo) {
    std::vector<Campo> c = camposComunesAntes();
    if (tipo != 0) {
        c.push_back({"CampoReal", FieldType::String, tipo == 1 ? 25000 : 50});
        for (const char* n :
             {"Tabla", "CampoSubTabla1", "SubTabla1", "CampoSubTabla2", "SubTabla2"})
            c.push_back({n, FieldType::String, 50});
    }
    c.push_back({"Sentencia", tipo == 1 ? FieldType::Blob : FieldType::Memo, 0});
    c.push_back({"Contador", FieldType::Integer, 0});
    if (tipo == 3)
        c.push_back({"Condicion1Ids", FieldType::String, 20});
    else
        c.push_back({"Condicion1Ids", FieldType::Memo, 0});
    if (tipo == 5) c.push_back({"IdTLentillaOD", FieldType::Float, 0});
    return c;
}

class TablasCondicion : public ::testing::Test {
protected:
    void SetUp() override { dm.AbrirTablas(); }
    TdmlstPaciente dm;
};

} // namespace

TEST_F(TablasCondicion, EveryKindHasItsTableWithExactFields) {
    const char* nombres[] = {"memGeneral",      "memConsumo",    "memEncargo",  "memFechas",
                             "memPrescripcion", "memReposicion", "memGarantias"};
    ASSERT_EQ(dm.Tablas().size(), 7);
    for (int tipo = 0; tipo < 7; ++tipo) {
        SCOPED_TRACE(nombres[tipo]);
        MemTable* t = dm.Tabla(tipo);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->name(), QString::fromLatin1(nombres[tipo]));
        EXPECT_EQ(dm.Tablas().at(tipo), t);
        const auto campos = esperados(tipo);
        ASSERT_EQ(t->fieldCount(), int(campos.size()));
        for (int i = 0; i < t->fieldCount(); ++i) {
            SCOPED_TRACE(campos[i].nombre);
            EXPECT_EQ(t->fieldDef(i).name, QString::fromLatin1(campos[i].nombre));
            EXPECT_EQ(t->fieldDef(i).type, campos[i].tipo);
            if (campos[i].tipo == FieldType::String) {
                EXPECT_EQ(t->fieldDef(i).size, campos[i].tamano);
            }
        }
    }
    EXPECT_EQ(dm.Tabla(-1), nullptr);
    EXPECT_EQ(dm.Tabla(7), nullptr);
}

TEST_F(TablasCondicion, DatesTableCutsIdsAtTwentyCharacters) {
    const QString ids = QStringLiteral("101;102;103;104;105;106;107");
    for (int tipo : {0, 3}) {
        MemTable* t = dm.Tabla(tipo);
        t->append();
        t->setValue(QStringLiteral("Condicion1Ids"), ids);
        t->post();
        EXPECT_EQ(t->asString(QStringLiteral("Condicion1Ids")), tipo == 3 ? ids.left(20) : ids)
            << "tipo " << tipo;
    }
}

TEST_F(TablasCondicion, ConsumptionTableKeepsLongTextsAndItsFragmentAsText) {
    MemTable* t = dm.memConsumo;
    const QString largo(25000, QLatin1Char('x'));
    const QString sentencia = QStringLiteral("(DVENTA.REFERENCIA = 'ÁB''C')");
    t->append();
    t->setValue(QStringLiteral("CampoReal"), largo + QStringLiteral("yz"));
    t->setValue(QStringLiteral("Sentencia"), sentencia);
    t->post();
    EXPECT_EQ(t->asString(QStringLiteral("CampoReal")), largo);
    EXPECT_EQ(t->asString(QStringLiteral("Sentencia")), sentencia);
    // The other tables' descriptive fields hold 50 characters.
    MemTable* e = dm.memEncargo;
    e->append();
    e->setValue(QStringLiteral("CampoReal"), largo);
    e->post();
    EXPECT_EQ(e->asString(QStringLiteral("CampoReal")).size(), 50);
}

TEST_F(TablasCondicion, BlankRowOnlyWhenTheCurrentTableIsEmpty) {
    QSignalSpy cambios(&dm, &TdmlstPaciente::tablaActualCambiada);
    dm.setTablaActual(3);
    ASSERT_EQ(dm.TablaActual(), dm.memFechas);
    EXPECT_EQ(dm.TipoActual(), 3);
    EXPECT_TRUE(dm.AnadirFilaVacia());
    MemTable* t = dm.memFechas;
    ASSERT_EQ(t->recordCount(), 1);
    EXPECT_EQ(t->state(), MemTable::State::Insert);
    EXPECT_EQ(t->asDouble(QStringLiteral("Id")), -1.0);
    EXPECT_EQ(t->asInt(QStringLiteral("Contador")), -1);
    EXPECT_EQ(t->asString(QStringLiteral("Sentencia")), QString());

    // Back and forth: the blank row is still there, no second one.
    dm.setTablaActual(0);
    EXPECT_TRUE(dm.AnadirFilaVacia());
    dm.setTablaActual(3);
    EXPECT_FALSE(dm.AnadirFilaVacia());
    EXPECT_EQ(t->recordCount(), 1);
    dm.setTablaActual(0);
    EXPECT_FALSE(dm.AnadirFilaVacia());
    EXPECT_EQ(dm.memGeneral->recordCount(), 1);
    EXPECT_EQ(cambios.count(), 4);

    // The grid's data source follows the current table.
    ASSERT_NE(dm.dtsDatos(), nullptr);
    EXPECT_EQ(dm.dtsDatos()->table(), dm.memGeneral);
    EXPECT_EQ(dm.dtsDatos()->rowCount(), 1);
}

TEST_F(TablasCondicion, GridShowsTheFourConditionColumns) {
    dm.setTablaActual(1);
    quill::MemTableModel* m = dm.dtsDatos();
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->columnCount(), 4);
    const char* campos[] = {"Campo", "Condicion", "Condicion1", "Condicion2"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(m->columns().at(c).field, QString::fromLatin1(campos[c]));
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Condición Inicial"));
    EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Condición Final"));
}

TEST_F(TablasCondicion, EmptyingClosesAndReopensEveryTable) {
    for (MemTable* t : dm.Tablas()) {
        t->appendRecord({1.0, 0.0, QStringLiteral("Nombre")});
        ASSERT_EQ(t->recordCount(), 1);
    }
    dm.VaciarTablas();
    for (MemTable* t : dm.Tablas()) {
        EXPECT_TRUE(t->isOpen()) << t->name().toStdString();
        EXPECT_EQ(t->recordCount(), 0) << t->name().toStdString();
    }
}

TEST_F(TablasCondicion, ArticleSelectionSlots) {
    EXPECT_EQ(dm.Articulos(1), nullptr);
    MemTable* a = dm.CrearArticulos(1);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->isOpen());
    EXPECT_EQ(dm.Articulos(1), a);
    for (const char* campo :
         {"Id", "Campo", "Condicion", "TipoCondicion", "Condicion1", "Condicion2", "IdsCondicion1",
          "IdsCondicion2", "Sentencia", "TipoObjeto"})
        EXPECT_TRUE(a->hasField(QString::fromLatin1(campo))) << campo;
    dm.LiberarArticulos(1);
    EXPECT_EQ(dm.Articulos(1), nullptr);
}
