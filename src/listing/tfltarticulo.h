#pragma once

// The article picker bridge: hands the host block and an article-selection table to the picker
// library of the program folder ("fltCampoArticulo.dll"), and turns the selection into the
// condition row's fragment.

#include "conditions/construir.h"
#include "platform/libreria.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace quill {
class MemTable;
class TLstSentPaciente;
} // namespace quill

class TFltArticulo : public QObject {
    Q_OBJECT
public:
    // Answers of Ejecutar.
    static constexpr qint16 Correcto = 0;
    static constexpr qint16 Cancelado = -2800;        // the picker answered 2
    static constexpr qint16 SinLibreria = -11800;     // the library cannot be loaded
    static constexpr qint16 SinPuntoEntrada = -11801; // _Cargar_Dll or _Liberar_Dll is missing
    // What the condition row's Condicion1 shows once articles were picked.
    static const QString TextoSeleccion; // "[Artículos Seleccionados]"

    // Created with the owner (slot 1) and the two database handles (slots 2 and 3) of the host.
    TFltArticulo(QObject* owner, const QString& conexion, const QString& conexionDefecto);
    // Lets the picker free what it keeps, when it was loaded.
    ~TFltArticulo() override;

    QString Conexion() const { return m_conexion; }
    QString ConexionDefecto() const { return m_conexionDefecto; }

    // The host block (its slot 6 names the program folder); not copied.
    void setBloque(const std::intptr_t* bloque) { m_bloque = bloque; }
    const std::intptr_t* Bloque() const { return m_bloque; }
    // The condition row's selection table; not owned.
    void setTabla(quill::MemTable* tabla) { m_tabla = tabla; }
    quill::MemTable* Tabla() const { return m_tabla; }
    // Product line of the field: 2 spectacles (91), 3 contact lenses (129), 4 hearing aids (192).
    void setTipoListado(qint16 tipo) { m_tipoListado = tipo; }
    qint16 TipoListado() const { return m_tipoListado; }

    // Loads the picker from the program folder (once; a failed load is tried again next time),
    // resolves both entry points and runs the picker on the table: Correcto, Cancelado,
    // SinLibreria or SinPuntoEntrada. Error() says why when it is not Correcto.
    qint16 Ejecutar();
    // setBloque, setTabla, setTipoListado and Ejecutar, as the window's BuscarArticulo does.
    qint16 BuscarArticulos(const std::intptr_t* bloque, quill::MemTable* tabla, qint16 tipoListado);
    QString Error() const { return m_error; }

    // The program folder of a host block (empty when the block has no settings object).
    static QString CarpetaPrograma(const std::intptr_t* bloque);

    // The condition row's Condicion1 after the picker: TextoSeleccion when it answered Correcto
    // and the table's current row has a Condicion1, otherwise an empty text.
    static QString TextoCondicion1(qint16 respuesta, const quill::MemTable* tabla);

private:
    QString m_conexion;
    QString m_conexionDefecto;
    const std::intptr_t* m_bloque = nullptr;
    quill::MemTable* m_tabla = nullptr;
    qint16 m_tipoListado = 0;
    quill::Library m_libreria;
    QString m_error;
};

// How an article selection restricts a listing is decided with the other condition rows.
using quill::GeneradorArticulo;
using quill::SentenciaArticulos;
using quill::UnirSentenciasArticulos;
