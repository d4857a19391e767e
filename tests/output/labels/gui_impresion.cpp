// The label library at work: sheet labels painted into a PDF and read back with their positions,
// and EPL/2 labels written as printer commands, checked command by command.

#include "etiquetasprueba.h"

#include "business/tdocumento.h"
#include "output/labels/formatosetiqueta.h"
#include "output/labels/generaretiquetas.h"
#include "output/labels/impresionetiquetas.h"

#include <QFile>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using etiquetasprueba::carpetaFormatos;
using etiquetasprueba::carpetaLibrerias;

struct Palabra {
    int pagina;
    double x0, y0, x1, y1; // points
    QString texto;
};

// Every word of a PDF with its box, as pdftotext -bbox reads it.
QList<Palabra> palabras(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    QList<Palabra> r;
    int pagina = -1;
    static const QRegularExpression re(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++pagina;
            continue;
        }
        r.append({pagina, m.captured(1).toDouble(), m.captured(2).toDouble(),
                  m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5)});
    }
    return r;
}

qint16 imprimir(quill::TDocumento& d, const QString& fichero) {
    d.FicheroSalida = fichero;
    d.Impresora = QStringLiteral("PDF");
    quill::TImprimirEtiquetas i;
    const std::intptr_t bloque[2] = {0, 0};
    i.setBloque(bloque);
    i.setDocumento(&d);
    return i.Imprimir(carpetaLibrerias());
}

TEST(HojaEtiquetas, SixLabelsFromRowTwoColumnThreeEachNameInItsCell) {
    const auto t = etiquetasprueba::tabla(
        {{7, "Águeda", "Ruiz Peña", "Calle del Sol 3", "28001", "Madrid"},
         {9, "Bartolomé", "Núñez", "Avenida de la Estación 120", "05001", "Ávila"}});
    quill::TDocumento d;
    quill::OpcionesEtiquetas o;
    o.formato = QStringLiteral("A4 3x8 70x37");
    o.filaInicial = 2;
    o.columnaInicial = 3;
    o.copias = 3;
    ASSERT_EQ(quill::LeerFormatoEtiqueta(d, carpetaFormatos(), o), 0);
    ASSERT_EQ(quill::GenerarEtiquetasDataSet(d, {t.get(), true}, o), 0);
    ASSERT_EQ(d.NumeroEtiquetas(), 6);

    auto dir = quilltest::scratch();
    const QString pdf = dir->filePath(QStringLiteral("etiquetas.pdf"));
    ASSERT_EQ(imprimir(d, pdf), 0) << qPrintable(d.MensajeError);
    ASSERT_FALSE(QFile::exists(pdf + QStringLiteral(".parcial")));
    // Kept for a look when asked (QUILL_ETIQUETAS_PDF=path).
    if (const QString copia = qEnvironmentVariable("QUILL_ETIQUETAS_PDF"); !copia.isEmpty()) {
        QFile::remove(copia);
        QFile::copy(pdf, copia);
    }
    const QList<Palabra> ps = palabras(pdf);
    ASSERT_FALSE(ps.isEmpty());

    constexpr double pt = 72.0 / 25.4;
    // Cell of sheet position k (0-based, row by row) in points: 70 x 37 mm below a 0.5 mm margin.
    const auto celda = [&](int k) {
        const int fila = k / 3, columna = k % 3;
        return QRectF(columna * 70 * pt, (0.5 + fila * 37) * pt, 70 * pt, 37 * pt);
    };
    const struct {
        const char* nombre;
        QList<int> celdas; // row 2, column 3 is position 5
    } esperados[] = {{"Águeda", {5, 6, 7}}, {"Bartolomé", {8, 9, 10}}};
    for (const auto& e : esperados) {
        QList<int> halladas;
        for (const Palabra& p : ps) {
            if (p.texto != QString::fromUtf8(e.nombre)) continue;
            EXPECT_EQ(p.pagina, 0);
            for (int k = 0; k < 24; ++k)
                if (celda(k).contains(QRectF(QPointF(p.x0, p.y0), QPointF(p.x1, p.y1))))
                    halladas.append(k);
        }
        std::sort(halladas.begin(), halladas.end());
        EXPECT_EQ(halladas, e.celdas) << e.nombre;
    }
    // The rest of each label stays inside its cell too, the locality line included.
    for (const Palabra& p : ps) {
        const QRectF caja(QPointF(p.x0, p.y0), QPointF(p.x1, p.y1));
        bool dentro = false;
        for (int k = 5; k <= 10; ++k)
            dentro = dentro || celda(k).contains(caja);
        EXPECT_TRUE(dentro) << qPrintable(p.texto);
    }
    const auto cuenta = [&](const char* w) {
        return std::count_if(ps.begin(), ps.end(),
                             [&](const Palabra& p) { return p.texto == QString::fromUtf8(w); });
    };
    EXPECT_EQ(cuenta("Ávila"), 3);
    EXPECT_EQ(cuenta("05001"), 3);
    EXPECT_EQ(cuenta("Madrid"), 9); // Águeda's locality line, and every province line
}

TEST(EPL2, TwoPatientsCommandByCommand) {
    const auto t = etiquetasprueba::tabla(
        {{7, "Águeda", "Ruiz", "Calle \"Sol\" 3", "28001", "Madrid"},
         {9, "Luis", "Gil", "", "", ""}});
    quill::TDocumento d;
    quill::OpcionesEtiquetas o;
    o.formato = QStringLiteral("EPL2 rollo 4 pulgadas");
    ASSERT_EQ(quill::LeerFormatoEtiqueta(d, carpetaFormatos(), o), 0);
    ASSERT_EQ(quill::GenerarEtiquetasDataSet(d, {t.get(), true}, o), 0);
    auto dir = quilltest::scratch();
    const QString epl = dir->filePath(QStringLiteral("etiquetas.epl"));
    ASSERT_EQ(imprimir(d, epl), 0) << qPrintable(d.MensajeError);
    QFile f(epl);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lineas = QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'));
    const QStringList esperado = {
        // set-up: Latin-1 code page, 93.6 mm printable width, 50.8 mm labels with a 3 mm gap,
        // 4 mm left margin (8 dots per mm)
        "I8,A,034", "q749", "Q406,24", "R32,0",
        "N",
        "A0,24,0,4,1,1,N,\"Águeda Ruiz\"",
        "A0,88,0,3,1,1,N,\"Calle \\\"Sol\\\" 3\"",
        "A0,136,0,3,1,1,N,\"28001 Madrid\"",
        "A0,184,0,3,1,1,N,\"Madrid\"",
        "B0,256,0,1,2,5,96,B,\"7\"",
        "P1",
        // no address: its empty lines send nothing
        "N",
        "A0,24,0,4,1,1,N,\"Luis Gil\"",
        "A0,184,0,3,1,1,N,\"Madrid\"",
        "B0,256,0,1,2,5,96,B,\"9\"",
        "P1",
        ""};
    EXPECT_EQ(lineas, esperado);
}

} // namespace
