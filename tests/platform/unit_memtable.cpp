#include "platform/guard.h"
#include "platform/memtable.h"
#include "qtprint.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace quill;

namespace {

// The condition record's shape, enough to exercise every kind of field that matters here.
void defineConditions(MemTable& t) {
    t.addField(QStringLiteral("Id"), FieldType::Float);
    t.addField(QStringLiteral("IdGrupo"), FieldType::Float);
    t.addField(QStringLiteral("Campo"), FieldType::String, 50);
    t.addField(QStringLiteral("Condicion"), FieldType::String, 25);
    t.addField(QStringLiteral("TipoCondicion"), FieldType::SmallInt);
    t.addField(QStringLiteral("Condicion1"), FieldType::String, 255);
    t.addField(QStringLiteral("Sentencia"), FieldType::Memo);
    t.addField(QStringLiteral("Contador"), FieldType::Integer);
}

QStringList column(MemTable& t, const QString& field) {
    QStringList out;
    for (int r = 0; r < t.recordCount(); ++r)
        out << t.textAt(r, t.fieldIndex(field));
    return out;
}

// Logs every row event as "name:Id".
struct EventLog {
    QStringList log;
    void install(MemTable& t) {
        auto rec = [this](const char* what) {
            return [this, what](MemTable& tt) {
                log << QString::fromLatin1(what) + QLatin1Char(':') +
                           (tt.isEmpty() ? QStringLiteral("-") : tt.asString(QStringLiteral("Id")));
            };
        };
        t.setBeforeInsert(rec("beforeInsert"));
        t.setBeforeEdit(rec("beforeEdit"));
        t.setBeforePost(rec("beforePost"));
        t.setAfterPost(rec("afterPost"));
        t.setBeforeDelete(rec("beforeDelete"));
    }
};

struct Table : ::testing::Test {
    MemTable t{QStringLiteral("memGeneral")};
    void SetUp() override {
        defineConditions(t);
        t.open();
    }
    void add(double id, const QString& campo = QString()) { t.appendRecord({id, 0.0, campo}); }
};

} // namespace

TEST_F(Table, RowEventsComeInDatasetOrder) {
    struct Case {
        const char* name;
        std::function<void(MemTable&)> run;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"append and post", [](MemTable& m) {m.append(); m.setValue(QStringLiteral("Id"), 7);
         m.post();}, {"beforeInsert:1", "beforePost:7", "afterPost:7"}},
        {"edit and post", [](MemTable& m) {m.edit(); m.setValue(QStringLiteral("Id"), 8);
         m.post();}, {"beforeEdit:1", "beforePost:8", "afterPost:8"}},
        {"delete", [](MemTable& m) { m.remove(); }, {"beforeDelete:1"}},
        {"append while editing posts the edited row first", [](MemTable& m) {m.edit();
         m.setValue(QStringLiteral("Id"), 5); m.append();}, {"beforeEdit:1", "beforePost:5",
         "afterPost:5", "beforeInsert:5"}},
        {"moving while inserting posts the new row", [](MemTable& m) {m.append();
         m.setValue(QStringLiteral("Id"), 9); m.first();}, {"beforeInsert:1", "beforePost:9",
         "afterPost:9"}},
        {"delete while inserting only cancels", [](MemTable& m) {m.append(); m.remove();},
         {"beforeInsert:1"}},
    };
    for (const Case& c : cases) {
        MemTable m;
        defineConditions(m);
        m.open();
        m.appendRecord({1});
        EventLog events;
        events.install(m);
        c.run(m);
        EXPECT_EQ(events.log, c.expected) << c.name;
    }
}

TEST_F(Table, ABeforePostFailureKeepsTheEditedRowAndCancelRestoresTheStoredOne) {
    add(1, QStringLiteral("Nombre"));
    t.setBeforePost([](MemTable&) { throw Error(QStringLiteral("fragmento no válido")); });
    t.edit();
    t.setValue(QStringLiteral("Campo"), QStringLiteral("Apellidos"));
    EXPECT_THROW(t.post(), Error);
    EXPECT_EQ(t.state(), MemTable::State::Edit);
    EXPECT_EQ(t.asString(QStringLiteral("Campo")), QStringLiteral("Apellidos"));
    // Moving away tries to post and fails the same way; the cursor stays.
    EXPECT_THROW(t.next(), Error);
    EXPECT_EQ(t.state(), MemTable::State::Edit);
    t.cancel();
    EXPECT_EQ(t.state(), MemTable::State::Browse);
    EXPECT_EQ(t.asString(QStringLiteral("Campo")), QStringLiteral("Nombre"));
    EXPECT_EQ(t.recordCount(), 1);

    // A new row refused on post stays in insert state; cancelling removes it.
    t.append();
    t.setValue(QStringLiteral("Id"), 2);
    EXPECT_THROW(t.post(), Error);
    EXPECT_EQ(t.state(), MemTable::State::Insert);
    EXPECT_EQ(t.recordCount(), 2);
    t.cancel();
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.asInt(QStringLiteral("Id")), 1);
}

TEST(MemTableCursor, WalksEmptyAndFilledTables) {
    for (int rows : {0, 3}) {
        MemTable t;
        defineConditions(t);
        t.open();
        for (int i = 0; i < rows; ++i)
            t.appendRecord({double(i + 1)});
        QStringList seen;
        for (t.first(); !t.eof() && seen.size() < 10; t.next())
            seen << t.asString(QStringLiteral("Id"));
        EXPECT_EQ(seen.size(), rows);
        t.last();
        EXPECT_EQ(t.currentRow(), rows - 1);
        // An empty table refuses reading; a full one refuses moving past its end.
        if (rows == 0) {
            EXPECT_THROW(t.value(QStringLiteral("Id")), Error);
            EXPECT_THROW(t.remove(), Error);
        }
        EXPECT_THROW(t.moveTo(rows), Error);
    }
}

TEST_F(Table, TextIsCutAtTheFieldSizeOnAssignment) {
    struct Case {
        QString value;
        QString stored;
    };
    const QString longText = QString(30, QLatin1Char('x'));
    const QString surrogatePair = QString::fromUtf8("\xF0\x9F\x98\x80"); // one emoji, two QChars
    const QList<Case> cases = {
        {longText, longText.left(25)},
        {QString(24, QLatin1Char('a')) + QStringLiteral("ñé"), QString(24, QLatin1Char('a')) +
         QStringLiteral("ñ")},
        // The cut never leaves half a character behind.
        {QString(24, QLatin1Char('a')) + surrogatePair, QString(24, QLatin1Char('a'))},
    };
    for (const Case& c : cases) {
        t.append();
        t.setValue(QStringLiteral("Condicion"), c.value);
        t.post();
        EXPECT_EQ(t.asString(QStringLiteral("Condicion")), c.stored) << c.value.toStdString();
    }
}

TEST(MemTableValues, ConversionsAndRefusals) {
    MemTable t;
    t.addField(QStringLiteral("F"), FieldType::Float);
    t.addField(QStringLiteral("I"), FieldType::Integer);
    t.addField(QStringLiteral("S"), FieldType::SmallInt);
    t.addField(QStringLiteral("T"), FieldType::String, 10);
    t.addField(QStringLiteral("D"), FieldType::Date);
    t.addField(QStringLiteral("DT"), FieldType::DateTime);
    t.addField(QStringLiteral("B"), FieldType::Boolean);
    t.addField(QStringLiteral("C"), FieldType::Currency);
    t.open();
    t.append();

    struct Accepted {
        const char* field;
        QVariant in;
        QVariant stored;
    };
    const QList<Accepted> accepted = {
        {"F", QStringLiteral("2,5"), 2.5},
        {"I", 4.9, 4}, // truncated, as AsInteger does
        {"T", 1.5, QStringLiteral("1.5")},
        {"D", QStringLiteral("31/12/2009"), QDate(2009, 12, 31)},
        {"DT", QStringLiteral("31/12/2009 10:30:15"), QDateTime(QDate(2009, 12, 31), QTime(10, 30,
         15))},
        {"B", QStringLiteral("TRUE"), true},
        {"C", QStringLiteral("1234,56"), 1234.56},
    };
    for (const Accepted& a : accepted) {
        const QString f = QString::fromLatin1(a.field);
        t.setValue(f, a.in);
        EXPECT_EQ(t.value(f), a.stored) << a.field << " " << a.in.toString().toStdString();
    }

    struct Refused {
        const char* field;
        QVariant in;
    };
    const QList<Refused> refused = {
        {"F", QStringLiteral("1 OR 1=1")},
        {"I", QStringLiteral("1.5")},
        {"S", 40000},
        {"D", QStringLiteral("31/02/2009")},
    };
    for (const Refused& r : refused) {
        const QString f = QString::fromLatin1(r.field);
        t.setValue(f, QVariant());
        EXPECT_THROW(t.setValue(f, r.in), Error) << r.field << " " << r.in.toString().toStdString();
        EXPECT_TRUE(t.isNull(f)) << "a refused value must not change the cell";
    }
    t.post();
    EXPECT_THROW(t.setValue(QStringLiteral("F"), 1), Error) << "browse state refuses values";
    EXPECT_THROW(t.value(QStringLiteral("Nada")), Error);
}

TEST_F(Table, SortIsStableAscendingAndDescending) {
    // Campo is the sort key; Id records the original order.
    const QStringList campos = {QStringLiteral("Bueno"), QStringLiteral("álvarez"), QString(),
                                QStringLiteral("Alonso"), QStringLiteral("bueno"),
                                QStringLiteral("Álvarez")};
    for (int i = 0; i < campos.size(); ++i)
        add(i + 1, campos[i]);

    t.sort(QStringLiteral("Campo"), Qt::AscendingOrder);
    // Spanish order, case ignored; equal keys keep their order; the null comes first.
    EXPECT_EQ(column(t, QStringLiteral("Id")), (QStringList{"3", "4", "2", "6", "1", "5"}));
    t.sort(QStringLiteral("Campo"), Qt::DescendingOrder);
    EXPECT_EQ(column(t, QStringLiteral("Id")), (QStringList{"1", "5", "2", "6", "4", "3"}));
}

TEST(MemTableFilter, FilterTextsSelectTheirGroups) {
    struct Case {
        const char* text;
        QStringList ids; // visible Id values, or the error is expected when empty and error set
        bool error = false;
    };
    const QList<Case> cases = {
        {"IDGRUPO = 0 Or IDGRUPO = 9 Or IDGRUPO = 14", {"1", "4", "7"}},
        {"IDGRUPO = 0 or IDGRUPO = 10 oR IDGRUPO = -1", {"1", "9"}},
        {"", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {"IDGRUPO = 9.5", {}, true},
        {"IDGRUPO = 0 And IDGRUPO = 9", {}, true},
        {"IDGRUPO = 1; DROP", {}, true},
    };
    for (const Case& c : cases) {
        MemTable t;
        t.addField(QStringLiteral("ID"), FieldType::Float);
        t.addField(QStringLiteral("IDGRUPO"), FieldType::Float);
        t.open();
        const QList<QVariant> groups = {0.0, 1.0, 3.5, 9.0, 12.0, QVariant(), 14.0, 15.0, -1.0};
        for (int i = 0; i < groups.size(); ++i)
            t.appendRecord({double(i + 1), groups[i]});
        t.setFiltered(true);
        const QString err = t.setFilterText(QString::fromLatin1(c.text));
        EXPECT_EQ(!err.isEmpty(), c.error) << c.text << " " << err.toStdString();
        if (c.error) {
            EXPECT_EQ(t.recordCount(), 9) << "a refused text leaves no filter";
            continue;
        }
        EXPECT_EQ(column(t, QStringLiteral("ID")), c.ids) << c.text;
        EXPECT_EQ(t.recordCount(), c.ids.size());
    }
}
