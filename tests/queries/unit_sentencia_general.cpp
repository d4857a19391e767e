// Statements of the General listing, compared as whole texts: the normal path, "all" and "any",
// order codes, last-record mode, the record-family paths, the count, and "any" with EXISTS
// when its alternatives need tables of their own.

#include "conditions/tdmlstpaciente.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/sentenciageneral.h"
#include "queries/tdmgeneral.h"

#include <gtest/gtest.h>

using quill::AnalisisGeneral;
using quill::DatosSentenciaGeneral;
using quill::FilaCondicion;
using quill::FormaSentencia;

namespace {

// The documented texts, written out here on their own so that a slip in the module shows.
const QString kSelect = QStringLiteral(
    "SELECT DISTINCT(PACIENTE.ID_PACIENTE), PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.VIENE_POR, "
    "PACIENTE.SEXO, CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, "
    "CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET "
    "AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.E_MAIL, PACIENTE.WEB, PACIENTE.FOTOGRAFIA, PACIENTE.NIF, PACIENTE.CORREO, "
    "PACIENTE.PROFESION, PACIENTE.TELEFONO, PACIENTE.TOTAL_COMPRADO_M2,  PACIENTE.TIENDA, "
    "PACIENTE.ID_LOCALIDAD , PACIENTE.ID_LOCALIDAD, PACIENTE.ID_LOCALIDAD ");
const QString kGroupBy = QStringLiteral(
    "GROUP BY PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOs, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.VIENE_POR, "
    "PACIENTE.SEXO, CAST(PACIENTE.FECHA_NACIMIENTO AS DATE), CAST(PACIENTE.FECHA_PRIMERA_VISITA "
    "AS DATE), CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE), CAST(PACIENTE.FECHA_CARNET AS DATE), "
    "PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.E_MAIL, PACIENTE.WEB, "
    "PACIENTE.FOTOGRAFIA, PACIENTE.ID_LOCALIDAD, PACIENTE.TELEFONO, PACIENTE.NIF, "
    "PACIENTE.CORREO, PACIENTE.PROFESION, PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, "
    "PACIENTE.FOTOGRAFIA ");
const QString kSelectDistinto = QStringLiteral(
    "SELECT PACIENTE.ID_PACIENTE, PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, "
    "PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, PACIENTE.DIRECCION, PACIENTE.VIENE_POR, "
    "PACIENTE.SEXO, CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, "
    "CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
    "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, CAST(PACIENTE.FECHA_CARNET "
    "AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, PACIENTE.TOTAL_COMPRADO_M1, "
    "PACIENTE.E_MAIL, PACIENTE.WEB, PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, "
    "PACIENTE.TELEFONO, PACIENTE.TOTAL_COMPRADO_M2, PACIENTE.TIENDA, PACIENTE.ID_LOCALIDAD, "
    "PACIENTE.FOTOGRAFIA ");
const QString kConteo = QStringLiteral("SELECT DISTINCT(PACIENTE.ID_PACIENTE) ID_PACIENTE ");

QString where(const QString& particion = QStringLiteral("1")) {
    return QStringLiteral(" Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND "
                          "PACIENTE.LICENCIA = ") +
           particion + QStringLiteral(" ");
}

// Fragments as the sentence builder gives them, with the tables they bring.
const QString kApellidos = QStringLiteral("UPPER(PACIENTE.APELLIDOS) starting with 'GAR'");
const QString kSexo = QStringLiteral("(PACIENTE.SEXO  = 1 Or PACIENTE.SEXO = 2)");
const QString kNacimiento = QStringLiteral(
    "CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) != '12/30/1899' AND CAST(PACIENTE.FECHA_NACIMIENTO "
    "AS DATE) BETWEEN '01/01/1950' AND '12/31/1960'");
const QString kCilindro = QStringLiteral(
    " PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND MGRADUACION.OD_CILINDRO  BETWEEN -1 AND 1 "
    "AND MGRADUACION.OD_CILINDRO != 98");
const QString kNota = QStringLiteral(
    "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And UPPER(POBSERVACIONES.OBSERVACIONES) "
    "containing 'ALE'");
const QString kLentillaRevision = QStringLiteral(
    " PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND CAST(MLENTILLA.FECHA_REVISION AS DATE) != "
    "'12/30/1899' AND CAST(MLENTILLA.FECHA_REVISION AS DATE) > '01/01/2024'");

FilaCondicion fila(double id, const QString& sentencia, const QString& condicion = QString(),
                   const QString& condicion1 = QString()) {
    FilaCondicion f;
    f.id = id;
    f.sentencia = sentencia;
    f.condicion = condicion;
    f.condicion1 = condicion1;
    return f;
}

QString generar(const QList<FilaCondicion>& filas, const QStringList& tablas, bool todas = true,
                qint16 orden = 0, qint16 sentido = 0, const QStringList& familias = {},
                FormaSentencia forma = FormaSentencia::Listado,
                const QString& particion = QStringLiteral("1")) {
    DatosSentenciaGeneral d;
    d.filas = filas;
    d.tablas = tablas;
    d.particion = particion;
    d.analisis = quill::AnalizarCondicionesGeneral(filas, familias);
    return quill::GenerarSentenciaGeneral(d, forma, orden, sentido, todas);
}

const QStringList kPaciente{QStringLiteral("PACIENTE")};

TEST(SentenciaGeneral, SinCondiciones) {
    EXPECT_EQ(generar({}, {}), kSelect + " FROM PACIENTE " + where() + " Order BY 3 ASC");
    // A blank row (Id -1, no fragment) is no condition at all.
    EXPECT_EQ(generar({fila(-1, QString())}, {}),
              kSelect + " FROM PACIENTE " + where() + " Order BY 3 ASC");
}

TEST(SentenciaGeneral, UnaCondicion) {
    EXPECT_EQ(generar({fila(1, kApellidos)}, kPaciente),
              kSelect + " FROM PACIENTE " + where() + " AND (" + kApellidos + ") Order BY 3 ASC");
    // "Any" with a single condition has no alternative to enclose.
    EXPECT_EQ(generar({fila(1, kApellidos)}, kPaciente, false),
              kSelect + " FROM PACIENTE " + where() + " AND (" + kApellidos + ") Order BY 3 ASC");
}

TEST(SentenciaGeneral, TresCondicionesTodasYCualquiera) {
    const QList<FilaCondicion> filas{fila(1, kApellidos), fila(11, kSexo), fila(13, kNacimiento)};
    EXPECT_EQ(generar(filas, kPaciente, true), kSelect + " FROM PACIENTE " + where() + " AND (" +
                                                   kApellidos + ") AND (" + kSexo + ") AND (" +
                                                   kNacimiento + ") Order BY 3 ASC");
    // The extra pair keeps deleted rows, patient 0 and the partition out of every alternative.
    EXPECT_EQ(generar(filas, kPaciente, false), kSelect + " FROM PACIENTE " + where() + " AND ((" +
                                                    kApellidos + ") OR (" + kSexo + ") OR (" +
                                                    kNacimiento + ")) Order BY 3 ASC");
}

TEST(SentenciaGeneral, FilasQueNoEntranEnElWhere) {
    // 55 works through the last-record mode, 482 belongs to another kind, 95 and 134 build no
    // fragment; none of them is joined.
    const QList<FilaCondicion> filas{fila(55, QStringLiteral("x"), QString(), "Todas"),
                                     fila(482, QStringLiteral(" (DLENTILLA.ID_TLENTILLA  = 0)")),
                                     fila(95, QString(), QString(), "No"), fila(1, kApellidos)};
    EXPECT_EQ(generar(filas, kPaciente),
              kSelect + " FROM PACIENTE " + where() + " AND (" + kApellidos + ") Order BY 3 ASC");
}

TEST(SentenciaGeneral, OrdenYSentido) {
    struct Caso {
        qint16 orden, sentido;
        const char* texto;
    };
    const Caso casos[] = {
        {3, 0, " Order BY 2 ASC"},   {3, 1, " Order BY 2 DesC"}, {18, 1, " Order BY 3 DesC"},
        {18, 0, " Order BY 3 ASC"},  {21, 0, " ORDER BY 7 ASC"}, {21, 1, " ORDER BY 7 DesC"},
        {22, 1, " Order BY 3 DesC"}, {0, 0, " Order BY 3 ASC"},  {24, 2, " Order BY 3 "},
        {3, -1, " Order BY 2 "},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(testing::Message() << c.orden << "/" << c.sentido);
        EXPECT_EQ(quill::ListingModule::GenerarSQLOrder(c.orden, c.sentido),
                  QLatin1String(c.texto));
        EXPECT_TRUE(generar({}, {}, true, c.orden, c.sentido).endsWith(QLatin1String(c.texto)));
    }
}

TEST(SentenciaGeneral, ParticionComoSeDa) {
    EXPECT_EQ(generar({}, {}, true, 0, 0, {}, FormaSentencia::Listado, "27"),
              kSelect + " FROM PACIENTE " + where("27") + " Order BY 3 ASC");
    EXPECT_EQ(generar({}, {}, true, 0, 0, {}, FormaSentencia::Listado, "-3"),
              kSelect + " FROM PACIENTE " + where("-3") + " Order BY 3 ASC");
    // Nothing but an integer ever reaches the statement.
    for (const char* mala : {"", " 1", "1 OR 1=1", "1;", "uno", "1.5", "12345678901"}) {
        SCOPED_TRACE(mala);
        try {
            generar({}, {}, true, 0, 0, {}, FormaSentencia::Listado, QString::fromLatin1(mala));
            ADD_FAILURE() << "accepted";
        } catch (const quill::Error& e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("El valor de la partición de datos no es un número entero")));
        }
    }
}

TEST(SentenciaGeneral, TablasDelFrom) {
    const QList<FilaCondicion> filas{fila(82, kCilindro), fila(23, kNota)};
    const QStringList tablas{"MGRADUACION", "POBSERVACIONES", "PACIENTE"};
    EXPECT_EQ(generar(filas, tablas), kSelect + " FROM PACIENTE , MGRADUACION, POBSERVACIONES" +
                                          where() + " AND (" + kCilindro + ") AND (" + kNota +
                                          ") Order BY 3 ASC");
    EXPECT_EQ(quill::ListingModule::GenerarSQLFrom(QString(), {"A", "B"}), " FROM A, B");
    EXPECT_EQ(quill::ListingModule::GenerarSQLFrom(" FROM PACIENTE ", {"PACIENTE", "", "X"}),
              " FROM PACIENTE , X");
}

TEST(SentenciaGeneral, CondicionWhere) {
    using quill::ListingModule;
    EXPECT_EQ(ListingModule::CondicionWhere(QString(), true), " WHERE ");
    EXPECT_EQ(ListingModule::CondicionWhere(QString(), false), " WHERE ");
    EXPECT_EQ(ListingModule::CondicionWhere("x", true), " AND ");
    EXPECT_EQ(ListingModule::CondicionWhere("x", false), " OR ");
}

TEST(SentenciaGeneral, ModoGrupoUnaFamilia) {
    const QList<FilaCondicion> filas{fila(55, QStringLiteral("= 1"), "Igual a...", "Última"),
                                     fila(82, kCilindro)};
    EXPECT_EQ(generar(filas, {"MGRADUACION"}),
              kSelect + ", MGRADUACION.NUMERO_FICHA, COUNT(DISTINCT(MG.NUMERO_FICHA)) " +
                  " FROM PACIENTE , MGRADUACION, MGRADUACION MG " + where() + " AND (" + kCilindro +
                  ") AND MG.ID_PACIENTE = PACIENTE.ID_PACIENTE " + kGroupBy +
                  ", MGRADUACION.NUMERO_FICHA " +
                  "HAVING  MGRADUACION.NUMERO_FICHA >= COUNT(DISTINCT(MG.NUMERO_FICHA))  Order BY "
                  "3 ASC");
    // "Todas" leaves the mode off.
    const QList<FilaCondicion> todas{fila(55, QStringLiteral("= 0"), "Igual a...", "Todas"),
                                     fila(82, kCilindro)};
    EXPECT_EQ(generar(todas, {"MGRADUACION"}), kSelect + " FROM PACIENTE , MGRADUACION" + where() +
                                                   " AND (" + kCilindro + ") Order BY 3 ASC");
}

TEST(SentenciaGeneral, ModoGrupoDosFamiliasYGarantia) {
    const QString garantia = QStringLiteral(
        " PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND MGRADUACION.ID_MGRADUACION = "
        "DGRADUACION.ID_MGRADUACION AND CAST(DGRADUACION.FECHA_GARANTIA AS DATE) > '01/01/2024'");
    const QList<FilaCondicion> filas{fila(112, kLentillaRevision), fila(92, garantia),
                                     fila(55, QStringLiteral("= 1"), "Igual a...", "Última"),
                                     fila(82, kCilindro)};
    // Slots come in family order (prescriptions before lenses) whatever the row order; the
    // guarantee columns follow their family's slot; the HAVING predicates are joined with AND.
    EXPECT_EQ(generar(filas, {"MLENTILLA", "MGRADUACION", "DGRADUACION"}),
              kSelect +
                  ", MGRADUACION.NUMERO_FICHA, COUNT(DISTINCT(MG.NUMERO_FICHA)) , "
                  "CAST(DGRADUACION.FECHA_GARANTIA AS DATE) , MLENTILLA.NUMERO_FICHA, "
                  "MAX(ML.NUMERO_FICHA) " +
                  " FROM PACIENTE , MLENTILLA, MGRADUACION, DGRADUACION, MGRADUACION MG , "
                  "MLENTILLA ML " +
                  where() + " AND (" + kLentillaRevision + ") AND (" + garantia + ") AND (" +
                  kCilindro +
                  ") AND MG.ID_PACIENTE = PACIENTE.ID_PACIENTE  AND ML.ID_PACIENTE = "
                  "PACIENTE.ID_PACIENTE " +
                  kGroupBy +
                  ", MGRADUACION.NUMERO_FICHA , CAST(DGRADUACION.FECHA_GARANTIA AS DATE) , "
                  "MLENTILLA.NUMERO_FICHA " +
                  "HAVING  MGRADUACION.NUMERO_FICHA >= COUNT(DISTINCT(MG.NUMERO_FICHA))  AND  "
                  "MLENTILLA.NUMERO_FICHA = MAX(ML.NUMERO_FICHA)  Order BY 3 ASC");
}

TEST(SentenciaGeneral, ModoGrupoSinFamiliaNoDejaHavingVacio) {
    const QList<FilaCondicion> filas{fila(55, QStringLiteral("= 1"), "Igual a...", "Última"),
                                     fila(1, kApellidos)};
    EXPECT_EQ(generar(filas, kPaciente), kSelect + " FROM PACIENTE " + where() + " AND (" +
                                             kApellidos + ")" + kGroupBy + " Order BY 3 ASC");
}

TEST(SentenciaGeneral, Conteo) {
    EXPECT_EQ(generar({fila(1, kApellidos)}, kPaciente, true, 18, 1, {}, FormaSentencia::Conteo),
              kConteo + " FROM PACIENTE " + where() + " AND (" + kApellidos +
                  ") GROUP BY PACIENTE.ID_PACIENTE  Order BY 1 ASC");
    const QList<FilaCondicion> grupo{fila(55, QStringLiteral("= 1"), "Igual a...", "Última"),
                                     fila(82, kCilindro)};
    EXPECT_EQ(generar(grupo, {"MGRADUACION"}, true, 0, 0, {}, FormaSentencia::Conteo),
              kConteo + " FROM PACIENTE , MGRADUACION, MGRADUACION MG " + where() + " AND (" +
                  kCilindro +
                  ") AND MG.ID_PACIENTE = PACIENTE.ID_PACIENTE  GROUP BY PACIENTE.ID_PACIENTE , "
                  "MGRADUACION.NUMERO_FICHA HAVING  MGRADUACION.NUMERO_FICHA >= "
                  "COUNT(DISTINCT(MG.NUMERO_FICHA))  Order BY 1 ASC");
}

TEST(SentenciaGeneral, CualquieraConTablasPropiasUsaExists) {
    auto existe = [](const char* tabla, const QString& fragmento, const QString& mas = {}) {
        return "(EXISTS (SELECT 1 FROM " + QLatin1String(tabla) + " WHERE " + fragmento + mas +
               "))";
    };
    const QString ultima = QStringLiteral(
        " AND MGRADUACION.NUMERO_FICHA >= (SELECT COUNT(DISTINCT(MG.NUMERO_FICHA)) FROM "
        "MGRADUACION MG WHERE MG.ID_PACIENTE = PACIENTE.ID_PACIENTE)");
    const QString orden = QStringLiteral(" Order BY 3 ASC");
    const QList<FilaCondicion> tres{fila(1, kApellidos), fila(82, kCilindro), fila(23, kNota)};
    struct Caso {
        const char* nombre;
        QList<FilaCondicion> filas;
        QStringList familias;
        FormaSentencia forma;
        QString texto;
    };
    const Caso casos[] = {
        {"paciente, graduación y nota",
         tres,
         {},
         FormaSentencia::Listado,
         kSelect + " FROM PACIENTE " + where() + " AND ((" + kApellidos + ") OR " +
             existe("MGRADUACION", kCilindro) + " OR " + existe("POBSERVACIONES", kNota) + ")" +
             orden},
        {"conteo",
         {fila(82, kCilindro), fila(23, kNota)},
         {},
         FormaSentencia::Conteo,
         kConteo + " FROM PACIENTE " + where() + " AND (" + existe("MGRADUACION", kCilindro) +
             " OR " + existe("POBSERVACIONES", kNota) +
             ") GROUP BY PACIENTE.ID_PACIENTE  Order BY 1 ASC"},
        // The latest record is tested inside the EXISTS: nothing is grouped by record.
        {"última ficha",
         {fila(55, QStringLiteral("= 1"), "Igual a...", "Última"), fila(82, kCilindro),
          fila(1, kApellidos)},
         {},
         FormaSentencia::Listado,
         kSelect + " FROM PACIENTE " + where() + " AND (" +
             existe("MGRADUACION", kCilindro, ultima) + " OR (" + kApellidos + "))" + kGroupBy +
             orden},
        // The family's own table is the listed record's: only the other tables go into EXISTS.
        {"familia",
         {fila(50, QString(), "Igual a...", "Graduación"), fila(82, kCilindro),
          fila(112, kLentillaRevision), fila(23, kNota)},
         {"1"},
         FormaSentencia::Listado,
         kSelect +
             ", CAST(MGRADUACION.FECHA AS DATE), CAST(MGRADUACION.FECHA AS DATE), "
             "CAST(MGRADUACION.FECHA AS DATE) FROM PACIENTE, MGRADUACION " +
             where() + " AND PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE  AND ((" + kCilindro +
             ") OR " + existe("MLENTILLA", kLentillaRevision) + " OR " +
             existe("POBSERVACIONES", kNota) + ")" + orden},
    };
    const QStringList tablas{"PACIENTE", "MGRADUACION", "MLENTILLA", "POBSERVACIONES"};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        EXPECT_EQ(generar(c.filas, tablas, false, 0, 0, c.familias, c.forma), c.texto);
    }
    // With "all" the documented text stays.
    EXPECT_EQ(generar(tres, {"PACIENTE", "MGRADUACION", "POBSERVACIONES"}, true),
              kSelect + " FROM PACIENTE , MGRADUACION, POBSERVACIONES" + where() + " AND (" +
                  kApellidos + ") AND (" + kCilindro + ") AND (" + kNota + ")" + orden);
}

const QString kFechaFicha = QStringLiteral(" > '01/01/2020'");

TEST(SentenciaGeneral, TipoFichaIgualUnaFamilia) {
    const QList<FilaCondicion> filas{fila(50, QString(), "Igual a...", "Graduación"),
                                     fila(433, kFechaFicha), fila(1, kApellidos)};
    EXPECT_EQ(generar(filas, kPaciente, true, 18, 1, {"1"}),
              kSelect +
                  ", CAST(MGRADUACION.FECHA AS DATE), CAST(MGRADUACION.FECHA AS DATE), "
                  "CAST(MGRADUACION.FECHA AS DATE) FROM PACIENTE, MGRADUACION " +
                  where() + " AND PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE  AND (" +
                  kApellidos +
                  ") AND CAST(MGRADUACION.FECHA AS DATE) != '12/30/1899' AND "
                  "CAST(MGRADUACION.FECHA AS DATE)  > '01/01/2020' Order BY 3 DesC");
}

TEST(SentenciaGeneral, TipoFichaIgualVariasFamiliasIgualanColumnas) {
    // Lenses date five things, prescriptions three: the narrower member is filled with empty
    // dates. Hearing aids have no record date: their member cannot meet 433 and is left out.
    const QList<FilaCondicion> filas{fila(50, QString(), "Igual a...", "x"),
                                     fila(433, kFechaFicha)};
    const QString m = QStringLiteral(" FROM PACIENTE, ");
    EXPECT_EQ(
        generar(filas, kPaciente, true, 3, 0, {"1", "2", "0"}),
        kSelect +
            ", CAST(MGRADUACION.FECHA AS DATE), CAST(MGRADUACION.FECHA AS DATE), "
            "CAST(MGRADUACION.FECHA AS DATE), CAST(NULL AS DATE), CAST(NULL AS DATE)" +
            m + "MGRADUACION " + where() +
            " AND PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE  AND CAST(MGRADUACION.FECHA AS "
            "DATE) != '12/30/1899' AND CAST(MGRADUACION.FECHA AS DATE)  > '01/01/2020' UNION " +
            kSelect +
            ", CAST(MLENTILLA.FECHA_REVISION AS DATE) FECHA_REVISION, "
            "CAST(MLENTILLA.FECHA_LIMPIEZA AS DATE) FECHA_LIMPIEZA, CAST(MLENTILLA.FECHA_CADUCIDAD "
            "AS DATE) FECHA_CADUCIDAD, CAST(MLENTILLA.FECHA_REPOSICION AS DATE) FECHA_REPOSICION, "
            "CAST(MLENTILLA.FECHA AS DATE) FECHA" +
            m + "MLENTILLA " + where() +
            " AND PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE  AND CAST(MLENTILLA.FECHA AS DATE) "
            "!= '12/30/1899' AND CAST(MLENTILLA.FECHA AS DATE)  > '01/01/2020' Order BY 2 ASC");
}

TEST(SentenciaGeneral, ClausulasDeFamilia) {
    // Guarantee, professional and agent clauses, with the detail table and its join, for
    // hearing aids (the family with two professional columns), in last-record mode.
    const QList<FilaCondicion> filas{fila(50, QString(), "Igual a...", "Audiometría"),
                                     fila(435, QStringLiteral(" < '01/01/2026'")),
                                     fila(51, QStringLiteral("In (1,2)")),
                                     fila(52, QStringLiteral("Not In (3)")),
                                     fila(55, QStringLiteral("= 1"), "Igual a...", "Última")};
    EXPECT_EQ(
        generar(filas, kPaciente, true, 0, 0, {"0"}),
        kSelect +
            ", CAST(MAUDIFONO.FECHA AS DATE) FECHA, CAST(MAUDIFONO.FECHA_AEREA AS DATE) "
            "FECHA_AEREA, CAST(MAUDIFONO.FECHA_OSEA AS DATE) FECHA_OSEA, "
            "CAST(MAUDIFONO.FECHA_PROXIMA_REVISION AS DATE) FECHA_REVISION, "
            "CAST(MAUDIFONO.FECHA_ADAPTACION AS DATE) FECHA_ADAPTACION, CAST(DAUDIFONO.GARANTIA AS "
            "DATE) FECHA_GARANTIA  FROM PACIENTE, MAUDIFONO, DAUDIFONO , MAUDIFONO MA " +
            where() +
            " AND PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE  AND DAUDIFONO.ID_MAUDIFONO = "
            "MAUDIFONO.ID_MAUDIFONO AND CAST(DAUDIFONO.GARANTIA AS DATE) != '12/30/1899' AND "
            "CAST(DAUDIFONO.GARANTIA AS DATE)  < '01/01/2026' AND (MAUDIFONO.ID_DOCTOR_ADAPTA In "
            "(1,2) OR MAUDIFONO.ID_DOCTOR_EXAMINA In (1,2)) AND MAUDIFONO.ID_AGENTE Not In (3) "
            "AND MA.ID_PACIENTE = PACIENTE.ID_PACIENTE " +
            kGroupBy +
            ", CAST(MAUDIFONO.FECHA AS DATE), CAST(MAUDIFONO.FECHA_AEREA AS DATE), "
            "CAST(MAUDIFONO.FECHA_OSEA AS DATE), CAST(MAUDIFONO.FECHA_PROXIMA_REVISION AS DATE), "
            "CAST(MAUDIFONO.FECHA_ADAPTACION AS DATE), CAST(DAUDIFONO.GARANTIA AS DATE), "
            "MAUDIFONO.NUMERO_FICHA HAVING  MAUDIFONO.NUMERO_FICHA = MAX(MA.NUMERO_FICHA)  Order "
            "BY 3 ASC");
}

TEST(SentenciaGeneral, TipoFichaDistinto) {
    const QList<FilaCondicion> filas{fila(50, QString(), "Distinto de...", "x"),
                                     fila(1, kApellidos), fila(23, kNota)};
    const QStringList tablas{"PACIENTE", "POBSERVACIONES"};
    const QString sinFichas = QStringLiteral(
        " AND NOT EXISTS (SELECT MGRADUACION.ID_PACIENTE from MGRADUACION where "
        "MGRADUACION.ID_PACIENTE = PACIENTE.ID_PACIENTE)  AND NOT EXISTS (SELECT "
        "MLENTILLA.ID_PACIENTE from MLENTILLA where MLENTILLA.ID_PACIENTE = PACIENTE.ID_PACIENTE)  "
        "AND NOT EXISTS (SELECT MAUDIFONO.ID_PACIENTE from MAUDIFONO where MAUDIFONO.ID_PACIENTE = "
        "PACIENTE.ID_PACIENTE)  AND NOT EXISTS (SELECT OPTOMETRIA.ID_PACIENTE from OPTOMETRIA "
        "where OPTOMETRIA.ID_PACIENTE = PACIENTE.ID_PACIENTE)  AND NOT EXISTS (SELECT "
        "MOREDUCIDA.ID_PACIENTE from MOREDUCIDA where MOREDUCIDA.ID_PACIENTE = "
        "PACIENTE.ID_PACIENTE) ");
    EXPECT_EQ(generar(filas, tablas, false, 21, 1, {"1", "2"}),
              kSelectDistinto + " From PACIENTE " + where() + sinFichas + " AND ((" + kApellidos +
                  ") OR (EXISTS (SELECT 1 FROM POBSERVACIONES WHERE " + kNota +
                  "))) ORDER BY 7 DesC");
    EXPECT_EQ(generar(filas, tablas, true, 0, 0, {"1"}, FormaSentencia::Conteo),
              kConteo + " From PACIENTE , POBSERVACIONES" + where() + sinFichas + " AND (" +
                  kApellidos + ") AND (" + kNota +
                  ") GROUP BY PACIENTE.ID_PACIENTE  Order BY 1 ASC");
}

TEST(SentenciaGeneral, NingunaFamiliaPuedeCumplir) {
    // Optometry and low vision have no guarantee: nobody can be listed.
    const QList<FilaCondicion> filas{fila(50, QString(), "Igual a...", "x"),
                                     fila(435, QStringLiteral(" < '01/01/2026'"))};
    EXPECT_EQ(generar(filas, kPaciente, true, 0, 0, {"3", "4"}),
              kSelect + " FROM PACIENTE " + where() + " AND 1 = 0 Order BY 3 ASC");
}

TEST(AnalisisGeneral, Banderas) {
    struct Caso {
        const char* nombre;
        QList<FilaCondicion> filas;
        QStringList familias; // ticked for 50
        bool grupo, ultimaVisita, lentillas, graduacion;
        QStringList familiasRun;
        QString operador;
    };
    const QStringList fechas{"1", "2", "0", "3"};
    const QStringList tres{"1", "2", "0"};
    const Caso casos[] = {
        {"vacía", {}, {"4"}, false, false, true, true, {}, {}},
        {"55 Última", {fila(55, "", "", "Última")}, {}, true, false, true, true, {}, {}},
        {"55 Todas", {fila(55, "", "", "Todas")}, {}, false, false, true, true, {}, {}},
        {"56", {fila(56, "x")}, {}, false, true, true, true, {}, {}},
        {"95 No, 134 Si",
         {fila(95, "", "", "No"), fila(134, "", "", "Si")},
         {},
         false,
         false,
         false,
         true,
         {},
         {}},
        {"134 No", {fila(134, "", "", "No")}, {}, false, false, true, false, {}, {}},
        {"50 antes de 433",
         {fila(50, "", "Distinto de..."), fila(433, "x")},
         {"4"},
         false,
         false,
         true,
         true,
         {"4"},
         "Distinto de..."},
        {"433 antes de 50",
         {fila(433, "x"), fila(50, "", "Distinto de...")},
         {"4"},
         false,
         false,
         true,
         true,
         {"4"},
         "Distinto de..."},
        {"434", {fila(434, "x")}, {"4"}, false, false, true, true, fechas, "Igual a..."},
        {"435", {fila(435, "x")}, {}, false, false, true, true, tres, "Igual a..."},
        {"51", {fila(51, "x")}, {}, false, false, true, true, tres, "Igual a..."},
        {"52.5", {fila(52.5, "x")}, {}, false, false, true, true, tres, "Igual a..."},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const AnalisisGeneral a = quill::AnalizarCondicionesGeneral(c.filas, c.familias);
        EXPECT_EQ(a.modoGrupo, c.grupo);
        EXPECT_EQ(a.tablaUltimaVisita, c.ultimaVisita);
        EXPECT_EQ(a.filtroLentillas, c.lentillas);
        EXPECT_EQ(a.filtroGraduacion, c.graduacion);
        EXPECT_EQ(a.familias, c.familiasRun);
        EXPECT_EQ(a.operadorTipoFicha, c.operador);
    }
}

TEST(SentenciaGeneral, TablasDeSentencia) {
    const QStringList tablas{"MGRADUACION", "DGRADUACION", "PACIENTE", "POBSERVACIONES"};
    EXPECT_EQ(quill::TablasDeSentencia(kCilindro, tablas),
              QStringList({"MGRADUACION", "PACIENTE"}));
    EXPECT_EQ(quill::TablasDeSentencia(kNota, tablas), QStringList({"PACIENTE", "POBSERVACIONES"}));
    // A name inside a longer name does not count.
    EXPECT_EQ(quill::TablasDeSentencia("XMGRADUACION.A = 1 AND MGRADUACION_B.C = 2", tablas),
              QStringList());
}

// The module reads its condition table and keeps the analysis of the run.
TEST(TdmGeneralSentencia, DesdeLaTablaDeCondiciones) {
    quill::MemTable condiciones;
    TdmlstPaciente::DefinirCampos(condiciones, 0);
    condiciones.open();
    auto anadir = [&](double id, const QString& condicion, const QString& valor,
                      const QString& sentencia) {
        condiciones.append();
        condiciones.setValue("Id", id);
        condiciones.setValue("Condicion", condicion);
        condiciones.setValue("Condicion1", valor);
        condiciones.setValue("Sentencia", sentencia);
        condiciones.post();
    };
    anadir(50, "Igual a...", "Graduación", QString());
    anadir(95, "Igual a...", "No", QString());
    anadir(1, "Empieza por...", "GAR", kApellidos);
    TdmGeneral dm;
    dm.setCondiciones(&condiciones);
    dm.Tablas = kPaciente;
    dm.Familias = QStringList{"1"};
    dm.AsignarParticion("2");
    const QString sql = dm.ConstruirSQL(18, 0, true);
    EXPECT_TRUE(sql.startsWith(kSelect + ", CAST(MGRADUACION.FECHA AS DATE)")) << qPrintable(sql);
    EXPECT_TRUE(sql.contains(where("2") + " AND PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE "));
    EXPECT_FALSE(dm.Analisis().filtroLentillas);
    EXPECT_TRUE(dm.Analisis().filtroGraduacion);
    // A row still being edited takes part; the cursor is not moved.
    condiciones.append();
    condiciones.setValue("Id", 11.0);
    condiciones.setValue("Sentencia", kSexo);
    dm.Familias.clear();
    condiciones.moveTo(0);
    condiciones.edit();
    condiciones.setValue("Id", -1.0);
    EXPECT_EQ(dm.ConstruirSQLConteo(true), kConteo + " FROM PACIENTE " + where("2") + " AND (" +
                                               kApellidos + ") AND (" + kSexo +
                                               ") GROUP BY PACIENTE.ID_PACIENTE  Order BY 1 ASC");
    EXPECT_EQ(condiciones.currentRow(), 0);
    EXPECT_EQ(condiciones.state(), quill::MemTable::State::Edit);
}

TEST(TdmGeneralSentencia, ParticionNoNumericaEsErrorInterno) {
    TdmGeneral dm;
    dm.AsignarParticion("1 OR 1=1");
    EXPECT_EQ(dm.GenerarSQL(0, 0, true), quill::kListadoErrorInterno);
    EXPECT_EQ(dm.Resultado, quill::kListadoErrorInterno);
    EXPECT_TRUE(dm.ErrorSQL().contains("partición"));
    EXPECT_EQ(dm.GenerarSQLConteo(true), quill::kListadoErrorInterno);
    EXPECT_EQ(dm.ContarPacientes(), 0.0);
}

} // namespace
