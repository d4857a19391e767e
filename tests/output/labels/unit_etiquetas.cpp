// The label formats, the document engine and the label loop, without painting: format names and
// paths, the shipped formats, the loader's three failures, first row and column, copies, the
// repeated-patient and per-address rules, Cancel, the catalogue sheets and the printing object's
// codes.

#include "etiquetasprueba.h"

#include "business/plantillasetiquetas.h"
#include "business/tdocumento.h"
#include "business/tfqmformato.h"
#include "output/labels/formatosetiqueta.h"
#include "output/labels/generaretiquetas.h"
#include "output/labels/impresionetiquetas.h"
#include "platform/modal.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using etiquetasprueba::carpetaFormatos;
using etiquetasprueba::tabla;

TEST(FormatoEtiqueta, NameIsReducedAndFqmAlwaysAppended) {
    const struct {
        const char* escrito;
        const char* nombre;
    } casos[] = {
        {"A4 3x8 70x37", "A4 3x8 70x37"},
        {"C:\\Quillmore\\Formatos\\A4 3x8 70x37", "A4 3x8 70x37"},
        {"/otra/carpeta/Sobres", "Sobres"},
        {"  Sobres.fqm ", "Sobres.fqm"},
        {"", ""},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(quill::NombreFormato(QString::fromUtf8(c.escrito)), QString::fromUtf8(c.nombre));
    }
    EXPECT_EQ(quill::RutaFormato(QStringLiteral("/f/"), QStringLiteral("C:\\x\\Sobres.fqm")),
              QStringLiteral("/f/Sobres.fqm.fqm"));
}

TEST(FormatoEtiqueta, ShippedFormatsLoadWithTheirGeometry) {
    const struct {
        const char* nombre;
        bool epl;
        const char* etiqueta;
        int columnas, filas;
    } casos[] = {
        {"A4 3x8 70x37", false, "70 x 37 mm", 3, 8},
        {"A4 2x7 99,1x38,1", false, "99,1 x 38,1 mm", 2, 7},
        {"A4 3x11 70x25,4", false, "70 x 25,4 mm", 3, 11},
        {"EPL2 rollo 4 pulgadas", true, "101,6 x 50,8 mm", 1, 1},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        const QString ruta = quill::RutaFormato(carpetaFormatos(), QString::fromUtf8(c.nombre));
        quill::TDocumento d;
        d.setFichero(ruta);
        ASSERT_EQ(d.Leer(), 0);
        EXPECT_EQ(d.EsEPL2(), c.epl);
        EXPECT_EQ(quill::TDocumento::EsDocumentoEstandar(ruta), !c.epl);
        EXPECT_TRUE(quill::FormatoValido(ruta));
        EXPECT_EQ(d.Etiqueta(), QString::fromUtf8(c.etiqueta));
        EXPECT_EQ(d.Columnas(), c.columnas);
        EXPECT_EQ(d.Filas(), c.filas);
        // Name, address, postal code with locality and province, each on its own line.
        ASSERT_GE(d.Componentes.size(), 4);
        const quill::InformacionFormato i = quill::LeerInformacionFormato(ruta);
        EXPECT_EQ(i.tipo, c.epl ? QStringLiteral("Formato EPL/2") : QStringLiteral("Formato estandar"));
        EXPECT_EQ(i.papel, c.epl ? QStringLiteral("101,6 x 50,8 mm") : QStringLiteral("210 x 297 mm"));
        // The sheets fit their paper.
        if (!c.epl) {
            const quill::PosicionEtiqueta ultima = d.Posicion(c.columnas * c.filas - 1);
            EXPECT_EQ(ultima.hoja, 0);
            EXPECT_LE(ultima.x + d.AnchoEtiqueta, d.AnchoPapel + 0.01);
            EXPECT_LE(ultima.y + d.AltoEtiqueta, d.AltoPapel + 0.01);
        }
    }
    quill::TFQMFormato f;
    ASSERT_EQ(f.Cargar(quill::RutaFormato(carpetaFormatos(), QStringLiteral("EPL2 rollo 4 pulgadas"))), 0);
    EXPECT_TRUE(f.Valido());
    EXPECT_EQ(f.NombreTipoFormato, QStringLiteral("Etiqueta EPL2 de envio"));
    EXPECT_EQ(f.TotalComponentes, 5);
    EXPECT_DOUBLE_EQ(f.Espacio, 3);
}

TEST(FormatoEtiqueta, LoadFailuresShowTheirMessageAndLoseNothing) {
    auto dir = quilltest::scratch();
    const QString corrupto = dir->filePath(QStringLiteral("Corrupto.fqm"));
    const QString ajeno = dir->filePath(QStringLiteral("Ajeno.fqm"));
    {
        QFile f(corrupto);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        static const char basura[] = "\x00\x01\xff\xfe[PAPEL\nANCHO=\x80\x81";
        f.write(QByteArray(basura, sizeof basura - 1));
        QFile g(ajeno);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write("[FORMATO]\nTIPO=7\n[PAPEL]\nANCHO=100\nALTO=50\n");
    }
    const struct {
        QString fichero;
        qint16 codigo;
        const char* mensaje;
    } casos[] = {
        {QString(), -1,
         "La propiedad - Document - no tiene asignado un fichero fqm. Imposible continuar"},
        {dir->filePath(QStringLiteral("No existe.fqm")), -2,
         "No se ha encontrado el formato especificado. Imposible continuar"},
        {corrupto, -3, "El fichero - FQM - no es un documento valido. Imposible continuar"},
        {ajeno, -3, "El fichero - FQM - no es un documento valido. Imposible continuar"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(qPrintable(c.fichero));
        quill::ScriptedModal modal;
        quill::ScopedModal activo(modal);
        quill::TDocumento d;
        d.setFichero(c.fichero);
        EXPECT_EQ(d.Cargar(), c.codigo);
        ASSERT_EQ(modal.messages().size(), 1);
        EXPECT_EQ(modal.messages()[0].caption, QStringLiteral("ERROR"));
        EXPECT_EQ(modal.messages()[0].text, QString::fromUtf8(c.mensaje));
        EXPECT_FALSE(quill::FormatoValido(c.fichero));
        if (!c.fichero.isEmpty()) {
            EXPECT_EQ(quill::LeerInformacionFormato(c.fichero).tipo,
                      QStringLiteral("<Documento no válido>"));
        }
    }
    // An empty format name looks for no file at all.
    quill::ScriptedModal modal;
    quill::ScopedModal activo(modal);
    quill::TDocumento d;
    quill::OpcionesEtiquetas o;
    EXPECT_EQ(quill::LeerFormatoEtiqueta(d, dir->path(), o), -1);
    EXPECT_TRUE(d.Fichero().isEmpty());
}

// Codes of the labels of a document, in order.
QList<int> codigos(const quill::TDocumento& d) {
    QList<int> r;
    for (int i = 0; i < d.NumeroEtiquetas(); ++i)
        r.append(d.Etiqueta(i).at(quill::CampoPaciente(QStringLiteral("CODIGO"))).toInt());
    return r;
}

TEST(GenerarEtiquetas, CopiesRepeatedPatientsAndAddresses) {
    const auto t = tabla({{7, "Ana", "Gil", "Calle Mayor 1", "28001", "Madrid"},
                          {9, "Luis", "Gil", "calle mayor  1", "28001", "MADRID"},
                          {7, "Ana", "Gil", "Calle Mayor 1", "28001", "Madrid"},
                          {4, "Eva", "Sanz", "", "28001", "Madrid"},
                          {5, "Pío", "Sanz", "", "28001", "Madrid"}});
    const struct {
        const char* caso;
        bool unaPorPaciente;
        int copias;
        bool porDomicilio;
        QList<int> esperado;
    } casos[] = {
        {"every row", false, 1, false, {7, 9, 7, 4, 5}},
        {"a patient once, even apart", true, 1, false, {7, 9, 4, 5}},
        {"copies in a row", true, 3, false, {7, 7, 7, 9, 9, 9, 4, 4, 4, 5, 5, 5}},
        {"one per address; no address shares nothing", false, 2, true, {7, 7, 4, 4, 5, 5}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        quill::TDocumento d;
        quill::OpcionesEtiquetas o;
        o.copias = c.copias;
        o.porDomicilio = c.porDomicilio;
        EXPECT_EQ(quill::GenerarEtiquetasDataSet(d, {t.get(), c.unaPorPaciente}, o), 0);
        EXPECT_EQ(codigos(d), c.esperado);
    }
    // The row's texts reach the label, the locality resolved only where the row lacks it.
    quill::TDocumento d;
    quill::ImprimirDatosPaciente(d, *t, 1);
    const QStringList& e = d.Etiqueta(0);
    EXPECT_EQ(e.at(quill::CampoPaciente(QStringLiteral("NOMBRE"))), QStringLiteral("Luis"));
    EXPECT_EQ(e.at(quill::CampoPaciente(QStringLiteral("CODIGO_POSTAL"))), QStringLiteral("28001"));
}

TEST(GenerarEtiquetas, CancelLeavesNothingToPrint) {
    const auto t = tabla({{1, "A", "B", "C", "1", "L"}, {2, "A", "B", "C", "1", "L"},
                          {3, "A", "B", "C", "1", "L"}});
    quill::TDocumento d;
    int preguntas = 0;
    const auto cancelado = [&] { return ++preguntas == 3; };
    EXPECT_EQ(quill::GenerarEtiquetasDataSet(d, {t.get(), true}, {}, cancelado), -301);
    EXPECT_EQ(preguntas, 3); // asked before each row
    EXPECT_EQ(d.NumeroEtiquetas(), 0);
}

TEST(Documento, FirstRowAndColumnPlaceTheFirstLabel) {
    quill::TDocumento d;
    d.setFichero(quill::RutaFormato(carpetaFormatos(), QStringLiteral("A4 3x8 70x37")));
    ASSERT_EQ(d.Leer(), 0);
    const struct {
        int fila, columna, n;
        int hoja, filaEsperada, columnaEsperada;
    } casos[] = {
        {1, 1, 0, 0, 0, 0},  {2, 3, 0, 0, 1, 2},  {2, 3, 1, 0, 2, 0},
        {8, 3, 1, 1, 0, 0},  {9, 1, 0, 0, 0, 0}, // outside the sheet reads as 1
    };
    for (const auto& c : casos) {
        d.setFilaInicial(c.fila);
        d.setColumnaInicial(c.columna);
        const quill::PosicionEtiqueta p = d.Posicion(c.n);
        EXPECT_EQ(p.hoja, c.hoja) << c.fila << "," << c.columna << " #" << c.n;
        EXPECT_EQ(p.fila, c.filaEsperada) << c.fila << "," << c.columna << " #" << c.n;
        EXPECT_EQ(p.columna, c.columnaEsperada) << c.fila << "," << c.columna << " #" << c.n;
    }
    EXPECT_DOUBLE_EQ(d.Posicion(0).y, 0.5); // MARGEN_SUPERIOR
}

TEST(PlantillasEtiquetas, CatalogueSheetsBecomeStandardFormats) {
    EXPECT_DOUBLE_EQ(quill::LongitudMilimetros(QStringLiteral("1in")), 25.4);
    EXPECT_DOUBLE_EQ(quill::LongitudMilimetros(QStringLiteral("72pt")), 25.4);
    EXPECT_DOUBLE_EQ(quill::LongitudMilimetros(QStringLiteral("1.5cm")), 15);
    EXPECT_LT(quill::LongitudMilimetros(QStringLiteral("ancho")), 0);

    // A catalogue of our own: one sheet, one given as equivalent to it, one round label.
    auto dir = quilltest::scratch();
    QFile f(dir->filePath(QStringLiteral("prueba-templates.xml")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"(<?xml version="1.0"?><Glabels-templates>
  <Template brand="Marca" part="B2" size="A4" equiv="A1"/>
  <Template brand="Marca" part="A1" size="A4" _description="Direcciones">
    <Label-rectangle id="0" width="63.5mm" height="38.1mm" round="2mm">
      <Layout nx="3" ny="7" x0="7.2mm" y0="15.1mm" dx="66mm" dy="38.1mm"/>
    </Label-rectangle></Template>
  <Template brand="Marca" part="R9" size="A4"><Label-round id="0" radius="20mm">
      <Layout nx="2" ny="2" x0="1mm" y0="1mm" dx="50mm" dy="50mm"/></Label-round></Template>
  <Template brand="Marca" part="US1" size="US-Letter"><Label-rectangle width="1in" height="1in">
      <Layout nx="1" ny="1" x0="0" y0="0" dx="1in" dy="1in"/></Label-rectangle></Template>
</Glabels-templates>)");
    f.close();
    const QList<quill::PlantillaEtiqueta> l = quill::LeerPlantillasEtiquetas(dir->path());
    ASSERT_EQ(l.size(), 2);
    EXPECT_EQ(l[0].NombreFormato(), QStringLiteral("Marca A1"));
    EXPECT_EQ(l[1].NombreFormato(), QStringLiteral("Marca B2"));
    EXPECT_EQ(l[1].geometria.columnas, 3);
    EXPECT_EQ(l[1].descripcion, QStringLiteral("Direcciones"));

    const QString ruta = quill::RutaFormato(dir->path(), l[0].NombreFormato());
    ASSERT_EQ(quill::EscribirFormatoEstandar(ruta, l[0].NombreFormato(), l[0].geometria), QString());
    quill::TDocumento d;
    d.setFichero(ruta);
    ASSERT_EQ(d.Leer(), 0);
    EXPECT_FALSE(d.EsEPL2());
    EXPECT_EQ(d.Columnas(), 3);
    EXPECT_EQ(d.Filas(), 7);
    EXPECT_NEAR(d.Posicion(1).x, 7.2 + 66, 0.01);
    EXPECT_NEAR(d.Posicion(3).y, 15.1 + 38.1, 0.01);

    // The system's catalogue, when installed, offers the common A4 address sheets.
    if (QFileInfo::exists(quill::CarpetaPlantillasSistema())) {
        const QList<quill::PlantillaEtiqueta> sistema = quill::LeerPlantillasEtiquetas();
        EXPECT_GT(sistema.size(), 100);
        const auto l7160 = std::find_if(sistema.begin(), sistema.end(), [](const auto& p) {
            return p.marca == QLatin1String("Avery") && p.codigo == QLatin1String("L7160");
        });
        ASSERT_NE(l7160, sistema.end());
        EXPECT_EQ(l7160->geometria.columnas, 3);
        EXPECT_EQ(l7160->geometria.filas, 7);
    }
}

TEST(ImprimirEtiquetas, LibraryFailuresGiveTheirCodes) {
    auto dir = quilltest::scratch();
    const QString sinEntrada = dir->filePath(QStringLiteral("sin"));
    QDir().mkpath(sinEntrada);
    ASSERT_TRUE(QFile::copy(etiquetasprueba::carpetaLibrerias() +
                                QStringLiteral("/libetiquetas_sin_entrada.so"),
                            sinEntrada + QStringLiteral("/libetiquetas.so")));
    quill::TDocumento documento;
    const std::intptr_t bloque[2] = {0, 0};
    const struct {
        quill::TDocumento* documento;
        const std::intptr_t* bloque;
        QString carpeta;
        qint16 codigo;
        const char* mensaje;
    } casos[] = {
        {nullptr, bloque, etiquetasprueba::carpetaLibrerias(), -22800,
         "No se ha indicado el documento de etiquetas que se debe imprimir"},
        {&documento, nullptr, etiquetasprueba::carpetaLibrerias(), -22801,
         "Paso no inicializado. Imposible continuar"},
        {&documento, bloque, dir->filePath(QStringLiteral("vacia")), -603,
         "No se ha podido cargar la librería de impresión de etiquetas (etiquetas.dll)"},
        {&documento, bloque, sinEntrada, -604,
         "La librería de impresión de etiquetas (etiquetas.dll) no tiene la función Cargar_Dll"},
        // The real library refuses a document without a format.
        {&documento, bloque, etiquetasprueba::carpetaLibrerias(), -22810,
         "El documento de etiquetas no tiene un formato cargado"},
    };
    for (const auto& c : casos) {
        quill::TImprimirEtiquetas i;
        i.setDocumento(c.documento);
        i.setBloque(c.bloque);
        EXPECT_EQ(i.Imprimir(c.carpeta), c.codigo);
        EXPECT_EQ(quill::MensajeImpresionEtiquetas(c.codigo, &documento), QString::fromUtf8(c.mensaje));
    }
}

} // namespace
