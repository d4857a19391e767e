// The Pending orders and Replacements kinds in the listing window, on a generated shop database:
// the debt row entered in the grid reaches the kind and narrows the count and the export;
// cleared with the grid, it narrows nothing any more. Replacements count and export one row per
// fitting and supplier, of every partition.

#include "anfitrion.h"
#include "conditions/tdmlstpaciente.h"
#include "listing/abrirlistado.h"
#include "listing/navbar.h"
#include "listing/tfrmconteo.h"
#include "listing/tfrmerror.h"
#include "listing/tfrmlistado.h"
#include "listing/tfrmopcionesexportacion.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "testsupport.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using quill::MemTable;
using quill::ScriptedModal;

namespace {

const QString kConexion = QStringLiteral("gui_encargos");

// Each patient's debt over his pending orders, partition 1, written independently.
const QString kDeudas = QStringLiteral(
    "SELECT P.CODIGO, SUM(M.LIQUIDO_M1 - COALESCE((SELECT SUM(C.IMPORTE_M1) FROM COBRO C WHERE "
    "C.ID_MVENTA = M.ID_MVENTA), 0)) FROM PACIENTE P JOIN MVENTA M ON M.ID_PACIENTE = "
    "P.ID_PACIENTE WHERE M.TIPO_OPERACION = 2 AND P.LICENCIA = 1 AND P.BORRADO = 0 AND "
    "P.ID_PACIENTE <> 0 GROUP BY P.CODIGO");

QList<QStringList> leerTexto(const QString& ruta) {
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::ReadOnly)) return {};
    QList<QStringList> filas;
    for (const QByteArray& l : fichero.readAll().split('\n'))
        if (l.endsWith('\r')) filas << QString::fromUtf8(l.chopped(1)).split(QLatin1Char(';'));
    return filas;
}

class VentanaEncargos : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        tienda = new tiendaprueba::Tienda;
        error = tienda->crear(kConexion, {}, tiendaprueba::plantillaGenerada);
    }
    static void TearDownTestSuite() {
        delete tienda;
        tienda = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
        host.principal.show();
        modal.setDefaultDialog([this](QWidget* d) {
            if (auto* e = qobject_cast<TfrmError*>(d))
                funciones << e->edtFuncion->text() + ": " + e->memDescripcion->toPlainText();
            return 0;
        });
        w = AbrirListado(host.bloque.data());
        ASSERT_TRUE(w);
        salida = quilltest::scratch();
    }

    // Fills the current table's blank row, or a new one, and posts it as the user would.
    void condicion(double id, const QString& campo, const QString& operador,
                   const QString& valor1 = QString(), const QString& valor2 = QString()) {
        MemTable* t = w->dmlstPaciente->TablaActual();
        const bool enBlanco =
            t->state() == MemTable::State::Insert && t->asString(QStringLiteral("Campo")).isEmpty();
        if (!enBlanco) t->append();
        w->Condiciones->Lista.clear();
        t->setValue(QStringLiteral("Id"), id);
        t->setValue(QStringLiteral("Campo"), campo);
        t->setValue(QStringLiteral("Condicion"), operador);
        t->setValue(QStringLiteral("Condicion1"), valor1);
        t->setValue(QStringLiteral("Condicion2"), valor2);
        t->post();
    }

    // Patient code -> debt in cents, of every patient with pending orders.
    static QHash<QString, qint64> deudas() {
        QHash<QString, qint64> r;
        QSqlQuery q(QSqlDatabase::database(kConexion));
        EXPECT_TRUE(q.exec(kDeudas)) << qPrintable(q.lastError().text());
        while (q.next())
            r.insert(q.value(0).toString(), qRound64(q.value(1).toDouble() * 100));
        return r;
    }

    QString conteo() {
        auto texto = std::make_shared<QString>();
        modal.queueDialog([texto](QWidget* d) {
            auto* c = qobject_cast<TfrmConteo*>(d);
            if (!c) return 0;
            *texto = c->edtConteo->text();
            return 1;
        });
        w->nbiConteo->click();
        return *texto;
    }

    void exportarTexto(const QString& fichero) {
        modal.queueDialog([fichero](QWidget* d) {
            auto* o = qobject_cast<TfrmOpcionesExportacion*>(d);
            if (!o) return 0;
            o->cbxTipo->setCurrentIndex(2);
            o->edtFichero->setText(fichero);
            o->tbnExportar->click();
            return o->result();
        });
        w->nbiExportar->click();
    }

    static inline QString error;
    static inline tiendaprueba::Tienda* tienda = nullptr;

    ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    Anfitrion host{kConexion};
    QPointer<TfrmListado> w;
    QStringList funciones;
    std::unique_ptr<QTemporaryDir> salida;
};

} // namespace

TEST_F(VentanaEncargos, LaDeudaDeLaRejillaLlegaAlListadoYSeBorraConLaRejilla) {
    const QHash<QString, qint64> todas = deudas();
    QHash<QString, qint64> desde50;
    for (auto it = todas.begin(); it != todas.end(); ++it)
        if (*it >= 5000) desde50.insert(it.key(), *it);
    ASSERT_FALSE(desde50.isEmpty());
    ASSERT_LT(desde50.size(), todas.size()) << "the demo data must have small debts too";

    w->CambiarListado(2);
    condicion(552, "Deuda Pendiente", "Mayor que...", "50");
    EXPECT_EQ(conteo(), TfrmConteo::TextoConteo(desde50.size()));

    // The export shows each patient once, with his debt.
    const QString fichero = salida->filePath(QStringLiteral("encargos.txt"));
    exportarTexto(fichero);
    EXPECT_TRUE(funciones.isEmpty()) << qPrintable(funciones.value(0));
    QList<QStringList> filas = leerTexto(fichero);
    ASSERT_FALSE(filas.isEmpty());
    EXPECT_EQ(filas.takeFirst(),
              QStringList({"Codigo", "Apellidos", "Nombre", "Direccion", "Cod. Postal", "Localidad",
                           "Provincia", "N.I.F", "Teléfono", "Tfno. Móvil", "E-Mail", "Deuda"}));
    QHash<QString, qint64> exportadas;
    for (const QStringList& f : filas) {
        EXPECT_FALSE(exportadas.contains(f.value(0))) << qPrintable(f.value(0));
        exportadas.insert(f.value(0),
                          qRound64(QString(f.value(11)).replace(',', '.').toDouble() * 100));
    }
    EXPECT_EQ(exportadas, desde50);

    // Cleared with the grid: the same kind counts every patient with pending orders again.
    modal.queueAnswer(true);
    w->tbnLimpiar->click();
    EXPECT_TRUE(w->Condiciones->Parametros.deudaOperador.isEmpty());
    EXPECT_EQ(conteo(), TfrmConteo::TextoConteo(todas.size()));
    EXPECT_TRUE(modal.messages().isEmpty());
    EXPECT_TRUE(funciones.isEmpty()) << qPrintable(funciones.value(0));
}

TEST_F(VentanaEncargos, ReposicionesCuentaYExportaFichasDeTodasLasParticiones) {
    // Fittings with lenses, split by the supplier of each lens, of live patients of any partition.
    QSqlQuery q(QSqlDatabase::database(kConexion));
    ASSERT_TRUE(q.exec(
        "SELECT COUNT(*) FROM (SELECT M.ID_MLENTILLA, PR.CODIGO FROM MLENTILLA M JOIN PACIENTE P "
        "ON P.ID_PACIENTE = M.ID_PACIENTE JOIN DLENTILLA D ON D.ID_MLENTILLA = M.ID_MLENTILLA "
        "LEFT JOIN ARTICULO A ON A.REFERENCIA = D.REFERENCIA LEFT JOIN PROVEEDOR PR ON "
        "PR.ID_PROVEEDOR = A.ID_PROVEEDOR WHERE P.BORRADO = 0 AND P.ID_PACIENTE <> 0 AND "
        "CAST(M.FECHA_REPOSICION AS DATE) > '2024-01-01' GROUP BY M.ID_MLENTILLA, PR.CODIGO)"))
        << qPrintable(q.lastError().text());
    ASSERT_TRUE(q.next());
    const int esperado = q.value(0).toInt();
    ASSERT_GT(esperado, 0);

    w->CambiarListado(5);
    EXPECT_FALSE(w->nbrEmail->isEnabled());
    condicion(481, "Fecha Reposición", "Mayor que...", "01/01/2024");
    EXPECT_EQ(conteo(), TfrmConteo::TextoConteo(esperado));

    const QString fichero = salida->filePath(QStringLiteral("reposiciones.txt"));
    exportarTexto(fichero);
    EXPECT_TRUE(funciones.isEmpty()) << qPrintable(funciones.value(0));
    QList<QStringList> filas = leerTexto(fichero);
    ASSERT_FALSE(filas.isEmpty());
    EXPECT_EQ(filas.takeFirst(),
              QStringList({"Codigo", "Nombre", "Apellidos", "Direccion", "Cod. Postal", "Localidad",
                           "Provincia", "N.I.F", "Teléfono", "Tfno. Móvil", "E-Mail", "Fecha"}));
    EXPECT_EQ(filas.size(), esperado);
    EXPECT_TRUE(modal.messages().isEmpty());
}
