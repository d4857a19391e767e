#include "listing/tbuscarpaciente.h"

#include "pickers_api.h"

#include "listing/tfltarticulo.h"

TBuscarPaciente::TBuscarPaciente(QObject* owner, const QString& conexion,
                                 const QString& conexionDefecto)
    : QObject(owner), m_conexion(conexion), m_conexionDefecto(conexionDefecto) {
    setObjectName(QStringLiteral("BuscarPaciente"));
}

TBuscarPaciente::~TBuscarPaciente() = default;

int TBuscarPaciente::Ejecutar() {
    m_error.clear();
    if (!m_libreria.isLoaded()) {
        const QString carpeta = TFltArticulo::CarpetaPrograma(m_bloque);
        if (carpeta.trimmed().isEmpty()) {
            m_error = QStringLiteral("No se conoce la carpeta del programa, donde está el "
                                     "buscador de pacientes");
            return SinLibreria;
        }
        if (!m_libreria.load(carpeta, QString::fromLatin1(pickers::kLibreriaPaciente))) {
            m_error = m_libreria.errorString();
            return SinLibreria;
        }
    }
    const auto cargar = m_libreria.resolveAs<pickers::CargarPacienteFn>(pickers::kCargarDll);
    if (!cargar) {
        m_error = m_libreria.errorString();
        return SinPuntoEntrada;
    }
    const int codigo = cargar(m_bloque);
    if (codigo > 0) return codigo;
    m_error = codigo == pickers::kPacienteCancelado
                  ? QStringLiteral("No se ha elegido ningún paciente")
                  : QStringLiteral("No se ha podido abrir el buscador de pacientes");
    return Cancelado;
}

int TBuscarPaciente::Buscar(const std::intptr_t* bloque) {
    setBloque(bloque);
    return Ejecutar();
}
