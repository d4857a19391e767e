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

TEST_F(Table, BeforePostMaySetValuesButNotMove) {
    add(1);
    t.setBeforePost([](MemTable& m) {
        m.setValue(QStringLiteral("Sentencia"),
                   QStringLiteral("P.CODIGO = ") + m.asString(QStringLiteral("Id")));
        m.post(); // already posting: nothing more happens
    });
    t.append();
    t.setValue(QStringLiteral("Id"), 2);
    t.post();
    EXPECT_EQ(t.asString(QStringLiteral("Sentencia")), QStringLiteral("P.CODIGO = 2"));
    EXPECT_EQ(t.state(), MemTable::State::Browse);

    t.setBeforePost([](MemTable& m) { m.first(); });
    t.edit();
    t.setValue(QStringLiteral("Id"), 3);
    EXPECT_THROW(t.post(), Error);
    EXPECT_EQ(t.state(), MemTable::State::Edit);
    EXPECT_EQ(t.asInt(QStringLiteral("Id")), 3);
    t.setBeforePost(nullptr);
    t.post();
    EXPECT_EQ(column(t, QStringLiteral("Id")), (QStringList{"1", "3"}));
}

TEST_F(Table, OtherBeforeEventsAbortTheirOperation) {
    add(1);
    add(2);
    auto refuse = [](MemTable&) { throw std::runtime_error("no"); };

    t.setBeforeInsert(refuse);
    EXPECT_THROW(t.append(), std::runtime_error);
    EXPECT_THROW(t.insert(), std::runtime_error);
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.state(), MemTable::State::Browse);

    t.setBeforeEdit(refuse);
    EXPECT_THROW(t.edit(), std::runtime_error);
    EXPECT_EQ(t.state(), MemTable::State::Browse);

    t.setBeforeDelete(refuse);
    t.first();
    EXPECT_THROW(t.remove(), std::runtime_error);
    EXPECT_EQ(column(t, QStringLiteral("Id")), (QStringList{"1", "2"}));

    // Disabled events are not called at all.
    t.setEventsEnabled(false);
    t.remove();
    EXPECT_EQ(column(t, QStringLiteral("Id")), (QStringList{"2"}));
}

TEST(MemTableCursor, WalksEmptyOneAndManyRows) {
    for (int rows : {0, 1, 3}) {
        MemTable t;
        defineConditions(t);
        t.open();
        for (int i = 0; i < rows; ++i)
            t.appendRecord({double(i + 1)});
        t.first();
        EXPECT_TRUE(t.bof()) << rows;
        EXPECT_EQ(t.eof(), rows == 0) << rows;
        EXPECT_EQ(t.recNo(), rows == 0 ? 0 : 1);
        QStringList seen;
        int guard = 0;
        while (!t.eof() && guard++ < 10) {
            seen << t.asString(QStringLiteral("Id"));
            t.next();
        }
        QStringList expected;
        for (int i = 0; i < rows; ++i)
            expected << QString::number(i + 1);
        EXPECT_EQ(seen, expected) << rows;
        EXPECT_EQ(t.recordCount(), rows);

        t.last();
        EXPECT_TRUE(t.eof());
        EXPECT_EQ(t.currentRow(), rows == 0 ? -1 : rows - 1);
        if (rows == 0) {
            EXPECT_THROW(t.value(QStringLiteral("Id")), Error);
            EXPECT_THROW(t.remove(), Error);
            EXPECT_THROW(t.moveTo(0), Error);
        } else {
            EXPECT_THROW(t.moveTo(rows), Error);
        }
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
        t.setValue(QStringLiteral("Sentencia"), longText + longText);
        t.post();
        EXPECT_EQ(t.asString(QStringLiteral("Condicion")), c.stored) << c.value.toStdString();
        EXPECT_EQ(t.asString(QStringLiteral("Sentencia")).size(), 60);
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
        {"F", QStringLiteral(""), QVariant()},
        {"I", 4.9, 4}, // truncated, as AsInteger does
        {"S", 32767, 32767},
        {"T", 1.5, QStringLiteral("1.5")},
        {"T", QDate(2009, 12, 31), QStringLiteral("31/12/2009")},
        {"D", QStringLiteral("31/12/2009"), QDate(2009, 12, 31)},
        {"D", QDateTime(QDate(2009, 12, 31), QTime(10, 30)), QDate(2009, 12, 31)},
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
        {"I", 3.0e10},
        {"S", 40000},
        {"D", QStringLiteral("31/02/2009")},
        {"B", QStringLiteral("quizá")},
    };
    for (const Refused& r : refused) {
        const QString f = QString::fromLatin1(r.field);
        t.setValue(f, QVariant());
        EXPECT_THROW(t.setValue(f, r.in), Error) << r.field << " " << r.in.toString().toStdString();
        EXPECT_TRUE(t.isNull(f)) << "a refused value must not change the cell";
    }

    try {
        t.setValue(QStringLiteral("I"), QStringLiteral("x1"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("'x1' no es un valor entero válido para el campo 'I'"));
    }
    t.post();
    EXPECT_THROW(t.setValue(QStringLiteral("F"), 1), Error) << "browse state refuses values";
    EXPECT_THROW(t.value(QStringLiteral("Nada")), Error);
    EXPECT_EQ(t.fieldIndex(QStringLiteral("dt")), 5) << "field names ignore case";
}

TEST(MemTableValues, DateTimesKeepTheirWallClockValue) {
    MemTable t;
    t.addField(QStringLiteral("DT"), FieldType::DateTime);
    t.open();
    const QList<QDateTime> values = {QDateTime(QDate(1899, 12, 30), QTime(0, 0)),
                                     QDateTime(QDate(2021, 3, 28), QTime(2, 30, 0, 123)),
                                     QDateTime(QDate(1, 1, 1), QTime(23, 59, 59, 999))};
    for (const QDateTime& v : values)
        t.appendRecord({v});
    for (int r = 0; r < values.size(); ++r) {
        const QDateTime got = t.valueAt(r, 0).toDateTime();
        EXPECT_EQ(got.date(), values[r].date());
        EXPECT_EQ(got.time(), values[r].time());
    }
}

TEST_F(Table, RequiredFieldsMustHaveAValueOnPost) {
    MemTable m;
    m.addField(QStringLiteral("ID"), FieldType::Float, 0, true);
    m.open();
    m.append();
    try {
        m.post();
        FAIL() << "posted without a value";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("El campo 'ID' debe tener un valor"));
    }
    m.setValue(QStringLiteral("ID"), 1);
    m.post();
    EXPECT_EQ(m.recordCount(), 1);
}

TEST_F(Table, SortIsStableAscendingAndDescending) {
    // Campo is the sort key; Id records the original order.
    const QList<QPair<double, QString>> rows = {{1, QStringLiteral("Bueno")},
                                                {2, QStringLiteral("álvarez")},
                                                {3, QString()},
                                                {4, QStringLiteral("Alonso")},
                                                {5, QStringLiteral("bueno")},
                                                {6, QStringLiteral("Zapata")},
                                                {7, QStringLiteral("Álvarez")}};
    for (const auto& r : rows)
        add(r.first, r.second);

    t.sort(QStringLiteral("Campo"), Qt::AscendingOrder);
    // Spanish order, case ignored; equal keys keep their order; the null comes first.
    EXPECT_EQ(column(t, QStringLiteral("Id")), (QStringList{"3", "4", "2", "7", "1", "5", "6"}));
    t.sort(QStringLiteral("Campo"), Qt::DescendingOrder);
    EXPECT_EQ(column(t, QStringLiteral("Id")), (QStringList{"6", "1", "5", "2", "7", "4", "3"}));
}

TEST(MemTableFilter, FilterTextsSelectTheirGroups) {
    struct Case {
        const char* text;
        QStringList ids; // visible Id values, or the error is expected when empty and error set
        bool error = false;
    };
    const QList<Case> cases = {
        {"IDGRUPO = 0 Or IDGRUPO = 9 Or IDGRUPO = 14", {"1", "4", "7"}},
        {"idgrupo=0 OR   IDGRUPO   =   9", {"1", "4"}},
        {"IDGRUPO = 0 or IDGRUPO = 10 oR IDGRUPO = -1", {"1", "9"}},
        {"IDGRUPO = 3", {}}, // nothing in group 3; the 3.5 row never matches
        {"", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {"IDGRUPO = 9.5", {}, true},
        {"IDGRUPO = 0 Or", {}, true},
        {"IDGRUPO = 0 And IDGRUPO = 9", {}, true},
        {"IDGRUPO = 1; DROP", {}, true},
        {"GRUPO = 1", {}, true}, // not numeric
    };
    for (const Case& c : cases) {
        MemTable t;
        t.addField(QStringLiteral("ID"), FieldType::Float);
        t.addField(QStringLiteral("IDGRUPO"), FieldType::Float);
        t.addField(QStringLiteral("GRUPO"), FieldType::String, 50);
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
        // The cursor sees exactly the same rows.
        QStringList walked;
        for (t.first(); !t.eof(); t.next())
            walked << t.asString(QStringLiteral("ID"));
        EXPECT_EQ(walked, c.ids) << c.text;
    }
}

TEST(MemTableFilter, APostedRowTheFilterRefusesLeavesTheView) {
    MemTable t;
    t.addField(QStringLiteral("ID"), FieldType::Float);
    t.addField(QStringLiteral("IDGRUPO"), FieldType::Float);
    t.open();
    t.setFilter([](const RowView& r) { return r.value(1).toDouble() < 10; });
    t.setFiltered(true);
    t.appendRecord({1.0, 1.0});
    t.appendRecord({2.0, 50.0});
    t.appendRecord({3.0, 2.0});
    EXPECT_EQ(column(t, QStringLiteral("ID")), (QStringList{"1", "3"}));
    t.first();
    t.edit();
    t.setValue(QStringLiteral("IDGRUPO"), 99);
    t.post();
    EXPECT_EQ(column(t, QStringLiteral("ID")), (QStringList{"3"}));
    EXPECT_EQ(t.asInt(QStringLiteral("ID")), 3);
}

TEST(MemTableIndex, PostedRowsTakeTheirPlaceAndEqualKeysKeepArrivalOrder) {
    MemTable t;
    t.addField(QStringLiteral("ID"), FieldType::Float);
    t.addField(QStringLiteral("IDGRUPO"), FieldType::Integer);
    t.open();
    t.setIndexFieldNames(QStringLiteral("IDGRUPO"));
    const QList<QPair<double, int>> rows = {{1, 5}, {2, 1}, {3, 5}, {4, 3}, {5, 1}};
    for (const auto& r : rows)
        t.appendRecord({r.first, r.second});
    EXPECT_EQ(column(t, QStringLiteral("ID")), (QStringList{"2", "5", "4", "1", "3"}));
    EXPECT_EQ(t.asInt(QStringLiteral("ID")), 5) << "the cursor follows the posted row";
    t.locate(QStringLiteral("ID"), 2);
    t.edit();
    t.setValue(QStringLiteral("IDGRUPO"), 4);
    t.post();
    EXPECT_EQ(column(t, QStringLiteral("ID")), (QStringList{"5", "4", "2", "1", "3"}));
    EXPECT_EQ(t.currentRow(), 2);
}

TEST_F(Table, LocateFindsTheFirstEqualRow) {
    add(1, QStringLiteral("Nombre"));
    add(2, QStringLiteral("Población"));
    add(3, QStringLiteral("población"));
    add(4);
    struct Case {
        const char* field;
        QVariant value;
        Qt::CaseSensitivity cs;
        int row; // -1: not found
    };
    const QList<Case> cases = {
        {"Campo", QStringLiteral("población"), Qt::CaseSensitive, 2},
        {"Campo", QStringLiteral("POBLACIÓN"), Qt::CaseInsensitive, 1},
        {"Id", 3, Qt::CaseSensitive, 2},
        {"Id", QStringLiteral("4"), Qt::CaseSensitive, 3},
        {"Campo", QVariant(), Qt::CaseSensitive, 3},
    };
    for (const Case& c : cases) {
        t.moveTo(0);
        const bool found = t.locate(QString::fromLatin1(c.field), c.value, c.cs);
        EXPECT_EQ(found, c.row >= 0) << c.field << " " << c.value.toString().toStdString();
        EXPECT_EQ(t.currentRow(), c.row >= 0 ? c.row : 0);
    }
}
