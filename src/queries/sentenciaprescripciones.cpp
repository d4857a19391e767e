#include "queries/sentenciaprescripciones.h"

#include "queries/listingmodule.h"

namespace quill {

namespace {

const char* const kFrecuencias[] = {"125",  "250",  "500",  "750",  "1000", "1500",
                                    "2000", "3000", "4000", "6000", "8000"};

const QString kWhere = QStringLiteral(" WHERE PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 "
                                      "AND PACIENTE.ID_PACIENTE = TABLA.ID_PACIENTE ");
const QString kOrder = QStringLiteral(" ORDER BY TABLA.FECHA");

// A value of a master row by the record's id column, named as the sheet reads it.
QString subSelect(const char* tabla, const char* columna, const char* clave, const char* campo,
                  const char* alias) {
    return QStringLiteral("(SELECT %1.%2 FROM %1 WHERE %1.%3 = TABLA.%4) %5")
        .arg(QLatin1String(tabla), QLatin1String(columna), QLatin1String(clave),
             QLatin1String(campo), QLatin1String(alias));
}

// The doctor's name and surname, the agent's (when the family has one) and the doctor's
// registration number.
QString medicoYAgente(const char* campoDoctor, bool conAgente) {
    QStringList l;
    l << subSelect("DOCTOR", "NOMBRE", "ID_DOCTOR", campoDoctor, "NOMBRE_DOCTOR")
      << subSelect("DOCTOR", "APELLIDOS", "ID_DOCTOR", campoDoctor, "APELLIDOS_DOCTOR");
    if (conAgente)
        l << subSelect("AGENTE", "APELLIDOS", "ID_AGENTE", "ID_AGENTE", "APELLIDOS_AGENTE")
          << subSelect("AGENTE", "NOMBRE", "ID_AGENTE", "ID_AGENTE", "NOMBRE_AGENTE");
    l << subSelect("DOCTOR", "COLEGIADO", "ID_DOCTOR", campoDoctor, "NUMERO_COLEGIADO");
    return l.join(QStringLiteral(", "));
}

// "TABLA.OD_X, TABLA.OD_Y, ..., " for each eye in turn.
QString porOjo(std::initializer_list<const char*> columnas) {
    QString texto;
    for (const char* ojo : {"OD_", "OI_"})
        for (const char* c : columnas)
            texto += QStringLiteral("TABLA.") + QLatin1String(ojo) + QLatin1String(c) +
                     QStringLiteral(", ");
    return texto;
}

QString selectGraduacion() {
    return QStringLiteral("SELECT PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, "
                          "PACIENTE.NOMBRE, PACIENTE.NOMBRE_COMPLETO, PACIENTE.ID_LOCALIDAD, "
                          "PACIENTE.TELEFONO, TABLA.ID_MGRADUACION, ") +
           QStringLiteral("TABLA.FECHA, ") +
           porOjo({"EJE", "CILINDRO", "ESFERA_LEJOS", "ESFERA_CERCA", "ESFERA_MEDIA", "PRISMA",
                   "AGUDEZA_VISUAL_SC", "AGUDEZA_VISUAL_CC", "DISTANCIA_LEJOS",
                   "DISTANCIA_CERCA"}) +
           medicoYAgente("ID_DOCTOR", true) + QLatin1Char(' ');
}

// A lens line's value for one eye. A fitting normally has one line per eye; should it have
// more, the first one written is the one prescribed. "+ 0" keeps Firebird from walking the
// whole primary-key index in order for each fitting: the fitting's few lines are sorted instead.
QString lineaLentilla(const char* columna, int ojo, const QString& alias) {
    return QStringLiteral("(SELECT FIRST 1 DLENTILLA.%1 FROM DLENTILLA WHERE "
                          "DLENTILLA.ID_MLENTILLA = TABLA.ID_MLENTILLA AND DLENTILLA.OJO = %2 "
                          "ORDER BY DLENTILLA.ID_DLENTILLA + 0) %3")
        .arg(QLatin1String(columna))
        .arg(ojo)
        .arg(alias);
}

QString selectLentilla() {
    QStringList lineas;
    for (const auto& [ojo, prefijo] :
         {std::pair{kOjoDerecho, "OD_"}, std::pair{kOjoIzquierdo, "OI_"}}) {
        const QString p = QLatin1String(prefijo);
        lineas << lineaLentilla("ID_TLENTILLA", ojo, p + QStringLiteral("TLENTILLA"))
               << lineaLentilla("DESCRIPCION", ojo, p + QStringLiteral("DESCRIPCION"))
               << lineaLentilla("LOTE", ojo, p + QStringLiteral("LOTE"));
    }
    return QStringLiteral("SELECT PACIENTE.ID_PACIENTE, PACIENTE.APELLIDOS, PACIENTE.CODIGO, "
                          "PACIENTE.NOMBRE, PACIENTE.NOMBRE_COMPLETO, TABLA.FECHA, "
                          "PACIENTE.TELEFONO, PACIENTE.ID_LOCALIDAD, ") +
           porOjo({"ESFERA", "CILINDRO", "EJE", "RADIO_1", "RADIO_2", "DIAMETRO", "ZONA_OPTICA",
                   "AGUDEZA_VISUAL_CC"}) +
           medicoYAgente("ID_DOCTOR", true) + QStringLiteral(", ") +
           lineas.join(QStringLiteral(", ")) + QStringLiteral(", TABLA.ID_MLENTILLA ");
}

QString selectAudifono() {
    // Air, threshold and bone conduction, each for the right ear then the left.
    QStringList audiograma;
    for (const char* tipo : {"AEREA", "UMBRAL", "OSEA"})
        for (const char* oido : {"OD", "OI"})
            for (const char* hz : kFrecuencias)
                audiograma << QStringLiteral("TABLA.%1_%2_%3")
                                  .arg(QLatin1String(oido), QLatin1String(tipo), QLatin1String(hz));
    return QStringLiteral("SELECT PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, "
                          "PACIENTE.NOMBRE, PACIENTE.NOMBRE_COMPLETO, PACIENTE.ID_LOCALIDAD, "
                          "PACIENTE.TELEFONO, TABLA.ID_MAUDIFONO, ") +
           QStringLiteral("TABLA.FECHA_ADAPTACION,  ") + audiograma.join(QStringLiteral(", ")) +
           QStringLiteral(", ") + medicoYAgente("ID_DOCTOR_ADAPTA", false) + QLatin1Char(' ');
}

QString listaIds(const QList<qint64>& ids) {
    QStringList l;
    l.reserve(ids.size());
    for (qint64 id : ids)
        l << QString::number(id);
    return l.join(QLatin1Char(','));
}

} // namespace

namespace {

// FROM and WHERE of a family statement.
QString desdeDonde(const DatosSentenciaPrescripciones& datos, FamiliaPrescripcion familia) {
    QString base;
    switch (familia) {
    case FamiliaPrescripcion::Graduacion:
        base = QStringLiteral(" FROM PACIENTE, MGRADUACION TABLA ");
        break;
    case FamiliaPrescripcion::Lentilla:
        base = QStringLiteral(" FROM PACIENTE, MLENTILLA TABLA");
        break;
    case FamiliaPrescripcion::Audifono:
        base = QStringLiteral(" FROM PACIENTE, MAUDIFONO TABLA ");
        break;
    }
    QString where = kWhere;
    for (const FilaCondicion& f : datos.filas) {
        // Rows that restrict nothing (a blank row, the prescription type) add nothing.
        if (f.sentencia.trimmed().isEmpty()) continue;
        // The fixed filter comes first, so every condition is joined with AND.
        where += ListingModule::CondicionWhere(where, true) + QLatin1Char('(') + f.sentencia +
                 QLatin1Char(')');
    }
    return ListingModule::GenerarSQLFrom(base, datos.tablas) + where;
}

} // namespace

QString GenerarSentenciaPrescripciones(const DatosSentenciaPrescripciones& datos,
                                       FamiliaPrescripcion familia) {
    QString select;
    switch (familia) {
    case FamiliaPrescripcion::Graduacion:
        select = selectGraduacion();
        break;
    case FamiliaPrescripcion::Lentilla:
        select = selectLentilla();
        break;
    case FamiliaPrescripcion::Audifono:
        select = selectAudifono();
        break;
    }
    return select + desdeDonde(datos, familia) + kOrder;
}

QStringList GenerarSentenciasPrescripciones(const DatosSentenciaPrescripciones& datos) {
    QStringList l;
    for (FamiliaPrescripcion f : kFamiliasPrescripcion)
        l << GenerarSentenciaPrescripciones(datos, f);
    return l;
}

QStringList NombresColumnas(const QString& sentencia) {
    QStringList nombres;
    qsizetype i = sentencia.indexOf(QLatin1String("SELECT "), 0, Qt::CaseInsensitive);
    if (i < 0) return nombres;
    i += 7;
    int nivel = 0;
    qsizetype desde = i;
    auto anadir = [&](qsizetype hasta) {
        const QString item = sentencia.mid(desde, hasta - desde).trimmed();
        if (item.isEmpty()) return;
        // "(SELECT ...) ALIAS" or "EXPR ALIAS": the last word; "TABLA.COLUMNA": the column.
        QString nombre = item.mid(item.lastIndexOf(QLatin1Char(' ')) + 1);
        if (!item.endsWith(QLatin1Char(')')) && nombre == item)
            nombre = item.mid(item.lastIndexOf(QLatin1Char('.')) + 1);
        nombres << nombre;
    };
    for (; i < sentencia.size(); ++i) {
        const QChar c = sentencia.at(i);
        if (c == QLatin1Char('(')) {
            ++nivel;
        } else if (c == QLatin1Char(')')) {
            --nivel;
        } else if (nivel == 0 && c == QLatin1Char(',')) {
            anadir(i);
            desde = i + 1;
        } else if (nivel == 0 &&
                   sentencia.mid(i, 6).compare(QLatin1String(" FROM "), Qt::CaseInsensitive) == 0) {
            break;
        }
    }
    anadir(i);
    return nombres;
}

QString ColumnaFicha(FamiliaPrescripcion familia) {
    switch (familia) {
    case FamiliaPrescripcion::Graduacion:
        return QStringLiteral("ID_MGRADUACION");
    case FamiliaPrescripcion::Lentilla:
        return QStringLiteral("ID_MLENTILLA");
    case FamiliaPrescripcion::Audifono:
        break;
    }
    return QStringLiteral("ID_MAUDIFONO");
}

QString FichasPorId(const QList<qint64>& ids) {
    return QStringLiteral("IN (") + listaIds(ids) + QLatin1Char(')');
}

QString FichasDelListado(const DatosSentenciaPrescripciones& datos) {
    return QStringLiteral("IN (SELECT TABLA.ID_MAUDIFONO") +
           desdeDonde(datos, FamiliaPrescripcion::Audifono) + QLatin1Char(')');
}

// No ORDER BY: Firebird would walk a whole index in order; the reader keeps the lowest ids.
QString SentenciaObservacionesAudifono(const QString& fichas) {
    return QStringLiteral("Select ID_MAUDIFONO, ID_AOBSERVACIONES, OBSERVACIONES from "
                          "AOBSERVACIONES where ID_MAUDIFONO ") +
           fichas;
}

QString SentenciaAparatosAudifono(const QString& fichas) {
    return QStringLiteral("Select ID_MAUDIFONO, ID_DAUDIFONO, OIDO, DESCRIPCION, NUMERO_SERIE, "
                          "MODELO from DAUDIFONO where ID_MAUDIFONO ") +
           fichas;
}

const QList<ColumnaAudiograma>& ColumnasAudiograma() {
    static const QList<ColumnaAudiograma> columnas = [] {
        QList<ColumnaAudiograma> l;
        for (const auto& [tipo, nombre] : {std::pair{"AEREA", "Aerea"}, std::pair{"OSEA", "Osea"},
                                           std::pair{"UMBRAL", "Umbral"}})
            for (const char* oido : {"OD", "OI"})
                for (const char* hz : kFrecuencias)
                    l.append({QStringLiteral("%1_%2_%3")
                                  .arg(QLatin1String(oido), QLatin1String(tipo), QLatin1String(hz)),
                              QLatin1String(oido) + QLatin1String(nombre) + QLatin1String(hz)});
        return l;
    }();
    return columnas;
}

} // namespace quill
