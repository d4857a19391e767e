// Catalogue rows of the article conditions (the article picker's fields): what the patient took
// in his spectacle, contact-lens or hearing-aid records. Each field tests a column of the
// record's line table or of the article master, which the line reaches by its reference; the
// column depends on the product line, so every field has one row per line that has it,
// generated from the table of columns below.

#include "catalogo.h"

#include <array>

namespace quill {

namespace {

// A product line: its code (TipoListado), the record, its line table and the record's key.
struct Linea {
    qint16 codigo;
    const char* registro;
    const char* detalle;
    const char* clave;
};

constexpr std::array<Linea, 3> kLineas = {{
    {2, "MGRADUACION", "DGRADUACION", "ID_MGRADUACION"},
    {3, "MLENTILLA", "DLENTILLA", "ID_MLENTILLA"},
    {4, "MAUDIFONO", "DAUDIFONO", "ID_MAUDIFONO"},
}};

// The masters whose names the value lists of these fields show (same columns as the lists).
const MaestroDef kFamilias{
    QStringLiteral("FAMILIA"), QStringLiteral("ID_FAMILIA"), {QStringLiteral("DESCRIPCION")}};
const MaestroDef kIva{
    QStringLiteral("IVA"), QStringLiteral("ID_IVA"), {QStringLiteral("DESCRIPCION")}};
const MaestroDef kProveedores{
    QStringLiteral("PROVEEDOR"), QStringLiteral("ID_PROVEEDOR"), {QStringLiteral("NOMBRE")}};
// The articles keep the article-type master's key, whatever list the grid offered the names from.
const MaestroDef kTiposArticulo{
    QStringLiteral("TARTICULO"), QStringLiteral("ID_TARTICULO"), {QStringLiteral("DESCRIPCION")}};
const MaestroDef kTratamientos{QStringLiteral("TRATAMIENTO"),
                               QStringLiteral("ID_TRATAMIENTO"),
                               {QStringLiteral("DESCRIPCION")}};
const MaestroDef kMarcas{
    QStringLiteral("MARCA"), QStringLiteral("ID_MARCA"), {QStringLiteral("DESCRIPCION")}};
const MaestroDef kTiposLentilla{
    QStringLiteral("TLENTILLA"), QStringLiteral("ID_TLENTILLA"), {QStringLiteral("DESCRIPCION")}};

// One field: its builder and its column in each line (spectacles, lenses, hearing aids).
// "D." stands for the line's own table; null for a line without the field. Two or three columns
// separated by "|" are alternatives, each tested with the builder.
struct Campo {
    int id;
    Operador operador;
    std::array<const char*, 3> columnas;
    const MaestroDef* nombres = nullptr;
};

// clang-format off
const Campo kCampos[] = {
    {501, Operador::Texto, {"D.REFERENCIA", "D.REFERENCIA", "D.REFERENCIA"}},
    {502, Operador::Numero, {"ARTICULO.CODIGO_BARRAS", "ARTICULO.CODIGO_BARRAS", "ARTICULO.CODIGO_BARRAS"}},
    {503, Operador::Texto, {"ARTICULO.REFERENCIA_PROVEEDOR", "ARTICULO.REFERENCIA_PROVEEDOR", "ARTICULO.REFERENCIA_PROVEEDOR"}},
    {504, Operador::Texto, {"D.DESCRIPCION", "D.DESCRIPCION", "D.DESCRIPCION"}},
    {505, Operador::Lista, {"ARTICULO.ID_FAMILIA", "ARTICULO.ID_FAMILIA", "ARTICULO.ID_FAMILIA"}, &kFamilias},
    {506, Operador::Lista, {"ARTICULO.ID_IVA_COMPRA", "ARTICULO.ID_IVA_COMPRA", "ARTICULO.ID_IVA_COMPRA"}, &kIva},
    {507, Operador::Texto, {"D.MODELO", "ARTICULO.MODELO", "ARTICULO.MODELO"}},
    {508, Operador::Texto, {"ARTICULO.RADIO_1|ARTICULO.RADIO_2", "D.RADIO_1|D.RADIO_2", "D.RADIO_1|D.RADIO_2"}},
    {509, Operador::Texto, {"D.COLOR", "D.COLOR", "D.COLOR"}},
    {510, Operador::Texto, {"D.VARILLA", "ARTICULO.VARILLA", "ARTICULO.VARILLA"}},
    {511, Operador::Lista, {"ARTICULO.ID_PROVEEDOR", "ARTICULO.ID_PROVEEDOR", "ARTICULO.ID_PROVEEDOR"}, &kProveedores},
    {512, Operador::Lista, {"ARTICULO.ID_TARTICULO", "ARTICULO.ID_TARTICULO", "ARTICULO.ID_TARTICULO"}, &kTiposArticulo},
    {513, Operador::Numero, {"D.IMPORTE_M1", "D.IMPORTE_M1", "D.IMPORTE_M1"}},
    {514, Operador::Numero, {"D.DIAMETRO", "D.DIAMETRO", "D.DIAMETRO"}},
    {515, Operador::Numero, {"D.ESFERA", "D.ESFERA", "D.ESFERA"}},
    {516, Operador::Numero, {"D.CILINDRO", "ARTICULO.CILINDRO", "ARTICULO.CILINDRO"}},
    // The size of every line is the article's: the spectacle line's amount, compared with a
    // typed size such as "52-18", is refused by the database.
    {517, Operador::Texto, {"ARTICULO.TAMANO", "ARTICULO.TAMANO", "ARTICULO.TAMANO"}},
    {518, Operador::Lista, {"ARTICULO.ID_TRATAMIENTO_1|ARTICULO.ID_TRATAMIENTO_2|ARTICULO.ID_TRATAMIENTO_3",
                            "ARTICULO.ID_TRATAMIENTO_1|ARTICULO.ID_TRATAMIENTO_2|ARTICULO.ID_TRATAMIENTO_3",
                            "ARTICULO.ID_TRATAMIENTO_1|ARTICULO.ID_TRATAMIENTO_2|ARTICULO.ID_TRATAMIENTO_3"}, &kTratamientos},
    {519, Operador::Lista, {"ARTICULO.ID_MARCA", "ARTICULO.ID_MARCA", "ARTICULO.ID_MARCA"}, &kMarcas},
    {520, Operador::Lista, {"ARTICULO.ID_IVA_VENTA", "ARTICULO.ID_IVA_VENTA", "ARTICULO.ID_IVA_VENTA"}, &kIva},
    // The lens type lives on the lens line; hearing aids keep theirs in the article.
    {521, Operador::Lista, {nullptr, "D.ID_TLENTILLA", "ARTICULO.ID_TIPO"}, &kTiposLentilla},
    {522, Operador::Lista, {nullptr, nullptr, "ARTICULO.ID_MARCA"}, &kMarcas},
    // Glass types: the grid's ids are the master's keys already.
    {523, Operador::Lista, {"ARTICULO.ID_TIPO", nullptr, "ARTICULO.ID_TIPO"}},
};
// clang-format on

EntradaCatalogo filaDe(const Campo& campo, const Linea& linea, const QString& columnas) {
    const QString registro = QLatin1String(linea.registro);
    const QString detalle = QLatin1String(linea.detalle);
    const QString clave = QLatin1String(linea.clave);
    QStringList alternativas = columnas.split(QLatin1Char('|'));
    for (QString& c : alternativas)
        if (c.startsWith(QLatin1String("D."))) c = detalle + c.mid(1);
    const bool articulo = columnas.contains(QLatin1String("ARTICULO."));

    EntradaCatalogo e;
    e.id = campo.id;
    e.linea = linea.codigo;
    e.operador = campo.operador;
    e.delante = QStringLiteral("PACIENTE.ID_PACIENTE = ") + registro +
                QStringLiteral(".ID_PACIENTE AND ") + registro + QLatin1Char('.') + clave +
                QStringLiteral(" = ") + detalle + QLatin1Char('.') + clave +
                QStringLiteral(" AND ");
    if (articulo) {
        e.delante += detalle + QStringLiteral(".REFERENCIA = ARTICULO.REFERENCIA AND ");
        e.tablas << QStringLiteral("ARTICULO");
    }
    e.tablas << QStringLiteral("PACIENTE") << registro << detalle;
    if (campo.nombres) e.nombres = *campo.nombres;

    if (alternativas.size() > 1) {
        // Either column; treatments must all match the chosen ones except in spectacles, where
        // any of the three does.
        e.forma = Forma::Alternativas;
        for (const QString& c : std::as_const(alternativas))
            e.alternativas << Alternativa{c, campo.operador, 0};
        e.separador = campo.operador == Operador::Lista && linea.codigo != 2
                          ? QStringLiteral(" AND ")
                          : QStringLiteral(" Or ");
    } else {
        e.forma = campo.operador == Operador::Lista ? Forma::Lista : Forma::Unida;
        e.columna = alternativas.first();
    }
    return e;
}

} // namespace

QList<EntradaCatalogo> filasConsumo() {
    QList<EntradaCatalogo> filas;
    for (const Campo& campo : kCampos)
        for (std::size_t i = 0; i < kLineas.size(); ++i)
            if (campo.columnas[i])
                filas << filaDe(campo, kLineas[i], QLatin1String(campo.columnas[i]));
    return filas;
}

} // namespace quill
