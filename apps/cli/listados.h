#pragma once

#include "comandos.h"
#include "condiciones.h"

#include "actions/ejecutor.h"

#include <memory>

namespace quill::cli {

// `listado sql`: the statement the listing's data module would run, on one line.
Comando ComandoSql();
// `listado conteo`: the number of patients, as the count window shows it.
Comando ComandoConteo();
// `listado exportar`: the listing written to a spreadsheet, HTML, text or XML file.
Comando ComandoExportar();

// The Qt connection name the commands open the shop database under.
extern const QString kConexion;

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

// What the commands that run a listing share: reading an integer option, the common start
// (kind, database, conditions, runner; -1 to go on, else the exit status), the messages of a
// run that found nothing or failed, and the option lists.
bool leerEntero(const Opciones& o, const QString& nombre, qint16 porDefecto, qint16& valor,
                QTextStream& errores);
int preparar(const Opciones& o, QTextStream& errores, bool conBase, qint16 accionPropia, Sesion& s);
int informarResultado(qint16 resultado, const EjecutorListado& e, QTextStream& errores);
QList<DefinicionOpcion> opcionesListado(bool particionObligatoria);
QList<DefinicionOpcion> opcionesOrden();
extern const QString kSalidas;

// A count as the count window shows it: thousands grouped with ".", no decimals ("1.234").
QString TextoConteo(double cuenta);

} // namespace quill::cli
