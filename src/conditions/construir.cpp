#include "conditions/construir.h"

#include "platform/guard.h"
#include "platform/memtable.h"
#include "sql/lstbasesentencia.h"
#include "sql/lstsentpaciente.h"
#include "sql/valores.h"

#include <exception>

namespace quill {

namespace {

// The properties every plain build sets, in the window's order.
void prepararConstructor(TLstSentPaciente& c, const FilaCondicion& fila, QStringList* ids) {
    c.setId(fila.id);
    c.setCondicion(fila.condicion);
    c.setCondicion1(fila.condicion1);
    c.setCondicion2(fila.condicion2);
    c.setLista(ids);
}

// A debt value as a number; an empty value is 0 only where the operator needs none.
double numeroDeuda(const QString& texto, const QString& condicion) {
    if (texto.trimmed().isEmpty() &&
        (condicion == operador::Vacio || condicion == operador::NoVacio))
        return 0.0;
    return checkedNumber(texto).toDouble();
}

ResultadoCondicion conSentencia(const QString& sentencia) {
    ResultadoCondicion r;
    r.conSentencia = true;
    r.sentencia = sentencia;
    return r;
}

ResultadoCondicion construir(TLstSentPaciente& c, const FilaCondicion& fila, QStringList& ids,
                             const MemTable* seleccion, ParametrosListado* p) {
    switch (CampoEspecialDe(fila.id)) {
    case CampoEspecial::CodigoPostal:
        prepararConstructor(c, fila, &ids);
        return conSentencia(c.CodigosPostales());
    case CampoEspecial::Provincia:
        // Only the operator and the chosen provinces matter; the values are not handed over.
        c.setId(fila.id);
        c.setCondicion(fila.condicion);
        c.setLista(&ids);
        return conSentencia(c.LocalidadesProvincia());
    case CampoEspecial::FechaFicha:
        // The record dates read no ids; the list is still handed over so the builder never
        // keeps a list of an earlier row that may be gone.
        prepararConstructor(c, fila, &ids);
        return conSentencia(c.GenerarSentencia());
    case CampoEspecial::TipoPrescripcion:
        if (p) p->tipoPrescripcion = fila.condicion1;
        return {};
    case CampoEspecial::Deuda: {
        const double valor1 = numeroDeuda(fila.condicion1, fila.condicion);
        const bool unValor =
            fila.condicion == operador::IgualA || fila.condicion == operador::DistintoDe ||
            fila.condicion == operador::MayorQue || fila.condicion == operador::MenorQue;
        const double valor2 = unValor ? -1.0 : numeroDeuda(fila.condicion2, fila.condicion);
        if (p) {
            p->deudaValor1 = valor1;
            p->deudaValor2 = valor2;
            p->deudaOperador = fila.condicion;
        }
        return {};
    }
    case CampoEspecial::Articulos: {
        // The row's own selection: its conditions, each in parentheses, joined by AND.
        const QString sentencia =
            seleccion ? SentenciaArticulos(c, TipoListadoArticulos(fila.id), *seleccion)
                      : QString();
        if (p) p->condicionesArticulos += sentencia;
        return conSentencia(sentencia);
    }
    case CampoEspecial::TipoFicha:
        if (p) p->familias = ids;
        break;
    case CampoEspecial::GarantiaTipoFicha:
        if (p) p->familiasGarantia = ids;
        break;
    case CampoEspecial::GarantiaOjo:
        if (p) p->ojosGarantia = QStringList{ids.join(QLatin1Char('\n'))};
        break;
    case CampoEspecial::Ninguno:
        break;
    }
    prepararConstructor(c, fila, &ids);
    return conSentencia(c.GenerarSentencia());
}

ResultadoCondicion fallo(const QString& detalle) {
    ResultadoCondicion r;
    r.codigo = kErrorCondicion;
    r.mensaje = fragmentErrorMessage();
    r.detalle = detalle;
    return r;
}

QStringList idsDe(const QString& texto) {
    QStringList ids;
    for (const QString& id : texto.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!id.trimmed().isEmpty()) ids.append(id.trimmed());
    return ids;
}

} // namespace

CampoEspecial CampoEspecialDe(double id) {
    switch (IdEntero(id)) {
    case 4:
        return CampoEspecial::CodigoPostal;
    case 6:
        return CampoEspecial::Provincia;
    case 433:
    case 434:
    case 435:
        return CampoEspecial::FechaFicha;
    case 463:
        return CampoEspecial::TipoPrescripcion;
    case 552:
        return CampoEspecial::Deuda;
    case 91:
    case 129:
    case 192:
        return CampoEspecial::Articulos;
    case 50:
        return CampoEspecial::TipoFicha;
    case 3001:
        return CampoEspecial::GarantiaTipoFicha;
    case 3003:
        return CampoEspecial::GarantiaOjo;
    default:
        return CampoEspecial::Ninguno;
    }
}

qint16 TipoListadoArticulos(double id) {
    switch (IdEntero(id)) {
    case 91:
        return 2;
    case 129:
        return 3;
    case 192:
        return 4;
    default:
        return 0;
    }
}

void ParametrosListado::AlBorrar(double id) {
    switch (CampoEspecialDe(id)) {
    case CampoEspecial::TipoFicha:
        familias.clear();
        break;
    case CampoEspecial::TipoPrescripcion:
        tipoPrescripcion = ParametrosListado().tipoPrescripcion;
        break;
    default:
        break;
    }
}

ResultadoCondicion ConstruirCondicion(TLstSentPaciente& constructor, const FilaCondicion& fila,
                                      QStringList& ids, const MemTable* seleccion,
                                      ParametrosListado* parametros) {
    // A refused row hands nothing over: the parameters change only after a whole build.
    ParametrosListado nuevos = parametros ? *parametros : ParametrosListado();
    try {
        ResultadoCondicion r =
            construir(constructor, fila, ids, seleccion, parametros ? &nuevos : nullptr);
        if (parametros) *parametros = std::move(nuevos);
        return r;
    } catch (const ValorNoValido& e) {
        // Said in the user's terms, with the field it was typed in.
        ResultadoCondicion r = fallo(e.Explicacion(fila.campo));
        r.mensaje = r.detalle;
        return r;
    } catch (const Error& e) {
        return fallo(e.message());
    } catch (const std::exception& e) {
        return fallo(QString::fromUtf8(e.what()));
    } catch (...) {
        return fallo(unknownErrorText());
    }
}

ResultadoCondicion ConstruirFila(TLstSentPaciente& constructor, MemTable& tabla, QStringList& ids,
                                 const MemTable* seleccion, ParametrosListado& parametros) {
    const ResultadoCondicion r =
        ConstruirCondicion(constructor, FilaActual(tabla), ids, seleccion, &parametros);
    if (r.codigo == kCondicionConstruida && r.conSentencia)
        tabla.setValue(campo::Sentencia, r.sentencia);
    return r;
}

bool FilaSinValor(const FilaCondicion& f) {
    return f.condicion1.isEmpty() && !f.campo.isEmpty() && f.condicion != operador::Vacio &&
           f.condicion != operador::NoVacio;
}

QString ValidarCondiciones(const MemTable& t, TLstSentPaciente* constructor,
                           const SeleccionArticulos& seleccion) {
    bool todasEspeciales = true;
    for (int i = 0; i < t.recordCount(); ++i) {
        const FilaCondicion f = LeerFila(t, i);
        if (FilaSinValor(f))
            return QStringLiteral("No pueden existir registros vacios. Por favor borre los filtros "
                                  "que no desee mediante 'Control + Sup'");
        if (f.idEntero() != 55 && f.idEntero() != 95) todasEspeciales = false;
    }
    if (t.recordCount() > 0 && todasEspeciales)
        return QStringLiteral("El filtro seleccionado no puede generar un listado por si mismo, "
                              "debe seleccionar algún filtro más");
    if (!constructor) return QString();
    QString motivo;
    for (int i = 0; i < t.recordCount() && motivo.isEmpty(); ++i) {
        const FilaCondicion f = LeerFila(t, i);
        if (f.campo.isEmpty()) continue; // a row where no field was chosen yet
        const MemTable* articulos = seleccion && CampoEspecialDe(f.id) == CampoEspecial::Articulos
                                        ? seleccion(f.contador)
                                        : nullptr;
        QStringList ids = idsDe(f.condicion1Ids);
        const ResultadoCondicion r = ConstruirCondicion(*constructor, f, ids, articulos);
        if (r.codigo != kCondicionConstruida)
            motivo = QStringLiteral("La condición «%1» tiene un valor que no puede usarse: %2. "
                                    "Corríjalo o borre la fila con 'Control + Sup' antes de "
                                    "continuar.")
                         .arg(f.campo, r.detalle);
    }
    // The local list dies here; the builder must not keep pointing at it.
    constructor->setLista(nullptr);
    return motivo;
}

QStringList ReconstruirTablas(TLstSentPaciente& constructor, const MemTable& t,
                              const SeleccionArticulos& seleccion) {
    constructor.VaciarTablas();
    for (int i = 0; i < t.recordCount(); ++i) {
        const FilaCondicion fila = LeerFila(t, i);
        // A condition that restricts nothing brings no table, as when it was built.
        if (fila.sentencia.trimmed().isEmpty()) continue;
        const MemTable* articulos =
            seleccion && CampoEspecialDe(fila.id) == CampoEspecial::Articulos
                ? seleccion(fila.contador)
                : nullptr;
        QStringList ids = idsDe(fila.condicion1Ids);
        ConstruirCondicion(constructor, fila, ids, articulos);
    }
    // The local list dies here; the builder must not keep pointing at it.
    constructor.setLista(nullptr);
    return constructor.Tablas();
}

QString UnirSentenciasArticulos(const QStringList& fragmentos) {
    QStringList partes;
    for (const QString& f : fragmentos) {
        const QString t = f.trimmed();
        if (!t.isEmpty()) partes << QLatin1Char('(') + t + QLatin1Char(')');
    }
    return partes.join(QStringLiteral(" AND "));
}

QString SentenciaArticulos(TLstSentPaciente& constructor, qint16 tipoListado,
                           const MemTable& seleccion, const GeneradorArticulo& generar) {
    const QStringList tablasAntes = constructor.Tablas();
    auto texto = [&seleccion](int fila, const QString& nombre) {
        const int f = seleccion.fieldIndex(nombre);
        return f < 0 ? QString() : seleccion.textAt(fila, f);
    };
    const int fId = seleccion.fieldIndex(campo::Id);
    constructor.setTipoListado(tipoListado);
    QStringList fragmentos;
    QStringList ids;
    try {
        for (int fila = 0; fila < seleccion.recordCount(); ++fila) {
            const QVariant id = fId < 0 ? QVariant() : seleccion.valueAt(fila, fId);
            ids = idsDe(texto(fila, campo::IdsCondicion1));
            constructor.setId(id.isNull() ? -1.0 : id.toDouble());
            constructor.setCondicion(texto(fila, campo::Condicion));
            constructor.setCondicion1(texto(fila, campo::Condicion1));
            constructor.setCondicion2(texto(fila, campo::Condicion2));
            constructor.setLista(&ids);
            fragmentos << (generar ? generar(constructor) : constructor.GenerarSentenciaConsumo());
        }
    } catch (...) {
        // A refused condition leaves no table of the conditions before it behind.
        constructor.setLista(nullptr);
        constructor.VaciarTablas();
        for (const QString& t : tablasAntes)
            constructor.AnadirTabla(t);
        throw;
    }
    constructor.setLista(nullptr);
    return UnirSentenciasArticulos(fragmentos);
}

} // namespace quill
