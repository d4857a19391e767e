#include "queries/modulopacientes.h"

#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/tablas.h"
#include "sql/lstutil.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>

#include <algorithm>

namespace quill {

void Reabrir(MemTable& tabla) {
    tabla.close();
    tabla.open();
}

DestinoTabla::DestinoTabla(MemTable& tabla, const QStringList& campos) : m_tabla(tabla) {
    for (const QString& c : campos) {
        const int i = tabla.fieldIndex(c);
        if (i < 0)
            throw Error(
                QStringLiteral("La tabla '%1' no tiene el campo '%2'").arg(tabla.name(), c));
        m_indices.push_back(i);
    }
    m_valores.resize(tabla.fieldCount());
}

void DestinoTabla::anadir() {
    m_tabla.appendStored(m_valores);
    std::fill(m_valores.begin(), m_valores.end(), QVariant());
}

const std::array<QString, 3>& TextosLocalidad::operator()(int idLocalidad) {
    auto it = m_textos.find(idLocalidad);
    if (it == m_textos.end())
        it = m_textos.insert(idLocalidad,
                             {m_util.CodigoPostal(idLocalidad), m_util.NombreLocalidad(idLocalidad),
                              m_util.NombreProvincia(idLocalidad)});
    return *it;
}

ColumnasPaciente::ColumnasPaciente(const QSqlRecord& r)
    : id(r.indexOf(QStringLiteral("ID_PACIENTE"))), codigo(r.indexOf(QStringLiteral("CODIGO"))),
      apellidos(r.indexOf(QStringLiteral("APELLIDOS"))),
      nombre(r.indexOf(QStringLiteral("NOMBRE"))),
      nombreCompleto(r.indexOf(QStringLiteral("NOMBRE_COMPLETO"))),
      movil(r.indexOf(QStringLiteral("TELEFONO_MOVIL"))),
      direccion(r.indexOf(QStringLiteral("DIRECCION"))),
      vienePor(r.indexOf(QStringLiteral("VIENE_POR"))), sexo(r.indexOf(QStringLiteral("SEXO"))),
      nacimiento(r.indexOf(QStringLiteral("FECHA_NACIMIENTO"))),
      primeraVisita(r.indexOf(QStringLiteral("FECHA_PRIMERA_VISITA"))),
      ultimaVisita(r.indexOf(QStringLiteral("FECHA_ULTIMA_VISITA"))),
      carnet(r.indexOf(QStringLiteral("FECHA_CARNET"))),
      descuento(r.indexOf(QStringLiteral("ULTIMO_DESCUENTO"))),
      totalM1(r.indexOf(QStringLiteral("TOTAL_COMPRADO_M1"))),
      email(r.indexOf(QStringLiteral("E_MAIL"))), web(r.indexOf(QStringLiteral("WEB"))),
      nif(r.indexOf(QStringLiteral("NIF"))), correo(r.indexOf(QStringLiteral("CORREO"))),
      profesion(r.indexOf(QStringLiteral("PROFESION"))),
      telefono(r.indexOf(QStringLiteral("TELEFONO"))),
      totalM2(r.indexOf(QStringLiteral("TOTAL_COMPRADO_M2"))),
      tienda(r.indexOf(QStringLiteral("TIENDA"))),
      localidad(r.indexOf(QStringLiteral("ID_LOCALIDAD"))) {}

ModuloPacientes::ModuloPacientes(QObject* owner)
    : ListingModule(owner), memSMS(new MemTable(QStringLiteral("memSMS"), this)) {
    definirMemSMS(*memSMS);
    memSMS->open();
}

ModuloPacientes::~ModuloPacientes() {
    CerrarListado();
}

TLstUtil& ModuloPacientes::Util() {
    if (!m_util || m_utilConexion != Conexion()) {
        m_util = std::make_unique<TLstUtil>(Conexion());
        m_utilConexion = Conexion();
    }
    return *m_util;
}

void ModuloPacientes::setUtil(std::unique_ptr<TLstUtil> util) {
    m_util = std::move(util);
    m_utilConexion = Conexion();
}

qint16 ModuloPacientes::EjecutarListado(const QString& sentencia) {
    // Record tests read their tables again on the next run: the shop may have added records.
    if (m_util) m_util->OlvidarFichas();
    return Ejecutar(sentencia);
}

bool ModuloPacientes::PasaFiltros(int idPaciente) {
    if (!m_filtroLentillas && Util().TieneLentillas(idPaciente)) return false;
    if (!m_filtroGraduacion && Util().TieneGraduacion(idPaciente)) return false;
    return true;
}

double ModuloPacientes::ContarPacientes() {
    double cuenta = 0;
    Recorrer([&](const QSqlQuery&, const ColumnasPaciente&, int) { cuenta += 1; });
    return cuenta;
}

void ModuloPacientes::TablaSMS(bool comprobar) {
    Reabrir(*memSMS);
    MemTable::ControlsDisabled sinAvisos(*memSMS);
    DestinoTabla d(*memSMS, {QStringLiteral("Nombre"), QStringLiteral("Telefono")});
    TLstUtil& util = Util();
    Recorrer([&](const QSqlQuery& q, const ColumnasPaciente& c, int) {
        const QString leido = ColumnasPaciente::valor(q, c.movil).toString();
        const QString movil = comprobar ? util.Movil(leido) : leido.trimmed();
        if (movil.isEmpty()) return;
        d.poner(0, ColumnasPaciente::valor(q, c.nombreCompleto));
        d.poner(1, movil);
        d.anadir();
    });
}

QHash<int, QDate> ModuloPacientes::UltimasFichas(const QList<int>& pacientes) {
    QHash<int, QDate> fechas;
    for (int id : pacientes)
        fechas.insert(id, kFechaVaciaTienda);
    if (pacientes.isEmpty()) return fechas;
    QSqlDatabase db = QSqlDatabase::database(Conexion(), false);
    auto mayor = [&](int id, const QVariant& v) {
        if (v.isNull()) return;
        const QDate f = v.toDate();
        auto it = fechas.find(id);
        if (it != fechas.end() && f.isValid() && f > *it) *it = f;
    };
    const QString fallo = QStringLiteral("Error al leer la última ficha de los pacientes: ");
    if (pacientes.size() <= LimiteUltimaFichaPorPaciente) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.prepare(QStringLiteral("SELECT RES_FECHA_GRADUACION, RES_FECHA_LENTILLA, "
                                      "RES_FECHA_REPOSICION, RES_FECHA_AUDIFONO FROM "
                                      "BUSCAR_ULTIMA_FICHA(:ORG_ID)")))
            throw Error(fallo + q.lastError().text());
        for (int id : pacientes) {
            q.bindValue(QStringLiteral(":ORG_ID"), id);
            if (!q.exec()) throw Error(fallo + q.lastError().text());
            while (q.next())
                for (int i = 0; i < 4; ++i)
                    mayor(id, q.value(i));
        }
        return fechas;
    }
    // Many patients: the same maxima as the procedure, read once per table.
    for (const char* tabla : {"MGRADUACION", "MLENTILLA", "REPOSICION", "MAUDIFONO"}) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT ID_PACIENTE, MAX(FECHA) FROM %1 GROUP BY ID_PACIENTE")
                        .arg(QLatin1String(tabla))))
            throw Error(fallo + q.lastError().text());
        while (q.next())
            mayor(q.value(0).toInt(), q.value(1));
    }
    return fechas;
}

const QStringList& CamposTablaPaciente() {
    static const QStringList campos = {
        "IdPaciente",      "Codigo",       "Apellidos",   "Nombre",    "NombreCompleto",
        "Direccion",       "CodigoPostal", "Localidad",   "Provincia", "Telefono",
        "Movil",           "EMail",        "IdLocalidad", "VienePor",  "Sexo",
        "FNacimiento",     "FUltVisita",   "FPriVisita",  "FCarnet",   "UltDescuento",
        "TotalComprado",   "Web",          "Fotografia",  "Correo",    "Profesion",
        "TotalCompradoM2", "Tienda",       "Fotografia2"};
    return campos;
}

} // namespace quill
