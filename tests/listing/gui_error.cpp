// The error window: its texts, the Spanish date, the E-Mail button without a sender, and the
// printed report read back from a PDF.

#include "listing/tfrmerror.h"
#include "platform/modal.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPlainTextEdit>
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
        {QDateTime(QDate(2021, 9, 10), QTime(7, 45)), "viernes, 10 de septiembre de 2021  07:45"},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(TfrmError::TextoFecha(c.fecha).toStdString(), c.texto);
}

TEST_F(VentanaError, ShowsItsTextsReadOnlyAndSalirCloses) {
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w.edtFuncion->text(), QStringLiteral("nbiImprimir -> OnClick"));
    EXPECT_TRUE(w.edtPantalla->isReadOnly());
    EXPECT_TRUE(w.edtFuncion->isReadOnly());
    EXPECT_TRUE(w.memDescripcion->isReadOnly());
    w.show();
    QTest::mouseClick(w.btnSalir, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
}

TEST_F(VentanaError, EMailWithoutASenderSaysItCannotSend) {
    QTest::mouseClick(w.btnEMail, Qt::LeftButton);
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages().at(0).caption, QStringLiteral("ERROR"));
    EXPECT_EQ(modal.messages().at(0).text,
              QStringLiteral("No se ha podido enviar el correo, conectese a internet e intentelo "
                             "mas tarde"));
    EXPECT_EQ(modal.messages().at(0).icon, quill::MessageIcon::Stop);

    // A sender gets the support address and the report; its failure gives the same message.
    QString destino;
    TInformeError enviado;
    int respuesta = 0;
    w.setEnviarCorreo([&](const QString& d, const TInformeError& i) {
        destino = d;
        enviado = i;
        return respuesta;
    });
    QTest::mouseClick(w.btnEMail, Qt::LeftButton);
    EXPECT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(destino, QStringLiteral("soporte@quillmore.local"));
    EXPECT_EQ(enviado.Funcion, QStringLiteral("nbiImprimir -> OnClick"));
    EXPECT_EQ(enviado.Fecha, QDateTime(QDate(2024, 3, 5), QTime(9, 7)));
    respuesta = -200;
    QTest::mouseClick(w.btnEMail, Qt::LeftButton);
    EXPECT_EQ(modal.messages().size(), 2);
}

TEST_F(VentanaError, PrintsAOnePageReportToPdf) {
    auto dir = quilltest::scratch();
    const QString fichero = dir->filePath(QStringLiteral("informe"));
    modal.queueFileName(fichero);
    QTest::mouseClick(w.btnImprimir, Qt::LeftButton);
    ASSERT_EQ(modal.fileChoices().size(), 1);
    EXPECT_TRUE(modal.fileChoices().at(0).save);
    EXPECT_TRUE(modal.messages().isEmpty());
    // The extension is added when the user leaves it out.
    const QString pdf = fichero + QStringLiteral(".pdf");
    ASSERT_TRUE(QFileInfo::exists(pdf));

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QStringLiteral("Pages:           1")));

    const QString texto = textoPdf(pdf);
    for (const char* t : {"Informe de error", "Óptica Peñalver", "Calle Mayor, 3",
                          "05260 - Añover de Tajo (Toledo)", "Pantalla:", "Listado - Pacientes",
                          "Función:", "nbiImprimir -> OnClick", "Descripción",
                          "No se encontró la impresora «Etiquetas» en el puesto",
                          "martes, 5 de marzo de 2024 09:07", "soporte@quillmore.local"})
        EXPECT_TRUE(texto.simplified().contains(QString::fromUtf8(t).simplified()))
            << t << "\n"
            << texto.toStdString();

    // Cancelling the file chooser writes nothing; an unwritable place is reported.
    modal.queueFileName(QString());
    QTest::mouseClick(w.btnImprimir, Qt::LeftButton);
    EXPECT_TRUE(modal.messages().isEmpty());
    modal.queueFileName(dir->filePath(QStringLiteral("no/existe/informe.pdf")));
    QTest::mouseClick(w.btnImprimir, Qt::LeftButton);
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages().at(0).caption, QStringLiteral("ERROR"));
}
