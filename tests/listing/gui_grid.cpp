// The condition grid at work: a user's day of choosing fields, operators and values, posting
// rows, refused values, deleting rows and clearing everything.

#include "business/localidades.h"
#include "gui_grid_apoyo.h"
#include "sql/lstconfiguracion.h"
#include "sql/lstsentpaciente.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

using gridprueba::VentanaGrid;
using quill::MemTable;

namespace {

const QString kIgual = QStringLiteral("Igual a...");
const QString kDistinto = QStringLiteral("Distinto de...");
const QString kMayor = QStringLiteral("Mayor que...");
const QString kMenor = QStringLiteral("Menor que...");
const QString kEntre = QStringLiteral("...Entre...");
const QString kVacio = QStringLiteral("Vacío");
const QString kNoVacio = QStringLiteral("No Vacío");
const QString kEmpieza = QStringLiteral("Empieza por...");
const QString kTermine = QStringLiteral("Termine en...");
const QString kContiene = QStringLiteral("...Contiene...");

// Localities with one name shared by two of them.
std::shared_ptr<quill::LocalidadCache> localidades() {
    auto c = std::make_shared<quill::LocalidadCache>();
    c->add({5, QStringLiteral("Arroyo"), 42100, 1, QStringLiteral("Soria")});
    c->add({9, QStringLiteral("Arroyo"), 9200, 2, QStringLiteral("Burgos")});
    c->add({7, QStringLiteral("Soria"), 42001, 1, QStringLiteral("Soria")});
    return c;
}

} // namespace

class Grid : public VentanaGrid {
protected:
    // F4 on an editor's text opens its drop-down (or presses its button); the user then looks.
    void abrir(quill::EditorCelda* editor) {
        QTest::keyClick(editor->linea(), Qt::Key_F4);
        QApplication::processEvents();
    }
    // Ticks or unticks an entry of the open check list with the space bar.
    void marcar(quill::CheckListPopup* lista, int fila) {
        lista->lista()->setCurrentRow(fila);
        QTest::keyClick(lista->lista(), Qt::Key_Space);
        QApplication::processEvents();
    }
    QStringList operadores(int fila) {
        auto* c = qobject_cast<QComboBox*>(editar(fila, 1));
        QStringList r;
        for (int i = 0; c && i < c->count(); ++i)
            r << c->itemText(i);
        QTest::keyClick(grid()->indexWidget(celda(fila, 1)), Qt::Key_Escape);
        return r;
    }
};

TEST_F(Grid, TheCatalogueDropDownCopiesTheChosenEntryIntoTheRow) {
    elegirCampo(0, QStringLiteral("apel"), 1);
    EXPECT_EQ(valor(0, "Id").toDouble(), 1.0);
    EXPECT_EQ(texto(0, "Campo"), QStringLiteral("Apellidos"));
    EXPECT_EQ(valor(0, "TipoCondicion").toInt(), 1);
    EXPECT_EQ(valor(0, "TipoObjeto").toInt(), 0);
    // Enter moves on to the operator, which opens with the user's default for texts.
    EXPECT_EQ(grid()->currentIndex(), celda(0, 1));
    auto* operador = qobject_cast<QComboBox*>(grid()->indexWidget(celda(0, 1)));
    ASSERT_TRUE(operador);
    EXPECT_EQ(operador->currentText(), kIgual);
    EXPECT_EQ(texto(0, "Condicion"), kIgual);
    escribir(0, 2, QStringLiteral("garcia"));

    // The search ignores accents and case and opens the group it finds.
    ASSERT_TRUE(editar(0, 0));
    quill::CatalogoPopup* catalogo = w->PopupCatalogo();
    for (const QChar c : QStringLiteral("TELÉFONO M"))
        QTest::sendKeyEvent(QTest::Click, catalogo->vista(), Qt::Key_unknown, QString(c), {});
    const QModelIndex elegido = catalogo->vista()->currentIndex();
    EXPECT_EQ(elegido.data().toString(), QStringLiteral("Teléfono Móvil"));
    EXPECT_TRUE(catalogo->vista()->isExpanded(elegido.parent()));
    // Another field forgets the operator and values of the first.
    QTest::keyClick(catalogo->vista(), Qt::Key_Return);
    EXPECT_EQ(valor(0, "Id").toDouble(), 8.0);
    EXPECT_EQ(texto(0, "Condicion1"), QString());

    // Anywhere in the caption; a miss leaves nothing Enter could pick; a caption two fields
    // share shows its group, and the row gets the caption alone.
    const auto teclear = [&](const QString& texto) {
        catalogo->reiniciarBusqueda();
        for (const QChar c : texto)
            QTest::sendKeyEvent(QTest::Click, catalogo->vista(), Qt::Key_unknown, QString(c), {});
        return catalogo->vista()->currentIndex();
    };
    ASSERT_TRUE(editar(0, 0));
    catalogo = w->PopupCatalogo();
    EXPECT_EQ(teclear(QStringLiteral("nacim")).data().toString(),
              QStringLiteral("Fecha Nacimiento"));
    EXPECT_FALSE(teclear(QStringLiteral("zzzq")).isValid());
    quill::EntradaArbol entrada;
    EXPECT_FALSE(catalogo->entradaActual(&entrada));
    const QModelIndex cilindro = teclear(QStringLiteral("cilindro od"));
    EXPECT_TRUE(cilindro.data().toString().startsWith(QStringLiteral("Cilindro OD (")))
        << qPrintable(cilindro.data().toString());
    QTest::keyClick(catalogo->vista(), Qt::Key_Return);
    EXPECT_EQ(texto(0, "Campo"), QStringLiteral("Cilindro OD"));
    // The row's field cell says which of the two it is.
    const QString grupo = cilindro.data().toString().section(QLatin1Char('('), 1).chopped(1);
    EXPECT_TRUE(w->AyudaCampo(0).contains(QStringLiteral("<b>Cilindro OD</b> (%1)").arg(grupo)))
        << qPrintable(w->AyudaCampo(0));
}

TEST_F(Grid, TheOperatorListFollowsTheFieldAndItsDefaultIsFilledOnlyOnce) {
    host.usuario.OperadorNumero = 2; // Mayor que...
    host.usuario.OperadorTexto = 7;  // ...Contiene...
    host.usuario.OperadorFecha = 3;  // Menor que...
    const QStringList numero = {kIgual, kDistinto, kMayor, kMenor, kEntre, kVacio, kNoVacio};
    const QStringList textoOps = {kIgual,    kDistinto, kEmpieza, kTermine,
                                  kContiene, kVacio,    kNoVacio};
    struct Caso {
        const char* busqueda;
        double id;
        QStringList lista;
        QString defecto;
    };
    const Caso casos[] = {
        {"apel", 1, textoOps, kContiene},
        {"cód", 0, numero, kMayor}, // the patient code: a number with a range picker
        {"fecha nac", 13, numero, kMenor},
        {"propia", 76, {kIgual}, kIgual}, // a list field reduced to "Igual a..."
    };
    int fila = 0;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.busqueda);
        if (fila > 0) QTest::keyClick(grid(), Qt::Key_Insert);
        elegirCampo(fila, QString::fromUtf8(c.busqueda), c.id);
        EXPECT_EQ(operadores(fila), c.lista);
        EXPECT_EQ(texto(fila, "Condicion"), c.defecto);
        ++fila;
    }
    // The user's choice stays on later edits; a newly chosen field gets its default again.
    elegirOperador(0, kEmpieza);
    EXPECT_EQ(texto(0, "Condicion"), kEmpieza);
    operadores(0);
    EXPECT_EQ(texto(0, "Condicion"), kEmpieza);
    elegirCampo(0, QStringLiteral("nom"), 2);
    operadores(0);
    EXPECT_EQ(texto(0, "Condicion"), kContiene);
}

TEST_F(Grid, ValueCellsGetTheEditorOfTheirTypeAndOperator) {
    struct Caso {
        qint16 tipo;
        qint16 objeto;
        QString condicion;
        int columna;        // of the model: 2 first value, 3 second value
        const char* editor; // null: the cell refuses editing
        bool soloLectura;
    };
    const Caso casos[] = {
        {1, 0, kIgual, 2, "eriTexto", false},    {1, 0, kIgual, 3, nullptr, false},
        {1, 0, kVacio, 2, "eriTexto", true},     {0, 0, kEntre, 3, "eriTexto", false},
        {0, 16, kEntre, 3, "eriBoton", true},    {2, 0, kEntre, 3, "eriPopup", false},
        {3, 4, kIgual, 2, "eriComboBox", false}, {4, 3, kNoVacio, 2, "eriTexto", true},
        {5, 0, kIgual, 2, "eriBoton", true},
    };
    MemTable* t = tabla();
    for (const Caso& c : casos) {
        SCOPED_TRACE(testing::Message() << c.tipo << "/" << c.objeto << " " << c.columna);
        t->edit();
        t->setValue(QStringLiteral("Id"), 9000.0);
        t->setValue(QStringLiteral("TipoCondicion"), c.tipo);
        t->setValue(QStringLiteral("TipoObjeto"), c.objeto);
        t->setValue(QStringLiteral("Condicion"), c.condicion);
        QWidget* editor = editar(0, c.columna);
        if (!c.editor) {
            EXPECT_EQ(editor, nullptr);
            continue;
        }
        ASSERT_TRUE(editor);
        EXPECT_EQ(editor->objectName(), QString::fromLatin1(c.editor));
        bool soloLectura = false;
        if (auto* l = qobject_cast<QLineEdit*>(editor)) soloLectura = l->isReadOnly();
        if (auto* e = qobject_cast<quill::EditorCelda*>(editor))
            soloLectura = e->linea()->isReadOnly();
        EXPECT_EQ(soloLectura, c.soloLectura);
        QTest::keyClick(editor->focusProxy() ? editor->focusProxy() : editor, Qt::Key_Escape);
        QApplication::processEvents();
        EXPECT_EQ(grid()->indexWidget(celda(0, c.columna)), nullptr);
    }
}

TEST_F(Grid, ATextConditionIsPostedWithItsFragment) {
    elegirCampo(0, QStringLiteral("apel"), 1);
    operadores(0);
    EXPECT_EQ(texto(0, "Condicion"), kIgual) << "the user's text default";
    escribir(0, 2, QStringLiteral("garcia"));
    EXPECT_EQ(texto(0, "Sentencia"), QString()) << "not posted yet";
    salirDeFila(0);
    EXPECT_EQ(texto(0, "Sentencia"), QStringLiteral("UPPER(PACIENTE.APELLIDOS)  = 'GARCIA'"));
    EXPECT_TRUE(modal.messages().isEmpty());
    // Enter through the last cell of the last row posts it too.
    elegirCampo(1, QStringLiteral("nom"), 2);
    escribir(1, 2, QStringLiteral("ana"));
    grid()->setCurrentIndex(celda(1, 3));
    QTest::keyClick(grid(), Qt::Key_Return);
    EXPECT_EQ(tabla()->state(), MemTable::State::Browse);
    EXPECT_EQ(texto(1, "Sentencia"), QStringLiteral("UPPER(PACIENTE.NOMBRE)  = 'ANA'"));
}

TEST_F(Grid, ADateIsPickedFromTheMonthCalendar) {
    elegirCampo(0, QStringLiteral("fecha nac"), 13);
    elegirOperador(0, kMayor);
    auto* editor = qobject_cast<quill::EditorDesplegable*>(editar(0, 2));
    ASSERT_TRUE(editor);
    abrir(editor);
    quill::CalendarioPopup* calendario = w->PopupCalendario();
    ASSERT_TRUE(calendario && calendario->isVisible());
    auto* dias = calendario->calendario()->findChild<QTableView*>();
    ASSERT_TRUE(dias);
    calendario->calendario()->setSelectedDate(QDate(2024, 3, 5));
    QTest::keyClick(dias, Qt::Key_Return);
    EXPECT_FALSE(calendario->isVisible());

    // With "...Entre..." the second cell takes the second date.
    elegirOperador(0, kEntre);
    auto* segundo = qobject_cast<quill::EditorDesplegable*>(editar(0, 3));
    ASSERT_TRUE(segundo);
    abrir(segundo);
    calendario->calendario()->setSelectedDate(QDate(2024, 12, 31));
    QTest::keyClick(dias, Qt::Key_Return);
    EXPECT_EQ(texto(0, "Condicion1"), QStringLiteral("05/03/2024"));
    EXPECT_EQ(texto(0, "Condicion2"), QStringLiteral("31/12/2024"));

    // The shop database's empty date is written as an empty text.
    abrir(segundo);
    calendario->calendario()->setSelectedDate(QDate(1899, 12, 30));
    QTest::keyClick(dias, Qt::Key_Return);
    EXPECT_EQ(texto(0, "Condicion2"), QString());

    // A date may be typed too: written as the calendar writes it; an impossible one stays as
    // typed and is refused when the row is posted.
    const auto teclear = [&](int columna, const QString& fecha) {
        auto* e = qobject_cast<quill::EditorDesplegable*>(editar(0, columna));
        ASSERT_TRUE(e);
        ASSERT_FALSE(e->linea()->isReadOnly());
        e->linea()->selectAll();
        QTest::keyClicks(e->linea(), fecha);
        QTest::keyClick(e->linea(), Qt::Key_Return);
        QApplication::processEvents();
    };
    teclear(2, QStringLiteral("5/3/1980"));
    EXPECT_EQ(texto(0, "Condicion1"), QStringLiteral("05/03/1980"));
    modal.clear();
    teclear(3, QStringLiteral("31/02/2000"));
    EXPECT_EQ(texto(0, "Condicion2"), QStringLiteral("31/02/2000"));
    salirDeFila(0);
    ASSERT_FALSE(modal.messages().isEmpty());
    EXPECT_EQ(modal.messages().last().text, QStringLiteral("«31/02/2000» no es una fecha válida"));
    EXPECT_FALSE(w->MotivoRechazo(0).isEmpty());
}

TEST_F(Grid, TickingListEntriesWritesNamesAndIds) {
    auto cache = localidades();
    w->LstConfiguracion->setLocalidades(cache);
    w->Condiciones->Constructor.setLocalidades(cache);

    elegirCampo(0, QStringLiteral("sexo"), 11);
    operadores(0);
    auto* editor = qobject_cast<quill::EditorDesplegable*>(editar(0, 2));
    ASSERT_TRUE(editor);
    abrir(editor);
    quill::CheckListPopup* lista = w->PopupCheck();
    ASSERT_TRUE(lista && lista->isVisible());
    ASSERT_EQ(lista->lista()->count(), 3);
    marcar(lista, 0);
    marcar(lista, 1);
    EXPECT_EQ(texto(0, "Condicion1"), QStringLiteral("Hombre; Mujer"));
    EXPECT_EQ(texto(0, "Condicion1Ids"), QStringLiteral("1;2"));
    lista->hide();
    salirDeFila(0);

    // Localities: a ticked name stands for every locality of that name.
    elegirCampo(1, QStringLiteral("locali"), 5);
    operadores(1);
    editor = qobject_cast<quill::EditorDesplegable*>(editar(1, 2));
    ASSERT_TRUE(editor);
    abrir(editor);
    marcar(lista, 0);
    EXPECT_EQ(texto(1, "Condicion1Ids"), QStringLiteral("5;9"));
    lista->hide();
    salirDeFila(1);

    // The first row posted again later builds with its own ids, not the list ticked last.
    elegirOperador(0, kDistinto);
    salirDeFila(0);
    quill::TLstSentPaciente constructor;
    QStringList ids = {QStringLiteral("1"), QStringLiteral("2")};
    constructor.setId(11);
    constructor.setCondicion(kDistinto);
    constructor.setLista(&ids);
    EXPECT_EQ(texto(0, "Sentencia"), constructor.GenerarSentencia());
}

TEST_F(Grid, ClearingAsksFirstAndNoKeepsEveryCondition) {
    const QString pregunta =
        QStringLiteral("¿Desea borrar todos los filtros del listado para comenzar de nuevo?");
    elegirCampo(0, QStringLiteral("fecha nac"), 13);
    operadores(0);
    editar(0, 2); // makes the calendar
    QTest::keyClick(grid()->indexWidget(celda(0, 2))->focusProxy(), Qt::Key_Escape);
    ASSERT_TRUE(w->Calendario);
    w->CambiarListado(3);
    elegirCampo(0, QStringLiteral("apel"), 1);
    w->Condiciones->Parametros.tipoPrescripcion = QStringLiteral("Audiometría");
    w->pnlTitulo->setText(w->TituloListado(QStringLiteral("Revisiones")));

    modal.queueAnswer(false);
    QTest::mouseClick(w->tbnLimpiar, Qt::LeftButton);
    ASSERT_EQ(modal.questions().size(), 1);
    EXPECT_EQ(modal.questions().at(0).text, pregunta);
    EXPECT_EQ(w->dmlstPaciente->memGeneral->valueAt(0, QStringLiteral("Id")).toDouble(), 13.0);
    EXPECT_EQ(texto(0, "Campo"), QStringLiteral("Apellidos"));
    EXPECT_TRUE(w->Calendario);

    modal.queueAnswer(true);
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_F7);
    ASSERT_EQ(modal.questions().size(), 2);
    for (MemTable* t : w->dmlstPaciente->Tablas())
        EXPECT_EQ(t->recordCount(), t == tabla() ? 1 : 0) << t->name().toStdString();
    EXPECT_EQ(w->pnlTitulo->text(), QStringLiteral("Condiciones Listado Por Fechas"));
    EXPECT_FALSE(w->Calendario);
    EXPECT_EQ(w->Condiciones->Parametros.tipoPrescripcion, QStringLiteral("Óptica"));
}

// The keyboard reaches the whole window: Tab leaves the grid past its last cell for the filter
// buttons and the actions; F12 with conditions asks before closing.
TEST_F(Grid, TabLeavesTheGridAndF12WithConditionsAsks) {
    elegirCampo(0, QStringLiteral("apel"), 1);
    escribir(0, 2, QStringLiteral("garcia"));
    QAbstractItemModel* m = grid()->model();
    grid()->setFocus();
    grid()->setCurrentIndex(m->index(m->rowCount() - 1, m->columnCount() - 1));
    QTest::keyClick(grid(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->tbnCargar);
    QTest::keyClick(w->tbnCargar, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->tbnGuardar);
    QTest::keyClick(w->tbnGuardar, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), w->tbnCargar);
    QTest::keyClick(w->tbnCargar, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), grid());

    // No keeps the window and its conditions.
    modal.clear();
    QTest::keyClick(grid(), Qt::Key_F12);
    ASSERT_EQ(modal.questions().size(), 1);
    EXPECT_EQ(modal.questions().first().text,
              QStringLiteral("¿Desea cerrar el listado? Se perderán las condiciones que no haya "
                             "guardado."));
    EXPECT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
}
