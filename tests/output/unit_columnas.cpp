#include "exportfixture.h"

#include "platform/guard.h"

#include <functional>

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

const QStringList generalBase = {
    QStringLiteral("Codigo"),    QStringLiteral("Apellidos"),   QStringLiteral("Nombre"),
    QStringLiteral("Direccion"), QStringLiteral("Cod. Postal"), QStringLiteral("Localidad"),
    QStringLiteral("Provincia"), QStringLiteral("Teléfono"),    QStringLiteral("Tfno. Móvil"),
    QStringLiteral("N.I.F"),     QStringLiteral("E-Mail")};

struct GeneralCase {
    const char* name;
    QList<double> ids;
    QStringList extra; // optional captions expected after the base ones
};

class GeneralColumns : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralColumns, OptionalColumnsOnceEachInTableOrder) {
    MemTable t(QStringLiteral("memPacientes"));
    definirMemPacientes(t);
    const ExportColumnSet s = ConfigurarGridExpListGeneral(t, GetParam().ids);
    EXPECT_EQ(captions(s), generalBase + GetParam().extra);
    EXPECT_EQ(s.sortField, QStringLiteral("Apellidos"));
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, GeneralColumns,
    ::testing::Values(
        GeneralCase{"none", {}, {}}, GeneralCase{"unrelated", {3, 50, 16, 20, 1913}, {}},
        // Asked twice each, total bought first: still once each, birth date before the total.
        GeneralCase{"birthAndTotalTwice",
                    {19, 13, 3, 13, 19},
                    {QStringLiteral("Fecha Nacimiento"), QStringLiteral(" Total Comprado")}},
        GeneralCase{"allFour",
                    {19, 14, 15, 13},
                    {QStringLiteral("Fecha Nacimiento"), QStringLiteral("Fecha Ult. Visita"),
                     QStringLiteral("Fecha 1ª Visita"), QStringLiteral(" Total Comprado")}},
        GeneralCase{"firstVisitOnly", {14.0}, {QStringLiteral("Fecha 1ª Visita")}},
        // Ids are read from a float field: 13.5 is no condition id.
        GeneralCase{"notWhole", {13.5, 18.999}, {}}),
    [](const auto& tpi) { return std::string(tpi.param.name); });

TEST(GeneralColumns, BoundFields) {
    MemTable t(QStringLiteral("memPacientes"));
    definirMemPacientes(t);
    EXPECT_EQ(fields(ConfigurarGridExpListGeneral(t, {13, 14, 15, 19})),
              QStringList({"Codigo", "Apellidos", "Nombre", "Direccion", "CodigoPostal",
                           "Localidad", "Provincia", "Telefono", "Movil", "Nif", "EMail",
                           "FNacimiento", "FUltVisita", "FPriVisita", "TotalComprado"}));
}

// The General kind's last-visit set against the table its data module fills.
struct KindCase {
    const char* name;
    std::function<void(MemTable&)> definir;
    std::function<ExportColumnSet(const MemTable&)> configurar;
    QStringList captions;
    QString sortField;
};

class KindColumns : public ::testing::TestWithParam<KindCase> {};

TEST_P(KindColumns, CaptionsAndSort) {
    MemTable t(QString::fromLatin1(GetParam().name));
    GetParam().definir(t);
    const ExportColumnSet s = GetParam().configurar(t);
    EXPECT_EQ(captions(s), GetParam().captions);
    EXPECT_EQ(s.sortField, GetParam().sortField);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, KindColumns,
    ::testing::Values(
        KindCase{"GeneralUltimaVisita",
                 [](MemTable& mt) { definirMemPacientesFecha(mt); },
                 ConfigurarGridExpListGeneralUltimaVisita,
                 {"Codigo", "Nombre", "Apellidos", "Direccion", "Telefono", "Tfno. Móvil",
                  "Codigo Postal", "Localidad", "Provincia", "Correo Electrónico", "N.I.F",
                  "Fecha"},
                 "Apellidos"}),
    [](const auto& tpi) { return std::string(tpi.param.name); });

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
