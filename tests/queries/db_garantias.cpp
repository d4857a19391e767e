// The Warranties listing on a generated shop database with a few records of our own: which
// records are complete, against independent queries, with and without the record-type, eye,
// mail and guarantee-date conditions; what a listed row holds; every order lists the same
// records; no complete record; the runner's count and export on the same data.

#include "comandos.h"
#include "condiciones.h"
#include "listadojson.h"
#include "listados.h"
#include "tiendaprueba.h"

#include "platform/memtable.h"
#include "queries/tdmgarantias.h"
#include "sql/lstutil.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

namespace {

const QString kConexion = QStringLiteral("db_garantias");

// Our patients (codes no generated patient has) and their records: a spectacle record with
// both lenses and the frame, one with two lines, complete records of a deleted patient and of
// another partition, and a hearing-aid fitting with both ears that accepts mail.
QStringList filasPropias() {
    QStringList f;
    auto paciente = [&](int id, int licencia, int borrado, int correo, const char* movil) {
        f << QStringLiteral("INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, NOMBRE, APELLIDOS, "
                            "NOMBRE_COMPLETO, DIRECCION, TELEFONO_MOVIL, LICENCIA, BORRADO, "
                            "CORREO, ID_LOCALIDAD) SELECT %1, %1, 'ANA', 'GARANTIA %1', "
                            "'GARANTIA %1, ANA', 'C. MAYOR %1', '%5', %2, %3, %4, "
                            "MIN(ID_LOCALIDAD) FROM LOCALIDAD")
                 .arg(id)
                 .arg(licencia)
                 .arg(borrado)
                 .arg(correo)
                 .arg(QLatin1String(movil));
    };
    int linea = 990000;
    auto gafas = [&](int id, int paciente_, QList<std::pair<int, const char*>> lineas) {
        f << QStringLiteral("INSERT INTO MGRADUACION (ID_MGRADUACION, ID_PACIENTE) VALUES (%1, "
                            "%2)")
                 .arg(id)
                 .arg(paciente_);
        for (const auto& [ojo, fecha] : lineas)
            f << QStringLiteral("INSERT INTO DGRADUACION (ID_DGRADUACION, ID_MGRADUACION, OJO, "
                                "FECHA_GARANTIA) VALUES (%1, %2, %3, '%4')")
                     .arg(++linea)
                     .arg(id)
                     .arg(ojo)
                     .arg(QLatin1String(fecha));
    };
    paciente(990001, 1, 0, 0, "600 11 12 22");
    paciente(990002, 1, 0, 0, "");
    paciente(990003, 1, 1, 0, "");
    paciente(990004, 2, 0, 0, "");
    paciente(990005, 1, 0, 1, "911222333");
    gafas(990001, 990001, {{2, "2030-05-01"}, {1, "2029-05-01"}, {3, "2031-05-01"}});
    gafas(990002, 990002, {{1, "2029-05-01"}, {2, "2029-05-01"}});
    gafas(990003, 990003, {{1, "2029-05-01"}, {2, "2029-05-01"}, {3, "2030-05-01"}});
    gafas(990004, 990004, {{1, "2029-05-01"}, {2, "2029-05-01"}, {3, "2030-05-01"}});
    f << "INSERT INTO MAUDIFONO (ID_MAUDIFONO, ID_PACIENTE) VALUES (990005, 990005)";
    f << "INSERT INTO DAUDIFONO (ID_DAUDIFONO, ID_MAUDIFONO, OIDO, GARANTIA) VALUES (990005, "
         "990005, 1, '2032-02-01')";
    f << "INSERT INTO DAUDIFONO (ID_DAUDIFONO, ID_MAUDIFONO, OIDO, GARANTIA) VALUES (990006, "
         "990005, 2, '2032-02-01')";
    return f;
}

// The guarantee lines of each family as the listing sees them (a record's identical lines
// once), with the patient's code, for partition 1 and patients not deleted. `filtro`: a
// condition on the family's line, where {G} stands for its guarantee column.
QString lineas(const QString& filtro, const QStringList& familias) {
    struct F {
        const char* codigo;
        const char* texto;
        const char* garantia;
    };
    const F todas[] = {
        {"1",
         "SELECT DISTINCT 1 F, M.ID_MGRADUACION ID, D.OJO OJO, D.FECHA_GARANTIA G, P.CODIGO "
         "CODIGO FROM DGRADUACION D JOIN MGRADUACION M ON M.ID_MGRADUACION = D.ID_MGRADUACION",
         "D.FECHA_GARANTIA"},
        {"2",
         "SELECT DISTINCT 2 F, M.ID_MLENTILLA ID, D.OJO OJO, D.FECHA_GARANTIA G, P.CODIGO CODIGO "
         "FROM DLENTILLA D JOIN MLENTILLA M ON M.ID_MLENTILLA = D.ID_MLENTILLA",
         "D.FECHA_GARANTIA"},
        {"0",
         "SELECT DISTINCT 3 F, M.ID_MAUDIFONO ID, D.OIDO OJO, D.GARANTIA G, P.CODIGO CODIGO "
         "FROM DAUDIFONO D JOIN MAUDIFONO M ON M.ID_MAUDIFONO = D.ID_MAUDIFONO",
         "D.GARANTIA"},
    };
    QStringList partes;
    for (const F& f : todas) {
        if (!familias.isEmpty() && !familias.contains(QLatin1String(f.codigo))) continue;
        partes << QLatin1String(f.texto) +
                      QStringLiteral(" JOIN PACIENTE P ON P.ID_PACIENTE = M.ID_PACIENTE WHERE "
                                     "P.BORRADO = 0 AND P.LICENCIA = 1 ") +
                      QString(filtro).replace(QLatin1String("{G}"), QLatin1String(f.garantia));
    }
    return partes.join(QStringLiteral(" UNION ALL "));
}

class Garantias : public ::testing::Test {
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

    using Listado = ListadoJson<TdmGarantias>;
    static std::unique_ptr<Listado> listado(const QString& json) {
        return listadoJson<TdmGarantias>(json, 6, kConexion);
    }

    // The patient code of every complete record an independent query finds, sorted.
    static QList<int> esperados(const QString& sql) {
        QList<int> codigos;
        QSqlQuery q(base->db());
        q.setForwardOnly(true);
        EXPECT_TRUE(q.exec(sql)) << qPrintable(q.lastError().text()) << "\n" << qPrintable(sql);
        while (q.next())
            codigos.append(q.value(0).toInt());
        std::sort(codigos.begin(), codigos.end());
        return codigos;
    }
    static QList<int> codigos(const quill::MemTable& t, bool ordenar = true) {
        QList<int> c;
        for (int i = 0; i < t.recordCount(); ++i)
            c.append(t.valueAt(i, QStringLiteral("Codigo")).toInt());
        if (ordenar) std::sort(c.begin(), c.end());
        return c;
    }

    static inline tiendaprueba::Tienda* base = nullptr;
    static inline QString error;
};

// Complete records by the documented rules: spectacles with exactly three lines, lenses and
// hearing aids with two or more; with eyes ticked, spectacles with at least as many lines and
// the others with exactly as many, the highest eye being one of them.
QString completas(const QString& filtro, const QStringList& familias, const QList<int>& ojos) {
    QString regla = QStringLiteral("(L.F = 1 AND COUNT(*) = 3) OR (L.F <> 1 AND COUNT(*) >= 2)");
    if (!ojos.isEmpty()) {
        QStringList en;
        for (int o : ojos)
            en << QString::number(o);
        regla = QStringLiteral("((L.F = 1 AND COUNT(*) >= %1) OR (L.F <> 1 AND COUNT(*) = %1)) "
                               "AND MAX(L.OJO) IN (%2)")
                    .arg(ojos.size())
                    .arg(en.join(QLatin1Char(',')));
    }
    return QStringLiteral("SELECT L.CODIGO FROM (") + lineas(filtro, familias) +
           QStringLiteral(") L GROUP BY L.F, L.ID, L.CODIGO HAVING ") + regla;
}

TEST_F(Garantias, FichasCompletasContraConsultasIndependientes) {
    struct Caso {
        const char* nombre;
        const char* condiciones;
        QString filtro;
        QStringList familias;
        QList<int> ojos;
    };
    // clang-format off
    const Caso casos[] = {
        {"sin condiciones", "[]", "", {}, {}},
        {"solo audífonos",
         R"([{"Id": 3001, "Condicion1": "Audiometría", "Condicion1Ids": "0"}])", "", {"0"}, {}},
        {"gafas y lentillas del ojo derecho",
         R"([{"Id": 3001, "Condicion1": "Graduación; Contactología", "Condicion1Ids": "1;2"},
             {"Id": 3003, "Condicion1": "Derecho", "Condicion1Ids": "1"}])", "", {"1", "2"}, {1}},
        {"ambos ojos", R"([{"Id": 3003, "Condicion1": "Derecho; Izquierdo", "Condicion1Ids": "1;2"}])",
         "", {}, {1, 2}},
        {"acepta correo y garantía desde 2026 (en audífonos, su columna GARANTIA)",
         R"([{"Id": 3000, "Condicion1": "Si", "Condicion1Ids": "1"},
             {"Id": 3001, "Condicion1": "Contactología; Audiometría", "Condicion1Ids": "2;0"},
             {"Id": 3002, "Condicion": "Mayor que...", "Condicion1": "01/01/2026"}])",
         "AND P.CORREO = 1 AND CAST({G} AS DATE) != '1899-12-30' AND CAST({G} AS DATE) > '2026-01-01'",
         {"2", "0"}, {}},
        {"dos fechas de garantía",
         R"([{"Id": 3002, "Condicion": "Mayor que...", "Condicion1": "01/01/2025"},
             {"Id": 3002, "Condicion": "Menor que...", "Condicion1": "01/01/2028"}])",
         "AND CAST({G} AS DATE) > '2025-01-01' AND CAST({G} AS DATE) < '2028-01-01' "
         "AND CAST({G} AS DATE) != '1899-12-30'", {}, {}},
    };
    // clang-format on
    for (const Caso& c : casos) {
        const QList<int> esperado = esperados(completas(c.filtro, c.familias, c.ojos));
        auto l = listado(QString::fromUtf8(c.condiciones));
        const qint16 r = l->dm->GenerarSQL(3, 0, true);
        EXPECT_EQ(r, esperado.isEmpty() ? quill::kListadoSinRegistros : quill::kListadoCorrecto)
            << c.nombre << ": " << qPrintable(l->dm->ErrorSQL());
        EXPECT_EQ(codigos(*l->dm->memDatos), esperado) << c.nombre;
        // The count is the number of complete records.
        EXPECT_EQ(l->dm->GenerarSQLConteo(true), r) << c.nombre;
        EXPECT_EQ(l->dm->ContarPacientes(), double(esperado.size())) << c.nombre;
    }
    // The cases are not empty by accident: each family has complete and incomplete records.
    EXPECT_GT(esperados(completas("", {"0"}, {})).size(), 0);
    EXPECT_GT(esperados(completas("", {"2"}, {1})).size(), 0);
    EXPECT_GT(esperados(completas("", {"1"}, {})).size(), 0);
    EXPECT_LT(esperados(completas("", {"1"}, {})).size(),
              esperados("SELECT M.ID_MGRADUACION FROM MGRADUACION M JOIN PACIENTE P ON "
                        "P.ID_PACIENTE = M.ID_PACIENTE AND P.BORRADO = 0 AND P.LICENCIA = 1 "
                        "WHERE EXISTS (SELECT 1 FROM DGRADUACION D WHERE D.ID_MGRADUACION = "
                        "M.ID_MGRADUACION)")
                  .size());
}

TEST_F(Garantias, GafasConTresLineasSiConDosNo) {
    auto l = listado(QStringLiteral("[]"));
    ASSERT_EQ(l->dm->GenerarSQL(3, 0, true), quill::kListadoCorrecto)
        << qPrintable(l->dm->ErrorSQL());
    const quill::MemTable& t = *l->dm->memDatos;
    const QList<int> c = codigos(t);
    EXPECT_EQ(c.count(990001), 1) << "tres líneas";
    EXPECT_EQ(c.count(990002), 0) << "dos líneas";
    EXPECT_EQ(c.count(990003), 0) << "paciente borrado";
    EXPECT_EQ(c.count(990004), 0) << "otra partición";
    EXPECT_EQ(c.count(990005), 1) << "audífonos de ambos oídos";

    // The listed row: the patient's columns, the locality texts and the first line's
    // guarantee (ordered by code, a record's lines come by guarantee date).
    int fila = -1;
    for (int i = 0; i < t.recordCount(); ++i)
        if (t.valueAt(i, QStringLiteral("Codigo")).toInt() == 990001) fila = i;
    ASSERT_GE(fila, 0);
    auto v = [&](const char* campo) { return t.valueAt(fila, QLatin1String(campo)); };
    EXPECT_EQ(v("Apellidos").toString(), "GARANTIA 990001");
    EXPECT_EQ(v("NombreCompleto").toString(), "GARANTIA 990001, ANA");
    EXPECT_EQ(v("NombreEMail").toString(), "ANA GARANTIA 990001");
    EXPECT_EQ(v("Direccion").toString(), "C. MAYOR 990001");
    EXPECT_EQ(v("Garantia").toDate(), QDate(2029, 5, 1));
    quill::TLstUtil util(kConexion);
    const int localidad = v("IdLocalidad").toInt();
    EXPECT_EQ(v("CodigoPostal").toString(), util.CodigoPostal(localidad));
    EXPECT_EQ(v("Localidad").toString(), util.NombreLocalidad(localidad));
    EXPECT_EQ(v("Provincia").toString(), util.NombreProvincia(localidad));

    // One SMS row per listed record with a mobile number; 990005 has a landline.
    l->dm->TablaSMS();
    const quill::MemTable& sms = *l->dm->memSMS;
    int nuestros = 0;
    for (int i = 0; i < sms.recordCount(); ++i) {
        const QString nombre = sms.valueAt(i, QStringLiteral("Nombre")).toString();
        if (!nombre.startsWith(QLatin1String("GARANTIA 99000"))) continue;
        ++nuestros;
        EXPECT_EQ(nombre, "GARANTIA 990001, ANA");
        EXPECT_EQ(sms.valueAt(i, QStringLiteral("Telefono")).toString(), "600111222");
    }
    EXPECT_EQ(nuestros, 1);
    EXPECT_LE(sms.recordCount(), t.recordCount());
}

// However they are ordered, the same records are listed; the order shows in memDatos.
TEST_F(Garantias, TodosLosOrdenesListanLoMismo) {
    auto l = listado(QStringLiteral("[]"));
    ASSERT_EQ(l->dm->GenerarSQL(3, 0, true), quill::kListadoCorrecto);
    const QList<int> referencia = codigos(*l->dm->memDatos);
    ASSERT_FALSE(referencia.isEmpty());
    for (qint16 orden : {3, 18, 21, 26, 0})
        for (qint16 sentido : {0, 1}) {
            ASSERT_EQ(l->dm->GenerarSQL(orden, sentido, true), quill::kListadoCorrecto)
                << orden << " " << sentido << ": " << qPrintable(l->dm->ErrorSQL());
            const quill::MemTable& t = *l->dm->memDatos;
            EXPECT_EQ(codigos(t), referencia) << orden << " " << sentido;
            if (orden != 26 && orden != 3) continue;
            // Rows follow the order of their record's first line: the earliest (or, descending,
            // the latest) guarantee date, or the patient code.
            const QString campo =
                orden == 26 ? QStringLiteral("Garantia") : QStringLiteral("Codigo");
            for (int i = 1; i < t.recordCount(); ++i) {
                const QVariant a = t.valueAt(i - 1, campo);
                const QVariant b = t.valueAt(i, campo);
                const bool enOrden =
                    orden == 26
                        ? (sentido == 0 ? a.toDate() <= b.toDate() : a.toDate() >= b.toDate())
                        : (sentido == 0 ? a.toInt() <= b.toInt() : a.toInt() >= b.toInt());
                ASSERT_TRUE(enOrden) << orden << " " << sentido << " fila " << i;
            }
        }
}

TEST_F(Garantias, SinFichasCompletasYCondicionesRechazadas) {
    auto l = listado(QStringLiteral(
        R"([{"Id": 3002, "Condicion": "Mayor que...", "Condicion1": "01/01/2200"}])"));
    EXPECT_EQ(l->dm->GenerarSQL(3, 0, true), quill::kListadoSinRegistros);
    EXPECT_TRUE(l->dm->ErrorSQL().isEmpty()) << qPrintable(l->dm->ErrorSQL());
    EXPECT_EQ(l->dm->memDatos->recordCount(), 0);

    // Lines exist, but no record is complete: nothing is listed either.
    auto dos = listado(QStringLiteral(
        R"([{"Id": 3001, "Condicion1": "Graduación", "Condicion1Ids": "1"},
            {"Id": 3002, "Condicion": "...Entre...", "Condicion1": "01/05/2030",
             "Condicion2": "01/05/2030"}])"));
    EXPECT_EQ(dos->dm->GenerarSQL(3, 0, true), quill::kListadoSinRegistros);

    // Optometry has no guarantee lines: the run says why and touches nothing.
    auto optometria = listado(
        QStringLiteral(R"([{"Id": 3001, "Condicion1": "Optometría", "Condicion1Ids": "3"}])"));
    EXPECT_EQ(optometria->dm->GenerarSQL(3, 0, true), quill::kListadoErrorInterno);
    EXPECT_TRUE(optometria->dm->ErrorSQL().contains("tipos de ficha"))
        << qPrintable(optometria->dm->ErrorSQL());
    EXPECT_EQ(optometria->dm->memDatos->recordCount(), 0);
}

// `listado conteo` and `exportar` on a copy of the same shop: the count window's number and the
// export's column set, one row per complete record.
TEST_F(Garantias, ConteoYExportacionDelPrograma) {
    const QList<int> esperado = esperados(completas("", {"0"}, {}));
    ASSERT_FALSE(esperado.isEmpty());
    tiendaprueba::Tienda copia;
    ASSERT_TRUE(copia
                    .crear(QStringLiteral("db_garantias_copia"), filasPropias(),
                           tiendaprueba::plantillaGenerada)
                    .isEmpty());
    copia.cerrar();
    auto dir = quilltest::scratch();
    const QString cond = dir->filePath(QStringLiteral("c.json"));
    QFile f(cond);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"([{"Id": 3001, "Condicion1": "Audiometría", "Condicion1Ids": "0"}])");
    f.close();
    auto ejecutar = [](const QStringList& args) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int estado = quill::cli::EjecutarListado(args, o, e);
        o.flush();
        e.flush();
        return std::tuple<int, QString, QString>{estado, out, err};
    };
    const QStringList comun = {"--db",          copia.ruta(), "--tipo",      "garantias",
                               "--condiciones", cond,         "--particion", "1"};
    const auto [estado, out, err] = ejecutar(QStringList{"conteo"} + comun);
    EXPECT_EQ(estado, 0) << qPrintable(err);
    EXPECT_EQ(out, quill::cli::TextoConteo(esperado.size()) + "\n");

    const QString txt = dir->filePath(QStringLiteral("g.txt"));
    const auto [estadoE, outE, errE] = ejecutar(QStringList{"exportar"} + comun +
                                                QStringList{"--formato", "txt", "--fichero", txt});
    EXPECT_EQ(estadoE, 0) << qPrintable(errE);
    QFile leido(txt);
    ASSERT_TRUE(leido.open(QIODevice::ReadOnly));
    const QStringList filas =
        QString::fromUtf8(leido.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(filas.size(), esperado.size() + 1);
    EXPECT_EQ(filas.first().trimmed(),
              "Codigo;Apellidos;Nombre;Direccion;Cod. Postal;Localidad;Provincia;N.I.F;Teléfono;"
              "Tfno. Móvil;E-Mail;F. Garantía");
    bool nuestro = false;
    for (const QString& fila : filas)
        nuestro = nuestro || fila.startsWith(QLatin1String("990005;GARANTIA 990005;ANA;"));
    EXPECT_TRUE(nuestro);
}

} // namespace
