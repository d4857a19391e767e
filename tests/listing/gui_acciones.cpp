// The listing window's actions on a generated shop database: validation, routing by kind, the
// progress window and its Cancel, the result-code messages, the count against an independent
// count, the table list rebuilt from the current rows, and the export of the General listing
// read back from the file.

#include "actions/ejecutor.h"
#include "anfitrion.h"
#include "conditions/tdmlstpaciente.h"
#include "listing/abrirlistado.h"
#include "listing/gridcondiciones.h"
#include "listing/navbar.h"
#include "listing/tfrmconteo.h"
#include "listing/tfrmerror.h"
#include "listing/tfrmlistado.h"
#include "listing/tfrmopcionesexportacion.h"
#include "listing/tfrmporcentajelistado.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "queries/tdmgeneral.h"
#include "testsupport.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCollator>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <cmath>

using quill::MemTable;
using quill::ScriptedModal;

namespace {

// The General kind's data module of a window.
TdmGeneral* general(TfrmListado* w) {
    return static_cast<TdmGeneral*>(w->Ejecutor(0)->Modulo());
}

const QString kConexion = QStringLiteral("gui_acciones");
const QString kSinRegistros =
    QStringLiteral("No se ha encontrado ningún registro que cumpla las condiciones");
const QString kVacios = QStringLiteral("No pueden existir registros vacios. Por favor borre los "
                                       "filtros que no desee mediante 'Control + Sup'");
const QString kEspeciales = QStringLiteral("El filtro seleccionado no puede generar un listado "
                                           "por si mismo, debe seleccionar algún filtro más");

// The fixed part of every independent count: partition 1, not deleted, not patient 0.
const QString kPacientes =
    QStringLiteral("FROM PACIENTE P WHERE P.LICENCIA = 1 AND P.BORRADO = 0 AND P.ID_PACIENTE <> 0");

// What the progress window looked like while its action ran.
struct Progreso {
    bool visto = false;
    QString texto;
    bool cancelable = false;
    bool ventanaHabilitada = true;
};

// The text export read back: lines ended by CRLF, each split on ';' (the captions first).
QList<QStringList> leerTexto(const QString& ruta) {
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::ReadOnly)) return {};
    QList<QStringList> filas;
    for (const QByteArray& l : fichero.readAll().split('\n'))
        if (l.endsWith('\r')) filas << QString::fromUtf8(l.chopped(1)).split(QLatin1Char(';'));
    return filas;
}

const QStringList kColumnasGeneral = {"Codigo",      "Apellidos", "Nombre",    "Direccion",
                                      "Cod. Postal", "Localidad", "Provincia", "Teléfono",
                                      "Tfno. Móvil", "N.I.F",     "E-Mail"};

class Acciones : public ::testing::Test {
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
            if (auto* e = qobject_cast<TfrmError*>(d)) funciones << e->edtFuncion->text();
            return 0;
        });
        w = AbrirListado(host.bloque.data());
        ASSERT_TRUE(w);
        ASSERT_TRUE(funciones.isEmpty()) << qPrintable(funciones.first());
        salida = quilltest::scratch();
    }

    // Fills the current table's blank row, or a new one, and posts it: the window builds its
    // fragment as it does for a row the user posts.
    void condicion(double id, const QString& campo, const QString& operador,
                   const QString& valor1 = QString(), const QString& valor2 = QString(),
                   const QStringList& ids = {}) {
        MemTable* t = w->dmlstPaciente->TablaActual();
        const bool enBlanco =
            t->state() == MemTable::State::Insert && t->asString(QStringLiteral("Campo")).isEmpty();
        if (!enBlanco) t->append();
        w->Condiciones->Lista = ids;
        t->setValue(QStringLiteral("Id"), id);
        t->setValue(QStringLiteral("Campo"), campo);
        t->setValue(QStringLiteral("Condicion"), operador);
        t->setValue(QStringLiteral("Condicion1"), valor1);
        t->setValue(QStringLiteral("Condicion2"), valor2);
        t->setValue(QStringLiteral("Condicion1Ids"), ids.join(QLatin1Char(';')));
        t->post();
    }

    int contar(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(kConexion));
        EXPECT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text()) << "\n" << qPrintable(sql);
        return q.next() ? q.value(0).toInt() : -1;
    }
    QStringList columna(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(kConexion));
        EXPECT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text()) << "\n" << qPrintable(sql);
        QStringList valores;
        while (q.next())
            valores << q.value(0).toString();
        return valores;
    }

    // Clicks an action item; the count window, when shown, gives its number box's text.
    QString conteo() {
        // Shared: a script the action never reached may run in a later action.
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

    // The export dialog as the user fills it: a type and a typed file name, then "&Exportar".
    void exportarComo(int tipo, const QString& fichero) {
        modal.queueDialog([tipo, fichero](QWidget* d) {
            auto* o = qobject_cast<TfrmOpcionesExportacion*>(d);
            if (!o) return 0;
            o->cbxTipo->setCurrentIndex(tipo);
            o->edtFichero->setText(fichero);
            o->tbnExportar->click();
            return o->result();
        });
        w->nbiExportar->click();
    }

    // Notes the progress window as it is shown (and presses its Cancel button when asked).
    void vigilarProgreso(bool cancelar) {
        // Runs at the first pending-event pass, the one the progress window makes when shown;
        // bound to the window, so it never outlives the test.
        QTimer::singleShot(0, w.data(), [this, cancelar] {
            TfrmPorcentajeListado* p = w->frmPorcentajeListado;
            if (!p) return;
            progreso.visto = p->isVisible();
            progreso.texto = p->lblTexto->text();
            progreso.cancelable = p->tbnCancelar->isEnabled();
            progreso.ventanaHabilitada = w->isEnabled();
            if (cancelar) p->tbnCancelar->click();
        });
    }

    QStringList textosMensajes() const {
        QStringList t;
        for (const auto& m : modal.messages()) {
            EXPECT_EQ(m.caption, QStringLiteral("AVISO"));
            EXPECT_EQ(m.icon, quill::MessageIcon::Stop);
            t << m.text;
        }
        return t;
    }

    static inline QString error;
    static inline tiendaprueba::Tienda* tienda = nullptr;

    ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    Anfitrion host{kConexion};
    QPointer<TfrmListado> w;
    QStringList funciones; // of each error window shown
    Progreso progreso;
    std::unique_ptr<QTemporaryDir> salida;
};

} // namespace

TEST_F(Acciones, CountEqualsAnIndependentCountOfDistinctPatients) {
    struct Caso {
        const char* nombre;
        std::function<void(Acciones&)> condiciones;
        bool todas;
        QString independiente;
    };
    const QString apellidosG = QStringLiteral("UPPER(P.APELLIDOS) STARTING WITH 'G'");
    const QString cilindro = QStringLiteral(
        "EXISTS (SELECT 1 FROM MGRADUACION M WHERE M.ID_PACIENTE = P.ID_PACIENTE AND "
        "M.OD_CILINDRO BETWEEN -1 AND -0.25)");
    const Caso casos[] = {
        {"a prescription field joins MGRADUACION, patients counted once",
         [](Acciones& a) { a.condicion(82, "Cilindro OD", "...Entre...", "-1", "-0,25"); }, true,
         QStringLiteral("SELECT COUNT(*) ") + kPacientes + " AND " + cilindro},
        {"either",
         [](Acciones& a) {
             a.condicion(1, "Apellidos", "Empieza por...", "G");
             a.condicion(82, "Cilindro OD", "...Entre...", "-1", "-0,25");
         },
         false,
         QStringLiteral("SELECT COUNT(*) ") + kPacientes + " AND (" + apellidosG + " OR " +
             cilindro + ")"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        modal.clear();
        w->dmlstPaciente->VaciarTablas();
        w->CambiarListado(0);
        c.condiciones(*this);
        (c.todas ? w->rbnTodas : w->rbnCualquiera)->setChecked(true);
        const int esperado = contar(c.independiente);
        ASSERT_GT(esperado, 0) << "the case must select someone";
        const QString texto = conteo();
        EXPECT_TRUE(modal.messages().isEmpty()) << qPrintable(textosMensajes().join('\n'));
        EXPECT_EQ(texto, TfrmConteo::TextoConteo(esperado));
        EXPECT_EQ(w->Accion, TfrmListado::AccionConteo);
        EXPECT_TRUE(funciones.isEmpty());
    }
}

// A value still being typed in the grid when the count is clicked counts.
TEST_F(Acciones, AValueStillBeingTypedInTheGridCounts) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.principal));
    host.principal.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host.principal));
    condicion(1, "Apellidos", "Empieza por...");
    quill::GridCondiciones* grid = w->grdListado;
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 2));
    QTest::keyClick(grid, Qt::Key_F2);
    auto* valor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(0, 2)));
    ASSERT_TRUE(valor);
    QTest::keyClicks(valor, QStringLiteral("G"));

    const QString texto = conteo();
    EXPECT_TRUE(modal.messages().isEmpty()) << qPrintable(textosMensajes().join('\n'));
    EXPECT_EQ(texto,
              TfrmConteo::TextoConteo(contar(QStringLiteral("SELECT COUNT(*) ") + kPacientes +
                                             " AND UPPER(P.APELLIDOS) STARTING WITH 'G'")));
}

TEST_F(Acciones, ProgressWindowAndItsCancel) {
    condicion(1, "Apellidos", "Empieza por...", "M");
    vigilarProgreso(false);
    conteo();
    EXPECT_TRUE(progreso.visto);
    EXPECT_EQ(progreso.texto, QStringLiteral("Buscando Registros..."));
    EXPECT_TRUE(progreso.cancelable);
    EXPECT_FALSE(progreso.ventanaHabilitada) << "no other action while one runs";
    EXPECT_FALSE(w->frmPorcentajeListado);
    EXPECT_TRUE(w->isEnabled());

    // Cancel stops quietly after the query: nothing is shown after it.
    modal.clear();
    progreso = {};
    vigilarProgreso(true);
    w->nbiConteo->click();
    EXPECT_TRUE(progreso.visto);
    EXPECT_EQ(w->Resultado, quill::kListadoCancelado);
    EXPECT_EQ(modal.dialogCount(), 0);
    EXPECT_TRUE(modal.messages().isEmpty());
    EXPECT_TRUE(w->isEnabled());
    // The next action runs normally.
    EXPECT_FALSE(conteo().isEmpty());
}

TEST_F(Acciones, NoMatchingRowGivesTheNoRecordsMessageNotACountOfZero) {
    condicion(1, "Apellidos", "Igual a...", "ZZZ NADIE SE APELLIDA ASI");
    conteo();
    EXPECT_EQ(textosMensajes(), QStringList{kSinRegistros});
    EXPECT_EQ(modal.dialogCount(), 0);
}

TEST_F(Acciones, ValidationRefusesEmptyValuesAndSpecialOnlyFilters) {
    struct Caso {
        const char* nombre;
        std::function<void(Acciones&)> condiciones;
        QString mensaje; // empty: accepted
    };
    const Caso casos[] = {
        {"a field without value after a good one",
         [](Acciones& a) {
             a.condicion(2, "Nombre", "Empieza por...", "A");
             a.condicion(1, "Apellidos", "Empieza por...", "");
         },
         kVacios},
        {"only field 55",
         [](Acciones& a) { a.condicion(55, "Fichas a Consultar", "Igual a...", "Última"); },
         kEspeciales},
        {"55 with another field",
         [](Acciones& a) {
             a.condicion(55, "Fichas a Consultar", "Igual a...", "Todas");
             a.condicion(1, "Apellidos", "No Vacío");
         },
         {}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        modal.clear();
        w->dmlstPaciente->VaciarTablas();
        w->CambiarListado(0);
        c.condiciones(*this);
        w->Accion = -1;
        // A refusal stops before the action code is stored.
        conteo();
        EXPECT_EQ(textosMensajes(), c.mensaje.isEmpty() ? QStringList{} : QStringList{c.mensaje});
        EXPECT_EQ(w->Accion, c.mensaje.isEmpty() ? TfrmListado::AccionConteo : -1);
        EXPECT_EQ(w->dmlstPaciente->TablaActual()->recNo(), 1) << "back on the first row";
    }
}

TEST_F(Acciones, TheTableListIsRebuiltFromTheCurrentRows) {
    condicion(1, "Apellidos", "Empieza por...", "G");
    condicion(82, "Cilindro OD", "...Entre...", "-1", "-0,25");
    EXPECT_TRUE(w->Condiciones->Constructor.Tablas().contains(QStringLiteral("MGRADUACION")));
    // The prescription condition goes (Ctrl+Supr): its table must not stay in FROM.
    MemTable* t = w->dmlstPaciente->TablaActual();
    ASSERT_TRUE(t->locate(QStringLiteral("Id"), 82));
    t->remove();
    const QString texto = conteo();
    EXPECT_FALSE(general(w)->SentenciaSQL().contains(QStringLiteral("MGRADUACION")));
    EXPECT_EQ(texto,
              TfrmConteo::TextoConteo(contar(QStringLiteral("SELECT COUNT(*) ") + kPacientes +
                                             " AND UPPER(P.APELLIDOS) STARTING WITH 'G'")));
}

TEST_F(Acciones, RoutingByKind) {
    // General's methods, and every other kind's named, or nothing where the kind has no action.
    struct Caso {
        qint16 tipo;
        qint16 accion;
        const char* metodo;
    };
    // clang-format off
    const Caso casos[] = {
        {0, 0, "ImprimirListadoGeneral"}, {0, 2, "ImprimirEtiquetasGeneral"},
        {0, 3, "ExportarListadoGeneral"}, {0, 9, "ExportarListadoGeneral"},
        {0, 4, "ConteoListadoGeneral"},   {0, 5, "EMailListadoGeneral"},
        {0, 6, "SMSListadoGeneral"},      {1, 4, "ConteoListadoConsumo"},
        {1, 6, "SMSListadoGeneral"},      {2, 3, "ExportarListadoEncargo"},
        {3, 2, "ImprimirEtiquetaFechas"}, {3, 5, "EMailListadoFechas"},
        {4, 0, "ImprimirListadoPrescripciones"}, {4, 4, ""}, {4, 3, ""}, {5, 5, ""},
        {5, 2, "ImprimirEtiquetaReposiciones"}, {6, 0, "ImprimirListadoGarantias"},
        {6, 9, "ExportarListadoGarantias"}, {0, 1, ""}, {0, 7, ""},
    };
    // clang-format on
    for (const Caso& c : casos) {
        SCOPED_TRACE(QStringLiteral("%1/%2").arg(c.tipo).arg(c.accion).toStdString());
        EXPECT_EQ(TfrmListado::MetodoAccion(c.tipo, c.accion), QString::fromLatin1(c.metodo));
    }

    // A kind without the action: nothing at all, even when called directly.
    w->CambiarListado(4);
    w->EjecutarAccion(TfrmListado::AccionConteo);
    EXPECT_TRUE(modal.messages().isEmpty());
    EXPECT_EQ(modal.dialogCount(), 0);
    EXPECT_TRUE(funciones.isEmpty());
}

TEST_F(Acciones, ExportWritesThePatientsOfTheListing) {
    condicion(1, "Apellidos", "Empieza por...", "M");
    condicion(13, "Fecha Nacimiento", "Mayor que...", "01/01/1950");
    condicion(13, "Fecha Nacimiento", "Menor que...", "01/01/2020");
    QStringList codigos = columna(QStringLiteral("SELECT P.CODIGO ") + kPacientes +
                                  " AND UPPER(P.APELLIDOS) STARTING WITH 'M' AND "
                                  "CAST(P.FECHA_NACIMIENTO AS DATE) > '1950-01-01' AND "
                                  "CAST(P.FECHA_NACIMIENTO AS DATE) < '2020-01-01'");
    ASSERT_GT(codigos.size(), 1);
    std::sort(codigos.begin(), codigos.end());

    vigilarProgreso(false);
    const QString fichero = salida->filePath(QStringLiteral("lista.txt"));
    exportarComo(2, fichero);
    EXPECT_TRUE(modal.messages().isEmpty()) << qPrintable(textosMensajes().join('\n'));
    EXPECT_TRUE(funciones.isEmpty()) << qPrintable(funciones.value(0));
    EXPECT_TRUE(progreso.visto);
    EXPECT_FALSE(progreso.cancelable) << "export cannot be cancelled half-way";
    QList<QStringList> filas = leerTexto(fichero);
    ASSERT_FALSE(filas.isEmpty());
    // The status bar says how many rows went to which file.
    EXPECT_EQ(w->textoAyuda(), QStringLiteral("Exportados %1 registros a %2")
                                   .arg(QLocale(QLocale::Spanish).toString(filas.size() - 1),
                                        QDir::toNativeSeparators(fichero)));
    // Birth date asked twice: its column comes once, after the patient columns.
    EXPECT_EQ(filas.takeFirst(), kColumnasGeneral + QStringList{"Fecha Nacimiento"});
    QStringList leidos;
    QStringList apellidos;
    for (const QStringList& fila : filas) {
        leidos << fila.value(0);
        apellidos << fila.value(1);
    }
    // Sorted by surname, as the grid shows them.
    QCollator espanol(QLocale(QLocale::Spanish, QLocale::Spain));
    espanol.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList ordenados = apellidos;
    std::stable_sort(ordenados.begin(), ordenados.end(),
                     [&](const QString& a, const QString& b) { return espanol(a, b); });
    EXPECT_EQ(apellidos, ordenados);
    std::sort(leidos.begin(), leidos.end());
    EXPECT_EQ(leidos, codigos);
}

TEST_F(Acciones, AFileThatCannotBeWrittenIsReportedByTheExportMethod) {
    condicion(1, "Apellidos", "Empieza por...", "M");
    const QString fichero = salida->filePath(QStringLiteral("no/existe/lista.txt"));
    exportarComo(2, fichero);
    EXPECT_EQ(funciones, QStringList{QStringLiteral("ExportarListadoGeneral")});
    EXPECT_FALSE(QFile::exists(fichero));
    EXPECT_TRUE(w->isEnabled()) << "the progress window closed by the method's own clean-up";
}

TEST(Conteo, NumberFormat) {
    TfrmConteo ventana;
    EXPECT_EQ(ventana.edtConteo->text(), QStringLiteral("0")) << "empty shows 0";
    const std::pair<double, const char*> casos[] = {
        {999, "999"}, {1234567, "1.234.567"}, {12.6, "13"}, {std::nan(""), "0"}};
    for (const auto& [n, texto] : casos) {
        ventana.setConteo(n);
        EXPECT_EQ(ventana.edtConteo->text(), QString::fromUtf8(texto)) << n;
    }
}
