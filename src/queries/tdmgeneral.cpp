#include "queries/tdmgeneral.h"

#include "conditions/construir.h"

#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/tablas.h"
#include "sql/lstutil.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <array>
#include <vector>

using quill::MemTable;

namespace {

// The shop's empty date.
const QDate kFechaVacia(1899, 12, 30);

// Appends rows to a result table by field name, resolved once per table.
class Destino {
public:
    Destino(MemTable& tabla, const QStringList& campos) : m_tabla(tabla) {
        for (const QString& c : campos) {
            const int i = tabla.fieldIndex(c);
            if (i < 0)
                throw quill::Error(
                    QStringLiteral("La tabla '%1' no tiene el campo '%2'").arg(tabla.name(), c));
            m_indices.push_back(i);
        }
        m_valores.resize(tabla.fieldCount());
    }
    // Value of the n-th field named at construction.
    void poner(int n, const QVariant& v) { m_valores[m_indices[size_t(n)]] = v; }
    void anadir() {
        m_tabla.appendStored(m_valores);
        std::fill(m_valores.begin(), m_valores.end(), QVariant());
    }

private:
    MemTable& m_tabla;
    std::vector<int> m_indices;
    QVariantList m_valores;
};

void reabrir(MemTable& t) {
    t.close();
    t.open();
}

// Postal code, locality and province of each locality met in one walk: many patients share a
// locality, and one text per locality is shared by all their rows.
class TextosLocalidad {
public:
    explicit TextosLocalidad(quill::TLstUtil& util) : m_util(util) {}
    const std::array<QString, 3>& operator()(int idLocalidad) {
        auto it = m_textos.find(idLocalidad);
        if (it == m_textos.end())
            it = m_textos.insert(idLocalidad, {m_util.CodigoPostal(idLocalidad),
                                               m_util.NombreLocalidad(idLocalidad),
                                               m_util.NombreProvincia(idLocalidad)});
        return *it;
    }

private:
    quill::TLstUtil& m_util;
    QHash<int, std::array<QString, 3>> m_textos;
};

} // namespace

// Positions of the result columns, by name, resolved once per walk (-1: not in this result).
struct TdmGeneral::Columnas {
    explicit Columnas(const QSqlRecord& r)
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

    static QVariant valor(const QSqlQuery& q, int i) { return i < 0 ? QVariant() : q.value(i); }

    int id, codigo, apellidos, nombre, nombreCompleto, movil, direccion, vienePor, sexo, nacimiento,
        primeraVisita, ultimaVisita, carnet, descuento, totalM1, email, web, nif, correo, profesion,
        telefono, totalM2, tienda, localidad;
};

TdmGeneral::TdmGeneral(QObject* owner)
    : quill::ListingModule(owner), memPacientes(new MemTable(QStringLiteral("memPacientes"), this)),
      memPacientesFecha(new MemTable(QStringLiteral("memPacientesFecha"), this)),
      memSMS(new MemTable(QStringLiteral("memSMS"), this)) {
    setObjectName(QStringLiteral("dmGeneral"));
    quill::definirMemPacientes(*memPacientes);
    quill::definirMemPacientesFecha(*memPacientesFecha);
    quill::definirMemSMS(*memSMS);
    memPacientes->open();
    memPacientesFecha->open();
    memSMS->open();
}

TdmGeneral::~TdmGeneral() {
    CerrarListado();
}

void TdmGeneral::AsignarParametros(const quill::ParametrosListado& parametros) {
    Familias = parametros.familias;
}

quill::TLstUtil& TdmGeneral::Util() {
    if (!m_util || m_utilConexion != Conexion()) {
        m_util = std::make_unique<quill::TLstUtil>(Conexion());
        m_utilConexion = Conexion();
    }
    return *m_util;
}

void TdmGeneral::setUtil(std::unique_ptr<quill::TLstUtil> util) {
    m_util = std::move(util);
    m_utilConexion = Conexion();
}

quill::DatosSentenciaGeneral TdmGeneral::datos() {
    quill::DatosSentenciaGeneral d;
    d.filas = LeerCondiciones();
    d.tablas = Tablas;
    d.particion = m_particion;
    d.separarCualquiera = SepararCualquiera;
    // Flags and slots start afresh on every run; the lists handed over stay.
    m_analisis = quill::AnalizarCondicionesGeneral(d.filas, Familias);
    d.analisis = m_analisis;
    return d;
}

QString TdmGeneral::ConstruirSQL(qint16 orden, qint16 sentido, bool todas) {
    return quill::GenerarSentenciaGeneral(datos(), quill::FormaSentencia::Listado, orden, sentido,
                                          todas);
}

QString TdmGeneral::ConstruirSQLConteo(bool todas) {
    return quill::GenerarSentenciaGeneral(datos(), quill::FormaSentencia::Conteo, 0, 0, todas);
}

void TdmGeneral::vaciarTablas() {
    reabrir(*memPacientes);
    reabrir(*memPacientesFecha);
    reabrir(*memSMS);
}

qint16 TdmGeneral::ejecutarRun(const QString& sentencia) {
    // Record tests read their tables again on the next run: the shop may have added records.
    if (m_util) m_util->OlvidarFichas();
    return Ejecutar(sentencia);
}

qint16 TdmGeneral::GenerarSQL(qint16 orden, qint16 sentido, bool todas) {
    vaciarTablas();
    QString sentencia;
    try {
        sentencia = ConstruirSQL(orden, sentido, todas);
    } catch (const quill::Error& e) {
        return FalloInterno(e.message());
    }
    if (m_analisis.reiniciaResultado) Resultado = quill::kListadoCorrecto;
    const qint16 r = ejecutarRun(sentencia);
    if (r == quill::kListadoCorrecto && m_analisis.tablaUltimaVisita) {
        try {
            CrearTablaPacientesFecha();
        } catch (const std::exception& e) {
            return FalloInterno(QString::fromUtf8(e.what()));
        }
    }
    return r;
}

qint16 TdmGeneral::GenerarSQLConteo(bool todas) {
    vaciarTablas();
    QString sentencia;
    try {
        sentencia = ConstruirSQLConteo(todas);
    } catch (const quill::Error& e) {
        return FalloInterno(e.message());
    }
    if (m_analisis.reiniciaResultado) Resultado = quill::kListadoCorrecto;
    return ejecutarRun(sentencia);
}

bool TdmGeneral::pasaFiltros(int idPaciente) {
    if (!m_analisis.filtroLentillas && Util().TieneLentillas(idPaciente)) return false;
    if (!m_analisis.filtroGraduacion && Util().TieneGraduacion(idPaciente)) return false;
    return true;
}

template <typename Fn> void TdmGeneral::recorrer(Fn fila) {
    if (Resultado != quill::kListadoCorrecto || !IrAlPrimero()) return;
    QSqlQuery& q = *dstListado();
    const Columnas c(q.record());
    // A patient the statement lists several times (one row per matching record) is taken once,
    // wherever its rows fall in the order.
    QSet<int> vistos;
    do {
        const int id = Columnas::valor(q, c.id).toInt();
        if (id == 0 || vistos.contains(id)) continue;
        vistos.insert(id);
        if (pasaFiltros(id)) fila(q, c, id);
    } while (q.next());
}

double TdmGeneral::ContarPacientes() {
    double cuenta = 0;
    recorrer([&](const QSqlQuery&, const Columnas&, int) { cuenta += 1; });
    return cuenta;
}

void TdmGeneral::CrearTablaPaciente() {
    reabrir(*memPacientes);
    MemTable::ControlsDisabled sinAvisos(*memPacientes);
    enum {
        IdPaciente,
        Codigo,
        Apellidos,
        Nombre,
        NombreCompleto,
        Direccion,
        CodigoPostal,
        Localidad,
        Provincia,
        Telefono,
        Movil,
        EMail,
        IdLocalidad,
        VienePor,
        Sexo,
        FNacimiento,
        FUltVisita,
        FPriVisita,
        FCarnet,
        UltDescuento,
        TotalComprado,
        Web,
        Fotografia,
        Correo,
        Profesion,
        TotalCompradoM2,
        Tienda,
        Fotografia2
    };
    Destino d(*memPacientes,
              {"IdPaciente",      "Codigo",       "Apellidos",   "Nombre",    "NombreCompleto",
               "Direccion",       "CodigoPostal", "Localidad",   "Provincia", "Telefono",
               "Movil",           "EMail",        "IdLocalidad", "VienePor",  "Sexo",
               "FNacimiento",     "FUltVisita",   "FPriVisita",  "FCarnet",   "UltDescuento",
               "TotalComprado",   "Web",          "Fotografia",  "Correo",    "Profesion",
               "TotalCompradoM2", "Tienda",       "Fotografia2"});
    TextosLocalidad localidades(Util());
    recorrer([&](const QSqlQuery& q, const Columnas& c, int id) {
        auto v = [&](int i) { return Columnas::valor(q, i); };
        const int localidad = v(c.localidad).toInt();
        const auto& textos = localidades(localidad);
        d.poner(IdPaciente, double(id));
        d.poner(Codigo, v(c.codigo));
        d.poner(Apellidos, v(c.apellidos));
        d.poner(Nombre, v(c.nombre));
        d.poner(NombreCompleto, v(c.nombreCompleto));
        d.poner(Direccion, v(c.direccion));
        d.poner(CodigoPostal, textos[0]);
        d.poner(Localidad, textos[1]);
        d.poner(Provincia, textos[2]);
        d.poner(Telefono, v(c.telefono));
        d.poner(Movil, v(c.movil));
        d.poner(EMail, v(c.email));
        d.poner(IdLocalidad, localidad);
        d.poner(VienePor, QString());
        d.poner(Sexo, v(c.sexo));
        d.poner(FNacimiento, v(c.nacimiento));
        d.poner(FUltVisita, v(c.ultimaVisita));
        d.poner(FPriVisita, v(c.primeraVisita));
        d.poner(FCarnet, v(c.carnet));
        d.poner(UltDescuento, 0.0);
        d.poner(TotalComprado, 0.0);
        d.poner(Web, v(c.web));
        d.poner(Fotografia, QString());
        d.poner(Correo, v(c.correo));
        d.poner(Profesion, QString());
        d.poner(TotalCompradoM2, 0.0);
        d.poner(Tienda, 1);
        d.poner(Fotografia2, QString());
        d.anadir();
    });
}

void TdmGeneral::TablaSMS() {
    reabrir(*memSMS);
    MemTable::ControlsDisabled sinAvisos(*memSMS);
    Destino d(*memSMS, {"Nombre", "Telefono"});
    quill::TLstUtil& util = Util();
    recorrer([&](const QSqlQuery& q, const Columnas& c, int) {
        const QString movil = util.Movil(Columnas::valor(q, c.movil).toString());
        if (movil.isEmpty()) return;
        d.poner(0, Columnas::valor(q, c.nombreCompleto));
        d.poner(1, movil);
        d.anadir();
    });
}

QHash<int, QDate> TdmGeneral::UltimasFichas(const QList<int>& pacientes) {
    QHash<int, QDate> fechas;
    for (int id : pacientes)
        fechas.insert(id, kFechaVacia);
    if (pacientes.isEmpty()) return fechas;
    QSqlDatabase db = QSqlDatabase::database(Conexion(), false);
    auto mayor = [&](int id, const QVariant& v) {
        if (v.isNull()) return;
        const QDate f = v.toDate();
        auto it = fechas.find(id);
        if (it != fechas.end() && f.isValid() && f > *it) *it = f;
    };
    if (pacientes.size() <= LimiteUltimaFichaPorPaciente) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.prepare(QStringLiteral("SELECT RES_FECHA_GRADUACION, RES_FECHA_LENTILLA, "
                                      "RES_FECHA_REPOSICION, RES_FECHA_AUDIFONO FROM "
                                      "BUSCAR_ULTIMA_FICHA(:ORG_ID)")))
            throw quill::Error(QStringLiteral("Error al leer la última ficha de los pacientes: ") +
                               q.lastError().text());
        for (int id : pacientes) {
            q.bindValue(QStringLiteral(":ORG_ID"), id);
            if (!q.exec())
                throw quill::Error(
                    QStringLiteral("Error al leer la última ficha de los pacientes: ") +
                    q.lastError().text());
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
            throw quill::Error(QStringLiteral("Error al leer la última ficha de los pacientes: ") +
                               q.lastError().text());
        while (q.next())
            mayor(q.value(0).toInt(), q.value(1));
    }
    return fechas;
}

void TdmGeneral::CrearTablaPacientesFecha() {
    reabrir(*memPacientesFecha);
    MemTable::ControlsDisabled sinAvisos(*memPacientesFecha);
    enum {
        Nombre,
        Codigo,
        NombreCorto,
        Apellidos,
        Direccion,
        Telefono,
        TelefonoMovil,
        CodigoPostal,
        Localidad,
        Provincia,
        EMail,
        IdLocalidad,
        IdPaciente,
        Profesion,
        VienePor,
        Web,
        IdTienda,
        Correo,
        Sexo,
        Nif,
        UltimaVisita,
        PrimeraVisita,
        Nacimiento,
        Carnet,
        UltDto,
        TotalCompradoM1,
        TotalCompradoM2,
        NombreEMail,
        NumCampos
    };
    const QStringList campos = {"Nombre",
                                "Codigo",
                                "NombreCorto",
                                "Apellidos",
                                "Direccion",
                                "Telefono",
                                "TelefonoMovil",
                                "CodigoPostal",
                                "Localidad",
                                "Provincia",
                                "EMail",
                                "IdLocalidad",
                                "IdPaciente",
                                "Profesion",
                                "VienePor",
                                "Web",
                                "IdTienda",
                                "Correo",
                                "Sexo",
                                "Nif",
                                "UltimaVisita",
                                "PrimeraVisita",
                                "Nacimiento",
                                "Carnet",
                                "UltDto",
                                "TotalCompradoM1",
                                "TotalCompradoM2",
                                "NombreEMail"};
    // The patients come first, then their dates: the dates are read for all of them at once.
    std::vector<QVariantList> filas;
    QList<int> ids;
    TextosLocalidad localidades(Util());
    recorrer([&](const QSqlQuery& q, const Columnas& c, int id) {
        auto v = [&](int i) { return Columnas::valor(q, i); };
        const int localidad = v(c.localidad).toInt();
        const auto& textos = localidades(localidad);
        QVariantList f(NumCampos);
        f[Nombre] = v(c.nombreCompleto);
        f[Codigo] = v(c.codigo);
        f[NombreCorto] = v(c.nombre);
        f[Apellidos] = v(c.apellidos);
        f[Direccion] = v(c.direccion);
        f[Telefono] = v(c.telefono);
        f[TelefonoMovil] = v(c.movil);
        f[CodigoPostal] = textos[0];
        f[Localidad] = textos[1];
        f[Provincia] = textos[2];
        f[EMail] = v(c.email);
        f[IdLocalidad] = localidad;
        f[IdPaciente] = id;
        f[Profesion] = v(c.profesion);
        f[VienePor] = v(c.vienePor);
        f[Web] = v(c.web);
        f[IdTienda] = v(c.tienda);
        f[Correo] = v(c.correo);
        f[Sexo] = v(c.sexo);
        f[Nif] = v(c.nif);
        f[UltimaVisita] = v(c.ultimaVisita);
        f[PrimeraVisita] = v(c.primeraVisita);
        f[Nacimiento] = v(c.nacimiento);
        f[Carnet] = v(c.carnet);
        f[UltDto] = v(c.descuento);
        f[TotalCompradoM1] = v(c.totalM1);
        f[TotalCompradoM2] = v(c.totalM2);
        f[NombreEMail] = v(c.nombre).toString() + QLatin1Char(' ') + v(c.apellidos).toString();
        filas.push_back(std::move(f));
        ids.append(id);
    });
    const QHash<int, QDate> fechas = UltimasFichas(ids);
    Destino d(*memPacientesFecha, campos + QStringList{QStringLiteral("Fecha")});
    for (size_t i = 0; i < filas.size(); ++i) {
        for (int n = 0; n < NumCampos; ++n)
            d.poner(n, filas[i][n]);
        d.poner(NumCampos, fechas.value(ids.at(int(i)), kFechaVacia));
        d.anadir();
    }
}
