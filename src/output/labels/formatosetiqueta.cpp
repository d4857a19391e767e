#include "output/labels/formatosetiqueta.h"

#include "business/tdocumento.h"
#include "business/tfqmformato.h"
#include "host/bloque.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quill {

QString NombreFormato(const QString& escrito) {
    QString n = escrito.trimmed();
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return n.mid(n.lastIndexOf(QLatin1Char('/')) + 1);
}

QString RutaFormato(const QString& carpeta, const QString& nombre) {
    QString c = carpeta;
    while (c.endsWith(QLatin1Char('/')) || c.endsWith(QLatin1Char('\\')))
        c.chop(1);
    return c + QLatin1Char('/') + NombreFormato(nombre) + QStringLiteral(".fqm");
}

QString CarpetaFormatos(const TConfPuesto* puesto) {
    return puesto && !puesto->CarpetaFormatos.isEmpty() ? puesto->CarpetaFormatos
                                                         : QStringLiteral("-999");
}

QString CarpetaLibrerias(const TConfPuesto* puesto) {
    return puesto && !puesto->CarpetaLibrerias.isEmpty() ? puesto->CarpetaLibrerias
                                                         : QStringLiteral("-999");
}

bool FormatoValido(const QString& ruta) {
    if (TDocumento::EsDocumentoEstandar(ruta)) return true;
    TFQMFormato f;
    return f.Cargar(ruta) == 0;
}

InformacionFormato LeerInformacionFormato(const QString& ruta) {
    InformacionFormato i;
    TDocumento d;
    d.setFichero(ruta);
    if (d.Leer() != 0) {
        i.tipo = QStringLiteral("<Documento no válido>");
        return i;
    }
    i.valido = true;
    i.tipo = d.EsEPL2() ? QStringLiteral("Formato EPL/2") : QStringLiteral("Formato estandar");
    i.papel = d.Papel();
    i.etiqueta = d.Etiqueta();
    i.columnas = QString::number(d.Columnas());
    i.filas = QString::number(d.Filas());
    return i;
}

int InstalarFormatosIniciales(const QString& carpeta, const QString& origen) {
    const QDir destino(carpeta);
    if (!destino.exists() || !destino.entryList({QStringLiteral("*.fqm")}, QDir::Files).isEmpty())
        return 0;
    int copiados = 0;
    const QDir dir(origen);
    for (const QString& f : dir.entryList({QStringLiteral("*.fqm")}, QDir::Files))
        if (QFile::copy(dir.filePath(f), destino.filePath(f))) ++copiados;
    return copiados;
}

} // namespace quill
