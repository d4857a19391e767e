// `listado sms`: a General listing's mobiles queued, checked, sent and recorded as the dialog
// does, against the provider service on 127.0.0.1.

#include "comandos.h"
#include "proveedorprueba.h"
#include "tiendaprueba.h"

#include <QJsonArray>
#include <QTextStream>

namespace {

struct Salida {
    int estado;
    QString out, err;
};

struct ListadoSMS : ::testing::Test {
    static inline proveedorprueba::Servicio* servicio = nullptr;
    static void SetUpTestSuite() {
        servicio = new proveedorprueba::Servicio;
        ASSERT_EQ(servicio->arrancar(), QString());
    }
    static void TearDownTestSuite() {
        delete servicio;
        servicio = nullptr;
    }

    std::unique_ptr<proveedorprueba::Ajustes> ajustes;
    tiendaprueba::Tienda tienda;
    std::unique_ptr<QTemporaryDir> dir = quilltest::scratch();

    void SetUp() override {
        ASSERT_TRUE(servicio);
        ajustes = std::make_unique<proveedorprueba::Ajustes>(servicio->direccion());
        QStringList filas;
        const char* moviles[][3] = {
            {"1", "Alba", "600 111 222"},
            {"2", "Blanco", "+34 600 111 222"},
            {"3", "Cano", "611222333"},
            {"4", "Diez", "912345678"},
            {"5", "Zeta", ""},
            {"6", "Borrada", "622000000"},
        };
        for (const auto& m : moviles)
            filas << QStringLiteral("INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, "
                                    "APELLIDOS, NOMBRE, NOMBRE_COMPLETO, TELEFONO_MOVIL) VALUES "
                                    "(%1, %1, 1, %2, '%3', 'Ana', '%3, Ana', '%4')")
                         .arg(QLatin1String(m[0]))
                         .arg(QLatin1String(m[1]) == QLatin1String("Borrada") ? 1 : 0)
                         .arg(QLatin1String(m[1]), QLatin1String(m[2]));
        ASSERT_EQ(tienda.crear(QStringLiteral("net_listado_sms"), filas), QString());
    }

    QString fichero(const QString& nombre, const QString& texto) {
        const QString ruta = dir->filePath(nombre);
        QFile f(ruta);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(texto.toUtf8());
        return ruta;
    }

    Salida sms(const QString& condiciones, const QString& mensaje, const QStringList& mas = {}) {
        const QStringList args = QStringList{"sms",
                                             "--db",
                                             tienda.ruta(),
                                             "--tipo",
                                             "general",
                                             "--condiciones",
                                             fichero("c.json", condiciones),
                                             "--particion",
                                             "1",
                                             "--de",
                                             "Óptica Sol",
                                             "--mensaje-fichero",
                                             fichero("m.txt", mensaje + "\n")} +
                                 mas;
        Salida s;
        QTextStream o(&s.out), e(&s.err);
        s.estado = quill::cli::EjecutarListado(args, o, e);
        o.flush();
        e.flush();
        return s;
    }
    int maestros() { return tienda.valor("SELECT COUNT(*) FROM SMS_MAESTRO").toInt(); }
};

TEST_F(ListadoSMS, SimulatingShowsTheQueueAndTouchesNothing) {
    const qsizetype antes = servicio->peticiones().size();
    const Salida s = sms("[]", "Su revisión", {"--simular"});
    ASSERT_EQ(s.estado, 0) << qPrintable(s.err);
    QStringList lineas = s.out.split('\n', Qt::SkipEmptyParts);
    lineas.sort();
    EXPECT_EQ(lineas, QStringList({"34;34600111222;omitido", "34;600111222;valido",
                                   "34;611222333;valido", "34;912345678;omitido"}));
    EXPECT_EQ(servicio->peticiones().size(), antes);
    EXPECT_EQ(maestros(), 0);
}

TEST_F(ListadoSMS, APatientMatchingOnSeveralRecordsIsQueuedOnce) {
    // Three prescriptions due for revision, two of them Alba's.
    ASSERT_EQ(tienda.ejecutar({"INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, "
                               "FECHA_REVISION) VALUES (71, 1, '2030-03-01')",
                               "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, "
                               "FECHA_REVISION) VALUES (72, 3, '2030-04-01')",
                               "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, "
                               "FECHA_REVISION) VALUES (73, 1, '2030-05-01')"}),
              QString());
    const Salida s = sms(R"([{"Id": 72, "Condicion": "...Entre...", "Condicion1": "01/01/2030",
                             "Condicion2": "31/12/2030"}])",
                         "Revisión", {"--simular"});
    ASSERT_EQ(s.estado, 0) << qPrintable(s.err);
    QStringList lineas = s.out.split('\n', Qt::SkipEmptyParts);
    lineas.sort();
    EXPECT_EQ(lineas, QStringList({"34;600111222;valido", "34;611222333;valido"}));
}

TEST_F(ListadoSMS, SendingPrintsTheResultAndRecordsIt) {
    const Salida s = sms("[]", "Su revisión");
    ASSERT_EQ(s.estado, 0) << qPrintable(s.err);
    EXPECT_EQ(s.out,
              "El coste del envío ha sido de 2\n\nSe ha enviado un total de 2 mensaje(s)."
              "\n\nSe ha omitido un total de  2 mensaje(s) por no ser un número correcto.\n");
    QStringList numeros;
    for (const QJsonValue& d : servicio->peticiones().last()["destinatarios"].toArray())
        numeros << d["prefijo"].toString() + ':' + d["telefono"].toString();
    numeros.sort();
    EXPECT_EQ(numeros, QStringList({"34:600111222", "34:611222333"}));
    EXPECT_EQ(servicio->peticiones().last()["texto"].toString(), "Su revisión");
    EXPECT_EQ(maestros(), 1);
    EXPECT_EQ(tienda.valor("SELECT COUNT(*) FROM SMS_DETALLE").toInt(), 2);
}

TEST_F(ListadoSMS, ExitStatusTellsNothingQueuedARefusalAndAScheduleTooFar) {
    const QString soloZeta = R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "Zeta"}])";
    const QString lejos = QDateTime::currentDateTime().addDays(366).toString("dd/MM/yyyy HH:mm");
    const struct {
        QString condiciones, mensaje;
        QStringList mas;
        int estado;
        QString error;
    } casos[] = {
        {soloZeta, "hola", {}, 1, "No se ha encontrado ningún registro que cumpla las condiciones"},
        {"[]", "KO-EXC-AMNT", {}, 2, "No dispone de saldo suficiente."},
        {"[]",
         "hola",
         {"--programar", lejos},
         2,
         "La programación máxima de mensajes es de un año."},
        {"[]", "hola", {"--programar", "31/02/2030 10:00"}, 1, "dd/mm/aaaa hh:mm"},
    };
    for (const auto& c : casos) {
        const Salida s = sms(c.condiciones, c.mensaje, c.mas);
        EXPECT_EQ(s.estado, c.estado) << qPrintable(c.mensaje + s.err);
        EXPECT_TRUE(s.err.contains(c.error)) << qPrintable(s.err);
        EXPECT_EQ(s.out, QString());
    }
    EXPECT_EQ(maestros(), 0);
}

} // namespace
