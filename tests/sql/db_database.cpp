// The connection layer on the embedded engine: opening, creating from scripts, the script
// runner, and every kind of bad input coming back as a message with nothing left behind.

#include "sql/database.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <gtest/gtest.h>

using namespace quill;

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string s(const QString& text) {
    return text.toStdString();
}

// A tiny schema of its own, so these tests do not depend on the shop tables.
const QByteArray kMiniSchema = R"(
/* comment before the first statement; with a ; inside */
CREATE TABLE T (ID INTEGER NOT NULL, TEXTO VARCHAR(40) DEFAULT 'a;b', NOTA BLOB SUB_TYPE TEXT);
CREATE SEQUENCE G_T;
-- a line comment; with a terminator
SET TERM ^ ;
CREATE TRIGGER T_BI FOR T ACTIVE BEFORE INSERT AS
BEGIN
  IF (NEW.ID IS NULL) THEN NEW.ID = NEXT VALUE FOR G_T; -- inside the body
END^
SET TERM ; ^
INSERT INTO T (TEXTO) VALUES ('uno; ''dos''');
)";

} // namespace

// ---------------------------------------------------------------------------- script splitting

TEST(ScriptSplit, StatementsTerminatorsCommentsAndQuotes) {
    struct Case {
        const char* name;
        const char* script;
        QStringList statements;
        QList<int> lines;
    };
    // clang-format off
    const QList<Case> cases = {
        {"terminator inside quotes", "INSERT INTO T VALUES ('a;b', \"X;Y\");",
         {"INSERT INTO T VALUES ('a;b', \"X;Y\")"}, {1}},
        {"comments before a statement are dropped",
         "-- one; two\n/* three;\n four */\nSELECT 1 FROM RDB$DATABASE;",
         {"SELECT 1 FROM RDB$DATABASE"}, {4}},
        {"comments inside a statement are kept", "SELECT 1 /* ; */ FROM -- x;\nRDB$DATABASE;",
         {"SELECT 1 /* ; */ FROM -- x;\nRDB$DATABASE"}, {1}},
        {"set term",
         "SET TERM ^ ;\nCREATE PROCEDURE P AS BEGIN EXIT; END^\nSET TERM ; ^\nSELECT 1 FROM "
         "RDB$DATABASE;", {"CREATE PROCEDURE P AS BEGIN EXIT; END", "SELECT 1 FROM RDB$DATABASE"},
         {2, 4}},
        {"isql settings are left out",
         "SET SQL DIALECT 3;\nSET NAMES UTF8;\nSET AUTODDL ON;\nSET STATISTICS INDEX IX;\nSET "
         "GENERATOR G TO 5;", {"SET STATISTICS INDEX IX", "SET GENERATOR G TO 5"}, {4, 5}},
        {"last statement without terminator",
         "SELECT 1 FROM RDB$DATABASE;\n  SELECT 2\n  FROM X  \n", {"SELECT 1 FROM RDB$DATABASE",
         "SELECT 2\n  FROM X"}, {1, 2}},
        {"empty statements", " ; ;\n;", {}, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        QString error;
        const QList<ScriptStatement> got = splitScript(QString::fromUtf8(c.script), &error);
        EXPECT_TRUE(error.isEmpty()) << c.name << ": " << s(error);
        QStringList texts;
        QList<int> lines;
        for (const ScriptStatement& st : got) {
            texts << st.text;
            lines << st.line;
        }
        EXPECT_EQ(texts, c.statements) << c.name;
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

TEST(ScriptSplit, UnclosedTextOrCommentIsAnError) {
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"SELECT 1;\nINSERT INTO T VALUES ('abc);\nSELECT 2;",
         "el guion termina dentro de un texto entre comillas abierto en la línea 2"},
        {"SELECT 1;\n\n/* never closed; SELECT 2;",
         "el guion termina dentro de un comentario abierto en la línea 3"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_TRUE(splitScript(QString::fromUtf8(c.script), &error).isEmpty()) << c.script;
        EXPECT_EQ(error, QString::fromUtf8(c.message)) << c.script;
    }
}

// ---------------------------------------------------------------------------- embedded engine

class EmbeddedDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = quilltest::scratch();
        schema_ = dir_->filePath("esquema");
        ASSERT_TRUE(QDir().mkpath(schema_));
        writeFile(schema_ + "/01-mini.sql", kMiniSchema);
    }
    void TearDown() override { closeDatabase("prueba"); }

    QString path(const QString& name) const { return dir_->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir_;
    QString schema_;
};

TEST_F(EmbeddedDatabase, CreatesRunsTheScriptsAndOpens) {
    const QString file = path("nueva.fdb");
    ASSERT_EQ(createDatabase({file}, schema_), QString());
    ASSERT_TRUE(QFileInfo::exists(file));

    ASSERT_EQ(openDatabase("prueba", {file}), QString());
    QSqlDatabase db = QSqlDatabase::database("prueba", false);
    ASSERT_TRUE(db.isOpen());
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("SELECT ID, TEXTO FROM T"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_EQ(q.value(1).toString(), "uno; 'dos'");
    EXPECT_FALSE(q.next());

    // The connection character set is UTF8: accents survive and UPPER knows them.
    ASSERT_TRUE(q.exec(QString::fromUtf8("INSERT INTO T (TEXTO, NOTA) VALUES ('ñandú Pérez', "
                                         "'línea uno\r\n')")));
    ASSERT_TRUE(q.exec("SELECT UPPER(TEXTO), NOTA FROM T WHERE ID = 2"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QString::fromUtf8("ÑANDÚ PÉREZ"));
    EXPECT_EQ(q.value(1).toString(), QString::fromUtf8("línea uno\r\n"));
}

TEST_F(EmbeddedDatabase, BadOpenInputGivesAMessageAndNoConnection) {
    const QString notDb = path("texto.fdb");
    writeFile(notDb, QByteArray(8192, 'x'));
    const QString empty = path("vacio.fdb");
    writeFile(empty, QByteArray());
    const struct {
        QString database;
        QString expected;
    // clang-format off
    } cases[] = {
        {"", "No se ha indicado la base de datos que abrir"},
        {path("no-existe.fdb"),
         QString("No se puede abrir la base de datos '%1': el fichero no existe")
         .arg(path("no-existe.fdb"))},
        {dir_->path(),
         QString("No se puede abrir la base de datos '%1': no es un fichero").arg(dir_->path())},
        {notDb, QString("No se puede abrir la base de datos '%1': el fichero no es una base de "
         "datos Firebird") .arg(notDb)},
        {empty, QString::fromUtf8("No se puede abrir la base de datos '%1': el fichero está "
         "vacío o cortado: no es una base de datos Firebird") .arg(empty)},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(s(openDatabase("prueba", {c.database})), s(c.expected)) << s(c.database);
        EXPECT_FALSE(QSqlDatabase::contains("prueba")) << s(c.database);
    }
    EXPECT_EQ(readFile(notDb), QByteArray(8192, 'x')); // a failed open touches nothing
}

TEST_F(EmbeddedDatabase, BadCreateInputLeavesNothingBehind) {
    const QString existing = path("existe.fdb");
    writeFile(existing, "no tocar");
    const QString emptySchema = path("esquema-vacio");
    ASSERT_TRUE(QDir().mkpath(emptySchema));
    const QString missingFolder = path("no/hay/carpeta.fdb");
    const struct {
        QString database;
        QString schema;
        QString expected;
    } cases[] = {
        {"", schema_, "No se ha indicado la base de datos que crear"},
        {existing, schema_,
         QString("No se puede crear la base de datos '%1': el fichero ya existe").arg(existing)},
        {missingFolder, schema_,
         QString("No se puede crear la base de datos '%1': la carpeta '%2' no existe")
             .arg(missingFolder, path("no/hay"))},
        {path("sin-esquema.fdb"), emptySchema,
         QString("No se puede crear la base de datos '%1': no hay guiones del esquema en '%2'")
             .arg(path("sin-esquema.fdb"), emptySchema)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(s(createDatabase({c.database}, c.schema)), s(c.expected)) << s(c.database);
    }
    EXPECT_EQ(readFile(existing), QByteArray("no tocar"));
    EXPECT_FALSE(QFileInfo::exists(path("sin-esquema.fdb")));
    EXPECT_FALSE(QFileInfo::exists(path("no")));
}

TEST_F(EmbeddedDatabase, FailingSchemaDropsTheHalfMadeDatabase) {
    writeFile(schema_ + "/02-roto.sql",
              "CREATE TABLE U (A INTEGER);\n\nCREATE TABLE V (B NOEXISTE);\n");
    const QString file = path("rota.fdb");
    const QString error = createDatabase({file}, schema_);
    EXPECT_TRUE(
        error.startsWith(QString("No se puede crear la base de datos '%1': 02-roto.sql: "
                                 "Error en la línea 3 del guion (CREATE TABLE V (B NOEXISTE)):")
                             .arg(file)))
        << s(error);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(QDir(dir_->path()).entryList({"*.fdb"}, QDir::Files), QStringList());
}

TEST_F(EmbeddedDatabase, ScriptRunnerStopsAtTheFirstFailureWithItsLine) {
    const QString file = path("guion.fdb");
    ASSERT_EQ(createDatabase({file}, schema_), QString());
    ASSERT_EQ(openDatabase("prueba", {file}), QString());
    QSqlDatabase db = QSqlDatabase::database("prueba", false);

    const QString error = runScript(db, "INSERT INTO T (TEXTO) VALUES ('antes');\n"
                                        "/* x */ INSERT INTO NO_HAY (A) VALUES (1);\n"
                                        "INSERT INTO T (TEXTO) VALUES ('despues');\n");
    EXPECT_TRUE(error.startsWith("Error en la línea 2 del guion (INSERT INTO NO_HAY (A) VALUES "
                                 "(1)): "))
        << s(error);
    EXPECT_TRUE(error.contains("NO_HAY")) << s(error);
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("SELECT LIST(TEXTO, ',') FROM T"));
    ASSERT_TRUE(q.next());
    // The statement before the failure stays (each is committed); the one after never ran.
    EXPECT_EQ(q.value(0).toString(), "uno; 'dos',antes");

    EXPECT_EQ(runScript(db, "SELECT ('x FROM T;"),
              QString::fromUtf8("Guion no válido: el guion termina dentro de un texto entre "
                                "comillas abierto en la línea 1"));

    QSqlDatabase closed;
    EXPECT_EQ(runScript(closed, "SELECT 1 FROM RDB$DATABASE;"),
              QString::fromUtf8("La conexión con la base de datos no está abierta"));
}
