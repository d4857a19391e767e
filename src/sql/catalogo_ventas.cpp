// Catalogue rows of the sales: the documents (MVENTA) and their lines (DVENTA). The line fields
// leave out deleted orders (operation type 3); the document fields count every document.

#include "catalogo.h"

#include "lstsentpaciente.h"

namespace quill {

namespace {

const QString kVenta = QStringLiteral("MVENTA");
const QString kLinea = QStringLiteral("DVENTA");
const QString kPaciente = QStringLiteral("PACIENTE");

// The patient's documents, and his documents other than deleted orders.
const QString kJV = QStringLiteral("PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND ");
const QString kJV3 = QStringLiteral(
    " PACIENTE.ID_PACIENTE = MVENTA.ID_PACIENTE AND MVENTA.TIPO_OPERACION != 3 AND ");
const QString kLineas = QStringLiteral("MVENTA.ID_MVENTA = DVENTA.ID_MVENTA ");
const QString kFecha = QStringLiteral("CAST(MVENTA.FECHA AS DATE)");

EntradaCatalogo fila(int id, Forma forma, const QString& delante, const QString& columna,
                     Operador operador, const QStringList& tablas,
                     const QString& detras = QString()) {
    EntradaCatalogo e;
    e.id = id;
    e.forma = forma;
    e.delante = delante;
    e.columna = columna;
    e.operador = operador;
    e.detras = detras;
    e.tablas = tablas;
    return e;
}

EntradaCatalogo fecha(int id, const QString& union_, const QStringList& tablas) {
    return fila(id, Forma::Directa, union_, kFecha, Operador::Fecha, tablas);
}

// A sale counts for an agent when the document's agent or one of the three agents of any of its
// lines is among the chosen ids ("Distinto de...": none of them is). The line agents stay inside
// the patient's join, so only his own documents are looked at.
QString agentes(TLstSentPaciente& s, const EntradaCatalogo& e) {
    const bool igual = s.Condicion() == operador::IgualA;
    const auto lista = [&s](const char* columna) {
        return s.SentenciaLista(QLatin1String(columna));
    };
    QString r = QLatin1Char('(') + e.delante + QStringLiteral("((MVENTA.ID_AGENTE ") +
                lista("MVENTA.ID_AGENTE");
    r += igual ? QStringLiteral(" Or ") : QStringLiteral(" AND ");
    r += QStringLiteral("MVENTA.ID_MVENTA in (SELECT ID_MVENTA from DVENTA WHERE "
                        "(DVENTA.ID_AGENTE_1 ") +
         lista("DVENTA.ID_AGENTE_1");
    r += (igual ? QStringLiteral(" Or (DVENTA.ID_AGENTE_2 ")
                : QStringLiteral(" AND (DVENTA.ID_AGENTE_2 ")) +
         lista("DVENTA.ID_AGENTE_2");
    r += (igual ? QStringLiteral(" Or (DVENTA.ID_AGENTE_3 ")
                : QStringLiteral(" And (DVENTA.ID_AGENTE_3 ")) +
         lista("DVENTA.ID_AGENTE_3");
    return r + QStringLiteral(")))");
}

EntradaCatalogo agente(int id, const QString& union_, const QStringList& tablas) {
    EntradaCatalogo e = fila(id, Forma::Calculada, union_, QString(), Operador::Lista, tablas);
    e.calculo = agentes;
    return e;
}

} // namespace

QList<EntradaCatalogo> filasVentas() {
    // No entry: 450, 453 (the consumption mode, read by the consumption listing), 454 to 459.
    return {
        fecha(451, kJV, {kVenta, kPaciente}),
        // A bare comparison: the consumption listing puts the amount (or its sum) in front.
        fila(452, Forma::Directa, QString(), QString(), Operador::Numero, {kVenta, kPaciente}),
    };
}

QList<EntradaCatalogo> filasDocumentosVenta() {
    const QString abre = QStringLiteral(" (") + kJV;
    const QString cierra = QStringLiteral(")");
    // No entry: 550, 552 (the debt of pending orders, applied by that listing), 557 to 569.
    return {
        fecha(551, kJV, {kVenta, kPaciente}),
        fila(553, Forma::Lista, abre + kLineas + QStringLiteral(" AND "),
             QStringLiteral("DVENTA.ID_ALMACEN"), Operador::Lista, {kLinea, kVenta, kPaciente},
             cierra),
        agente(554, kJV, {kVenta, kPaciente}),
        fila(555, Forma::Lista, abre, QStringLiteral("MVENTA.TERMINADO"), Operador::Lista,
             {kVenta, kPaciente}, cierra),
        fila(556, Forma::Lista, abre, QStringLiteral("MVENTA.RECOGIDO"), Operador::Lista,
             {kVenta, kPaciente}, cierra),
    };
}

QList<EntradaCatalogo> filasLineasVenta() {
    const QString lineas = kJV3 + kLineas + QStringLiteral(" AND ");
    const QStringList v{kVenta};
    const QStringList vd{kVenta, kLinea};
    // The kinds that offer these fields have the patient in FROM already. The agent field needs
    // the documents in FROM too, as every other field of the group.
    // No entry: 570, 580 to 609.
    return {
        fecha(571, kJV3, v),
        fila(572, Forma::Unida, lineas, QStringLiteral("DVENTA.REFERENCIA"), Operador::Texto, vd),
        fila(573, Forma::Unida, lineas, QStringLiteral("DVENTA.DESCRIPCION"), Operador::Texto, vd),
        fila(574, Forma::Unida, lineas, QStringLiteral("DVENTA.PORCENTAJE_DESCUENTO"),
             Operador::Numero, vd),
        fila(575, Forma::Unida, kJV3, QStringLiteral("MVENTA.PORCENTAJE_DESCUENTO"),
             Operador::Numero, v),
        agente(576, kJV3.mid(1), v),
        fila(577, Forma::Lista, lineas, QStringLiteral("DVENTA.ID_GRUPO"), Operador::Lista, vd),
        fila(578, Forma::Lista, kJV3, QStringLiteral("MVENTA.ID_FORMA_PAGO"), Operador::Lista, v),
        fila(579, Forma::Unida, kJV3, QStringLiteral("MVENTA.LIQUIDO_M1"), Operador::Numero, v),
    };
}

} // namespace quill
