#include "business/tfqmformato.h"

#include "platform/settings.h"

#include <QFile>
#include <QFileInfo>

namespace quill {

TBaseFQMFormato::~TBaseFQMFormato() = default;

namespace {

// Decimal values may be written with a comma, as the shop's programs write them.
double decimal(const IniFile& ini, const QString& seccion, const QString& clave, double defecto) {
    const QString texto = ini.readString(seccion, clave).trimmed();
    if (texto.isEmpty()) return defecto;
    bool ok = false;
    const double v = QString(texto).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok ? v : defecto;
}

} // namespace

QString TFQMFormato::NombreTipo(int tipo) {
    switch (tipo) {
    case 134:
        return QStringLiteral("Etiqueta EPL2 de envio");
    case 135:
        return QStringLiteral("Etiqueta EPL2 de cliente");
    case 136:
        return QStringLiteral("Etiqueta EPL2 de proveedor");
    case 137:
        return QStringLiteral("Etiqueta EPL2 de artículo");
    case 138:
        return QStringLiteral("Etiqueta EPL2 de envio");
    default:
        return QStringLiteral("Tipo no encontrado");
    }
}

qint16 TFQMFormato::Cargar(const QString& fichero) {
    m_fichero = fichero;
    m_valido = false;
    if (fichero.trimmed().isEmpty()) return m_codigo = -1;
    QFile f(fichero);
    if (!QFileInfo(fichero).isFile() || !f.open(QIODevice::ReadOnly)) return m_codigo = -2;
    f.close();
    const QFileInfo info(fichero);
    const IniFile ini(info.absolutePath(), info.fileName());
    const QString formato = QStringLiteral("FORMATO");
    const QString papel = QStringLiteral("PAPEL");
    Tipo = ini.readInteger(formato, QStringLiteral("TIPO"), -1);
    NombreTipoFormato = NombreTipo(Tipo);
    Rotar = ini.readInteger(formato, QStringLiteral("ROTAR"), 0);
    Ancho = decimal(ini, papel, QStringLiteral("ANCHO"), -1);
    Alto = decimal(ini, papel, QStringLiteral("ALTO"), -1);
    MargenIzquierdo = decimal(ini, papel, QStringLiteral("MARGEN_IZQUIERDO"), -1);
    MargenDerecho = decimal(ini, papel, QStringLiteral("MARGEN_DERECHO"), -1);
    Espacio = decimal(ini, papel, QStringLiteral("ESPACIO"), -1);
    TotalComponentes = ini.readInteger(QStringLiteral("COMPONENTES"), QStringLiteral("TOTAL"), -1);
    // A header without an EPL/2 label type, or without a usable label size, is some other file.
    if (Tipo < 134 || Tipo > 138 || Ancho <= 0 || Alto <= 0) return m_codigo = -3;
    m_valido = true;
    return m_codigo = 0;
}

} // namespace quill
