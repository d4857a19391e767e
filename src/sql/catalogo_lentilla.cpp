// Catalogue rows of the contact-lens fittings: the record (MLENTILLA), its lenses (DLENTILLA) and
// its notes (LOBSERVACIONES); and the two lens-replacement fields of the replacements listing,
// whose data module brings the lens tables itself.

#include "catalogo_formas.h"

namespace quill {

using namespace formas;

namespace {

QString l(const char* columna) {
    return QStringLiteral("MLENTILLA.") + QLatin1String(columna);
}

QString d(const char* columna) {
    return QStringLiteral("DLENTILLA.") + QLatin1String(columna);
}

EntradaCatalogo ambosOjos(int id, const Registro& r, const char* medida, int derecho,
                          int izquierdo) {
    const QString m = QLatin1String(medida);
    return par(id, r, {l("OD_") + m, Operador::Numero, derecho},
               {l("OI_") + m, Operador::Numero, izquierdo}, QStringLiteral(" OR "));
}

EntradaCatalogo ambosOjosTexto(int id, const Registro& r, const char* medida) {
    const auto mayusculas = [](const QString& columna) {
        return QStringLiteral("UPPER(") + columna + QLatin1Char(')');
    };
    const QString m = QLatin1String(medida);
    return par(id, r, {mayusculas(l("OD_") + m), Operador::Texto},
               {mayusculas(l("OI_") + m), Operador::Texto}, QStringLiteral(" OR "));
}

} // namespace

QList<EntradaCatalogo> filasLentillas() {
    const QString m = QStringLiteral("MLENTILLA");
    const Registro L{QStringLiteral(" PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND "), {m}};
    const Registro LD{QStringLiteral("PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND "
                                     "MLENTILLA.ID_MLENTILLA = DLENTILLA.ID_MLENTILLA AND "),
                      {m, QStringLiteral("DLENTILLA")}};
    const Registro LO{QStringLiteral("PACIENTE.ID_PACIENTE = MLENTILLA.ID_PACIENTE AND "
                                     "MLENTILLA.ID_MLENTILLA = LOBSERVACIONES.ID_MLENTILLA AND "),
                      {m, QStringLiteral("LOBSERVACIONES")}};

    // The lens type lives on the lens lines; the list builder closes the parenthesis.
    EntradaCatalogo tipo;
    tipo.id = 136;
    tipo.forma = Forma::Lista;
    tipo.delante = LD.union_;
    tipo.columna = d("ID_TLENTILLA");
    tipo.operador = Operador::Lista;
    tipo.tablas = LD.tablas;

    // No entry: 109, 129, 134.
    return {
        numero(110, L, l("NUMERO_FICHA"), 0),
        fecha(111, L, l("FECHA")),
        fecha(112, L, l("FECHA_REVISION")),
        lista(113, L, l("ID_DOCTOR")),
        lista(114, L, l("ID_AGENTE")),
        lista(115, L, l("ID_TIENDA")),
        siNo(116, L, l("PROPIA_AJENA")),
        fecha(117, L, l("FECHA_CADUCIDAD")),
        fecha(118, L, l("FECHA_REPOSICION")),
        textoMayusculas(119, L, l("LIQUIDOS")),
        numero(120, L, l("OD_ABERTURA_PARPEBRAL"), 98),
        numero(121, L, l("OD_DIAMETRO_PUPILAR"), 98),
        numero(122, L, l("OD_DIAMETRO_IRIS"), 98),
        textoMayusculas(123, L, l("OD_RADIO_1")),
        numero(124, L, l("OD_ESFERA"), 98),
        numero(125, L, l("OD_DIAMETRO"), 98),
        numero(126, L, l("OD_ZONA_OPTICA"), 98),
        numero(127, L, l("OD_ADICION"), 98),
        numero(128, L, l("OD_AGUDEZA_VISUAL_CC"), 98),
        fecha(130, LD, d("FECHA_GARANTIA")),
        numero(131, L, l("OD_CILINDRO"), 98),
        numero(132, L, l("OD_EJE"), 400),
        textoMayusculas(133, L, l("OD_QUERATOMETRIA")),
        fecha(135, L, l("FECHA_LIMPIEZA")),
        tipo,
        texto(137, LD, d("DESCRIPCION")),
        numero(138, LD, d("IMPORTE_M1"), 0),
        textoMayusculas(139, L, l("OD_RADIO_2")),
        textoMayusculas(140, L, l("OI_RADIO_2")),
        // The left eye, as the field's caption says.
        numero(141, L, l("OI_ABERTURA_PARPEBRAL"), 98),
        numero(142, L, l("OI_DIAMETRO_PUPILAR"), 98),
        numero(143, L, l("OI_DIAMETRO_IRIS"), 98),
        textoMayusculas(144, L, l("OI_RADIO_1")),
        numero(145, L, l("OI_ESFERA"), 98),
        numero(146, L, l("OI_DIAMETRO"), 98),
        numero(147, L, l("OI_ZONA_OPTICA"), 98),
        numero(148, L, l("OI_ADICION"), 98),
        numero(2100, L, l("OI_AGUDEZA_VISUAL_CC"), 98),
        numero(2101, L, l("OI_CILINDRO"), 98),
        numero(2102, L, l("OI_EJE"), 400),
        textoMayusculas(2103, L, l("OI_QUERATOMETRIA")),
        memo(2104, LO, QStringLiteral("LOBSERVACIONES.OBSERVACIONES")),
        texto(2105, LD, d("LOTE")),
        ambosOjosTexto(2106, L, "RADIO_1"),
        ambosOjosTexto(2107, L, "RADIO_2"),
        ambosOjos(2108, L, "ESFERA", 98, 98),
        ambosOjos(2109, L, "CILINDRO", 98, 98),
        // The right-eye axis holds 400 when empty.
        ambosOjos(2110, L, "EJE", 400, 98),
        ambosOjos(2111, L, "DIAMETRO", 98, 98),
        ambosOjos(2112, L, "ZONA_OPTICA", 98, 98),
        ambosOjos(2113, L, "ADICION", 98, 98),
        ambosOjos(2114, L, "AGUDEZA_VISUAL_CC", 98, 98),
        ambosOjosTexto(2115, L, "QUERATOMETRIA"),
    };
}

QList<EntradaCatalogo> filasReposicionLentillas() {
    // No join: the replacements listing joins the lens record and its lines itself.
    const Registro sinUnion{QString(), {QStringLiteral("MLENTILLA")}};
    EntradaCatalogo tipo;
    tipo.id = 482;
    tipo.forma = Forma::Lista;
    tipo.delante = QStringLiteral(" ");
    tipo.columna = d("ID_TLENTILLA");
    tipo.operador = Operador::Lista;
    tipo.tablas = sinUnion.tablas;
    return {
        fecha(481, sinUnion, l("FECHA_REPOSICION")),
        tipo,
    };
}

} // namespace quill
