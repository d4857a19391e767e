#pragma once

// The listing kinds, one descriptor each: what the window's routing and `listado` read to run a
// kind. Adding a kind means adding its data module and its descriptor here.

#include "output/export/columnas.h"
#include "output/labels/generaretiquetas.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

namespace quill {

class ListingModule;
class MemTable;
namespace print {
class InformeListado;
} // namespace print

// Action codes, as the window stores them in Accion before the routed method runs.
namespace accion {
inline constexpr qint16 Imprimir = 0;
inline constexpr qint16 Etiqueta = 2;
inline constexpr qint16 Exportar = 3;
inline constexpr qint16 Conteo = 4;
inline constexpr qint16 Correo = 5;
inline constexpr qint16 SMS = 6;
inline constexpr qint16 FicheroSMS = 9;
} // namespace accion

// A result table and the columns an output shows of it.
struct TablaSalida {
    const MemTable* tabla = nullptr;
    ExportColumnSet columnas;
};

// The table the e-mail reads its recipients from: a per-patient result table (address field
// "E_MAIL" in any case, or "EMail"; name "NombreEMail"), or, when null, the raw form over the
// module's open result (E_MAIL, NOMBRE and APELLIDOS).
struct TablaCorreo {
    const MemTable* tabla = nullptr;
};

struct DescriptorListado {
    qint16 codigo = 0;
    QString nombre;            // on the command line: general, consumo, ...
    QString titulo;            // as the kinds panel names it
    QString tituloCondiciones; // above the condition grid
    // The routed method of each action column: print, labels, export (and SMS file), count,
    // e-mail, SMS. Empty: the action does nothing for this kind (its item is disabled).
    std::array<QString, 6> metodos;
    // Whether the user may choose between all and any of the conditions.
    bool todasOCualquiera = true;
    // What the print options offer: the report types (index = type), the order codes
    // (NombreOrden gives their names), whether the currencies are asked for, and the report
    // printed for each type.
    QStringList tiposInforme;
    QList<qint16> ordenes;
    bool conMonedas = false;
    QStringList informes;
    // The kind's data module; empty while its statement is not built.
    std::function<std::unique_ptr<ListingModule>()> crearModulo;
    // After a run: the exported table with its column set (`ids`: the Id of every condition
    // row, which adds columns), and the SMS-file table (also what the mass SMS walks).
    std::function<TablaSalida(ListingModule&, const QList<double>& ids)> exportacion;
    std::function<TablaSalida(ListingModule&)> tablaSMS;

    // E-mail: after a run, the table the recipients come from. Empty: the kind has no e-mail.
    std::function<TablaCorreo(ListingModule&)> tablaCorreo;

    // ---- Printing ----
    // The report form of a report type (index of tiposInforme; the prescription kind passes its
    // format) over the module's last run, the forms reading the shop database `conexion`; null
    // for a type the kind does not print. Empty while the kind's reports are not built.
    std::function<std::unique_ptr<print::InformeListado>(ListingModule&, int tipo,
                                                         const QString& conexion)>
        crearInforme;

    // Labels: after a run, the result table the label loop walks and whether a patient met
    // again is skipped. Empty while the kind prints no labels.
    std::function<FuenteEtiquetas(ListingModule&)> etiquetas;

    bool Disponible() const { return bool(crearModulo); }
    // The routed method of an action; empty for an action the kind does not have.
    QString Metodo(qint16 accion) const;
    bool Admite(qint16 accion) const { return !Metodo(accion).isEmpty(); }

    // --- Mass SMS ---
    // After a run: the kind's SMS table filled with every non-empty mobile as stored, in result
    // order and with the kind's repeat rule (the sending checks and normalises the numbers
    // itself). Empty: the kind has no mass SMS.
    std::function<const MemTable*(ListingModule&)> telefonosSMS;
};

// The name of an action as the window's items show it ("Imprimir", "Conteo", ...).
QString NombreAccion(qint16 accion);

// Why an action cannot run for a kind, in the user's words; empty when it can. A kind that
// does not have the action says so; an action whose output is not built yet for the kind says
// it is not available yet (never the internal-error message, which is for real failures). The
// window and `listado` both ask here before running anything.
QString MotivoAccionNoDisponible(const DescriptorListado& descriptor, qint16 accion);

// The seven kinds in code order (0 General ... 6 Garantías).
const QList<DescriptorListado>& Listados();
// A kind by code; null outside 0..6.
const DescriptorListado* Listado(int codigo);
// A kind from its code (0-6) or its command-line name; -1 when it is neither.
int CodigoListado(const QString& texto);

// The name the print options give an order code: 3 "Código", 18 "Apellidos", 21 "Direccion",
// 22 "Fecha Nacimiento", 23 "Fecha 1ª Visita", 24 "Fecha Ult. Visita", 26 "F. Garantía",
// 27 "Consumo"; empty for any other code.
QString NombreOrden(qint16 orden);

} // namespace quill
