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

// A row of a sheet table, filled by field name and appended in one go.
class Fila {
public:
    explicit Fila(const MemTable& t) : m_tabla(t), m_valores(t.fieldCount()) {}
    void poner(const char* campo, const QVariant& v) { poner(QString::fromLatin1(campo), v); }
    void poner(const QString& campo, const QVariant& v) {
        const int i = m_tabla.fieldIndex(campo);
        if (i < 0)
            throw quill::Error(
                QStringLiteral("La tabla '%1' no tiene el campo '%2'").arg(m_tabla.name(), campo));
        m_valores[i] = v;
    }
    const QVariantList& valores() const { return m_valores; }

private:
    const MemTable& m_tabla;
    QVariantList m_valores;
};

// Values of the open result by column name, the names read from the statement it runs; a
// column the statement lacks reads as null.
class Lector {
public:
    Lector(const QSqlQuery& q, const QString& sentencia) : m_q(q) {
        const QStringList nombres = quill::NombresColumnas(sentencia);
        for (int i = 0; i < nombres.size(); ++i)
            m_indices.insert(nombres[i], i);
    }
    QVariant operator()(const QString& columna) const {
        const int i = m_indices.value(columna, -1);
        return i < 0 ? QVariant() : m_q.value(i);
    }
    QVariant operator()(const char* columna) const { return (*this)(QString::fromLatin1(columna)); }
    QString texto(const char* columna) const { return (*this)(columna).toString(); }

private:
    const QSqlQuery& m_q;
    QHash<QString, int> m_indices;
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
    const QString columnaFicha = quill::ColumnaFicha(graduacion ? FamiliaPrescripcion::Graduacion
                                                                : FamiliaPrescripcion::Lentilla);
    const bool localidades = Variante() == 3;
    quill::TLstUtil& util = Util();
    MemTable& t = *memPrescripciones;
    MemTable::ControlsDisabled sinAvisos(t);
    QSqlQuery& q = *dstListado();
    const Lector v(q, SentenciaSQL());
    QSet<qint64> fichas;
    do {
        const QVariant ficha = v(columnaFicha);
        if (!ficha.isNull()) {
            if (fichas.contains(ficha.toLongLong())) continue;
            fichas.insert(ficha.toLongLong());
        }
        Fila f(t);
        const QDate fecha = fechaDe(v("FECHA"));
        f.poner("Nombre", unir(v.texto("NOMBRE"), v.texto("APELLIDOS")));
        f.poner("NombreCompleto", v("NOMBRE_COMPLETO"));
        f.poner("Codigo", v("CODIGO"));
        f.poner("Fecha", util.Fecha(fecha.toString(QStringLiteral("dd/MM/yyyy"))));
        f.poner("Orden", fecha.toString(QStringLiteral("yyyy/MM/dd")));
        f.poner("Doctor", quill::TextoDoctor(v.texto("NOMBRE_DOCTOR"), v.texto("APELLIDOS_DOCTOR"),
                                             v.texto("NUMERO_COLEGIADO")));
        f.poner("Agente", unir(v.texto("NOMBRE_AGENTE"), v.texto("APELLIDOS_AGENTE")));
        f.poner("Apellidos", v("APELLIDOS"));
        f.poner("Telefono", v("TELEFONO"));
        const int localidad = v("ID_LOCALIDAD").toInt();
        f.poner("IdLocalidad", QString::number(localidad));
        if (localidades) {
            f.poner("CodigoPostal", util.CodigoPostal(localidad));
            f.poner("Localidad", util.NombreLocalidad(localidad));
            f.poner("Provincia", util.NombreProvincia(localidad));
        }
        f.poner("Tipo", tipo);
        if (graduacion) {
            f.poner("IdGraduacion", v("ID_MGRADUACION"));
            for (const char* ojo : {"OD", "OI"}) {
                auto campo = [&](const char* nombre) {
                    return QLatin1String(ojo) + QLatin1String(nombre);
                };
                auto columna = [&](const char* nombre) {
                    return QLatin1String(ojo) + QLatin1Char('_') + QLatin1String(nombre);
                };
                f.poner(campo("Eje"), v(columna("EJE")));
                f.poner(campo("Cilindro"), v(columna("CILINDRO")));
                f.poner(campo("EsferaLejos"), v(columna("ESFERA_LEJOS")));
                f.poner(campo("EsferaCerca"), v(columna("ESFERA_CERCA")));
                f.poner(campo("EsferaMedia"), v(columna("ESFERA_MEDIA")));
                f.poner(campo("Prisma"), v(columna("PRISMA")));
                f.poner(campo("SCLejos"), v(columna("AGUDEZA_VISUAL_SC")));
                f.poner(campo("CCLejos"), v(columna("AGUDEZA_VISUAL_CC")));
                f.poner(campo("DistanciaLejos"), v(columna("DISTANCIA_LEJOS")));
                // The right eye's near distance is a text field of the sheet.
                const QVariant cerca = v(columna("DISTANCIA_CERCA"));
                f.poner(campo("DistanciaCerca"), QLatin1String(ojo) == QLatin1String("OD")
                                                     ? QVariant(medidaTexto(cerca))
                                                     : cerca);
            }
        } else {
            for (const char* ojo : {"OD", "OI"}) {
                auto campo = [&](const char* nombre) {
                    return QLatin1String(ojo) + QLatin1String(nombre);
                };
                auto columna = [&](const char* nombre) {
                    return QLatin1String(ojo) + QLatin1Char('_') + QLatin1String(nombre);
                };
                f.poner(campo("EsferaLejos"), v(columna("ESFERA")));
                f.poner(campo("Cilindro"), v(columna("CILINDRO")));
                f.poner(campo("Eje"), v(columna("EJE")));
                f.poner(campo("Radio"),
                        unir(v(columna("RADIO_1")).toString(), v(columna("RADIO_2")).toString()));
                f.poner(campo("Diametro"), v(columna("DIAMETRO")));
                f.poner(campo("ZonaOptica"), medidaTexto(v(columna("ZONA_OPTICA"))));
                f.poner(campo("CCLejos"), v(columna("AGUDEZA_VISUAL_CC")));
                const QVariant tipoLentilla = v(columna("TLENTILLA"));
                f.poner(campo("TipoLentilla"),
                        tipoLentilla.isNull() ? QString()
                                              : util.DescripcionTLentilla(tipoLentilla.toInt()));
                f.poner(campo("Descripcion"), v(columna("DESCRIPCION")));
                f.poner(campo("Lote"), v(columna("LOTE")));
            }
        }
        t.appendStored(f.valores());
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
    const Lector v(q, SentenciaSQL());
    // The fittings first, then their notes and devices, read for many fittings at a time.
    std::vector<Fila> filas;
    QList<qint64> ids;
    QHash<qint64, int> posicion;
    do {
        const qint64 id = v("ID_MAUDIFONO").toLongLong();
        if (posicion.contains(id)) continue;
        posicion.insert(id, int(filas.size()));
        ids.append(id);
        Fila f(t);
        const QDate fecha = fechaDe(v("FECHA_ADAPTACION"));
        f.poner("IdAudifono", double(id));
        f.poner("Codigo", v("CODIGO"));
        f.poner("Nombre", unir(v.texto("NOMBRE"), v.texto("APELLIDOS")));
        f.poner("NombreCompleto", v("NOMBRE_COMPLETO"));
        f.poner("Apellidos", v("APELLIDOS"));
        f.poner("Telefono", v("TELEFONO"));
        const int localidad = v("ID_LOCALIDAD").toInt();
        f.poner("IdLocalidad", QString::number(localidad));
        if (localidades) {
            f.poner("CodigoPostal", util.CodigoPostal(localidad));
            f.poner("Localidad", util.NombreLocalidad(localidad));
            f.poner("Provincia", util.NombreProvincia(localidad));
        }
        f.poner("Fecha", util.Fecha(fecha.toString(QStringLiteral("dd/MM/yyyy"))));
        f.poner("Orden", fecha.toString(QStringLiteral("yyyy/MM/dd")));
        f.poner("Doctor", quill::TextoDoctor(v.texto("NOMBRE_DOCTOR"), v.texto("APELLIDOS_DOCTOR"),
                                             v.texto("NUMERO_COLEGIADO")));
        for (const quill::ColumnaAudiograma& c : quill::ColumnasAudiograma())
            f.poner(c.campo, v(c.columna));
        filas.push_back(std::move(f));
    } while (q.next());
    if (q.lastError().isValid())
        throw quill::Error(QStringLiteral("Error al leer las adaptaciones de audífonos: ") +
                           q.lastError().text());

    QSqlDatabase db = QSqlDatabase::database(Conexion(), false);
    auto leer = [&](const QString& sql, auto porFila) {
        QSqlQuery aux(db);
        aux.setForwardOnly(true);
        if (!aux.exec(sql))
            throw quill::Error(QStringLiteral("Error al leer los datos de las adaptaciones: ") +
                               aux.lastError().text());
        while (aux.next())
            porFila(aux, filas[size_t(posicion.value(aux.value(0).toLongLong()))]);
    };
    const int lote = std::max(1, IdsPorLectura);
    for (qsizetype desde = 0; desde < ids.size(); desde += lote) {
        const QList<qint64> parte = ids.mid(desde, lote);
        if (observaciones) {
            // Only the first note of each fitting goes on its sheet.
            QSet<qint64> conNota;
            leer(quill::SentenciaObservacionesAudifono(parte), [&](const QSqlQuery& a, Fila& f) {
                const qint64 id = a.value(0).toLongLong();
                if (conNota.contains(id)) return;
                conNota.insert(id);
                f.poner("Observaciones", a.value(1).toString());
            });
        }
        // One device per ear: the first written, should an ear have more.
        QSet<QPair<qint64, int>> conAparato;
        leer(quill::SentenciaAparatosAudifono(parte), [&](const QSqlQuery& a, Fila& f) {
            const qint64 id = a.value(0).toLongLong();
            const int oido = a.value(1).toInt();
            if (oido != quill::kOjoDerecho && oido != quill::kOjoIzquierdo) return;
            if (conAparato.contains({id, oido})) return;
            conAparato.insert({id, oido});
            const bool derecho = oido == quill::kOjoDerecho;
            f.poner(derecho ? "ArticuloOd" : "ArticuloOi", a.value(2));
            f.poner(derecho ? "NSerieOD" : "NSerieOI", a.value(3));
            f.poner(derecho ? "ModeloOD" : "ModeloOI", a.value(4));
        });
    }
    for (const Fila& f : filas)
        t.appendStored(f.valores());
}
