#include "conditions/tlstfiltros.h"

#include "conditions/filtros.h"
#include "platform/datapacket.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "sql/lstconfiguracion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>
#include <exception>

using quill::FieldType;
using quill::MemTable;

namespace {

// Field names of a saved filter, in file order.
const QString kTipoListado = QStringLiteral("TipoListado");
const QString kIdCampo1 = QStringLiteral("IdCampo1");
const QString kIdCampo2 = QStringLiteral("IdCampo2");
const QString kTipoCondicion = QStringLiteral("TipoCondicion");
const QString kTipoUnion = QStringLiteral("TipoUnion");
const QString kCondicion = QStringLiteral("Condicion");
const QString kCondicionIds = QStringLiteral("CondicionIds");
const QString kTipoObjeto = QStringLiteral("TipoObjeto");
const QString kValor1 = QStringLiteral("Valor1");
const QString kValor2 = QStringLiteral("Valor2");

const QString kVacio = QStringLiteral("Vacío");
const QString kNoVacio = QStringLiteral("No Vacío");
constexpr int kCodigoVacio = 8;
constexpr int kCodigoNoVacio = 9;

bool esNumero(FieldType t) {
    return t == FieldType::Integer || t == FieldType::SmallInt || t == FieldType::Float ||
           t == FieldType::Currency;
}

bool esTexto(FieldType t) {
    return t == FieldType::String || t == FieldType::Memo;
}

// A number read from the file as an integer: doubles are truncated, a missing value gives
// `vacio`.
int entero(const MemTable& t, const QString& campo, int vacio) {
    if (t.isNull(campo)) return vacio;
    const double v = t.value(campo).toDouble();
    if (!std::isfinite(v)) return vacio;
    return static_cast<int>(std::trunc(v));
}

} // namespace

TLstFiltros::TLstFiltros(QObject* owner)
    : QObject(owner), m_datos(new MemTable(QStringLiteral("cdsFiltro"), this)) {
    setObjectName(QStringLiteral("LstFiltros"));
}

TLstFiltros::~TLstFiltros() = default;

QString TLstFiltros::Ruta() const {
    return CarpetaFiltros() + QDir::separator() + m_nombreFichero + QStringLiteral(".xml");
}

int TLstFiltros::CodigoDeOperador(const QString& texto) {
    // "Vacío" and "No Vacío" have no code in the configuration's table; they follow it.
    if (texto == kVacio) return kCodigoVacio;
    if (texto == kNoVacio) return kCodigoNoVacio;
    return quill::TLstConfiguracion::CodigoOperador(texto);
}

QString TLstFiltros::TextoDeOperador(int codigo) {
    if (codigo == kCodigoVacio) return kVacio;
    if (codigo == kCodigoNoVacio) return kNoVacio;
    return quill::TLstConfiguracion::TextoOperador(codigo);
}

QString TLstFiltros::ComprobarCampos(const MemTable& tabla) {
    for (const QString& campo :
         {kTipoListado, kIdCampo1, kIdCampo2, kTipoCondicion, kTipoUnion, kTipoObjeto}) {
        const int i = tabla.fieldIndex(campo);
        if (i < 0) return QStringLiteral("Falta el campo %1").arg(campo);
        if (!esNumero(tabla.fieldDef(i).type))
            return QStringLiteral("El campo %1 no es numérico").arg(campo);
    }
    for (const QString& campo : {kCondicion, kCondicionIds}) {
        const int i = tabla.fieldIndex(campo);
        if (i < 0) return QStringLiteral("Falta el campo %1").arg(campo);
        if (!esTexto(tabla.fieldDef(i).type))
            return QStringLiteral("El campo %1 no es de texto").arg(campo);
    }
    return QString();
}

qint16 TLstFiltros::fallo(qint16 codigo, const QString& motivo) {
    m_resultado = codigo;
    m_error = motivo;
    return codigo;
}

qint16 TLstFiltros::crearDesdePlantilla(const QString& ruta) {
    if (CarpetaPaquetes().isEmpty())
        return fallo(ErrorPlantilla,
                     QStringLiteral("No está indicada la carpeta de paquetes de datos"));
    if (CarpetaFiltros().isEmpty())
        return fallo(ErrorPlantilla, QStringLiteral("No está indicada la carpeta de los filtros"));
    const QString plantilla =
        CarpetaPaquetes() + QDir::separator() + QLatin1String(quill::kFicheroModeloFiltro);
    QFile origen(plantilla);
    if (!origen.open(QIODevice::ReadOnly))
        return fallo(ErrorPlantilla, QStringLiteral("No se puede leer la plantilla '%1': %2")
                                         .arg(plantilla, origen.errorString()));
    const QByteArray bytes = origen.readAll();
    // A template that is not a filter would make every filter saved from it unreadable.
    MemTable prueba;
    QString error = quill::readDataPacket(prueba, bytes);
    if (error.isEmpty()) error = ComprobarCampos(prueba);
    if (!error.isEmpty())
        return fallo(ErrorPlantilla,
                     QStringLiteral("La plantilla '%1' no es válida: %2").arg(plantilla, error));

    if (!QDir().mkpath(CarpetaFiltros()))
        return fallo(ErrorPlantilla,
                     QStringLiteral("No se puede crear la carpeta '%1'").arg(CarpetaFiltros()));
    QSaveFile destino(ruta);
    if (!destino.open(QIODevice::WriteOnly) || destino.write(bytes) != bytes.size() ||
        !destino.commit())
        return fallo(ErrorPlantilla, QStringLiteral("No se puede escribir el archivo '%1': %2")
                                         .arg(ruta, destino.errorString()));
    return Correcto;
}

qint16 TLstFiltros::leer(const QString& ruta) {
    m_datos->close();
    m_ruta.clear();
    m_cambiado = false;
    QString error;
    if (!QFileInfo(ruta).isFile())
        error = QStringLiteral("El archivo '%1' no existe o no es un archivo").arg(ruta);
    else
        error = quill::loadDataPacket(*m_datos, ruta);
    if (error.isEmpty()) {
        error = ComprobarCampos(*m_datos);
        if (!error.isEmpty())
            error = QStringLiteral("El archivo '%1' no es un filtro guardado: %2").arg(ruta, error);
    }
    if (!error.isEmpty()) {
        m_datos->close();
        return fallo(ErrorFichero, error);
    }
    m_ruta = ruta;
    m_datos->first();
    m_resultado = Correcto;
    m_error.clear();
    return Correcto;
}

qint16 TLstFiltros::AbrirFichero() {
    m_creado = false;
    if (m_nombreFichero.isEmpty())
        return fallo(ErrorFichero, QStringLiteral("No se ha indicado el nombre del filtro"));
    if (CarpetaFiltros().isEmpty())
        return fallo(ErrorPlantilla, QStringLiteral("No está indicada la carpeta de los filtros"));
    const QString ruta = Ruta();
    if (!QFileInfo::exists(ruta)) {
        if (crearDesdePlantilla(ruta) != Correcto) {
            m_datos->close();
            m_ruta.clear();
            return m_resultado;
        }
        m_creado = true;
    }
    return leer(ruta);
}

qint16 TLstFiltros::AbrirExistente() {
    m_creado = false;
    if (m_nombreFichero.isEmpty())
        return fallo(OtroListado, QStringLiteral("No se ha indicado el nombre del filtro"));
    if (leer(m_nombreFichero) != Correcto) return fallo(OtroListado, m_error);
    if (m_datos->isEmpty() || entero(*m_datos, kTipoListado, -1) != m_tipoListado)
        return fallo(OtroListado,
                     QStringLiteral("El filtro '%1' no es de este listado").arg(m_nombreFichero));
    return Correcto;
}

bool TLstFiltros::Abierto() const {
    return m_datos->isOpen() && !m_ruta.isEmpty();
}

void TLstFiltros::BorrarRegistros() {
    if (!Abierto()) throw quill::Error(QStringLiteral("El filtro no está abierto"));
    // Reopening an in-memory dataset empties it; the fields stay. A file made from an older
    // template gets the typed-value fields now, so what is saved keeps its values.
    m_datos->close();
    for (const QString& campo : {kValor1, kValor2})
        if (m_datos->fieldIndex(campo) < 0) m_datos->addField(campo, quill::FieldType::Memo);
    m_datos->open();
    m_cambiado = true;
}

void TLstFiltros::AnadirRegistro() {
    if (!Abierto()) throw quill::Error(QStringLiteral("El filtro no está abierto"));
    m_codigoOperador = CodigoDeOperador(m_operador);
    m_datos->append();
    try {
        m_datos->setValue(kTipoListado, m_tipoListado);
        m_datos->setValue(kIdCampo1, m_idCampo1);
        m_datos->setValue(kIdCampo2, m_idCampo2);
        m_datos->setValue(kTipoCondicion, m_codigoOperador);
        m_datos->setValue(kTipoUnion, m_tipoUnion);
        m_datos->setValue(kCondicion, m_condicion);
        m_datos->setValue(kCondicionIds, m_condicionIds);
        m_datos->setValue(kTipoObjeto, m_tipoObjeto);
        if (m_datos->fieldIndex(kValor1) >= 0) m_datos->setValue(kValor1, m_valor1);
        if (m_datos->fieldIndex(kValor2) >= 0) m_datos->setValue(kValor2, m_valor2);
        m_datos->post();
    } catch (...) {
        m_datos->cancel();
        throw;
    }
    m_cambiado = true;
}

void TLstFiltros::LeerRegistro() {
    if (!Abierto() || m_datos->isEmpty())
        throw quill::Error(QStringLiteral("No hay ningún registro del filtro que leer"));
    // The listing kind is the holder's, set by the caller; records are only checked against it.
    m_idCampo1 = entero(*m_datos, kIdCampo1, -1);
    m_idCampo2 = entero(*m_datos, kIdCampo2, -1);
    m_codigoOperador = entero(*m_datos, kTipoCondicion, -1);
    m_operador = TextoDeOperador(m_codigoOperador);
    m_tipoUnion = entero(*m_datos, kTipoUnion, 0);
    m_condicion = m_datos->asString(kCondicion);
    m_condicionIds = m_datos->asString(kCondicionIds);
    m_tipoObjeto = entero(*m_datos, kTipoObjeto, 0);
    m_valor1 = m_datos->fieldIndex(kValor1) >= 0 ? m_datos->asString(kValor1) : QString();
    m_valor2 = m_datos->fieldIndex(kValor2) >= 0 ? m_datos->asString(kValor2) : QString();
}

void TLstFiltros::Siguiente() {
    if (m_datos->isOpen()) m_datos->next();
}

bool TLstFiltros::FinFichero() const {
    return !m_datos->isOpen() || m_datos->isEmpty() || m_datos->eof();
}

int TLstFiltros::NumeroRegistros() const {
    return m_datos->isOpen() ? m_datos->recordCount() : 0;
}

qint16 TLstFiltros::Cerrar() {
    qint16 r = Correcto;
    if (Abierto() && m_cambiado) {
        const QString error = quill::saveDataPacket(*m_datos, m_ruta);
        if (!error.isEmpty()) r = fallo(ErrorFichero, error);
    }
    m_datos->close();
    m_ruta.clear();
    m_cambiado = false;
    if (r == Correcto) m_resultado = Correcto;
    return r;
}

void TLstFiltros::Descartar() {
    m_datos->close();
    m_ruta.clear();
    m_cambiado = false;
}
