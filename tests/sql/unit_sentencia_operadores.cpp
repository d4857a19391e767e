// The operator builders: exact texts for every operator, and what each does with bad values.

#include "sql/lstsentpaciente.h"
#include "sql/valores.h"

#include <gtest/gtest.h>

using namespace quill;

namespace {

const char* const kIgual = "Igual a...";
const char* const kDistinto = "Distinto de...";
const char* const kMayor = "Mayor que...";
const char* const kMenor = "Menor que...";
const char* const kEntre = "...Entre...";
const char* const kVacio = "Vacío";
const char* const kNoVacio = "No Vacío";
const char* const kEmpieza = "Empieza por...";
const char* const kTermine = "Termine en...";
const char* const kContiene = "...Contiene...";

struct Caso {
    const char* operador;
    const char* c1;
    const char* c2;
    const char* esperado;
};

// A builder holding one condition; the list is owned by the fixture like the window owns it.
class SentenciaOperadores : public ::testing::Test {
protected:
    void poner(const char* op, const char* c1, const char* c2 = "", QStringList items = {}) {
        s.setCondicion(QString::fromUtf8(op));
        s.setCondicion1(QString::fromUtf8(c1));
        s.setCondicion2(QString::fromUtf8(c2));
        lista = std::move(items);
        s.setLista(&lista);
    }
    template <class F> void rechazado(F&& f, const std::string& what) {
        try {
            f();
            ADD_FAILURE() << "accepted: " << what;
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), fragmentErrorMessage()) << what;
        }
    }

    TLstSentPaciente s;
    QStringList lista;
};

const QString kNac = QStringLiteral("CAST(PACIENTE.FECHA_NACIMIENTO AS DATE)");

} // namespace

TEST_F(SentenciaOperadores, Fecha) {
    s.setHoy(QDate(2024, 3, 15));
    const std::string c = kNac.toStdString();
    const std::string g = c + " != '12/30/1899' AND " + c;
    const struct {
        const char* op;
        const char* c1;
        const char* c2;
        std::string esperado;
    } casos[] = {
        {kIgual, "31/12/2009", "", g + " = '12/31/2009'"},
        {kEntre, "1/2/2003", "15/03/2004", g + " BETWEEN '02/01/2003' AND '03/15/2004'"},
        // No second date: up to the empty date, which matches nothing.
        {kEntre, "1/2/2003", "", g + " BETWEEN '02/01/2003' AND '12/30/1899'"},
        {kVacio, "", "", ""},
        {kVacio, "1/1/2000", "", c + " = '12/30/1899'"},
        // Emptiness never reads the value.
        {kNoVacio, "no es fecha", "", c + " != '12/30/1899'"},
        {kIgual, "", "", ""},
        {kEmpieza, "1/1/2000", "", g},
    };
    for (const auto& k : casos) {
        poner(k.op, k.c1, k.c2);
        EXPECT_EQ(s.SentenciaFecha(kNac).toStdString(), k.esperado) << k.op << " " << k.c1;
    }
    for (const auto& k : {Caso{kIgual, "31/02/2000", "", ""},
                          Caso{kEntre, "1/1/2000", "1/1/2000' OR '1'='1", ""}}) {
        poner(k.operador, k.c1, k.c2);
        rechazado([&] { s.SentenciaFecha(kNac); }, std::string(k.c1) + " " + k.c2);
    }
}

TEST_F(SentenciaOperadores, FechaValor) {
    const Caso casos[] = {
        {kIgual, "31/12/2009", "", " = '12/31/2009'"},
        {kEntre, "1/1/2020", "31/1/2020", " BETWEEN '01/01/2020' AND '01/31/2020'"},
        {kVacio, "1/1/2020", "", " = '12/30/1899' "},
        {kContiene, "1/1/2020", "", ""},
    };
    for (const auto& k : casos) {
        poner(k.operador, k.c1, k.c2);
        EXPECT_EQ(s.SentenciaFechaValor().toStdString(), k.esperado) << k.operador;
    }
    // The value is always read, whatever the operator.
    for (const auto& k : {Caso{kVacio, "", "", ""}, Caso{kIgual, "31/02/2000", "", ""},
                          Caso{kEntre, "1/1/2020", "mañana", ""}}) {
        poner(k.operador, k.c1, k.c2);
        rechazado([&] { s.SentenciaFechaValor(); }, std::string(k.operador) + " " + k.c1);
    }
}

TEST_F(SentenciaOperadores, Texto) {
    const Caso casos[] = {
        {kIgual, "garcía", "", " = 'GARCÍA'"},
        {kEmpieza, "ma", "", "starting with 'MA'"},
        {kTermine, "ez", "", "like '%EZ'"},
        {kContiene, "ñu", "", "containing 'ÑU'"},
        {kEntre, "a", "m", " BETWEEN 'A' AND 'M'"},
        {kVacio, "", "", "  = ''"},
        {kNoVacio, "", "", " != ''"},
        {kMayor, "x", "", ""},
        // Quotes are doubled: the value stays one literal.
        {kIgual, "O'Brien", "", " = 'O''BRIEN'"},
    };
    for (const auto& k : casos) {
        poner(k.operador, k.c1, k.c2);
        EXPECT_EQ(s.SentenciaTexto(true).toStdString(), k.esperado) << k.operador << " " << k.c1;
    }
    poner(kIgual, "garcía");
    EXPECT_EQ(s.SentenciaTexto(false).toStdString(), " = 'garcía'");
    EXPECT_EQ(s.Condicion1().toStdString(), "garcía") << "the value itself is left as typed";
}

TEST_F(SentenciaOperadores, Memo) {
    const Caso casos[] = {
        {kIgual, "dolor", "", " like 'DOLOR__'"},
        {kEmpieza, "dolor", "", "starting with 'DOLOR'"},
        {kContiene, "dolor", "", "containing 'DOLOR'"},
        {kDistinto, "dolor", "", " not like 'DOLOR__'"},
        {kNoVacio, "", "", " not like ''"},
        {kVacio, "", "", " like ''"},
        {kEntre, "a", "b", ""},
    };
    for (const auto& k : casos) {
        poner(k.operador, k.c1, k.c2);
        EXPECT_EQ(s.SentenciaMemo().toStdString(), k.esperado) << k.operador;
    }
}

TEST_F(SentenciaOperadores, Numero) {
    const struct {
        const char* op;
        const char* c1;
        const char* c2;
        int centinela;
        const char* columna;
        const char* esperado;
    } casos[] = {
        {kMenor, "-1,5", "", 98, "MGRADUACION.OD_CILINDRO",
         " < -1.5 AND MGRADUACION.OD_CILINDRO != 98"},
        {kIgual, "3", "", 0, "PACIENTE.CODIGO", " = 3"},
        {kEntre, "1", "2", 98, "X", " BETWEEN 1 AND 2 AND X != 98"},
        {kVacio, "", "", 98, "MGRADUACION.OD_CILINDRO", " = 98"},
        {kNoVacio, "", "", 98, "MGRADUACION.OD_CILINDRO",
         " != 98 AND MGRADUACION.OD_CILINDRO != 98"},
        // A sentinel without a column adds no clause.
        {kMayor, "5", "", 98, "", " > 5"},
        // Emptiness never reads the value.
        {kVacio, "1 OR 1=1", "", 98, "X", " = 98"},
        {kContiene, "5", "", 98, "X", ""},
    };
    for (const auto& k : casos) {
        poner(k.op, k.c1, k.c2);
        EXPECT_EQ(s.SentenciaNumero(k.centinela, QString::fromUtf8(k.columna)).toStdString(),
                  k.esperado)
            << k.op << " " << k.c1;
    }

    // The decimal commas are written back, both values.
    poner(kEntre, "1,5", "2,5");
    s.SentenciaNumero(0, QString());
    EXPECT_EQ(s.Condicion1().toStdString(), "1.5");
    EXPECT_EQ(s.Condicion2().toStdString(), "2.5");

    // Two commas give two points, which is no number.
    poner(kIgual, "1,2,3");
    rechazado([&] { s.SentenciaNumero(0, QString()); }, "1,2,3");
    EXPECT_EQ(s.Condicion1().toStdString(), "1.2.3");

    for (const auto& k :
         {Caso{kIgual, "1) OR (PACIENTE.LICENCIA <> 0", "", ""}, Caso{kMayor, "", "", ""},
          Caso{kEntre, "1", "", ""}, Caso{kEntre, "1", "2 OR 1=1", ""}}) {
        poner(k.operador, k.c1, k.c2);
        rechazado([&] { s.SentenciaNumero(98, QStringLiteral("X")); },
                  std::string(k.operador) + " " + k.c1 + " " + k.c2);
    }
}

TEST_F(SentenciaOperadores, Lista) {
    const QString col = QStringLiteral("PACIENTE.SEXO");
    const struct {
        const char* op;
        QStringList items;
        const char* esperado;
    } casos[] = {
        {kIgual, {"1", "2"}, " = 1 Or PACIENTE.SEXO = 2)"},
        {kDistinto, {"1", "2", "3"}, " != 1 And PACIENTE.SEXO != 2 And PACIENTE.SEXO != 3)"},
        {kNoVacio, {}, " != -1 AND PACIENTE.SEXO != 0 )"},
        {kVacio, {}, " = -1 Or PACIENTE.SEXO = 0 )"},
        {kIgual, {}, ")"},
        {kMayor, {"1"}, ")"},
    };
    for (const auto& k : casos) {
        poner(k.op, "", "", k.items);
        EXPECT_EQ(s.SentenciaLista(col).toStdString(), k.esperado) << k.op << " " << k.items.size();
    }
    s.setLista(nullptr);
    s.setCondicion(QString::fromUtf8(kIgual));
    EXPECT_EQ(s.SentenciaLista(col).toStdString(), ")");

    for (const QStringList& items :
         {QStringList{"1", "1.5"}, QStringList{""}, QStringList{"2) OR (1=1"}}) {
        poner(kIgual, "", "", items);
        rechazado([&] { s.SentenciaLista(col); }, items.join(';').toStdString());
    }
}

TEST_F(SentenciaOperadores, In) {
    const struct {
        const char* op;
        QStringList items;
        const char* esperado;
    } casos[] = {
        {kIgual, {"12", "15", "40"}, "In (12,15,40)"},
        {kDistinto, {"12", "15", "40"}, "Not In (12,15,40)"},
        {kVacio, {}, "In (-1, 0)"},
        {kIgual, {}, "In ()"},
    };
    for (const auto& k : casos) {
        poner(k.op, "", "", k.items);
        EXPECT_EQ(s.SentenciaIn().toStdString(), k.esperado) << k.op << " " << k.items.size();
    }
    poner(kIgual, "", "", {"12", "15) OR (1=1"});
    rechazado([&] { s.SentenciaIn(); }, "hostile id");
}
