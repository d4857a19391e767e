#include "actions/ejecutor.h"

#include "output/export/exportwriters.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/listingmodule.h"

namespace quill {

EjecutorListado::EjecutorListado(const DescriptorListado& descriptor) : m_descriptor(descriptor) {}

EjecutorListado::~EjecutorListado() = default;

ListingModule* EjecutorListado::Modulo() {
    if (!m_modulo && m_descriptor.Disponible()) {
        m_modulo = m_descriptor.crearModulo();
        if (!m_conexion.isEmpty()) m_modulo->setConexion(m_conexion, m_transaccion);
    }
    return m_modulo.get();
}

void EjecutorListado::setConexion(const QString& conexion, const QString& transaccion) {
    m_conexion = conexion;
    m_transaccion = transaccion;
    if (m_modulo) m_modulo->setConexion(conexion, transaccion);
}

void EjecutorListado::Preparar(MemTable* condiciones, const QStringList& tablas,
                               const ParametrosListado& parametros, const QString& particion,
                               qint16 variante) {
    ListingModule* m = Modulo();
    if (!m) return;
    m->setCondiciones(condiciones);
    m->Tablas = tablas;
    m->AsignarParametros(parametros);
    m->AsignarParticion(particion);
    m->AsignarVariante(variante);
}

QStringList EjecutorListado::Sentencias(qint16 orden, qint16 sentido, bool todas) {
    ListingModule* m = Modulo();
    if (!m) throw Error(MensajeErrorInterno());
    return m->ConstruirSentencias(orden, sentido, todas);
}

qint16 EjecutorListado::Ejecutar(qint16 orden, qint16 sentido, bool todas) {
    ListingModule* m = Modulo();
    return m ? m->GenerarSQL(orden, sentido, todas) : kListadoErrorInterno;
}

qint16 EjecutorListado::EjecutarConteo(bool todas) {
    ListingModule* m = Modulo();
    return m ? m->GenerarSQLConteo(todas) : kListadoErrorInterno;
}

double EjecutorListado::Contar() {
    ListingModule* m = Modulo();
    if (!m) throw Error(MensajeErrorInterno());
    return m->ContarPacientes();
}

QString EjecutorListado::ErrorSQL() const {
    return m_modulo ? m_modulo->ErrorSQL() : QString();
}

QString EjecutorListado::Exportar(int tipo, const QString& fichero, bool sms,
                                  const QList<double>& ids, int* filas) {
    ListingModule* m = Modulo();
    if (!m || (sms ? !m_descriptor.tablaSMS : !m_descriptor.exportacion))
        return MensajeErrorInterno();
    const TablaSalida salida = sms ? m_descriptor.tablaSMS(*m) : m_descriptor.exportacion(*m, ids);
    // The rows are in the table: the engine's result and its sort memory can go before the
    // file is written.
    m->CerrarListado();
    if (!salida.tabla) return MensajeErrorInterno();
    if (filas) *filas = salida.tabla->recordCount();
    QString error = writeExport(tipo, *salida.tabla, salida.columnas, fichero);
    if (error.isEmpty() && sms) error = rewriteAsPlainText(fichero);
    return error;
}

void EjecutorListado::Cerrar() {
    if (m_modulo) m_modulo->CerrarListado();
}

QList<double> IdsCondiciones(const MemTable& condiciones) {
    QList<double> ids;
    for (int i = 0; i < condiciones.recordCount(); ++i)
        ids.append(LeerFila(condiciones, i).id);
    return ids;
}

} // namespace quill
