// The listing window: start sequence, failures at start, listing kinds, frame, row events.

#include "actions/ejecutor.h"
#include "anfitrion.h"
#include "conditions/tdmlstpaciente.h"
#include "listing/abrirlistado.h"
#include "listing/navbar.h"
#include "listing/tfrmerror.h"
#include "listing/tfrmlistado.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "queries/listingmodule.h"
#include "sql/lstconfiguracion.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>

using quill::MemTable;

namespace {

const QStringList kPasos = {QStringLiteral("CrearObjetos"), QStringLiteral("ConstruirArbol"),
                            QStringLiteral("Idioma"), QStringLiteral("Recursos"),
                            QStringLiteral("ValoresIniciales")};

// A window that notes each start step and can be made to fail in one of them.
class VentanaPrueba : public TfrmListado {
public:
    VentanaPrueba(const std::intptr_t* bloque, QStringList* pasos, QString fallar)
        : TfrmListado(bloque), m_pasos(pasos), m_fallar(std::move(fallar)) {}

    void CrearObjetos() override {
        paso(QStringLiteral("CrearObjetos"), [this] { TfrmListado::CrearObjetos(); });
    }
    void ConstruirArbol() override {
        paso(QStringLiteral("ConstruirArbol"), [this] { TfrmListado::ConstruirArbol(); });
    }
    void Idioma() override {
        paso(QStringLiteral("Idioma"), [this] { TfrmListado::Idioma(); });
    }
    void Recursos() override {
        paso(QStringLiteral("Recursos"), [this] { TfrmListado::Recursos(); });
    }
    void ValoresIniciales() override {
        paso(QStringLiteral("ValoresIniciales"), [this] { TfrmListado::ValoresIniciales(); });
    }

private:
    template <typename Fn> void paso(const QString& nombre, Fn base) {
        m_pasos->append(nombre);
        if (nombre == m_fallar)
            throw quill::Error(QStringLiteral("Fallo provocado en %1: ñandú").arg(nombre));
        base();
    }
    QStringList* m_pasos;
    QString m_fallar;
};

// What one error window showed.
struct ErrorMostrado {
    QString pantalla;
    QString funcion;
    QString descripcion;
};

class Listado : public ::testing::Test {
protected:
    void SetUp() override {
        host.principal.show();
        modal.setDefaultDialog([this](QWidget* d) {
            if (auto* e = qobject_cast<TfrmError*>(d))
                errores.append({e->edtPantalla->text(), e->edtFuncion->text(),
                                e->memDescripcion->toPlainText()});
            return 0;
        });
    }

    TfrmListado* abrir(QStringList* pasos = nullptr, const QString& fallar = QString()) {
        if (!pasos) return AbrirListado(host.bloque.data());
        return AbrirListado(host.bloque.data(), [pasos, fallar](const std::intptr_t* b) {
            return new VentanaPrueba(b, pasos, fallar);
        });
    }

    quill::ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    QList<ErrorMostrado> errores;
    Anfitrion host;
};

} // namespace

TEST_F(Listado, StartRunsTheFiveStepsInOrderAndLeavesTheGeneralKindReady) {
    QStringList pasos;
    QPointer<TfrmListado> w = abrir(&pasos);
    ASSERT_TRUE(w);
    EXPECT_EQ(pasos, kPasos);
    EXPECT_TRUE(errores.isEmpty()) << errores.value(0).descripcion.toStdString();

    // One runner per kind of the registry; the General one runs on the host's connection.
    ASSERT_EQ(w->Ejecutores.size(), 7u);
    EXPECT_EQ(w->Ejecutor(0)->Modulo()->Conexion(), host.db.connectionName);

    // A sub-window of the host's area, shown, on the General kind with its blank row.
    ASSERT_EQ(host.area->subWindowList().size(), 1);
    EXPECT_EQ(host.area->subWindowList().at(0)->widget(), w.data());
    EXPECT_TRUE(w->isVisible());
    // Qt's own dialogs and buttons speak Spanish.
    EXPECT_TRUE(TraduccionesQtCargadas());
    EXPECT_NE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    EXPECT_EQ(w->dmlstPaciente->TablaActual(), w->dmlstPaciente->memGeneral);
    EXPECT_EQ(w->dmlstPaciente->memGeneral->recordCount(), 1);
    // Every table opened with the five events installed: an insert reaches the window.
    // The blank row made one per-row object at the current count; an insert on another table
    // replaces it until a row is posted.
    MemTable* fechas = w->dmlstPaciente->memFechas;
    EXPECT_EQ(w->NumObjetosFila, 0);
    ASSERT_EQ(w->ObjetosFila.size(), 1);
    fechas->append();
    ASSERT_EQ(w->ObjetosFila.size(), 1);
    fechas->post();
    EXPECT_EQ(w->NumObjetosFila, 1);
    w->dmlstPaciente->memGeneral->post();
    fechas->append();
    EXPECT_EQ(w->ObjetosFila.size(), 3);
}

TEST_F(Listado, AFailedStartStepIsReportedByNameAndTheWindowStillShows) {
    for (const QString& fallar : kPasos) {
        SCOPED_TRACE(fallar.toStdString());
        errores.clear();
        QStringList pasos;
        QPointer<TfrmListado> w = abrir(&pasos, fallar);
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(pasos, kPasos) << "the sequence goes on after a failure";
        ASSERT_FALSE(errores.isEmpty());
        const ErrorMostrado& e = errores.first();
        EXPECT_EQ(e.funcion, fallar);
        EXPECT_EQ(e.pantalla, QStringLiteral("Listado - Pacientes"));
        EXPECT_EQ(e.descripcion, QStringLiteral("Fallo provocado en %1: ñandú").arg(fallar));
        // Without its objects the kind switch cannot run: that is reported too, not a crash.
        if (fallar == QStringLiteral("CrearObjetos")) {
            ASSERT_EQ(errores.size(), 2);
            EXPECT_EQ(errores.at(1).funcion, QStringLiteral("ValoresIniciales"));
        } else {
            EXPECT_EQ(errores.size(), 1);
        }
        w->Salir();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(Listado, TwoCallsGiveTwoIndependentWindows) {
    QPointer<TfrmListado> a = abrir();
    QPointer<TfrmListado> b = abrir();
    ASSERT_TRUE(a && b);
    EXPECT_NE(a.data(), b.data());
    EXPECT_EQ(frmListado(), b.data());

    a->dmlstPaciente->memGeneral->append();
    EXPECT_EQ(b->dmlstPaciente->memGeneral->recordCount(), 1);

    a->Salir();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(a);
    EXPECT_TRUE(b);
}

TEST_F(Listado, ConfigurationFilterValueFollowsTheUserFlagWord) {
    struct Caso {
        quint16 bandera;
        qint32 valor;
        double esperado;
    };
    const Caso casos[] = {{0, 25, -1.0}, {1, 25, 25.0}, {0xFFFF, -4, -4.0}};
    for (const Caso& c : casos) {
        host.usuario.Filtrar = c.bandera;
        host.conf.ValorFiltro = c.valor;
        QPointer<TfrmListado> w = abrir();
        ASSERT_TRUE(w);
        EXPECT_EQ(w->LstConfiguracion->FiltroConfiguracion(), c.esperado) << c.bandera;
        w->Salir();
    }
}

TEST_F(Listado, ClickingAKindSwitchesTitleTableActionsAndItems) {
    TfrmListado* w = abrir();
    struct Caso {
        int tipo;
        const char* titulo;
        const char* tabla;
        QStringList apagados;
    };
    // clang-format off
    const Caso casos[] = {
        {4, "Condiciones Listado Prescripciones al CNOO", "memPrescripcion",
         {"nbiExportar", "nbiEtiqueta", "nbiConteo", "nbiSMS", "nbrEmail", "nbiFicheroSMS"}},
        {1, "Condiciones Listado Por Consumo", "memConsumo", {}},
        {5, "Condiciones Listado Reposiciones", "memReposicion", {"nbrEmail"}},
        {6, "Condiciones Listado Garantías", "memGarantias", {"rbnTodas", "rbnCualquiera"}},
        {2, "Condiciones Listado Encargos Pendientes", "memEncargo", {}},
        {3, "Condiciones Listado Por Fechas", "memFechas", {}},
        {0, "Condiciones Listado General", "memGeneral", {}},
    };
    // clang-format on
    const QStringList acciones = {"nbiImprimir",   "nbiExportar", "nbiEtiqueta",
                                  "nbiConteo",     "nbiSMS",      "nbrEmail",
                                  "nbiFicheroSMS", "rbnTodas",    "rbnCualquiera"};
    w->rbnCualquiera->setChecked(true);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.titulo);
        quill::NavItem* item = nullptr;
        for (quill::NavItem* i : w->nbgListados->links())
            if (i->tag() == c.tipo) item = i;
        ASSERT_TRUE(item && item->isEnabled());
        QTest::mouseClick(item, Qt::LeftButton);
        EXPECT_EQ(w->TipoListado, c.tipo);
        EXPECT_EQ(w->pnlTitulo->text(), QString::fromUtf8(c.titulo));
        EXPECT_EQ(w->dmlstPaciente->TablaActual()->name(), QString::fromLatin1(c.tabla));
        for (const QString& a : acciones)
            EXPECT_EQ(w->findChild<QWidget*>(a)->isEnabled(), !c.apagados.contains(a))
                << a.toStdString();
        for (quill::NavItem* i : w->nbgListados->links())
            EXPECT_EQ(i->isEnabled(), i->tag() != c.tipo) << i->text().toStdString();
        // The all/any choice keeps its state while disabled.
        EXPECT_TRUE(w->rbnCualquiera->isChecked());
    }
    // Back and forth added no second blank row anywhere.
    for (MemTable* t : w->dmlstPaciente->Tablas())
        EXPECT_EQ(t->recordCount(), 1) << t->name().toStdString();
}

TEST_F(Listado, PostingBuildsTheFragmentOnlyWithTheRebuildFlag) {
    TfrmListado* w = abrir();
    MemTable* t = w->dmlstPaciente->memGeneral;
    ASSERT_EQ(t->state(), MemTable::State::Insert);
    t->setValue(QStringLiteral("Id"), 2.0);
    t->setValue(QStringLiteral("Campo"), QStringLiteral("Nombre"));
    t->setValue(QStringLiteral("Condicion"), QStringLiteral("Igual a..."));
    t->setValue(QStringLiteral("Condicion1"), QStringLiteral("ana"));
    t->post();
    EXPECT_EQ(t->asString(QStringLiteral("Sentencia")),
              QStringLiteral("UPPER(PACIENTE.NOMBRE)  = 'ANA'"));
    EXPECT_EQ(w->NumObjetosFila, 1);
    EXPECT_TRUE(w->OperadorCargado);

    // Loading a saved filter posts with the flag cleared: the fragment stays.
    w->ReconstruirSentencia = false;
    w->OperadorCargado = false;
    t->edit();
    EXPECT_TRUE(w->OperadorCargado);
    t->setValue(QStringLiteral("Condicion1"), QStringLiteral("eva"));
    t->post();
    EXPECT_EQ(t->asString(QStringLiteral("Sentencia")),
              QStringLiteral("UPPER(PACIENTE.NOMBRE)  = 'ANA'"));
    w->ReconstruirSentencia = true;

    // A value that cannot become SQL is refused, said in the user's terms; the row keeps its
    // fragment and is marked.
    t->edit();
    t->setValue(QStringLiteral("Id"), 0.0);
    t->setValue(QStringLiteral("Campo"), QStringLiteral("Código"));
    t->setValue(QStringLiteral("Condicion1"), QStringLiteral("1 OR 1=1"));
    t->post();
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages().at(0).text,
              QStringLiteral("«1 OR 1=1» no es un número válido para Código"));
    EXPECT_EQ(w->MotivoRechazo(t->currentRow()), modal.messages().at(0).text);
    EXPECT_EQ(t->asString(QStringLiteral("Sentencia")),
              QStringLiteral("UPPER(PACIENTE.NOMBRE)  = 'ANA'"));

    // A number row still without value (INSERT before typing it) is no error yet; it builds
    // nothing until its value is typed.
    modal.clear();
    t->append();
    t->setValue(QStringLiteral("Id"), 82.0);
    t->setValue(QStringLiteral("Campo"), QStringLiteral("Cilindro OD"));
    t->setValue(QStringLiteral("Condicion"), QStringLiteral("Igual a..."));
    t->post();
    EXPECT_TRUE(modal.messages().isEmpty());
    EXPECT_EQ(t->asString(QStringLiteral("Sentencia")), QString());
    EXPECT_EQ(w->MotivoRechazo(t->currentRow()), QString());
    EXPECT_TRUE(errores.isEmpty());
}

TEST_F(Listado, SpecialRowsChangeTheWindowAndTheListingModules) {
    TfrmListado* w = abrir();
    MemTable* t = w->dmlstPaciente->memGeneral;
    // 463: the prescription type, no fragment.
    t->setValue(QStringLiteral("Id"), 463.0);
    t->setValue(QStringLiteral("Condicion"), QStringLiteral("Igual a..."));
    t->setValue(QStringLiteral("Condicion1"), QStringLiteral("Audiometría"));
    t->post();
    EXPECT_EQ(w->Condiciones->Parametros.tipoPrescripcion, QStringLiteral("Audiometría"));
    EXPECT_EQ(t->asString(QStringLiteral("Sentencia")), QString());
    t->remove();
    EXPECT_EQ(w->Condiciones->Parametros.tipoPrescripcion, QStringLiteral("Óptica"));

    // 50: the record families go to the kinds, and leave with the row.
    w->Condiciones->Lista = QStringList{QStringLiteral("1"), QStringLiteral("2")};
    t->append();
    t->setValue(QStringLiteral("Id"), 50.0);
    t->setValue(QStringLiteral("Condicion"), QStringLiteral("Igual a..."));
    t->setValue(QStringLiteral("Condicion1"), QStringLiteral("Graduación; Lentillas"));
    t->post();
    EXPECT_EQ(w->Condiciones->Parametros.familias, (QStringList{"1", "2"}));
    t->remove();
    EXPECT_TRUE(w->Condiciones->Parametros.familias.isEmpty());
}

TEST_F(Listado, AFailedCreationLeavesNoWindow) {
    TfrmListado* w = AbrirListado(host.bloque.data(), [](const std::intptr_t*) -> TfrmListado* {
        throw quill::Error(QStringLiteral("sin memoria"));
    });
    EXPECT_EQ(w, nullptr);
    EXPECT_TRUE(host.area->subWindowList().isEmpty());
    EXPECT_TRUE(errores.isEmpty());
}
