// The kind registry as the window and `listado` read it: names and codes, which actions each
// kind has, what its print options offer, and which kinds can run today.

#include "actions/ejecutor.h"
#include "actions/registro.h"
#include "platform/guard.h"

#include <gtest/gtest.h>

using namespace quill;

namespace {

struct Esperado {
    const char* nombre;
    const char* acciones; // I print, E labels, X export and SMS file, C count, M e-mail, S SMS
    bool todasOCualquiera;
    QStringList ordenes;
};

// clang-format off
const Esperado kEsperados[] = {
    {"general", "IEXCMS", true, {"Código", "Apellidos", "Direccion"}},
    {"consumo", "IEXCMS", true, {"Código", "Apellidos", "Direccion", "Consumo"}},
    {"encargos", "IEXCMS", true, {"Código", "Apellidos", "Direccion"}},
    {"fechas", "IEXCMS", true, {"Código", "Apellidos", "Direccion", "Fecha Nacimiento",
                                "Fecha 1ª Visita", "Fecha Ult. Visita"}},
    {"prescripciones", "I", true, {}},
    {"reposiciones", "IEXCS", true, {"Código", "Apellidos", "Direccion"}},
    {"garantias", "IEXCMS", false, {"Código", "Apellidos", "Direccion", "F. Garantía"}},
};
// clang-format on

TEST(Registro, EveryKindAsTheWindowAndListadoReadIt) {
    ASSERT_EQ(Listados().size(), 7);
    const std::pair<char, qint16> letras[] = {{'I', accion::Imprimir}, {'E', accion::Etiqueta},
                                              {'X', accion::Exportar}, {'X', accion::FicheroSMS},
                                              {'C', accion::Conteo},   {'M', accion::Correo},
                                              {'S', accion::SMS}};
    for (qint16 codigo = 0; codigo < 7; ++codigo) {
        const Esperado& e = kEsperados[codigo];
        SCOPED_TRACE(e.nombre);
        const DescriptorListado& d = *Listado(codigo);
        EXPECT_EQ(d.codigo, codigo);
        EXPECT_EQ(CodigoListado(QString::fromLatin1(e.nombre)), codigo);
        EXPECT_EQ(CodigoListado(QString::number(codigo)), codigo);
        for (const auto& [letra, accion] : letras)
            EXPECT_EQ(d.Admite(accion), QByteArray(e.acciones).contains(letra)) << letra;
        EXPECT_EQ(d.todasOCualquiera, e.todasOCualquiera);
        QStringList ordenes;
        for (qint16 o : d.ordenes)
            ordenes << NombreOrden(o);
        EXPECT_EQ(ordenes, e.ordenes);
        // Every report type prints a report of its own; the prescription sheets choose theirs
        // when printed.
        const qsizetype informes = codigo == 4 ? 0 : std::max<qsizetype>(1, d.tiposInforme.size());
        EXPECT_EQ(d.informes.size(), informes);
    }
    for (const char* nada : {"General", "garantías", "-1", "7", ""})
        EXPECT_EQ(CodigoListado(QString::fromUtf8(nada)), -1) << nada;
    EXPECT_EQ(Listado(7), nullptr);
    EXPECT_FALSE(Listado(0)->Admite(1)) << "1 is no action";

    // What the window and `listado` say before running an action that cannot run.
    const struct {
        qint16 tipo, accion;
        const char* motivo;
    } motivos[] = {
        {0, accion::Conteo, ""},
        {0, accion::FicheroSMS, ""},
        {0, accion::Imprimir, ""},
        {4, accion::Imprimir, ""},
        {6, accion::SMS, ""},
        {3, accion::Etiqueta, ""},
        {4, accion::Etiqueta,
         "El listado «Prescripciones al CNOO» no tiene la acción «Etiqueta»."},
        {4, accion::Conteo, "El listado «Prescripciones al CNOO» no tiene la acción «Conteo»."},
        {5, accion::Correo, "El listado «Reposiciones» no tiene la acción «Correo Electrónico»."},
    };
    for (const auto& m : motivos)
        EXPECT_EQ(MotivoAccionNoDisponible(*Listado(m.tipo), m.accion),
                  QString::fromUtf8(m.motivo));
    // An output a kind has not got yet is named as such, never as a failure.
    DescriptorListado sinEtiquetas = *Listado(0);
    sinEtiquetas.etiquetas = nullptr;
    EXPECT_EQ(MotivoAccionNoDisponible(sinEtiquetas, accion::Etiqueta),
              QStringLiteral("La acción «Etiqueta» todavía no está disponible para el listado "
                             "«General»."));
}

// A kind without a data module answers like a failed run, never crashes.
TEST(Registro, AKindWithoutItsDataModuleAnswersTheInternalError) {
    DescriptorListado sinModulo = *Listado(3);
    sinModulo.crearModulo = nullptr;
    EXPECT_FALSE(MotivoAccionNoDisponible(sinModulo, accion::Exportar).isEmpty());
    EjecutorListado e(sinModulo);
    EXPECT_EQ(e.Modulo(), nullptr);
    EXPECT_EQ(e.Ejecutar(0, 0, true), kListadoErrorInterno);
    EXPECT_EQ(e.EjecutarConteo(true), kListadoErrorInterno);
    EXPECT_THROW(e.Sentencias(0, 0, true), Error);
    EXPECT_EQ(e.Exportar(0, QStringLiteral("/tmp/no-se-escribe.xlsx"), false, {}),
              MensajeErrorInterno());
}

} // namespace
