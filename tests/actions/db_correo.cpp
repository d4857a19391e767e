// The e-mail's recipients on a generated shop: every kind that offers e-mail gives exactly the
// listed rows with an address, in row order, duplicates kept, each with the patient's own
// address; the consent filter; and `listado correo` on the same code.

#include "../platform/qtprint.h"
#include "actions/correo.h"
#include "actions/ejecutor.h"
#include "comandos.h"
#include "condiciones.h"
#include "tiendaprueba.h"

#include "platform/memtable.h"

#include <QSettings>
#include <QSqlRecord>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

const QString kConexion = QStringLiteral("db_correo");

struct Paciente {
    QString correo;
    QString nombre;
    int acepta = 0;
};

class Correo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base = new tiendaprueba::Tienda;
        error = base->crear(kConexion, {}, tiendaprueba::plantillaGenerada);
        if (!error.isEmpty()) return;
        QSqlQuery q(base->db());
        q.exec(QStringLiteral("SELECT ID_PACIENTE, E_MAIL, NOMBRE, APELLIDOS, CORREO FROM "
                              "PACIENTE"));
        while (q.next()) {
            pacientes.insert(q.value(0).toInt(),
                             {q.value(1).toString(),
                              q.value(2).toString() + QLatin1Char(' ') + q.value(3).toString(),
                              q.value(4).toInt()});
        }
    }
    static void TearDownTestSuite() {
        delete base;
        base = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(error.isEmpty()) << qPrintable(error); }

    static inline tiendaprueba::Tienda* base = nullptr;
    static inline QString error;
    static inline QHash<int, Paciente> pacientes;
};

QString escribir(QTemporaryDir& dir, const QString& nombre, const QString& texto) {
    const QString ruta = dir.filePath(nombre);
    QFile f(ruta);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(texto.toUtf8());
    return ruta;
}

// The address, name and consent of every row the e-mail reads, in order: from the patient
// record of the per-patient table's IdPaciente or the raw result's ID_PACIENTE (the result read
// again with the run's own statement); the warranties table names no patient id, so its own
// columns are read.
QList<Paciente> filas(const quill::TablaCorreo& t, const QString& sql,
                      const QHash<int, Paciente>& pacientes) {
    QList<Paciente> r;
    if (t.tabla && !t.tabla->hasField(QStringLiteral("IdPaciente"))) {
        for (int i = 0; i < t.tabla->recordCount(); ++i)
            r << Paciente{t.tabla->textAt(i, t.tabla->fieldIndex(QStringLiteral("E_Mail"))),
                          QString(), t.tabla->valueAt(i, QStringLiteral("Correo")).toInt()};
        return r;
    }
    if (t.tabla) {
        for (int i = 0; i < t.tabla->recordCount(); ++i)
            r << pacientes.value(t.tabla->valueAt(i, QStringLiteral("IdPaciente")).toInt());
        return r;
    }
    QSqlQuery q(QSqlDatabase::database(kConexion));
    q.setForwardOnly(true);
    EXPECT_TRUE(q.exec(sql));
    const int c = q.record().indexOf(QStringLiteral("ID_PACIENTE"));
    while (q.next())
        r << pacientes.value(q.value(c).toInt());
    return r;
}

} // namespace

TEST_F(Correo, CadaTipoDaLasFilasConDireccionEnSuOrden) {
    struct Caso {
        int tipo;
        const char* json;
    };
    const Caso casos[] = {
        {0, R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "G"}])"},
        {1, "[]"},
        {2, "[]"},
        {3, "[]"},
        {6, "[]"},
    };
    auto dir = quilltest::scratch();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.tipo);
        quill::cli::CondicionesListado cond;
        const QString e1 = quill::cli::LeerCondiciones(
            escribir(*dir, QStringLiteral("c.json"), QString::fromUtf8(c.json)), c.tipo,
            quilltest::dataDir(), kConexion, cond);
        ASSERT_TRUE(e1.isEmpty()) << qPrintable(e1);
        quill::EjecutorListado e(*quill::Listado(c.tipo));
        e.setConexion(kConexion);
        e.Preparar(cond.tabla.get(), cond.tablas, cond.parametros, QStringLiteral("1"),
                   quill::accion::Correo);
        ASSERT_EQ(quill::MotivoAccionNoDisponible(e.Descriptor(), quill::accion::Correo),
                  QString());
        ASSERT_EQ(e.Ejecutar(0, 0, true), quill::kListadoCorrecto) << qPrintable(e.ErrorSQL());
        const QString sql = e.Modulo()->SentenciaSQL();
        const quill::DestinatariosCorreo d = quill::DestinatariosListado(e, false);
        const quill::DestinatariosCorreo solo = quill::DestinatariosListado(e, true);
        const quill::TablaCorreo t = e.Descriptor().tablaCorreo(*e.Modulo());
        QStringList esperadas, esperadasSolo, nombres;
        int sinDireccion = 0;
        for (const Paciente& p : filas(t, sql, pacientes)) {
            if (p.correo.isEmpty()) {
                ++sinDireccion;
                continue;
            }
            esperadas << p.correo;
            nombres << p.nombre;
            if (p.acepta == 1) esperadasSolo << p.correo;
        }
        EXPECT_GT(esperadas.size(), 1);
        EXPECT_GT(sinDireccion, 0) << "the shop should have patients without an address";
        EXPECT_EQ(d.direcciones.join(QLatin1Char(' ')), esperadas.join(QLatin1Char(' ')));
        EXPECT_EQ(d.nombres.size(), d.direcciones.size());
        if (!t.tabla) {
            EXPECT_EQ(d.nombres, nombres);
        }
        EXPECT_EQ(d.sinDireccion, sinDireccion);
        EXPECT_EQ(d.sinConsentimiento, 0);
        EXPECT_EQ(solo.direcciones, esperadasSolo);
        EXPECT_EQ(solo.sinConsentimiento, esperadas.size() - esperadasSolo.size());
        // Read twice (the window's count, then the sending): the raw result starts over.
        EXPECT_EQ(quill::DestinatariosListado(e, false).direcciones, esperadas);
    }
}

// `listado correo` reads the same recipients: --simular lists them in sending order without
// connecting; no recipient is status 1; settings without a server give the validation code.
TEST_F(Correo, ListadoCorreo) {
    auto dir = quilltest::scratch();
    qputenv("XDG_CONFIG_HOME", dir->path().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
    const QString mensaje = escribir(*dir, QStringLiteral("m.txt"), QStringLiteral("Feliz día"));
    const QString general = escribir(
        *dir, QStringLiteral("g.json"),
        QStringLiteral(R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "G"}])"));
    const QString nadie = escribir(
        *dir, QStringLiteral("n.json"),
        QStringLiteral(R"([{"Id": 1, "Condicion": "Igual a...", "Condicion1": "Zzninguno"}])"));

    // The expected lines from the headless code itself, with the sender's copy first.
    quill::cli::CondicionesListado cond;
    ASSERT_EQ(quill::cli::LeerCondiciones(general, 0, quilltest::dataDir(), kConexion, cond),
              QString());
    quill::EjecutorListado e(*quill::Listado(0));
    e.setConexion(kConexion);
    e.Preparar(cond.tabla.get(), cond.tablas, cond.parametros, QStringLiteral("1"), 5);
    ASSERT_EQ(e.Ejecutar(0, 0, true), 0);
    const quill::DestinatariosCorreo d = quill::DestinatariosListado(e, false);
    e.Cerrar();
    QString lineas = QStringLiteral("tienda@optica.es;Óptica Ñ\n");
    for (int i = 0; i < d.direcciones.size(); ++i)
        lineas += d.direcciones[i] + QLatin1Char(';') + d.nombres[i] + QLatin1Char('\n');

    const QStringList comunes = {"--db",     base->ruta(),  "--particion",       "1",
                                 "--asunto", "Felicidades", "--mensaje-fichero", mensaje,
                                 "--tipo",   "general"};
    struct Caso {
        QStringList args;
        int estado;
        QString salida;
        QString error;
    };
    const Caso casos[] = {
        {{"--condiciones", general, "--simular", "--copia", "--remitente", "Óptica Ñ", "--correo",
          "tienda@optica.es"},
         0,
         lineas,
         ""},
        {{"--condiciones", nadie, "--simular"}, 1, "", "No se ha encontrado ningún registro"},
        {{"--condiciones", general, "--remitente", "Óptica", "--correo", "t@o.es"},
         2,
         "",
         "Código -202"},
        {{"--condiciones", general, "--correo", "t@o.es"}, 2, "", "Código -100"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(qPrintable(c.args.join(' ')));
        QString out, err;
        QTextStream o(&out), er(&err);
        EXPECT_EQ(quill::cli::EjecutarListado(QStringList{"correo"} + comunes + c.args, o, er),
                  c.estado)
            << qPrintable(err);
        o.flush();
        er.flush();
        EXPECT_EQ(out, c.salida);
        EXPECT_TRUE(err.contains(c.error)) << qPrintable(err);
    }
}
