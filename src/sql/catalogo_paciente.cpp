// Catalogue rows of the patient's own fields, the day/month/year parts of patient dates, the
// record dates the data module completes, and the fields every listing kind shares.

#include "catalogo.h"
#include "lstsentpaciente.h"

namespace quill {

namespace {

const QString kPaciente = QStringLiteral("PACIENTE");

EntradaCatalogo directa(int id, const QString& delante, Operador operador,
                        const QString& columna = QString(), QStringList tablas = {kPaciente}) {
    EntradaCatalogo e;
    e.id = id;
    e.forma = Forma::Directa;
    e.delante = delante;
    e.columna = columna;
    e.operador = operador;
    e.tablas = std::move(tablas);
    return e;
}

EntradaCatalogo texto(int id, const QString& columna) {
    return directa(id, columna, Operador::Texto);
}

// A numeric patient column without empty-value marker.
EntradaCatalogo numero(int id, const QString& columna) {
    return directa(id, columna + QLatin1Char(' '), Operador::Numero, columna);
}

EntradaCatalogo fecha(int id, const QString& columna, QStringList tablas = {kPaciente}) {
    return directa(id, QString(), Operador::Fecha, columna, std::move(tablas));
}

EntradaCatalogo lista(int id, const QString& delante, const QString& columna,
                      Operador operador = Operador::Lista, QStringList tablas = {kPaciente}) {
    EntradaCatalogo e = directa(id, delante, operador, columna, std::move(tablas));
    e.forma = Forma::Lista;
    return e;
}

QString edad(TLstSentPaciente& s, const EntradaCatalogo& e) {
    return s.SentenciaEdad(e.columna);
}

} // namespace

QList<EntradaCatalogo> filasPaciente() {
    const QString nacimiento = QStringLiteral("CAST(PACIENTE.FECHA_NACIMIENTO AS DATE)");
    EntradaCatalogo anos = directa(24, QString(), Operador::Ninguno, nacimiento);
    anos.forma = Forma::Calculada;
    anos.calculo = edad;
    return {
        numero(0, QStringLiteral("PACIENTE.CODIGO")),
        texto(1, QStringLiteral("UPPER(PACIENTE.APELLIDOS) ")),
        texto(2, QStringLiteral("UPPER(PACIENTE.NOMBRE) ")),
        texto(3, QStringLiteral("UPPER(PACIENTE.DIRECCION)")),
        // 4 postal code and 6 province reach here as locality ids (CodigosPostales,
        // LocalidadesProvincia); 5 holds the chosen localities.
        lista(4, QString(), QStringLiteral("PACIENTE.ID_LOCALIDAD")),
        lista(5, QString(), QStringLiteral("PACIENTE.ID_LOCALIDAD")),
        lista(6, QString(), QStringLiteral("PACIENTE.ID_LOCALIDAD")),
        texto(7, QStringLiteral("UPPER(PACIENTE.TELEFONO) ")),
        texto(8, QStringLiteral("UPPER(PACIENTE.TELEFONO_MOVIL)")),
        texto(9, QStringLiteral("UPPER(PACIENTE.PROFESION) ")),
        texto(10, QStringLiteral("UPPER(PACIENTE.VIENE_POR) ")),
        lista(11, QString(), QStringLiteral("PACIENTE.SEXO")),
        texto(12, QStringLiteral("UPPER(PACIENTE.NIF) ")),
        fecha(13, nacimiento),
        fecha(14, QStringLiteral("CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE)")),
        fecha(15, QStringLiteral("CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE)")),
        fecha(16, QStringLiteral("CAST(PACIENTE.FECHA_CARNET AS DATE)")),
        numero(17, QStringLiteral("PACIENTE.ULTIMO_DESCUENTO")),
        directa(18, QStringLiteral("PACIENTE.CORREO"), Operador::Primero),
        numero(19, QStringLiteral("PACIENTE.TOTAL_COMPRADO_M1")),
        texto(20, QStringLiteral("UPPER(PACIENTE.E_MAIL) ")),
        texto(21, QStringLiteral("UPPER(PACIENTE.WEB) ")),
        directa(22, QStringLiteral("PACIENTE.TIENDA "), Operador::Primero),
        directa(23,
                QStringLiteral("PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And "
                               "UPPER(POBSERVACIONES.OBSERVACIONES) "),
                Operador::Memo, QString(), {QStringLiteral("POBSERVACIONES"), kPaciente}),
        anos,
        // Patient-id lists: the data module puts the column in front.
        directa(51, QString(), Operador::In, QString(), {}),
        directa(52, QString(), Operador::In, QString(), {}),
        fecha(56, QStringLiteral("CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE)"), {}),
    };
}

QList<EntradaCatalogo> filasPartesFecha() {
    struct Columna {
        int primerId; // day; month and year follow
        const char* nombre;
    };
    static const Columna columnas[] = {
        {421, "FECHA_PRIMERA_VISITA"},
        {424, "FECHA_NACIMIENTO"},
        {427, "FECHA_ULTIMA_VISITA"},
        {430, "FECHA_CARNET"},
    };
    QList<EntradaCatalogo> filas;
    for (const Columna& c : columnas) {
        const QString x = QLatin1String(c.nombre);
        // The empty date would give day 30, month 12, year 1899: it never matches.
        const auto prefijo = [&x](int id, const char* parte) {
            // 427 has always been written without the space; the SQL means the same.
            const QString y = id == 427 ? QStringLiteral(" AND(") : QStringLiteral(" AND (");
            return QStringLiteral(" CAST(PACIENTE.") + x +
                   QStringLiteral(" AS DATE) != '12/30/1899'") + y + QStringLiteral("EXTRACT (") +
                   QLatin1String(parte) + QStringLiteral(" FROM PACIENTE.") + x +
                   QStringLiteral(") ");
        };
        EntradaCatalogo dia = directa(c.primerId, prefijo(c.primerId, "DAY"), Operador::Numero);
        dia.detras = QStringLiteral(")");
        EntradaCatalogo ano =
            directa(c.primerId + 2, prefijo(c.primerId + 2, "YEAR"), Operador::Numero);
        ano.detras = QStringLiteral(")");
        // The chosen months are the list items; the list builder closes the parenthesis.
        QString mes = QStringLiteral("EXTRACT (MONTH FROM PACIENTE.") + x + QStringLiteral(")");
        if (c.primerId + 1 != 425) mes += QLatin1Char(' ');
        filas << dia
              << directa(c.primerId + 1, prefijo(c.primerId + 1, "MONTH"), Operador::Lista, mes)
              << ano;
    }
    // Record dates: the data module puts the record family's date column in front.
    for (int id : {433, 434, 435})
        filas << directa(id, QString(), Operador::FechaValor);
    return filas;
}

QList<EntradaCatalogo> filasComunes() {
    // The data module of each kind supplies the record table, or the alias TABLA.
    return {
        fecha(461, QStringLiteral("CAST(FECHA AS DATE)")),
        lista(462, QStringLiteral(" "), QStringLiteral("PROPIA_AJENA"), Operador::ListaSimple),
        lista(464, QStringLiteral(" "), QStringLiteral("TABLA.ID_TIENDA")),
        directa(3000, QStringLiteral("PACIENTE.CORREO"), Operador::Primero, QString(), {}),
        fecha(3002, QStringLiteral("CAST(FECHA_GARANTIA AS DATE)"), {}),
    };
}

} // namespace quill
