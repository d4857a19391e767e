#include "output/labels/generaretiquetas.h"

#include "business/tdocumento.h"
#include "output/labels/formatosetiqueta.h"
#include "platform/memtable.h"

#include <QDate>
#include <QDateTime>
#include <QSet>

#include <cmath>
#include <vector>

namespace quill {

qint16 LeerFormatoEtiqueta(TDocumento& documento, const QString& carpetaFormatos,
                           const OpcionesEtiquetas& opciones) {
    documento.Reiniciar();
    // An empty name names no file at all: nothing is looked for.
    if (!NombreFormato(opciones.formato).isEmpty())
        documento.setFichero(RutaFormato(carpetaFormatos, opciones.formato));
    const qint16 r = documento.Cargar();
    if (r != 0) return r;
    documento.setColumnaInicial(opciones.columnaInicial);
    documento.setFilaInicial(opciones.filaInicial);
    documento.Abrir();
    return 0;
}

namespace {

// The result-table columns each patient field is read from, first found wins. The tables of
// the kinds name the same data differently.
const std::vector<std::pair<const char*, std::vector<const char*>>>& alias() {
    static const std::vector<std::pair<const char*, std::vector<const char*>>> a = {
        {"CODIGO", {"Codigo"}},
        {"APELLIDOS", {"Apellidos"}},
        {"NOMBRE", {"NombreCorto", "Nombre"}},
        {"NOMBRE_COMPLETO", {"NombreCompleto", "NombrePaciente"}},
        {"DIRECCION", {"Direccion"}},
        {"ID_LOCALIDAD", {"IdLocalidad"}},
        {"TELEFONO", {"Telefono"}},
        {"TELEFONO_MOVIL", {"Movil", "TelefonoMovil"}},
        {"SEXO", {"Sexo"}},
        {"PROFESION", {"Profesion"}},
        {"VIENE_POR", {"VienePor"}},
        {"FECHA_NACIMIENTO", {"FNacimiento", "FechaNacimiento", "Nacimiento"}},
        {"FECHA_PRIMERA_VISITA", {"FPriVisita", "Fecha1Visita", "PrimeraVisita"}},
        {"FECHA_ULTIMA_VISITA", {"FUltVisita", "FechaUltVisita", "UltimaVisita"}},
        {"FECHA_CARNET", {"FCarnet", "FechaCarnet", "Carnet"}},
        {"ULTIMO_DESCUENTO", {"UltDescuento", "UltimoDescuento", "UltDto"}},
        {"CORREO", {"Correo"}},
        {"TOTAL_COMPRADO_M1", {"TotalComprado", "TotalCompradoM1"}},
        {"TOTAL_COMPRADO_M2", {"TotalCompradoM2"}},
        {"TIENDA", {"Tienda", "IdTienda"}},
        {"FOTOGRAFIA", {"Fotografia"}},
        {"E_MAIL", {"EMail", "E_Mail"}},
        {"CODIGO_POSTAL", {"CodigoPostal"}},
        {"LOCALIDAD", {"Localidad"}},
        {"PROVINCIA", {"Provincia"}},
    };
    return a;
}

// Column of the table for each patient field (-1: the table does not have it).
std::vector<int> columnas(const MemTable& t) {
    std::vector<int> c(size_t(CamposPaciente().size()), -1);
    for (const auto& [campo, nombres] : alias()) {
        for (const char* n : nombres) {
            const int i = t.fieldIndex(QString::fromLatin1(n));
            if (i >= 0) {
                c[size_t(CampoPaciente(QString::fromLatin1(campo)))] = i;
                break;
            }
        }
    }
    // The dates tables keep the full name in Nombre and the first name in NombreCorto.
    if (t.fieldIndex(QStringLiteral("NombreCorto")) >= 0)
        c[size_t(CampoPaciente(QStringLiteral("NOMBRE_COMPLETO")))] =
            t.fieldIndex(QStringLiteral("Nombre"));
    return c;
}

QString texto(const QVariant& v) {
    if (v.isNull()) return QString();
    switch (v.typeId()) {
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        const QDate d = v.toDate();
        // The shop's empty date prints as nothing.
        return !d.isValid() || d == QDate(1899, 12, 30) ? QString()
                                                        : d.toString(QStringLiteral("dd/MM/yyyy"));
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (std::floor(d) == d && std::fabs(d) < 1e15) return QString::number(qint64(d));
        return QString::number(d, 'f', 2);
    }
    default:
        return v.toString().trimmed();
    }
}

// Fills the document's patient data from one row, with the locality texts resolved when the
// row lacks them.
void copiarFila(TDocumento& d, const MemTable& t, int fila, const std::vector<int>& c,
                const ResolverLocalidad& localidad) {
    d.LimpiarDatos();
    for (size_t i = 0; i < c.size(); ++i)
        if (c[i] >= 0) d.setDato(int(i), texto(t.valueAt(fila, c[i])));
    static const int cp = CampoPaciente(QStringLiteral("CODIGO_POSTAL"));
    static const int loc = CampoPaciente(QStringLiteral("LOCALIDAD"));
    static const int prov = CampoPaciente(QStringLiteral("PROVINCIA"));
    static const int id = CampoPaciente(QStringLiteral("ID_LOCALIDAD"));
    const QStringList& datos = d.DatosPaciente();
    if (localidad && datos.at(loc).isEmpty() && datos.at(id).toInt() > 0) {
        const std::array<QString, 3> l = localidad(datos.at(id).toInt());
        d.setDato(cp, l[0]);
        d.setDato(loc, l[1]);
        d.setDato(prov, l[2]);
    }
}

} // namespace

void ImprimirDatosPaciente(TDocumento& documento, const MemTable& tabla, int fila,
                           const ResolverLocalidad& localidad) {
    copiarFila(documento, tabla, fila, columnas(tabla), localidad);
    documento.AnadirEtiqueta();
}

qint16 GenerarEtiquetasDataSet(TDocumento& documento, const FuenteEtiquetas& fuente,
                               const OpcionesEtiquetas& opciones,
                               const std::function<bool()>& cancelado,
                               const ResolverLocalidad& localidad) {
    if (!fuente.tabla) return 0;
    const MemTable& t = *fuente.tabla;
    const std::vector<int> c = columnas(t);
    const int codigo = CampoPaciente(QStringLiteral("CODIGO"));
    const int direccion = CampoPaciente(QStringLiteral("DIRECCION"));
    const int cp = CampoPaciente(QStringLiteral("CODIGO_POSTAL"));
    const int loc = CampoPaciente(QStringLiteral("LOCALIDAD"));
    const int copias = std::max(1, opciones.copias);
    QSet<QString> pacientes;
    QSet<QString> domicilios;
    const int filas = t.recordCount();
    for (int fila = 0; fila < filas; ++fila) {
        if (cancelado && cancelado()) {
            documento.Abrir();
            return -301;
        }
        copiarFila(documento, t, fila, c, localidad);
        const QStringList& datos = documento.DatosPaciente();
        if (fuente.unaPorPaciente) {
            const QString clave = datos.at(codigo);
            if (pacientes.contains(clave)) continue;
            pacientes.insert(clave);
        }
        if (opciones.porDomicilio) {
            const QString calle = datos.at(direccion).simplified().toUpper();
            // A patient without an address shares it with nobody.
            if (!calle.isEmpty()) {
                const QString clave = calle + QLatin1Char('\n') + datos.at(cp).trimmed() +
                                      QLatin1Char('\n') + datos.at(loc).simplified().toUpper();
                if (domicilios.contains(clave)) continue;
                domicilios.insert(clave);
            }
        }
        const QStringList copia = datos;
        for (int n = 0; n < copias; ++n) {
            for (qsizetype i = 0; i < copia.size(); ++i)
                documento.setDato(int(i), copia.at(i));
            documento.AnadirEtiqueta();
        }
    }
    return 0;
}

} // namespace quill
