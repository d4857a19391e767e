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

using quill::ColumnasPaciente;
using quill::DestinoTabla;
using quill::MemTable;
using quill::Reabrir;
using quill::TextosLocalidad;

TdmGeneral::TdmGeneral(QObject* owner)
    : quill::ModuloPacientes(owner),
      memPacientes(new MemTable(QStringLiteral("memPacientes"), this)),
      memPacientesFecha(new MemTable(QStringLiteral("memPacientesFecha"), this)) {
    setObjectName(QStringLiteral("dmGeneral"));
    quill::definirMemPacientes(*memPacientes);
    quill::definirMemPacientesFecha(*memPacientesFecha);
    memPacientes->open();
    memPacientesFecha->open();
}

TdmGeneral::~TdmGeneral() {
    CerrarListado();
}

void TdmGeneral::AsignarParametros(const quill::ParametrosListado& parametros) {
    Familias = parametros.familias;
}

quill::DatosSentenciaGeneral TdmGeneral::datos() {
    quill::DatosSentenciaGeneral d;
    d.filas = LeerCondiciones();
    d.tablas = Tablas;
    d.particion = m_particion;
    d.separarCualquiera = SepararCualquiera;
    // Flags and slots start afresh on every run; the lists handed over stay.
    m_analisis = quill::AnalizarCondicionesGeneral(d.filas, Familias);
    FijarFiltros(m_analisis.filtroLentillas, m_analisis.filtroGraduacion);
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
    Reabrir(*memPacientes);
    Reabrir(*memPacientesFecha);
    Reabrir(*memSMS);
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
    const qint16 r = EjecutarListado(sentencia);
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
    return EjecutarListado(sentencia);
}

void TdmGeneral::CrearTablaPaciente() {
    Reabrir(*memPacientes);
    MemTable::ControlsDisabled sinAvisos(*memPacientes);
    DestinoTabla d(*memPacientes, quill::CamposTablaPaciente());
    TextosLocalidad localidades(Util());
    Recorrer([&](const QSqlQuery& q, const ColumnasPaciente& c, int id) {
        quill::PonerPaciente(d, q, c, id, localidades);
        d.anadir();
    });
}

void TdmGeneral::CrearTablaPacientesFecha() {
    Reabrir(*memPacientesFecha);
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
    Recorrer([&](const QSqlQuery& q, const ColumnasPaciente& c, int id) {
        auto v = [&](int i) { return ColumnasPaciente::valor(q, i); };
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
    DestinoTabla d(*memPacientesFecha, campos + QStringList{QStringLiteral("Fecha")});
    for (size_t i = 0; i < filas.size(); ++i) {
        for (int n = 0; n < NumCampos; ++n)
            d.poner(n, filas[i][n]);
        d.poner(NumCampos, fechas.value(ids.at(int(i)), quill::kFechaVaciaTienda));
        d.anadir();
    }
}
