// The filter catalogue: loading per listing kind, and the shipped Filtros.xml up to date.

#include "conditions/catalogo.h"
#include "platform/memtable.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>


using namespace quill;

namespace {

const char kCabecera[] =
    "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"ID\" fieldtype=\"r8\" required=\"true\"/>"
    "<FIELD attrname=\"IDGRUPO\" fieldtype=\"r8\" required=\"true\"/>"
    "<FIELD attrname=\"GRUPO\" fieldtype=\"string\" WIDTH=\"50\"/>"
    "<FIELD attrname=\"CAMPO\" fieldtype=\"string\" WIDTH=\"50\"/>"
    "<FIELD attrname=\"TIPOCAMPO\" fieldtype=\"i2\"/>"
    "<FIELD attrname=\"TIPOOBJETO\" fieldtype=\"i2\"/>"
    "<FIELD attrname=\"MASCARA\" fieldtype=\"string\" WIDTH=\"25\"/>"
    "<FIELD attrname=\"DESCRIPCION\" fieldtype=\"string\" WIDTH=\"500\"/>"
    "</FIELDS><PARAMS/></METADATA><ROWDATA>";
const char kPie[] = "</ROWDATA></DATAPACKET>";

// One entry per group 0..15 with ID = 100 + group, written out of group order, plus an entry
// in the never-shown group 12 and one whose group is not a whole number.
QByteArray catalogoDePrueba() {
    QByteArray xml = kCabecera;
    for (int g : {15, 3, 0, 14, 9, 1, 13, 2, 10, 4, 11, 5, 6, 7, 8, 12}) {
        xml += QStringLiteral("<ROW ID=\"%1\" IDGRUPO=\"%2\" GRUPO=\"Grupo %2\" CAMPO=\"Campo %1\" "
                              "TIPOCAMPO=\"0\" TIPOOBJETO=\"0\" DESCRIPCION=\"Ayuda &amp; más\"/>")
                   .arg(100 + g)
                   .arg(g)
                   .toUtf8();
    }
    xml += "<ROW ID=\"200\" IDGRUPO=\"2.5\" GRUPO=\"Medio\" CAMPO=\"Medio\" TIPOCAMPO=\"1\"/>";
    xml += kPie;
    return xml;
}

void escribir(const QString& ruta, const QByteArray& contenido) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(contenido), contenido.size());
}

QList<double> columna(MemTable& t, const QString& campo) {
    QList<double> valores;
    for (int i = 0; i < t.recordCount(); ++i)
        valores << t.valueAt(i, campo).toDouble();
    return valores;
}

class CargaCatalogo : public ::testing::Test {
protected:
    void SetUp() override {
        dir = quilltest::scratch();
        escribir(dir->filePath("Filtros.xml"), catalogoDePrueba());
    }
    std::unique_ptr<QTemporaryDir> dir;
    MemTable cds{QStringLiteral("cdsFiltros")};
};

TEST_F(CargaCatalogo, EachKindSeesOnlyItsGroupsInGroupOrder) {
    for (int tipo = 0; tipo <= 6; ++tipo) {
        SCOPED_TRACE(tipo);
        ASSERT_EQ(CargarCatalogo(cds, dir->path(), tipo), kCatalogoCargado);
        QList<double> grupos;
        for (int g : GruposCatalogo(tipo))
            grupos << g;
        std::sort(grupos.begin(), grupos.end());
        EXPECT_EQ(columna(cds, "IDGRUPO"), grupos);
        EXPECT_EQ(cds.currentRow(), 0);
        // Group 12 and a group that is not a whole number are never shown.
        EXPECT_FALSE(columna(cds, "ID").contains(112));
        EXPECT_FALSE(columna(cds, "ID").contains(200));
    }
}

TEST_F(CargaCatalogo, MissingOrBrokenFileGivesMinusOneAndAnEmptyUsableTable) {
    struct Caso {
        const char* nombre;
        QByteArray contenido; // empty: no file at all
    };
    const QByteArray bueno = catalogoDePrueba();
    const QList<Caso> casos = {
        {"sin fichero", {}},
        {"cortado", bueno.left(bueno.size() / 2)},
        {"valor no numérico", QByteArray(kCabecera) + "<ROW ID=\"uno\" IDGRUPO=\"0\"/>" + kPie},
    };
    for (const Caso& c : casos) {
        // A good load first, so a failure must also drop what was there.
        escribir(dir->filePath("Filtros.xml"), bueno);
        ASSERT_EQ(CargarCatalogo(cds, dir->path(), 0), 0);
        ASSERT_GT(cds.recordCount(), 0);
        if (c.contenido.isEmpty())
            QFile::remove(dir->filePath("Filtros.xml"));
        else
            escribir(dir->filePath("Filtros.xml"), c.contenido);

        QString motivo;
        EXPECT_EQ(CargarCatalogo(cds, dir->path(), 0, &motivo), kCatalogoNoCargado) << c.nombre;
        EXPECT_FALSE(motivo.isEmpty()) << c.nombre;
        EXPECT_EQ(cds.recordCount(), 0) << c.nombre;
        EXPECT_EQ(BuscarEnCatalogo(cds, 100), kEntradaNoEncontrada) << c.nombre;
    }
}

// The shipped catalogue is generated from its source: the two must agree.
TEST(CatalogoFuente, GeneratedFileIsUpToDate) {
    const QString script = quilltest::dataDir() + "/catalogo/generar.py";
    QProcess p;
    p.start("/usr/bin/python3", {script, "--comprobar"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
}

} // namespace
