#include "output/print/tfrmtablas.h"

#include "platform/guard.h"
#include "queries/tdmconsumo.h"
#include "queries/tdmfechas.h"
#include "queries/tdmgarantias.h"
#include "queries/tdmreposiciones.h"
#include "sql/lstutil.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace quill::print {

namespace {
const QColor kPlata(192, 192, 192);
const int kDerecha = Qt::AlignRight | Qt::AlignVCenter;
const int kCentro = Qt::AlignHCenter | Qt::AlignVCenter;
} // namespace

// ---- Dates ----

TfrmFechasResumido::TfrmFechasResumido(TdmFechas& modulo, const QString& conexion)
    : InformeTabla(QStringLiteral("Listado de Pacientes Por Fechas"), conexion), m_modulo(modulo) {
    TextoModo = QStringLiteral("Resumido");
}

TfrmFechasResumido::ColumnaFecha TfrmFechasResumido::ColumnaDeCondicion(const QString& campo) {
    struct Fila {
        QStringList campos;
        const char* titulo;
        const char* columna;
    };
    static const std::vector<Fila> tabla = {
        {{"Fecha Nacimiento", "Mes Nacimiento", "Año Nacimiento", "Día Nacimiento"},
         "Nacimiento",
         "Nacimiento"},
        {{"Fecha 1ª Visita", "Mes 1ª Visita", "Año 1ª Visita", "Día 1ª Visita"},
         "1ª Visita",
         "PrimeraVisita"},
        {{"Fecha Ult. Visita", "Mes Ult. Visita", "Año Ult. Visita", "Día Ult. Visita"},
         "Ult. Visita",
         "UltimaVisita"},
        {{"Fecha Carnet", "Mes Carnet", "Año Carnet", "Día Carnet"}, "Carnet", "Carnet"},
        {{"Fecha Ficha"}, "Ficha", "Fecha"},
        {{"Fecha Revisión"}, "Revisión", "FechaRevision"},
        {{"Fecha Limpieza"}, "Limpieza", "FechaLimpieza"},
        {{"Fecha Caducidad"}, "Caducidad", "FechaCaducidad"},
        {{"Fecha Reposición"}, "Reposición", "FechaReposicion"},
        {{"Fecha Garantía"}, "Garantía", "FechaGarantia"},
        {{"Fecha Ex. Médico"}, "Ex. Médico", "FechaExMedico"},
        {{"Fecha Ex. Óptico"}, "Ex. Óptico", "FechaExOptico"},
        {{"Fecha Ex. Adaptación"}, "Ex. Adaptación", "FechaAdaptacion"},
        {{"Fecha Aerea"}, "Aerea", "FechaAerea"},
        {{"Fecha Osea"}, "Osea", "FechaOsea"},
    };
    const QString c = campo.trimmed();
    for (const Fila& f : tabla)
        if (f.campos.contains(c))
            return {QString::fromUtf8(f.titulo), QString::fromLatin1(f.columna)};
    return {};
}

void TfrmFechasResumido::construir() {
    if (!m_modulo.Analisis().general.tablaUltimaVisita && m_modulo.dstListado())
        m_modulo.CrearTablaPaciente();
    Filas(*m_modulo.memPacientesFecha, QStringLiteral("IdPaciente"));
    const int fCodigo = Campo("Codigo"), fApellidos = Campo("Apellidos"),
              fNombreCorto = Campo("NombreCorto"), fDir = Campo("Direccion"),
              fIdLoc = Campo("IdLocalidad"), fLoc = Campo("Localidad"), fTel = Campo("Telefono"),
              fMovil = Campo("TelefonoMovil"), fNac = Campo("Nacimiento");
    Detalle({{{0, 45, QStringLiteral("Ficha")},
              [=, this](int f) { return TextoCodigo(Valor(f, fCodigo)); }},
             {{48, 190, QStringLiteral("Apellidos y Nombre")},
              [=, this](int f) {
                  const QString a = Texto(f, fApellidos).trimmed(),
                                n = Texto(f, fNombreCorto).trimmed();
                  return a.isEmpty() || n.isEmpty() ? a + n : a + QStringLiteral(", ") + n;
              }},
             {{241, 170, QStringLiteral("Dirección")}, [=, this](int f) { return Texto(f, fDir); }},
             {{414, 120, QStringLiteral("Localidad")},
              [=, this](int f) {
                  const QString l = Texto(f, fLoc);
                  return l.isEmpty() ? Util().NombreLocalidad(Valor(f, fIdLoc).toInt()) : l;
              }},
             {{537, 95, QStringLiteral("Teléfono")},
              [=, this](int f) { return TextoTelefono(Texto(f, fTel), Texto(f, fMovil)); }},
             {{636, 82, QStringLiteral("F.Nacimiento"), kCentro},
              [=, this](int f) { return TextoFecha(Valor(f, fNac)); }}});

    // The second line: one date per date condition, each column once, in condition order.
    QStringList campos;
    QList<ColumnaFecha> fechas;
    for (int i = 0; i < memCondiciones.recordCount(); ++i) {
        const ColumnaFecha c = ColumnaDeCondicion(memCondiciones.textAt(i, 0));
        if (c.campo.isEmpty() || campos.contains(c.campo) || c.campo == QLatin1String("Nacimiento"))
            continue;
        if (m_tabla->fieldIndex(c.campo) < 0) continue;
        campos.append(c.campo);
        fechas.append(c);
    }
    if (fechas.isEmpty()) return;
    m_detalle->height = 27;
    QList<std::pair<Item*, int>> valores;
    for (int i = 0; i < fechas.size() && i < 5; ++i) {
        const qreal x = 48 + (i % 5) * 134;
        m_detalle->addText(QRectF(x, 13, 70, 12), fechas[i].titulo + QLatin1Char(':'),
                           Fuente(7, true));
        valores.append({&m_detalle->addText(QRectF(x + 72, 13, 60, 12), QString(), Fuente(7)),
                        m_tabla->fieldIndex(fechas[i].campo)});
    }
    auto anterior = m_detalle->beforePrint;
    m_detalle->beforePrint = [this, anterior, valores] {
        if (!anterior()) return false;
        for (const auto& [item, campo] : valores)
            item->text = TextoFecha(Valor(m_report.currentRow(), campo));
        return true;
    };
}

// ---- Warranties ----

TfrmReportGarantias::TfrmReportGarantias(TdmGarantias& modulo, const QString& conexion)
    : InformeTabla(QStringLiteral("Listado de Pacientes con Ficha Completa  Garantía"), conexion),
      m_modulo(modulo) {
    TextoModo = QStringLiteral("Resumido");
}

void TfrmReportGarantias::construir() {
    Filas(*m_modulo.memDatos);
    const int fCodigo = Campo("Codigo"), fNombre = Campo("NombreCompleto"),
              fDir = Campo("Direccion"), fLoc = Campo("Localidad"), fTel = Campo("Telefono"),
              fMovil = Campo("Movil"), fNac = Campo("FechaNacimiento"), fGar = Campo("Garantia");
    Detalle({{{0, 45, QStringLiteral("Ficha")},
              [=, this](int f) { return TextoCodigo(Valor(f, fCodigo)); }},
             {{48, 185, QStringLiteral("Apellidos y Nombre")},
              [=, this](int f) { return Texto(f, fNombre); }},
             {{236, 160, QStringLiteral("Dirección")}, [=, this](int f) { return Texto(f, fDir); }},
             {{399, 110, QStringLiteral("Localidad")}, [=, this](int f) { return Texto(f, fLoc); }},
             {{512, 80, QStringLiteral("Teléfono")},
              [=, this](int f) { return TextoTelefono(Texto(f, fTel), Texto(f, fMovil)); }},
             {{595, 60, QStringLiteral("F. Nac"), kCentro},
              [=, this](int f) { return TextoFecha(Valor(f, fNac)); }},
             {{658, 60, QStringLiteral("F. Garan."), kCentro},
              [=, this](int f) { return TextoFecha(Valor(f, fGar)); }}});
    Band& s = m_report.summary();
    s.height = 22;
    s.addLine(QLineF(0, 2, kBodyWidth, 2), Qt::black, 1);
    s.addText(QRectF(0, 5, 400, 14), QString(), Fuente(8, true)).dynamicText = [this] {
        return QStringLiteral("Nº de Fichas con Garantía: %1").arg(m_report.rowCount);
    };
}

// ---- Consumption ----

TfrmReportConsumo::TfrmReportConsumo(TdmConsumo& modulo, const QString& conexion, bool detalle)
    : InformeTabla(QStringLiteral("Listado de Paciente Con Consumo Determinado"), conexion),
      m_modulo(modulo), m_conDetalle(detalle) {
    TextoModo = detalle ? QStringLiteral("Detalle") : QStringLiteral("Resumido");
}

void TfrmReportConsumo::leerOperaciones(int idPaciente) {
    m_operaciones.clear();
    QSqlQuery* q = m_modulo.AbrirDetalle(idPaciente);
    if (!q) throw Error(QStringLiteral("No se pueden leer las operaciones del paciente"));
    TLstUtil& u = Util();
    const QSqlRecord r = q->record();
    const auto col = [&r](const char* n) { return r.indexOf(QString::fromLatin1(n)); };
    const int cLiq = col(SegundaMoneda ? "LIQUIDO_M2" : "LIQUIDO_M1"), cFecha = col("FECHA"),
              cTalon = col("N_TALON"), cTipo = col("TIPO_OPERACION"),
              cDto = col("PORCENTAJE_DESCUENTO");
    while (q->next()) {
        const int tipo = q->value(cTipo).toInt();
        m_operaciones.push_back({u.Importe(q->value(cLiq).toDouble(), SegundaMoneda),
                                 TextoFecha(q->value(cFecha)), q->value(cTalon).toString(),
                                 u.EstadoDocumento(tipo), u.Porcentaje(q->value(cDto).toDouble()),
                                 tipo == 2 ? QString() : u.SiNo(tipo == 1 ? 1 : 0)});
    }
}

void TfrmReportConsumo::construir() {
    if (m_modulo.dstListado()) m_modulo.CrearTablaPaciente();
    Filas(*m_modulo.memPacientes, QStringLiteral("IdPaciente"));
    const int fId = Campo("IdPaciente"), fCodigo = Campo("Codigo"),
              fNombre = Campo("NombreCompleto"), fDir = Campo("Direccion"),
              fLoc = Campo("Localidad"), fTel = Campo("Telefono"), fMovil = Campo("Movil"),
              fNac = Campo("FNacimiento"), fConsumo = Campo("Consumo"),
              fNum = Campo("NOperaciones");
    Detalle({{{0, 45, QStringLiteral("Ficha")},
              [=, this](int f) { return TextoCodigo(Valor(f, fCodigo)); }},
             {{48, 170, QStringLiteral("Apellidos y Nombre")},
              [=, this](int f) { return Texto(f, fNombre); }},
             {{221, 150, QStringLiteral("Dirección")}, [=, this](int f) { return Texto(f, fDir); }},
             {{374, 100, QStringLiteral("Localidad")}, [=, this](int f) { return Texto(f, fLoc); }},
             {{477, 80, QStringLiteral("Teléfono")},
              [=, this](int f) { return TextoTelefono(Texto(f, fTel), Texto(f, fMovil)); }},
             {{560, 26, QStringLiteral("Ed."), kDerecha},
              [=, this](int f) {
                  const QString n = TextoFecha(Valor(f, fNac));
                  return n.isEmpty() ? n : Util().Edad(n);
              }},
             {{589, 74, QStringLiteral("Consumo"), kDerecha},
              [=, this](int f) {
                  return Util().Importe(Valor(f, fConsumo).toDouble(), SegundaMoneda);
              }},
             {{666, 52, QStringLiteral("Nº Op."), kDerecha},
              [=, this](int f) { return TextoCodigo(Valor(f, fNum)); }}});
    if (!m_conDetalle) return;
    // Operations under each patient, the patient's line unshaded.
    auto anterior = m_detalle->beforePrint;
    m_detalle->beforePrint = [this, anterior, fId] {
        if (!anterior()) return false;
        Proteger(
            "bndDetalleBeforePrint",
            [&] {
                leerOperaciones(Valor(m_report.currentRow(), fId).toInt());
                return true;
            },
            [this] { m_operaciones.clear(); });
        return true;
    };
    auto inicio = m_report.beforePrint;
    m_report.beforePrint = [this, inicio] {
        inicio();
        m_detalle->color = QColor();
    };
    m_detalle->afterPrint = nullptr;
    const QList<Columna> sub = {{60, 100, QStringLiteral("Líquido"), kDerecha},
                                {170, 70, QStringLiteral("Fecha"), kCentro},
                                {250, 80, QStringLiteral("Nº Talón")},
                                {340, 110, QStringLiteral("T. Operación")},
                                {460, 70, QStringLiteral("% Dto"), kDerecha},
                                {540, 120, QStringLiteral("Encargo Terminado"), kCentro}};
    SubDetail& s = m_report.addSubDetail(13);
    s.rowCount = [this] { return int(m_operaciones.size()); };
    s.header = std::make_unique<Band>(15);
    for (const Columna& c : sub)
        s.header->addText(QRectF(c.x, 0, c.ancho, 13), c.titulo, Fuente(7, true, true),
                          c.alineacion);
    s.header->addLine(QLineF(60, 14, kBodyWidth, 14), kPlata, 1);
    s.header->beforePrint = [this] { return !m_operaciones.empty(); };
    const QList<Item*> v = FilaTextos(*s.band, sub, 0, 13, Fuente(7));
    s.band->beforePrint = [this, v] {
        const Operacion& o = m_operaciones[size_t(m_report.currentSubRow())];
        const QStringList t = {o.liquido, o.fecha, o.talon, o.tipo, o.descuento, o.terminado};
        for (int i = 0; i < v.size(); ++i)
            v[i]->text = t[i];
        return true;
    };
}

// ---- Replacements ----

TfrmReportReposicionesResumido::TfrmReportReposicionesResumido(TdmReposiciones& modulo,
                                                               const QString& conexion)
    : InformeTabla(QStringLiteral("Listado de Reposiciones de Lentillas"), conexion),
      m_modulo(modulo) {
    TextoModo = QStringLiteral("Resumido");
}

void TfrmReportReposicionesResumido::construir() {
    Filas(*m_modulo.memReposiciones);
    const int fCodigo = Campo("Codigo"), fNombre = Campo("NombrePaciente"),
              fDir = Campo("Direccion"), fLoc = Campo("Localidad"), fTel = Campo("Telefono"),
              fMovil = Campo("Movil"), fFecha = Campo("Fecha"), fProv = Campo("NombreProveedor"),
              fCodProv = Campo("CodigoProveedor");
    Detalle({{{0, 45, QStringLiteral("Ficha")},
              [=, this](int f) { return TextoCodigo(Valor(f, fCodigo)); }},
             {{48, 190, QStringLiteral("Apellidos y Nombre")},
              [=, this](int f) { return Texto(f, fNombre); }},
             {{241, 170, QStringLiteral("Dirección")}, [=, this](int f) { return Texto(f, fDir); }},
             {{414, 120, QStringLiteral("Localidad")}, [=, this](int f) { return Texto(f, fLoc); }},
             {{537, 100, QStringLiteral("Teléfono")},
              [=, this](int f) { return TextoTelefono(Texto(f, fTel), Texto(f, fMovil)); }},
             {{640, 78, QStringLiteral("Fecha"), kCentro},
              [=, this](int f) { return TextoFecha(Valor(f, fFecha)); }}});

    // Ungrouped, the fittings follow their replacement date across the suppliers (the rows
    // come by supplier, then by date).
    if (!Agrupar) {
        OrdenarFilas([this, fFecha](int a, int b) {
            return Valor(a, fFecha).toDateTime() < Valor(b, fFecha).toDateTime();
        });
    } else {
        // A header per supplier.
        Group& g =
            m_report.addGroup([this, fCodProv](int fila) { return Valor(fila, fCodProv); }, 22);
        g.header->addLine(QLineF(0, 20, kBodyWidth, 20), Qt::black, 1);
        g.header->addText(QRectF(0, 4, 84, 15), QStringLiteral("Proveedor:"), Fuente(9, true));
        Item& proveedor =
            g.header->addText(QRectF(88, 4, 500, 15), QString(), Fuente(9, true, true));
        g.header->beforePrint = [this, &proveedor, fProv] {
            proveedor.text = Texto(m_report.currentRow(), fProv);
            return true;
        };
    }

    // Under the fitting: the captions, then one band per eye.
    const QList<Columna> ojo = {{60, 40, QStringLiteral("Ojo")},
                                {104, 200, QStringLiteral("Tipo de Lentilla")},
                                {308, 90, QStringLiteral("Radios")},
                                {402, 70, QStringLiteral("Esfera"), kDerecha},
                                {476, 70, QStringLiteral("Cilindro"), kDerecha},
                                {550, 60, QStringLiteral("Eje"), kDerecha},
                                {614, 60, QStringLiteral("Diam."), kDerecha}};
    // The captions travel with the fitting's line; the eyes it has follow, one band each.
    Band& titulos = m_detalle->addChild(12);
    for (const Columna& c : ojo)
        titulos.addText(QRectF(c.x, 0, c.ancho, 12), c.titulo, Fuente(7, true, true), c.alineacion);
    struct Ojo {
        QString lado;
        int hay, articulo, tipo, radio, esfera, cilindro, eje, diametro;
    };
    std::vector<Ojo> ojos;
    for (const char* lado : {"OD", "OI"}) {
        const QString l = QString::fromLatin1(lado);
        const auto campo = [this](const QString& n) { return m_tabla->fieldIndex(n); };
        ojos.push_back({l, Campo(l == QLatin1String("OD") ? "Derecho" : "Izquierdo"),
                        campo(QStringLiteral("Articulo") + l),
                        campo(QStringLiteral("IdTLentilla") + l),
                        campo(l + QStringLiteral("Radio")), campo(l + QStringLiteral("Esfera")),
                        campo(l + QStringLiteral("Cilindro")), campo(l + QStringLiteral("Eje")),
                        campo(l + QStringLiteral("Diametro"))});
    }
    const auto presentes = [this, ojos] {
        std::vector<Ojo> p;
        for (const Ojo& o : ojos)
            if (Valor(m_report.currentRow(), o.hay).toBool()) p.push_back(o);
        return p;
    };
    SubDetail& s = m_report.addSubDetail(12);
    s.rowCount = [presentes] { return int(presentes().size()); };
    const QList<Item*> v = FilaTextos(*s.band, ojo, 0, 12, Fuente(7));
    s.band->beforePrint = [this, v, presentes] {
        const int f = m_report.currentRow();
        const Ojo o = presentes()[size_t(m_report.currentSubRow())];
        TLstUtil& u = Util();
        QString tipo = o.articulo < 0 ? QString() : Texto(f, o.articulo);
        if (tipo.isEmpty() && o.tipo >= 0) tipo = u.DescripcionTLentilla(Valor(f, o.tipo).toInt());
        const auto numero = [&](int campo) { return campo < 0 ? QVariant() : Valor(f, campo); };
        const QStringList t = {
            o.lado, tipo, o.radio < 0 ? QString() : Texto(f, o.radio),
            numero(o.esfera).isNull() ? QString() : u.Graduacion(numero(o.esfera).toString()),
            numero(o.cilindro).isNull() ? QString() : u.Graduacion(numero(o.cilindro).toString()),
            // 98 and 400 are the shop's "no value" for an axis.
            numero(o.eje).isNull() || numero(o.eje).toInt() == 98 || numero(o.eje).toInt() == 400
                ? QString()
                : QString::number(numero(o.eje).toInt()),
            numero(o.diametro).isNull() ? QString() : u.Decimal1(numero(o.diametro).toDouble())};
        for (int i = 0; i < v.size(); ++i)
            v[i]->text = t[i];
        return true;
    };
}

} // namespace quill::print
