// The error window: the Spanish date and the printed report read back from a PDF.

#include "listing/tfrmerror.h"
#include "platform/modal.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace {

QString textoPdf(const QString& fichero) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), fichero, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

TDatosTienda tiendaPrueba() {
    TDatosTienda t;
    t.Nombre = QStringLiteral("Óptica Peñalver");
    t.Direccion = QStringLiteral("Calle Mayor, 3");
    t.CodigoPostal = QStringLiteral("05260");
    t.Localidad = QStringLiteral("Añover de Tajo");
    t.Provincia = QStringLiteral("Toledo");
    t.Telefono = QStringLiteral("925 000 111");
    return t;
}

class VentanaError : public ::testing::Test {
protected:
    void SetUp() override {
        w.setPantalla(QStringLiteral("Listado - Pacientes"));
        w.setFuncion(QStringLiteral("nbiImprimir -> OnClick"));
        w.setDescripcion(QStringLiteral("No se encontró la impresora «Etiquetas» en el puesto"));
        w.setFecha(QDateTime(QDate(2024, 3, 5), QTime(9, 7)));
        w.setTienda(tiendaPrueba());
        w.setSoporte(QStringLiteral("soporte@quillmore.local"), QStringLiteral("900 100 200"));
    }
    quill::ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    TfrmError w;
};

} // namespace

TEST(FechaError, SpanishDayAndMonthNames) {
    struct Caso {
        QDateTime fecha;
        const char* texto;
    };
    const Caso casos[] = {
        {QDateTime(QDate(2024, 3, 5), QTime(9, 7)), "martes, 5 de marzo de 2024  09:07"},
        {QDateTime(QDate(2023, 12, 31), QTime(23, 59)), "domingo, 31 de diciembre de 2023  23:59"},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(TfrmError::TextoFecha(c.fecha).toStdString(), c.texto);
}

// The report is written as a PDF (the extension added) whose text can be read back.
TEST_F(VentanaError, PrintsTheReportToPdf) {
    auto dir = quilltest::scratch();
    const QString fichero = dir->filePath(QStringLiteral("informe"));
    modal.queueFileName(fichero);
    QTest::mouseClick(w.btnImprimir, Qt::LeftButton);
    EXPECT_TRUE(modal.messages().isEmpty());
    const QString texto = textoPdf(fichero + QStringLiteral(".pdf")).simplified();
    for (const char* t : {"Óptica Peñalver", "05260 - Añover de Tajo (Toledo)",
                          "nbiImprimir -> OnClick",
                          "No se encontró la impresora «Etiquetas» en el puesto",
                          "martes, 5 de marzo de 2024 09:07", "soporte@quillmore.local"})
        EXPECT_TRUE(texto.contains(QString::fromUtf8(t))) << t << "\n" << texto.toStdString();
}
