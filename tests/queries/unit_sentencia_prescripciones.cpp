// Statements of the prescription sheets, compared as whole texts: the three families with and
// without conditions, rows that add nothing, the all/any choice and the order codes (which do
// not apply), the first statement of each prescription type; the doctor text, the sheet tables'
// fields and the reads of a hearing-aid fitting's details.

#include "conditions/construir.h"
#include "platform/memtable.h"
#include "queries/sentenciaprescripciones.h"
#include "queries/tdmprescripciones.h"

#include <gtest/gtest.h>

using quill::DatosSentenciaPrescripciones;
using quill::FamiliaPrescripcion;
using quill::FilaCondicion;

namespace {

// The documented texts, written out here on their own so that a slip in the module shows.
const QString kDoctorAgente = QStringLiteral(
    "(SELECT DOCTOR.NOMBRE FROM DOCTOR WHERE DOCTOR.ID_DOCTOR = TABLA.ID_DOCTOR) NOMBRE_DOCTOR, "
    "(SELECT DOCTOR.APELLIDOS FROM DOCTOR WHERE DOCTOR.ID_DOCTOR = TABLA.ID_DOCTOR) "
    "APELLIDOS_DOCTOR, (SELECT AGENTE.APELLIDOS FROM AGENTE WHERE AGENTE.ID_AGENTE = "
    "TABLA.ID_AGENTE) APELLIDOS_AGENTE, (SELECT AGENTE.NOMBRE FROM AGENTE WHERE AGENTE.ID_AGENTE "
    "= TABLA.ID_AGENTE) NOMBRE_AGENTE, (SELECT DOCTOR.COLEGIADO FROM DOCTOR WHERE "
    "DOCTOR.ID_DOCTOR = TABLA.ID_DOCTOR) NUMERO_COLEGIADO");

const QString kSelectGraduacion =
    QStringLiteral(
        "SELECT PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
        "PACIENTE.NOMBRE_COMPLETO, PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, "
        "TABLA.ID_MGRADUACION, TABLA.FECHA, TABLA.OD_EJE, TABLA.OD_CILINDRO, "
        "TABLA.OD_ESFERA_LEJOS, TABLA.OD_ESFERA_CERCA, TABLA.OD_ESFERA_MEDIA, TABLA.OD_PRISMA, "
        "TABLA.OD_AGUDEZA_VISUAL_SC, TABLA.OD_AGUDEZA_VISUAL_CC, TABLA.OD_DISTANCIA_LEJOS, "
        "TABLA.OD_DISTANCIA_CERCA, TABLA.OI_EJE, TABLA.OI_CILINDRO, TABLA.OI_ESFERA_LEJOS, "
        "TABLA.OI_ESFERA_CERCA, TABLA.OI_ESFERA_MEDIA, TABLA.OI_PRISMA, "
        "TABLA.OI_AGUDEZA_VISUAL_SC, TABLA.OI_AGUDEZA_VISUAL_CC, TABLA.OI_DISTANCIA_LEJOS, "
        "TABLA.OI_DISTANCIA_CERCA, ") +
    kDoctorAgente + QStringLiteral(" ");

QString linea(const char* columna, int ojo, const char* alias) {
    return QStringLiteral("(SELECT FIRST 1 DLENTILLA.") + QLatin1String(columna) +
           QStringLiteral(" FROM DLENTILLA WHERE DLENTILLA.ID_MLENTILLA = TABLA.ID_MLENTILLA AND "
                          "DLENTILLA.OJO = ") +
           QString::number(ojo) + QStringLiteral(" ORDER BY DLENTILLA.ID_DLENTILLA + 0) ") +
           QLatin1String(alias);
}

const QString kSelectLentilla =
    QStringLiteral(
        "SELECT PACIENTE.ID_PACIENTE, PACIENTE.APELLIDOS, PACIENTE.CODIGO, PACIENTE.NOMBRE, "
        "PACIENTE.NOMBRE_COMPLETO, TABLA.FECHA, PACIENTE.TELEFONO, PACIENTE.ID_LOCALIDAD, "
        "TABLA.OD_ESFERA, TABLA.OD_CILINDRO, TABLA.OD_EJE, TABLA.OD_RADIO_1, TABLA.OD_RADIO_2, "
        "TABLA.OD_DIAMETRO, TABLA.OD_ZONA_OPTICA, TABLA.OD_AGUDEZA_VISUAL_CC, TABLA.OI_ESFERA, "
        "TABLA.OI_CILINDRO, TABLA.OI_EJE, TABLA.OI_RADIO_1, TABLA.OI_RADIO_2, TABLA.OI_DIAMETRO, "
        "TABLA.OI_ZONA_OPTICA, TABLA.OI_AGUDEZA_VISUAL_CC, ") +
    kDoctorAgente + ", " + linea("ID_TLENTILLA", 1, "OD_TLENTILLA") + ", " +
    linea("DESCRIPCION", 1, "OD_DESCRIPCION") + ", " + linea("LOTE", 1, "OD_LOTE") + ", " +
    linea("ID_TLENTILLA", 2, "OI_TLENTILLA") + ", " + linea("DESCRIPCION", 2, "OI_DESCRIPCION") +
    ", " + linea("LOTE", 2, "OI_LOTE") + ", TABLA.ID_MLENTILLA ";

QString audiograma() {
    QString texto;
    for (const char* c : {"OD_AEREA", "OI_AEREA", "OD_UMBRAL", "OI_UMBRAL", "OD_OSEA", "OI_OSEA"})
        for (int hz : {125, 250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000})
            texto += QStringLiteral("TABLA.%1_%2, ").arg(QLatin1String(c)).arg(hz);
    return texto;
}

const QString kSelectAudifono =
    QStringLiteral("SELECT PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, "
                   "PACIENTE.NOMBRE, PACIENTE.NOMBRE_COMPLETO, PACIENTE.ID_LOCALIDAD, "
                   "PACIENTE.TELEFONO, TABLA.ID_MAUDIFONO, TABLA.FECHA_ADAPTACION,  ") +
    audiograma() +
    QStringLiteral("(SELECT DOCTOR.NOMBRE FROM DOCTOR WHERE DOCTOR.ID_DOCTOR = "
                   "TABLA.ID_DOCTOR_ADAPTA) NOMBRE_DOCTOR, (SELECT DOCTOR.APELLIDOS FROM DOCTOR "
                   "WHERE DOCTOR.ID_DOCTOR = TABLA.ID_DOCTOR_ADAPTA) APELLIDOS_DOCTOR, (SELECT "
                   "DOCTOR.COLEGIADO FROM DOCTOR WHERE DOCTOR.ID_DOCTOR = TABLA.ID_DOCTOR_ADAPTA) "
                   "NUMERO_COLEGIADO ");

const QString kWhere = QStringLiteral(" WHERE PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 "
                                      "AND PACIENTE.ID_PACIENTE = TABLA.ID_PACIENTE ");
const QString kOrder = QStringLiteral(" ORDER BY TABLA.FECHA");

// Fragments as the sentence builder gives them for this kind's fields.
const QString kFecha = QStringLiteral("CAST(FECHA AS DATE) != '12/30/1899' AND CAST(FECHA AS "
                                      "DATE) > '01/01/2020'");
const QString kPropia = QStringLiteral(" (PROPIA_AJENA  = 0)");
const QString kTienda = QStringLiteral(" (TABLA.ID_TIENDA  = 1 Or TABLA.ID_TIENDA = 2)");
const QString kNota = QStringLiteral(
    "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And UPPER(POBSERVACIONES.OBSERVACIONES) "
    "containing 'ALE'");

FilaCondicion fila(double id, const QString& sentencia, const QString& condicion1 = QString()) {
    FilaCondicion f;
    f.id = id;
    f.sentencia = sentencia;
    f.condicion = QStringLiteral("Igual a...");
    f.condicion1 = condicion1;
    return f;
}

struct Familia {
    FamiliaPrescripcion familia;
    QString select;
    QString from;
};
const Familia kFamilias[] = {
    {FamiliaPrescripcion::Graduacion, kSelectGraduacion, " FROM PACIENTE, MGRADUACION TABLA "},
    {FamiliaPrescripcion::Lentilla, kSelectLentilla, " FROM PACIENTE, MLENTILLA TABLA"},
    {FamiliaPrescripcion::Audifono, kSelectAudifono, " FROM PACIENTE, MAUDIFONO TABLA "},
};

TEST(SentenciaPrescripciones, TextosCompletos) {
    struct Caso {
        const char* nombre;
        QList<FilaCondicion> filas;
        QStringList tablas;
        QString from;  // appended to each family's FROM
        QString where; // after the fixed WHERE
    };
    // clang-format off
    const Caso casos[] = {
        {"no condition", {}, {}, "", ""},
        // The patient table is already in every FROM.
        {"record fields", {fila(461, kFecha), fila(462, kPropia), fila(464, kTienda)},
         {"PACIENTE"}, "",
         " AND (" + kFecha + ") AND (" + kPropia + ") AND (" + kTienda + ")"},
        {"patient notes", {fila(1, "UPPER(PACIENTE.APELLIDOS) starting with 'GAR'"), fila(23, kNota)},
         {"PACIENTE", "POBSERVACIONES"}, ", POBSERVACIONES",
         " AND (UPPER(PACIENTE.APELLIDOS) starting with 'GAR') AND (" + kNota + ")"},
        // The prescription type and a blank row restrict nothing.
        {"rows without a fragment",
         {fila(463, "", "Audiometría"), fila(-1, ""), fila(461, kFecha), fila(462, "  ")},
         {}, "", " AND (" + kFecha + ")"},
    };
    // clang-format on
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        DatosSentenciaPrescripciones d{c.filas, c.tablas};
        QStringList esperadas;
        for (const Familia& f : kFamilias) {
            const QString texto = f.select + f.from + c.from + kWhere + c.where + kOrder;
            EXPECT_EQ(quill::GenerarSentenciaPrescripciones(d, f.familia), texto);
            esperadas << texto;
        }
        EXPECT_EQ(quill::GenerarSentenciasPrescripciones(d), esperadas);
    }
}

// A condition table as the window hands it over.
std::unique_ptr<quill::MemTable> tablaCondiciones(const QList<FilaCondicion>& filas) {
    auto t = std::make_unique<quill::MemTable>(QStringLiteral("memPrescripcion"));
    using quill::FieldType;
    namespace c = quill::campo;
    t->addField(c::Id, FieldType::Float);
    t->addField(c::Condicion, FieldType::String, 50);
    t->addField(c::Condicion1, FieldType::String, 255);
    t->addField(c::Sentencia, FieldType::Memo);
    t->open();
    for (const FilaCondicion& f : filas)
        t->appendRecord({f.id, f.condicion, f.condicion1, f.sentencia});
    return t;
}

// The sheets go by record date and every condition must hold: neither the order codes in
// either direction nor "any" change a statement.
TEST(SentenciaPrescripciones, NiOrdenNiCualquieraCambianLasSentencias) {
    const QList<FilaCondicion> filas{fila(461, kFecha), fila(23, kNota), fila(464, kTienda)};
    const auto condiciones = tablaCondiciones(filas);
    TdmPrescripciones dm;
    dm.setCondiciones(condiciones.get());
    dm.Tablas = {QStringLiteral("POBSERVACIONES")};
    QStringList esperadas;
    for (const Familia& f : kFamilias)
        esperadas << f.select + f.from + ", POBSERVACIONES" + kWhere + " AND (" + kFecha +
                         ") AND (" + kNota + ") AND (" + kTienda + ")" + kOrder;
    for (qint16 orden : {0, 3, 18, 21, 22, 26}) {
        for (qint16 sentido : {0, 1}) {
            for (bool todas : {true, false}) {
                SCOPED_TRACE(QStringLiteral("orden %1 sentido %2 %3")
                                 .arg(orden)
                                 .arg(sentido)
                                 .arg(todas ? "todas" : "cualquiera")
                                 .toStdString());
                EXPECT_EQ(dm.ConstruirSentencias(orden, sentido, todas), esperadas);
            }
        }
    }
}

// The first statement of a run follows the prescription type of condition 463.
TEST(SentenciaPrescripciones, PrimeraSentenciaSegunElTipo) {
    TdmPrescripciones dm;
    quill::ParametrosListado p;
    EXPECT_TRUE(dm.EsOptica());
    EXPECT_EQ(dm.ConstruirSQL(0, 0, true), kSelectGraduacion + kFamilias[0].from + kWhere + kOrder);
    p.tipoPrescripcion = QStringLiteral("Audiometría");
    dm.AsignarParametros(p);
    EXPECT_FALSE(dm.EsOptica());
    EXPECT_EQ(dm.ConstruirSQL(0, 0, true), kSelectAudifono + kFamilias[2].from + kWhere + kOrder);
    // The case matters: the type is compared as the window compares it.
    p.tipoPrescripcion = QStringLiteral("óptica");
    dm.AsignarParametros(p);
    EXPECT_FALSE(dm.EsOptica());
    p.Limpiar();
    dm.AsignarParametros(p);
    EXPECT_TRUE(dm.EsOptica());
}

TEST(SentenciaPrescripciones, TextoDelDoctor) {
    const struct {
        const char *nombre, *apellidos, *colegiado, *texto;
    } casos[] = {
        {"Laura", "Sánchez Vidal", "28-04512", "Laura Sánchez Vidal Nº Col. 28-04512"},
        {"Elena", "Ruiz de la Torre", "", "Elena Ruiz de la Torre"},
        {"Elena", "Ruiz", "   ", "Elena Ruiz"},
        {"Sergio ", " Vega", " 45-1 ", "Sergio Vega Nº Col. 45-1"},
        {"", "", "", ""}, // no doctor on the record
        {"", "", "282812345", "Nº Col. 282812345"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(quill::TextoDoctor(QString::fromUtf8(c.nombre), QString::fromUtf8(c.apellidos),
                                     QString::fromUtf8(c.colegiado)),
                  QString::fromUtf8(c.texto))
            << c.nombre << " " << c.apellidos;
}

QStringList campos(const quill::MemTable& t) {
    QStringList l;
    for (const quill::FieldDef& d : t.fieldDefs())
        l << d.name;
    return l;
}

// The reports read the sheet tables by these names, in this order.
TEST(SentenciaPrescripciones, CamposDeLasTablas) {
    TdmPrescripciones dm;
    const QString prescripciones = QStringLiteral(
        "IdGraduacion Codigo Apellidos Nombre NombreCompleto Movil Direccion IdLocalidad VienePor "
        "Provincia Telefono Email CodigoPostal Localidad Tipo Fecha Doctor ODEje ODCilindro "
        "ODEsferaLejos ODEsferaCerca ODEsferaMedia ODPrisma ODSCLejos ODCCLejos ODDistanciaLejos "
        "ODDistanciaCerca OIEje OICilindro OIEsferaLejos OIEsferaCerca OIEsferaMedia OISCLejos "
        "OICCLejos OIDistanciaLejos OIDistanciaCerca ODRadio ODDiametro ODZonaOptica "
        "ODTipoLentilla OIRadio OIZonaOptica OITipoLentilla OIPrisma OIDiametro Observaciones "
        "Orden FechaEntrega ODDescripcion OIDescripcion Agente ODLote OILote");
    EXPECT_EQ(campos(*dm.memPrescripciones).join(' '), prescripciones);

    QStringList audifono =
        QStringLiteral("IdAudifono Codigo Apellidos Nombre NombreCompleto Movil Direccion "
                       "IdLocalidad VienePor Provincia Telefono Email CodigoPostal Localidad "
                       "Fecha Doctor Observaciones Orden FechaEntrega ODAerea OIAerea ODOsea "
                       "OIOsea ArticuloOd ArticuloOi")
            .split(' ');
    for (const char* c : {"ODAerea", "OIAerea", "ODOsea", "OIOsea", "ODUmbral", "OIUmbral"})
        for (int hz : {125, 250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000})
            audifono << QLatin1String(c) + QString::number(hz);
    audifono << "NSerieOD"
             << "NSerieOI"
             << "ModeloOD"
             << "ModeloOI";
    EXPECT_EQ(campos(*dm.memPresAudifono), audifono);
}

// The sheets read their rows by the column names taken from the statement text.
TEST(SentenciaPrescripciones, NombresDeLasColumnas) {
    const DatosSentenciaPrescripciones d{{fila(23, kNota), fila(464, kTienda)}, {"POBSERVACIONES"}};
    const QStringList graduacion =
        QStringLiteral(
            "ID_PACIENTE CODIGO APELLIDOS NOMBRE NOMBRE_COMPLETO ID_LOCALIDAD TELEFONO "
            "ID_MGRADUACION FECHA OD_EJE OD_CILINDRO OD_ESFERA_LEJOS OD_ESFERA_CERCA "
            "OD_ESFERA_MEDIA OD_PRISMA OD_AGUDEZA_VISUAL_SC OD_AGUDEZA_VISUAL_CC "
            "OD_DISTANCIA_LEJOS "
            "OD_DISTANCIA_CERCA OI_EJE OI_CILINDRO OI_ESFERA_LEJOS OI_ESFERA_CERCA OI_ESFERA_MEDIA "
            "OI_PRISMA OI_AGUDEZA_VISUAL_SC OI_AGUDEZA_VISUAL_CC OI_DISTANCIA_LEJOS "
            "OI_DISTANCIA_CERCA NOMBRE_DOCTOR APELLIDOS_DOCTOR APELLIDOS_AGENTE NOMBRE_AGENTE "
            "NUMERO_COLEGIADO")
            .split(' ');
    EXPECT_EQ(quill::NombresColumnas(
                  quill::GenerarSentenciaPrescripciones(d, FamiliaPrescripcion::Graduacion)),
              graduacion);
    const QStringList lentilla = quill::NombresColumnas(
        quill::GenerarSentenciaPrescripciones(d, FamiliaPrescripcion::Lentilla));
    ASSERT_EQ(lentilla.size(), 36);
    EXPECT_EQ(lentilla.mid(0, 9), QStringLiteral("ID_PACIENTE APELLIDOS CODIGO NOMBRE "
                                                 "NOMBRE_COMPLETO FECHA TELEFONO ID_LOCALIDAD "
                                                 "OD_ESFERA")
                                      .split(' '));
    EXPECT_EQ(lentilla.mid(29), QStringLiteral("OD_TLENTILLA OD_DESCRIPCION OD_LOTE OI_TLENTILLA "
                                               "OI_DESCRIPCION OI_LOTE ID_MLENTILLA")
                                    .split(' '));
    const QStringList audifono = quill::NombresColumnas(
        quill::GenerarSentenciaPrescripciones(d, FamiliaPrescripcion::Audifono));
    ASSERT_EQ(audifono.size(), 9 + 66 + 3);
    EXPECT_EQ(audifono[7], "ID_MAUDIFONO");
    EXPECT_EQ(audifono[8], "FECHA_ADAPTACION");
    EXPECT_EQ(audifono[9], "OD_AEREA_125");
    EXPECT_EQ(audifono[74], "OI_OSEA_8000");
    EXPECT_EQ(audifono.mid(75),
              QStringLiteral("NOMBRE_DOCTOR APELLIDOS_DOCTOR NUMERO_COLEGIADO").split(' '));
    for (const auto& c : quill::ColumnasAudiograma())
        EXPECT_TRUE(audifono.contains(c.columna)) << qPrintable(c.columna);
}

TEST(SentenciaPrescripciones, LecturasDeLasAdaptaciones) {
    EXPECT_EQ(quill::SentenciaObservacionesAudifono(quill::FichasPorId({7, 12, 30})),
              "Select ID_MAUDIFONO, ID_AOBSERVACIONES, OBSERVACIONES from AOBSERVACIONES where "
              "ID_MAUDIFONO IN (7,12,30)");
    // The listing's fittings: its FROM and WHERE, no order.
    const DatosSentenciaPrescripciones d{{fila(23, kNota), fila(461, kFecha)}, {"POBSERVACIONES"}};
    EXPECT_EQ(quill::SentenciaAparatosAudifono(quill::FichasDelListado(d)),
              "Select ID_MAUDIFONO, ID_DAUDIFONO, OIDO, DESCRIPCION, NUMERO_SERIE, MODELO from "
              "DAUDIFONO where ID_MAUDIFONO IN (SELECT TABLA.ID_MAUDIFONO FROM PACIENTE, "
              "MAUDIFONO TABLA , POBSERVACIONES" +
                  kWhere + " AND (" + kNota + ") AND (" + kFecha + "))");
    const auto& audiograma = quill::ColumnasAudiograma();
    ASSERT_EQ(audiograma.size(), 66);
    const struct {
        int i;
        const char *columna, *campo;
    } muestras[] = {{0, "OD_AEREA_125", "ODAerea125"},    {10, "OD_AEREA_8000", "ODAerea8000"},
                    {11, "OI_AEREA_125", "OIAerea125"},   {22, "OD_OSEA_125", "ODOsea125"},
                    {44, "OD_UMBRAL_125", "ODUmbral125"}, {65, "OI_UMBRAL_8000", "OIUmbral8000"}};
    for (const auto& m : muestras) {
        EXPECT_EQ(audiograma[m.i].columna, QLatin1String(m.columna));
        EXPECT_EQ(audiograma[m.i].campo, QLatin1String(m.campo));
    }
}

} // namespace
