#pragma once

// What the commands that run a listing share (defined in listados.cpp): the session that
// closes the shop database, the common start (kind, database, conditions, runner), the
// messages of a run that found nothing, and the common options.

#include "comandos.h"
#include "condiciones.h"

#include "actions/ejecutor.h"

#include <memory>

namespace quill::cli {

// Closes the shop database when the command ends, whatever path it takes; the runner and its
// data module, which hold queries on it, go first.
class Sesion {
public:
    Sesion() = default;
    ~Sesion();
    Sesion(const Sesion&) = delete;
    Sesion& operator=(const Sesion&) = delete;

    void marcarAbierta() { m_abierta = true; }
    bool abierta() const { return m_abierta; }

    CondicionesListado condiciones;
    std::unique_ptr<EjecutorListado> ejecutor;

private:
    bool m_abierta = false;
};

// Kind, database (when conBase), conditions and the kind's runner prepared as the window hands
// them over, after asking whether the kind has the action. -1 to go on, or the exit status.
int preparar(const Opciones& o, QTextStream& errores, bool conBase, qint16 accionPropia, Sesion& s);
// The messages of a run that found nothing or failed; the exit status.
int informarResultado(qint16 resultado, const EjecutorListado& e, QTextStream& errores);
// --tipo, --condiciones, --particion, --cualquiera, --paquetes, --variante.
QList<DefinicionOpcion> opcionesListado(bool particionObligatoria);
// --orden, --sentido.
QList<DefinicionOpcion> opcionesOrden();
// The whole number of option `nombre` (porDefecto when it is not given); false after saying why
// a given text is not one.
bool leerEntero(const Opciones& o, const QString& nombre, qint16 porDefecto, qint16& valor,
                QTextStream& errores);

} // namespace quill::cli
