// `listado etiquetas` on a generated shop: the labels of a listing into an EPL/2 file and a PDF,
// copies and one label per address, and the refusals before anything runs.

#include "tiendaprueba.h"

#include <QFile>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(ListadoEtiquetas, WritesOneLabelPerPatientAsTheCountSays) {
    // The program opens the file itself: this process never opens it (the embedded engine would
    // keep it).
    QString plantilla;
    ASSERT_EQ(tiendaprueba::plantillaGenerada(&plantilla), QString());
    auto dir = quilltest::scratch();
    struct {
        QString carpeta() const { return d->path(); }
        QString ruta() const { return d->filePath(QStringLiteral("tienda.fdb")); }
        QTemporaryDir* d;
    } tienda{dir.get()};
    ASSERT_TRUE(QFile::copy(plantilla, tienda.ruta()));
    QFile::setPermissions(tienda.ruta(), QFile::ReadOwner | QFile::WriteOwner);

    const QString c = tienda.carpeta() + QStringLiteral("/c.json");
    QFile f(c);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "G"}])");
    f.close();
    const auto correr = [&](const QStringList& resto, const char* orden = "etiquetas") {
        QProcess p;
        p.start(quilltest::buildDir() + QStringLiteral("/bin/listado"),
                QStringList{QString::fromLatin1(orden), "--db", tienda.ruta(), "--tipo", "general",
                            "--condiciones", c, "--particion", "1"} +
                    resto);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::make_tuple(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                               QString::fromUtf8(p.readAllStandardError()));
    };
    const auto impresas = [](const QString& fichero) {
        QFile e(fichero);
        return e.open(QIODevice::ReadOnly) ? int(e.readAll().count("\nP1\n")) : -1;
    };
    const QString epl = tienda.carpeta() + QStringLiteral("/g.epl");
    const QString pdf = tienda.carpeta() + QStringLiteral("/g.pdf");
    const QString formatoEPL = QStringLiteral("EPL2 rollo 4 pulgadas");
    // The patients, as the count window counts them.
    const int pacientes = std::get<1>(correr({}, "conteo")).trimmed().toInt();
    ASSERT_GT(pacientes, 1);
    // Their addresses, read from the labels of a plain run: address line and postal code with
    // locality (a label without an address line shares it with nobody).
    ASSERT_EQ(std::get<0>(correr({"--formato", formatoEPL, "--fichero", epl})), 0);
    QFile e(epl);
    ASSERT_TRUE(e.open(QIODevice::ReadOnly));
    QSet<QString> domicilios;
    int sinDireccion = 0;
    for (const QString& etiqueta : QString::fromLatin1(e.readAll()).split(QStringLiteral("\nN\n"))) {
        if (!etiqueta.contains(QStringLiteral("\nP1"))) continue;
        QString calle, lugar;
        for (const QString& linea : etiqueta.split(QLatin1Char('\n'))) {
            if (linea.startsWith(QLatin1String("A0,88,"))) calle = linea.simplified().toUpper();
            if (linea.startsWith(QLatin1String("A0,136,"))) lugar = linea.simplified().toUpper();
        }
        if (calle.isEmpty())
            ++sinDireccion;
        else
            domicilios.insert(calle + lugar);
    }
    e.close();
    const struct {
        QStringList resto;
        int etiquetas;
    } casos[] = {
        {{"--formato", formatoEPL, "--fichero", epl}, pacientes},
        {{"--formato", formatoEPL, "--fichero", epl, "--copias", "3", "--orden", "18"},
         3 * pacientes},
        {{"--formato", formatoEPL, "--fichero", epl, "--por-domicilio"},
         int(domicilios.size()) + sinDireccion},
    };
    for (const auto& k : casos) {
        SCOPED_TRACE(qPrintable(k.resto.join(' ')));
        auto [estado, out, err] = correr(k.resto);
        EXPECT_EQ(estado, 0) << qPrintable(err);
        EXPECT_EQ(out, QStringLiteral("Etiquetas escritas: %1\n").arg(k.etiquetas));
        EXPECT_EQ(impresas(epl), k.etiquetas);
    }
    auto [estado, out, err] =
        correr({"--formato", "A4 3x8 70x37", "--fichero", pdf, "--fila", "8", "--columna", "3"});
    EXPECT_EQ(estado, 0) << qPrintable(err);
    EXPECT_TRUE(QFile::exists(pdf));

    // Refused before the listing runs; nothing is written.
    const struct {
        QStringList resto;
        const char* error;
    } rechazos[] = {
        {{"--formato", "", "--fichero", pdf}, "Debe indicar un Formato Válido"},
        {{"--formato", "No existe", "--fichero", pdf}, "Debe indicar un Formato Válido"},
        {{"--formato", "A4 3x8 70x37", "--fichero", tienda.carpeta() + "/x.epl"},
         "el fichero debe terminar en '.pdf'"},
        {{"--formato", "A4 3x8 70x37", "--fichero", pdf, "--copias", "0"},
         "El valor de '--copias' debe ser un número entero desde 1"},
    };
    for (const auto& r : rechazos) {
        SCOPED_TRACE(qPrintable(r.resto.join(' ')));
        std::tie(estado, out, err) = correr(r.resto);
        EXPECT_EQ(estado, 1);
        EXPECT_TRUE(err.contains(QString::fromUtf8(r.error))) << qPrintable(err);
        EXPECT_TRUE(out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(tienda.carpeta() + QStringLiteral("/x.epl")));
}

} // namespace
