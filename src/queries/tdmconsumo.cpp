#include "queries/tdmconsumo.h"

#include "conditions/condicion.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/modulopacientes.h"
#include "queries/tablas.h"
#include "sql/lstutil.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <array>
#include <vector>

using quill::DestinoTabla;
using quill::MemTable;
using quill::TextosLocalidad;

namespace {

// The consumption is the 27th column of the main statement; its sums have no names of their
// own.
constexpr int kColumnaConsumo = 26;

} // namespace

// Positions of the result columns, resolved once per walk (-1: not in this result).
struct TdmConsumo::Columnas {
    explicit Columnas(const QSqlRecord& r)
        : id(r.indexOf(QStringLiteral("ID_PACIENTE"))), codigo(r.indexOf(QStringLiteral("CODIGO"))),
          apellidos(r.indexOf(QStringLiteral("APELLIDOS"))),
          nombre(r.indexOf(QStringLiteral("NOMBRE"))),
          nombreCompleto(r.indexOf(QStringLiteral("NOMBRE_COMPLETO"))),
          movil(r.indexOf(QStringLiteral("TELEFONO_MOVIL"))),
          direccion(r.indexOf(QStringLiteral("DIRECCION"))),
          localidad(r.indexOf(QStringLiteral("ID_LOCALIDAD"))),
          sexo(r.indexOf(QStringLiteral("SEXO"))),
          nacimiento(r.indexOf(QStringLiteral("FECHA_NACIMIENTO"))),
          primeraVisita(r.indexOf(QStringLiteral("FECHA_PRIMERA_VISITA"))),
          ultimaVisita(r.indexOf(QStringLiteral("FECHA_ULTIMA_VISITA"))),
          carnet(r.indexOf(QStringLiteral("FECHA_CARNET"))),
          email(r.indexOf(QStringLiteral("E_MAIL"))), web(r.indexOf(QStringLiteral("WEB"))),
          correo(r.indexOf(QStringLiteral("CORREO"))),
          telefono(r.indexOf(QStringLiteral("TELEFONO"))),
          consumo(r.count() > kColumnaConsumo ? kColumnaConsumo : -1),
          operaciones(r.indexOf(QStringLiteral("NOPERACIONES"))) {}

    static QVariant valor(const QSqlQuery& q, int i) { return i < 0 ? QVariant() : q.value(i); }

    int id, codigo, apellidos, nombre, nombreCompleto, movil, direccion, localidad, sexo,
        nacimiento, primeraVisita, ultimaVisita, carnet, email, web, correo, telefono, consumo,
        operaciones;
};

TdmConsumo::TdmConsumo(QObject* owner)
    : quill::ListingModule(owner), memPacientes(new MemTable(QStringLiteral("memPacientes"), this)),
      memSMS(new MemTable(QStringLiteral("memSMS"), this)) {
    setObjectName(QStringLiteral("dmConsumo"));
    quill::definirMemPacientesConsumo(*memPacientes);
    quill::definirMemSMS(*memSMS);
    memPacientes->open();
    memSMS->open();
}

TdmConsumo::~TdmConsumo() {
    CerrarDetalle();
    CerrarListado();
}

quill::TLstUtil& TdmConsumo::Util() {
    if (!m_util || m_utilConexion != Conexion()) {
        m_util = std::make_unique<quill::TLstUtil>(Conexion());
        m_utilConexion = Conexion();
    }
    return *m_util;
}

void TdmConsumo::setUtil(std::unique_ptr<quill::TLstUtil> util) {
    m_util = std::move(util);
    m_utilConexion = Conexion();
}

QString TdmConsumo::ConstruirSQL(qint16 orden, qint16 sentido, bool todas) {
    return quill::GenerarSentenciasConsumo(LeerCondiciones(), Tablas, orden, sentido, todas)
        .principal;
}

QStringList TdmConsumo::ConstruirSentencias(qint16 orden, qint16 sentido, bool todas) {
    const quill::SentenciasConsumo s =
        quill::GenerarSentenciasConsumo(LeerCondiciones(), Tablas, orden, sentido, todas);
    return {s.principal, s.detalle};
}

QString TdmConsumo::ConstruirSQLConteo(bool todas) {
    return quill::GenerarSentenciaConteoConsumo(LeerCondiciones(), Tablas, todas);
}

void TdmConsumo::vaciarTablas() {
    quill::Reabrir(*memPacientes);
    quill::Reabrir(*memSMS);
}

qint16 TdmConsumo::GenerarSQLConsumo(qint16 orden, qint16 sentido, bool todas) {
    vaciarTablas();
    CerrarDetalle();
    const QList<quill::FilaCondicion> filas = LeerCondiciones();
    m_modo = quill::ModoConsumo(filas);
    const quill::SentenciasConsumo s =
        quill::GenerarSentenciasConsumo(filas, Tablas, orden, sentido, todas);
    m_detalle = s.detalle;
    return Ejecutar(s.principal);
}

qint16 TdmConsumo::GenerarSQLConteo(bool todas) {
    vaciarTablas();
    CerrarDetalle();
    const QList<quill::FilaCondicion> filas = LeerCondiciones();
    m_modo = quill::ModoConsumo(filas);
    m_detalle.clear();
    return Ejecutar(quill::GenerarSentenciaConteoConsumo(filas, Tablas, todas));
}

template <typename Fn> void TdmConsumo::recorrer(Fn fila) {
    if (Resultado != quill::kListadoCorrecto || !IrAlPrimero()) return;
    QSqlQuery& q = *dstListado();
    const Columnas c(q.record());
    // Patient codes repeat across data partitions: a patient is known by ID_PACIENTE.
    QSet<int> vistos;
    do {
        const int id = Columnas::valor(q, c.id).toInt();
        if (id == 0 || vistos.contains(id)) continue;
        vistos.insert(id);
        fila(q, c, id);
    } while (q.next());
}

double TdmConsumo::ContarPacientes() {
    double cuenta = 0;
    recorrer([&](const QSqlQuery&, const Columnas&, int) { cuenta += 1; });
    return cuenta;
}

void TdmConsumo::CrearTablaPaciente() {
    quill::Reabrir(*memPacientes);
    MemTable::ControlsDisabled sinAvisos(*memPacientes);
    // The patient fields, then the consumption and the number of operations.
    const int consumo = int(quill::CamposTablaPaciente().size());
    DestinoTabla d(*memPacientes,
                   quill::CamposTablaPaciente() + QStringList{"Consumo", "NOperaciones"});
    TextosLocalidad localidades(Util());
    recorrer([&](const QSqlQuery& q, const Columnas& c, int id) {
        quill::PonerPaciente(d, q, c, id, localidades);
        d.poner(consumo, Columnas::valor(q, c.consumo).toDouble());
        d.poner(consumo + 1, Columnas::valor(q, c.operaciones).toDouble());
        d.anadir();
    });
}

void TdmConsumo::CrearTablaSMS(bool comprobar) {
    quill::Reabrir(*memSMS);
    MemTable::ControlsDisabled sinAvisos(*memSMS);
    DestinoTabla d(*memSMS, {"Nombre", "Telefono"});
    recorrer([&](const QSqlQuery& q, const Columnas& c, int) {
        const QString leido = Columnas::valor(q, c.movil).toString();
        const QString movil = comprobar ? quill::ComprobarMovilConsumo(leido) : leido.trimmed();
        if (movil.isEmpty()) return;
        d.poner(0, Columnas::valor(q, c.nombreCompleto));
        d.poner(1, movil);
        d.anadir();
    });
}

QSqlQuery* TdmConsumo::AbrirDetalle(int idPaciente) {
    m_errorDetalle.clear();
    if (m_detalle.isEmpty()) {
        m_errorDetalle = QStringLiteral("No se ha generado el listado de consumo");
        return nullptr;
    }
    // Prepared once per run; each patient only binds and opens it again.
    if (!m_dstDetalle || m_detallePreparado != m_detalle || m_detalleConexion != Conexion()) {
        CerrarDetalle();
        QSqlDatabase db = QSqlDatabase::database(Conexion(), false);
        if (!db.isValid() || !db.isOpen()) {
            m_errorDetalle = QStringLiteral("La conexión '%1' con la base de datos no está abierta")
                                 .arg(Conexion());
            return nullptr;
        }
        auto q = std::make_unique<QSqlQuery>(db);
        q->setForwardOnly(true);
        if (!q->prepare(m_detalle)) {
            m_errorDetalle = q->lastError().text();
            return nullptr;
        }
        m_dstDetalle = std::move(q);
        m_detallePreparado = m_detalle;
        m_detalleConexion = Conexion();
    }
    m_dstDetalle->finish();
    m_dstDetalle->bindValue(QStringLiteral(":PACIENTE"), idPaciente);
    if (!m_dstDetalle->exec()) {
        m_errorDetalle = m_dstDetalle->lastError().text();
        return nullptr;
    }
    return m_dstDetalle.get();
}

void TdmConsumo::CerrarDetalle() {
    if (m_dstDetalle) {
        m_dstDetalle->finish();
        m_dstDetalle.reset();
    }
    m_detallePreparado.clear();
}
