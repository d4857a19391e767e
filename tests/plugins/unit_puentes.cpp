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

// The bridge's reason: containing `esperado`, or none when `esperado` is empty.
void comprobarError(const QString& error, const char* esperado) {
    EXPECT_TRUE(*esperado ? error.contains(QString::fromUtf8(esperado)) : error.isEmpty())
        << error.toStdString();
}

TEST(PuenteArticulo, RespondeSegunLaLibreria) {
    const struct {
        const char* variante; // stand-in installed as fltCampoArticulo; null: none
        qint16 respuesta;
        const char* error; // part of Error(); empty when there is none
        int llamadas;      // calls that reached the picker's _Cargar_Dll
    } casos[] = {
        {nullptr, -11800, "No se encuentra la librería", 0},
        {"sinliberar", -11801, "'_Liberar_Dll'", 0},
        {"cancela", -2800, "No se han seleccionado artículos", 1},
        {"acepta", 0, "", 1},
        {"rara", -2800, "ha respondido 7", 1},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.variante ? caso.variante : "sin librería");
        puentes::CarpetaPrograma carpeta;
        QString ruta;
        if (caso.variante) {
            ruta = carpeta.instalarPrueba(QString::fromLatin1(caso.variante),
                                          QStringLiteral("fltCampoArticulo"));
            ASSERT_FALSE(ruta.isEmpty());
        }
        puentes::Bloque bloque;
        bloque.puesto.CarpetaPrograma = carpeta.ruta();
        quill::MemTable tabla(QStringLiteral("memArticulos1"));
        pickers::DefinirCamposSeleccion(tabla);
        tabla.open();
        tabla.appendRecord({501, {}, {}, {}, QStringLiteral("RB")});
        {
            TFltArticulo puente(nullptr, QString(), QString());
            const qint16 r = puente.BuscarArticulos(bloque.datos(), &tabla, 2);
            EXPECT_EQ(r, caso.respuesta);
            comprobarError(puente.Error(), caso.error);
            // Only an accepted selection shows in the condition row.
            EXPECT_EQ(TFltArticulo::TextoCondicion1(r, &tabla),
                      r == TFltArticulo::Correcto ? QStringLiteral("[Artículos Seleccionados]")
                                                  : QString());
            if (!ruta.isEmpty()) {
                EXPECT_EQ(contador(ruta, "PruebaLlamadas"), caso.llamadas);
                EXPECT_EQ(contador(ruta, "PruebaLiberaciones"), 0);
            }
        }
        // The bridge lets a picker it loaded free what it keeps.
        if (caso.llamadas > 0) {
            EXPECT_EQ(contador(ruta, "PruebaLiberaciones"), 1);
        }
    }
}

TEST(PuentePaciente, RespondeSegunLaLibreria) {
    const struct {
        const char* variante; // stand-in installed as bcrPaciente; null: none
        int respuesta;
        const char* error;
    } casos[] = {
        {nullptr, -11800, "No se encuentra la librería"},
        {"sincargar", -11801, "'_Cargar_Dll'"},
        {"paciente", 42, ""},
        {"pacientefalla", 0, "No se ha podido abrir"},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.variante ? caso.variante : "sin librería");
        puentes::CarpetaPrograma carpeta;
        if (caso.variante) {
            ASSERT_FALSE(carpeta
                             .instalarPrueba(QString::fromLatin1(caso.variante),
                                             QStringLiteral("bcrPaciente"))
                             .isEmpty());
        }
        puentes::Bloque bloque;
        bloque.puesto.CarpetaPrograma = carpeta.ruta();
        TBuscarPaciente puente(nullptr, QString(), QString());
        EXPECT_EQ(puente.Buscar(bloque.datos()), caso.respuesta);
        comprobarError(puente.Error(), caso.error);
    }
}

} // namespace
