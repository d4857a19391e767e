#include "construir.h"

#include "platform/guard.h"
#include "sql/lstsentpaciente.h"
#include "sql/valores.h"

#include <cmath>
#include <exception>

namespace quill {

namespace {

int idEntero(double id) {
    if (!std::isfinite(id)) return -1;
    return static_cast<int>(std::trunc(id));
}

// The properties every plain build sets, in the window's order.
void prepararConstructor(TLstSentPaciente& c, const CondicionFila& fila, QStringList* ids) {
    c.setId(fila.id);
    c.setCondicion(fila.condicion);
    c.setCondicion1(fila.condicion1);
    c.setCondicion2(fila.condicion2);
    c.setLista(ids);
}

ResultadoCondicion construir(TLstSentPaciente& c, const CondicionFila& fila, QStringList& ids,
                             const QList<CondicionFila>& articulos) {
    ResultadoCondicion r;
    switch (CampoEspecialDe(fila.id)) {
    case CampoEspecial::CodigoPostal:
        prepararConstructor(c, fila, &ids);
        r.sentencia = c.CodigosPostales();
        r.conSentencia = true;
        return r;
    case CampoEspecial::Provincia:
        // Only the operator and the chosen provinces matter; the values are not handed over.
        c.setId(fila.id);
        c.setCondicion(fila.condicion);
        c.setLista(&ids);
        r.sentencia = c.LocalidadesProvincia();
        r.conSentencia = true;
        return r;
    case CampoEspecial::FechaFicha:
        // The record dates read no ids; the list is still handed over so the builder never
        // keeps a list of an earlier row that may be gone.
        prepararConstructor(c, fila, &ids);
        r.sentencia = c.GenerarSentencia();
        r.conSentencia = true;
        return r;
    case CampoEspecial::TipoPrescripcion:
    case CampoEspecial::Deuda:
        return r;
    case CampoEspecial::Articulos:
        c.setTipoListado(TipoListadoArticulos(fila.id));
        for (const CondicionFila& articulo : articulos) {
            prepararConstructor(c, articulo, &ids);
            r.articulos += c.GenerarSentenciaConsumo();
        }
        return r;
    case CampoEspecial::TipoFicha:
    case CampoEspecial::GarantiaTipoFicha:
    case CampoEspecial::GarantiaOjo:
    case CampoEspecial::Ninguno:
        break;
    }
    prepararConstructor(c, fila, &ids);
    r.sentencia = c.GenerarSentencia();
    r.conSentencia = true;
    return r;
}

ResultadoCondicion fallo(const QString& detalle) {
    ResultadoCondicion r;
    r.codigo = kErrorCondicion;
    r.mensaje = fragmentErrorMessage();
    r.detalle = detalle;
    return r;
}

} // namespace

CampoEspecial CampoEspecialDe(double id) {
    switch (idEntero(id)) {
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
    switch (idEntero(id)) {
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

ResultadoCondicion ConstruirCondicion(TLstSentPaciente& constructor, const CondicionFila& fila,
                                      QStringList& ids, const QList<CondicionFila>& articulos) {
    try {
        return construir(constructor, fila, ids, articulos);
    } catch (const Error& e) {
        return fallo(e.message());
    } catch (const std::exception& e) {
        return fallo(QString::fromUtf8(e.what()));
    } catch (...) {
        return fallo(unknownErrorText());
    }
}

} // namespace quill
