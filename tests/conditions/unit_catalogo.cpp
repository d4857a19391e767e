// The filter catalogue: loading per listing kind, the path rule, finding an entry, and the
// contents of the shipped Filtros.xml.

#include "conditions/catalogo.h"
#include "platform/memtable.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

#include <map>
#include <set>

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

TEST(FiltroCatalogo, TextPerKind) {
    const std::map<int, QString> esperado = {
        {0, "IDGRUPO = 0 Or IDGRUPO = 1 Or IDGRUPO = 2 Or IDGRUPO = 3 Or IDGRUPO = 4 Or "
            "IDGRUPO = 5 Or IDGRUPO = 6 Or IDGRUPO = 7 Or IDGRUPO = 14"},
        {1, "IDGRUPO = 0 Or IDGRUPO = 9 Or IDGRUPO = 14"},
        {2, "IDGRUPO = 0 Or IDGRUPO = 13 Or IDGRUPO = 14"},
        {3, "IDGRUPO = 0 Or IDGRUPO = 1 Or IDGRUPO = 2 Or IDGRUPO = 3 Or IDGRUPO = 4 Or "
            "IDGRUPO = 5 Or IDGRUPO = 6 Or IDGRUPO = 7 Or IDGRUPO = 8 Or IDGRUPO = 14"},
        {4, "IDGRUPO = 0 Or IDGRUPO = 10"},
        {5, "IDGRUPO = 0 Or IDGRUPO = 11"},
        {6, "IDGRUPO = 15"},
        {7, ""},
        {-1, ""},
    };
    for (const auto& [tipo, texto] : esperado)
        EXPECT_EQ(FiltroCatalogo(tipo), texto) << tipo;
}

TEST(RutaCatalogo, FolderTextIsKeptAsGiven) {
    const QString sep = QDir::separator();
    EXPECT_EQ(RutaCatalogo("/datos/paquetes"), "/datos/paquetes" + sep + "Filtros.xml");
    // A trailing separator is not removed: the path gets it twice.
    EXPECT_EQ(RutaCatalogo("/datos/paquetes/"), "/datos/paquetes/" + sep + "Filtros.xml");
    EXPECT_EQ(RutaCatalogo(" C:\\Quillmore "), " C:\\Quillmore " + sep + "Filtros.xml");
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
        ASSERT_EQ(CargarCatalogo(cds, dir->path(), tipo), kCatalogoCargado) << tipo;
        QList<double> grupos;
        for (int g : GruposCatalogo(tipo))
            grupos << g;
        std::sort(grupos.begin(), grupos.end());
        EXPECT_EQ(columna(cds, "IDGRUPO"), grupos) << "tipo " << tipo;
        EXPECT_EQ(cds.currentRow(), 0);
    }
}

TEST_F(CargaCatalogo, NamedKindsAndNeverShownGroups) {
    ASSERT_EQ(CargarCatalogo(cds, dir->path(), 6), 0);
    EXPECT_EQ(columna(cds, "ID"), QList<double>({115}));
    ASSERT_EQ(CargarCatalogo(cds, dir->path(), 4), 0);
    EXPECT_EQ(columna(cds, "ID"), QList<double>({100, 110}));

    for (int tipo = 0; tipo <= 6; ++tipo) {
        ASSERT_EQ(CargarCatalogo(cds, dir->path(), tipo), 0);
        const QList<double> ids = columna(cds, "ID");
        EXPECT_FALSE(ids.contains(112)) << "group 12 shown by kind " << tipo;
        EXPECT_FALSE(ids.contains(200)) << "group 2.5 shown by kind " << tipo;
    }
}

TEST_F(CargaCatalogo, ValuesArriveIntact) {
    ASSERT_EQ(CargarCatalogo(cds, dir->path(), 1), 0);
    ASSERT_EQ(BuscarEnCatalogo(cds, 109), kEntradaEncontrada);
    EXPECT_EQ(cds.asString("GRUPO"), "Grupo 9");
    EXPECT_EQ(cds.asString("CAMPO"), "Campo 109");
    EXPECT_EQ(cds.asString("DESCRIPCION"), "Ayuda & más");
    EXPECT_EQ(cds.value("TIPOCAMPO").toInt(), 0);
    EXPECT_TRUE(cds.isNull("MASCARA"));
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
        {"no es XML", QByteArray("\x00\x01garbage\xff", 11)},
        {"sin IDGRUPO", QByteArray(kCabecera).replace("attrname=\"IDGRUPO\"", "attrname=\"OTRO\"") +
                            "<ROW ID=\"1\" OTRO=\"0\"/>" + kPie},
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
        EXPECT_TRUE(cds.isOpen()) << c.nombre;
        EXPECT_EQ(cds.recordCount(), 0) << c.nombre;
        EXPECT_EQ(cds.fieldCount(), 8) << c.nombre;
        EXPECT_EQ(BuscarEnCatalogo(cds, 100), kEntradaNoEncontrada) << c.nombre;
    }
}

TEST_F(CargaCatalogo, FolderWithTrailingSeparatorStillLoads) {
    EXPECT_EQ(CargarCatalogo(cds, dir->path() + QDir::separator(), 6), 0);
    EXPECT_EQ(cds.recordCount(), 1);
}

TEST_F(CargaCatalogo, FindingAnEntry) {
    ASSERT_EQ(CargarCatalogo(cds, dir->path(), 0), 0);
    ASSERT_EQ(BuscarEnCatalogo(cds, 107), kEntradaEncontrada);
    EXPECT_EQ(cds.asDouble("ID"), 107);
    const int fila = cds.currentRow();
    // Unknown, and present in the file but hidden from this kind: not found, cursor stays.
    EXPECT_EQ(BuscarEnCatalogo(cds, 999), kEntradaNoEncontrada);
    EXPECT_EQ(BuscarEnCatalogo(cds, 115), kEntradaNoEncontrada);
    EXPECT_EQ(cds.currentRow(), fila);
    MemTable cerrada;
    EXPECT_EQ(BuscarEnCatalogo(cerrada, 107), kEntradaNoEncontrada);
}

// ---- The shipped catalogue ----

class CatalogoEntregado : public ::testing::Test {
protected:
    void SetUp() override {
        // Not a listing kind: no filter, every entry.
        QString motivo;
        ASSERT_EQ(CargarCatalogo(cds, quilltest::dataDir(), -1, &motivo), 0) << qPrintable(motivo);
        for (int i = 0; i < cds.recordCount(); ++i) {
            const int id = cds.valueAt(i, "ID").toInt();
            porId[id] = i;
        }
    }
    int grupo(int id) { return cds.valueAt(porId.at(id), "IDGRUPO").toInt(); }
    int tipo(int id) { return cds.valueAt(porId.at(id), "TIPOCAMPO").toInt(); }
    int lista(int id) { return cds.valueAt(porId.at(id), "TIPOOBJETO").toInt(); }
    QString campo(int id) { return cds.textAt(porId.at(id), cds.fieldIndex("CAMPO")); }

    MemTable cds;
    std::map<int, int> porId;
};

TEST_F(CatalogoEntregado, EntriesAreWellFormed) {
    ASSERT_GT(cds.recordCount(), 400);
    EXPECT_EQ(int(porId.size()), cds.recordCount()) << "repeated IDs";
    std::set<std::pair<int, QString>> captions;
    for (int i = 0; i < cds.recordCount(); ++i) {
        const double id = cds.valueAt(i, "ID").toDouble();
        const double g = cds.valueAt(i, "IDGRUPO").toDouble();
        const QString c = cds.valueAt(i, "CAMPO").toString();
        const int t = cds.valueAt(i, "TIPOCAMPO").toInt();
        const int o = cds.valueAt(i, "TIPOOBJETO").toInt();
        EXPECT_EQ(id, std::trunc(id));
        EXPECT_TRUE(g >= 0 && g <= 15 && g == std::trunc(g)) << id;
        EXPECT_FALSE(c.trimmed().isEmpty()) << id;
        EXPECT_FALSE(cds.valueAt(i, "GRUPO").toString().trimmed().isEmpty()) << id;
        EXPECT_GE(cds.valueAt(i, "DESCRIPCION").toString().trimmed().size(), 20) << id;
        EXPECT_TRUE(t >= 0 && t <= 5) << id;
        // Choices name their value list; other fields carry none, but the range-pickable code.
        if (t == 3 || t == 4) {
            EXPECT_GT(o, 0) << id;
        } else if (id != 0) {
            EXPECT_EQ(o, 0) << id;
        }
        // In one drop-down group two fields never share a caption.
        EXPECT_TRUE(captions.insert({int(g), c}).second) << id << " " << qPrintable(c);
    }
}

TEST_F(CatalogoEntregado, HoldsEveryFieldTreatedSpecially) {
    const QList<int> especiales = {0,   1,   4,   5,   6,   24,   50,   51,   52,
                                   55,  56,  91,  95,  129, 134,  192,  433,  434,
                                   435, 453, 463, 482, 552, 3000, 3001, 3002, 3003};
    for (int id : especiales)
        EXPECT_TRUE(porId.count(id)) << id;
    // Fields that work with ids the window turns into localities, or that open pickers.
    EXPECT_EQ(tipo(4), 0);
    EXPECT_EQ(std::make_pair(tipo(5), lista(5)), std::make_pair(4, 1));
    EXPECT_EQ(std::make_pair(tipo(6), lista(6)), std::make_pair(4, 2));
    for (int id : {91, 129, 192})
        EXPECT_EQ(std::make_pair(grupo(id), tipo(id)), std::make_pair(9, 5));
    // The range-pickable field is the patient code (PACIENTE.CODIGO), a number.
    EXPECT_EQ(std::make_pair(tipo(0), lista(0)), std::make_pair(0, 16));
    // Fields whose value a listing compares as text.
    EXPECT_EQ(std::make_pair(tipo(55), lista(55)), std::make_pair(3, 31)); // "Todas"
    EXPECT_EQ(std::make_pair(tipo(95), lista(95)), std::make_pair(3, 4));  // "No"
    EXPECT_EQ(std::make_pair(tipo(134), lista(134)), std::make_pair(3, 4));
    EXPECT_EQ(std::make_pair(tipo(453), lista(453)), std::make_pair(3, 26)); // "Total"
    // Record families chosen by their family codes.
    EXPECT_EQ(std::make_pair(tipo(50), lista(50)), std::make_pair(4, 6));
    EXPECT_EQ(std::make_pair(tipo(3001), lista(3001)), std::make_pair(4, 6));
}

TEST_F(CatalogoEntregado, GroupsPutFieldsWhereTheirListingUnderstandsThem) {
    for (int id = 0; id <= 24; ++id)
        EXPECT_EQ(grupo(id), 0) << id;
    for (int id = 421; id <= 435; ++id)
        EXPECT_EQ(grupo(id), 8) << id;
    for (int id : {451, 452, 453})
        EXPECT_EQ(grupo(id), 9) << id;
    for (int id : {461, 462, 463, 464})
        EXPECT_EQ(grupo(id), 10) << id;
    for (int id : {481, 482})
        EXPECT_EQ(grupo(id), 11) << id;
    EXPECT_EQ(grupo(552), 13);
    for (int id = 3000; id <= 3003; ++id)
        EXPECT_EQ(grupo(id), 15) << id;

    // Garantías offers exactly its four fields.
    MemTable garantias;
    ASSERT_EQ(CargarCatalogo(garantias, quilltest::dataDir(), 6), 0);
    EXPECT_EQ(columna(garantias, "ID"), QList<double>({3000, 3001, 3002, 3003}));
    // Record families by identifier range, as the listings group them.
    const QList<std::tuple<int, int, int>> rangos = {
        {70, 108, 1},    {2000, 2016, 1}, {110, 148, 2}, {2100, 2115, 2}, {150, 209, 3},
        {2300, 2352, 3}, {211, 350, 4},   {376, 380, 5}, {401, 406, 6},   {551, 579, 14}};
    const QSet<int> aparte = {91, 95, 129, 134, 192, 552};
    for (const auto& [desde, hasta, g] : rangos) {
        for (int id = desde; id <= hasta; ++id) {
            if (porId.count(id) && !aparte.contains(id)) {
                EXPECT_EQ(grupo(id), g) << id;
            }
        }
    }
}

TEST_F(CatalogoEntregado, CaptionsTheDatesReportMatches) {
    const std::map<int, QString> esperado = {
        {13, "Fecha Nacimiento"},      {425, "Mes Nacimiento"},   {426, "Año Nacimiento"},
        {424, "Día Nacimiento"},       {14, "Fecha 1ª Visita"},   {422, "Mes 1ª Visita"},
        {423, "Año 1ª Visita"},        {421, "Día 1ª Visita"},    {15, "Fecha Ult. Visita"},
        {428, "Mes Ult. Visita"},      {429, "Año Ult. Visita"},  {427, "Día Ult. Visita"},
        {16, "Fecha Carnet"},          {431, "Mes Carnet"},       {432, "Año Carnet"},
        {430, "Día Carnet"},           {71, "Fecha Ficha"},       {111, "Fecha Ficha"},
        {151, "Fecha Ficha"},          {376, "Fecha Ficha"},      {433, "Fecha Ficha"},
        {72, "Fecha Revisión"},        {112, "Fecha Revisión"},   {152, "Fecha Revisión"},
        {347, "Fecha Revisión"},       {377, "Fecha Revisión"},   {434, "Fecha Revisión"},
        {135, "Fecha Limpieza"},       {117, "Fecha Caducidad"},  {118, "Fecha Reposición"},
        {92, "Fecha Garantía"},        {130, "Fecha Garantía"},   {191, "Fecha Garantía"},
        {435, "Fecha Garantía"},       {216, "Fecha Ex. Médico"}, {217, "Fecha Ex. Óptico"},
        {155, "Fecha Ex. Adaptación"}, {153, "Fecha Aerea"},      {154, "Fecha Osea"},
    };
    for (const auto& [id, caption] : esperado)
        EXPECT_EQ(campo(id), caption) << id;
    // Fields left open by eye say which one they test.
    EXPECT_EQ(campo(103), "Eje OI");
    EXPECT_EQ(campo(141), "Apertura Palpebral OI");
}

TEST(CatalogoFuente, GeneratedFileIsUpToDate) {
    const QString script = quilltest::dataDir() + "/catalogo/generar.py";
    QProcess p;
    p.start("/usr/bin/python3", {script, "--comprobar"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
}

} // namespace
