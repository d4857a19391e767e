// The condition tables of TdmlstPaciente: the blank row, emptying, the article selections.

#include "conditions/tdmlstpaciente.h"
#include "platform/memtable.h"
#include "platform/memtablemodel.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

using quill::MemTable;

namespace {

class TablasCondicion : public ::testing::Test {
protected:
    void SetUp() override { dm.AbrirTablas(); }
    TdmlstPaciente dm;
};

TEST_F(TablasCondicion, BlankRowOnlyWhenTheCurrentTableIsEmpty) {
    QSignalSpy cambios(&dm, &TdmlstPaciente::tablaActualCambiada);
    dm.setTablaActual(3);
    ASSERT_EQ(dm.TablaActual(), dm.memFechas);
    EXPECT_TRUE(dm.AnadirFilaVacia());
    MemTable* t = dm.memFechas;
    ASSERT_EQ(t->recordCount(), 1);
    EXPECT_EQ(t->state(), MemTable::State::Insert);
    EXPECT_EQ(t->asDouble(QStringLiteral("Id")), -1.0);
    EXPECT_EQ(t->asInt(QStringLiteral("Contador")), -1);

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
}

TEST_F(TablasCondicion, EmptyingLeavesEveryTableOpenAndEmpty) {
    for (MemTable* t : dm.Tablas())
        t->appendRecord({1.0, 0.0, QStringLiteral("Nombre")});
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
    dm.LiberarArticulos(1);
    EXPECT_EQ(dm.Articulos(1), nullptr);
}

} // namespace
