#include "messaging/sms/tsms.h"
#include "platform/settings.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QSettings>

using namespace quill;

namespace {

struct Ajustes : ::testing::Test {
    std::unique_ptr<QTemporaryDir> dir = quilltest::scratch();
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", dir->path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
    }
};

TEST_F(Ajustes, AWorkstationWithoutSettingsGetsTheThreeKeysWithEmptyDefaults) {
    TCfgSMS c;
    c.Proveedor = 5;
    c.Param1 = QStringLiteral("x");
    EXPECT_EQ(c.Cargar(), -1);
    EXPECT_EQ(c.Proveedor, 5) << "a missing SMS key leaves the provider as it was";
    EXPECT_FALSE(c.ProxyActivo);
    EXPECT_EQ(c.Param1, QString());
    for (const QString& k : {TCfgSMS::kClave, TCfgSMS::kClaveProxy, TCfgSMS::kClaveP1})
        EXPECT_TRUE(RegistryKey(k).exists()) << k.toStdString();
    EXPECT_EQ(RegistryKey(TCfgSMS::kClaveP1).valueNames().size(), 5);
    TCfgSMS otra;
    EXPECT_EQ(otra.Cargar(), 0);
    EXPECT_EQ(otra.Proveedor, 0);
}

TEST_F(Ajustes, StoredSettingsReadBackPlainAndAMissingProxyKeyIsCreated) {
    TCfgSMS c;
    c.Proveedor = 1;
    c.ProxyActivo = true;
    c.ProxyServidor = QStringLiteral("proxy.tienda");
    c.ProxyUsuario = QStringLiteral("ana");
    c.ProxyClave = QStringLiteral("pa ss");
    c.ProxyPuerto = 3128;
    c.Param1 = QStringLiteral("cuenta");
    c.Param2 = QStringLiteral("usuario ñ");
    c.Param5 = QStringLiteral("cinco");
    ASSERT_EQ(GuardarCfgSMS(c, QStringLiteral("https://sms.ejemplo")), QString());
    EXPECT_NE(RegistryKey(TCfgSMS::kClaveP1).readString("PARAM_2"), c.Param2) << "kept scrambled";
    EXPECT_EQ(ServidorSMS(), QStringLiteral("https://sms.ejemplo"));

    TCfgSMS l;
    l.Reiniciar();
    EXPECT_EQ(l.Cargar(), 0);
    EXPECT_EQ(std::tie(l.Proveedor, l.ProxyActivo, l.ProxyServidor, l.ProxyUsuario, l.ProxyClave,
                       l.ProxyPuerto, l.Param1, l.Param2, l.Param3, l.Param5),
              std::tie(c.Proveedor, c.ProxyActivo, c.ProxyServidor, c.ProxyUsuario, c.ProxyClave,
                       c.ProxyPuerto, c.Param1, c.Param2, c.Param3, c.Param5));

    // Without the proxy key: the defaults are written again (over P1's values too) and P1 is
    // still read.
    QSettings(QStringLiteral("Quillmore"), QStringLiteral("3.0"))
        .remove(QStringLiteral("SMS/Proxy"));
    TCfgSMS sinProxy;
    EXPECT_EQ(sinProxy.Cargar(), 0);
    EXPECT_TRUE(RegistryKey(TCfgSMS::kClaveProxy).exists());
    EXPECT_FALSE(sinProxy.ProxyActivo);
    EXPECT_EQ(sinProxy.Param5, QString());
    EXPECT_EQ(sinProxy.Proveedor, 1) << "as read before the defaults were written";
    EXPECT_EQ(RegistryKey(TCfgSMS::kClave).readInteger("Proveedor"), 0);
}

TEST(TSMSValidacion, QueuedNumbersAreNormalisedAndSplitIntoValidAndOmitted) {
    const struct {
        int prefijo;
        const char* telefono;
        int prefijoFinal;
        const char* cifras;
        bool valido;
    } casos[] = {
        {0, "600 111 222", 34, "600111222", true},
        {0, "+34 600 111 222", 34, "34600111222", false},
        {0, "912345678", 34, "912345678", false},
        {0, "7-0011-1222", 34, "700111222", true},
        {351, "612345678", 351, "612345678", true},
        {35, "612345678", 34, "612345678", true},
        {0, "61234567", 34, "61234567", false},
        {0, "móvil", 34, "", false},
    };
    TSMS s(QStringLiteral("sin-conexion"), quilltest::scratch()->path());
    s.setDe(QStringLiteral("Yo"));
    s.setMensaje(QStringLiteral("hola"));
    for (const auto& c : casos)
        s.Telefonos.append({c.prefijo, QString::fromUtf8(c.telefono)});
    ASSERT_EQ(s.Validar(), 0);
    qsizetype v = 0, o = 0;
    for (const auto& c : casos) {
        const TSMS::Telefono& t = c.valido ? s.Validos.at(v++) : s.Omitidos.at(o++);
        EXPECT_EQ(t.Prefijo, c.prefijoFinal) << c.telefono;
        EXPECT_EQ(t.Telefono, QString::fromLatin1(c.cifras)) << c.telefono;
    }
    EXPECT_EQ(v, s.Validos.size());
    EXPECT_EQ(o, s.Omitidos.size());
    // A second attempt works on the normalised numbers and gives the same split.
    ASSERT_EQ(s.Validar(), 0);
    EXPECT_EQ(s.Validos.size(), v);
}

TEST(TSMSValidacion, InputErrorsComeInTheirOrderBeforeAnySending) {
    const QDateTime ahora = QDateTime::currentDateTime();
    const struct {
        const char* de;
        const char* mensaje;
        QDateTime fecha;
        bool telefonos;
        int codigo;
    } casos[] = {
        {"", "", {}, false, -25501},
        {"Yo", "", {}, true, -25502},
        {"Yo", "hola", ahora.addSecs(-60), true, -25506},
        {"Yo", "hola", ahora.addDays(366), true, -25507},
        {"Yo", "hola", ahora.addDays(364), false, -25503},
        {"Yo", "hola", {}, false, -25503},
    };
    for (const auto& c : casos) {
        TSMS s(QStringLiteral("sin-conexion"), quilltest::scratch()->path());
        s.setDe(QString::fromUtf8(c.de));
        s.setMensaje(QString::fromUtf8(c.mensaje));
        s.setFechaEnvio(c.fecha);
        if (c.telefonos) s.Telefonos.append({0, QStringLiteral("600111222")});
        EXPECT_EQ(s.Enviar(), c.codigo) << c.de << "/" << c.mensaje;
    }
}

TEST(TMensarioTextos, ChargeTimeAndClientChecks) {
    const std::pair<const char*, int> costes[] = {{"3.OK", 3},      {"7", 7},    {"", 0},
                                                  {"12.OK.OK", 12}, {"x.OK", 0}, {"abc", 0}};
    for (const auto& [texto, coste] : costes)
        EXPECT_EQ(TMensario::LeerCoste(QString::fromLatin1(texto)), coste) << texto;
    EXPECT_EQ(TMensario::TextoFecha({}), QByteArray("00000000000000"));
    EXPECT_EQ(TMensario::TextoFecha(QDateTime(QDate(2027, 3, 4), QTime(17, 5, 9))),
              QByteArray("20270304170509"));

    // The client's own checks come before the library, which is not even there.
    TMensario m(quilltest::scratch()->path());
    EXPECT_FALSE(m.ErrorLibreria().isEmpty());
    m.setDe(QStringLiteral("Yo"));
    m.setMensaje(QStringLiteral("hola"));
    EXPECT_EQ(m.Enviar(), -25503);
    m.setFechaEnvio(QDateTime::currentDateTime().addSecs(-60));
    m.Destinatarios.append(TMensario::Destinatario{});
    EXPECT_EQ(m.Enviar(), -25506);
    m.setFechaEnvio({});
    EXPECT_EQ(m.Enviar(), -25510);
}

} // namespace
