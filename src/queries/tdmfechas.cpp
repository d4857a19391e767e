#include "queries/tdmfechas.h"

#include "conditions/construir.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/tablas.h"
#include "sql/lstutil.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <vector>

using quill::ColumnasPaciente;
using quill::DestinoTabla;
using quill::MemTable;

namespace {

// The patient fields of memPacientesFecha, in the order of the enum below.
const QStringList kCampos = {"Nombre",
                             "Codigo",
                             "NombreCorto",
                             "Apellidos",
                             "Direccion",
                             "Telefono",
                             "TelefonoMovil",
                             "CodigoPostal",
                             "Localidad",
                             "Provincia",
                             "E_Mail",
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

enum Campo {
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

// A date copied from the result into every row: its result column and its position in the
// destination's field list.
struct CopiaFecha {
    int columna;
    int campo;
};

// The dates to copy, each field once: appended to the destination's field list. A field already
// there (Fecha of the last-visit table) keeps its own value; a date whose column the result
// lacks is left empty.
std::vector<CopiaFecha> copias(const QSqlRecord& r, const QList<quill::FechaCondicion>& fechas,
                               QStringList& destino) {
    std::vector<CopiaFecha> c;
    for (const quill::FechaCondicion& f : fechas) {
        if (destino.contains(f.campo)) continue;
        const int columna = r.indexOf(f.columna);
        if (columna < 0) continue;
        c.push_back({columna, int(destino.size())});
        destino.append(f.campo);
    }
    return c;
}

// The patient fields of one row through `poner(field, value)`. `nombre`: the value of Nombre;
// `localidad`: the locality texts, null to leave them empty.
template <typename Poner>
void ponerPaciente(Poner poner, const QSqlQuery& q, const ColumnasPaciente& c, int id,
                   const QVariant& nombre, const std::array<QString, 3>* localidad) {
    auto v = [&](int i) { return ColumnasPaciente::valor(q, i); };
    poner(Nombre, nombre);
    poner(Codigo, v(c.codigo));
    poner(NombreCorto, v(c.nombre));
    poner(Apellidos, v(c.apellidos));
    poner(Direccion, v(c.direccion));
    poner(Telefono, v(c.telefono));
    poner(TelefonoMovil, v(c.movil));
    if (localidad) {
        poner(CodigoPostal, (*localidad)[0]);
        poner(Localidad, (*localidad)[1]);
        poner(Provincia, (*localidad)[2]);
    }
    poner(EMail, v(c.email));
    poner(IdLocalidad, v(c.localidad).toInt());
    poner(IdPaciente, id);
    poner(Profesion, v(c.profesion));
    poner(VienePor, v(c.vienePor));
    poner(Web, v(c.web));
    poner(IdTienda, v(c.tienda));
    poner(Correo, v(c.correo));
    poner(Sexo, v(c.sexo));
    poner(Nif, v(c.nif));
    poner(UltimaVisita, v(c.ultimaVisita));
    poner(PrimeraVisita, v(c.primeraVisita));
    poner(Nacimiento, v(c.nacimiento));
    poner(Carnet, v(c.carnet));
    poner(UltDto, v(c.descuento));
    poner(TotalCompradoM1, v(c.totalM1));
    poner(TotalCompradoM2, v(c.totalM2));
    poner(NombreEMail, v(c.nombre).toString() + QLatin1Char(' ') + v(c.apellidos).toString());
}

} // namespace

TdmFechas::TdmFechas(QObject* owner)
    : quill::ModuloPacientes(owner),
      memPacientesFecha(new MemTable(QStringLiteral("memPacientesFecha"), this)) {
    setObjectName(QStringLiteral("dmFechas"));
    quill::definirMemPacientesFecha(*memPacientesFecha, QStringLiteral("E_Mail"));
    memPacientesFecha->open();
}

TdmFechas::~TdmFechas() {
    CerrarListado();
}

void TdmFechas::AsignarParametros(const quill::ParametrosListado& parametros) {
    Familias = parametros.familias;
}

quill::DatosSentenciaGeneral TdmFechas::datos() {
    quill::DatosSentenciaGeneral d;
    d.filas = LeerCondiciones();
    d.tablas = Tablas;
    d.particion = m_particion;
    d.separarCualquiera = SepararCualquiera;
    // Flags start afresh on every run; the lists handed over stay.
    m_analisis = quill::AnalizarCondicionesFechas(d.filas, Familias);
    FijarFiltros(m_analisis.general.filtroLentillas, m_analisis.general.filtroGraduacion);
    d.analisis = m_analisis.general;
    return d;
}

QString TdmFechas::ConstruirSQL(qint16 orden, qint16 sentido, bool todas) {
    const quill::DatosSentenciaGeneral d = datos();
    return quill::GenerarSentenciaFechas(d, m_analisis, quill::FormaSentencia::Listado, orden,
                                         sentido, todas);
}

QString TdmFechas::ConstruirSQLConteo(bool todas) {
    const quill::DatosSentenciaGeneral d = datos();
    return quill::GenerarSentenciaFechas(d, m_analisis, quill::FormaSentencia::Conteo, 0, 0, todas);
}

qint16 TdmFechas::ejecutar(const QString& sentencia, bool tablaUltimaVisita) {
    if (m_analisis.general.reiniciaResultado) Resultado = quill::kListadoCorrecto;
    const qint16 r = EjecutarListado(sentencia);
    if (r == quill::kListadoCorrecto && tablaUltimaVisita) {
        try {
            CrearTablaPacientesFecha();
        } catch (const std::exception& e) {
            return FalloInterno(QString::fromUtf8(e.what()));
        }
    }
    return r;
}

qint16 TdmFechas::GenerarSQL(qint16 orden, qint16 sentido, bool todas) {
    quill::Reabrir(*memPacientesFecha);
    quill::Reabrir(*memSMS);
    QString sentencia;
    try {
        sentencia = ConstruirSQL(orden, sentido, todas);
    } catch (const quill::Error& e) {
        return FalloInterno(e.message());
    }
    return ejecutar(sentencia, m_analisis.general.tablaUltimaVisita);
}

qint16 TdmFechas::GenerarSQLConteo(bool todas) {
    quill::Reabrir(*memPacientesFecha);
    quill::Reabrir(*memSMS);
    QString sentencia;
    try {
        sentencia = ConstruirSQLConteo(todas);
    } catch (const quill::Error& e) {
        return FalloInterno(e.message());
    }
    return ejecutar(sentencia, false);
}

void TdmFechas::CrearTablaPaciente() {
    quill::Reabrir(*memPacientesFecha);
    MemTable::ControlsDisabled sinAvisos(*memPacientesFecha);
    if (Resultado != quill::kListadoCorrecto || !dstListado()) return;
    // The dates the conditions name, in the order of the condition table.
    QList<quill::FechaCondicion> nombradas;
    for (const quill::FilaCondicion& f : LeerCondiciones()) {
        const quill::FechaCondicion fecha = quill::FechaDeCondicion(f.idEntero());
        if (!fecha.campo.isEmpty()) nombradas.append(fecha);
    }
    QStringList destino = kCampos;
    const std::vector<CopiaFecha> fechas = copias(dstListado()->record(), nombradas, destino);
    DestinoTabla d(*memPacientesFecha, destino);
    const auto poner = [&d](int n, const QVariant& v) { d.poner(n, v); };
    quill::TextosLocalidad localidades(Util());
    Recorrer([&](const QSqlQuery& q, const ColumnasPaciente& c, int id) {
        const int localidad = ColumnasPaciente::valor(q, c.localidad).toInt();
        ponerPaciente(poner, q, c, id, ColumnasPaciente::valor(q, c.nombre),
                      &localidades(localidad));
        for (const CopiaFecha& f : fechas)
            d.poner(f.campo, q.value(f.columna));
        d.anadir();
    });
}

void TdmFechas::CrearTablaPacientesFecha() {
    quill::Reabrir(*memPacientesFecha);
    MemTable::ControlsDisabled sinAvisos(*memPacientesFecha);
    if (Resultado != quill::kListadoCorrecto || !dstListado()) return;
    // Fecha holds the patient's latest record date; the other dates the conditions added follow.
    QStringList destino = kCampos;
    destino.append(QStringLiteral("Fecha"));
    const std::vector<CopiaFecha> fechas =
        copias(dstListado()->record(), m_analisis.fechasPresentes, destino);
    // The locality texts only when exporting (variant 3); labels and e-mail do without them.
    const bool conLocalidad = Variante() == 3;
    quill::TextosLocalidad localidades(Util());
    // The patients come first, then their dates: the dates are read for all of them at once.
    std::vector<QVariantList> filas;
    QList<int> ids;
    Recorrer([&](const QSqlQuery& q, const ColumnasPaciente& c, int id) {
        QVariantList f(destino.size());
        const auto poner = [&f](int n, const QVariant& v) { f[n] = v; };
        const int localidad = ColumnasPaciente::valor(q, c.localidad).toInt();
        ponerPaciente(poner, q, c, id, ColumnasPaciente::valor(q, c.nombreCompleto),
                      conLocalidad ? &localidades(localidad) : nullptr);
        for (const CopiaFecha& fecha : fechas)
            f[fecha.campo] = q.value(fecha.columna);
        filas.push_back(std::move(f));
        ids.append(id);
    });
    const QHash<int, QDate> ultimas = UltimasFichas(ids);
    DestinoTabla d(*memPacientesFecha, destino);
    for (size_t i = 0; i < filas.size(); ++i) {
        QVariantList& f = filas[i];
        f[NumCampos] = ultimas.value(ids.at(qsizetype(i)), quill::kFechaVaciaTienda);
        for (qsizetype n = 0; n < f.size(); ++n)
            d.poner(int(n), f.at(n));
        d.anadir();
    }
}
