// Catalogue rows of the optometry examinations (OPTOMETRIA, one row per examination). Text
// columns are compared as stored against the upper-cased value; numbers have no empty value.

#include "catalogo_formas.h"

namespace quill {

using namespace formas;

namespace {

QString o(const QString& columna) {
    return QStringLiteral("OPTOMETRIA.") + columna;
}

QString o(const char* columna) {
    return o(QLatin1String(columna));
}

// The right- and left-eye columns of one measurement: prefijo + "OD_" + medida and
// prefijo + "OI_" + medida.
EntradaCatalogo ambosOjos(int id, const Registro& r, const QString& prefijo, const char* medida,
                          Operador derecho, Operador izquierdo, const QString& separador) {
    const QString m = QLatin1String(medida);
    return par(id, r, {o(prefijo + QStringLiteral("OD_") + m), derecho, 0},
               {o(prefijo + QStringLiteral("OI_") + m), izquierdo, 0}, separador);
}

// A run of consecutive identifiers, one per column.
template <class Hacer>
void serie(QList<EntradaCatalogo>& filas, int primerId, std::initializer_list<const char*> columnas,
           Hacer hacer) {
    int id = primerId;
    for (const char* c : columnas)
        filas << hacer(id++, c);
}

} // namespace

QList<EntradaCatalogo> filasOptometria() {
    const Registro O{QStringLiteral("PACIENTE.ID_PACIENTE = OPTOMETRIA.ID_PACIENTE AND "),
                     {QStringLiteral("OPTOMETRIA")}};
    const QString Or = QStringLiteral(" Or ");
    const QString OR = QStringLiteral(" OR ");
    const auto textoDe = [&O](int id, const char* c) { return texto(id, O, o(c)); };
    const auto ojosNumero = [&](const QString& prefijo, const QString& sep) {
        return [&O, prefijo, sep](int id, const char* c) {
            return ambosOjos(id, O, prefijo, c, Operador::Numero, Operador::Numero, sep);
        };
    };
    const auto ojosTexto = [&](const QString& prefijo, const QString& sep) {
        return [&O, prefijo, sep](int id, const char* c) {
            return ambosOjos(id, O, prefijo, c, Operador::Texto, Operador::Texto, sep);
        };
    };

    // No entry: 210, 233 to 247, 293, 296, 345, 346, 351 to 374.
    QList<EntradaCatalogo> filas = {
        texto(211, O, o("QUEJA_PRINCIPAL")),     texto(212, O, o("QUEJA_PRINCIPAL")),
        texto(213, O, o("MEDICAMENTOS")),        texto(214, O, o("ALERGIAS")),
        texto(215, O, o("HISTORIAL_FAMILIA")),   fecha(216, O, o("FECHA_EX_MEDICO")),
        fecha(217, O, o("FECHA_EX_OPTICO")),     lista(218, O, o("ID_DOCTOR_EX_MEDICO")),
        lista(219, O, o("ID_DOCTOR_EX_OPTICO")),
    };
    // Refraction, either eye.
    serie(filas, 220,
          {"ESFERA_CERCA", "ESFERA_LEJOS", "ESFERA_MEDIA", "CILINDRO", "EJE", "PRISMA",
           "DISTANCIA_LEJOS", "DISTANCIA_CERCA", "AGUDEZA_VISUAL_SC"},
          ojosNumero(QString(), Or));
    filas << ambosOjos(229, O, QString(), "AGUDEZA_VISUAL_CC", Operador::Numero, Operador::Numero,
                       OR)
          << ambosOjos(230, O, QString(), "QUERATOMETRIA", Operador::Texto, Operador::Texto, OR)
          << ambosOjos(231, O, QString(), "ADICION", Operador::Numero, Operador::Texto, OR)
          << ambosOjos(232, O, QString(), "TONOMETRIA", Operador::Numero, Operador::Numero, OR)
          << numero(248, O, o("AV_BINOCULAR"), 0);
    // Preliminary tests.
    serie(filas, 249, {"PRE_SEGUIMIENTOS", "PRE_SACADICOS", "PRE_PIRRLA"}, textoDe);
    serie(filas, 252, {"CONFRONTACION", "COLOR"}, ojosTexto(QStringLiteral("PRE_"), Or));
    serie(filas, 254,
          {"PRE_TIPO_COLOR", "PRE_COVER_LEJOS_SC", "PRE_COVER_LEJOS_CC", "PRE_COVER_CERCA_SC",
           "PRE_COVER_CERCA_CC", "PRE_TIPO", "PRE_CC2", "PRE_WORTH", "PRE_ESTEREOPSIS", "PRE_PPC",
           "PRE_MADDOX_LEJOS", "PRE_MADDOX_CERCA"},
          textoDe);
    serie(filas, 266, {"ACOMODACION"}, ojosTexto(QStringLiteral("PRE_"), Or));
    serie(filas, 267,
          {"SC_LEJOS", "SC_CERCA", "SC_ESTENOPEICO", "CC_LEJOS", "CC_CERCA", "CC_ESTENOPEICO"},
          ojosNumero(QStringLiteral("PRE_"), Or));
    // Retinoscopy (static, dynamic, MPMAV), subjective and binocular balance: sphere, cylinder
    // and axis as numbers, visual acuity as text.
    int id = 273;
    for (const char* prueba : {"RET_EST_", "RET_DIN_", "MPMAV_", "SUB_", "BAL_SUB_"}) {
        for (const char* valor : {"ESFERA", "CILINDRO", "EJE", "AV"}) {
            const QString medida = QLatin1String(prueba) + QLatin1String(valor);
            const Operador op = qstrcmp(valor, "AV") == 0 ? Operador::Texto : Operador::Numero;
            filas << par(id++, O, {o(QStringLiteral("TR_OD_") + medida), op, 0},
                         {o(QStringLiteral("TR_OI_") + medida), op, 0}, OR);
        }
    }
    serie(filas, 294, {"REF_ANTERIOR", "REF_FINAL"}, ojosTexto(QString(), Or));
    // Binocular vision.
    serie(filas, 297,
          {"TB_VER_LEJOS_BE", "TB_VER_LEJOS_BI", "TB_VER_CERCA_BE", "TB_VER_CERCA_BI",
           "TB_FORIA_LEJOS_SC", "TB_FORIA_LEJOS_CC", "TB_FORIA_CERCA_SC", "TB_FORIA_CERCA_CC",
           "TB_GRADUACION_1", "TB_FVC", "TB_ARN", "TB_ARP", "TB_CCF", "TB_CCD", "TB_DISP_FIJAS",
           "TB_FOR_ASOCIADAS"},
          textoDe);
    serie(filas, 313, {"MEM", "FLIPPERS"}, ojosTexto(QStringLiteral("TB_"), Or));
    // Biomicroscopy, ophthalmoscopy and additional tests.
    serie(filas, 315,
          {"PESTANAS", "PARPADOS", "GL_MEIBONIO", "PUNCTA", "ESCLERA", "CONJUNTIVA", "CORNEA",
           "BUT", "FLUORESCENIA", "CA", "IRIS", "CRISTALINO", "MENISCO", "VITREO"},
          ojosTexto(QStringLiteral("BI_"), OR));
    serie(filas, 329,
          {"PAPILA_COLOR", "PAPILA_MARGEN", "PAPILA_EX", "VASOS_TIPO", "VASOS_ART", "VASOS_PULSO",
           "MAC_FIJ", "PARENQUIMIA", "PERIFERIA"},
          ojosTexto(QStringLiteral("OF_"), OR));
    serie(filas, 338,
          {"PIO", "FOTOSTRESS", "AMSTER", "DESAT_ROJO", "EXOFTALMOMETRO", "PRESION_ART", "D15"},
          ojosTexto(QStringLiteral("TA_"), OR));
    filas << fecha(347, O, o("TA_FECHA_REVISION"));
    // Any of the six notes of the examination.
    EntradaCatalogo notas = uno(348, O, {});
    notas.alternativas.clear();
    notas.separador = Or;
    for (const char* nota : {"BI_OBSERVACIONES", "TA_CONCLUSIONES", "TA_OBSERVACIONES",
                             "OF_OBSERVACIONES", "TB_OBSERVACIONES", "TR_OBSERVACIONES"})
        notas.alternativas << Alternativa{QStringLiteral("UPPER(") + o(nota) + QLatin1Char(')'),
                                          Operador::Memo, 0};
    filas << notas << numero(349, O, o("NUMERO_FICHA"), 0) << lista(350, O, o("ID_TIENDA"));
    return filas;
}

} // namespace quill
