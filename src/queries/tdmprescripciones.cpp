#include "queries/tdmprescripciones.h"

#include "conditions/construir.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "sql/lstutil.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <array>
#include <vector>

using quill::FamiliaPrescripcion;
using quill::FieldType;
using quill::MemTable;

namespace quill {

namespace {

struct Campo {
    const char* nombre;
    FieldType tipo;
    int tam = 0;
};

constexpr FieldType F = FieldType::Float;
constexpr FieldType S = FieldType::String;
constexpr FieldType I = FieldType::Integer;
constexpr FieldType DT = FieldType::DateTime;
// Text fields defined without a size.
constexpr int kTamPorOmision = 20;

void anadir(MemTable& t, std::initializer_list<Campo> campos) {
    for (const Campo& c : campos)
        t.addField(QString::fromLatin1(c.nombre), c.tipo, c.tam);
}

// The patient fields both sheet tables begin with, after their record id.
void anadirPaciente(MemTable& t) {
    anadir(t, {{"Codigo", F},
               {"Apellidos", S, 50},
               {"Nombre", S, 100},
               {"NombreCompleto", S, 100},
               {"Movil", S, kTamPorOmision},
               {"Direccion", S, kTamPorOmision},
               {"IdLocalidad", S, kTamPorOmision},
               {"VienePor", S, 50},
               {"Provincia", S, 50},
               {"Telefono", S, 15},
               {"Email", S, 255},
               {"CodigoPostal", S, 5},
               {"Localidad", S, 50}});
}

} // namespace

void definirMemPrescripciones(MemTable& t) {
    t.clearFields();
    t.addField(QStringLiteral("IdGraduacion"), F);
    anadirPaciente(t);
    anadir(t, {{"Tipo", S, 30},
               {"Fecha", S, 15},
               {"Doctor", S, 100},
               {"ODEje", I},
               {"ODCilindro", F},
               {"ODEsferaLejos", F},
               {"ODEsferaCerca", F},
               {"ODEsferaMedia", F},
               {"ODPrisma", S, 25},
               {"ODSCLejos", F},
               {"ODCCLejos", F},
               {"ODDistanciaLejos", F},
               {"ODDistanciaCerca", S, kTamPorOmision},
               {"OIEje", F},
               {"OICilindro", F},
               {"OIEsferaLejos", F},
               {"OIEsferaCerca", F},
               {"OIEsferaMedia", F},
               {"OISCLejos", F},
               {"OICCLejos", F},
               {"OIDistanciaLejos", F},
               {"OIDistanciaCerca", F},
               {"ODRadio", S, 30},
               {"ODDiametro", F},
               {"ODZonaOptica", S, 30},
               {"ODTipoLentilla", S, 50},
               {"OIRadio", S, 30},
               {"OIZonaOptica", S, 30},
               {"OITipoLentilla", S, 50},
               {"OIPrisma", S, 30},
               {"OIDiametro", F},
               {"Observaciones", S, 255},
               {"Orden", S, 15},
               {"FechaEntrega", DT},
               {"ODDescripcion", S, 50},
               {"OIDescripcion", S, 50},
               {"Agente", S, 100},
               {"ODLote", S, 30},
               {"OILote", S, 30}});
}

void definirMemPresAudifono(MemTable& t) {
    t.clearFields();
    t.addField(QStringLiteral("IdAudifono"), F);
    anadirPaciente(t);
    anadir(t, {{"Fecha", S, 15},
               {"Doctor", S, 100},
               {"Observaciones", S, 255},
               {"Orden", S, 15},
               {"FechaEntrega", DT},
               {"ODAerea", F},
               {"OIAerea", F},
               {"ODOsea", F},
               {"OIOsea", F},
               {"ArticuloOd", S, 100},
               {"ArticuloOi", S, 100}});
    for (const ColumnaAudiograma& c : ColumnasAudiograma())
        t.addField(c.campo, F);
    anadir(t, {{"NSerieOD", S, 10}, {"NSerieOI", S, 10}, {"ModeloOD", S, 50}, {"ModeloOI", S, 50}});
}

QString TextoDoctor(const QString& nombre, const QString& apellidos, const QString& colegiado) {
    QString texto = (nombre.trimmed() + QLatin1Char(' ') + apellidos.trimmed()).trimmed();
    const QString numero = colegiado.trimmed();
    if (!numero.isEmpty()) {
        if (!texto.isEmpty()) texto += QLatin1Char(' ');
        texto += QStringLiteral("Nº Col. ") + numero;
    }
    return texto;
}

} // namespace quill

namespace {

// Copies the open result into rows of a sheet table by positions resolved once per walk: the
// sheet fields by name in the table, the result columns by name in the statement text.
class Copiador {
public:
    Copiador(const MemTable& t, const QSqlQuery& q, const QString& sentencia)
        : m_tabla(t), m_q(q), m_fila(t.fieldCount()) {
        const QStringList nombres = quill::NombresColumnas(sentencia);
        for (int i = 0; i < nombres.size(); ++i)
            m_columnas.insert(nombres[i], i);
    }
    int campo(const QString& nombre) const {
        const int i = m_tabla.fieldIndex(nombre);
        if (i < 0)
            throw quill::Error(
                QStringLiteral("La tabla '%1' no tiene el campo '%2'").arg(m_tabla.name(), nombre));
        return i;
    }
    // -1 when the statement has no such column: it reads as null.
    int columna(const QString& nombre) const { return m_columnas.value(nombre, -1); }
    QVariant valor(int columna) const { return columna < 0 ? QVariant() : m_q.value(columna); }
    QString texto(int columna) const { return valor(columna).toString(); }

    // A field filled with its like-named column as it comes.
    void directo(const QString& campoTabla, const QString& columnaResultado) {
        m_directos.push_back({campo(campoTabla), columna(columnaResultado)});
    }
    // A new row: every field null, then the direct copies.
    QVariantList& nuevaFila() {
        for (QVariant& v : m_fila)
            v = QVariant();
        for (const auto& [c, col] : m_directos)
            m_fila[c] = valor(col);
        return m_fila;
    }

private:
    const MemTable& m_tabla;
    const QSqlQuery& m_q;
    QHash<QString, int> m_columnas;
    std::vector<std::pair<int, int>> m_directos;
    QVariantList m_fila;
};

QDate fechaDe(const QVariant& v) {
    if (v.isNull()) return {};
    if (v.metaType().id() == QMetaType::QDateTime) return v.toDateTime().date();
    return v.toDate();
}

// A measurement kept as text on the sheet: the stored number with two decimals.
QString medidaTexto(const QVariant& v) {
    if (v.isNull()) return {};
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? QString::number(d, 'f', 2) : v.toString().trimmed();
}

QString unir(const QString& a, const QString& b) {
    return (a.trimmed() + QLatin1Char(' ') + b.trimmed()).trimmed();
}

// The date texts of a sheet: as shown (empty for the shop's empty date) and as sort key.
struct TextosFecha {
    QString fecha;
    QString orden;
};
class Fechas {
public:
    explicit Fechas(quill::TLstUtil& util) : m_util(util) {}
    const TextosFecha& operator()(const QDate& d) {
        auto it = m_textos.find(d);
        if (it == m_textos.end())
            it = m_textos.insert(d, {m_util.Fecha(d.toString(QStringLiteral("dd/MM/yyyy"))),
                                     d.toString(QStringLiteral("yyyy/MM/dd"))});
        return *it;
    }

private:
    quill::TLstUtil& m_util;
    QHash<QDate, TextosFecha> m_textos;
};

// Texts many sheets share (a doctor, an agent, a locality) are made once and shared by all
// their rows: less work per row and one copy of each text in the table.
class Compartidos {
public:
    // The text of a few parts, made by `hacer` the first time those parts are met.
    template <typename Fn>
    const QString& texto(const QString& a, const QString& b, const QString& c, Fn hacer) {
        m_clave = a;
        m_clave += QLatin1Char('\x1f');
        m_clave += b;
        m_clave += QLatin1Char('\x1f');
        m_clave += c;
        auto it = m_textos.find(m_clave);
        if (it == m_textos.end()) it = m_textos.insert(m_clave, hacer());
        return *it;
    }

private:
    QString m_clave;
    QHash<QString, QString> m_textos;
};

// The fields every sheet fills from the patient and the record's doctor.
struct CamposPaciente {
    int nombre, fecha, orden, doctor, idLocalidad, codigoPostal, localidad, provincia;
    int cNombre, cApellidos, cLocalidad, cNombreDoctor, cApellidosDoctor, cColegiado;

    CamposPaciente(Copiador& c, const char* columnaFecha)
        : nombre(c.campo(QStringLiteral("Nombre"))), fecha(c.campo(QStringLiteral("Fecha"))),
          orden(c.campo(QStringLiteral("Orden"))), doctor(c.campo(QStringLiteral("Doctor"))),
          idLocalidad(c.campo(QStringLiteral("IdLocalidad"))),
          codigoPostal(c.campo(QStringLiteral("CodigoPostal"))),
          localidad(c.campo(QStringLiteral("Localidad"))),
          provincia(c.campo(QStringLiteral("Provincia"))),
          cNombre(c.columna(QStringLiteral("NOMBRE"))),
          cApellidos(c.columna(QStringLiteral("APELLIDOS"))),
          cLocalidad(c.columna(QStringLiteral("ID_LOCALIDAD"))),
          cNombreDoctor(c.columna(QStringLiteral("NOMBRE_DOCTOR"))),
          cApellidosDoctor(c.columna(QStringLiteral("APELLIDOS_DOCTOR"))),
          cColegiado(c.columna(QStringLiteral("NUMERO_COLEGIADO"))),
          m_fecha(c.columna(QLatin1String(columnaFecha))) {
        for (const char* f : {"Codigo", "NombreCompleto", "Apellidos", "Telefono"})
            c.directo(QLatin1String(f), QLatin1String(f) == QLatin1String("NombreCompleto")
                                            ? QStringLiteral("NOMBRE_COMPLETO")
                                            : QString::fromLatin1(f).toUpper());
    }

    void poner(const Copiador& c, QVariantList& f, Fechas& fechas, quill::TLstUtil& util,
               bool localidades) {
        f[nombre] = unir(c.texto(cNombre), c.texto(cApellidos));
        const TextosFecha& t = fechas(fechaDe(c.valor(m_fecha)));
        f[fecha] = t.fecha;
        f[orden] = t.orden;
        const QString n = c.texto(cNombreDoctor), a = c.texto(cApellidosDoctor),
                      col = c.texto(cColegiado);
        f[doctor] = m_doctores.texto(n, a, col, [&] { return quill::TextoDoctor(n, a, col); });
        const int id = c.valor(cLocalidad).toInt();
        auto it = m_localidades.find(id);
        if (it == m_localidades.end()) {
            std::array<QString, 4> textos{QString::number(id)};
            if (localidades)
                textos = {textos[0], util.CodigoPostal(id), util.NombreLocalidad(id),
                          util.NombreProvincia(id)};
            it = m_localidades.insert(id, textos);
        }
        f[idLocalidad] = (*it)[0];
        if (localidades) {
            f[codigoPostal] = (*it)[1];
            f[localidad] = (*it)[2];
            f[provincia] = (*it)[3];
        }
    }

private:
    int m_fecha;
    Compartidos m_doctores;
    QHash<int, std::array<QString, 4>> m_localidades;
};

} // namespace

TdmPrescripciones::TdmPrescripciones(QObject* owner)
    : quill::ListingModule(owner),
      memPrescripciones(new MemTable(QStringLiteral("memPrescripciones"), this)),
      memPresAudifono(new MemTable(QStringLiteral("memPresAudifono"), this)) {
    setObjectName(QStringLiteral("dmPrescripciones"));
    quill::definirMemPrescripciones(*memPrescripciones);
    quill::definirMemPresAudifono(*memPresAudifono);
    // The sheets print in date order: "yyyy/mm/dd" compares as the dates do.
    memPrescripciones->setIndexFieldNames(QStringLiteral("Orden"));
    memPresAudifono->setIndexFieldNames(QStringLiteral("Orden"));
    memPrescripciones->open();
    memPresAudifono->open();
    m_resultados.fill(quill::kListadoSinRegistros);
}

TdmPrescripciones::~TdmPrescripciones() {
    CerrarListado();
}

void TdmPrescripciones::AsignarParametros(const quill::ParametrosListado& parametros) {
    TipoPrescripcion = parametros.tipoPrescripcion;
}

quill::TLstUtil& TdmPrescripciones::Util() {
    if (!m_util || m_utilConexion != Conexion()) {
        m_util = std::make_unique<quill::TLstUtil>(Conexion());
        m_utilConexion = Conexion();
    }
    return *m_util;
}

void TdmPrescripciones::setUtil(std::unique_ptr<quill::TLstUtil> util) {
    m_util = std::move(util);
    m_utilConexion = Conexion();
}

quill::DatosSentenciaPrescripciones TdmPrescripciones::datos() const {
    return {LeerCondiciones(), Tablas};
}

QString TdmPrescripciones::ConstruirSQL(qint16, qint16, bool) {
    return quill::GenerarSentenciaPrescripciones(
        datos(), EsOptica() ? FamiliaPrescripcion::Graduacion : FamiliaPrescripcion::Audifono);
}

QStringList TdmPrescripciones::ConstruirSentencias(qint16, qint16, bool) {
    return quill::GenerarSentenciasPrescripciones(datos());
}

qint16 TdmPrescripciones::generarFamilia(FamiliaPrescripcion familia) {
    // Every family statement begins with ID_PACIENTE.
    const qint16 r = Ejecutar(quill::GenerarSentenciaPrescripciones(datos(), familia), 0);
    m_resultados[size_t(familia)] = r;
    return r;
}

qint16 TdmPrescripciones::GenerarSQLPrescripcionesGraduacion(qint16, qint16, bool) {
    return generarFamilia(FamiliaPrescripcion::Graduacion);
}

qint16 TdmPrescripciones::GenerarSQLPrescripcionesLentilla(qint16, qint16, bool) {
    return generarFamilia(FamiliaPrescripcion::Lentilla);
}

qint16 TdmPrescripciones::GenerarSQLPrescripcionesAudifono(qint16, qint16, bool) {
    return generarFamilia(FamiliaPrescripcion::Audifono);
}

void TdmPrescripciones::vaciarTablas() {
    for (MemTable* t : {memPrescripciones, memPresAudifono}) {
        t->close();
        t->open();
    }
    m_resultados.fill(quill::kListadoSinRegistros);
}

qint16 TdmPrescripciones::GenerarSQL(qint16, qint16, bool todas) {
    return EsOptica() ? GenerarSQLOptica(todas) : GenerarSQLAudiometria(todas);
}

qint16 TdmPrescripciones::GenerarSQLOptica(bool todas) {
    vaciarTablas();
    try {
        const std::pair<FamiliaPrescripcion, QString> pasos[] = {
            {FamiliaPrescripcion::Graduacion, TipoGraduacion()},
            {FamiliaPrescripcion::Lentilla, TipoLentilla()}};
        for (const auto& [familia, tipo] : pasos) {
            const qint16 r = familia == FamiliaPrescripcion::Graduacion
                                 ? GenerarSQLPrescripcionesGraduacion(0, 0, todas)
                                 : GenerarSQLPrescripcionesLentilla(0, 0, todas);
            if (r == quill::kListadoErrorInterno) return r;
            if (r == quill::kListadoCorrecto) CrearTablaPrescripciones(tipo);
        }
    } catch (const std::exception& e) {
        return FalloInterno(QString::fromUtf8(e.what()));
    }
    return Resultado = HayOptica() ? quill::kListadoCorrecto : quill::kListadoSinRegistros;
}

qint16 TdmPrescripciones::GenerarSQLAudiometria(bool todas) {
    vaciarTablas();
    const qint16 r = GenerarSQLPrescripcionesAudifono(0, 0, todas);
    if (r != quill::kListadoCorrecto) return r;
    try {
        CrearTablaPresAudifono(ImprimirObservaciones);
    } catch (const std::exception& e) {
        return FalloInterno(QString::fromUtf8(e.what()));
    }
    return Resultado = r;
}

qint16 TdmPrescripciones::GenerarSQLConteo(bool todas) {
    return GenerarSQL(0, 0, todas);
}

double TdmPrescripciones::ContarPacientes() {
    if (Resultado != quill::kListadoCorrecto) return 0;
    return EsOptica() ? memPrescripciones->recordCount() : memPresAudifono->recordCount();
}

void TdmPrescripciones::CrearTablaPrescripciones(const QString& tipo) {
    if (!IrAlPrimero()) return;
    const bool graduacion = tipo == TipoGraduacion();
    const bool localidades = Variante() == 3;
    quill::TLstUtil& util = Util();
    MemTable& t = *memPrescripciones;
    MemTable::ControlsDisabled sinAvisos(t);
    QSqlQuery& q = *dstListado();
    Copiador c(t, q, SentenciaSQL());
    CamposPaciente paciente(c, "FECHA");
    const int cFicha = c.columna(quill::ColumnaFicha(graduacion ? FamiliaPrescripcion::Graduacion
                                                                : FamiliaPrescripcion::Lentilla));
    const int fTipo = c.campo(QStringLiteral("Tipo"));
    const int fAgente = c.campo(QStringLiteral("Agente"));
    const int cNombreAgente = c.columna(QStringLiteral("NOMBRE_AGENTE"));
    const int cApellidosAgente = c.columna(QStringLiteral("APELLIDOS_AGENTE"));
    // Per eye: the fields filled otherwise than as they come.
    struct Ojo {
        int fDistanciaCerca = -1, cDistanciaCerca = -1; // the right eye's is a text
        int fRadio = -1, cRadio1 = -1, cRadio2 = -1;
        int fZonaOptica = -1, cZonaOptica = -1;
        int fTipoLentilla = -1, cTipoLentilla = -1;
    };
    std::vector<Ojo> ojos;
    for (const QString& ojo : {QStringLiteral("OD"), QStringLiteral("OI")}) {
        const QString col = ojo + QLatin1Char('_');
        Ojo o;
        if (graduacion) {
            c.directo(ojo + QStringLiteral("Eje"), col + QStringLiteral("EJE"));
            c.directo(ojo + QStringLiteral("Cilindro"), col + QStringLiteral("CILINDRO"));
            c.directo(ojo + QStringLiteral("EsferaLejos"), col + QStringLiteral("ESFERA_LEJOS"));
            c.directo(ojo + QStringLiteral("EsferaCerca"), col + QStringLiteral("ESFERA_CERCA"));
            c.directo(ojo + QStringLiteral("EsferaMedia"), col + QStringLiteral("ESFERA_MEDIA"));
            c.directo(ojo + QStringLiteral("Prisma"), col + QStringLiteral("PRISMA"));
            c.directo(ojo + QStringLiteral("SCLejos"), col + QStringLiteral("AGUDEZA_VISUAL_SC"));
            c.directo(ojo + QStringLiteral("CCLejos"), col + QStringLiteral("AGUDEZA_VISUAL_CC"));
            c.directo(ojo + QStringLiteral("DistanciaLejos"),
                      col + QStringLiteral("DISTANCIA_LEJOS"));
            if (ojo == QLatin1String("OD")) {
                o.fDistanciaCerca = c.campo(ojo + QStringLiteral("DistanciaCerca"));
                o.cDistanciaCerca = c.columna(col + QStringLiteral("DISTANCIA_CERCA"));
            } else {
                c.directo(ojo + QStringLiteral("DistanciaCerca"),
                          col + QStringLiteral("DISTANCIA_CERCA"));
            }
        } else {
            c.directo(ojo + QStringLiteral("EsferaLejos"), col + QStringLiteral("ESFERA"));
            c.directo(ojo + QStringLiteral("Cilindro"), col + QStringLiteral("CILINDRO"));
            c.directo(ojo + QStringLiteral("Eje"), col + QStringLiteral("EJE"));
            c.directo(ojo + QStringLiteral("Diametro"), col + QStringLiteral("DIAMETRO"));
            c.directo(ojo + QStringLiteral("CCLejos"), col + QStringLiteral("AGUDEZA_VISUAL_CC"));
            c.directo(ojo + QStringLiteral("Descripcion"), col + QStringLiteral("DESCRIPCION"));
            c.directo(ojo + QStringLiteral("Lote"), col + QStringLiteral("LOTE"));
            o.fRadio = c.campo(ojo + QStringLiteral("Radio"));
            o.cRadio1 = c.columna(col + QStringLiteral("RADIO_1"));
            o.cRadio2 = c.columna(col + QStringLiteral("RADIO_2"));
            o.fZonaOptica = c.campo(ojo + QStringLiteral("ZonaOptica"));
            o.cZonaOptica = c.columna(col + QStringLiteral("ZONA_OPTICA"));
            o.fTipoLentilla = c.campo(ojo + QStringLiteral("TipoLentilla"));
            o.cTipoLentilla = c.columna(col + QStringLiteral("TLENTILLA"));
        }
        ojos.push_back(o);
    }
    if (graduacion) c.directo(QStringLiteral("IdGraduacion"), QStringLiteral("ID_MGRADUACION"));
    Fechas fechas(util);
    Compartidos agentes;
    QSet<qint64> fichas;
    do {
        const QVariant ficha = c.valor(cFicha);
        if (!ficha.isNull()) {
            if (fichas.contains(ficha.toLongLong())) continue;
            fichas.insert(ficha.toLongLong());
        }
        QVariantList& f = c.nuevaFila();
        paciente.poner(c, f, fechas, util, localidades);
        f[fTipo] = tipo;
        const QString nombreAgente = c.texto(cNombreAgente);
        const QString apellidosAgente = c.texto(cApellidosAgente);
        f[fAgente] = agentes.texto(nombreAgente, apellidosAgente, QString(),
                                   [&] { return unir(nombreAgente, apellidosAgente); });
        for (const Ojo& o : ojos) {
            if (o.fDistanciaCerca >= 0)
                f[o.fDistanciaCerca] = medidaTexto(c.valor(o.cDistanciaCerca));
            if (o.fRadio >= 0) f[o.fRadio] = unir(c.texto(o.cRadio1), c.texto(o.cRadio2));
            if (o.fZonaOptica >= 0) f[o.fZonaOptica] = medidaTexto(c.valor(o.cZonaOptica));
            if (o.fTipoLentilla >= 0) {
                const QVariant id = c.valor(o.cTipoLentilla);
                f[o.fTipoLentilla] =
                    id.isNull() ? QString() : util.DescripcionTLentilla(id.toInt());
            }
        }
        t.appendStored(f);
    } while (q.next());
    if (q.lastError().isValid())
        throw quill::Error(QStringLiteral("Error al leer las prescripciones: ") +
                           q.lastError().text());
}

void TdmPrescripciones::CrearTablaPresAudifono(bool observaciones) {
    MemTable& t = *memPresAudifono;
    t.close();
    t.open();
    if (!IrAlPrimero()) return;
    const bool localidades = Variante() == 3;
    quill::TLstUtil& util = Util();
    MemTable::ControlsDisabled sinAvisos(t);
    QSqlQuery& q = *dstListado();
    Copiador c(t, q, SentenciaSQL());
    CamposPaciente paciente(c, "FECHA_ADAPTACION");
    const int cFicha = c.columna(QStringLiteral("ID_MAUDIFONO"));
    c.directo(QStringLiteral("IdAudifono"), QStringLiteral("ID_MAUDIFONO"));
    for (const quill::ColumnaAudiograma& a : quill::ColumnasAudiograma())
        c.directo(a.campo, a.columna);
    const int fObservaciones = c.campo(QStringLiteral("Observaciones"));
    struct Oido {
        int articulo, serie, modelo;
    };
    const Oido oidos[2] = {
        {c.campo(QStringLiteral("ArticuloOd")), c.campo(QStringLiteral("NSerieOD")),
         c.campo(QStringLiteral("ModeloOD"))},
        {c.campo(QStringLiteral("ArticuloOi")), c.campo(QStringLiteral("NSerieOI")),
         c.campo(QStringLiteral("ModeloOI"))}};
    // The fittings first, then their notes and devices, read for many fittings at a time.
    std::vector<QVariantList> filas;
    QList<qint64> ids;
    QHash<qint64, int> posicion;
    Fechas fechas(util);
    do {
        const qint64 id = c.valor(cFicha).toLongLong();
        if (posicion.contains(id)) continue;
        posicion.insert(id, int(filas.size()));
        ids.append(id);
        QVariantList& f = c.nuevaFila();
        paciente.poner(c, f, fechas, util, localidades);
        filas.push_back(f);
    } while (q.next());
    if (q.lastError().isValid())
        throw quill::Error(QStringLiteral("Error al leer las adaptaciones de audífonos: ") +
                           q.lastError().text());

    // Few fittings are named by id; many are found again through the listing's conditions,
    // rather than in many long lists.
    const QString fichas =
        ids.size() <= IdsPorLectura ? quill::FichasPorId(ids) : quill::FichasDelListado(datos());
    QSqlDatabase db = QSqlDatabase::database(Conexion(), false);
    auto leer = [&](const QString& sql, auto porFila) {
        QSqlQuery aux(db);
        aux.setForwardOnly(true);
        if (!aux.exec(sql))
            throw quill::Error(QStringLiteral("Error al leer los datos de las adaptaciones: ") +
                               aux.lastError().text());
        while (aux.next()) {
            const auto it = posicion.constFind(aux.value(0).toLongLong());
            if (it != posicion.constEnd()) porFila(aux, *it);
        }
        if (aux.lastError().isValid())
            throw quill::Error(QStringLiteral("Error al leer los datos de las adaptaciones: ") +
                               aux.lastError().text());
    };
    // The first note of a fitting and the first device of each ear are those written first
    // (the lowest id): the reads come in no particular order.
    if (observaciones) {
        std::vector<qint64> nota(filas.size(), -1);
        leer(quill::SentenciaObservacionesAudifono(fichas), [&](const QSqlQuery& a, int fila) {
            const qint64 id = a.value(1).toLongLong();
            if (nota[size_t(fila)] >= 0 && nota[size_t(fila)] < id) return;
            nota[size_t(fila)] = id;
            filas[size_t(fila)][fObservaciones] = a.value(2).toString();
        });
    }
    std::vector<std::array<qint64, 2>> aparato(filas.size(), {-1, -1});
    leer(quill::SentenciaAparatosAudifono(fichas), [&](const QSqlQuery& a, int fila) {
        const int oido = a.value(2).toInt();
        if (oido != quill::kOjoDerecho && oido != quill::kOjoIzquierdo) return;
        const int lado = oido == quill::kOjoDerecho ? 0 : 1;
        const qint64 id = a.value(1).toLongLong();
        qint64& primero = aparato[size_t(fila)][size_t(lado)];
        if (primero >= 0 && primero < id) return;
        primero = id;
        QVariantList& f = filas[size_t(fila)];
        f[oidos[lado].articulo] = a.value(3);
        f[oidos[lado].serie] = a.value(4);
        f[oidos[lado].modelo] = a.value(5);
    });
    for (const QVariantList& f : filas)
        t.appendStored(f);
}
