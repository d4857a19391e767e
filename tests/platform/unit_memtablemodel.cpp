#include "platform/guard.h"
#include "platform/memtablemodel.h"
#include "qtprint.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace quill;

namespace {

struct ModelTest : ::testing::Test {
    MemTable t{QStringLiteral("memGeneral")};
    std::unique_ptr<MemTableModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;

    void SetUp() override {
        t.addField(QStringLiteral("Id"), FieldType::Float);
        t.addField(QStringLiteral("IdGrupo"), FieldType::Float);
        t.addField(QStringLiteral("Campo"), FieldType::String, 50);
        t.addField(QStringLiteral("Condicion1"), FieldType::String, 255);
        t.open();
        model = std::make_unique<MemTableModel>(
            &t, ColumnSet{{QStringLiteral("Campo"), QStringLiteral("Campo")},
                          {QStringLiteral("Condicion1"), QStringLiteral("Valor")},
                          {QStringLiteral("Id"), QStringLiteral("Identificador")}});
        // The tester aborts the run on any break of the model contract.
        tester = std::make_unique<QAbstractItemModelTester>(
            model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    QStringList shown(int column = 0) const {
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->data(model->index(r, column)).toString();
        return out;
    }
};

} // namespace

TEST_F(ModelTest, FollowsAppendsEditsDeletesAndSorts) {
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy resets(model.get(), &QAbstractItemModel::modelReset);

    t.appendRecord({1.0, 0.0, QStringLiteral("Nombre"), QStringLiteral("Ana")});
    t.appendRecord({2.0, 0.0, QStringLiteral("Apellidos"), QStringLiteral("Pérez")});
    t.appendRecord({3.0, 1.0, QStringLiteral("Código Postal"), QStringLiteral("28001")});
    EXPECT_EQ(inserted.count(), 3);
    EXPECT_EQ(shown(), (QStringList{"Nombre", "Apellidos", "Código Postal"}));
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Valor"));

    t.moveTo(1);
    t.edit();
    t.setValue(QStringLiteral("Condicion1"), QStringLiteral("García"));
    t.post();
    EXPECT_GT(changed.count(), 0);
    EXPECT_EQ(model->data(model->index(1, 1)).toString(), QStringLiteral("García"));

    t.moveTo(0);
    t.remove();
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(shown(), (QStringList{"Apellidos", "Código Postal"}));

    model->sort(0, Qt::DescendingOrder);
    EXPECT_EQ(shown(), (QStringList{"Código Postal", "Apellidos"}));
    EXPECT_GE(resets.count(), 1);

    t.setFilterText(QStringLiteral("IDGRUPO = 1"));
    t.setFiltered(true);
    EXPECT_EQ(shown(), (QStringList{"Código Postal"}));
}

TEST_F(ModelTest, SetDataEditsThroughTheTableAndReportsRefusals) {
    t.appendRecord({1.0, 0.0, QStringLiteral("Nombre"), QStringLiteral("Ana")});
    t.appendRecord({2.0, 0.0, QStringLiteral("Edad"), QStringLiteral("30")});
    const QModelIndex valor = model->index(1, 1);
    EXPECT_FALSE(model->flags(valor) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->setData(valor, QStringLiteral("31"))) << "read-only by default";

    model->setEditable(true);
    EXPECT_TRUE(model->flags(valor) & Qt::ItemIsEditable);
    EXPECT_TRUE(model->setData(valor, QStringLiteral("31")));
    EXPECT_EQ(t.state(), MemTable::State::Browse) << "posted at once by default";

    model->setAutoPost(false);
    EXPECT_TRUE(model->setData(model->index(0, 1), QStringLiteral("Eva")));
    EXPECT_EQ(t.state(), MemTable::State::Edit);
    EXPECT_EQ(t.currentRow(), 0);

    // A before-post refusal: editing another row tries to post the pending one and fails.
    QStringList reports;
    const ErrorReporter previous =
        setErrorReporter([&](const QString& f, const QString& m) { reports << f + " | " + m; });
    t.setBeforePost([](MemTable&) { throw Error(QStringLiteral("Valor no válido")); });
    model->setErrorContext(QStringLiteral("grdCondiciones -> OnEdit"));
    EXPECT_FALSE(model->setData(valor, QStringLiteral("40")));
    EXPECT_EQ(reports, QStringList{QStringLiteral("grdCondiciones -> OnEdit | Valor no válido")});
    EXPECT_EQ(t.state(), MemTable::State::Edit);
    EXPECT_EQ(t.currentRow(), 0);
    t.cancel();
    EXPECT_EQ(model->data(model->index(0, 1)).toString(), QStringLiteral("Ana"));
    EXPECT_EQ(model->data(valor).toString(), QStringLiteral("31"));

    // A value the field cannot hold is refused the same way.
    t.setBeforePost(nullptr);
    EXPECT_FALSE(model->setData(model->index(0, 2), QStringLiteral("uno")));
    EXPECT_EQ(reports.size(), 2);
    setErrorReporter(previous);
    t.cancel();
}
