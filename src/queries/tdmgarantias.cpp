#include "queries/tdmgarantias.h"

#include "conditions/construir.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/tablas.h"
#include "sql/lstutil.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <array>

using quill::MemTable;

namespace quill {

AgrupadorFichas::AgrupadorFichas(QList<int> ojos) : m_ojos(std::move(ojos)) {}

int AgrupadorFichas::Linea(int familia, qint64 idCabecera, int ojo) {
    const quint64 clave = (quint64(quint32(familia)) << 32) | quint32(idCabecera);
    auto it = m_indice.find(clave);
    m_nueva = it == m_indice.end();
    if (m_nueva) {
        it = m_indice.insert(clave, int(m_fichas.size()));
        m_fichas.push_back({familia, 0, ojo});
    }
    Ficha& f = m_fichas[size_t(*it)];
    ++f.lineas;
    if (ojo > f.ojoMayor) f.ojoMayor = ojo;
    return *it;
}

bool AgrupadorFichas::Completa(int i) const {
    const Ficha& f = m_fichas.at(size_t(i));
    if (!m_ojos.isEmpty() && !m_ojos.contains(f.ojoMayor)) return false;
    return quill::FichaCompleta(f.familia, f.lineas, int(m_ojos.size()));
}

QList<int> AgrupadorFichas::Completas() const {
    QList<int> completas;
    for (int i = 0; i < Fichas(); ++i)
        if (Completa(i)) completas.append(i);
    return completas;
}

} // namespace quill

namespace {

void reabrir(MemTable& t) {
    t.close();
    t.open();
}

// The fields of memDatos this module fills, in the table's order.
enum Campo {
    Codigo,
    Apellidos,
    Nombre,
    Direccion,
    CodigoPostal,
    Localidad,
    Provincia,
    Nif,
    Telefono,
    Movil,
    EMail,
    Garantia,
    NombreCompleto,
    IdLocalidad,
    Sexo,
    VienePor,
    FechaNacimiento,
    Fecha1Visita,
    FechaUltVisita,
    FechaCarnet,
    UltimoDescuento,
    Correo,
    TotalCompradoM1,
    TotalCompradoM2,
    IdTienda,
    Fotografia,
    Web,
    NombreEMail,
    NumCampos
};

const char* const kCamposDatos[NumCampos] = {"Codigo",
                                             "Apellidos",
                                             "Nombre",
                                             "Direccion",
                                             "CodigoPostal",
                                             "Localidad",
                                             "Provincia",
                                             "Nif",
                                             "Telefono",
                                             "Movil",
                                             "E_Mail",
                                             "Garantia",
                                             "NombreCompleto",
                                             "IdLocalidad",
                                             "Sexo",
                                             "VienePor",
                                             "FechaNacimiento",
                                             "Fecha1Visita",
                                             "FechaUltVisita",
                                             "FechaCarnet",
                                             "UltimoDescuento",
                                             "Correo",
                                             "TotalCompradoM1",
                                             "TotalCompradoM2",
                                             "IdTienda",
                                             "Fotografia",
                                             "Web",
                                             "NombreEMail"};

// Result columns copied as they come into memDatos fields (the locality texts, the guarantee
// date and the e-mail name are made apart).
struct Copia {
    const char* columna;
    Campo campo;
};
const Copia kCopias[] = {
    {"CODIGO", Codigo},
    {"APELLIDOS", Apellidos},
    {"NOMBRE", Nombre},
    {"DIRECCION", Direccion},
    {"NIF", Nif},
    {"TELEFONO", Telefono},
    {"TELEFONO_MOVIL", Movil},
    {"E_MAIL", EMail},
    {"NOMBRE_COMPLETO", NombreCompleto},
    {"ID_LOCALIDAD", IdLocalidad},
    {"SEXO", Sexo},
    {"VIENE_POR", VienePor},
    {"FECHA_NACIMIENTO", FechaNacimiento},
    {"FECHA_PRIMERA_VISITA", Fecha1Visita},
    {"FECHA_ULTIMA_VISITA", FechaUltVisita},
    {"FECHA_CARNET", FechaCarnet},
    {"ULTIMO_DESCUENTO", UltimoDescuento},
    {"CORREO", Correo},
    {"TOTAL_COMPRADO_M1", TotalCompradoM1},
    {"TOTAL_COMPRADO_M2", TotalCompradoM2},
    {"TIENDA", IdTienda},
    {"FOTOGRAFIA", Fotografia},
    {"WEB", Web},
};

int columna(const QSqlRecord& r, const char* nombre) {
    const int i = r.indexOf(QLatin1String(nombre));
    if (i < 0)
        throw quill::Error(
            QStringLiteral("El listado de garantías no tiene la columna '%1'").arg(nombre));
    return i;
}

} // namespace

TdmGarantias::TdmGarantias(QObject* owner)
    : quill::ListingModule(owner), memDatos(new MemTable(QStringLiteral("memDatos"), this)),
      memSMS(new MemTable(QStringLiteral("memSMS"), this)) {
    setObjectName(QStringLiteral("dmGarantias"));
    quill::definirMemDatosGarantias(*memDatos);
    // The rows are laid out by position: the table must hold these fields in this order.
    for (int i = 0; i < NumCampos; ++i)
        if (memDatos->fieldIndex(QLatin1String(kCamposDatos[i])) != i)
            throw quill::Error(QStringLiteral("La tabla memDatos no tiene el campo '%1' en la "
                                              "posición %2")
                                   .arg(QLatin1String(kCamposDatos[i]))
                                   .arg(i + 1));
    quill::definirMemSMS(*memSMS);
    memDatos->open();
    memSMS->open();
}

TdmGarantias::~TdmGarantias() {
    CerrarListado();
}

void TdmGarantias::AsignarParametros(const quill::ParametrosListado& parametros) {
    Familias = parametros.familiasGarantia;
    Ojos = parametros.ojosGarantia;
}

quill::TLstUtil& TdmGarantias::Util() {
    if (!m_util || m_utilConexion != Conexion()) {
        m_util = std::make_unique<quill::TLstUtil>(Conexion());
        m_utilConexion = Conexion();
    }
    return *m_util;
}

void TdmGarantias::setUtil(std::unique_ptr<quill::TLstUtil> util) {
    m_util = std::move(util);
    m_utilConexion = Conexion();
}

QString TdmGarantias::ConstruirSQL(qint16 orden, qint16 sentido, bool) {
    quill::DatosSentenciaGarantias d;
    d.filas = LeerCondiciones();
    m_seleccion = quill::LeerSeleccionGarantias(d.filas, Familias, Ojos);
    d.familias = m_seleccion.familias;
    d.particion = m_particion;
    return quill::GenerarSentenciaGarantias(d, orden, sentido);
}

bool TdmGarantias::FichaCompleta(int familia, int lineas) const {
    return quill::FichaCompleta(familia, lineas, int(m_seleccion.ojos.size()));
}

void TdmGarantias::vaciarTablas() {
    reabrir(*memDatos);
    reabrir(*memSMS);
}

qint16 TdmGarantias::GenerarSQL(qint16 orden, qint16 sentido, bool todas) {
    vaciarTablas();
    QString sentencia;
    try {
        sentencia = ConstruirSQL(orden, sentido, todas);
    } catch (const quill::Error& e) {
        return FalloInterno(e.message());
    }
    const qint16 r = Ejecutar(sentencia);
    if (r == quill::kListadoErrorInterno) return r;
    try {
        return Resultado = agrupar();
    } catch (const std::exception& e) {
        vaciarTablas();
        return FalloInterno(QString::fromUtf8(e.what()));
    }
}

qint16 TdmGarantias::GenerarSQLConteo(bool todas) {
    return GenerarSQL(0, 0, todas);
}

double TdmGarantias::ContarPacientes() {
    return memDatos->recordCount();
}

qint16 TdmGarantias::agrupar() {
    // The lines carry no ID_PACIENTE column, so Ejecutar reads every result as empty: whether
    // there is a line at all is whether the result stands on one.
    QSqlQuery* q = dstListado();
    if (!q || !q->isValid()) return quill::kListadoSinRegistros;
    const QSqlRecord r = q->record();
    // The statement's first column has no name of its own; the engine calls it CONSTANT.
    const int cFamilia =
        r.indexOf(QStringLiteral("CONSTANT")) >= 0 ? r.indexOf(QStringLiteral("CONSTANT")) : 0;
    const int cOjo = columna(r, "OJO");
    const int cCabecera = columna(r, "IDCABECERA");
    const int cGarantia = columna(r, "GARANTIA");
    const int cPaciente = columna(r, "IDPACIENTE");
    std::array<int, std::size(kCopias)> cCopias{};
    for (size_t i = 0; i < std::size(kCopias); ++i)
        cCopias[i] = columna(r, kCopias[i].columna);

    // The patient's columns are read once per patient (a patient has many lines and often
    // several records); each record keeps its patient and its first line's guarantee date.
    std::vector<QVariantList> pacientes;
    QHash<int, int> indicePaciente;
    struct Ficha {
        int paciente;
        QVariant garantia;
    };
    std::vector<Ficha> fichas;
    quill::AgrupadorFichas agrupador(m_seleccion.ojos);
    do {
        agrupador.Linea(q->value(cFamilia).toInt(), q->value(cCabecera).toLongLong(),
                        q->value(cOjo).toInt());
        if (!agrupador.Nueva()) continue;
        const int idPaciente = q->value(cPaciente).toInt();
        auto it = indicePaciente.find(idPaciente);
        if (it == indicePaciente.end()) {
            QVariantList p(NumCampos);
            for (size_t i = 0; i < std::size(kCopias); ++i)
                p[kCopias[i].campo] = q->value(cCopias[i]);
            p[NombreEMail] = p[Nombre].toString() + QLatin1Char(' ') + p[Apellidos].toString();
            it = indicePaciente.insert(idPaciente, int(pacientes.size()));
            pacientes.push_back(std::move(p));
        }
        fichas.push_back({*it, q->value(cGarantia)});
    } while (q->next());
    if (q->lastError().isValid()) throw quill::Error(q->lastError().text());

    MemTable::ControlsDisabled sinAvisos(*memDatos);
    // Many patients share a locality: its three texts are looked up once.
    QHash<int, std::array<QString, 3>> localidades;
    quill::TLstUtil& util = Util();
    for (int i : agrupador.Completas()) {
        const Ficha& f = fichas[size_t(i)];
        QVariantList fila = pacientes[size_t(f.paciente)];
        const int idLocalidad = fila[IdLocalidad].toInt();
        auto loc = localidades.find(idLocalidad);
        if (loc == localidades.end())
            loc = localidades.insert(idLocalidad, {util.CodigoPostal(idLocalidad),
                                                   util.NombreLocalidad(idLocalidad),
                                                   util.NombreProvincia(idLocalidad)});
        fila[CodigoPostal] = (*loc)[0];
        fila[Localidad] = (*loc)[1];
        fila[Provincia] = (*loc)[2];
        fila[Garantia] = f.garantia;
        memDatos->appendStored(fila);
    }
    return memDatos->isEmpty() ? quill::kListadoSinRegistros : quill::kListadoCorrecto;
}

void TdmGarantias::TablaSMS(bool comprobar) {
    reabrir(*memSMS);
    MemTable::ControlsDisabled sinAvisos(*memSMS);
    quill::TLstUtil& util = Util();
    const int cMovil = memDatos->fieldIndex(QStringLiteral("Movil"));
    const int cNombre = memDatos->fieldIndex(QStringLiteral("NombreCompleto"));
    for (int i = 0; i < memDatos->recordCount(); ++i) {
        const QString movil = comprobar ? util.Movil(memDatos->textAt(i, cMovil))
                                        : memDatos->textAt(i, cMovil).trimmed();
        if (movil.isEmpty()) continue;
        memSMS->appendStored({memDatos->valueAt(i, cNombre), movil});
    }
}
