#include "output/print/tfrmgeneral.h"

#include "queries/tdmgeneral.h"
#include "sql/lstutil.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace quill::print {

namespace {
const QColor kPlata(192, 192, 192);
const QString kTitulo = QStringLiteral("Listado de Pacientes General");
constexpr qreal kAltoFila = 14;
} // namespace

TfrmGeneralResumido::TfrmGeneralResumido(TdmGeneral& modulo, const QString& conexion)
    : InformeListado(kTitulo, conexion), m_modulo(modulo) {
    TextoModo = QStringLiteral("Resumido");
}

QList<Columna> TfrmGeneralResumido::columnas() const {
    return {{0, 50, QStringLiteral("Ficha")},
            {54, 200, QStringLiteral("Apellidos y Nombre")},
            {258, 190, QStringLiteral("Dirección")},
            {452, 150, QStringLiteral("Localidad")},
            {606, 112, QStringLiteral("Teléfono")}};
}

void TfrmGeneralResumido::construir() {
    m_ultimaVisita = m_modulo.Analisis().tablaUltimaVisita;
    if (!m_ultimaVisita && m_modulo.dstListado()) m_modulo.CrearTablaPaciente();
    m_tabla = m_ultimaVisita ? m_modulo.memPacientesFecha : m_modulo.memPacientes;
    const MemTable& t = *m_tabla;

    Band& d = m_report.detail();
    d.height = kAltoFila;
    const QList<Item*> c = FilaTextos(d, columnas(), 0, kAltoFila, Fuente(8));
    Item& ficha = *c[0];
    Item& nombre = *c[1];
    Item& direccion = *c[2];
    Item& localidad = *c[3];
    Item& telefono = *c[4];

    const auto campo = [&t](const char* n) { return t.fieldIndex(QString::fromLatin1(n)); };
    const int fCodigo = campo("Codigo");
    const int fNombre = campo(m_ultimaVisita ? "Nombre" : "NombreCompleto");
    const int fDireccion = campo("Direccion");
    const int fIdLocalidad = campo("IdLocalidad");
    const int fLocalidad = campo("Localidad");
    const int fTelefono = campo("Telefono");
    const int fMovil = campo(m_ultimaVisita ? "TelefonoMovil" : "Movil");
    const int fId = campo("IdPaciente");

    m_report.rowCount = t.isOpen() ? t.recordCount() : 0;
    m_report.beforePrint = [this] {
        m_impresos.clear();
        m_plata = true;
        m_report.detail().color = kPlata;
    };
    m_report.afterPrint = [this] { m_impresos.clear(); };
    d.beforePrint = [=, this, &t, &ficha, &nombre, &direccion, &localidad, &telefono] {
        const int fila = m_report.currentRow();
        return Proteger(
            "bndDetalleBeforePrint",
            [&] {
                if (!m_ultimaVisita) {
                    // A patient prints once, wherever its rows fall in the order.
                    const int id = t.valueAt(fila, fId).toInt();
                    if (m_impresos.contains(id)) return false;
                    m_impresos.insert(id);
                }
                ficha.text = TextoCodigo(t.valueAt(fila, fCodigo));
                nombre.text = t.textAt(fila, fNombre);
                direccion.text = t.textAt(fila, fDireccion);
                localidad.text = m_ultimaVisita
                                     ? Util().NombreLocalidad(t.valueAt(fila, fIdLocalidad).toInt())
                                     : t.textAt(fila, fLocalidad);
                telefono.text = TextoTelefono(t.textAt(fila, fTelefono), t.textAt(fila, fMovil));
                return true;
            },
            [&] { ficha.text = QStringLiteral("ERROR"); });
    };
    // Alternate shading of the printed rows.
    d.afterPrint = [this] {
        m_plata = !m_plata;
        m_report.detail().color = m_plata ? kPlata : QColor(Qt::white);
    };
}

TfrmGeneralDetalle::TfrmGeneralDetalle(TdmGeneral& modulo, const QString& conexion)
    : InformeListado(kTitulo, conexion), m_modulo(modulo) {
    TextoModo = QStringLiteral("Detalle");
}

void TfrmGeneralDetalle::leerExtras() {
    m_extras.clear();
    if (!m_modulo.IrAlPrimero()) return;
    QSqlQuery& q = *m_modulo.dstListado();
    const ColumnasPaciente c(q.record());
    do {
        const int id = ColumnasPaciente::valor(q, c.id).toInt();
        if (id == 0 || m_extras.contains(id)) continue;
        Extra e;
        e.vienePor = ColumnasPaciente::valor(q, c.vienePor).toString();
        e.profesion = ColumnasPaciente::valor(q, c.profesion).toString();
        e.nif = ColumnasPaciente::valor(q, c.nif).toString();
        e.descuento = ColumnasPaciente::valor(q, c.descuento).toDouble();
        e.total = ColumnasPaciente::valor(q, c.totalM1).toDouble();
        m_extras.insert(id, e);
    } while (q.next());
}

void TfrmGeneralDetalle::construir() {
    if (m_modulo.dstListado()) {
        m_modulo.CrearTablaPaciente();
        leerExtras();
    }
    m_tabla = m_modulo.memPacientes;
    const MemTable& t = *m_tabla;
    m_report.rowCount = t.isOpen() ? t.recordCount() : 0;

    Band& d = m_report.detail();
    d.height = 204;
    const QFont negrita = Fuente(8, true);
    const QFont normal = Fuente(8);
    d.addText(QRectF(0, 0, 380, 16), QStringLiteral("Datos Personales"), Fuente(9, true, true));
    d.addText(QRectF(420, 0, 298, 16), QStringLiteral("Estadísticas"), Fuente(9, true, true));
    d.addLine(QLineF(0, 17, kBodyWidth, 17), kPlata, 1);
    const QStringList izquierda = {
        QStringLiteral("Nº Ficha:"),  QStringLiteral("Nombre:"),    QStringLiteral("Dirección:"),
        QStringLiteral("Localidad:"), QStringLiteral("N.I.F:"),     QStringLiteral("Tfno / Móvil:"),
        QStringLiteral("Correo:"),    QStringLiteral("Profesión:"), QStringLiteral("Viene Por:"),
        QStringLiteral("E-Mail:"),    QStringLiteral("P. Web:"),    QStringLiteral("Sexo:")};
    const QStringList derecha = {QStringLiteral("Fecha 1ª Visita:"),
                                 QStringLiteral("Fecha Ult. Visita:"),
                                 QStringLiteral("Fecha Carnet:"),
                                 QStringLiteral("Total Comprado:"),
                                 QStringLiteral("Ult. % Descuento:"),
                                 QStringLiteral("F. Nacimiento:"),
                                 QStringLiteral("Edad:")};
    QList<Item*> vi, vd;
    for (int i = 0; i < izquierda.size(); ++i) {
        d.addText(QRectF(0, 22 + i * kAltoFila, 90, kAltoFila), izquierda[i], negrita);
        vi.append(&d.addText(QRectF(92, 22 + i * kAltoFila, 320, kAltoFila), QString(), normal));
    }
    for (int i = 0; i < derecha.size(); ++i) {
        d.addText(QRectF(420, 22 + i * kAltoFila, 110, kAltoFila), derecha[i], negrita);
        vd.append(&d.addText(QRectF(532, 22 + i * kAltoFila, 186, kAltoFila), QString(), normal));
    }
    const auto campo = [&t](const char* n) { return t.fieldIndex(QString::fromLatin1(n)); };
    struct Campos {
        int id, codigo, nombre, direccion, idLocalidad, telefono, movil, correo, email, web, sexo,
            primera, ultima, carnet, nacimiento;
    } f{campo("IdPaciente"),  campo("Codigo"),   campo("NombreCompleto"), campo("Direccion"),
        campo("IdLocalidad"), campo("Telefono"), campo("Movil"),          campo("Correo"),
        campo("EMail"),       campo("Web"),      campo("Sexo"),           campo("FPriVisita"),
        campo("FUltVisita"),  campo("FCarnet"),  campo("FNacimiento")};

    m_report.beforePrint = [this] { m_impresos.clear(); };
    m_report.afterPrint = [this] { m_impresos.clear(); };
    d.beforePrint = [this, &t, f, vi, vd] {
        const int fila = m_report.currentRow();
        return Proteger(
            "bndDetalleBeforePrint",
            [&] {
                const int id = t.valueAt(fila, f.id).toInt();
                if (m_impresos.contains(id)) return false;
                m_impresos.insert(id);
                const Extra e = m_extras.value(id);
                TLstUtil& u = Util();
                const QString nacimiento = TextoFecha(t.valueAt(fila, f.nacimiento));
                const QStringList textos = {
                    TextoCodigo(t.valueAt(fila, f.codigo)),
                    t.textAt(fila, f.nombre),
                    t.textAt(fila, f.direccion),
                    u.NombreLocalidad(t.valueAt(fila, f.idLocalidad).toInt()),
                    e.nif,
                    u.Par(t.textAt(fila, f.telefono), t.textAt(fila, f.movil)),
                    u.SiNo(t.valueAt(fila, f.correo).toInt()),
                    e.profesion,
                    e.vienePor,
                    t.textAt(fila, f.email),
                    t.textAt(fila, f.web),
                    u.Sexo(t.valueAt(fila, f.sexo).toInt())};
                for (int i = 0; i < vi.size(); ++i)
                    vi[i]->text = textos[i];
                const QStringList estadisticas = {TextoFecha(t.valueAt(fila, f.primera)),
                                                  TextoFecha(t.valueAt(fila, f.ultima)),
                                                  TextoFecha(t.valueAt(fila, f.carnet)),
                                                  u.Importe(e.total),
                                                  u.Porcentaje(e.descuento),
                                                  nacimiento,
                                                  nacimiento.isEmpty() ? QString()
                                                                       : u.Edad(nacimiento)};
                for (int i = 0; i < vd.size(); ++i)
                    vd[i]->text = estadisticas[i];
                m_notas.clear();
                if (Observaciones) {
                    const QString error = LeerObservacionesPaciente(Conexion(), id, m_notas);
                    if (!error.isEmpty()) m_errores.append(error);
                }
                return true;
            },
            [vi] { vi[0]->text = QStringLiteral("ERROR"); });
    };

    // Each patient fills its own page(s), with or without the notes.
    if (!Observaciones) {
        d.newPageAfter = true;
        return;
    }
    SubDetail& s = m_report.addSubDetail(16);
    s.header = std::make_unique<Band>(22);
    s.header->addText(QRectF(0, 4, 380, 16), QStringLiteral("Observaciones"),
                      Fuente(9, true, true));
    s.header->addLine(QLineF(0, 21, kBodyWidth, 21), kPlata, 1);
    s.rowCount = [] { return 1; };
    s.band->stretch = true;
    Item& notas = s.band->addText(QRectF(0, 2, kBodyWidth, 14), QString(), normal,
                                  Qt::AlignLeft | Qt::AlignTop);
    notas.wordWrap = true;
    s.band->beforePrint = [this, &notas] {
        notas.text = m_notas;
        return true;
    };
    s.newPageAfter = true;
}

} // namespace quill::print
