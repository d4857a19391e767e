// The mass sending against a provider service on 127.0.0.1, through the real provider library,
// recorded in a real shop database.

#include "messaging/sms/tsms.h"
#include "proveedorprueba.h"
#include "tiendaprueba.h"

#include <QJsonArray>

using namespace quill;

namespace {

proveedorprueba::Servicio* g_servicio = nullptr;

struct EnvioSMS : ::testing::Test {
    static void SetUpTestSuite() {
        g_servicio = new proveedorprueba::Servicio;
        const QString e = g_servicio->arrancar();
        ASSERT_EQ(e, QString());
    }
    static void TearDownTestSuite() {
        delete g_servicio;
        g_servicio = nullptr;
    }

    std::unique_ptr<proveedorprueba::Ajustes> ajustes;
    tiendaprueba::Tienda tienda;
    QString carpeta = quilltest::buildDir() + QStringLiteral("/lib");

    void SetUp() override {
        ASSERT_TRUE(g_servicio);
        ajustes = std::make_unique<proveedorprueba::Ajustes>(g_servicio->direccion());
        ASSERT_EQ(tienda.crear(QStringLiteral("sms")), QString());
    }

    std::unique_ptr<TSMS> envio(const QString& mensaje, const QStringList& telefonos) {
        auto s = std::make_unique<TSMS>(QStringLiteral("sms"), carpeta);
        s->setDe(QStringLiteral("Óptica Sol"));
        s->setMensaje(mensaje);
        s->setProveedor(0);
        for (const QString& t : telefonos)
            s->Telefonos.append({0, t});
        return s;
    }

    // Rows of every table of the shop, to see that a sending changes only its records.
    QMap<QString, int> filas() {
        QMap<QString, int> m;
        QSqlQuery q(tienda.db());
        q.exec(QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS "
                              "WHERE RDB$SYSTEM_FLAG = 0 AND RDB$VIEW_BLR IS NULL"));
        QStringList tablas;
        while (q.next())
            tablas << q.value(0).toString();
        for (const QString& t : tablas)
            m[t] = tienda.valor(QStringLiteral("SELECT COUNT(*) FROM ") + t).toInt();
        return m;
    }
};

TEST_F(EnvioSMS, OnlyTheValidNumbersGoOutAndTheSendingIsRecordedWithTheServiceIds) {
    const auto antes = filas();
    const qsizetype yaRecibidas = g_servicio->peticiones().size();
    const QString largo = QString(150, QLatin1Char('a')) + QStringLiteral("ñbcdefghij") +
                          QString(40, QLatin1Char('z'));
    auto s = envio(largo,
                   {"600 111 222", "+34 600 111 222", "611222333", "912345678", "(722) 33-34-44"});
    ASSERT_EQ(s->Enviar(), 0);

    const auto recibidas = g_servicio->peticiones();
    ASSERT_EQ(recibidas.size(), yaRecibidas + 1);
    const QJsonObject p = recibidas.last();
    EXPECT_EQ(p["cuenta"].toString(), "cuenta-7");
    EXPECT_EQ(p["usuario"].toString(), "óptica");
    EXPECT_EQ(p["clave"].toString(), "clave secreta");
    EXPECT_EQ(p["remitente"].toString(), "Óptica Sol");
    EXPECT_EQ(p["texto"].toString(), largo.left(153));
    EXPECT_EQ(p["fecha"].toString(), "00000000000000");
    EXPECT_EQ(p["zona"].toString(), "Europe/Madrid");
    QStringList numeros;
    for (const QJsonValue& d : p["destinatarios"].toArray())
        numeros << d["prefijo"].toString() + QLatin1Char(':') + d["telefono"].toString();
    EXPECT_EQ(numeros, QStringList({"34:600111222", "34:611222333", "34:722333444"}));

    EXPECT_EQ(s->TextoResultado(),
              "El coste del envío ha sido de 3\n\nSe ha enviado un total de 3 mensaje(s).\n\n"
              "Se ha omitido un total de  2 mensaje(s) por no ser un número correcto.");

    auto despues = antes;
    despues["SMS_MAESTRO"] += 1;
    despues["SMS_DETALLE"] += 3;
    EXPECT_EQ(filas(), despues) << "only the sending's records are written";
    QSqlQuery m(tienda.db());
    ASSERT_TRUE(m.exec("SELECT ID, ID_MENSAJE, ID_OPERACION, TIPO_OPERACION, DE, MENSAJE, ESTADO, "
                       "PROVEEDOR FROM SMS_MAESTRO"));
    ASSERT_TRUE(m.next());
    EXPECT_EQ(m.value(0).toInt(), s->IdMaestro());
    EXPECT_EQ(m.value(1).toInt(), s->IdMensaje);
    EXPECT_GT(s->IdMensaje, 500);
    EXPECT_EQ(m.value(2).toInt(), -1);
    EXPECT_EQ(m.value(3).toInt(), 0);
    EXPECT_EQ(m.value(4).toString(), "Óptica Sol");
    EXPECT_EQ(m.value(5).toString(), largo) << "the record keeps the whole text";
    EXPECT_EQ(m.value(6).toInt(), 0);
    EXPECT_EQ(m.value(7).toInt(), 0);
    QSqlQuery d(tienda.db());
    ASSERT_TRUE(d.exec("SELECT ID_SMS_MAESTRO, ID_SMS, ESTADO, PREFIJO, TELEFONO FROM SMS_DETALLE "
                       "ORDER BY ID"));
    QStringList detalle;
    while (d.next())
        detalle << QStringLiteral("%1;%2;%3;%4")
                       .arg(d.value(0).toInt() == s->IdMaestro())
                       .arg(d.value(1).toInt() - s->Cliente->Destinatarios[0].IdMensaje)
                       .arg(d.value(3).toInt())
                       .arg(d.value(4).toString());
    EXPECT_EQ(detalle, QStringList({"1;0;34;600111222", "1;1;34;611222333", "1;2;34;722333444"}));
    EXPECT_GT(s->Cliente->Destinatarios[0].IdMensaje, 9000);
}

TEST_F(EnvioSMS, AScheduledSendingCarriesItsTimeAndIsRecordedAsScheduled) {
    auto s = envio(QStringLiteral("Revisión"), {"600111222"});
    const QDateTime cuando = QDateTime::currentDateTime().addDays(3);
    s->setFechaEnvio(cuando);
    ASSERT_EQ(s->Enviar(), 0);
    EXPECT_EQ(g_servicio->peticiones().last()["fecha"].toString(),
              cuando.toString("yyyyMMddHHmmss"));
    EXPECT_EQ(tienda.valor("SELECT ESTADO FROM SMS_MAESTRO").toInt(), 1);
    EXPECT_EQ(tienda.valor("SELECT ESTADO FROM SMS_DETALLE").toInt(), 1);
    EXPECT_EQ(tienda.valor("SELECT FECHA FROM SMS_MAESTRO").toDateTime().toString("yyyyMMddHHmm"),
              cuando.toString("yyyyMMddHHmm"));
}

TEST_F(EnvioSMS, EveryRefusalOfTheServiceGivesItsCodeAndRecordsNothing) {
    const struct {
        const char* respuesta;
        int codigo;
    } casos[] = {
        {"KO-DIS-SERV", -25512}, {"KO-INT-ERR", -25513},  {"KO-INV-AUTH", -25514},
        {"KO-BLK-LIC", -25515},  {"KO-EXP-LIC", -25516},  {"KO-INV-SINT", -25517},
        {"KO-INV-PHN", -25518},  {"KO-INV-CODE", -25519}, {"KO-EXC-AMNT", -25520},
        {"KO-INV-TIME", -25521}, {"KO-INV-TZ", -25522},   {"KO-UNK-MSGS", -25522},
        {"KO-OTRA-COSA", -1},    {"ko-inv-auth", -1},
    };
    for (const auto& c : casos) {
        auto s = envio(QString::fromLatin1(c.respuesta) + QStringLiteral(" hola"), {"600111222"});
        EXPECT_EQ(s->Enviar(), c.codigo) << c.respuesta;
        EXPECT_EQ(MensajeSMS(c.codigo).isEmpty(), c.codigo == -1) << c.respuesta;
    }
    EXPECT_EQ(tienda.valor("SELECT COUNT(*) FROM SMS_MAESTRO").toInt(), 0);
}

TEST_F(EnvioSMS, AServiceOrLibraryThatCannotBeReachedGivesItsCodeAtOnce) {
    // A port nobody listens on: the library answers that the service is not available.
    proveedorprueba::Ajustes cerrado(QStringLiteral("https://127.0.0.1:9"));
    EXPECT_EQ(envio("hola", {"600111222"})->Enviar(), -25512);
    // No library where the program looks for it.
    auto vacia = quilltest::scratch();
    TSMS sinLibreria(QStringLiteral("sms"), vacia->path());
    sinLibreria.setDe("Yo");
    sinLibreria.setMensaje("hola");
    sinLibreria.setProveedor(0);
    sinLibreria.Telefonos.append({0, "600111222"});
    EXPECT_EQ(sinLibreria.Enviar(), -25510);
    EXPECT_FALSE(sinLibreria.Cliente->ErrorLibreria().isEmpty());
    // With the proxy on, the library goes through it: none at all refuses the setting, one
    // that does not answer leaves the service out of reach.
    proveedorprueba::Ajustes conProxy(g_servicio->direccion());
    TCfgSMS p;
    p.Param2 = QStringLiteral("usuario");
    p.ProxyActivo = true;
    ASSERT_EQ(GuardarCfgSMS(p, g_servicio->direccion()), QString());
    EXPECT_EQ(envio("hola", {"600111222"})->Enviar(), -25510);
    p.ProxyServidor = QStringLiteral("127.0.0.1");
    p.ProxyPuerto = 9;
    ASSERT_EQ(GuardarCfgSMS(p, g_servicio->direccion()), QString());
    EXPECT_EQ(envio("hola", {"600111222"})->Enviar(), -25512);
    // Settings without the account's user: the login is refused.
    TCfgSMS c;
    ASSERT_EQ(GuardarCfgSMS(c, g_servicio->direccion()), QString());
    EXPECT_EQ(envio("hola", {"600111222"})->Enviar(), -25510);
    EXPECT_EQ(tienda.valor("SELECT COUNT(*) FROM SMS_MAESTRO").toInt(), 0);
}

TEST_F(EnvioSMS, EveryNumberInvalidReachesTheClientWhichRefusesBeforeCallingTheLibrary) {
    const qsizetype yaRecibidas = g_servicio->peticiones().size();
    auto s = envio("hola", {"912345678", "+34 600 111 222"});
    EXPECT_EQ(s->Enviar(), -25503);
    EXPECT_EQ(s->Omitidos.size(), 2);
    EXPECT_EQ(g_servicio->peticiones().size(), yaRecibidas);
}

TEST_F(EnvioSMS, ASendingWhoseMasterRowCannotBeWrittenIsStillReportedAsSent) {
    ASSERT_EQ(tienda.ejecutar({"DROP TABLE SMS_DETALLE", "DROP TABLE SMS_MAESTRO"}), QString());
    const qsizetype yaRecibidas = g_servicio->peticiones().size();
    auto s = envio("hola", {"600111222", "611222333"});
    EXPECT_EQ(s->Enviar(), 0);
    EXPECT_EQ(g_servicio->peticiones().size(), yaRecibidas + 1);
    EXPECT_EQ(s->IdMaestro(), -1);
    EXPECT_EQ(s->TextoResultado(),
              "El coste del envío ha sido de 2\n\nSe ha enviado un total de 2 mensaje(s).");
}

} // namespace
