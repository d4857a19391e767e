// The window and `listado` build a condition the same way: the same rows, posted in the grid and
// read from a conditions file, give the same fragments, the same tables, the same values for
// the kinds, the same refusals and the same validation messages.

#include "../listing/anfitrion.h"
#include "../platform/qtprint.h"
#include "condiciones.h"
#include "tiendaprueba.h"

#include "conditions/construir.h"
#include "conditions/control.h"
#include "conditions/tdmlstpaciente.h"
#include "listing/abrirlistado.h"
#include "listing/tfrmlistado.h"
#include "platform/memtable.h"
#include "platform/modal.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

#include <gtest/gtest.h>

using quill::MemTable;

namespace {

const QString kConexion = QStringLiteral("gui_caminos");

// A pasted text far longer than the grid's value cell.
const std::string kTextoLargo(500, 'x');

struct Fila {
    double id;
    const char* campo;
    const char* op;
    const char* v1;
    const char* v2;
    const char* ids; // joined by ";"
};

struct Caso {
    const char* nombre;
    qint16 tipo; // listing kind
    QList<Fila> filas;
    const char* rechazo;    // the message of a refused row, "" when every row is built
    const char* validacion; // the check before an action, "" when it passes
};

// clang-format off
const QList<Caso> kCasos = {
    {"paciente, lista, número y fecha", 0, {
        {1, "Apellidos", "Empieza por...", "gar", "", ""},
        {11, "Sexo", "Igual a...", "Mujer", "", "2"},
        {82, "Cilindro OD", "...Entre...", "-1", "-0,25", ""},
        {13, "Fecha Nacimiento", "Mayor que...", "01/01/1990", "", ""}}, "", ""},
    {"código postal, tipo de ficha y notas", 0, {
        {4, "Código Postal", "Igual a...", "28000", "", ""},
        {50, "Tipo de Ficha", "Igual a...", "Graduación; Lentillas", "", "1;2"},
        {23, "Observaciones", "...Contiene...", "cataratas", "", ""}}, "", ""},
    {"tipo de prescripción", 4, {
        {463, "Tipo de Prescripción", "Igual a...", "Audiometría", "", ""},
        {1, "Apellidos", "Empieza por...", "gar", "", ""}}, "", ""},
    {"deuda", 2, {
        {552, "Deuda Pendiente", "...Entre...", "10,5", "20", ""},
        {1, "Apellidos", "Empieza por...", "gar", "", ""}}, "", ""},
    {"garantías", 6, {
        {3001, "Tipo de Ficha", "Igual a...", "Graduación; Lentillas", "", "1;2"},
        {3003, "Ojo / Oído", "Igual a...", "OD; OI", "", "0;1"}}, "", ""},
    {"fecha imposible", 0, {{13, "Fecha Nacimiento", "Igual a...", "31/02/2000", "", ""}},
        "«31/02/2000» no es una fecha válida", ""},
    {"número que no lo es", 0, {{82, "Cilindro OD", "Mayor que...", "1 OR 1=1", "", ""}},
        "«1 OR 1=1» no es un número válido para Cilindro OD", ""},
    {"edad en letras", 0, {{24, "Edad", "Igual a...", "setenta", "", ""}},
        "«setenta» no es un número entero válido para Edad", ""},
    {"código postal con texto", 0, {{4, "Código Postal", "Igual a...", "28000 OR 1=1", "", ""}},
        "«28000 OR 1=1» no es un número válido para Código Postal", ""},
    {"lista con un código manipulado", 0, {{11, "Sexo", "Igual a...", "Mujer", "", "2) OR (1=1"}},
        "«2) OR (1=1» no es un código válido para Sexo", ""},
    {"deuda que no es un importe", 2, {{552, "Deuda Pendiente", "Igual a...", "diez", "", ""}},
        "«diez» no es un número válido para Deuda Pendiente", ""},
    {"textos con comillas, punto y coma y comentarios", 0, {
        {1, "Apellidos", "Igual a...", "O'Brien; DROP TABLE PACIENTE --", "", ""},
        {23, "Observaciones", "...Contiene...", "/* nota */ ' OR ''='", "", ""},
        {23, "Observaciones", "...Contiene...", kTextoLargo.c_str(), "", ""}}, "", ""},
    {"fila sin valor", 0, {{1, "Apellidos", "Igual a...", "", "", ""}}, "",
        "No pueden existir registros vacios. Por favor borre los filtros que no desee mediante "
        "'Control + Sup'"},
    {"sólo campos que acotan", 0, {{55, "Fichas a Consultar", "Vacío", "", "", ""}}, "",
        "El filtro seleccionado no puede generar un listado por si mismo, debe seleccionar algún "
        "filtro más"},
};
// clang-format on

// What one path made of a case.
struct Resultado {
    QStringList sentencias;
    QStringList tablas;
    quill::ParametrosListado parametros;
    QString rechazo;
    QString validacion;
};

class Caminos : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(tienda.crear(kConexion, tiendaprueba::filasLocalidades()), QString());
        w = AbrirListado(host.bloque.data());
        ASSERT_TRUE(w);
        dir = quilltest::scratch();
    }
    void TearDown() override {
        if (w) w->close();
        delete w.data();
    }

    // The rows posted in the grid, as the user leaves each one.
    Resultado ventana(const Caso& c) {
        Resultado r;
        w->CambiarListado(c.tipo);
        w->LimpiarCampos();
        modal.clear();
        MemTable* t = w->dmlstPaciente->TablaActual();
        bool primera = true;
        for (const Fila& f : c.filas) {
            if (!primera) t->append();
            primera = false;
            w->Condiciones->Lista = QString::fromUtf8(f.ids).split(';', Qt::SkipEmptyParts);
            t->setValue("Id", f.id);
            t->setValue("Campo", QString::fromUtf8(f.campo));
            t->setValue("Condicion", QString::fromUtf8(f.op));
            t->setValue("Condicion1", QString::fromUtf8(f.v1));
            t->setValue("Condicion2", QString::fromUtf8(f.v2));
            t->setValue("Condicion1Ids", QString::fromUtf8(f.ids));
            t->post();
        }
        if (!modal.messages().isEmpty()) r.rechazo = modal.messages().first().text;
        modal.clear();
        w->ValidarCondiciones();
        if (!modal.messages().isEmpty()) r.validacion = modal.messages().first().text;
        for (int i = 0; i < t->recordCount(); ++i)
            r.sentencias << t->valueAt(i, "Sentencia").toString();
        r.tablas = w->ReconstruirTablas();
        r.parametros = w->Condiciones->Parametros;
        return r;
    }

    // The same rows in a conditions file read by `listado`.
    Resultado listado(const Caso& c) {
        QJsonArray filas;
        for (const Fila& f : c.filas) {
            QJsonObject o{{"Id", f.id},
                          {"Condicion", QString::fromUtf8(f.op)},
                          {"Condicion1", QString::fromUtf8(f.v1)}};
            if (*f.v2) o.insert("Condicion2", QString::fromUtf8(f.v2));
            if (*f.ids) o.insert("Condicion1Ids", QString::fromUtf8(f.ids));
            filas.append(o);
        }
        const QString fichero = dir->filePath("c.json");
        QFile file(fichero);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QJsonDocument(filas).toJson());
        file.close();
        quill::cli::CondicionesListado salida;
        const QString mensaje =
            quill::cli::LeerCondiciones(fichero, c.tipo, quilltest::dataDir(), kConexion, salida);
        Resultado r;
        // A refused row is named by its place in the file, then the window's message.
        if (mensaje.startsWith(QStringLiteral("Condición ")))
            r.rechazo = mensaje.section(QStringLiteral(": "), 1).section('\n', 0, 0);
        else
            r.validacion = mensaje;
        if (!r.rechazo.isEmpty()) return r;
        for (int i = 0; i < salida.tabla->recordCount(); ++i)
            r.sentencias << salida.tabla->valueAt(i, "Sentencia").toString();
        r.tablas = salida.tablas;
        r.parametros = salida.parametros;
        return r;
    }

    tiendaprueba::Tienda tienda;
    Anfitrion host{kConexion};
    quill::ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    QPointer<TfrmListado> w;
    std::unique_ptr<QTemporaryDir> dir;
};

TEST_F(Caminos, TheWindowAndListadoBuildTheSameConditions) {
    for (const Caso& c : kCasos) {
        SCOPED_TRACE(c.nombre);
        const Resultado v = ventana(c);
        const Resultado l = listado(c);
        EXPECT_EQ(v.rechazo, QString::fromUtf8(c.rechazo));
        EXPECT_EQ(l.rechazo, v.rechazo);
        if (!v.rechazo.isEmpty()) {
            // listado stops at the refused row; the window keeps it, marked, and refuses every
            // action while it is there, naming the field.
            const QString campo = QString::fromUtf8(c.filas.last().campo);
            EXPECT_TRUE(v.validacion.startsWith(QStringLiteral("La condición «%1»").arg(campo)))
                << qPrintable(v.validacion);
            EXPECT_TRUE(v.validacion.contains(v.rechazo)) << qPrintable(v.validacion);
            EXPECT_EQ(w->MotivoRechazo(c.filas.size() - 1), v.rechazo);
            continue;
        }
        EXPECT_EQ(w->MotivoRechazo(0), QString());
        // Every row with a value of its own is in the statement: none was dropped.
        for (int i = 0; v.validacion.isEmpty() && i < c.filas.size(); ++i) {
            // The special rows hand their values to the kinds instead.
            using quill::CampoEspecial;
            const CampoEspecial e = quill::CampoEspecialDe(c.filas[i].id);
            if (e != CampoEspecial::Ninguno && e != CampoEspecial::CodigoPostal) continue;
            EXPECT_FALSE(v.sentencias.value(i).trimmed().isEmpty()) << c.filas[i].campo;
        }
        EXPECT_EQ(v.validacion, QString::fromUtf8(c.validacion));
        EXPECT_EQ(l.validacion, v.validacion);
        EXPECT_EQ(l.sentencias, v.sentencias);
        EXPECT_EQ(l.tablas, v.tablas);
        const quill::ParametrosListado &pl = l.parametros, &pv = v.parametros;
        EXPECT_EQ(pl.familias, pv.familias);
        EXPECT_EQ(pl.tipoPrescripcion, pv.tipoPrescripcion);
        EXPECT_EQ(pl.deudaValor1, pv.deudaValor1);
        EXPECT_EQ(pl.deudaValor2, pv.deudaValor2);
        EXPECT_EQ(pl.deudaOperador, pv.deudaOperador);
        EXPECT_EQ(pl.familiasGarantia, pv.familiasGarantia);
        EXPECT_EQ(pl.ojosGarantia, pv.ojosGarantia);
        // The special rows did reach the kinds.
        const QList<bool> llegaron = {c.tipo != 4 || pv.tipoPrescripcion == "Audiometría",
                                      c.tipo != 2 || pv.deudaValor2 == 20.0,
                                      c.tipo != 6 || pv.ojosGarantia == QStringList{"0\n1"}};
        EXPECT_FALSE(llegaron.contains(false));
    }
}

} // namespace
