// The record-family fragments on a database made from the schema: every entry, under every
// operator its kind offers, runs inside a statement (a wrong column or a stray parenthesis fails
// there), and on a few rows of our own the conditions list the patients they should.

#include "familias_casos.h"
#include "sql/catalogo.h"
#include "tiendaprueba.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <map>
#include <set>

using namespace familias;
using namespace quill;
using tiendaprueba::SuiteTienda;

namespace {

const QString kConexion = QStringLiteral("g-familias");

// Patients and records:
//  1: two prescriptions, right cylinders -0.5 and -1.75 (doctors 7 and 3); a fitting with air
//     threshold 45 dB at 125 Hz in the right ear and a device under guarantee; a lens fitting
//     with lens type 2; an examination without pain notes.
//  2: one prescription with nothing entered (98, 400, empty date); a fitting with 50 dB at 125 Hz
//     in the left ear; an examination whose binocular-vision notes mention pain.
//  3: a prescription with right cylinder -0.25, right axis 90 (doctor 5); a fitting with 60 dB only
//     at 250 Hz; a lens fitting with lens type 4.
//  4: a prescription with right cylinder 0 and left axis 90 (doctor 7).
//  9: one record of every family, so every fragment is evaluated on a row; some notes end with
//     a line break, as the record editors save them.
//  5: deleted, with a prescription that would match everything.
QStringList filasFamilias() {
    return {
        "INSERT INTO PACIENTE (ID_PACIENTE, APELLIDOS) VALUES (1, 'Uno')",
        "INSERT INTO PACIENTE (ID_PACIENTE, APELLIDOS) VALUES (2, 'Dos')",
        "INSERT INTO PACIENTE (ID_PACIENTE, APELLIDOS) VALUES (3, 'Tres')",
        "INSERT INTO PACIENTE (ID_PACIENTE, APELLIDOS) VALUES (4, 'Cuatro')",
        "INSERT INTO PACIENTE (ID_PACIENTE, APELLIDOS, BORRADO) VALUES (5, 'Borrado', 1)",
        "INSERT INTO PACIENTE (ID_PACIENTE, APELLIDOS) VALUES (9, 'Nueve')",
        "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, OD_CILINDRO, ID_DOCTOR, FECHA) "
        "VALUES (1, 1, -0.5, 7, '2023-05-10')",
        "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, OD_CILINDRO, ID_DOCTOR, FECHA) "
        "VALUES (2, 1, -1.75, 3, '2024-01-20')",
        "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE) VALUES (3, 2)",
        "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, OD_CILINDRO, OD_EJE, ID_DOCTOR) "
        "VALUES (4, 3, -0.25, 90, 5)",
        "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, OD_CILINDRO, OI_EJE, ID_DOCTOR) "
        "VALUES (5, 4, 0, 90, 7)",
        "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, OD_CILINDRO, OD_EJE, OI_EJE, "
        "ID_DOCTOR) VALUES (6, 5, -3, 90, 90, 3)",
        "INSERT INTO MAUDIFONO (ID_MAUDIFONO, ID_PACIENTE, OD_AEREA_125) VALUES (1, 1, 45)",
        "INSERT INTO DAUDIFONO (ID_DAUDIFONO, ID_MAUDIFONO, GARANTIA, IMPORTE_M1) "
        "VALUES (1, 1, '2025-06-01', 1200)",
        "INSERT INTO MAUDIFONO (ID_MAUDIFONO, ID_PACIENTE, OI_AEREA_125) VALUES (2, 2, 50)",
        "INSERT INTO DAUDIFONO (ID_DAUDIFONO, ID_MAUDIFONO) VALUES (2, 2)",
        "INSERT INTO MAUDIFONO (ID_MAUDIFONO, ID_PACIENTE, OD_AEREA_250) VALUES (3, 3, 60)",
        "INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE) VALUES (1, 1)",
        "INSERT INTO DLENTILLA (ID_DLENTILLA, ID_MLENTILLA, ID_TLENTILLA) VALUES (1, 1, 2)",
        "INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE) VALUES (3, 3)",
        "INSERT INTO DLENTILLA (ID_DLENTILLA, ID_MLENTILLA, ID_TLENTILLA) VALUES (3, 3, 4)",
        "INSERT INTO OPTOMETRIA (ID_OPTOMETRIA, ID_PACIENTE, BI_OBSERVACIONES) "
        "VALUES (1, 1, 'Sin hallazgos')",
        "INSERT INTO OPTOMETRIA (ID_OPTOMETRIA, ID_PACIENTE, TB_OBSERVACIONES) "
        "VALUES (2, 2, 'Refiere dolor de cabeza al leer')",
        // Patient 9: a record of every family with some values entered.
        "INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE, OD_ESFERA_LEJOS, OD_PRISMA, "
        "OI_QUERATOMETRIA) VALUES (9, 9, 1.25, '2 base ext', '43,5x44')",
        "INSERT INTO DGRADUACION (ID_DGRADUACION, ID_MGRADUACION, TIPO_GRADUACION, DESCRIPCION) "
        "VALUES (9, 9, 3, 'Progresivo gris')",
        "INSERT INTO GOBSERVACIONES (ID_GOBSERVACIONES, ID_MGRADUACION, OBSERVACIONES) "
        "VALUES (9, 9, 'Primera graduación')",
        "INSERT INTO MLENTILLA (ID_MLENTILLA, ID_PACIENTE, OD_RADIO_1, LIQUIDOS) "
        "VALUES (9, 9, '8,6', 'Renu')",
        "INSERT INTO DLENTILLA (ID_DLENTILLA, ID_MLENTILLA, LOTE) VALUES (9, 9, 'L123')",
        "INSERT INTO LOBSERVACIONES (ID_LOBSERVACIONES, ID_MLENTILLA, OBSERVACIONES) "
        "VALUES (9, 9, 'Ojo seco' || ASCII_CHAR(13) || ASCII_CHAR(10))",
        "INSERT INTO MAUDIFONO (ID_MAUDIFONO, ID_PACIENTE, OD_HAIC) VALUES (9, 9, 2)",
        "INSERT INTO DAUDIFONO (ID_DAUDIFONO, ID_MAUDIFONO, NUMERO_SERIE, IMPORTE_M1) "
        "VALUES (9, 9, 'AB12', 980.5)",
        "INSERT INTO AOBSERVACIONES (ID_AOBSERVACIONES, ID_MAUDIFONO, OBSERVACIONES) "
        "VALUES (9, 9, 'Molde nuevo')",
        "INSERT INTO OPTOMETRIA (ID_OPTOMETRIA, ID_PACIENTE, OD_ADICION, OI_ADICION, "
        "TR_OD_SUB_AV) VALUES (9, 9, 1.5, 2, '1')",
        "INSERT INTO MOREDUCIDA (ID_MREDUCIDA, ID_PACIENTE, ID_TIENDA) VALUES (9, 9, 1)",
        "INSERT INTO OROBSERVACIONES (ID_OROBSERVACIONES, ID_MREDUCIDA, OBSERVACIONES) "
        "VALUES (9, 9, 'Lupa 4x')",
        "INSERT INTO REPOSICION (ID_REPOSICION, ID_PACIENTE, TIPO_REPOSICION, TIPO, "
        "OBSERVACIONES) VALUES (9, 9, 2, 2, 'Urgente' || ASCII_CHAR(13) || ASCII_CHAR(10))",
    };
}

// How each record table joins towards PACIENTE.
const std::map<QString, QString>& uniones() {
    static const std::map<QString, QString> u = {
        {"MGRADUACION", "PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE"},
        {"DGRADUACION", "MGRADUACION.ID_MGRADUACION = DGRADUACION.ID_MGRADUACION"},
        {"GOBSERVACIONES", "MGRADUACION.ID_MGRADUACION = GOBSERVACIONES.ID_MGRADUACION"},
        {"MLENTILLA", "PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE"},
        {"DLENTILLA", "MLENTILLA.ID_MLENTILLA = DLENTILLA.ID_MLENTILLA"},
        {"LOBSERVACIONES", "MLENTILLA.ID_MLENTILLA = LOBSERVACIONES.ID_MLENTILLA"},
        {"MAUDIFONO", "PACIENTE.ID_PACIENTE = MAUDIFONO.ID_PACIENTE"},
        {"DAUDIFONO", "MAUDIFONO.ID_MAUDIFONO = DAUDIFONO.ID_MAUDIFONO"},
        {"AOBSERVACIONES", "MAUDIFONO.ID_MAUDIFONO = AOBSERVACIONES.ID_MAUDIFONO"},
        {"OPTOMETRIA", "PACIENTE.ID_PACIENTE = OPTOMETRIA.ID_PACIENTE"},
        {"MOREDUCIDA", "PACIENTE.ID_PACIENTE = MOREDUCIDA.ID_PACIENTE"},
        {"OROBSERVACIONES", "MOREDUCIDA.ID_MREDUCIDA = OROBSERVACIONES.ID_MREDUCIDA"},
        {"REPOSICION", "PACIENTE.ID_PACIENTE = REPOSICION.ID_PACIENTE"},
    };
    return u;
}

struct Condicion {
    const char* op;
    const char* c1;
    const char* c2;
    QStringList items;
};

// The operators a field of each kind offers, with plausible values.
const QList<Condicion> kNumero = {{kIgual, "1,5", "", {}},  {kDistinto, "2", "", {}},
                                  {kMayor, "-2", "", {}},   {kMenor, "90", "", {}},
                                  {kEntre, "1", "3,5", {}}, {kVacio, "", "", {}},
                                  {kNoVacio, "", "", {}}};
const QList<Condicion> kTexto = {{kIgual, "ab", "", {}},   {kDistinto, "ab", "", {}},
                                 {kEmpieza, "a", "", {}},  {kTermine, "b", "", {}},
                                 {kContiene, "x", "", {}}, {kEntre, "a", "m", {}},
                                 {kVacio, "", "", {}},     {kNoVacio, "", "", {}}};
const QList<Condicion> kMemo = {{kIgual, "nota", "", {}},  {kDistinto, "nota", "", {}},
                                {kEmpieza, "no", "", {}},  {kTermine, "ta", "", {}},
                                {kContiene, "ot", "", {}}, {kVacio, "", "", {}},
                                {kNoVacio, "", "", {}}};
const QList<Condicion> kFecha = {
    {kIgual, "1/2/2020", "", {}},           {kDistinto, "1/2/2020", "", {}},
    {kMayor, "1/2/2020", "", {}},           {kMenor, "1/2/2020", "", {}},
    {kEntre, "1/1/2020", "31/12/2020", {}}, {kVacio, "1/1/2020", "", {}},
    {kNoVacio, "1/1/2020", "", {}}};
const QList<Condicion> kLista = {{kIgual, "", "", {"1", "2"}},
                                 {kDistinto, "", "", {"1"}},
                                 {kVacio, "", "", {}},
                                 {kNoVacio, "", "", {}}};
// A number compared as text (231's left eye, 198): only what reads the same both ways.
const QList<Condicion> kNumeroComoTexto = {
    {kIgual, "2", "", {}}, {kDistinto, "2", "", {}}, {kEntre, "1", "3", {}}};

const QList<Condicion>& condicionesDe(const EntradaCatalogo& e) {
    if (e.forma == Forma::Lista || e.operador == Operador::ListaSimple) return kLista;
    if (e.operador == Operador::Fecha) return kFecha;
    // Amounts and additions that are numbers in the database but compared as text.
    if (e.id == 198 || e.id == 231) return kNumeroComoTexto;
    const Operador op =
        e.forma == Forma::Alternativas ? e.alternativas.first().operador : e.operador;
    if (op == Operador::Numero) return kNumero;
    if (op == Operador::Memo) return kMemo;
    return kTexto;
}

class FamiliasDb : public SuiteTienda<FamiliasDb> {
public:
    static QString conexion() { return kConexion; }
    static QStringList filas() { return filasFamilias(); }

protected:
    // Runs a statement; the values of its first column, or the database's complaint.
    static QString ejecutar(const QString& sql, QList<int>* valores) {
        QSqlQuery q(QSqlDatabase::database(kConexion));
        if (!q.exec(sql)) return q.lastError().text();
        while (q.next())
            valores->append(q.value(0).toInt());
        return {};
    }

    // The live patients a condition lists, as the General statement joins it: the fragment in
    // parentheses, its tables in FROM.
    static QList<int> pacientes(double id, const char* op, const char* c1 = "", const char* c2 = "",
                                const QStringList& items = {}) {
        TLstSentPaciente s;
        QStringList lista;
        poner(s, lista, id, op, c1, c2, items);
        const QString fragmento = s.GenerarSentencia();
        QString from = QStringLiteral("PACIENTE");
        for (const QString& t : s.Tablas())
            if (t != QLatin1String("PACIENTE")) from += QStringLiteral(", ") + t;
        QList<int> ids;
        const QString error = ejecutar(
            QStringLiteral("SELECT DISTINCT PACIENTE.ID_PACIENTE FROM ") + from +
                QStringLiteral(" WHERE PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND (") +
                fragmento + QStringLiteral(") ORDER BY 1"),
            &ids);
        EXPECT_TRUE(error.isEmpty()) << id << " " << op << ": " << error.toStdString();
        return ids;
    }

};

} // namespace

TEST_F(FamiliasDb, EveryEntryRunsInsideAStatement) {
    const auto& c = CatalogoSentencias::instancia();
    const std::set<std::string> familias{"graduaciones",
                                         "lentillas",
                                         "audifonos",
                                         "optometria",
                                         "baja vision",
                                         "reposiciones",
                                         "reposicion de lentillas"};
    int entradas = 0;
    int sentencias = 0;
    for (int id = 0; id <= 3099; ++id) {
        const Familia* f = c.familia(id);
        const EntradaCatalogo* e = c.entrada(id);
        if (!f || !e || !familias.count(f->nombre)) continue;
        ++entradas;
        for (const Condicion& k : condicionesDe(*e)) {
            TLstSentPaciente s;
            QStringList lista;
            poner(s, lista, id, k.op, k.c1, k.c2, k.items);
            const QString fragmento = s.GenerarSentencia();
            ASSERT_FALSE(fragmento.isEmpty()) << id << " " << k.op;
            QStringList tablas = s.Tablas();
            // The lens-replacement fields lean on the replacements listing's own join.
            if (fragmento.contains(QLatin1String("DLENTILLA.")) && !tablas.contains("DLENTILLA"))
                tablas << QStringLiteral("DLENTILLA");
            QStringList condiciones;
            for (const QString& t : std::as_const(tablas))
                condiciones << uniones().at(t);
            QList<int> cuenta;
            const QString sql = QStringLiteral("SELECT COUNT(*) FROM PACIENTE, ") +
                                tablas.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") +
                                condiciones.join(QStringLiteral(" AND ")) +
                                QStringLiteral(" AND (") + fragmento + QStringLiteral(")");
            const QString error = ejecutar(sql, &cuenta);
            EXPECT_TRUE(error.isEmpty()) << id << " " << k.op << "\n"
                                         << sql.toStdString() << "\n"
                                         << error.toStdString();
            EXPECT_EQ(cuenta.size(), error.isEmpty() ? 1 : 0);
            ++sentencias;
        }
    }
    EXPECT_EQ(entradas, 349);
    EXPECT_GT(sentencias, 349 * 3);
}

