#include "queries/sentenciagarantias.h"

#include "platform/guard.h"
#include "sql/lstbasesentencia.h"

#include <QRegularExpression>

namespace quill {

namespace {

// The patient columns every member selects after its own first five.
const QString kColumnasPaciente = QStringLiteral(
    "PACIENTE.DIRECCION, PACIENTE.TELEFONO, PACIENTE.TELEFONO_MOVIL, PACIENTE.E_MAIL, "
    "PACIENTE.ID_LOCALIDAD, PACIENTE.NOMBRE, PACIENTE.APELLIDOS, "
    "PACIENTE.VIENE_POR, PACIENTE.NIF, PACIENTE.SEXO, PACIENTE.FECHA_NACIMIENTO, "
    "PACIENTE.FECHA_PRIMERA_VISITA, FECHA_ULTIMA_VISITA, FECHA_CARNET, "
    "PACIENTE.ULTIMO_DESCUENTO, PACIENTE.CORREO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, PACIENTE.FOTOGRAFIA, PACIENTE.WEB ");

struct Miembro {
    int familia;
    const char* codigo; // as the record-type condition ticks it
    const char* select;
    const char* from;
    const char* cabecera; // the record table, whose ID_PACIENTE joins the patient
};

const Miembro kMiembros[] = {
    {fichagarantia::Graduacion, "1",
     "Select 1, OJO, MGRADUACION.ID_MGRADUACION IDCABECERA, DGRADUACION.FECHA_GARANTIA GARANTIA, "
     "MGRADUACION.ID_PACIENTE IDPACIENTE, PACIENTE.CODIGO, PACIENTE.NOMBRE_COMPLETO, ",
     "From DGRADUACION INNER JOIN MGRADUACION on MGRADUACION.ID_MGRADUACION = "
     "DGRADUACION.ID_MGRADUACION ",
     "MGRADUACION"},
    {fichagarantia::Lentillas, "2",
     "Select 2, OJO, MLENTILLA.ID_MLENTILLA IDCABECERA, DLENTILLA.FECHA_GARANTIA GARANTIA, "
     "MLENTILLA.ID_PACIENTE IDPACIENTE, PACIENTE.CODIGO, PACIENTE.NOMBRE_COMPLETO, ",
     "From DLENTILLA INNER JOIN MLENTILLA on MLENTILLA.ID_MLENTILLA = DLENTILLA.ID_MLENTILLA ",
     "MLENTILLA"},
    {fichagarantia::Audifonos, "0",
     "Select 3, OIDO OJO, MAUDIFONO.ID_MAUDIFONO IDCABECERA, DAUDIFONO.GARANTIA GARANTIA, "
     "MAUDIFONO.ID_PACIENTE IDPACIENTE, PACIENTE.CODIGO, PACIENTE.NOMBRE_COMPLETO, ",
     "From DAUDIFONO INNER JOIN MAUDIFONO on MAUDIFONO.ID_MAUDIFONO = DAUDIFONO.ID_MAUDIFONO ",
     "MAUDIFONO"},
};

constexpr int kAceptaCorreo = 3000;
constexpr int kTipoFicha = 3001;
constexpr int kFechaGarantia = 3002;
constexpr int kOjo = 3003;

QString miembro(const Miembro& m, const QList<FilaCondicion>& filas, const QString& particion) {
    QString texto = QString::fromLatin1(m.select) + kColumnasPaciente + QString::fromLatin1(m.from);
    texto += QStringLiteral("INNER JOIN PACIENTE On (PACIENTE.ID_PACIENTE = ") +
             QString::fromLatin1(m.cabecera) +
             QStringLiteral(".ID_PACIENTE AND PACIENTE.BORRADO = 0 AND PACIENTE.LICENCIA = ") +
             particion;
    // A row whose fragment is empty restricts nothing and adds nothing.
    for (const FilaCondicion& f : filas)
        if (f.idEntero() == kAceptaCorreo && !f.sentencia.trimmed().isEmpty())
            texto += QStringLiteral(" AND ") + f.sentencia;
    texto += QLatin1Char(')');
    bool conWhere = false;
    for (const FilaCondicion& f : filas) {
        if (f.idEntero() != kFechaGarantia || f.sentencia.trimmed().isEmpty()) continue;
        QString s = f.sentencia;
        // The hearing-aid line names its guarantee column GARANTIA.
        if (m.familia == fichagarantia::Audifonos)
            s.replace(QStringLiteral("FECHA_GARANTIA"), QStringLiteral("GARANTIA"));
        texto += (conWhere ? QStringLiteral(" AND ") : QStringLiteral(" WHERE ")) + s;
        conWhere = true;
    }
    return texto;
}

} // namespace

QList<int> FamiliasGarantia(const QStringList& familias) {
    QList<int> elegidas;
    for (const Miembro& m : kMiembros) {
        bool marcada = familias.isEmpty();
        for (const QString& f : familias)
            marcada = marcada || f.trimmed() == QLatin1String(m.codigo);
        if (marcada) elegidas.append(m.familia);
    }
    return elegidas;
}

QString OrdenGarantias(qint16 orden, qint16 sentido) {
    QString clave;
    switch (orden) {
    case 18:
        clave = QStringLiteral("7 ");
        break;
    case 21:
        clave = QStringLiteral("8 ");
        break;
    case 26:
        clave = QStringLiteral("4 ");
        break;
    default: // 3 and every other code: patient code
        clave = QStringLiteral("6 ");
        break;
    }
    QString texto = QStringLiteral(" ORDER BY ") + clave;
    if (sentido == 1) texto += QStringLiteral(" DESC ");
    texto += QStringLiteral(",3 ");
    texto += orden == 26 ? QStringLiteral(",2 ") : QStringLiteral(",4 ,2 ");
    return texto;
}

QString GenerarSentenciaGarantias(const DatosSentenciaGarantias& datos, qint16 orden,
                                  qint16 sentido) {
    // The partition goes into the statement as it is: it must be an integer.
    static const QRegularExpression entero(QStringLiteral("^-?[0-9]{1,9}$"));
    if (!entero.match(datos.particion).hasMatch())
        throw Error(QStringLiteral("El valor de la partición de datos no es un número entero: '%1'")
                        .arg(datos.particion));
    const QList<int> familias = FamiliasGarantia(datos.familias);
    if (familias.isEmpty())
        throw Error(QStringLiteral("Ninguno de los tipos de ficha elegidos tiene garantías: elija "
                                   "Graduación, Contactología o Audiometría"));
    QStringList miembros;
    for (const Miembro& m : kMiembros)
        if (familias.contains(m.familia)) miembros.append(miembro(m, datos.filas, datos.particion));
    return miembros.join(QStringLiteral(" UNION ")) + OrdenGarantias(orden, sentido);
}

bool FichaCompleta(int familia, int lineas, int ojosElegidos) {
    switch (familia) {
    case fichagarantia::Graduacion:
        return ojosElegidos == 0 ? lineas == 3 : lineas >= ojosElegidos;
    case fichagarantia::Lentillas:
    case fichagarantia::Audifonos:
        return ojosElegidos == 0 ? lineas >= 2 : lineas == ojosElegidos;
    default:
        return false;
    }
}

QList<int> OjosGarantia(const QStringList& ids) {
    static const QRegularExpression separador(QStringLiteral("[;\\r\\n]"));
    QList<int> ojos;
    for (const QString& item : ids)
        for (const QString& parte : item.split(separador, Qt::SkipEmptyParts)) {
            const QString id = parte.trimmed();
            if (id.isEmpty()) continue;
            bool ok = false;
            const int ojo = id.toInt(&ok);
            if (!ok)
                throw Error(QStringLiteral(
                                "El valor '%1' de la condición Ojo / Oído no es un número entero")
                                .arg(id));
            if (!ojos.contains(ojo)) ojos.append(ojo);
        }
    return ojos;
}

SeleccionGarantias LeerSeleccionGarantias(const QList<FilaCondicion>& filas,
                                          const QStringList& familias, const QStringList& ojos) {
    const FilaCondicion* tipoFicha = nullptr;
    const FilaCondicion* ojo = nullptr;
    for (const FilaCondicion& f : filas) {
        const int id = f.idEntero();
        if (id != kTipoFicha && id != kOjo) continue;
        if (f.condicion != operador::IgualA)
            throw Error(QStringLiteral("La condición «%1» del listado de garantías sólo admite el "
                                       "operador «Igual a...»: '%2'")
                            .arg(f.campo.isEmpty() ? QString::number(id) : f.campo, f.condicion));
        (id == kTipoFicha ? tipoFicha : ojo) = &f;
    }
    auto propios = [](const FilaCondicion& f) {
        QStringList ids;
        for (const QString& id : f.condicion1Ids.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!id.trimmed().isEmpty()) ids.append(id.trimmed());
        return ids;
    };
    SeleccionGarantias s;
    if (tipoFicha) {
        s.familias = propios(*tipoFicha);
        if (s.familias.isEmpty()) s.familias = familias;
    }
    if (ojo) {
        const QStringList ids = propios(*ojo);
        s.ojos = OjosGarantia(ids.isEmpty() ? ojos : ids);
    }
    return s;
}

} // namespace quill
