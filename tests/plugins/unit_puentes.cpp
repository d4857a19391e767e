// The picker bridges' answers: missing libraries and entry points, the pickers' own answers, and
// what the condition row shows afterwards. The pickers here are stand-ins with fixed answers.

#include "listing/tbuscarpaciente.h"
#include "listing/tfltarticulo.h"
#include "puentes.h"
#include "tfrmseleccionarticulos.h"

#include "platform/memtable.h"

#include <QLibrary>

#include <gtest/gtest.h>

namespace {

// Reads a stand-in's call counters from its copy in a program folder.
int contador(const QString& ruta, const char* funcion) {
    QLibrary lib(ruta);
    auto f = reinterpret_cast<int (*)()>(lib.resolve(funcion));
    return f ? f() : -1;
}

// A selection table whose current row has a Condicion1.
std::unique_ptr<quill::MemTable> seleccionConArticulo(const QString& condicion1) {
    auto t = std::make_unique<quill::MemTable>(QStringLiteral("memArticulos1"));
    pickers::DefinirCamposSeleccion(*t);
    t->open();
    t->append();
    t->setValue(QStringLiteral("Id"), 501);
    t->setValue(QStringLiteral("Condicion1"), condicion1);
    t->post();
    return t;
}

// The bridge's reason: containing `esperado`, or none when `esperado` is empty.
void comprobarError(const QString& error, const char* esperado) {
    if (*esperado) {
        EXPECT_TRUE(error.contains(QString::fromUtf8(esperado))) << error.toStdString();
    } else {
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    }
}

struct CasoArticulo {
    const char* nombre;
    const char* variante; // stand-in installed as fltCampoArticulo; null: none
    qint16 respuesta;
    const char* error; // part of Error(); empty when there is none
    int llamadas;      // calls that reached the picker's _Cargar_Dll
};

void PrintTo(const CasoArticulo& c, std::ostream* os) {
    *os << c.nombre;
}

class PuenteArticulo : public ::testing::TestWithParam<CasoArticulo> {};

TEST_P(PuenteArticulo, RespondeSegunLaLibreria) {
    const CasoArticulo& caso = GetParam();
    puentes::CarpetaPrograma carpeta;
    QString ruta;
    if (caso.variante) {
        ruta = carpeta.instalarPrueba(QString::fromLatin1(caso.variante),
                                      QStringLiteral("fltCampoArticulo"));
        ASSERT_FALSE(ruta.isEmpty());
    }
    puentes::Bloque bloque;
    bloque.puesto.CarpetaPrograma = carpeta.ruta();
    auto tabla = seleccionConArticulo(QStringLiteral("RB"));
    {
        TFltArticulo puente(nullptr, QString(), QString());
        const qint16 r = puente.BuscarArticulos(bloque.datos(), tabla.get(), 2);
        EXPECT_EQ(r, caso.respuesta);
        comprobarError(puente.Error(), caso.error);
        // Only an accepted selection shows in the condition row.
        EXPECT_EQ(TFltArticulo::TextoCondicion1(r, tabla.get()),
                  r == TFltArticulo::Correcto ? QStringLiteral("[Artículos Seleccionados]")
                                              : QString());
        if (!ruta.isEmpty()) {
            EXPECT_EQ(contador(ruta, "PruebaLlamadas"), caso.llamadas);
            EXPECT_EQ(contador(ruta, "PruebaLiberaciones"), 0);
        }
    }
    // The bridge lets a picker it loaded free what it keeps.
    if (!ruta.isEmpty() && caso.llamadas > 0) {
        EXPECT_EQ(contador(ruta, "PruebaLiberaciones"), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Respuestas, PuenteArticulo,
    ::testing::Values(
        CasoArticulo{"SinLibreria", nullptr, -11800, "No se encuentra la librería", 0},
        CasoArticulo{"SinLiberarDll", "sinliberar", -11801, "'_Liberar_Dll'", 0},
        CasoArticulo{"SinCargarDll", "sincargar", -11801, "'_Cargar_Dll'", 0},
        CasoArticulo{"Cancela", "cancela", -2800, "No se han seleccionado artículos", 1},
        CasoArticulo{"Acepta", "acepta", 0, "", 1},
        CasoArticulo{"RespuestaDesconocida", "rara", -2800, "ha respondido 7", 1}),
    [](const auto& caso) { return std::string(caso.param.nombre); });

TEST(PuenteArticulo, TextoDeLaFilaDeCondicion) {
    const QString seleccion = QStringLiteral("[Artículos Seleccionados]");
    auto con = seleccionConArticulo(QStringLiteral("RB"));
    auto sinValor = seleccionConArticulo(QString());
    quill::MemTable sinCampo;
    sinCampo.addField(QStringLiteral("Id"), quill::FieldType::Float);
    sinCampo.open();
    sinCampo.appendRecord({1});

    EXPECT_EQ(TFltArticulo::TextoCondicion1(0, con.get()), seleccion);
    EXPECT_EQ(TFltArticulo::TextoCondicion1(0, sinValor.get()), QString());
    EXPECT_EQ(TFltArticulo::TextoCondicion1(0, &sinCampo), QString());
    EXPECT_EQ(TFltArticulo::TextoCondicion1(0, nullptr), QString());
    EXPECT_EQ(TFltArticulo::TextoCondicion1(TFltArticulo::Cancelado, con.get()), QString());
    // The current row decides, not the first one.
    con->append();
    con->setValue(QStringLiteral("Id"), 502);
    con->post();
    EXPECT_EQ(TFltArticulo::TextoCondicion1(0, con.get()), QString());
    con->first();
    EXPECT_EQ(TFltArticulo::TextoCondicion1(0, con.get()), seleccion);
}

struct CasoPaciente {
    const char* nombre;
    const char* variante;
    int respuesta;
    const char* error;
};

void PrintTo(const CasoPaciente& c, std::ostream* os) {
    *os << c.nombre;
}

class PuentePaciente : public ::testing::TestWithParam<CasoPaciente> {};

TEST_P(PuentePaciente, RespondeSegunLaLibreria) {
    const CasoPaciente& caso = GetParam();
    puentes::CarpetaPrograma carpeta;
    if (caso.variante) {
        ASSERT_FALSE(
            carpeta
                .instalarPrueba(QString::fromLatin1(caso.variante), QStringLiteral("bcrPaciente"))
                .isEmpty());
    }
    puentes::Bloque bloque;
    bloque.puesto.CarpetaPrograma = carpeta.ruta();
    TBuscarPaciente puente(nullptr, QString(), QString());
    EXPECT_EQ(puente.Buscar(bloque.datos()), caso.respuesta);
    comprobarError(puente.Error(), caso.error);
}

INSTANTIATE_TEST_SUITE_P(
    Respuestas, PuentePaciente,
    ::testing::Values(CasoPaciente{"SinLibreria", nullptr, -11800, "No se encuentra la librería"},
                      CasoPaciente{"SinCargarDll", "sincargar", -11801, "'_Cargar_Dll'"},
                      CasoPaciente{"Elige", "paciente", 42, ""},
                      CasoPaciente{"NoPuedeAbrirse", "pacientefalla", 0, "No se ha podido abrir"}),
    [](const auto& caso) { return std::string(caso.param.nombre); });

} // namespace
