#include "listing/tfltarticulo.h"

#include "pickers_api.h"

#include "host/bloque.h"
#include "platform/memtable.h"
#include "sql/lstsentpaciente.h"

using quill::campo::Condicion1;

const QString TFltArticulo::TextoSeleccion = QStringLiteral("[Artículos Seleccionados]");

TFltArticulo::TFltArticulo(QObject* owner, const QString& conexion, const QString& conexionDefecto)
    : QObject(owner), m_conexion(conexion), m_conexionDefecto(conexionDefecto) {
    setObjectName(QStringLiteral("FltArticulo"));
}

TFltArticulo::~TFltArticulo() {
    if (!m_libreria.isLoaded()) return;
    if (auto liberar = m_libreria.resolveAs<pickers::LiberarArticuloFn>(pickers::kLiberarDll))
        liberar();
}

QString TFltArticulo::CarpetaPrograma(const std::intptr_t* bloque) {
    if (!bloque) return QString();
    const auto* puesto = quill::slotObject<quill::TConfPuesto>(bloque, quill::SlotSettings);
    return puesto ? puesto->CarpetaPrograma : QString();
}

qint16 TFltArticulo::Ejecutar() {
    m_error.clear();
    if (!m_libreria.isLoaded()) {
        const QString carpeta = CarpetaPrograma(m_bloque);
        // Never from wherever the process happens to stand.
        if (carpeta.trimmed().isEmpty()) {
            m_error = QStringLiteral("No se conoce la carpeta del programa, donde está el "
                                     "buscador de artículos");
            return SinLibreria;
        }
        if (!m_libreria.load(carpeta, QString::fromLatin1(pickers::kLibreriaArticulo))) {
            m_error = m_libreria.errorString();
            return SinLibreria;
        }
    }
    const auto cargar = m_libreria.resolveAs<pickers::CargarArticuloFn>(pickers::kCargarDll);
    if (!cargar) {
        m_error = m_libreria.errorString();
        return SinPuntoEntrada;
    }
    if (!m_libreria.resolve(pickers::kLiberarDll)) {
        m_error = m_libreria.errorString();
        return SinPuntoEntrada;
    }
    const int respuesta = cargar(m_bloque, m_tabla, m_tipoListado);
    if (respuesta == pickers::kArticuloAceptado) return Correcto;
    // Any answer but 0 leaves the table as the picker found it.
    m_error = respuesta == pickers::kArticuloCancelado
                  ? QStringLiteral("No se han seleccionado artículos")
                  : QStringLiteral("El buscador de artículos ha respondido %1").arg(respuesta);
    return Cancelado;
}

qint16 TFltArticulo::BuscarArticulos(const std::intptr_t* bloque, quill::MemTable* tabla,
                                     qint16 tipoListado) {
    setBloque(bloque);
    setTabla(tabla);
    setTipoListado(tipoListado);
    return Ejecutar();
}

QString TFltArticulo::TextoCondicion1(qint16 respuesta, const quill::MemTable* tabla) {
    if (respuesta != Correcto || !tabla || !tabla->isOpen() || tabla->isEmpty() ||
        !tabla->hasField(Condicion1))
        return QString();
    return tabla->asString(Condicion1).isEmpty() ? QString() : TextoSeleccion;
}
