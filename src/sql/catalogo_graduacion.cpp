// Catalogue rows of the spectacle prescriptions: the record (MGRADUACION), its guarantee lines
// (DGRADUACION) and its notes (GOBSERVACIONES). A patient matches when any of his prescriptions
// does, so every fragment carries the join from PACIENTE.

#include "catalogo_formas.h"

namespace quill {

using namespace formas;

namespace {

QString g(const char* columna) {
    return QStringLiteral("MGRADUACION.") + QLatin1String(columna);
}

QString d(const char* columna) {
    return QStringLiteral("DGRADUACION.") + QLatin1String(columna);
}

// Either eye: the OD_ and OI_ columns of one measurement, each eye with its own empty value.
EntradaCatalogo ambosOjos(int id, const Registro& r, const char* medida, int derecho,
                          int izquierdo) {
    const QString m = QLatin1String(medida);
    return par(id, r, {g("OD_") + m, Operador::Numero, derecho},
               {g("OI_") + m, Operador::Numero, izquierdo}, QStringLiteral(" OR "));
}

// Either eye on a text column: only the right eye has always been compared upper-cased.
EntradaCatalogo ambosOjosTexto(int id, const Registro& r, const char* medida) {
    const QString m = QLatin1String(medida);
    return par(id, r, {QStringLiteral("UPPER(") + g("OD_") + m + QLatin1Char(')'), Operador::Texto},
               {g("OI_") + m, Operador::Texto}, QStringLiteral(" OR "));
}

} // namespace

QList<EntradaCatalogo> filasGraduaciones() {
    const QString m = QStringLiteral("MGRADUACION");
    const Registro G{QStringLiteral(" PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND "), {m}};
    const Registro GD{
        QStringLiteral("PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND "
                       "MGRADUACION.ID_MGRADUACION = DGRADUACION.ID_MGRADUACION AND "),
        {m, QStringLiteral("DGRADUACION")}};
    const Registro GO{QStringLiteral("PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND "
                                     "MGRADUACION.ID_MGRADUACION = GOBSERVACIONES.ID_MGRADUACION "
                                     "AND "),
                      {m, QStringLiteral("GOBSERVACIONES")}};

    // The prescription type lives on the lines: the join to them stays inside the parentheses
    // so that it holds for every chosen type.
    EntradaCatalogo tipo;
    tipo.id = 94;
    tipo.forma = Forma::Lista;
    tipo.delante = QStringLiteral("PACIENTE.ID_PACIENTE = MGRADUACION.ID_PACIENTE AND "
                                  "(MGRADUACION.ID_MGRADUACION = DGRADUACION.ID_MGRADUACION AND ");
    tipo.columna = d("TIPO_GRADUACION");
    tipo.operador = Operador::Lista;
    tipo.detras = QStringLiteral(")");
    tipo.tablas = GD.tablas;

    // No entry: 69, 91, 95, 2013.
    return {
        numero(70, G, g("NUMERO_FICHA"), 0),
        fecha(71, G, g("FECHA")),
        fecha(72, G, g("FECHA_REVISION")),
        lista(73, G, g("ID_DOCTOR")),
        lista(74, G, g("ID_AGENTE")),
        lista(75, G, g("ID_TIENDA")),
        siNo(76, G, g("PROPIA_AJENA")),
        numero(77, G, g("AGUDEZA_VISUAL"), 98),
        numero(78, G, g("OD_ADICION"), 98),
        numero(79, G, g("OD_ESFERA_CERCA"), 98),
        numero(80, G, g("OD_ESFERA_LEJOS"), 98),
        numero(81, G, g("OD_ESFERA_MEDIA"), 98),
        numero(82, G, g("OD_CILINDRO"), 98),
        numero(83, G, g("OD_EJE"), 400),
        texto(84, G, g("OD_PRISMA")),
        numero(85, G, g("OD_DISTANCIA_CERCA"), 98),
        numero(86, G, g("OD_DISTANCIA_LEJOS"), 98),
        numero(87, G, g("OD_AGUDEZA_VISUAL_SC"), 98),
        numero(88, G, g("OD_AGUDEZA_VISUAL_CC"), 98),
        textoMayusculas(89, G, g("OD_QUERATOMETRIA")),
        numero(90, G, g("OD_TONOMETRIA"), 98),
        fecha(92, GD, d("FECHA_GARANTIA")),
        numero(93, GD, d("ALTURA"), 0),
        tipo,
        texto(96, GD, d("DESCRIPCION")),
        numero(97, GD, d("IMPORTE"), 0),
        numero(98, G, g("OI_ADICION"), 98),
        numero(99, G, g("OI_ESFERA_CERCA"), 98),
        numero(100, G, g("OI_ESFERA_LEJOS"), 98),
        numero(101, G, g("OI_ESFERA_MEDIA"), 98),
        numero(102, G, g("OI_CILINDRO"), 98),
        // The left-eye axis, as the field's caption says, with the axis sentinel of 83.
        numero(103, G, g("OI_EJE"), 400),
        texto(104, G, g("OI_PRISMA")),
        numero(105, G, g("OI_DISTANCIA_CERCA"), 98),
        numero(106, G, g("OI_DISTANCIA_LEJOS"), 98),
        numero(107, G, g("OI_AGUDEZA_VISUAL_SC"), 98),
        numero(108, G, g("OI_AGUDEZA_VISUAL_CC"), 98),
        textoMayusculas(2000, G, g("OI_QUERATOMETRIA")),
        numero(2001, G, g("OI_TONOMETRIA"), 98),
        numero(2002, G, g("ADICION_AMBOS_OJOS"), 98),
        memo(2003, GO, QStringLiteral("GOBSERVACIONES.OBSERVACIONES")),
        ambosOjos(2004, G, "ESFERA_LEJOS", 98, 98),
        ambosOjos(2005, G, "CILINDRO", 98, 98),
        // The right-eye axis, addition and distances hold 400 when empty.
        ambosOjos(2006, G, "EJE", 400, 98),
        ambosOjos(2007, G, "ESFERA_MEDIA", 98, 98),
        ambosOjos(2008, G, "ESFERA_CERCA", 98, 98),
        ambosOjos(2009, G, "ADICION", 400, 98),
        ambosOjos(2010, G, "DISTANCIA_LEJOS", 400, 98),
        ambosOjos(2011, G, "DISTANCIA_CERCA", 400, 98),
        ambosOjos(2012, G, "AGUDEZA_VISUAL_SC", 98, 98),
        ambosOjos(2014, G, "TONOMETRIA", 98, 98),
        ambosOjosTexto(2015, G, "QUERATOMETRIA"),
        ambosOjosTexto(2016, G, "PRISMA"),
    };
}

} // namespace quill
