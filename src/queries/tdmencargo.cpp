#include "queries/tdmencargo.h"

#include "conditions/construir.h"
#include "platform/guard.h"
#include "platform/memtable.h"
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

using quill::MemTable;

namespace {

void reabrir(MemTable& t) {
    t.close();
    t.open();
}

// Fields of memEncargosPendientes that the fold fills, in the table's order.
enum Campo {
    IdPaciente,
    Codigo,
    Apellidos,
    Nombre,
    NombreCompleto,
    Direccion,
    IdLocalidad,
    CodigoPostal,
    Localidad,
    Provincia,
    Nif,
    VienePor,
    Telefono,
    Movil,
    E_Mail,
    Sexo,
    FechaNacimiento,
    Fecha1Visita,
    FechaUltVisita,
    FechaCarnet,
    UltimoDescuento,
    TotalCompradoM1,
    Web,
    Fotografia,
    Correo,
    Profesion,
    TotalCompradoM2,
    IdTienda,
    DeudaM1,
    DeudaM2,
    NombreEMail,
    NumCampos
};

const char* const kCampos[NumCampos] = {"IdPaciente",
                                        "Codigo",
                                        "Apellidos",
                                        "Nombre",
                                        "NombreCompleto",
                                        "Direccion",
                                        "IdLocalidad",
                                        "CodigoPostal",
                                        "Localidad",
                                        "Provincia",
                                        "Nif",
                                        "VienePor",
                                        "Telefono",
                                        "Movil",
                                        "E_Mail",
                                        "Sexo",
                                        "FechaNacimiento",
                                        "Fecha1Visita",
                                        "FechaUltVisita",
                                        "FechaCarnet",
                                        "UltimoDescuento",
                                        "TotalCompradoM1",
                                        "Web",
                                        "Fotografia",
                                        "Correo",
                                        "Profesion",
                                        "TotalCompradoM2",
                                        "IdTienda",
                                        "DeudaM1",
                                        "DeudaM2",
                                        "NombreEMail"};

// Result columns by name, resolved once per walk.
struct Columnas {
    explicit Columnas(const QSqlRecord& r) {
        auto i = [&](const char* n) {
            const int c = r.indexOf(QLatin1String(n));
            if (c < 0)
                throw quill::Error(QStringLiteral("El listado de encargos no tiene la columna %1")
                                       .arg(QLatin1String(n)));
            return c;
        };
        id = i("ID_PACIENTE");
        venta = i("ID_MVENTA");
        liquidoM1 = i("LIQUIDO_M1");
        cobrosM1 = i("COBROS_M1");
        liquidoM2 = i("LIQUIDO_M2");
        cobrosM2 = i("COBROS_M2");
        localidad = i("ID_LOCALIDAD");
        nombre = i("NOMBRE");
        apellidos = i("APELLIDOS");
        // Patient columns copied as they come.
        const std::array<std::pair<Campo, const char*>, 22> copias = {{
            {Codigo, "CODIGO"},
            {Apellidos, "APELLIDOS"},
            {Nombre, "NOMBRE"},
            {NombreCompleto, "NOMBRE_COMPLETO"},
            {Direccion, "DIRECCION"},
            {Nif, "NIF"},
            {VienePor, "VIENE_POR"},
            {Telefono, "TELEFONO"},
            {Movil, "TELEFONO_MOVIL"},
            {E_Mail, "E_MAIL"},
            {Sexo, "SEXO"},
            {FechaNacimiento, "FECHA_NACIMIENTO"},
            {Fecha1Visita, "FECHA_PRIMERA_VISITA"},
            {FechaUltVisita, "FECHA_ULTIMA_VISITA"},
            {FechaCarnet, "FECHA_CARNET"},
            {UltimoDescuento, "ULTIMO_DESCUENTO"},
            {TotalCompradoM1, "TOTAL_COMPRADO_M1"},
            {Web, "WEB"},
            {Fotografia, "FOTOGRAFIA"},
            {Correo, "CORREO"},
            {Profesion, "PROFESION"},
            {TotalCompradoM2, "TOTAL_COMPRADO_M2"},
        }};
        for (const auto& [campo, columna] : copias)
            copiar.push_back({campo, i(columna)});
        copiar.push_back({IdTienda, i("TIENDA")});
    }

    int id, venta, liquidoM1, cobrosM1, liquidoM2, cobrosM2, localidad, nombre, apellidos;
    std::vector<std::pair<Campo, int>> copiar;
};

// What an order still owes, in cents: its amount less its payments (none: nothing paid).
qint64 pendiente(const QSqlQuery& q, int liquido, int cobros) {
    return quill::Centimos(q.value(liquido).toDouble()) -
           quill::Centimos(q.value(cobros).toDouble());
}

} // namespace

TdmEncargo::TdmEncargo(QObject* owner)
    : quill::ListingModule(owner),
      memEncargosPendientes(new MemTable(QStringLiteral("memEncargosPendientes"), this)),
      memSMS(new MemTable(QStringLiteral("memSMS"), this)) {
    setObjectName(QStringLiteral("dmEncargo"));
    quill::definirMemEncargosPendientes(*memEncargosPendientes);
    quill::definirMemSMS(*memSMS);
    memEncargosPendientes->open();
    memSMS->open();
}

TdmEncargo::~TdmEncargo() {
    m_detalle.reset();
    CerrarListado();
}

void TdmEncargo::AsignarParametros(const quill::ParametrosListado& parametros) {
    Deuda.operador = parametros.deudaOperador;
    Deuda.valor1 = parametros.deudaValor1;
    Deuda.valor2 = parametros.deudaValor2;
}

quill::TLstUtil& TdmEncargo::Util() {
    if (!m_util || m_utilConexion != Conexion()) {
        m_util = std::make_unique<quill::TLstUtil>(Conexion());
        m_utilConexion = Conexion();
    }
    return *m_util;
}

void TdmEncargo::setUtil(std::unique_ptr<quill::TLstUtil> util) {
    m_util = std::move(util);
    m_utilConexion = Conexion();
}

quill::DatosSentenciaEncargo TdmEncargo::datos() const {
    quill::DatosSentenciaEncargo d;
    d.filas = LeerCondiciones();
    d.tablas = Tablas;
    d.particion = m_particion;
    return d;
}

QString TdmEncargo::ConstruirSQL(qint16 orden, qint16 sentido, bool todas) {
    return quill::GenerarSentenciaEncargo(datos(), orden, sentido, todas);
}

QStringList TdmEncargo::ConstruirSentencias(qint16 orden, qint16 sentido, bool todas) {
    return {ConstruirSQL(orden, sentido, todas), quill::SentenciaDetalleEncargo()};
}

bool TdmEncargo::conDeuda() const {
    // A debt handed over for a row that was deleted since must not narrow the listing.
    if (Deuda.operador.isEmpty()) return false;
    for (const quill::FilaCondicion& f : LeerCondiciones())
        if (f.idEntero() == 552) return true;
    return false;
}

qint16 TdmEncargo::GenerarSQL(qint16 orden, qint16 sentido, bool todas) {
    reabrir(*memEncargosPendientes);
    reabrir(*memSMS);
    QString sentencia;
    try {
        sentencia = ConstruirSQL(orden, sentido, todas);
    } catch (const quill::Error& e) {
        return FalloInterno(e.message());
    }
    const qint16 r = Ejecutar(sentencia);
    if (r != quill::kListadoCorrecto) return r;
    try {
        plegar();
    } catch (const std::exception& e) {
        reabrir(*memEncargosPendientes);
        return FalloInterno(QString::fromUtf8(e.what()));
    }
    if (memEncargosPendientes->recordCount() == 0) return Resultado = quill::kListadoSinRegistros;
    return r;
}

qint16 TdmEncargo::GenerarSQLConteo(bool todas) {
    return GenerarSQL(0, 0, todas);
}

double TdmEncargo::ContarPacientes() {
    return Resultado == quill::kListadoCorrecto ? memEncargosPendientes->recordCount() : 0;
}

void TdmEncargo::plegar() {
    if (!IrAlPrimero()) return;
    QSqlQuery& q = *dstListado();
    const Columnas c(q.record());
    quill::TLstUtil& util = Util();
    QHash<int, std::array<QString, 3>> localidades;

    struct Fila {
        QVariantList valores;
        qint64 deudaM1 = 0;
        qint64 deudaM2 = 0;
    };
    std::vector<Fila> filas;
    QHash<int, size_t> posicion; // patient -> its row
    // A joined condition table may list an order several times, not always on adjacent rows.
    QSet<int> ventas;
    do {
        const int id = q.value(c.id).toInt();
        if (id == 0) continue;
        const int venta = q.value(c.venta).toInt();
        auto it = posicion.constFind(id);
        if (it == posicion.constEnd()) {
            // First row of the patient: his columns, and his first order's debt.
            Fila f;
            f.valores.resize(NumCampos);
            f.valores[IdPaciente] = double(id);
            for (const auto& [campo, columna] : c.copiar)
                f.valores[campo] = q.value(columna);
            const int localidad = q.value(c.localidad).toInt();
            auto l = localidades.find(localidad);
            if (l == localidades.end())
                l = localidades.insert(localidad, {util.CodigoPostal(localidad),
                                                   util.NombreLocalidad(localidad),
                                                   util.NombreProvincia(localidad)});
            f.valores[IdLocalidad] = localidad;
            f.valores[CodigoPostal] = (*l)[0];
            f.valores[Localidad] = (*l)[1];
            f.valores[Provincia] = (*l)[2];
            f.valores[NombreEMail] =
                q.value(c.nombre).toString() + QLatin1Char(' ') + q.value(c.apellidos).toString();
            it = posicion.insert(id, filas.size());
            filas.push_back(std::move(f));
        }
        if (ventas.contains(venta)) continue;
        ventas.insert(venta);
        Fila& f = filas[*it];
        f.deudaM1 += pendiente(q, c.liquidoM1, c.cobrosM1);
        f.deudaM2 += pendiente(q, c.liquidoM2, c.cobrosM2);
    } while (q.next());

    const bool deuda = conDeuda();
    MemTable::ControlsDisabled sinAvisos(*memEncargosPendientes);
    QVariantList valores(NumCampos);
    std::array<int, NumCampos> indice{};
    for (int i = 0; i < NumCampos; ++i)
        indice[size_t(i)] = memEncargosPendientes->fieldIndex(QLatin1String(kCampos[i]));
    for (Fila& f : filas) {
        if (deuda && !quill::DeudaConservada(Deuda, f.deudaM1)) continue;
        f.valores[DeudaM1] = double(f.deudaM1) / 100.0;
        f.valores[DeudaM2] = double(f.deudaM2) / 100.0;
        QVariantList fila(memEncargosPendientes->fieldCount());
        for (int i = 0; i < NumCampos; ++i)
            fila[indice[size_t(i)]] = f.valores[i];
        memEncargosPendientes->appendStored(fila);
    }
}

void TdmEncargo::CrearTablaSMS(bool comprobar) {
    reabrir(*memSMS);
    MemTable::ControlsDisabled sinAvisos(*memSMS);
    quill::TLstUtil& util = Util();
    const MemTable& t = *memEncargosPendientes;
    const int nombre = t.fieldIndex(QStringLiteral("NombreCompleto"));
    const int movil = t.fieldIndex(QStringLiteral("Movil"));
    for (int i = 0; i < t.recordCount(); ++i) {
        const QString numero =
            comprobar ? util.Movil(t.textAt(i, movil)) : t.textAt(i, movil).trimmed();
        if (numero.isEmpty()) continue;
        memSMS->appendStored({t.valueAt(i, nombre), numero});
    }
}

QSqlQuery* TdmEncargo::AbrirDetalle(int idPaciente) {
    // Prepared once per connection, run again for every patient the report prints.
    if (!m_detalle || m_detalleConexion != Conexion()) {
        m_detalle = std::make_unique<QSqlQuery>(QSqlDatabase::database(Conexion(), false));
        m_detalle->setForwardOnly(true);
        m_detalleConexion = Conexion();
        m_detallePreparado = false;
    }
    if (!m_detallePreparado)
        m_detallePreparado = m_detalle->prepare(quill::SentenciaDetalleEncargo());
    if (!m_detallePreparado) return nullptr;
    m_detalle->bindValue(QStringLiteral(":ID_PACIENTE"), idPaciente);
    return m_detalle->exec() ? m_detalle.get() : nullptr;
}
