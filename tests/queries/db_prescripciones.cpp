// The prescription sheets on a generated shop database with a few records of our own: the sheet
// rows against independent queries (every partition, no deleted patient, one sheet per record
// whatever the joined conditions), exact rows of known records (a doctor without registration
// number, a lens fitting with two lines on one eye, a hearing-aid fitting with several notes,
// a device on each ear and a full audiogram), which families have rows, and the failures.

#include "condiciones.h"
#include "listadojson.h"
#include "tiendaprueba.h"

#include "comandos.h"
#include "platform/memtable.h"
#include "queries/tdmprescripciones.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlRecord>
#include <QTextStream>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using quill::FamiliaPrescripcion;
using quill::MemTable;

namespace {

const QString kConexion = QStringLiteral("db_prescripciones");

// Our own records, beside the generated ones. Every patient's surname starts with ZZPRUEBA.
//  990001 (partition 2): two spectacle prescriptions, one by a doctor without registration
//         number and one by a doctor with it; locality with a four-digit postal code.
//  990002: one contact-lens fitting: two lines on the right eye, one on the left.
//  990003: one hearing-aid fitting: three notes, a device on each ear, every audiogram value
//          different.
//  990004: deleted, with a prescription that must never print.
// The first two also have two notes each that contain "alfa".
QStringList filasPropias() {
    QStringList f = {
        "INSERT INTO PROVINCIA (ID_PROVINCIA, DESCRIPCION) VALUES (9901, 'Provincia de Prueba')",
        "INSERT INTO LOCALIDAD (ID_LOCALIDAD, DESCRIPCION, CODIGO_POSTAL, ID_PROVINCIA) VALUES "
        "(9901, 'Villa de Prueba', 5001, 9901)",
        "INSERT INTO DOCTOR (ID_DOCTOR, NOMBRE, APELLIDOS, COLEGIADO) VALUES (9901, 'Ana', "
        "'Sin Número', '')",
        "INSERT INTO DOCTOR (ID_DOCTOR, NOMBRE, APELLIDOS, COLEGIADO) VALUES (9902, 'Luis', "
        "'Con Número', 'M-123')",
        "INSERT INTO AGENTE (ID_AGENTE, NOMBRE, APELLIDOS) VALUES (9901, 'Rosa', 'Vende Mucho')",
        "INSERT INTO TLENTILLA (ID_TLENTILLA, DESCRIPCION) VALUES (9901, 'Mensual tórica')",
        "INSERT INTO TLENTILLA (ID_TLENTILLA, DESCRIPCION) VALUES (9902, 'Diaria')",
    };
    const char* pacientes[] = {
        "990001, 990001, 2, 0, 'ZZPRUEBA UNO', 'María', 'María ZZPRUEBA UNO', 9901, '912345678'",
        "990002, 990002, 1, 0, 'ZZPRUEBA DOS', 'Pedro', 'Pedro ZZPRUEBA DOS', 9901, '600111222'",
        "990003, 990003, 1, 0, 'ZZPRUEBA TRES', 'Juana', 'Juana ZZPRUEBA TRES', 9901, ''",
        "990004, 990004, 1, 1, 'ZZPRUEBA BORRADO', 'Luis', 'Luis ZZPRUEBA BORRADO', 9901, ''",
    };
    for (const char* p : pacientes)
        f << QStringLiteral("INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, "
                            "APELLIDOS, NOMBRE, NOMBRE_COMPLETO, ID_LOCALIDAD, TELEFONO) "
                            "VALUES (%1)")
                 .arg(QString::fromUtf8(p));
    const QString graduacion = QStringLiteral(
        "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, NUMERO_FICHA, FECHA, ID_DOCTOR, "
        "ID_AGENTE, OD_EJE, OD_CILINDRO, OD_ESFERA_LEJOS, OD_ESFERA_CERCA, OD_ESFERA_MEDIA, "
        "OD_PRISMA, OD_AGUDEZA_VISUAL_SC, OD_AGUDEZA_VISUAL_CC, OD_DISTANCIA_LEJOS, "
        "OD_DISTANCIA_CERCA, OI_EJE, OI_CILINDRO, OI_ESFERA_LEJOS, OI_ESFERA_CERCA, "
        "OI_ESFERA_MEDIA, OI_PRISMA, OI_AGUDEZA_VISUAL_SC, OI_AGUDEZA_VISUAL_CC, "
        "OI_DISTANCIA_LEJOS, OI_DISTANCIA_CERCA) VALUES (%1)");
    f << graduacion.arg("990101, 990001, 1, '2024-03-15 10:30:00', 9901, 9901, 90, -0.75, 1.5, "
                        "2.5, 2, '1 BN', 0.5, 1, 31, 29.5, 85, -1.25, 1.75, 2.75, 2.25, '0.5 BT', "
                        "0.4, 0.9, 30.5, 28")
      << graduacion.arg("990102, 990001, 2, '2023-01-10 09:00:00', 9902, -1, 180, 98, 98, 98, "
                        "98, '', 98, 98, 400, 400, 98, 98, 98, 98, 98, '', 98, 98, 98, 98")
      << graduacion.arg("990103, 990004, 1, '2024-01-01 00:00:00', 9902, -1, 0, 0, 0, 0, 0, '', "
                        "0, 0, 0, 0, 0, 0, 0, 0, 0, '', 0, 0, 0, 0");
    f << "INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE, NUMERO_FICHA, FECHA, ID_DOCTOR, "
         "ID_AGENTE, OD_ESFERA, OD_CILINDRO, OD_EJE, OD_RADIO_1, OD_RADIO_2, OD_DIAMETRO, "
         "OD_ZONA_OPTICA, OD_AGUDEZA_VISUAL_CC, OI_ESFERA, OI_CILINDRO, OI_EJE, OI_RADIO_1, "
         "OI_RADIO_2, OI_DIAMETRO, OI_ZONA_OPTICA, OI_AGUDEZA_VISUAL_CC) VALUES (990201, 990002, "
         "1, '2024-02-01 12:00:00', 9902, 9901, -2.25, -0.5, 170, '7.80', '8.10', 14.2, 8, 1, "
         "-2.5, 98, 400, '8.60', '', 14, 98, 0.8)";
    const QString linea = QStringLiteral("INSERT INTO DLENTILLA (ID_DLENTILLA, ID_MLENTILLA, OJO, "
                                         "ID_TLENTILLA, DESCRIPCION, LOTE) VALUES (%1)");
    f << linea.arg("990211, 990201, 1, 9901, 'Lente derecha', 'L-1'")
      << linea.arg("990212, 990201, 1, 9902, 'Repuesto derecho', 'L-OTRA'")
      << linea.arg("990213, 990201, 2, 9902, 'Lente izquierda', 'L-2'");
    // Every audiogram value different: the n-th column (in the sheet's field order) holds
    // n + 0.25.
    QStringList columnas, valores;
    const auto& audiograma = quill::ColumnasAudiograma();
    for (int i = 0; i < audiograma.size(); ++i) {
        columnas << audiograma[i].columna;
        valores << QString::number(i + 1.25, 'f', 2);
    }
    f << QStringLiteral("INSERT INTO MAUDIFONO (ID_MAUDIFONO, ID_PACIENTE, NUMERO_FICHA, FECHA, "
                        "FECHA_ADAPTACION, ID_DOCTOR_ADAPTA, ID_DOCTOR_EXAMINA, %1) VALUES "
                        "(990301, 990003, 1, '2024-05-02 11:00:00', '2024-05-20 00:00:00', 9902, "
                        "9901, %2)")
             .arg(columnas.join(", "), valores.join(", "));
    const QString nota = QStringLiteral("INSERT INTO AOBSERVACIONES (ID_AOBSERVACIONES, "
                                        "ID_MAUDIFONO, OBSERVACIONES) VALUES (%1)");
    // Written out of order: the first note is the one with the lowest id.
    f << nota.arg("990403, 990301, 'Tercera nota'")
      << nota.arg("990401, 990301, 'Primera nota: adaptación sin incidencias'")
      << nota.arg("990402, 990301, 'Segunda nota'");
    const QString aparato = QStringLiteral(
        "INSERT INTO DAUDIFONO (ID_DAUDIFONO, ID_MAUDIFONO, OIDO, DESCRIPCION, NUMERO_SERIE, "
        "MODELO) VALUES (%1)");
    // A second device on the right ear, written later: the sheet shows the first.
    f << aparato.arg("990509, 990301, 1, 'Audífono de repuesto', 'SN-REP', 'Modelo R'")
      << aparato.arg("990501, 990301, 1, 'Audífono derecho', 'SN-DER-123456789', 'Modelo D'")
      << aparato.arg("990502, 990301, 2, 'Audífono izquierdo', 'SN-IZQ-9', 'Modelo I'");
    // Two notes each for the patients with optics records: a condition on the notes finds
    // each of their records twice.
    const QString notaPaciente = QStringLiteral(
        "INSERT INTO POBSERVACIONES (ID_POBSERVACIONES, ID_PACIENTE, OBSERVACIONES) VALUES (%1)");
    f << notaPaciente.arg("990601, 990001, 'Prefiere clave alfa'")
      << notaPaciente.arg("990602, 990001, 'Otra nota alfa'")
      << notaPaciente.arg("990603, 990002, 'Alfa y omega'")
      << notaPaciente.arg("990604, 990002, 'Segunda alfa'");
    return f;
}

// A sheet table's rows, each as field name -> value.
using Fila = QHash<QString, QVariant>;
QList<Fila> filasDe(const MemTable& t) {
    QList<Fila> filas;
    for (int i = 0; i < t.recordCount(); ++i) {
        Fila f;
        for (int c = 0; c < t.fieldCount(); ++c)
            f.insert(t.fieldDef(c).name, t.valueAt(i, c));
        filas.append(f);
    }
    return filas;
}

class Prescripciones : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base = new tiendaprueba::Tienda;
        error = base->crear(kConexion, filasPropias(), tiendaprueba::plantillaGenerada);
    }
    static void TearDownTestSuite() {
        delete base;
        base = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(error.isEmpty()) << qPrintable(error); }

    using Listado = ListadoJson<TdmPrescripciones>;
    // The data module over the conditions of a JSON text, built as the runner builds them.
    static std::unique_ptr<Listado> listado(const QString& json, qint16 variante = 0) {
        return listadoJson<TdmPrescripciones>(json, 4, kConexion, QStringLiteral("1"), variante);
    }

    // Rows of an independent query, each as column name -> value.
    static QList<Fila> consulta(const QString& sql) {
        QList<Fila> filas;
        QSqlQuery q(base->db());
        q.setForwardOnly(true);
        EXPECT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text()) << "\n" << qPrintable(sql);
        // The driver describes the columns afresh on every call: once is enough.
        const QSqlRecord r = q.record();
        while (q.next()) {
            Fila f;
            for (int c = 0; c < r.count(); ++c)
                f.insert(r.fieldName(c), q.value(c));
            filas.append(f);
        }
        return filas;
    }

    static inline tiendaprueba::Tienda* base = nullptr;
    static inline QString error;
};

const QString kPropios =
    QStringLiteral(R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "ZZPRUEBA"}])");
const QString kAudiometria = QStringLiteral(R"({"Id": 463, "Condicion1": "Audiometría"})");

// The sheets of our own records, field by field; the deleted patient's never print, the patient
// of another partition's do.
TEST_F(Prescripciones, FilasExactasDeOptica) {
    auto l = listado(kPropios);
    TdmPrescripciones& dm = *l->dm;
    ASSERT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoCorrecto)
        << qPrintable(dm.ErrorSQL() + "\n" + dm.SentenciaSQL());
    EXPECT_TRUE(dm.TieneFilas(FamiliaPrescripcion::Graduacion));
    EXPECT_TRUE(dm.TieneFilas(FamiliaPrescripcion::Lentilla));
    EXPECT_EQ(dm.ResultadoFamilia(FamiliaPrescripcion::Audifono), quill::kListadoSinRegistros);
    EXPECT_EQ(dm.memPresAudifono->recordCount(), 0);
    const QList<Fila> filas = filasDe(*dm.memPrescripciones);
    ASSERT_EQ(filas.size(), 3);
    // In date order, the two families mixed.
    const Fila& antigua = filas[0];
    const Fila& lentilla = filas[1];
    const Fila& graduacion = filas[2];
    EXPECT_EQ(antigua["Orden"], "2023/01/10");
    EXPECT_EQ(lentilla["Orden"], "2024/02/01");
    EXPECT_EQ(graduacion["Orden"], "2024/03/15");

    EXPECT_EQ(graduacion["Tipo"], "LENTES CONVENCIONALES");
    EXPECT_EQ(graduacion["IdGraduacion"].toInt(), 990101);
    EXPECT_EQ(graduacion["Codigo"].toInt(), 990001);
    EXPECT_EQ(graduacion["Nombre"], "María ZZPRUEBA UNO");
    EXPECT_EQ(graduacion["NombreCompleto"], "María ZZPRUEBA UNO");
    EXPECT_EQ(graduacion["Apellidos"], "ZZPRUEBA UNO");
    EXPECT_EQ(graduacion["Telefono"], "912345678");
    EXPECT_EQ(graduacion["IdLocalidad"], "9901");
    EXPECT_EQ(graduacion["Fecha"], "15/03/2024");
    // A doctor without registration number: the name alone.
    EXPECT_EQ(graduacion["Doctor"], "Ana Sin Número");
    EXPECT_EQ(graduacion["Agente"], "Rosa Vende Mucho");
    // Locality texts only for variant 3.
    EXPECT_TRUE(graduacion["CodigoPostal"].isNull());
    const std::map<QString, QVariant> medidas = {{"ODEje", 90},
                                                 {"ODCilindro", -0.75},
                                                 {"ODEsferaLejos", 1.5},
                                                 {"ODEsferaCerca", 2.5},
                                                 {"ODEsferaMedia", 2.0},
                                                 {"ODPrisma", "1 BN"},
                                                 {"ODSCLejos", 0.5},
                                                 {"ODCCLejos", 1.0},
                                                 {"ODDistanciaLejos", 31.0},
                                                 {"ODDistanciaCerca", "29.50"},
                                                 {"OIEje", 85.0},
                                                 {"OICilindro", -1.25},
                                                 {"OIEsferaLejos", 1.75},
                                                 {"OIEsferaCerca", 2.75},
                                                 {"OIEsferaMedia", 2.25},
                                                 {"OIPrisma", "0.5 BT"},
                                                 {"OISCLejos", 0.4},
                                                 {"OICCLejos", 0.9},
                                                 {"OIDistanciaLejos", 30.5},
                                                 {"OIDistanciaCerca", 28.0}};
    for (const auto& [campo, valor] : medidas) {
        SCOPED_TRACE(qPrintable(campo));
        if (valor.typeId() == QMetaType::QString)
            EXPECT_EQ(graduacion[campo].toString(), valor.toString());
        else
            EXPECT_DOUBLE_EQ(graduacion[campo].toDouble(), valor.toDouble());
    }
    // The lens fields stay empty on a spectacle sheet.
    EXPECT_TRUE(graduacion["ODRadio"].isNull());

    // A doctor with registration number; no agent; the empty values as stored.
    EXPECT_EQ(antigua["Doctor"], "Luis Con Número Nº Col. M-123");
    EXPECT_EQ(antigua["Agente"].toString(), "");
    EXPECT_DOUBLE_EQ(antigua["ODEsferaLejos"].toDouble(), 98);
    EXPECT_EQ(antigua["ODDistanciaCerca"], "400.00");

    EXPECT_EQ(lentilla["Tipo"], "LENTES DE CONTACTO");
    EXPECT_TRUE(lentilla["IdGraduacion"].isNull());
    EXPECT_EQ(lentilla["Nombre"], "Pedro ZZPRUEBA DOS");
    EXPECT_EQ(lentilla["Fecha"], "01/02/2024");
    EXPECT_EQ(lentilla["Doctor"], "Luis Con Número Nº Col. M-123");
    EXPECT_EQ(lentilla["Agente"], "Rosa Vende Mucho");
    EXPECT_DOUBLE_EQ(lentilla["ODEsferaLejos"].toDouble(), -2.25);
    EXPECT_DOUBLE_EQ(lentilla["ODCilindro"].toDouble(), -0.5);
    EXPECT_EQ(lentilla["ODEje"].toInt(), 170);
    EXPECT_EQ(lentilla["ODRadio"], "7.80 8.10");
    EXPECT_DOUBLE_EQ(lentilla["ODDiametro"].toDouble(), 14.2);
    EXPECT_EQ(lentilla["ODZonaOptica"], "8.00");
    EXPECT_DOUBLE_EQ(lentilla["ODCCLejos"].toDouble(), 1);
    // The eye's first lens line is the one prescribed.
    EXPECT_EQ(lentilla["ODTipoLentilla"], "Mensual tórica");
    EXPECT_EQ(lentilla["ODDescripcion"], "Lente derecha");
    EXPECT_EQ(lentilla["ODLote"], "L-1");
    EXPECT_EQ(lentilla["OIRadio"], "8.60");
    EXPECT_DOUBLE_EQ(lentilla["OIEje"].toDouble(), 400);
    EXPECT_EQ(lentilla["OIZonaOptica"], "98.00");
    EXPECT_EQ(lentilla["OITipoLentilla"], "Diaria");
    EXPECT_EQ(lentilla["OIDescripcion"], "Lente izquierda");
    EXPECT_EQ(lentilla["OILote"], "L-2");
    // The spectacle measurements stay empty on a lens sheet.
    EXPECT_TRUE(lentilla["ODEsferaCerca"].isNull());

    // Two matching notes of the patient list each record twice: still one sheet per record.
    auto conNotas = listado(R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "ZZPRUEBA"},
        {"Id": 23, "Condicion": "...Contiene...", "Condicion1": "alfa"}])");
    ASSERT_EQ(conNotas->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
    QStringList ordenes;
    for (const Fila& f : filasDe(*conNotas->dm->memPrescripciones))
        ordenes << f["Tipo"].toString() + " " + f["Orden"].toString();
    EXPECT_EQ(ordenes,
              QStringList({"LENTES CONVENCIONALES 2023/01/10", "LENTES DE CONTACTO 2024/02/01",
                           "LENTES CONVENCIONALES 2024/03/15"}));
}

// The hearing-aid sheet of our fitting: its first note only when asked, a device per ear, the
// 66 audiogram values in their own fields.
TEST_F(Prescripciones, FilaExactaDeAudifono) {
    for (const auto& [observaciones, porId] :
         {std::pair{true, true}, std::pair{false, true}, std::pair{true, false}}) {
        SCOPED_TRACE(observaciones ? "con observaciones" : "sin observaciones");
        // Details read by the fitting's id, or through the listing's conditions.
        SCOPED_TRACE(porId ? "por id" : "por condiciones");
        auto l = listado(QStringLiteral(R"([%1,
            {"Id": 1, "Condicion": "Empieza por...", "Condicion1": "ZZPRUEBA"}])")
                             .arg(kAudiometria),
                         3);
        TdmPrescripciones& dm = *l->dm;
        EXPECT_FALSE(dm.EsOptica());
        dm.ImprimirObservaciones = observaciones;
        dm.IdsPorLectura = porId ? 500 : 0;
        ASSERT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoCorrecto) << qPrintable(dm.ErrorSQL());
        EXPECT_TRUE(dm.TieneFilas(FamiliaPrescripcion::Audifono));
        EXPECT_FALSE(dm.HayOptica());
        EXPECT_EQ(dm.memPrescripciones->recordCount(), 0);
        const QList<Fila> filas = filasDe(*dm.memPresAudifono);
        ASSERT_EQ(filas.size(), 1);
        const Fila& f = filas[0];
        EXPECT_EQ(f["IdAudifono"].toInt(), 990301);
        EXPECT_EQ(f["Codigo"].toInt(), 990003);
        EXPECT_EQ(f["Nombre"], "Juana ZZPRUEBA TRES");
        // The fitting date, not the record date.
        EXPECT_EQ(f["Fecha"], "20/05/2024");
        EXPECT_EQ(f["Orden"], "2024/05/20");
        // The fitting doctor, not the examining one.
        EXPECT_EQ(f["Doctor"], "Luis Con Número Nº Col. M-123");
        EXPECT_EQ(f["Observaciones"].toString(),
                  observaciones ? QStringLiteral("Primera nota: adaptación sin incidencias")
                                : QString());
        EXPECT_EQ(f["ArticuloOd"], "Audífono derecho");
        EXPECT_EQ(f["ModeloOD"], "Modelo D");
        EXPECT_EQ(f["NSerieOD"], "SN-DER-123"); // the sheet's field holds ten characters
        EXPECT_EQ(f["ArticuloOi"], "Audífono izquierdo");
        EXPECT_EQ(f["ModeloOI"], "Modelo I");
        EXPECT_EQ(f["NSerieOI"], "SN-IZQ-9");
        const auto& audiograma = quill::ColumnasAudiograma();
        for (int i = 0; i < audiograma.size(); ++i)
            EXPECT_DOUBLE_EQ(f[audiograma[i].campo].toDouble(), i + 1.25)
                << qPrintable(audiograma[i].campo);
        // Variant 3: the locality texts, the postal code with its leading zero.
        EXPECT_EQ(f["CodigoPostal"], "05001");
        EXPECT_EQ(f["Localidad"], "Villa de Prueba");
        EXPECT_EQ(f["Provincia"], "Provincia de Prueba");
    }
}

// Which families found rows decides what prints: the optics sheets print when either optics
// statement has rows, and nothing matched only when neither has.
TEST_F(Prescripciones, QueFamiliasTienenFilas) {
    const struct {
        const char* nombre;
        const char* apellidos;
        bool audifonos;
        qint16 resultado;
        bool graduacion, lentilla, audifono;
        int hojas;
    } casos[] = {
        {"only spectacles", "ZZPRUEBA UNO", false, 0, true, false, false, 2},
        {"only lenses", "ZZPRUEBA DOS", false, 0, false, true, false, 1},
        {"no optics", "ZZPRUEBA TRES", false, -302, false, false, false, 0},
        {"deleted patient", "ZZPRUEBA BORRADO", false, -302, false, false, false, 0},
        {"hearing aids", "ZZPRUEBA TRES", true, 0, false, false, true, 1},
        {"no hearing aids", "ZZPRUEBA UNO", true, -302, false, false, false, 0},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        QString json = QStringLiteral(R"({"Id": 1, "Condicion": "Igual a...", "Condicion1": "%1"})")
                           .arg(QLatin1String(c.apellidos));
        if (c.audifonos) json = kAudiometria + ", " + json;
        auto l = listado("[" + json + "]");
        TdmPrescripciones& dm = *l->dm;
        // A run after one that found rows starts from empty tables.
        ASSERT_EQ(listado(kPropios)->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
        EXPECT_EQ(dm.GenerarSQL(0, 0, true), c.resultado) << qPrintable(dm.ErrorSQL());
        EXPECT_EQ(dm.Resultado, c.resultado);
        EXPECT_EQ(dm.TieneFilas(FamiliaPrescripcion::Graduacion), c.graduacion);
        EXPECT_EQ(dm.TieneFilas(FamiliaPrescripcion::Lentilla), c.lentilla);
        EXPECT_EQ(dm.TieneFilas(FamiliaPrescripcion::Audifono), c.audifono);
        EXPECT_EQ(dm.HayOptica(), c.graduacion || c.lentilla);
        EXPECT_EQ(dm.memPrescripciones->recordCount() + dm.memPresAudifono->recordCount(), c.hojas);
        EXPECT_EQ(dm.ContarPacientes(), c.hojas);
    }
    // The same module run twice keeps nothing of the first run.
    auto l = listado(kPropios);
    ASSERT_EQ(l->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
    EXPECT_EQ(l->dm->memPrescripciones->recordCount(), 3);
    l->dm->TipoPrescripcion = QStringLiteral("Audiometría");
    ASSERT_EQ(l->dm->GenerarSQL(0, 0, true), quill::kListadoCorrecto);
    EXPECT_EQ(l->dm->memPrescripciones->recordCount(), 0);
    EXPECT_EQ(l->dm->memPresAudifono->recordCount(), 1);
    EXPECT_FALSE(l->dm->HayOptica());
}

// The fixed part of every family's independent query: live patients other than patient 0, of
// any partition.
QString independiente(const char* columnas, const char* tabla, const QString& mas = {}) {
    return QStringLiteral("SELECT %1 FROM %2 T JOIN PACIENTE P ON P.ID_PACIENTE = T.ID_PACIENTE "
                          "WHERE P.BORRADO = 0 AND P.ID_PACIENTE <> 0")
               .arg(QLatin1String(columnas), QLatin1String(tabla)) +
           mas;
}

// On the generated records: one sheet per record the independent queries find, with or
// without conditions (one on the patient's notes joins a table that could repeat a record),
// patients of every partition, the doctor texts of the records.
TEST_F(Prescripciones, HojasContraConsultasIndependientes) {
    const struct {
        const char* nombre;
        QString json;
        QString mas; // the same conditions in the independent queries
    } casos[] = {
        {"no condition", "[]", ""},
        {"notes and record date",
         R"([{"Id": 23, "Condicion": "...Contiene...", "Condicion1": "a"},
             {"Id": 461, "Condicion": "Mayor que...", "Condicion1": "01/01/2021"}])",
         " AND CAST(T.FECHA AS DATE) > '2021-01-01' AND EXISTS (SELECT 1 FROM POBSERVACIONES O "
         "WHERE O.ID_PACIENTE = P.ID_PACIENTE AND UPPER(O.OBSERVACIONES) CONTAINING 'A')"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        auto l = listado(c.json);
        TdmPrescripciones& dm = *l->dm;
        ASSERT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoCorrecto) << qPrintable(dm.ErrorSQL());

        // Spectacles by record id, with the doctor of each.
        QHash<int, QString> doctores;
        QSet<int> particiones;
        const QString graduaciones =
            "SELECT T.ID_MGRADUACION, P.LICENCIA, D.NOMBRE, D.APELLIDOS, D.COLEGIADO FROM "
            "MGRADUACION T JOIN PACIENTE P ON P.ID_PACIENTE = T.ID_PACIENTE LEFT JOIN DOCTOR D "
            "ON D.ID_DOCTOR = T.ID_DOCTOR WHERE P.BORRADO = 0 AND P.ID_PACIENTE <> 0" +
            c.mas;
        for (const Fila& f : consulta(graduaciones)) {
            doctores.insert(f["ID_MGRADUACION"].toInt(),
                            quill::TextoDoctor(f["NOMBRE"].toString(), f["APELLIDOS"].toString(),
                                               f["COLEGIADO"].toString()));
            particiones.insert(f["LICENCIA"].toInt());
        }
        ASSERT_FALSE(doctores.isEmpty());
        EXPECT_GT(particiones.size(), 1) << "the generated records span several partitions";
        // Lens fittings by patient code and date, as the sheet tells them apart.
        QStringList lentillas;
        for (const Fila& f :
             consulta(independiente("P.CODIGO, CAST(T.FECHA AS DATE) F", "MLENTILLA", c.mas)))
            lentillas << QString::number(f["CODIGO"].toInt()) + " " +
                             f["F"].toDate().toString("yyyy/MM/dd");
        lentillas.sort();

        QHash<int, QString> hojas;
        QStringList hojasLentilla;
        QString anterior;
        for (const Fila& f : filasDe(*dm.memPrescripciones)) {
            EXPECT_GE(f["Orden"].toString(), anterior) << "sheets in date order";
            anterior = f["Orden"].toString();
            if (f["Tipo"] == TdmPrescripciones::TipoGraduacion()) {
                const int id = f["IdGraduacion"].toInt();
                EXPECT_FALSE(hojas.contains(id)) << "one sheet per record: " << id;
                hojas.insert(id, f["Doctor"].toString());
            } else {
                EXPECT_EQ(f["Tipo"], TdmPrescripciones::TipoLentilla());
                hojasLentilla << QString::number(f["Codigo"].toInt()) + " " + f["Orden"].toString();
            }
        }
        EXPECT_EQ(hojas, doctores);
        hojasLentilla.sort();
        EXPECT_EQ(hojasLentilla, lentillas);
        EXPECT_EQ(dm.TieneFilas(FamiliaPrescripcion::Lentilla), !lentillas.isEmpty());
    }
}

// On the generated fittings: devices per ear, first note and audiogram of every sheet against
// independent queries.
TEST_F(Prescripciones, AudifonosContraConsultasIndependientes) {
    const struct {
        const char* nombre;
        QString json;
        QString mas; // the same conditions in the independent query
        int idsPorLectura;
    } casos[] = {
        {"details by id", "[" + kAudiometria + "]", "", 100000},
        {"details through the conditions", "[" + kAudiometria + "]", "", 7},
        {"conditions with patient notes",
         "[" + kAudiometria + R"(, {"Id": 23, "Condicion": "...Contiene...", "Condicion1": "a"},
             {"Id": 461, "Condicion": "Mayor que...", "Condicion1": "01/01/2018"}])",
         " AND CAST(T.FECHA AS DATE) > '2018-01-01' AND EXISTS (SELECT 1 FROM POBSERVACIONES O "
         "WHERE O.ID_PACIENTE = P.ID_PACIENTE AND UPPER(O.OBSERVACIONES) CONTAINING 'A')",
         7},
    };
    QStringList columnas;
    for (const auto& c : quill::ColumnasAudiograma())
        columnas << "T." + c.columna;
    QHash<QPair<int, int>, Fila> aparatos;
    for (const Fila& a : consulta("SELECT ID_MAUDIFONO, OIDO, DESCRIPCION, MODELO, NUMERO_SERIE "
                                  "FROM DAUDIFONO ORDER BY ID_DAUDIFONO DESC"))
        aparatos.insert({a["ID_MAUDIFONO"].toInt(), a["OIDO"].toInt()}, a); // the first wins
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        auto l = listado(caso.json);
        TdmPrescripciones& dm = *l->dm;
        dm.ImprimirObservaciones = true;
        dm.IdsPorLectura = caso.idsPorLectura;
        ASSERT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoCorrecto) << qPrintable(dm.ErrorSQL());
        QHash<int, Fila> hojas;
        for (const Fila& f : filasDe(*dm.memPresAudifono)) {
            const int id = f["IdAudifono"].toInt();
            EXPECT_FALSE(hojas.contains(id)) << id;
            hojas.insert(id, f);
        }
        const QList<Fila> fichas = consulta(independiente(
            qPrintable("T.ID_MAUDIFONO, " + columnas.join(", ") +
                       ", (SELECT FIRST 1 O.OBSERVACIONES FROM AOBSERVACIONES O WHERE "
                       "O.ID_MAUDIFONO = T.ID_MAUDIFONO ORDER BY O.ID_AOBSERVACIONES) NOTA"),
            "MAUDIFONO", caso.mas));
        ASSERT_EQ(hojas.size(), fichas.size());
        int conNota = 0, dosOidos = 0;
        for (const Fila& ficha : fichas) {
            const int id = ficha["ID_MAUDIFONO"].toInt();
            SCOPED_TRACE(id);
            ASSERT_TRUE(hojas.contains(id));
            const Fila& h = hojas[id];
            for (const auto& c : quill::ColumnasAudiograma())
                EXPECT_DOUBLE_EQ(h[c.campo].toDouble(), ficha[c.columna].toDouble())
                    << qPrintable(c.campo);
            EXPECT_EQ(h["Observaciones"].toString(), ficha["NOTA"].toString().left(255));
            conNota += ficha["NOTA"].isNull() ? 0 : 1;
            for (const auto& [oido, sufijo] : {std::pair{1, "Od"}, std::pair{2, "Oi"}}) {
                const Fila a = aparatos.value({id, oido});
                const QString s = QString::fromLatin1(sufijo);
                EXPECT_EQ(h["Articulo" + s].toString(), a.value("DESCRIPCION").toString());
                EXPECT_EQ(h["Modelo" + s.toUpper()].toString(), a.value("MODELO").toString());
                EXPECT_EQ(h["NSerie" + s.toUpper()].toString(),
                          a.value("NUMERO_SERIE").toString().left(10));
            }
            dosOidos += aparatos.contains({id, 1}) && aparatos.contains({id, 2}) ? 1 : 0;
        }
        EXPECT_GT(conNota, 0);
        EXPECT_GT(dosOidos, 0);
    }
}

// A statement the database refuses ends the run with -303 and nothing in the tables.
TEST_F(Prescripciones, SentenciaRechazada) {
    for (bool optica : {true, false}) {
        SCOPED_TRACE(optica ? "optica" : "audifonos");
        auto l = listado(optica ? kPropios : "[" + kAudiometria + "]");
        TdmPrescripciones& dm = *l->dm;
        ASSERT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoCorrecto);
        dm.Tablas << QStringLiteral("TABLA_QUE_NO_EXISTE");
        EXPECT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoErrorInterno);
        EXPECT_FALSE(dm.ErrorSQL().isEmpty());
        EXPECT_EQ(dm.memPrescripciones->recordCount(), 0);
        EXPECT_EQ(dm.memPresAudifono->recordCount(), 0);
        EXPECT_FALSE(dm.HayOptica());
    }
}

// `listado sql --tipo prescripciones` prints the three statements the module runs, one per line,
// and each one runs.
TEST_F(Prescripciones, ListadoImprimeLasTresSentencias) {
    auto dir = quilltest::scratch();
    const QString fichero = dir->filePath(QStringLiteral("c.json"));
    const QString json =
        R"([{"Id": 461, "Condicion": "Mayor que...", "Condicion1": "01/01/2020"},
            {"Id": 462, "Condicion1": "Propia", "Condicion1Ids": "0"},
            {"Id": 23, "Condicion": "...Contiene...", "Condicion1": "e"}])";
    QFile f(fichero);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(json.toUtf8());
    f.close();
    QString out, err;
    QTextStream o(&out), e(&err);
    const int estado = quill::cli::EjecutarListado(
        {"sql", "--tipo", "prescripciones", "--condiciones", fichero, "--cualquiera"}, o, e);
    o.flush();
    e.flush();
    ASSERT_EQ(estado, 0) << qPrintable(err);
    const QStringList lineas = out.split('\n', Qt::SkipEmptyParts);
    auto l = listado(json);
    EXPECT_EQ(lineas, l->dm->ConstruirSentencias(0, 0, true));
    ASSERT_EQ(lineas.size(), 3);
    const char* tablas[] = {" FROM PACIENTE, MGRADUACION TABLA ", " FROM PACIENTE, MLENTILLA TABLA",
                            " FROM PACIENTE, MAUDIFONO TABLA "};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(lineas[i].contains(QLatin1String(tablas[i])));
        QSqlQuery q(base->db());
        EXPECT_TRUE(q.exec(lineas[i])) << qPrintable(q.lastError().text());
    }
}

} // namespace
