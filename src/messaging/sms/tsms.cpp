#include "messaging/sms/tsms.h"

#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <algorithm>
#include <array>

namespace quill {

namespace {

constexpr std::array<int, 38> kPrefijos = {
    7,   30,  31,  32,  33,  34,  36,  39,  40,  41,  43,  44,  45,  46,  47,  48,  49,  90,  351,
    352, 353, 354, 356, 357, 358, 359, 370, 371, 372, 376, 380, 381, 382, 385, 386, 387, 420, 421};

// An attachment of its own to the shop database, so the records commit or roll back apart from
// whatever the host's transaction holds; closed and forgotten when the sending is recorded.
class Registro {
public:
    explicit Registro(const QString& conexion)
        : m_nombre(conexion + QStringLiteral("_sms_") +
                   QUuid::createUuid().toString(QUuid::Id128)) {
        QSqlDatabase db = QSqlDatabase::cloneDatabase(conexion, m_nombre);
        m_abierta = db.isValid() && db.open() && db.transaction();
    }
    ~Registro() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_nombre, false);
            if (db.isOpen()) {
                if (!m_hecho) db.rollback();
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(m_nombre);
    }
    bool abierta() const { return m_abierta; }
    // Runs an insert and asks its key procedure for the new row's key; -1 when it failed.
    int insertar(const QString& sql, const QVariantList& valores, const QString& procedimiento) {
        QSqlDatabase db = QSqlDatabase::database(m_nombre, false);
        QSqlQuery q(db);
        if (!q.prepare(sql)) return -1;
        for (int i = 0; i < valores.size(); ++i)
            q.bindValue(i, valores.at(i));
        if (!q.exec()) return -1;
        QSqlQuery id(db);
        if (!id.exec(QStringLiteral("SELECT ID FROM ") + procedimiento) || !id.next()) return -1;
        return id.value(0).toInt();
    }
    bool confirmar() {
        m_hecho = QSqlDatabase::database(m_nombre, false).commit();
        return m_hecho;
    }

private:
    QString m_nombre;
    bool m_abierta = false;
    bool m_hecho = false;
};

} // namespace

TSMS::TSMS(const QString& conexion, const QString& carpeta) : m_conexion(conexion) {
    Configuracion.Reiniciar();
    Configuracion.Cargar();
    Cliente = std::make_unique<TMensario>(carpeta);
    Cliente->Reiniciar();
}

TSMS::~TSMS() = default;

bool TSMS::PrefijoAceptado(int prefijo) {
    return std::find(kPrefijos.begin(), kPrefijos.end(), prefijo) != kPrefijos.end();
}

int TSMS::Validar() {
    Validos.clear();
    Omitidos.clear();
    if (De.isEmpty()) return sms::SinRemitente;
    if (Mensaje.isEmpty()) return sms::SinMensaje;
    if (FechaEnvio.isValid()) {
        const QDateTime ahora = QDateTime::currentDateTime();
        if (FechaEnvio < ahora) return sms::FechaNoValida;
        if (FechaEnvio > ahora.addDays(365)) return sms::FechaDemasiadoLejana;
    }
    if (Telefonos.isEmpty()) return sms::SinTelefonos;
    for (Telefono& t : Telefonos) {
        Normalizar(t);
        (EsValido(t) ? Validos : Omitidos).append(t);
    }
    return 0;
}

void TSMS::Normalizar(Telefono& t) {
    if (!PrefijoAceptado(t.Prefijo)) t.Prefijo = 34;
    QString cifras;
    for (QChar c : t.Telefono)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) cifras.append(c);
    t.Telefono = cifras;
}

bool TSMS::EsValido(const Telefono& t) {
    const QString& c = t.Telefono;
    return c.size() == 9 && (c.at(0) == QLatin1Char('6') || c.at(0) == QLatin1Char('7'));
}

int TSMS::Enviar() {
    if (const int v = Validar()) return v;
    const int proveedor = Proveedor == -1 ? Configuracion.Proveedor : Proveedor;
    if (proveedor != 0) return 0; // no other provider sends anything
    Cliente->Reiniciar();
    Cliente->setDe(De);
    Cliente->setMensaje(Mensaje);
    Cliente->setFechaEnvio(FechaEnvio);
    for (const Telefono& t : Validos) {
        TMensario::Destinatario d;
        d.Telefono = t.Telefono;
        d.Prefijo = t.Prefijo;
        Cliente->Destinatarios.append(d);
    }
    if (const int r = Cliente->Enviar()) return r;
    IdMensaje = Cliente->IdPeticion;
    Coste = Cliente->Coste;
    Registrar(proveedor);
    return 0;
}

void TSMS::Registrar(int proveedor) {
    m_idMaestro = -1;
    Registro r(m_conexion);
    if (!r.abierta()) return; // the sending stands; only its record is missing
    const bool programado = FechaEnvio.isValid();
    const int estado = programado ? 1 : 0;
    m_idMaestro = r.insertar(
        QStringLiteral("insert into sms_maestro (id_mensaje, id_operacion, tipo_operacion, de, "
                       "mensaje, fecha, estado, proveedor) values (:id_mensaje, :id_operacion, "
                       ":tipo_operacion, :de, :mensaje, :fecha, :estado, :proveedor)"),
        {IdMensaje, IdOperacion, TipoOperacion, De, Mensaje,
         programado ? FechaEnvio : QDateTime::currentDateTime(), estado, proveedor},
        QStringLiteral("ID_SMS_MAESTRO"));
    // A master row that could not be written is not reported: the sending went out.
    if (m_idMaestro == -1) return;
    if (proveedor == 0)
        for (const TMensario::Destinatario& d : Cliente->Destinatarios)
            r.insertar(
                QStringLiteral("insert into sms_detalle (id_sms_maestro, id_sms, estado, "
                               "prefijo, telefono) values (:id_sms_maestro, :id_sms, "
                               ":estado, :prefijo, :telefono)"),
                {m_idMaestro, d.IdMensaje >= 0 ? d.IdMensaje : -1, estado, d.Prefijo, d.Telefono},
                QStringLiteral("ID_SMS_DETALLE"));
    if (!r.confirmar()) m_idMaestro = -1;
}

QString TSMS::TextoResultado() const {
    QString t = QStringLiteral("El coste del envío ha sido de ") + QString::number(Coste) +
                QStringLiteral("\n\nSe ha enviado un total de ") + QString::number(Validos.size()) +
                QStringLiteral(" mensaje(s).");
    if (!Omitidos.isEmpty())
        t += QStringLiteral("\n\nSe ha omitido un total de  ") + QString::number(Omitidos.size()) +
             QStringLiteral(" mensaje(s) por no ser un número correcto.");
    return t;
}

} // namespace quill
