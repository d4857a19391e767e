// The connection layer against a Firebird server on this machine (QUILL_FB_SERVER, with
// ISC_USER and ISC_PASSWORD), as the shops with a back-office PC run it. Each database here is
// only ever opened through the server, never by the embedded engine while the server holds it.

#include "sql/database.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <gtest/gtest.h>

using namespace quill;

namespace {

std::string s(const QString& text) {
    return text.toStdString();
}

class FirebirdServer : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = qEnvironmentVariable("QUILL_FB_SERVER");
        if (host_.isEmpty())
            GTEST_SKIP() << "QUILL_FB_SERVER no está definida: no hay servidor Firebird para "
                            "esta prueba (./test.sh lo arranca)";
        user_ = qEnvironmentVariable("ISC_USER", "SYSDBA");
        password_ = qEnvironmentVariable("ISC_PASSWORD");
        dir_ = quilltest::scratch();
        // The server runs as its own user and creates and writes the files itself.
        ASSERT_TRUE(QFile::setPermissions(dir_->path(), QFileDevice::Permissions(0x7777)));
    }
    void TearDown() override {
        closeDatabase("red");
        if (!created_.isEmpty()) dropDatabase(server(created_));
    }

    QString local(const QString& name) const { return dir_->filePath(name); }
    DbParams server(const QString& name, const QString& password = {}) const {
        return {host_ + ":" + local(name), user_, password.isEmpty() ? password_ : password};
    }

    QString host_, user_, password_, created_;
    std::unique_ptr<QTemporaryDir> dir_;
};

} // namespace

TEST_F(FirebirdServer, CreatesOverTheNetworkAndReadsRowsBack) {
    created_ = "red.fdb";
    ASSERT_EQ(s(createDatabase(server(created_), defaultSchemaDir())), "");
    EXPECT_TRUE(QFileInfo::exists(local(created_)));

    ASSERT_EQ(s(openDatabase("red", server(created_))), "");
    QSqlDatabase db = QSqlDatabase::database("red", false);
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(QString::fromUtf8("INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, APELLIDOS, "
                                         "NOMBRE) VALUES (7, 70, 'Muñoz Ibáñez', 'Begoña')")))
        << s(q.lastError().text());
    ASSERT_TRUE(q.exec("INSERT INTO MGRADUACION (ID_PACIENTE, FECHA) VALUES (7, '2024-02-29')"));
    ASSERT_TRUE(q.exec("SELECT P.CODIGO, UPPER(P.APELLIDOS), P.NOMBRE, M.OD_EJE FROM PACIENTE P "
                       "JOIN MGRADUACION M ON M.ID_PACIENTE = P.ID_PACIENTE"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 70);
    EXPECT_EQ(s(q.value(1).toString()), "MUÑOZ IBÁÑEZ");
    EXPECT_EQ(s(q.value(2).toString()), "Begoña");
    EXPECT_EQ(q.value(3).toDouble(), 400.0);
}

TEST_F(FirebirdServer, RefusalsComeBackAsMessages) {
    created_ = "existe.fdb";
    ASSERT_EQ(s(createDatabase(server(created_), defaultSchemaDir())), "");
    const QString wrongPort = host_ + "/3059:" + local("x.fdb");
    const struct {
        const char* what;
        DbParams params;
        QString expected;
    } opens[] = {
        {"wrong password", server(created_, "no-es-la-clave"),
         QString("No se puede abrir la base de datos '%1': usuario o contraseña incorrectos")
             .arg(server(created_).database)},
        {"nobody listening",
         {wrongPort, user_, password_},
         QString("No se puede abrir la base de datos '%1': el servidor de bases de datos no "
                 "responde")
             .arg(wrongPort)},
    };
    for (const auto& c : opens) {
        EXPECT_EQ(s(openDatabase("red", c.params)), s(c.expected)) << c.what;
        EXPECT_FALSE(QSqlDatabase::contains("red")) << c.what;
    }
}
