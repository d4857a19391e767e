#include "hostconfig.h"

#include "tfrmconfiguracioncorreo.h"

#include "output/labels/formatosetiqueta.h"
#include "output/print/impresoras.h"
#include "platform/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "quill_config.h"
#include <tuple>

namespace quill {

namespace {

// The value of a key, writing the default first when the file does not have it yet.
QString valor(IniFile& ini, const QString& seccion, const QString& clave, const QString& defecto) {
    if (!ini.valueExists(seccion, clave)) ini.writeString(seccion, clave, defecto);
    return ini.readString(seccion, clave, defecto);
}

QString carpetaDatosUsuario(const QString& nombre) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString ruta = QDir(base).filePath(nombre);
    QDir().mkpath(ruta);
    return ruta;
}

IniFile abrir(const QString& iniPath) {
    const QFileInfo f(iniPath);
    return IniFile(f.absolutePath(), f.fileName());
}

} // namespace

HostPaths loadWorkstationPaths(const QString& iniPath, const QString& libDir) {
    IniFile ini = abrir(iniPath);
    const QString rutas = QStringLiteral("RUTAS");
    HostPaths p;
    p.programa = valor(ini, rutas, QStringLiteral("PROGRAMA"), libDir);
    p.librerias = valor(ini, rutas, QStringLiteral("LIBRERIAS"), libDir);
    p.paquetes =
        valor(ini, rutas, QStringLiteral("PAQUETES"), QStringLiteral(QUILL_SOURCE_DATA_DIR));
    // User folders are made only when the file does not name them yet.
    for (auto [clave, destino, carpeta] :
         {std::tuple{QStringLiteral("FILTROS"), &p.filtros, QStringLiteral("Filtros")},
          std::tuple{QStringLiteral("FORMATOS"), &p.formatos, QStringLiteral("Formatos")}}) {
        if (!ini.valueExists(rutas, clave))
            ini.writeString(rutas, clave, carpetaDatosUsuario(carpeta));
        *destino = ini.readString(rutas, clave);
    }
    // A new formats folder gets the shipped label formats, so labels print on a first run.
    InstalarFormatosIniciales(p.formatos, QStringLiteral(QUILL_SOURCE_DATA_DIR "/formatos"));
    return p;
}

TConfPuesto loadWorkstation(const QString& iniPath, const QString& libDir) {
    const HostPaths rutas = loadWorkstationPaths(iniPath, libDir);
    TConfPuesto c;
    c.CarpetaPrograma = rutas.programa;
    c.CarpetaFiltros = rutas.filtros;
    c.CarpetaPaquetes = rutas.paquetes;
    c.CarpetaFormatos = rutas.formatos;
    c.CarpetaLibrerias = rutas.librerias;

    IniFile ini = abrir(iniPath);
    const QString puesto = QStringLiteral("PUESTO");
    c.Puesto = valor(ini, puesto, QStringLiteral("NUMERO"), QStringLiteral("1")).toInt();
    c.ValorFiltro = valor(ini, puesto, QStringLiteral("FILTRO"), QStringLiteral("0")).toInt();

    // The mail settings, user and password unscrambled.
    AplicarConfiguracionCorreo(c, LeerConfiguracionCorreo());

    c.Impresoras = LeerImpresorasPuesto();
    return c;
}

TAplicacion loadApplication(const QString& iniPath) {
    IniFile ini = abrir(iniPath);
    TAplicacion a;
    a.Nombre = QStringLiteral("Quillmore");
    a.Version = QStringLiteral("3.0");
    const QString soporte = QStringLiteral("SOPORTE");
    a.CorreoSoporte =
        valor(ini, soporte, QStringLiteral("CORREO"), QStringLiteral("soporte@quillmore.local"));
    a.TelefonoSoporte =
        valor(ini, soporte, QStringLiteral("TELEFONO"), QStringLiteral("900 000 000"));
    a.CopiasEtiqueta = qint16(
        valor(ini, QStringLiteral("ETIQUETAS"), QStringLiteral("COPIAS"), QStringLiteral("1"))
            .toInt());
    return a;
}

} // namespace quill
