// Saved filters: the file a filter is saved to, loading it back through the row events,
// operator codes, the all/any choice, bad names and files that cannot be read or written.

#include "../platform/qtprint.h"
#include "conditions/catalogo.h"
#include "conditions/construir.h"
#include "conditions/filtros.h"
#include "conditions/tdmlstpaciente.h"
#include "conditions/tlstfiltros.h"
#include "host/bloque.h"
#include "platform/datapacket.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "sql/lstsentpaciente.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace quill;

namespace {

QByteArray leerBytes(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void escribirBytes(const QString& ruta, const QByteArray& bytes) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(ruta);
    f.write(bytes);
}

// A saved-filter record as written in the file: TipoListado, IdCampo1, IdCampo2,
// TipoCondicion, TipoUnion, Condicion, CondicionIds, TipoObjeto, Valor1, Valor2.
using RegistroFichero = QVariantList;
const QStringList kCamposFichero = {"TipoListado", "IdCampo1",     "IdCampo2",   "TipoCondicion",
                                    "TipoUnion",   "Condicion",    "CondicionIds", "TipoObjeto",
                                    "Valor1",      "Valor2"};

QList<RegistroFichero> leerFichero(const QString& ruta) {
    MemTable t;
    const QString error = loadDataPacket(t, ruta);
    EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
    QList<RegistroFichero> registros;
    for (t.first(); !t.isEmpty() && !t.eof(); t.next()) {
        RegistroFichero r;
        for (const QString& c : kCamposFichero)
            r << (c.startsWith("Condicion") || c.startsWith("Valor") ? QVariant(t.asString(c))
                                                                   : QVariant(t.asInt(c)));
        registros << r;
    }
    return registros;
}

// Writes a filter file from the shipped template with the given records; `sinValores`: as
// files were written before typed values were kept (no Valor1, Valor2 fields).
void escribirFiltro(const QString& ruta, const QList<RegistroFichero>& registros,
                    bool sinValores = false) {
    QByteArray plantilla = leerBytes(QDir(quilltest::dataDir()).filePath(kFicheroModeloFiltro));
    if (sinValores)
        for (const char* campo : {"Valor1", "Valor2"})
            plantilla.replace(QByteArray("<FIELD attrname=\"") + campo +
                                  "\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>",
                              QByteArray());
    MemTable t;
    ASSERT_TRUE(readDataPacket(t, plantilla).isEmpty());
    ASSERT_EQ(t.fieldIndex("Valor1") < 0, sinValores);
    for (const RegistroFichero& r : registros)
        t.appendRecord(r);
    ASSERT_TRUE(saveDataPacket(t, ruta).isEmpty());
}

// What a row looked like when it was posted.
struct Posteo {
    double id;
    bool reconstruir;
    QStringList lista;
};

// The rows of a condition table as texts, every field of each.
QList<QStringList> filas(const MemTable& t) {
    QList<QStringList> r;
    for (int i = 0; i < t.recordCount(); ++i) {
        QStringList fila;
        for (int c = 0; c < t.fieldCount(); ++c)
            fila << t.textAt(i, c);
        r << fila;
    }
    return r;
}

class Filtros : public ::testing::Test {
protected:
    void SetUp() override {
        carpeta = quilltest::scratch();
        puesto.CarpetaFiltros = carpeta->filePath("filtros");
        puesto.CarpetaPaquetes = quilltest::dataDir();
        ASSERT_TRUE(QDir().mkpath(puesto.CarpetaFiltros));
        setSlot(bloque, SlotSettings, &puesto);
        filtros.setCarpetas(puesto.CarpetaFiltros, puesto.CarpetaPaquetes);

        dm.AbrirTablas();
        cargarCatalogo(0);
        // The window's row events, as far as saved filters see them: the fragment is built
        // before a post only while the rebuild flag is set.
        for (MemTable* t : dm.Tablas()) {
            t->setBeforePost([this](MemTable& m) {
                const double id = m.asDouble("Id");
                posteos.append({id, reconstruir, lista});
                if (!reconstruir) return;
                if (id == idQueFalla) throw Error(QStringLiteral("fallo al construir"));
                ConstruirFila(constructor, m, lista, nullptr, parametros);
            });
        }
    }

    void cargarCatalogo(int tipo) {
        ASSERT_EQ(CargarCatalogo(*dm.cdsFiltros, quilltest::dataDir(), tipo), kCatalogoCargado);
        dm.setTablaActual(tipo);
    }

    // Adds a condition as the grid does: the catalogue entry, then operator and values.
    void anadir(double id, const QString& op, const QString& v1 = {}, const QString& ids = {}) {
        MemTable& t = *dm.TablaActual();
        t.append();
        t.setValue("Id", id);
        if (BuscarEnCatalogo(*dm.cdsFiltros, id) == kEntradaEncontrada) {
            t.setValue("IdGrupo", dm.cdsFiltros->value("IDGRUPO"));
            t.setValue("Campo", dm.cdsFiltros->value("CAMPO"));
            t.setValue("TipoCondicion", dm.cdsFiltros->value("TIPOCAMPO"));
            t.setValue("TipoObjeto", dm.cdsFiltros->value("TIPOOBJETO"));
        }
        t.setValue("Condicion", op);
        t.setValue("Condicion1", v1);
        t.setValue("Condicion1Ids", ids);
        t.setValue("Contador", -1);
        lista = ids.split(';', Qt::SkipEmptyParts);
        t.post();
    }

    VentanaFiltro ventana() {
        VentanaFiltro v;
        v.datos = &dm;
        v.reconstruir = &reconstruir;
        v.lista = &lista;
        v.limpiarCampos = [this] {
            ++limpiezas;
            dm.VaciarTablas();
        };
        return v;
    }

    QString ruta(const QString& nombre) const {
        return puesto.CarpetaFiltros + QDir::separator() + nombre + ".xml";
    }

    std::unique_ptr<QTemporaryDir> carpeta;
    TConfPuesto puesto;
    HostBlock bloque{};
    TLstFiltros filtros;
    TdmlstPaciente dm;
    TLstSentPaciente constructor;
    ParametrosListado parametros;
    ScriptedModal modal;
    ScopedModal instalado{modal};
    bool reconstruir = true;
    QStringList lista;
    QList<Posteo> posteos;
    int limpiezas = 0;
    double idQueFalla = -100;
};

TEST(NombreFiltro, RefusesWhatAFileNameCannotHold) {
    const QString caracteres = "El nombre del filtro no puede contener ninguno de estos "
                               "caracteres: \\ / : * ? \" < > |";
    const QString xml = "El nombre del filtro no puede contener el texto '.xml'";
    const QList<std::pair<QString, QString>> casos = {
        {"", MensajeNombreVacio()},
        {"..\\fuera", caracteres},
        {"Viejo.XML copia", xml},
        {QString(126, QChar(0x00f1)), "El nombre del filtro es demasiado largo"},
        {"Clientes año 2024 (óptica)", ""},
        {QString(125, QChar(0x00f1)), ""},
    };
    for (const auto& [nombre, mensaje] : casos)
        EXPECT_EQ(ComprobarNombreFiltro(nombre), mensaje) << qPrintable(nombre);
}

TEST_F(Filtros, SavedFileHoldsOneRecordPerRowWithListAndTypedValues) {
    anadir(1, "Empieza por...", "GAR");
    anadir(11, "Igual a...", "Hombre; Mujer", "1;2");
    anadir(18, "Igual a...", "Si", "1");
    dm.TablaActual()->last();
    dm.TablaActual()->edit();
    dm.TablaActual()->setValue("Condicion2", "no se guarda en las listas");
    dm.TablaActual()->post();
    anadir(2, "Vacío");
    anadir(3, "No Vacío");
    dm.TablaActual()->append();
    dm.TablaActual()->setValue("Id", -1.0);
    dm.TablaActual()->setValue("Contador", -1);
    const int posteosAntes = int(posteos.size());

    const ResultadoFiltro r = GuardarFiltro(filtros, *dm.TablaActual(), 0, false, "Clientes");
    ASSERT_EQ(r.codigo, 0) << qPrintable(r.detalle);
    EXPECT_EQ(r.registros, 6);
    EXPECT_TRUE(modal.messages().isEmpty());
    // The row being inserted stays so: saving neither posts nor moves the grid's cursor.
    EXPECT_EQ(dm.TablaActual()->state(), MemTable::State::Insert);
    EXPECT_EQ(int(posteos.size()), posteosAntes);

    const QList<RegistroFichero> esperados = {
        {0, 1, -1, 5, 0, "", "", 0, "GAR", ""},
        {0, 11, -1, 0, 0, "Hombre; Mujer", "1;2", 3, "", ""},
        {0, 18, -1, 0, 0, "Si", "1", 4, "", ""},
        {0, 2, -1, 8, 0, "", "", 0, "", ""},
        {0, 3, -1, 9, 0, "", "", 0, "", ""},
        {0, -1, -1, -1, 0, "", "", 0, "", ""},
    };
    EXPECT_EQ(leerFichero(ruta("Clientes")), esperados);
}

TEST_F(Filtros, LoadingRebuildsEveryRowWithItsValuesAsSaved) {
    anadir(1, "Empieza por...", "GAR");
    anadir(11, "Igual a...", "Hombre; Mujer", "1;2");
    anadir(18, "Distinto de...", "Si", "1");
    anadir(2, "Vacío");
    anadir(3, "No Vacío");
    anadir(13, "...Entre...", "01/01/1950");
    dm.TablaActual()->edit();
    dm.TablaActual()->setValue("Condicion2", "31/12/1960");
    reconstruir = true;
    dm.TablaActual()->post();
    const QList<QStringList> antes = filas(*dm.TablaActual());
    ASSERT_EQ(GuardarFiltro(filtros, *dm.TablaActual(), 0, true, "Año ñandú").codigo, 0);

    // Other kinds' conditions go too when a filter is loaded.
    dm.setTablaActual(1);
    anadir(1, "Igual a...", "X");
    dm.setTablaActual(0);
    dm.VaciarTablas();
    posteos.clear();

    const ResultadoFiltro r = MostrarFiltros(filtros, ventana(), "Año ñandú");
    ASSERT_EQ(r.codigo, 0) << qPrintable(r.detalle);
    EXPECT_EQ(r.registros, 6);
    EXPECT_EQ(r.omitidos, 0);
    EXPECT_TRUE(r.todas);
    EXPECT_EQ(limpiezas, 1);
    EXPECT_EQ(dm.memConsumo->recordCount(), 0);
    EXPECT_TRUE(modal.messages().isEmpty());
    EXPECT_TRUE(reconstruir);

    // Every row comes back as it was saved, its fragment built again; the ids of the list
    // rows are handed over, and a typed row gets none of an earlier row.
    EXPECT_EQ(filas(*dm.memGeneral), antes);
    const int sentencia = dm.memGeneral->fieldIndex("Sentencia");
    EXPECT_FALSE(antes[0][sentencia].isEmpty());
    EXPECT_TRUE(antes[5][sentencia].contains("1960")) << qPrintable(antes[5][sentencia]);
    EXPECT_EQ(antes[1][sentencia], "(PACIENTE.SEXO  = 1 Or PACIENTE.SEXO = 2)");
    ASSERT_EQ(posteos.size(), 6);
    for (const Posteo& p : posteos)
        EXPECT_TRUE(p.reconstruir) << p.id;
    EXPECT_TRUE(posteos[0].lista.isEmpty());
    EXPECT_EQ(posteos[1].lista, QStringList({"1", "2"}));
    EXPECT_EQ(posteos[2].lista, QStringList({"1"}));
    EXPECT_TRUE(posteos[5].lista.isEmpty());
}

TEST_F(Filtros, AFileWithoutTypedValuesLoadsThemEmptyAndKeepsThemOnceSavedAgain) {
    escribirFiltro(ruta("antiguo"), {{0, 1, -1, 5, 0, "", "", 0}, {0, 11, -1, 0, 0, "Hombre", "1", 3}},
                   true);
    const ResultadoFiltro r = MostrarFiltros(filtros, ventana(), "antiguo");
    ASSERT_EQ(r.codigo, 0) << qPrintable(r.detalle);
    ASSERT_EQ(posteos.size(), 2);
    // The typed row waits for its value, without a fragment; the list row is built.
    EXPECT_FALSE(posteos[0].reconstruir);
    EXPECT_TRUE(posteos[1].reconstruir);
    EXPECT_TRUE(dm.memGeneral->textAt(0, dm.memGeneral->fieldIndex("Condicion1")).isEmpty());
    EXPECT_FALSE(dm.memGeneral->textAt(1, dm.memGeneral->fieldIndex("Sentencia")).isEmpty());

    dm.memGeneral->first();
    dm.memGeneral->edit();
    dm.memGeneral->setValue("Condicion1", "GAR");
    dm.memGeneral->post();
    ASSERT_EQ(GuardarFiltro(filtros, *dm.memGeneral, 0, false, "antiguo").codigo, 0);
    const QList<RegistroFichero> esperados = {{0, 1, -1, 5, 0, "", "", 0, "GAR", ""},
                                              {0, 11, -1, 0, 0, "Hombre", "1", 3, "", ""}};
    EXPECT_EQ(leerFichero(ruta("antiguo")), esperados);
}

TEST_F(Filtros, AllOrAnyFollowsTheLastRecord) {
    struct Caso {
        QList<int> uniones;
        bool todas;
    };
    const QList<Caso> casos = {
        {{1}, true}, {{1, 1, 0}, false}, {{0, 0, 1}, true},
    };
    for (const Caso& c : casos) {
        QList<RegistroFichero> registros;
        for (int u : c.uniones)
            registros.append({0, 2, -1, 8, u, "", "", 0});
        escribirFiltro(ruta("union"), registros);
        const ResultadoFiltro r = MostrarFiltros(filtros, ventana(), "union");
        ASSERT_EQ(r.codigo, 0) << qPrintable(r.detalle);
        EXPECT_EQ(r.todas, c.todas) << c.uniones.size();
        EXPECT_EQ(r.registros, c.uniones.size());
    }
}

TEST_F(Filtros, FieldsTheKindDoesNotOfferAreDropped) {
    // 91 belongs to the consumption group, which General does not show; 99999 to nobody.
    escribirFiltro(ruta("viejo"), {{0, 91, -1, 0, 1, "", "", 0},
                                   {0, 99999, -1, 0, 1, "", "", 0},
                                   {0, 11, -1, 0, 1, "Mujer", "2", 3}});
    const ResultadoFiltro r = MostrarFiltros(filtros, ventana(), "viejo");
    ASSERT_EQ(r.codigo, 0);
    EXPECT_EQ(r.registros, 1);
    EXPECT_EQ(r.omitidos, 2);
    EXPECT_TRUE(modal.messages().isEmpty());
    ASSERT_EQ(dm.memGeneral->recordCount(), 1);
    EXPECT_EQ(dm.memGeneral->valueAt(0, "Condicion1").toString(), "Mujer");
    EXPECT_EQ(dm.memGeneral->valueAt(0, "Sentencia").toString(), "(PACIENTE.SEXO  = 2)");
}

TEST_F(Filtros, AMissingFileIsMadeFromTheTemplateAndLoadsNothing) {
    anadir(2, "Vacío");
    const ResultadoFiltro r = MostrarFiltros(filtros, ventana(), "borrado");
    ASSERT_EQ(r.codigo, 0) << qPrintable(r.detalle);
    EXPECT_EQ(r.registros, 0);
    EXPECT_EQ(dm.memGeneral->recordCount(), 0);
    EXPECT_EQ(leerBytes(ruta("borrado")),
              leerBytes(QDir(quilltest::dataDir()).filePath(kFicheroModeloFiltro)));
}

TEST_F(Filtros, AFileThatIsNoFilterLeavesEveryConditionAsItWas) {
    QByteArray texto = leerBytes(QDir(quilltest::dataDir()).filePath(kFicheroModeloFiltro));
    texto.replace("fieldtype=\"i4\"/><FIELD attrname=\"IdCampo1\"",
                  "fieldtype=\"string\" WIDTH=\"5\"/><FIELD attrname=\"IdCampo1\"");
    const QList<std::pair<const char*, QByteArray>> casos = {
        {"no es XML", "esto no es un filtro"},
        {"TipoListado de texto", texto},
    };
    anadir(11, "Igual a...", "Hombre", "1");
    dm.setTablaActual(1);
    anadir(2, "Vacío");
    dm.setTablaActual(0);
    const QList<QStringList> general = filas(*dm.memGeneral);
    for (const auto& [caso, bytes] : casos) {
        SCOPED_TRACE(caso);
        modal.clear();
        escribirBytes(ruta("roto"), bytes);
        const ResultadoFiltro r = MostrarFiltros(filtros, ventana(), "roto");
        EXPECT_EQ(r.codigo, TLstFiltros::ErrorFichero);
        ASSERT_EQ(modal.messages().size(), 1);
        EXPECT_EQ(modal.messages()[0].text, MensajeErrorFiltro());
        EXPECT_EQ(limpiezas, 0);
        EXPECT_EQ(filas(*dm.memGeneral), general);
        EXPECT_EQ(dm.memConsumo->recordCount(), 1);
        // Reading never writes the file.
        EXPECT_EQ(leerBytes(ruta("roto")), bytes);
    }
}

TEST_F(Filtros, SavingWhereNothingCanBeWrittenLeavesNothingBehind) {
    anadir(11, "Igual a...", "Hombre", "1");
    auto vacia = quilltest::scratch();
    QFile fichero(carpeta->filePath("soy-un-fichero"));
    ASSERT_TRUE(fichero.open(QIODevice::WriteOnly));
    fichero.close();

    struct Caso {
        const char* nombre;
        QString filtros;
        QString paquetes;
    };
    const QList<Caso> casos = {
        {"sin plantilla", puesto.CarpetaFiltros, vacia->path()},
        {"carpeta que es un fichero", fichero.fileName(), quilltest::dataDir()},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        modal.clear();
        filtros.setCarpetas(c.filtros, c.paquetes);
        const QStringList antes = QDir(carpeta->path()).entryList(QDir::AllEntries);
        const ResultadoFiltro r = GuardarFiltro(filtros, *dm.memGeneral, 0, true, "nuevo");
        EXPECT_EQ(r.codigo, TLstFiltros::ErrorPlantilla);
        ASSERT_EQ(modal.messages().size(), 1);
        EXPECT_EQ(modal.messages()[0].text, MensajeErrorFiltro());
        EXPECT_EQ(QDir(carpeta->path()).entryList(QDir::AllEntries), antes);
        EXPECT_FALSE(QFileInfo::exists(ruta("nuevo")));
        EXPECT_FALSE(filtros.Abierto());
    }
}

TEST_F(Filtros, SavingOverAnExistingFilterReplacesItWhole) {
    anadir(11, "Igual a...", "Hombre", "1");
    anadir(2, "Vacío");
    ASSERT_EQ(GuardarFiltro(filtros, *dm.memGeneral, 0, true, "mismo").codigo, 0);
    dm.VaciarTablas();
    anadir(3, "No Vacío");
    ASSERT_EQ(GuardarFiltro(filtros, *dm.memGeneral, 0, false, "mismo").codigo, 0);
    EXPECT_EQ(leerFichero(ruta("mismo")), QList<RegistroFichero>({{0, 3, -1, 9, 0, QString(), QString(), 0, QString(), QString()}}));
    EXPECT_TRUE(modal.questions().isEmpty());
    // No stray files beside it.
    EXPECT_EQ(QDir(puesto.CarpetaFiltros).entryList(QDir::Files), QStringList({"mismo.xml"}));
}

TEST_F(Filtros, AFailedPostKeepsTheRowsReadSoFarAndTheFlagSet) {
    escribirFiltro(ruta("falla"), {{0, 11, -1, 0, 1, "Hombre", "1", 3},
                                   {0, 18, -1, 0, 1, "Si", "1", 4},
                                   {0, 2, -1, 8, 1, "", "", 0}});
    idQueFalla = 18;
    const ResultadoFiltro r = MostrarFiltros(filtros, ventana(), "falla");
    EXPECT_EQ(r.codigo, TLstFiltros::ErrorFichero);
    EXPECT_EQ(r.detalle, "fallo al construir");
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages()[0].text, MensajeErrorFiltro());
    ASSERT_EQ(dm.memGeneral->recordCount(), 1);
    EXPECT_EQ(dm.memGeneral->state(), MemTable::State::Browse);
    EXPECT_TRUE(reconstruir);
}

} // namespace
