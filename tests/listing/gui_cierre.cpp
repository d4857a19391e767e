// Closing the listing window: every owned object freed once, in order, one ACCESO row, and the
// error window's shop heading read from the database.

#include "anfitrion.h"
#include "conditions/tdmlstpaciente.h"
#include "conditions/tlstfiltros.h"
#include "listing/abrirlistado.h"
#include "listing/navbar.h"
#include "listing/tbuscarpaciente.h"
#include "listing/tfltarticulo.h"
#include "listing/tfrmerror.h"
#include "listing/tfrmlistado.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSet>
#include <QTest>

namespace {

class Cierre : public ::testing::Test {
protected:
    void SetUp() override {
        modal.setDefaultDialog([this](QWidget* d) {
            if (auto* e = qobject_cast<TfrmError*>(d)) {
                funciones << e->edtFuncion->text();
                descripciones << e->memDescripcion->toPlainText();
                tiendas << e->tienda();
            }
            return 0;
        });
    }

    // Notes the name of every owned object as it dies; returns how many it watches.
    int vigilar(TfrmListado* w) {
        int vigilados = 0;
        const QList<QObject*> objetos = {
            w->Calendario,  w->CheckComboBox,     w->dmlstPaciente, w->FltArticulo,
            w->LstFiltros,  w->BuscarPacienteObj, w->grdFiltro,     w};
        for (QObject* o : objetos) {
            if (!o) continue;
            const QString nombre = o->objectName();
            QObject::connect(o, &QObject::destroyed, [this, nombre] { muertos << nombre; });
            ++vigilados;
        }
        return vigilados;
    }

    quill::ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    QStringList funciones;
    QStringList descripciones;
    QList<TDatosTienda> tiendas;
    QStringList muertos;
};

} // namespace

TEST_F(Cierre, FreesEveryObjectOnceInOrderAndLogsOneAccess) {
    tiendaprueba::Tienda tienda;
    ASSERT_EQ(tienda.crear(QStringLiteral("cierre")), QString());
    Anfitrion host(QStringLiteral("cierre"));
    host.principal.show();
    QPointer<TfrmListado> w = AbrirListado(host.bloque.data());
    ASSERT_TRUE(w);
    // The editors and the catalogue drop-down exist only after some editing: make them.
    w->Calendario = new QWidget(w);
    w->Calendario->setObjectName(QStringLiteral("Calendario"));
    w->CheckComboBox = new QWidget(w);
    w->CheckComboBox->setObjectName(QStringLiteral("CheckComboBox"));
    if (!w->grdFiltro) {
        w->grdFiltro = new QWidget(w);
        w->grdFiltro->setObjectName(QStringLiteral("grdFiltro"));
    }
    const QString desplegable = w->grdFiltro->objectName();
    // A few rows, each with its per-row object.
    quill::MemTable* t = w->dmlstPaciente->memGeneral;
    t->post();
    for (int i = 0; i < 3; ++i) {
        t->append();
        t->post();
    }
    EXPECT_EQ(w->NumObjetosFila, 4);
    vigilar(w);

    QTest::mouseClick(w->nbiSalir, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(w);
    EXPECT_EQ(muertos, (QStringList{"Calendario", "CheckComboBox", "dmlstPaciente", "FltArticulo",
                                    "LstFiltros", "BuscarPaciente", desplegable, "frmListado"}));
    EXPECT_TRUE(funciones.isEmpty()) << descripciones.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(host.area->subWindowList().isEmpty());

    EXPECT_EQ(tienda.valor(QStringLiteral("SELECT COUNT(*) FROM ACCESO")).toInt(), 1);
    EXPECT_EQ(tienda.valor(QStringLiteral("SELECT ID_USUARIO || '/' || VENTANA || '/' || VALOR "
                                          "FROM ACCESO WHERE FECHA IS NOT NULL"))
                  .toString(),
              QStringLiteral("7/4013/3"));
}

TEST_F(Cierre, ALogThatCannotBeWrittenIsReportedAndEverythingIsStillFreed) {
    Anfitrion host(QStringLiteral("no-abierta"));
    host.principal.show();
    QPointer<TfrmListado> w = AbrirListado(host.bloque.data());
    ASSERT_TRUE(w);
    const int vigilados = vigilar(w);
    w->Salir();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(w);
    // The editors were never made: only the objects that existed die, each once.
    EXPECT_EQ(muertos.size(), vigilados) << muertos.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(QSet<QString>(muertos.begin(), muertos.end()).size(), vigilados);
    EXPECT_EQ(muertos.last(), QStringLiteral("frmListado"));
    ASSERT_EQ(funciones, QStringList{QStringLiteral("FormClose")});
    EXPECT_TRUE(
        descripciones.at(0).startsWith(QStringLiteral("No se ha podido registrar el acceso")))
        << descripciones.at(0).toStdString();
}

TEST_F(Cierre, ErrorWindowShowsTheShopOfTheDatabase) {
    tiendaprueba::Tienda tienda;
    ASSERT_EQ(tienda.crear(QStringLiteral("empresa"),
                           {QStringLiteral("INSERT INTO PROVINCIA (ID_PROVINCIA, DESCRIPCION) "
                                           "VALUES (45, 'Toledo')"),
                            QStringLiteral("INSERT INTO LOCALIDAD (ID_LOCALIDAD, DESCRIPCION, "
                                           "CODIGO_POSTAL, ID_PROVINCIA) VALUES (9, 'Añover de "
                                           "Tajo', 5260, 45)"),
                            QStringLiteral("INSERT INTO EMPRESA (ID_EMPRESA, NOMBRE, DIRECCION, "
                                           "ID_LOCALIDAD, TELEFONO) VALUES (1, 'Óptica Peñalver', "
                                           "'Calle Mayor, 3', 9, '925 000 111')")}),
              QString());
    Anfitrion host(QStringLiteral("empresa"));
    QPointer<TfrmListado> w = AbrirListado(host.bloque.data());
    ASSERT_TRUE(w);
    w->MostrarError(QStringLiteral("tbnLimpiar -> OnClick"), QStringLiteral("Mensaje de prueba"));
    ASSERT_EQ(tiendas.size(), 1);
    const TDatosTienda& t = tiendas.at(0);
    EXPECT_EQ(QStringList({t.Nombre, t.Direccion, t.CodigoPostal, t.Localidad, t.Provincia}),
              QStringList({"Óptica Peñalver", "Calle Mayor, 3", "05260", "Añover de Tajo", "Toledo"}));
}
