#include "business/tdocumento.h"

#include "business/tfqmformato.h"
#include "platform/modal.h"
#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace quill {

const QStringList& CamposPaciente() {
    static const QStringList campos = {
        QStringLiteral("CODIGO"),           QStringLiteral("APELLIDOS"),
        QStringLiteral("NOMBRE"),           QStringLiteral("NOMBRE_COMPLETO"),
        QStringLiteral("DIRECCION"),        QStringLiteral("ID_LOCALIDAD"),
        QStringLiteral("TELEFONO"),         QStringLiteral("TELEFONO_MOVIL"),
        QStringLiteral("SEXO"),             QStringLiteral("PROFESION"),
        QStringLiteral("VIENE_POR"),        QStringLiteral("FECHA_NACIMIENTO"),
        QStringLiteral("FECHA_PRIMERA_VISITA"), QStringLiteral("FECHA_ULTIMA_VISITA"),
        QStringLiteral("FECHA_CARNET"),     QStringLiteral("ULTIMO_DESCUENTO"),
        QStringLiteral("CORREO"),           QStringLiteral("TOTAL_COMPRADO_M1"),
        QStringLiteral("TOTAL_COMPRADO_M2"), QStringLiteral("TIENDA"),
        QStringLiteral("FOTOGRAFIA"),       QStringLiteral("E_MAIL"),
        QStringLiteral("CODIGO_POSTAL"),    QStringLiteral("LOCALIDAD"),
        QStringLiteral("PROVINCIA")};
    return campos;
}

int CampoPaciente(const QString& nombre) {
    const QString n = nombre.trimmed().toUpper();
    return int(CamposPaciente().indexOf(n));
}

QString ComponenteEtiqueta::Valor(const QStringList& valores) const {
    switch (tipo) {
    case Texto:
        return texto;
    case Campo:
    case CodigoBarras: {
        QStringList v;
        bool alguno = false;
        for (int c : campos) {
            const QString s = c >= 0 && c < valores.size() ? valores.at(c) : QString();
            alguno = alguno || !s.trimmed().isEmpty();
            v.append(s);
        }
        // A line whose fields are all empty stays empty: no lone parentheses or prefixes.
        if (!alguno) return QString();
        if (mascara.isEmpty()) return v.join(QLatin1Char(' ')).simplified();
        QString r = mascara;
        // From the highest number down, so %1 does not eat the start of %10.
        for (qsizetype i = v.size(); i >= 1; --i)
            r.replace(QLatin1Char('%') + QString::number(i), v.at(i - 1));
        return r.simplified();
    }
    default:
        return QString();
    }
}

TDocumento::TDocumento(QObject* owner) : QObject(owner) {
    Reiniciar();
}

TDocumento::~TDocumento() = default;

QString TDocumento::MensajeCarga(qint16 codigo) {
    switch (codigo) {
    case kSinFichero:
        return QStringLiteral(
            "La propiedad - Document - no tiene asignado un fichero fqm. Imposible continuar");
    case kNoEncontrado:
        return QStringLiteral("No se ha encontrado el formato especificado. Imposible continuar");
    case kNoValido:
        return QStringLiteral(
            "El fichero - FQM - no es un documento valido. Imposible continuar");
    default:
        return QString();
    }
}

void TDocumento::Reiniciar() {
    m_fichero.clear();
    m_cargado = false;
    m_epl2 = false;
    m_tipo = -1;
    m_nombre.clear();
    m_columnas = m_filas = 0;
    m_columnaInicial = m_filaInicial = 1;
    AnchoPapel = AltoPapel = MargenSuperior = MargenIzquierdo = 0;
    AnchoEtiqueta = AltoEtiqueta = EspacioHorizontal = EspacioVertical = 0;
    Rotar = 0;
    MargenDerecho = 0;
    Componentes.clear();
    Impresora.clear();
    FicheroSalida.clear();
    MensajeError.clear();
    m_etiquetas.clear();
    m_datos = QStringList(CamposPaciente().size());
}

namespace {

IniFile abrirIni(const QString& fichero) {
    const QFileInfo info(fichero);
    return IniFile(info.absolutePath(), info.fileName());
}

double decimal(const IniFile& ini, const QString& seccion, const QString& clave,
               double defecto = 0) {
    const QString texto = ini.readString(seccion, clave).trimmed();
    if (texto.isEmpty()) return defecto;
    bool ok = false;
    const double v = QString(texto).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok ? v : defecto;
}

bool legible(const QString& fichero) {
    QFile f(fichero);
    return QFileInfo(fichero).isFile() && f.open(QIODevice::ReadOnly);
}

QString medida(double v) {
    // "99,1" as the shop reads sizes; whole numbers without decimals.
    return QLocale(QLocale::Spanish, QLocale::Spain).toString(v, 'g', 6);
}

} // namespace

bool TDocumento::EsDocumentoEstandar(const QString& fichero) {
    if (fichero.trimmed().isEmpty() || !legible(fichero)) return false;
    const IniFile ini = abrirIni(fichero);
    const int tipo = ini.readInteger(QStringLiteral("DOCUMENTO"), QStringLiteral("TIPO"), -1);
    return !NombreTipoDocumento(tipo).isEmpty() &&
           decimal(ini, QStringLiteral("ETIQUETA"), QStringLiteral("ANCHO")) > 0 &&
           decimal(ini, QStringLiteral("ETIQUETA"), QStringLiteral("ALTO")) > 0 &&
           ini.readInteger(QStringLiteral("ETIQUETA"), QStringLiteral("COLUMNAS")) > 0 &&
           ini.readInteger(QStringLiteral("ETIQUETA"), QStringLiteral("FILAS")) > 0;
}

qint16 TDocumento::Leer() {
    m_cargado = false;
    if (m_fichero.trimmed().isEmpty()) return kSinFichero;
    if (!legible(m_fichero)) return kNoEncontrado;
    if (EsDocumentoEstandar(m_fichero)) {
        m_epl2 = false;
        m_cargado = leerEstandar();
    } else {
        m_epl2 = true;
        m_cargado = leerEPL2();
    }
    return m_cargado ? qint16(0) : kNoValido;
}

qint16 TDocumento::Cargar() {
    const qint16 r = Leer();
    if (r != 0) Modal::current().message(QStringLiteral("ERROR"), MensajeCarga(r), MessageIcon::Stop);
    return r;
}

bool TDocumento::leerEstandar() {
    const IniFile ini = abrirIni(m_fichero);
    const QString papel = QStringLiteral("PAPEL");
    const QString etiqueta = QStringLiteral("ETIQUETA");
    m_tipo = ini.readInteger(QStringLiteral("DOCUMENTO"), QStringLiteral("TIPO"), -1);
    m_nombre = ini.readString(QStringLiteral("DOCUMENTO"), QStringLiteral("NOMBRE"));
    // A4 when the paper is not given.
    AnchoPapel = decimal(ini, papel, QStringLiteral("ANCHO"), 210);
    AltoPapel = decimal(ini, papel, QStringLiteral("ALTO"), 297);
    MargenSuperior = decimal(ini, papel, QStringLiteral("MARGEN_SUPERIOR"));
    MargenIzquierdo = decimal(ini, papel, QStringLiteral("MARGEN_IZQUIERDO"));
    AnchoEtiqueta = decimal(ini, etiqueta, QStringLiteral("ANCHO"));
    AltoEtiqueta = decimal(ini, etiqueta, QStringLiteral("ALTO"));
    EspacioHorizontal = decimal(ini, etiqueta, QStringLiteral("ESPACIO_HORIZONTAL"));
    EspacioVertical = decimal(ini, etiqueta, QStringLiteral("ESPACIO_VERTICAL"));
    m_columnas = ini.readInteger(etiqueta, QStringLiteral("COLUMNAS"));
    m_filas = ini.readInteger(etiqueta, QStringLiteral("FILAS"));
    if (AnchoPapel <= 0 || AltoPapel <= 0) return false;
    leerComponentes(ini, ini.readInteger(QStringLiteral("COMPONENTES"), QStringLiteral("TOTAL")));
    return true;
}

bool TDocumento::leerEPL2() {
    TFQMFormato f;
    if (f.Cargar(m_fichero) != 0) return false;
    m_tipo = f.Tipo;
    m_nombre = QFileInfo(m_fichero).completeBaseName();
    // A roll: one label per print command, as wide as the paper between its margins.
    AnchoPapel = f.Ancho;
    AltoPapel = f.Alto;
    MargenIzquierdo = std::max(0.0, f.MargenIzquierdo);
    MargenDerecho = std::max(0.0, f.MargenDerecho);
    MargenSuperior = 0;
    AnchoEtiqueta = f.Ancho;
    AltoEtiqueta = f.Alto;
    EspacioHorizontal = 0;
    EspacioVertical = std::max(0.0, f.Espacio);
    Rotar = f.Rotar;
    m_columnas = 1;
    m_filas = 1;
    leerComponentes(abrirIni(m_fichero), f.TotalComponentes);
    return true;
}

void TDocumento::leerComponentes(const IniFile& ini, int total) {
    Componentes.clear();
    const QDir carpeta = QFileInfo(m_fichero).absoluteDir();
    for (int n = 1; n <= total; ++n) {
        const QString s = QStringLiteral("COMPONENTE_%1").arg(n);
        if (!ini.sectionExists(s)) continue;
        ComponenteEtiqueta c;
        c.tipo = ini.readInteger(s, QStringLiteral("TIPO"), ComponenteEtiqueta::Texto);
        c.texto = ini.readString(s, QStringLiteral("TEXTO"));
        const QStringList campos = ini.readString(s, QStringLiteral("BD_CAMPO"))
                                       .split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString& campo : campos)
            c.campos.append(CampoPaciente(campo));
        c.mascara = ini.readString(s, QStringLiteral("BD_MASCARA"));
        const QString imagen = ini.readString(s, QStringLiteral("IMAGEN"));
        if (!imagen.isEmpty()) c.imagen = carpeta.absoluteFilePath(imagen);
        c.izquierda = decimal(ini, s, QStringLiteral("IZQUIERDA"));
        c.superior = decimal(ini, s, QStringLiteral("SUPERIOR"));
        c.ancho = decimal(ini, s, QStringLiteral("ANCHO"));
        c.alto = decimal(ini, s, QStringLiteral("ALTO"));
        c.colorFondo = ini.readString(s, QStringLiteral("COLOR_FONDO"));
        const QString fuente = ini.readString(s, QStringLiteral("FNT_NOMBRE"));
        if (!fuente.isEmpty()) c.fuente = fuente;
        c.tamano = decimal(ini, s, QStringLiteral("FNT_TAMANO"), 10);
        c.colorFuente = ini.readString(s, QStringLiteral("FNT_COLOR"));
        c.alineacion = ini.readInteger(s, QStringLiteral("FNT_ALINEACION"));
        c.negrita = ini.readBool(s, QStringLiteral("FNT_NEGRITA"));
        c.italica = ini.readBool(s, QStringLiteral("FNT_ITALICA"));
        c.subrayado = ini.readBool(s, QStringLiteral("FNT_SUBRAYADO"));
        c.tachado = ini.readBool(s, QStringLiteral("FNT_TACHADO"));
        Componentes.append(c);
    }
}

int TDocumento::ColumnaInicial() const {
    return m_columnaInicial >= 1 && m_columnaInicial <= m_columnas ? m_columnaInicial : 1;
}

int TDocumento::FilaInicial() const {
    return m_filaInicial >= 1 && m_filaInicial <= m_filas ? m_filaInicial : 1;
}

void TDocumento::Abrir() {
    m_etiquetas.clear();
    MensajeError.clear();
    m_datos = QStringList(CamposPaciente().size());
}

void TDocumento::setDato(int campo, const QString& valor) {
    if (campo >= 0 && campo < m_datos.size()) m_datos[campo] = valor;
}

void TDocumento::setDato(const QString& campo, const QString& valor) {
    setDato(CampoPaciente(campo), valor);
}

void TDocumento::AnadirEtiqueta() {
    m_etiquetas.push_back(m_datos);
    m_datos = QStringList(CamposPaciente().size());
}

PosicionEtiqueta TDocumento::Posicion(int n) const {
    PosicionEtiqueta p;
    const int columnas = std::max(1, m_columnas);
    const int porHoja = columnas * std::max(1, m_filas);
    const int indice = (FilaInicial() - 1) * columnas + (ColumnaInicial() - 1) + n;
    p.hoja = indice / porHoja;
    p.fila = (indice % porHoja) / columnas;
    p.columna = indice % columnas;
    p.x = MargenIzquierdo + p.columna * (AnchoEtiqueta + EspacioHorizontal);
    p.y = MargenSuperior + p.fila * (AltoEtiqueta + EspacioVertical);
    return p;
}

int TDocumento::NumeroHojas() const {
    return m_etiquetas.empty() ? 0 : Posicion(NumeroEtiquetas() - 1).hoja + 1;
}

QString TDocumento::NombreTipoDocumento(int tipo) {
    switch (tipo) {
    case 1: return QStringLiteral("Factura a cliente");
    case 2: return QStringLiteral("Factura a paciente");
    case 4: return QStringLiteral("Albaran a cliente");
    case 5: return QStringLiteral("Albaran a paciente");
    case 7: return QStringLiteral("Presupuesto a cliente");
    case 8: return QStringLiteral("Presupuesto a paciente");
    case 10: return QStringLiteral("Recibo a cliente");
    case 11: return QStringLiteral("Recibo a paciente");
    case 13: return QStringLiteral("Carné");
    case 15: return QStringLiteral("Receta con graduación");
    case 16: return QStringLiteral("Receta con lentilla");
    case 17: return QStringLiteral("Receta con audífono");
    case 19: return QStringLiteral("Resguardo");
    case 20: return QStringLiteral("Resguardo con graduación");
    case 21: return QStringLiteral("Resguado con lentilla");
    case 22: return QStringLiteral("Resguardo con audífono");
    case 24: return QStringLiteral("Garantia con graduación");
    case 25: return QStringLiteral("Garantia con lentilla");
    case 26: return QStringLiteral("Garantia con audífono");
    case 28: return QStringLiteral("Ficha de paciente");
    case 29: return QStringLiteral("Ficha de graduación");
    case 30: return QStringLiteral("Ficha de lentilla");
    case 31: return QStringLiteral("Ficha de audifono");
    case 32: return QStringLiteral("Ficha de audífono");
    case 34: return QStringLiteral("Etiqueta de paciente");
    case 35: return QStringLiteral("Etiqueta de cliente");
    case 36: return QStringLiteral("Etiqueta de proveedor");
    case 37: return QStringLiteral("Etiqueta de artículo");
    case 38: return QStringLiteral("Etiqueta de envio");
    case 100: return QStringLiteral("Etiqueta de artículo");
    case 101: return QStringLiteral("Etiqueta de paciente");
    case 102: return QStringLiteral("Etiqueta de cliente");
    case 103: return QStringLiteral("Etiqueta de proveedor");
    case 104: return QStringLiteral("Etiqueta de envio");
    default: return QString();
    }
}

QString TDocumento::Papel() const {
    return QStringLiteral("%1 x %2 mm").arg(medida(AnchoPapel), medida(AltoPapel));
}

QString TDocumento::Etiqueta() const {
    return QStringLiteral("%1 x %2 mm").arg(medida(AnchoEtiqueta), medida(AltoEtiqueta));
}

} // namespace quill
