#include "exportfixture.h"

#include "platform/guard.h"

using namespace quill;

namespace {

QStringList captions(const ExportColumnSet& s) {
    QStringList out;
    for (const ColumnSpec& c : s.columns)
        out << c.caption;
    return out;
}

QStringList fields(const ExportColumnSet& s) {
    QStringList out;
    for (const ColumnSpec& c : s.columns)
        out << c.field;
    return out;
}

TEST(GeneralColumns, OptionalColumnsOnceEachInTableOrder) {
    const QStringList base = {"Codigo",    "Apellidos", "Nombre",         "Direccion",
                              "Cod. Postal", "Localidad", "Provincia",    "Teléfono",
                              "Tfno. Móvil", "N.I.F",     "E-Mail"};
    const struct {
        QList<double> ids;
        QStringList extra; // optional captions expected after the base ones
    } cases[] = {
        {{3, 50, 16, 20, 1913}, {}},
        // Asked twice each, total bought first: still once each, birth date before the total.
        {{19, 13, 3, 13, 19}, {"Fecha Nacimiento", " Total Comprado"}},
        {{19, 14, 15, 13},
         {"Fecha Nacimiento", "Fecha Ult. Visita", "Fecha 1ª Visita", " Total Comprado"}},
        // Ids are read from a float field: 13.5 is no condition id.
        {{13.5, 18.999}, {}},
    };
    MemTable t(QStringLiteral("memPacientes"));
    definirMemPacientes(t);
    for (const auto& c : cases) {
        const ExportColumnSet s = ConfigurarGridExpListGeneral(t, c.ids);
        EXPECT_EQ(captions(s), base + c.extra) << c.ids.size();
        EXPECT_EQ(s.sortField, QStringLiteral("Apellidos"));
    }
    EXPECT_EQ(fields(ConfigurarGridExpListGeneral(t, {13, 14, 15, 19})),
              QStringList({"Codigo", "Apellidos", "Nombre", "Direccion", "CodigoPostal",
                           "Localidad", "Provincia", "Telefono", "Movil", "Nif", "EMail",
                           "FNacimiento", "FUltVisita", "FPriVisita", "TotalComprado"}));
}

// The last-visit set against the table its data module fills.
TEST(LastVisitColumns, CaptionsAndSort) {
    MemTable t(QStringLiteral("GeneralUltimaVisita"));
    definirMemPacientesFecha(t);
    const ExportColumnSet s = ConfigurarGridExpListGeneralUltimaVisita(t);
    EXPECT_EQ(captions(s), QStringList({"Codigo", "Nombre", "Apellidos", "Direccion", "Telefono",
                                        "Tfno. Móvil", "Codigo Postal", "Localidad", "Provincia",
                                        "Correo Electrónico", "N.I.F", "Fecha"}));
    EXPECT_EQ(s.sortField, QStringLiteral("Apellidos"));
}

TEST(MakeColumnSet, TableOrderFirstCaptionAndChecks) {
    MemTable t(QStringLiteral("memSMS"));
    definirMemSMS(t);
    const ExportColumnSet s = makeColumnSet(
        t, {{"Telefono", "Móvil"}, {"nombre", "Nombre"}, {"Telefono", "Otra"}}, "Nombre");
    EXPECT_EQ(captions(s), QStringList({"Nombre", "Móvil"}));
    EXPECT_EQ(fields(s), QStringList({"Nombre", "Telefono"})); // the table's spelling

    try {
        makeColumnSet(t, {{"Movil", "Móvil"}}, QString());
        ADD_FAILURE() << "an unknown field was accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("La tabla 'memSMS' no tiene el campo 'Movil'"));
    }
    EXPECT_THROW(makeColumnSet(t, {{"Nombre", "Nombre"}}, "Apellidos"), Error);
    // The General set over the last-visit table is a programming error, not a silent empty file.
    EXPECT_THROW(ConfigurarGridExpListGeneral(t, {}), Error);
}

} // namespace
