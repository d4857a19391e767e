#include "listing/tfltarticulo.h"

#include "../../plugins/pickers/pickers_api.h"

#include "host/bloque.h"
#include "platform/memtable.h"
#include "sql/lstsentpaciente.h"

namespace {

const QString kId = QStringLiteral("Id");
const QString kCondicion = QStringLiteral("Condicion");
const QString kCondicion1 = QStringLiteral("Condicion1");
const QString kCondicion2 = QStringLiteral("Condicion2");
const QString kIdsCondicion1 = QStringLiteral("IdsCondicion1");

// A field of a visible row as text; empty when the table lacks the field.
QString texto(const quill::MemTable& t, int fila, int campo) {
    return campo < 0 ? QString() : t.textAt(fila, campo);
}

} // namespace

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
        !tabla->hasField(kCondicion1))
        return QString();
    return tabla->asString(kCondicion1).isEmpty() ? QString() : TextoSeleccion;
}

QString UnirSentenciasArticulos(const QStringList& fragmentos) {
    QStringList partes;
    for (const QString& f : fragmentos) {
        const QString t = f.trimmed();
        if (!t.isEmpty()) partes << QLatin1Char('(') + t + QLatin1Char(')');
    }
    return partes.join(QStringLiteral(" AND "));
}

QString SentenciaArticulos(quill::TLstSentPaciente& constructor, qint16 tipoListado,
                           const quill::MemTable& seleccion, const GeneradorArticulo& generar) {
    const QStringList tablasAntes = constructor.Tablas();
    const int fId = seleccion.fieldIndex(kId);
    const int fCondicion = seleccion.fieldIndex(kCondicion);
    const int fCondicion1 = seleccion.fieldIndex(kCondicion1);
    const int fCondicion2 = seleccion.fieldIndex(kCondicion2);
    const int fIds = seleccion.fieldIndex(kIdsCondicion1);
    constructor.setTipoListado(tipoListado);
    QStringList fragmentos;
    QStringList ids;
    try {
        for (int fila = 0; fila < seleccion.recordCount(); ++fila) {
            const QVariant id = fId < 0 ? QVariant() : seleccion.valueAt(fila, fId);
            ids = texto(seleccion, fila, fIds).split(QLatin1Char(';'), Qt::SkipEmptyParts);
            for (QString& i : ids)
                i = i.trimmed();
            constructor.setId(id.isNull() ? -1.0 : id.toDouble());
            constructor.setCondicion(texto(seleccion, fila, fCondicion));
            constructor.setCondicion1(texto(seleccion, fila, fCondicion1));
            constructor.setCondicion2(texto(seleccion, fila, fCondicion2));
            constructor.setLista(&ids);
            fragmentos << (generar ? generar(constructor) : constructor.GenerarSentenciaConsumo());
        }
    } catch (...) {
        // A refused condition leaves no table of the conditions before it behind.
        constructor.setLista(nullptr);
        constructor.VaciarTablas();
        for (const QString& t : tablasAntes)
            constructor.AnadirTabla(t);
        throw;
    }
    // The ids list dies here; the builder must not keep pointing at it.
    constructor.setLista(nullptr);
    return UnirSentenciasArticulos(fragmentos);
}
