#include "business/plantillasetiquetas.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamReader>

#include <algorithm>

namespace quill {

QString PlantillaEtiqueta::NombreFormato() const {
    // A format name is a file name: no separators.
    QString n = marca + QLatin1Char(' ') + codigo;
    for (QChar& c : n)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':')) c = '-';
    return n;
}

QString CarpetaPlantillasSistema() {
    return QStringLiteral("/usr/share/libglabels-3.0/templates");
}

double LongitudMilimetros(const QString& texto) {
    static const std::pair<const char*, double> unidades[] = {
        {"mm", 1.0}, {"cm", 10.0}, {"in", 25.4}, {"pt", 25.4 / 72.0}, {"pc", 25.4 / 6.0}};
    const QString t = texto.trimmed();
    for (const auto& [u, factor] : unidades) {
        if (!t.endsWith(QLatin1String(u))) continue;
        bool ok = false;
        const double v = t.left(t.size() - 2).toDouble(&ok);
        return ok ? v * factor : -1;
    }
    bool ok = false;
    const double v = t.toDouble(&ok); // bare numbers are points
    return ok ? v * 25.4 / 72.0 : -1;
}

namespace {

struct Leida {
    PlantillaEtiqueta p;
    QString equivalente;
    QString papel;
    bool rectangular = false;
    int disposiciones = 0;
};

void leerFichero(const QString& ruta, QList<Leida>& salida) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return;
    QXmlStreamReader xml(&f);
    Leida actual;
    bool dentro = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto a = xml.attributes();
            if (xml.name() == QLatin1String("Template")) {
                dentro = true;
                actual = Leida();
                actual.papel = a.value(QLatin1String("size")).toString();
                actual.p.marca = a.value(QLatin1String("brand")).toString();
                actual.p.codigo = a.value(QLatin1String("part")).toString();
                actual.p.descripcion = a.value(QLatin1String("_description")).toString();
                if (actual.p.descripcion.isEmpty())
                    actual.p.descripcion = a.value(QLatin1String("description")).toString();
                actual.equivalente = a.value(QLatin1String("equiv")).toString();
            } else if (dentro && xml.name() == QLatin1String("Label-rectangle")) {
                actual.rectangular = true;
                actual.p.geometria.ancho = LongitudMilimetros(a.value(QLatin1String("width")).toString());
                actual.p.geometria.alto = LongitudMilimetros(a.value(QLatin1String("height")).toString());
            } else if (dentro && xml.name().startsWith(QLatin1String("Label-"))) {
                actual.rectangular = false;
            } else if (dentro && xml.name() == QLatin1String("Layout")) {
                ++actual.disposiciones;
                GeometriaHoja& g = actual.p.geometria;
                g.columnas = a.value(QLatin1String("nx")).toInt();
                g.filas = a.value(QLatin1String("ny")).toInt();
                g.x0 = LongitudMilimetros(a.value(QLatin1String("x0")).toString());
                g.y0 = LongitudMilimetros(a.value(QLatin1String("y0")).toString());
                g.dx = LongitudMilimetros(a.value(QLatin1String("dx")).toString());
                g.dy = LongitudMilimetros(a.value(QLatin1String("dy")).toString());
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("Template")) {
            if (dentro && !actual.p.marca.isEmpty() && !actual.p.codigo.isEmpty())
                salida.append(actual);
            dentro = false;
        }
    }
}

bool utilizable(const Leida& l) {
    const GeometriaHoja& g = l.p.geometria;
    return l.rectangular && l.disposiciones == 1 && g.ancho > 0 && g.alto > 0 && g.columnas > 0 &&
           g.filas > 0 && g.x0 >= 0 && g.y0 >= 0 && (g.columnas == 1 || g.dx >= g.ancho) &&
           (g.filas == 1 || g.dy >= g.alto);
}

} // namespace

QList<PlantillaEtiqueta> LeerPlantillasEtiquetas(const QString& carpeta, const QString& papel) {
    QList<Leida> leidas;
    const QDir dir(carpeta);
    for (const QString& f : dir.entryList({QStringLiteral("*-templates.xml")}, QDir::Files))
        leerFichero(dir.filePath(f), leidas);
    QHash<QString, int> porCodigo;
    for (int i = 0; i < leidas.size(); ++i)
        porCodigo.insert(leidas[i].p.marca + QLatin1Char('\n') + leidas[i].p.codigo, i);
    QList<PlantillaEtiqueta> r;
    for (Leida l : leidas) {
        if (!l.equivalente.isEmpty() && l.disposiciones == 0) {
            const int i = porCodigo.value(l.p.marca + QLatin1Char('\n') + l.equivalente, -1);
            if (i < 0) continue;
            const Leida& base = leidas[i];
            l.p.geometria = base.p.geometria;
            l.rectangular = base.rectangular;
            l.disposiciones = base.disposiciones;
            // An equivalent names no paper of its own.
            if (l.papel.isEmpty()) l.papel = base.papel;
            if (l.p.descripcion.isEmpty()) l.p.descripcion = base.p.descripcion;
        }
        if (l.papel == papel && utilizable(l)) r.append(l.p);
    }
    std::sort(r.begin(), r.end(), [](const PlantillaEtiqueta& a, const PlantillaEtiqueta& b) {
        const int m = QString::compare(a.marca, b.marca, Qt::CaseInsensitive);
        return m != 0 ? m < 0 : QString::compare(a.codigo, b.codigo, Qt::CaseInsensitive) < 0;
    });
    // The catalogue lists some sheets twice (one file per region): keep the first.
    r.erase(std::unique(r.begin(), r.end(),
                        [](const PlantillaEtiqueta& a, const PlantillaEtiqueta& b) {
                            return a.marca == b.marca && a.codigo == b.codigo;
                        }),
            r.end());
    return r;
}

QString EscribirFormatoEstandar(const QString& fichero, const QString& nombre,
                                const GeometriaHoja& g) {
    if (g.ancho <= 0 || g.alto <= 0 || g.columnas <= 0 || g.filas <= 0)
        return QStringLiteral("La etiqueta no tiene un tamaño válido");
    const auto n = [](double v) { return QString::number(v, 'f', 2); };
    // Four lines fill the label's height inside a small margin; the name goes in bold.
    const double margen = std::min(3.0, g.alto * 0.1);
    const double linea = std::min(5.0, (g.alto - 2 * margen) / 4.0);
    const double tamano = std::max(4.0, std::round(linea * 2.0 * 2.0) / 2.0);
    const double ancho = g.ancho - 2 * margen;
    struct Linea {
        const char* campos;
        const char* mascara;
        bool negrita;
    };
    const Linea lineas[] = {{"NOMBRE;APELLIDOS", "%1 %2", true},
                            {"DIRECCION", "", false},
                            {"CODIGO_POSTAL;LOCALIDAD", "%1 %2", false},
                            {"PROVINCIA", "", false}};
    QString texto;
    QTextStream s(&texto);
    s << "[DOCUMENTO]\nTIPO=34\nNOMBRE=" << nombre << "\n\n"
      << "[PAPEL]\nANCHO=" << n(g.anchoPapel) << "\nALTO=" << n(g.altoPapel)
      << "\nMARGEN_SUPERIOR=" << n(g.y0) << "\nMARGEN_IZQUIERDO=" << n(g.x0) << "\n\n"
      << "[ETIQUETA]\nANCHO=" << n(g.ancho) << "\nALTO=" << n(g.alto)
      << "\nESPACIO_HORIZONTAL=" << n(g.columnas > 1 ? g.dx - g.ancho : 0)
      << "\nESPACIO_VERTICAL=" << n(g.filas > 1 ? g.dy - g.alto : 0) << "\nCOLUMNAS=" << g.columnas
      << "\nFILAS=" << g.filas << "\n\n[COMPONENTES]\nTOTAL=4\n";
    int i = 0;
    for (const Linea& l : lineas) {
        ++i;
        s << "\n[COMPONENTE_" << i << "]\nTIPO=1\nBD_CAMPO=" << l.campos
          << "\nBD_MASCARA=" << l.mascara << "\nIZQUIERDA=" << n(margen)
          << "\nSUPERIOR=" << n(margen + (i - 1) * linea) << "\nANCHO=" << n(ancho)
          << "\nALTO=" << n(linea) << "\nFNT_NOMBRE=DejaVu Sans\nFNT_TAMANO=" << tamano
          << "\nFNT_NEGRITA=" << (l.negrita ? 1 : 0) << "\n";
    }
    s.flush();
    QSaveFile f(fichero);
    if (!f.open(QIODevice::WriteOnly) || f.write(texto.toUtf8()) < 0 || !f.commit())
        return QStringLiteral("No se ha podido escribir el formato '%1'")
            .arg(QDir::toNativeSeparators(fichero));
    return QString();
}

} // namespace quill
