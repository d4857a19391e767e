// `listado imprimir`: the General reports written as PDF from the generated shop and read back
// with pdftotext (titles, captions, conditions, one line per patient, mobile without landline,
// company footer on and off, page numbers, one page per patient in the detail report) and
// what each print option adds or leaves out.

#include "comandos.h"
#include "tiendaprueba.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

QString textoPdf(const QString& fichero) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), fichero, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class Imprimir : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_tienda = std::make_unique<tiendaprueba::Tienda>();
        s_error =
            s_tienda->crear(QStringLiteral("gui_imprimir"), {}, tiendaprueba::plantillaGenerada);
        if (!s_error.isEmpty()) return;
        // A patient with three prescriptions in the cylinder range (three result rows), and one
        // of the others without landline.
        s_triple = s_tienda
                       ->valor(QStringLiteral("SELECT FIRST 1 G.ID_PACIENTE FROM MGRADUACION G "
                                              "JOIN PACIENTE P ON P.ID_PACIENTE = G.ID_PACIENTE "
                                              "WHERE P.LICENCIA = 1 AND P.BORRADO = 0 AND "
                                              "P.ID_PACIENTE <> 0 GROUP BY G.ID_PACIENTE "
                                              "HAVING COUNT(*) >= 3"))
                       .toInt();
        s_error = s_tienda->ejecutar(
            {QStringLiteral("UPDATE MGRADUACION SET OD_CILINDRO = -0.5 WHERE ID_PACIENTE = %1")
                 .arg(s_triple),
             QStringLiteral("UPDATE PACIENTE SET APELLIDOS = 'TRIPLE', NOMBRE = "
                            "'PACIENTE', NOMBRE_COMPLETO = 'TRIPLE, PACIENTE' WHERE "
                            "ID_PACIENTE = %1")
                 .arg(s_triple),
             QStringLiteral("UPDATE PACIENTE SET TELEFONO = '', TELEFONO_MOVIL = '699887766' "
                            "WHERE ID_PACIENTE IN (SELECT FIRST 1 G.ID_PACIENTE FROM "
                            "MGRADUACION G WHERE G.ID_PACIENTE <> %1 AND G.OD_CILINDRO BETWEEN "
                            "-1 AND -0.25)")
                 .arg(s_triple),
             QStringLiteral("INSERT INTO POBSERVACIONES (ID_POBSERVACIONES, ID_PACIENTE, "
                            "OBSERVACIONES) SELECT COALESCE(MAX(ID_POBSERVACIONES), 0) + 1, %1, "
                            "'Alérgico al níquel' FROM POBSERVACIONES")
                 .arg(s_triple),
             QStringLiteral("DELETE FROM EMPRESA"),
             QStringLiteral("INSERT INTO EMPRESA (ID_EMPRESA, NOMBRE, NIF, DIRECCION, "
                            "ID_LOCALIDAD, TELEFONO, FAX, E_MAIL) SELECT 1, 'ÓPTICA MIRAFLORES "
                            "S.L.', 'B12345678', 'Calle Mayor 1', MIN(ID_LOCALIDAD), "
                            "'911222333', '911222334', 'tienda@example.com' FROM LOCALIDAD")});
        s_deuda = s_tienda
                      ->valor(QStringLiteral(
                          "SELECT SUM(M.LIQUIDO_M1 - COALESCE((SELECT SUM(C.IMPORTE_M1) FROM "
                          "COBRO C WHERE C.ID_MVENTA = M.ID_MVENTA), 0)) FROM MVENTA M JOIN "
                          "PACIENTE P ON P.ID_PACIENTE = M.ID_PACIENTE WHERE P.BORRADO = 0 AND "
                          "P.ID_PACIENTE <> 0 AND P.LICENCIA = 1 AND M.TIPO_OPERACION = 2"))
                      .toDouble();
        s_distintos = s_tienda
                          ->valor(QStringLiteral(
                              "SELECT COUNT(DISTINCT P.ID_PACIENTE) FROM PACIENTE P JOIN "
                              "MGRADUACION G ON G.ID_PACIENTE = P.ID_PACIENTE WHERE P.LICENCIA "
                              "= 1 AND P.BORRADO = 0 AND P.ID_PACIENTE <> 0 AND G.OD_CILINDRO "
                              "BETWEEN -1 AND -0.25"))
                          .toInt();
        s_tienda->cerrar();
    }
    static void TearDownTestSuite() { s_tienda.reset(); }
    void SetUp() override {
        ASSERT_TRUE(s_error.isEmpty()) << qPrintable(s_error);
        ASSERT_GT(s_triple, 0);
        m_dir = quilltest::scratch();
    }

    // Runs `listado imprimir` with the conditions; the PDF's text, empty when it failed.
    QString imprimir(const char* json, const QStringList& mas, int* estado = nullptr,
                     QString* salidaTexto = nullptr, const char* tipo = "general") {
        const QString cond = m_dir->filePath(QStringLiteral("c.json"));
        QFile f(cond);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(json);
        f.close();
        const QString pdf = m_dir->filePath(QStringLiteral("informe.pdf"));
        QFile::remove(pdf);
        QString out, err;
        QTextStream o(&out), e(&err);
        const int r = quill::cli::EjecutarListado(
            QStringList{"imprimir", "--tipo", tipo, "--condiciones", cond, "--particion", "1",
                        "--db", s_tienda->ruta(), "--fichero", pdf} +
                mas,
            o, e);
        o.flush();
        e.flush();
        if (estado) *estado = r;
        if (salidaTexto) *salidaTexto = out + err;
        EXPECT_TRUE(r != 0 || QFile::exists(pdf)) << qPrintable(err);
        return r == 0 ? textoPdf(pdf) : QString();
    }

    static inline std::unique_ptr<tiendaprueba::Tienda> s_tienda;
    static inline QString s_error;
    static inline int s_triple = 0;
    static inline int s_distintos = 0;
    static inline double s_deuda = 0;
    std::unique_ptr<QTemporaryDir> m_dir;
};

const char* kCilindro =
    R"([{"Id": 82, "Condicion": "...Entre...", "Condicion1": "-1", "Condicion2": "-0,25"}])";

TEST_F(Imprimir, ResumidoConCondicionesPieYUnaLineaPorPaciente) {
    QString salida;
    int estado = -1;
    const QString t = imprimir(kCilindro, {"--orden", "18"}, &estado, &salida);
    ASSERT_EQ(estado, 0) << qPrintable(salida);
    for (const char* s :
         {"Listado de Pacientes General", "Resumido. Ordenador Por Apellidos", "Ficha",
          "Apellidos y Nombre", "Dirección", "Localidad", "Teléfono", "'-1' y '-0,25'", "699887766",
          "ÓPTICA MIRAFLORES S.L.", "B12345678", "Tfno: 911222333 / Fax: 911222334", "Página 1"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(s))) << s;
    EXPECT_EQ(t.count(QStringLiteral("TRIPLE, PACIENTE")), 1);
    // One line per patient: the lines that start with a code.
    const auto lineas = t.split(QLatin1Char('\n'));
    int filas = 0;
    static const QRegularExpression codigo(QStringLiteral("^\\s*\\d+\\s+\\p{Lu}"));
    for (const QString& l : lineas)
        filas += codigo.match(l).hasMatch() && !l.contains(QStringLiteral("Página"));
    EXPECT_EQ(filas, s_distintos);

    const QString sinEmpresa =
        imprimir(kCilindro, {"--orden", "18", "--sin-empresa", "--sin-condiciones"});
    EXPECT_FALSE(sinEmpresa.contains(QStringLiteral("MIRAFLORES")));
    EXPECT_FALSE(sinEmpresa.contains(QStringLiteral("'-0,25'")));
    EXPECT_TRUE(sinEmpresa.contains(QStringLiteral("Página 1")));
}

TEST_F(Imprimir, TodosLosPacientesNumeranSusPaginas) {
    QString salida;
    int estado = -1;
    const QString t = imprimir("[]", {}, &estado, &salida);
    ASSERT_EQ(estado, 0) << qPrintable(salida);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Páginas impresas: (\\d+)")).match(salida);
    ASSERT_TRUE(m.hasMatch()) << qPrintable(salida);
    const int paginas = m.captured(1).toInt();
    EXPECT_GT(paginas, 2);
    for (int p = 1; p <= paginas; ++p)
        EXPECT_EQ(t.count(QStringLiteral("Página %1\n").arg(p)) +
                      t.count(QStringLiteral("Página %1 ").arg(p)),
                  1)
            << p;
    // The captions head every page: in the title band on the first, the page header after.
    EXPECT_EQ(t.count(QStringLiteral("Apellidos y Nombre")), paginas);
}

TEST_F(Imprimir, DetalleUnaPaginaPorPaciente) {
    QString salida;
    int estado = -1;
    const QString t =
        imprimir(R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "TRIPLE"}])",
                 {"--informe", "detalle", "--observaciones"}, &estado, &salida);
    ASSERT_EQ(estado, 0) << qPrintable(salida);
    for (const char* s : {"Datos Personales", "Estadísticas", "Nº Ficha:", "Tfno / Móvil:",
                          "Fecha 1ª Visita:", "Ult. % Descuento:", "Observaciones",
                          "TRIPLE, PACIENTE", "Detalle. Ordenador Por Código"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(s))) << s;
    EXPECT_TRUE(salida.contains(QStringLiteral("Páginas impresas: 1"))) << qPrintable(salida);

    // An unknown report type is refused before anything runs.
    imprimir("[]", {"--informe", "mensual"}, &estado, &salida);
    EXPECT_EQ(estado, 1);
    EXPECT_TRUE(salida.contains(QStringLiteral("Informe desconocido"))) << qPrintable(salida);
}

// Each print option changes what it names and nothing else: title, page numbers, date, and the
// rows numbered from the first number given, in order, one number per printed patient.
TEST_F(Imprimir, OpcionesTituloPaginasFechaYNumeracion) {
    const QString hoy = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    static const QRegularExpression numerada(QStringLiteral("^\\s*(\\d+)\\s+\\d+\\s+\\p{Lu}"),
                                             QRegularExpression::MultilineOption);
    struct Caso {
        QStringList mas;
        bool titulo, paginas, fecha;
        int primero; // 0: no numbers
    };
    const Caso casos[] = {
        {{}, true, true, true, 0},
        {{"--sin-titulo"}, false, true, true, 0},
        {{"--sin-paginas"}, true, false, true, 0},
        {{"--sin-fecha"}, true, true, false, 0},
        {{"--numerar", "1"}, true, true, true, 1},
        {{"--numerar", "41", "--sin-titulo", "--sin-paginas", "--sin-fecha"},
         false,
         false,
         false,
         41},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(qPrintable(c.mas.join(QLatin1Char(' '))));
        QString salida;
        int estado = -1;
        const QString t = imprimir(kCilindro, c.mas, &estado, &salida);
        ASSERT_EQ(estado, 0) << qPrintable(salida);
        EXPECT_EQ(t.contains(QStringLiteral("Listado de Pacientes General")), c.titulo);
        EXPECT_TRUE(t.contains(QStringLiteral("Resumido. Ordenador Por Código")));
        EXPECT_EQ(t.contains(QStringLiteral("Página")), c.paginas);
        EXPECT_EQ(t.contains(hoy), c.fecha);
        EXPECT_TRUE(t.contains(QStringLiteral("MIRAFLORES")));
        QList<int> numeros;
        for (auto it = numerada.globalMatch(t); it.hasNext();)
            numeros.append(it.next().captured(1).toInt());
        if (c.primero == 0) {
            EXPECT_TRUE(numeros.isEmpty()) << numeros.size();
            continue;
        }
        ASSERT_EQ(numeros.size(), s_distintos);
        for (int i = 0; i < numeros.size(); ++i)
            EXPECT_EQ(numeros[i], c.primero + i) << i;
    }
}

// The notes print in the General detail only when asked; the replacements lose their supplier
// headers when ungrouped and then follow the replacement date, with the same rows.
TEST_F(Imprimir, OpcionesObservacionesYAgrupar) {
    const char* triple = R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "TRIPLE"}])";
    for (const bool con : {false, true}) {
        SCOPED_TRACE(con);
        QStringList mas = {"--informe", "detalle"};
        if (con) mas << "--observaciones";
        const QString t = imprimir(triple, mas);
        EXPECT_TRUE(t.contains(QStringLiteral("TRIPLE, PACIENTE")));
        EXPECT_EQ(t.contains(QStringLiteral("Observaciones")), con);
        EXPECT_EQ(t.contains(QStringLiteral("Alérgico al níquel")), con);
    }

    static const QRegularExpression fecha(QStringLiteral("(\\d\\d)/(\\d\\d)/(\\d{4})\\s*$"),
                                          QRegularExpression::MultilineOption);
    const auto fechas = [](const QString& t) {
        QStringList f;
        for (auto it = fecha.globalMatch(t); it.hasNext();) {
            const auto m = it.next();
            f.append(m.captured(3) + m.captured(2) + m.captured(1));
        }
        return f;
    };
    const QStringList base = {"--informe", "0", "--sin-fecha"};
    const QString agrupado = imprimir("[]", base, nullptr, nullptr, "reposiciones");
    const QString suelto =
        imprimir("[]", base + QStringList{"--sin-agrupar"}, nullptr, nullptr, "reposiciones");
    EXPECT_TRUE(agrupado.contains(QStringLiteral("Proveedor:")));
    EXPECT_FALSE(suelto.contains(QStringLiteral("Proveedor:")));
    const QStringList a = fechas(agrupado), s = fechas(suelto);
    ASSERT_GT(a.size(), 2);
    EXPECT_EQ(s.size(), a.size());
    EXPECT_NE(a, s) << "grouped by supplier, the dates do not run in order";
    QStringList ordenadas = a;
    ordenadas.sort();
    EXPECT_EQ(s, ordenadas);
}

// The pending orders: the footer's running total grows page by page to the summary's total,
// which is the debt the database sums; the detail lists each order under its patient.
TEST_F(Imprimir, EncargosSumaYSigueHastaLaSumaTotal) {
    const auto importe = [](const QString& texto) {
        QString t = texto;
        return t.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
    };
    for (const char* informe : {"resumido", "detalle"}) {
        SCOPED_TRACE(informe);
        QString salida;
        int estado = -1;
        const QString t = imprimir("[]", {"--informe", informe}, &estado, &salida, "encargos");
        ASSERT_EQ(estado, 0) << qPrintable(salida);
        EXPECT_TRUE(t.contains(QStringLiteral("Listado de Pacientes Con Encargos Pendientes")));
        EXPECT_TRUE(t.contains(QStringLiteral(". Moneda: €")));
        const QStringList paginas = t.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        ASSERT_FALSE(paginas.isEmpty());
        static const QRegularExpression sigue(
            QStringLiteral("Suma y Sigue\\.{5}\\s+([-\\d.,]+) €"));
        static const QRegularExpression total(QStringLiteral("Suma Total\\.{5}\\s+([-\\d.,]+) €"));
        double anterior = -1e18;
        for (const QString& p : paginas) {
            const auto m = sigue.match(p);
            if (!m.hasMatch()) continue; // the text after the last form feed
            const double v = importe(m.captured(1));
            EXPECT_GE(v, anterior);
            anterior = v;
        }
        const auto m = total.match(t);
        ASSERT_TRUE(m.hasMatch());
        EXPECT_NEAR(importe(m.captured(1)), s_deuda, 0.005);
        EXPECT_NEAR(anterior, s_deuda, 0.005) << "the last page's footer shows the whole sum";
        if (QLatin1String(informe) != QLatin1String("detalle")) continue;
        for (const char* c : {"Nº Talón", "Terminado", "Recogido", "Liquido", "Pendiente Recibir"})
            EXPECT_TRUE(t.contains(QString::fromUtf8(c))) << c;
    }
}

const char* kAudiometria =
    R"([{"Id": 463, "Condicion": "Igual a...", "Condicion1": "Audiometría"}])";

// The other kinds' reports: title, what sets each apart, and every page numbered.
TEST_F(Imprimir, LosDemasListados) {
    struct Caso {
        const char* tipo;
        const char* json;
        const char* informe;
        QStringList textos;
    };
    const Caso casos[] = {
        {"fechas",
         R"([{"Id": 15, "Condicion": "Mayor que...", "Condicion1": "01/01/2020"},
             {"Id": 434, "Condicion": "...Entre...", "Condicion1": "01/01/2015",
              "Condicion2": "31/12/2030"}])",
         "0",
         {"Listado de Pacientes Por Fechas", "F.Nacimiento",
          "Ult. Visita:", "Revisión:", "'01/01/2015' y '31/12/2030'"}},
        // The last-visit condition prints from the General's last-visit table.
        {"general",
         R"([{"Id": 56, "Condicion": "Mayor que...", "Condicion1": "01/01/2015"}])",
         "resumido",
         {"Listado de Pacientes General", "Apellidos y Nombre", "'01/01/2015'", "Getafe"}},
        {"garantias",
         "[]",
         "0",
         {"Ficha Completa", "Garantía", "F. Nac", "F. Garan.", "Nº de Fichas con Garantía:"}},
        {"reposiciones",
         "[]",
         "0",
         {"Listado de Reposiciones de Lentillas", "Proveedor:", "Tipo de Lentilla", "Radios",
          "Esfera", "Cilindro", "Diam."}},
        {"consumo",
         "[]",
         "resumido",
         {"Listado de Paciente Con Consumo Determinado", "Ed.", "Consumo", "Nº Op."}},
        {"consumo",
         "[]",
         "detalle",
         {"Líquido", "Nº Talón", "T. Operación", "% Dto", "Encargo Terminado"}},
        {"prescripciones",
         "[]",
         "0",
         {"Listado de Prescripciones Nacional", "LENTES CONVENCIONALES", "LENTES DE CONTACTO",
          "Esfera", "Lejos", "Intermedia", "Cerca", "Tipo de Lentilla"}},
        {"prescripciones",
         "[]",
         "1",
         {"Listado de Prescripciones al Colegio de Castilla La Mancha", "F. Entrega",
          "Prescripción Óptica:", "Prescripción Doctor:", "Nº Lote OD:", "OI:"}},
        {"prescripciones",
         kAudiometria,
         "0",
         {"Lsitado de Prescripciones de Audiometria", "Audífono", "Adaptación a", "F. Entrega",
          "Obs.:"}},
        {"prescripciones",
         kAudiometria,
         "1",
         {"Listado de Prescripciones de Audiometria - Formato Completo", "OD Umbral", "OI Aerea",
          "OD Osea", "Modelo OD:", "Nº Serie OI:", "Oído Derecho", "Oído Izquierdo", "8000"}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.tipo);
        QString salida;
        int estado = -1;
        const QString t = imprimir(c.json, {"--informe", c.informe}, &estado, &salida, c.tipo);
        ASSERT_EQ(estado, 0) << qPrintable(salida);
        for (const QString& s : c.textos)
            EXPECT_TRUE(t.contains(s)) << qPrintable(s);
        const int paginas = t.count(QLatin1Char('\f'));
        EXPECT_TRUE(t.contains(QStringLiteral("Página %1").arg(paginas)));
        EXPECT_FALSE(t.contains(QStringLiteral("ERROR")));
        // The sheets: one page per prescription.
        if (QLatin1String(c.tipo) == QLatin1String("prescripciones")) {
            EXPECT_EQ(t.count(QStringLiteral("Paciente:")), paginas);
        }
    }
}

} // namespace
