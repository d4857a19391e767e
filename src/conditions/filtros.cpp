#include "conditions/filtros.h"
#include "conditions/condicion.h"

#include "conditions/catalogo.h"
#include "conditions/tdmlstpaciente.h"
#include "conditions/tlstfiltros.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "platform/modal.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <exception>
#include <vector>

namespace quill {

namespace {

const QString kVacio = QStringLiteral("Vacío");
const QString kNoVacio = QStringLiteral("No Vacío");

// Longest file name the file systems we write to take, in bytes.
constexpr int kMaxBytesFichero = 255;

// One saved record, read whole before any table is touched.
struct Registro {
    int idCampo1 = -1;
    QString operador;
    int tipoObjeto = 0;
    QString condicion;
    QString condicionIds;
    QString valor1;
    QString valor2;
};

QString motivoDe(const std::exception& e) {
    if (const auto* error = dynamic_cast<const Error*>(&e)) return error->message();
    return QString::fromUtf8(e.what());
}

void avisar(const QString& texto) {
    Modal::current().message(QStringLiteral("AVISO"), texto, MessageIcon::Stop);
}

int idEntero(const QVariant& v) {
    if (v.isNull()) return -1;
    const double d = v.toDouble();
    return std::isfinite(d) ? static_cast<int>(std::trunc(d)) : -1;
}

// Value-list fields (single and multiple choice) are the only ones whose values are saved.
bool esCampoLista(int tipoCondicion) {
    return tipoCondicion == 3 || tipoCondicion == 4;
}

// Restores the flag however the row's post ends.
class FlagReconstruir {
public:
    explicit FlagReconstruir(bool& flag) : flag_(flag) {}
    ~FlagReconstruir() { flag_ = true; }
    FlagReconstruir(const FlagReconstruir&) = delete;
    FlagReconstruir& operator=(const FlagReconstruir&) = delete;

private:
    bool& flag_;
};

} // namespace

QString MensajeErrorFiltro() {
    return QStringLiteral("Ha ocurrido un Error al Generar el Archivo del Filtro");
}

QString MensajeNombreVacio() {
    return QStringLiteral("Debe introducir una descripción para el Registro");
}

QString PreguntaSobreescribir() {
    return QStringLiteral("El Filtro Seleccionado ya existe, ¿Desea sobreescribirlo?");
}

QString ComprobarNombreFiltro(const QString& nombre) {
    if (nombre.trimmed().isEmpty()) return MensajeNombreVacio();
    static const QString prohibidos = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : nombre) {
        if (prohibidos.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("El nombre del filtro no puede contener ninguno de estos "
                                  "caracteres: \\ / : * ? \" < > |");
    }
    if (nombre.contains(QStringLiteral(".xml"), Qt::CaseInsensitive))
        return QStringLiteral("El nombre del filtro no puede contener el texto '.xml'");
    if (nombre.toUtf8().size() + 4 > kMaxBytesFichero)
        return QStringLiteral("El nombre del filtro es demasiado largo");
    return QString();
}

QStringList FiltrosDisponibles(TLstFiltros& buscador, qint16 tipoListado) {
    QStringList nombres;
    const QString carpeta = buscador.CarpetaFiltros();
    if (carpeta.isEmpty()) return nombres;
    const QDir dir(carpeta);
    const QStringList ficheros = dir.entryList(
        {QStringLiteral("*.xml")}, QDir::Files | QDir::Hidden | QDir::CaseSensitive, QDir::Name);
    buscador.setTipoListado(tipoListado);
    for (const QString& fichero : ficheros) {
        buscador.setNombreFichero(carpeta + QDir::separator() + fichero);
        const bool delListado = buscador.AbrirExistente() == TLstFiltros::Correcto;
        buscador.Cerrar();
        if (delListado) nombres.append(fichero.left(fichero.indexOf(QStringLiteral(".xml"))));
    }
    return nombres;
}

ResultadoFiltro GuardarFiltro(TLstFiltros& filtros, MemTable& tabla, qint16 tipoListado, bool todas,
                              const QString& nombre) {
    ResultadoFiltro r;
    const QString malNombre = ComprobarNombreFiltro(nombre);
    if (!malNombre.isEmpty()) {
        Modal::current().message(QStringLiteral("ERROR"), malNombre, MessageIcon::Stop);
        r.codigo = kNombreFiltroNoValido;
        r.detalle = malNombre;
        return r;
    }

    filtros.setNombreFichero(nombre);
    filtros.setTipoListado(tipoListado);
    if (filtros.AbrirFichero() != TLstFiltros::Correcto) {
        r.codigo = filtros.Resultado();
        r.detalle = filtros.Error();
        avisar(MensajeErrorFiltro());
        return r;
    }
    const bool creado = filtros.FicheroCreado();
    const QString ruta = filtros.Ruta();

    auto deshacer = [&](qint16 codigo, const QString& motivo) {
        // Nothing of this save stays: the dataset is dropped unwritten and a file made for it
        // from the template goes too.
        filtros.Descartar();
        if (creado) QFile::remove(ruta);
        r.codigo = codigo;
        r.registros = 0;
        r.detalle = motivo;
        avisar(MensajeErrorFiltro());
        return r;
    };

    try {
        filtros.BorrarRegistros();
        if (tabla.isOpen()) {
            const int id = tabla.fieldIndex(quill::campo::Id);
            const int condicion = tabla.fieldIndex(quill::campo::Condicion);
            const int tipoCondicion = tabla.fieldIndex(quill::campo::TipoCondicion);
            const int tipoObjeto = tabla.fieldIndex(quill::campo::TipoObjeto);
            const int condicion1 = tabla.fieldIndex(quill::campo::Condicion1);
            const int ids = tabla.fieldIndex(quill::campo::Condicion1Ids);
            const int condicion2 = tabla.fieldIndex(quill::campo::Condicion2);
            if (id < 0 || condicion < 0 || tipoCondicion < 0 || tipoObjeto < 0 || condicion1 < 0 ||
                ids < 0)
                throw Error(QStringLiteral("La tabla '%1' no es una tabla de condiciones")
                                .arg(tabla.name()));
            // Rows are read by index, so the grid's cursor and a row being edited stay put.
            for (int fila = 0; fila < tabla.recordCount(); ++fila) {
                const bool lista = esCampoLista(tabla.valueAt(fila, tipoCondicion).toInt());
                filtros.setIdCampo1(idEntero(tabla.valueAt(fila, id)));
                filtros.setIdCampo2(-1);
                filtros.setOperador(tabla.textAt(fila, condicion));
                filtros.setTipoUnion(todas ? 1 : 0);
                filtros.setCondicion(lista ? tabla.textAt(fila, condicion1) : QString());
                filtros.setCondicionIds(lista ? tabla.textAt(fila, ids) : QString());
                filtros.setTipoObjeto(tabla.valueAt(fila, tipoObjeto).toInt());
                // Typed values are kept too, so a loaded filter runs as it was saved.
                filtros.setValor1(lista ? QString() : tabla.textAt(fila, condicion1));
                filtros.setValor2(lista || condicion2 < 0 ? QString()
                                                          : tabla.textAt(fila, condicion2));
                filtros.AnadirRegistro();
                ++r.registros;
            }
        }
    } catch (const std::exception& e) {
        return deshacer(TLstFiltros::ErrorFichero, motivoDe(e));
    }
    const int escritos = r.registros;
    if (filtros.Cerrar() != TLstFiltros::Correcto)
        return deshacer(filtros.Resultado(), filtros.Error());
    r.registros = escritos;
    return r;
}

ResultadoFiltro MostrarFiltros(TLstFiltros& filtros, const VentanaFiltro& ventana,
                               const QString& nombre) {
    ResultadoFiltro r;
    auto fallo = [&](qint16 codigo, const QString& motivo) {
        r.codigo = codigo;
        r.detalle = motivo;
        avisar(MensajeErrorFiltro());
        return r;
    };
    TdmlstPaciente* datos = ventana.datos;
    if (!datos || !datos->TablaActual() || !datos->cdsFiltros)
        return fallo(TLstFiltros::ErrorFichero,
                     QStringLiteral("No hay ningún listado elegido en el que cargar el filtro"));
    const QString malNombre = ComprobarNombreFiltro(nombre);
    if (!malNombre.isEmpty()) {
        Modal::current().message(QStringLiteral("ERROR"), malNombre, MessageIcon::Stop);
        r.codigo = kNombreFiltroNoValido;
        r.detalle = malNombre;
        return r;
    }

    // The whole file is read before anything is cleared: a file that cannot be read as a
    // filter leaves every condition as it was.
    filtros.setNombreFichero(nombre);
    if (filtros.AbrirFichero() != TLstFiltros::Correcto)
        return fallo(filtros.Resultado(), filtros.Error());
    std::vector<Registro> registros;
    try {
        for (; !filtros.FinFichero(); filtros.Siguiente()) {
            filtros.LeerRegistro();
            registros.push_back({filtros.IdCampo1(), filtros.Operador(), filtros.TipoObjeto(),
                                 filtros.Condicion(), filtros.CondicionIds(), filtros.Valor1(),
                                 filtros.Valor2()});
        }
    } catch (const std::exception& e) {
        filtros.Cerrar();
        return fallo(TLstFiltros::ErrorFichero, motivoDe(e));
    }
    // The choice follows the last record read (or stays as the holder had it).
    r.todas = filtros.TipoUnion() != 0;
    filtros.Cerrar();

    bool flagLocal = true;
    bool& reconstruir = ventana.reconstruir ? *ventana.reconstruir : flagLocal;
    QStringList listaLocal;
    QStringList& lista = ventana.lista ? *ventana.lista : listaLocal;
    MemTable& catalogo = *datos->cdsFiltros;

    try {
        if (ventana.limpiarCampos)
            ventana.limpiarCampos();
        else
            datos->VaciarTablas();
        MemTable& tabla = *datos->TablaActual();
        tabla.close();
        tabla.open();

        for (const Registro& reg : registros) {
            datos->Resultado = qint16(BuscarEnCatalogo(catalogo, reg.idCampo1));
            if (datos->Resultado != kEntradaEncontrada) {
                // A field the catalogue no longer offers (or not for this kind) is dropped.
                ++r.omitidos;
                continue;
            }
            const bool conValor = !reg.condicion.isEmpty();
            const bool sinValorPosible = reg.operador == kVacio || reg.operador == kNoVacio;
            const bool esLista = esCampoLista(catalogo.value(QStringLiteral("TIPOCAMPO")).toInt());
            const bool conValorEscrito = !esLista && !conValor && !reg.valor1.isEmpty();
            FlagReconstruir restaurar(reconstruir);
            tabla.append();
            try {
                tabla.setValue(quill::campo::Id, double(reg.idCampo1));
                tabla.setValue(quill::campo::IdGrupo, catalogo.value(QStringLiteral("IDGRUPO")));
                tabla.setValue(quill::campo::Campo, catalogo.asString(QStringLiteral("CAMPO")));
                tabla.setValue(quill::campo::TipoCondicion,
                               catalogo.value(QStringLiteral("TIPOCAMPO")));
                tabla.setValue(quill::campo::Condicion, reg.operador);
                tabla.setValue(quill::campo::TipoObjeto, reg.tipoObjeto);
                tabla.setValue(quill::campo::Condicion1,
                               conValorEscrito ? reg.valor1 : reg.condicion);
                if (conValorEscrito) tabla.setValue(quill::campo::Condicion2, reg.valor2);
                tabla.setValue(quill::campo::Condicion1Ids, reg.condicionIds);
                tabla.setValue(quill::campo::Contador, -1);
                // A row saved without its typed value (a file of an earlier version) waits for
                // the user to fill it in, without a fragment. Typed values, "Vacío" and
                // "No Vacío" are built now, with no ids of an earlier row.
                if (conValor)
                    lista = reg.condicionIds.split(QLatin1Char(';'), Qt::SkipEmptyParts);
                else if (sinValorPosible || conValorEscrito)
                    lista.clear();
                reconstruir = conValor || sinValorPosible || conValorEscrito;
                tabla.post();
            } catch (...) {
                if (tabla.state() != MemTable::State::Browse) tabla.cancel();
                throw;
            }
            ++r.registros;
        }
    } catch (const std::exception& e) {
        // The rows read so far stay; the message says the filter did not load whole.
        return fallo(TLstFiltros::ErrorFichero, motivoDe(e));
    }
    return r;
}

} // namespace quill
