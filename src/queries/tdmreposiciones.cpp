#include "queries/tdmreposiciones.h"

#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/tablas.h"
#include "sql/lstutil.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>

#include <array>
#include <utility>
#include <vector>

using quill::MemTable;

namespace {

void reabrir(MemTable& t) {
    t.close();
    t.open();
}

// A result column by name; the statement is ours, so a missing one is a fault.
int columna(const QSqlRecord& r, const char* nombre) {
    const int c = r.indexOf(QLatin1String(nombre));
    if (c < 0)
        throw quill::Error(QStringLiteral("El listado de reposiciones no tiene la columna %1")
                               .arg(QLatin1String(nombre)));
    return c;
}

// A field of memReposiciones by name.
int campo(const MemTable& t, const char* nombre) {
    const int f = t.fieldIndex(QLatin1String(nombre));
    if (f < 0)
        throw quill::Error(QStringLiteral("La tabla '%1' no tiene el campo '%2'")
                               .arg(t.name(), QLatin1String(nombre)));
    return f;
}

// The columns of one eye: the fitting's measurements of that eye and where they go.
struct Ojo {
    int radio1, radio2, esfera, cilindro, eje, diametro;                          // result columns
    int articulo, idTLentilla, radio, fEsfera, fCilindro, fEje, fDiametro, marca; // fields
};

} // namespace

TdmReposiciones::TdmReposiciones(QObject* owner)
    : quill::ListingModule(owner),
      memReposiciones(new MemTable(QStringLiteral("memReposiciones"), this)),
      memSMS(new MemTable(QStringLiteral("memSMS"), this)) {
    setObjectName(QStringLiteral("dmReposiciones"));
    quill::definirMemReposiciones(*memReposiciones);
    quill::definirMemSMS(*memSMS);
    memReposiciones->open();
    memSMS->open();
}

TdmReposiciones::~TdmReposiciones() {
    CerrarListado();
}

quill::TLstUtil& TdmReposiciones::Util() {
    if (!m_util || m_utilConexion != Conexion()) {
        m_util = std::make_unique<quill::TLstUtil>(Conexion());
        m_utilConexion = Conexion();
    }
    return *m_util;
}

void TdmReposiciones::setUtil(std::unique_ptr<quill::TLstUtil> util) {
    m_util = std::move(util);
    m_utilConexion = Conexion();
}

QString TdmReposiciones::ConstruirSQL(qint16 orden, qint16 sentido, bool todas) {
    return quill::GenerarSentenciaReposiciones({LeerCondiciones(), Tablas}, orden, sentido, todas);
}

qint16 TdmReposiciones::GenerarSQL(qint16 orden, qint16 sentido, bool todas) {
    reabrir(*memReposiciones);
    reabrir(*memSMS);
    const qint16 r = Ejecutar(ConstruirSQL(orden, sentido, todas));
    if (r != quill::kListadoCorrecto) return r;
    try {
        plegar(orden == 18 ? "CODIGO_PROVEEDOR" : "NOMBRE_PROVEEDOR");
    } catch (const std::exception& e) {
        reabrir(*memReposiciones);
        return FalloInterno(QString::fromUtf8(e.what()));
    }
    return r;
}

qint16 TdmReposiciones::GenerarSQLConteo(bool todas) {
    return GenerarSQL(0, 0, todas);
}

double TdmReposiciones::ContarPacientes() {
    return Resultado == quill::kListadoCorrecto ? memReposiciones->recordCount() : 0;
}

void TdmReposiciones::plegar(const char* columnaProveedor) {
    if (!IrAlPrimero()) return;
    QSqlQuery& q = *dstListado();
    const QSqlRecord r = q.record();
    MemTable& t = *memReposiciones;

    // Columns copied as they come into the fitting's row, set when the row is made.
    const std::pair<const char*, const char*> copias[] = {
        {"Codigo", "CODIGO"},
        {"Nombre", "NOMBRE"},
        {"Apellidos", "APELLIDOS"},
        {"Direccion", "DIRECCION"},
        {"Nif", "NIF"},
        {"Telefono", "TELEFONO"},
        {"Movil", "TELEFONO_MOVIL"},
        {"EMail", "E_MAIL"},
        {"CodigoProveedor", "CODIGO_PROVEEDOR"},
        {"NombrePaciente", "NOMBRE_COMPLETO"},
        {"IdLocalidad", "ID_LOCALIDAD"},
        {"VienePor", "VIENE_POR"},
        {"Sexo", "SEXO"},
        {"FechaNacimiento", "FECHA_NACIMIENTO"},
        {"Fecha1Visita", "FECHA_PRIMERA_VISITA"},
        {"FechaUltVisita", "FECHA_ULTIMA_VISITA"},
        {"FechaCarnet", "FECHA_CARNET"},
        {"UltimoDescuento", "ULTIMO_DESCUENTO"},
        {"TotalCompradoM1", "TOTAL_COMPRADO_M1"},
        {"Web", "WEB"},
        {"Fotografia", "FOTOGRAFIA"},
        {"Correo", "CORREO"},
        {"Profesion", "PROFESION"},
        {"NombreProveedor", "NOMBRE_PROVEEDOR"},
        {"Fecha", "FECHA_REPOSICION"},
        {"IdTienda", "TIENDA"},
        {"TotalCompradoM2", "TOTAL_COMPRADO_M2"},
        {"IdMLentilla", "ID_MLENTILLA"},
    };
    std::vector<std::pair<int, int>> copiar; // field, column
    for (const auto& [f, c] : copias)
        copiar.push_back({campo(t, f), columna(r, c)});
    const int cLocalidad = columna(r, "ID_LOCALIDAD");
    const int cFicha = columna(r, "ID_MLENTILLA");
    const int cCodigoProveedor = columna(r, "CODIGO_PROVEEDOR");
    const int cNombreProveedor = columna(r, "NOMBRE_PROVEEDOR");
    const int cOjo = columna(r, "OJO");
    const int cDescripcion = columna(r, "DESCRIPCION");
    const int cTLentilla = columna(r, "ID_TLENTILLA");
    const std::array<int, 3> fLocalidad = {campo(t, "CodigoPostal"), campo(t, "Localidad"),
                                           campo(t, "Provincia")};
    const Ojo ojos[2] = {
        {columna(r, "OD_RADIO_1"), columna(r, "OD_RADIO_2"), columna(r, "OD_ESFERA"),
         columna(r, "OD_CILINDRO"), columna(r, "OD_EJE"), columna(r, "OD_DIAMETRO"),
         campo(t, "ArticuloOD"), campo(t, "IdTLentillaOD"), campo(t, "ODRadio"),
         campo(t, "ODEsfera"), campo(t, "ODCilindro"), campo(t, "ODEje"), campo(t, "ODDiametro"),
         campo(t, "Derecho")},
        {columna(r, "OI_RADIO_1"), columna(r, "OI_RADIO_2"), columna(r, "OI_ESFERA"),
         columna(r, "OI_CILINDRO"), columna(r, "OI_EJE"), columna(r, "OI_DIAMETRO"),
         campo(t, "ArticuloOI"), campo(t, "IdTLentillaOI"), campo(t, "OIRadio"),
         campo(t, "OIEsfera"), campo(t, "OICilindro"), campo(t, "OIEje"), campo(t, "OIDiametro"),
         campo(t, "Izquierdo")},
    };

    quill::TLstUtil& util = Util();
    QHash<int, std::array<QString, 3>> localidades;
    MemTable::ControlsDisabled sinAvisos(t);

    // The rows come by supplier, then by replacement date: every lens of one fitting and
    // supplier falls in the same run of equal supplier and date. Only the rows of the current
    // run are held; they go to the table, in the order they began, when the run ends.
    const int cOrden = columna(r, columnaProveedor);
    const int cFecha = columna(r, "FECHA_REPOSICION");
    std::vector<QVariantList> bloque;
    QHash<std::pair<int, QString>, size_t> posicion;
    QVariant ordenBloque, fechaBloque;
    auto vaciar = [&] {
        for (const QVariantList& fila : bloque)
            t.appendStored(fila);
        bloque.clear();
        posicion.clear();
    };
    do {
        if (q.value(0).toInt() == 0) continue;
        const QVariant orden = q.value(cOrden);
        const QVariant fecha = q.value(cFecha);
        if (orden != ordenBloque || fecha != fechaBloque) {
            vaciar();
            ordenBloque = orden;
            fechaBloque = fecha;
        }
        const int ficha = q.value(cFicha).toInt();
        const QVariant codigo = q.value(cCodigoProveedor);
        const QString proveedor = (codigo.isNull() ? QString() : codigo.toString()) + QChar(0x1f) +
                                  q.value(cNombreProveedor).toString();
        const std::pair<int, QString> clave{ficha, proveedor};
        auto it = posicion.constFind(clave);
        if (it == posicion.constEnd()) {
            QVariantList fila(t.fieldCount());
            for (const auto& [f, c] : copiar)
                fila[f] = q.value(c);
            const int localidad = q.value(cLocalidad).toInt();
            auto l = localidades.find(localidad);
            if (l == localidades.end())
                l = localidades.insert(localidad, {util.CodigoPostal(localidad),
                                                   util.NombreLocalidad(localidad),
                                                   util.NombreProvincia(localidad)});
            for (size_t i = 0; i < fLocalidad.size(); ++i)
                fila[fLocalidad[i]] = (*l)[i];
            fila[ojos[0].marca] = false;
            fila[ojos[1].marca] = false;
            it = posicion.insert(clave, bloque.size());
            bloque.push_back(std::move(fila));
        }
        // Eye 1 is the right one; any other value is the left.
        const Ojo& o = ojos[q.value(cOjo).toInt() == 1 ? 0 : 1];
        QVariantList& fila = bloque[*it];
        fila[o.articulo] = q.value(cDescripcion);
        fila[o.idTLentilla] = q.value(cTLentilla);
        fila[o.radio] =
            q.value(o.radio1).toString() + QLatin1Char(' ') + q.value(o.radio2).toString();
        fila[o.fEsfera] = q.value(o.esfera);
        fila[o.fCilindro] = q.value(o.cilindro);
        fila[o.fDiametro] = q.value(o.diametro);
        fila[o.fEje] = q.value(o.eje);
        fila[o.marca] = true;
    } while (q.next());
    vaciar();
}

void TdmReposiciones::TablaSMS(bool comprobar) {
    reabrir(*memSMS);
    MemTable::ControlsDisabled sinAvisos(*memSMS);
    quill::TLstUtil& util = Util();
    const MemTable& t = *memReposiciones;
    const int nombre = campo(t, "NombrePaciente");
    const int movil = campo(t, "Movil");
    const int ficha = campo(t, "IdMLentilla");
    // One message per fitting, though two suppliers split it into two rows.
    QSet<int> fichas;
    for (int i = 0; i < t.recordCount(); ++i) {
        const int id = t.valueAt(i, ficha).toInt();
        if (fichas.contains(id)) continue;
        fichas.insert(id);
        const QString numero =
            comprobar ? util.Movil(t.textAt(i, movil)) : t.textAt(i, movil).trimmed();
        if (numero.isEmpty()) continue;
        memSMS->appendStored({t.valueAt(i, nombre), numero});
    }
}
