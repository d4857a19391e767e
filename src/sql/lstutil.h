#pragma once

#include "business/moneda.h"

#include <QDate>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

namespace quill {

class LocalidadCache;
class MaestroCache;

// Turns stored values into the texts that reports, exports and result tables show. Every
// operation returns its text and also keeps it as the last result (Resultado()). Locality,
// record and lens-type look-ups read caches loaded once, never one query per row.
class TLstUtil {
public:
    // connectionName: the Qt connection of the shop database the caches are read from.
    explicit TLstUtil(const QString& connectionName = QString());
    ~TLstUtil();

    const QString& Resultado() const { return m_resultado; }

    // --- formatting ---
    // "30/12/1899" (the empty date) and "30/05/2079" (open-ended) give an empty text; any other
    // text is returned unchanged.
    QString Fecha(const QString& fecha);
    // The amount in the first currency, or in the second when segundaMoneda is set.
    QString Importe(double importe, bool segundaMoneda = false);
    QString Numero(double valor);                                // "#,##0.00 "
    QString Porcentaje(double valor);                            // "#,##0.00 %"
    QString PorcentajeCorto(double valor);                       // "0.00 %"
    QString Par(const QString& primero, const QString& segundo); // "a / b"
    QString SiNo(int codigo);                                    // 0 "No", 1 "Si", otherwise empty
    QString Sexo(int codigo);            // 1 "Hombre", 2 "Mujer", otherwise empty
    QString EstadoDocumento(int codigo); // "Venta", "E.Terminado", "E.Pendiente", "E.Borrado"
    QString EstadoPedido(int codigo);    // "No", "Si", "PP", "PR"
    QString EstadoAviso(int codigo);     // "No", "Si", "PA", "AV"
    QString Decimal(double valor);       // "0.00"
    QString Decimal1(double valor);      // "#0.0"

    // --- optical measurements, from the stored text (decimal point or comma) ---
    // 98 empty, 99 "Compen", 97 "Neutro", otherwise "0.00" with "+" in front unless the stored
    // text itself begins with a sign. Empty or unreadable text gives an empty text.
    QString Graduacion(const QString& valor);
    // For measurements whose empty value is 400: 400 empty, 99 "Compen", 97 "Neutro", else "0.00".
    QString Graduacion400(const QString& valor);
    // Unsigned: 98 empty, 99 "Compen", 97 "Neutro", else "0.00".
    QString GraduacionSinSigno(const QString& valor);

    // --- localities, by ID_LOCALIDAD ---
    // "08001 - Barcelona (Barcelona)"; "[No definida]" for id 0 or without localities,
    // "[No Definida]" for an unknown id.
    QString Localidad(int idLocalidad);
    QString NombreLocalidad(int idLocalidad); // "[No Definida]" when there is none
    QString NombreProvincia(int idLocalidad); // "[No Definida]" when there is none
    QString CodigoPostal(int idLocalidad);    // "00000" form; "99999" when there is none

    // --- checks and look-ups ---
    // Whole years from the date text (day/month/year) to today; empty for the empty date or a
    // text that is not a date.
    QString Edad(const QString& fecha);
    // The nine digits of a Spanish mobile number, or an empty text when the telephone is not one.
    QString Movil(const QString& telefono);
    // Whether the patient has a contact-lens record (MLENTILLA) or a spectacle-prescription
    // record (MGRADUACION) with an identifier other than 0. Each family is read once, on first
    // use; OlvidarFichas() makes the next test read it again (and retries a failed locality
    // read: until then a failed read is not retried row after row).
    bool TieneLentillas(int idPaciente);
    bool TieneGraduacion(int idPaciente);
    void OlvidarFichas();
    // Description of a contact-lens type; empty when it is not found.
    QString DescripcionTLentilla(int idTLentilla);

    // Message of the last cache that could not be read; empty otherwise.
    QString Error() const { return m_error; }

    // --- set-up ---
    void setMonedas(const Moneda& primera, const Moneda& segunda);
    // Today for ages; the real date when never set.
    void setHoy(const QDate& hoy) { m_hoy = hoy; }
    // Callers without a database (tests, previews) may give their own caches.
    void setLocalidades(std::shared_ptr<LocalidadCache> cache);
    void setTiposLentilla(std::shared_ptr<MaestroCache> cache);
    void setFichas(const QSet<int>& pacientesConLentillas, const QSet<int>& pacientesConGraduacion);

private:
    const QString& devolver(QString texto);
    const LocalidadCache* localidades();
    bool tieneFicha(std::optional<QSet<int>>& pacientes, const char* sql, int idPaciente);

    QString m_connectionName;
    QString m_resultado;
    QString m_error;
    Moneda m_primera;
    Moneda m_segunda;
    QDate m_hoy;
    std::shared_ptr<LocalidadCache> m_localidades;
    bool m_localidadesLeidas = false;
    std::shared_ptr<MaestroCache> m_tiposLentilla;
    std::optional<QSet<int>> m_conLentillas;
    std::optional<QSet<int>> m_conGraduacion;
};

} // namespace quill
