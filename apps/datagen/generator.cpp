#include "generator.h"

#include "catalog.h"
#include "generator_p.h"
#include "identity.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace quill::datagen {

using namespace detail;

namespace {

struct Maestro {
    const char* table;
    const char* key;
    std::vector<const char*> nombres;
};

const Maestro kFamilias{"FAMILIA",
                        "ID_FAMILIA",
                        {"Monturas", "Gafas de sol", "Lentes oftálmicas", "Lentes de contacto",
                         "Líquidos de mantenimiento", "Audífonos", "Pilas", "Accesorios",
                         "Baja visión"}};
const Maestro kTiposArticulo{"TARTICULO",
                             "ID_TARTICULO",
                             {"Montura", "Gafa de sol", "Cristal", "Lentilla", "Líquido",
                              "Audífono", "Pila", "Accesorio", "Ayuda óptica"}};
const Maestro kTratamientos{"TRATAMIENTO",
                            "ID_TRATAMIENTO",
                            {"Antirreflejante", "Endurecido", "Filtro luz azul", "Fotocromático",
                             "Polarizado", "Hidrofóbico", "Espejado", "Tintado degradado"}};
const Maestro kMarcas{"MARCA", "ID_MARCA", {"Ocularia",  "Miravista",    "Lumen",     "Bruma",
                                            "Cierzo",    "Tramontana",   "Mistral",   "Levante",
                                            "Sirocco",   "Vela Eyewear", "Cristalia", "Opticlar",
                                            "Visionova", "Hidrolent",    "Aqualens",  "Corneal",
                                            "Audiplus",  "Sonora",       "Eco Audio", "Timbre"}};
const Maestro kTiposCristal{"TCRISTAL",
                            "ID_TCRISTAL",
                            {"Monofocal orgánico 1.50", "Monofocal orgánico 1.60",
                             "Monofocal orgánico 1.67", "Monofocal mineral", "Bifocal",
                             "Progresivo estándar", "Progresivo personalizado", "Ocupacional"}};
const Maestro kTiposLentilla{"TLENTILLA",
                             "ID_TLENTILLA",
                             {"Diaria esférica", "Quincenal esférica", "Mensual esférica",
                              "Mensual tórica", "Mensual multifocal", "Rígida permeable (RPG)",
                              "Ortoqueratología", "Anual convencional"}};
const Maestro kAlmacenes{"ALMACEN", "ID_ALMACEN", {"Tienda", "Almacén central", "Taller"}};
const Maestro kGrupos{"GRUPO", "ID_GRUPO", {"Óptica", "Contactología", "Audiología", "Varios"}};
const Maestro kFormasPago{"FORMA_PAGO",
                          "ID_FORMA_PAGO",
                          {"Efectivo", "Tarjeta", "Transferencia", "Financiado", "Pago móvil"}};

// Families, article types and tax rates of each class of article (ids of the masters above
// and of IVA).
struct ClaseInfo {
    int familia;
    int tipoArticulo;
    int iva;
    int grupo;
};
constexpr ClaseInfo kClaseInfo[DemoGenerator::kClases] = {
    {1, 1, 1, 1}, // Montura
    {2, 2, 1, 1}, // Sol
    {3, 3, 2, 1}, // Cristal
    {4, 4, 2, 2}, // Lentilla
    {5, 5, 1, 2}, // Liquido
    {6, 6, 2, 3}, // Audifono
    {7, 7, 1, 3}, // Pila
    {8, 8, 1, 4}, // Accesorio
    {9, 9, 2, 1}, // Lupa
};

QString capitalizar(const QString& s) {
    static const QStringList menores = {QStringLiteral("de"),  QStringLiteral("del"),
                                        QStringLiteral("la"),  QStringLiteral("las"),
                                        QStringLiteral("los"), QStringLiteral("y")};
    QStringList words = s.toLower().split(u' ');
    for (int i = 0; i < words.size(); ++i) {
        QString& w = words[i];
        if (w.isEmpty() || (i > 0 && menores.contains(w))) continue;
        w[0] = w[0].toUpper();
        for (int j = 1; j < w.size(); ++j)
            if (w[j - 1] == u'-') w[j] = w[j].toUpper();
    }
    return words.join(u' ');
}

} // namespace

// ------------------------------------------------------------------------------------------

DemoGenerator::DemoGenerator(const QSqlDatabase& db, const SchemaInfo& schema,
                             const GeneratorOptions& options)
    : db_(db), schema_(schema), options_(options), base_(options.semilla) {
    if (!options_.hoy.isValid()) options_.hoy = QDate::currentDate();
}

DemoGenerator::~DemoGenerator() = default;

TableWriter& DemoGenerator::writer(const QString& table) {
    auto it = writers_.find(table);
    if (it == writers_.end())
        throw DatagenError(QStringLiteral("Falta la tabla %1 en el esquema.").arg(table));
    return *it->second;
}

void DemoGenerator::createWriters() {
    const auto cols = [](std::initializer_list<const char*> names) {
        QStringList out;
        for (const char* n : names)
            out << QString::fromLatin1(n);
        return out;
    };
    const auto ojos = [](const QStringList& measures) {
        QStringList out;
        for (const QString& m : measures)
            out << QStringLiteral("OD_") + m << QStringLiteral("OI_") + m;
        return out;
    };
    QStringList audiograma;
    for (const char* kind : {"AEREA", "OSEA", "UMBRAL"})
        for (const char* ear : {"OD", "OI"})
            for (int hz : {125, 250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000})
                audiograma << QStringLiteral("%1_%2_%3")
                                  .arg(QLatin1String(ear), QLatin1String(kind))
                                  .arg(hz);
    QStringList optometria = cols({"ID_OPTOMETRIA",
                                   "ID_PACIENTE",
                                   "NUMERO_FICHA",
                                   "ID_TIENDA",
                                   "FECHA_EX_MEDICO",
                                   "FECHA_EX_OPTICO",
                                   "ID_DOCTOR_EX_MEDICO",
                                   "ID_DOCTOR_EX_OPTICO",
                                   "QUEJA_PRINCIPAL",
                                   "MEDICAMENTOS",
                                   "ALERGIAS",
                                   "HISTORIAL_FAMILIA",
                                   "AV_BINOCULAR",
                                   "PRE_SEGUIMIENTOS",
                                   "PRE_SACADICOS",
                                   "PRE_PIRRLA",
                                   "PRE_COVER_LEJOS_SC",
                                   "PRE_COVER_CERCA_SC",
                                   "PRE_PPC",
                                   "PRE_ESTEREOPSIS",
                                   "PRE_WORTH",
                                   "TR_OBSERVACIONES",
                                   "TB_FORIA_LEJOS_SC",
                                   "TB_FORIA_CERCA_SC",
                                   "TB_ARN",
                                   "TB_ARP",
                                   "TB_OBSERVACIONES",
                                   "BI_OBSERVACIONES",
                                   "OF_OBSERVACIONES",
                                   "TA_FECHA_REVISION",
                                   "TA_CONCLUSIONES",
                                   "TA_OBSERVACIONES"});
    optometria << ojos(cols({"ESFERA_LEJOS", "ESFERA_CERCA", "CILINDRO", "EJE", "ADICION",
                             "AGUDEZA_VISUAL_SC", "AGUDEZA_VISUAL_CC", "TONOMETRIA",
                             "QUERATOMETRIA", "REF_ANTERIOR", "REF_FINAL"}))
               << cols({"PRE_OD_SC_LEJOS",    "PRE_OI_SC_LEJOS",  "PRE_OD_CC_LEJOS",
                        "PRE_OI_CC_LEJOS",    "PRE_OD_COLOR",     "PRE_OI_COLOR",
                        "TR_OD_SUB_ESFERA",   "TR_OI_SUB_ESFERA", "TR_OD_SUB_CILINDRO",
                        "TR_OI_SUB_CILINDRO", "TR_OD_SUB_EJE",    "TR_OI_SUB_EJE",
                        "TR_OD_SUB_AV",       "TR_OI_SUB_AV",     "BI_OD_CORNEA",
                        "BI_OI_CORNEA",       "BI_OD_CRISTALINO", "BI_OI_CRISTALINO",
                        "BI_OD_BUT",          "BI_OI_BUT",        "OF_OD_PAPILA_COLOR",
                        "OF_OI_PAPILA_COLOR", "OF_OD_MAC_FIJ",    "OF_OI_MAC_FIJ",
                        "TA_OD_PIO",          "TA_OI_PIO"});

    const std::vector<std::pair<const char*, QStringList>> tables = {
        {"PROVINCIA", cols({"ID_PROVINCIA", "DESCRIPCION"})},
        {"LOCALIDAD", cols({"ID_LOCALIDAD", "DESCRIPCION", "CODIGO_POSTAL", "ID_PROVINCIA"})},
        {"TIENDA", cols({"ID_TIENDA", "DESCRIPCION", "DIRECCION", "ID_LOCALIDAD", "TELEFONO"})},
        {"EMPRESA", cols({"ID_EMPRESA", "NOMBRE", "NIF", "DIRECCION", "ID_LOCALIDAD", "TELEFONO",
                          "FAX", "E_MAIL"})},
        {"DOCTOR", cols({"ID_DOCTOR", "NOMBRE", "APELLIDOS", "COLEGIADO"})},
        {"AGENTE", cols({"ID_AGENTE", "NOMBRE", "APELLIDOS"})},
        {"PROVEEDOR", cols({"ID_PROVEEDOR", "CODIGO", "NOMBRE", "NIF", "TELEFONO"})},
        {"IVA", cols({"ID_IVA", "DESCRIPCION", "PORCENTAJE"})},
        {"ARTICULO", cols({"REFERENCIA",       "DESCRIPCION",
                           "CODIGO_BARRAS",    "REFERENCIA_PROVEEDOR",
                           "ID_FAMILIA",       "ID_IVA_COMPRA",
                           "ID_IVA_VENTA",     "ID_PROVEEDOR",
                           "ID_TARTICULO",     "ID_TRATAMIENTO_1",
                           "ID_TRATAMIENTO_2", "ID_TRATAMIENTO_3",
                           "ID_MARCA",         "ID_TIPO",
                           "MODELO",           "RADIO_1",
                           "RADIO_2",          "VARILLA",
                           "TAMANO",           "CILINDRO",
                           "PVP_M1",           "PVP_M2"})},
        {"PACIENTE", cols({"ID_PACIENTE",
                           "CODIGO",
                           "LICENCIA",
                           "BORRADO",
                           "APELLIDOS",
                           "NOMBRE",
                           "NOMBRE_COMPLETO",
                           "DIRECCION",
                           "ID_LOCALIDAD",
                           "TELEFONO",
                           "TELEFONO_MOVIL",
                           "NIF",
                           "SEXO",
                           "PROFESION",
                           "VIENE_POR",
                           "FECHA_NACIMIENTO",
                           "FECHA_PRIMERA_VISITA",
                           "FECHA_ULTIMA_VISITA",
                           "FECHA_CARNET",
                           "ULTIMO_DESCUENTO",
                           "TOTAL_COMPRADO_M1",
                           "TOTAL_COMPRADO_M2",
                           "E_MAIL",
                           "WEB",
                           "FOTOGRAFIA",
                           "CORREO",
                           "TIENDA"})},
        {"POBSERVACIONES", cols({"ID_POBSERVACIONES", "ID_PACIENTE", "OBSERVACIONES"})},
        {"MGRADUACION",
         cols({"ID_MGRADUACION", "ID_PACIENTE", "NUMERO_FICHA", "FECHA", "FECHA_REVISION",
               "ID_DOCTOR", "ID_AGENTE", "ID_TIENDA", "PROPIA_AJENA", "AGUDEZA_VISUAL",
               "ADICION_AMBOS_OJOS"}) +
             ojos(cols({"ESFERA_LEJOS", "ESFERA_MEDIA", "ESFERA_CERCA", "CILINDRO", "EJE",
                        "ADICION", "DISTANCIA_LEJOS", "DISTANCIA_CERCA", "AGUDEZA_VISUAL_SC",
                        "AGUDEZA_VISUAL_CC", "TONOMETRIA", "PRISMA", "QUERATOMETRIA"}))},
        {"DGRADUACION",
         cols({"ID_DGRADUACION",   "ID_MGRADUACION",   "OJO",      "REFERENCIA", "DESCRIPCION",
               "TIPO_GRADUACION",  "FECHA_GARANTIA",   "ALTURA",   "MODELO",     "COLOR",
               "VARILLA",          "DIAMETRO",         "ESFERA",   "CILINDRO",   "ID_TRATAMIENTO_1",
               "ID_TRATAMIENTO_2", "ID_TRATAMIENTO_3", "ID_MARCA", "IMPORTE",    "IMPORTE_M1",
               "IMPORTE_M2"})},
        {"GOBSERVACIONES", cols({"ID_GOBSERVACIONES", "ID_MGRADUACION", "OBSERVACIONES"})},
        {"MLENTILLA",
         cols({"ID_MLENTILLA", "ID_PACIENTE", "NUMERO_FICHA", "FECHA", "FECHA_REVISION",
               "FECHA_LIMPIEZA", "FECHA_CADUCIDAD", "FECHA_REPOSICION", "ID_DOCTOR", "ID_AGENTE",
               "ID_TIENDA", "PROPIA_AJENA", "LIQUIDOS"}) +
             ojos(cols({"ESFERA", "CILINDRO", "EJE", "ADICION", "DIAMETRO", "ZONA_OPTICA",
                        "AGUDEZA_VISUAL_CC", "ABERTURA_PARPEBRAL", "DIAMETRO_PUPILAR",
                        "DIAMETRO_IRIS", "RADIO_1", "RADIO_2", "QUERATOMETRIA"}))},
        {"DLENTILLA", cols({"ID_DLENTILLA", "ID_MLENTILLA", "OJO", "REFERENCIA", "DESCRIPCION",
                            "ID_TLENTILLA", "LOTE", "FECHA_GARANTIA", "RADIO_1", "RADIO_2", "COLOR",
                            "DIAMETRO", "ESFERA", "IMPORTE_M1", "IMPORTE_M2"})},
        {"LOBSERVACIONES", cols({"ID_LOBSERVACIONES", "ID_MLENTILLA", "OBSERVACIONES"})},
        {"MAUDIFONO", cols({"ID_MAUDIFONO", "ID_PACIENTE", "NUMERO_FICHA", "FECHA",
                            "FECHA_REVISION", "FECHA_PROXIMA_REVISION", "FECHA_AEREA", "FECHA_OSEA",
                            "FECHA_ADAPTACION", "ID_DOCTOR_EXAMINA", "ID_DOCTOR_ADAPTA",
                            "ID_AGENTE", "ID_TIENDA", "PROPIA_AJENA", "OD_HAIC", "OI_HAIC"}) +
                          audiograma},
        {"DAUDIFONO", cols({"ID_DAUDIFONO", "ID_MAUDIFONO", "OIDO", "REFERENCIA", "DESCRIPCION",
                            "NUMERO_SERIE", "MODELO", "PILA", "MOLDE", "GARANTIA", "ID_MARCA",
                            "COLOR", "IMPORTE_M1", "IMPORTE_M2"})},
        {"AOBSERVACIONES", cols({"ID_AOBSERVACIONES", "ID_MAUDIFONO", "OBSERVACIONES"})},
        {"OPTOMETRIA", optometria},
        {"MOREDUCIDA", cols({"ID_MREDUCIDA", "ID_PACIENTE", "NUMERO_FICHA", "FECHA",
                             "FECHA_REVISION", "ID_TIENDA"})},
        {"OROBSERVACIONES", cols({"ID_OROBSERVACIONES", "ID_MREDUCIDA", "OBSERVACIONES"})},
        {"REPOSICION",
         cols({"ID_REPOSICION", "ID_PACIENTE", "NUMERO_FICHA", "FECHA", "TIPO_REPOSICION", "TIPO",
               "IMPORTE_M1", "IMPORTE_M2", "OBSERVACIONES"})},
        {"MVENTA", cols({"ID_MVENTA", "ID_PACIENTE", "N_TALON", "FECHA", "TIPO_OPERACION",
                         "ID_TIENDA", "ID_AGENTE", "ID_FORMA_PAGO", "PORCENTAJE_DESCUENTO",
                         "LIQUIDO_M1", "LIQUIDO_M2", "TERMINADO", "RECOGIDO"})},
        {"DVENTA", cols({"ID_DVENTA", "ID_MVENTA", "REFERENCIA", "DESCRIPCION", "UNIDADES",
                         "PORCENTAJE_DESCUENTO", "IMPORTE_M1", "IMPORTE_M2", "ID_ALMACEN",
                         "ID_GRUPO", "ID_AGENTE_1", "ID_AGENTE_2", "ID_AGENTE_3"})},
        {"COBRO",
         cols({"ID_COBRO", "ID_MVENTA", "FECHA", "ID_FORMA_PAGO", "IMPORTE_M1", "IMPORTE_M2"})},
    };
    std::vector<const Maestro*> maestros = {&kFamilias,  &kTiposArticulo, &kTratamientos,
                                            &kMarcas,    &kTiposCristal,  &kTiposLentilla,
                                            &kAlmacenes, &kGrupos,        &kFormasPago};
    for (const auto& [name, columns] : tables) {
        const TableInfo* info = schema_.table(QString::fromLatin1(name));
        if (!info)
            throw DatagenError(
                QStringLiteral("Falta la tabla %1 en el esquema.").arg(QLatin1String(name)));
        writers_[info->name] = std::make_unique<TableWriter>(db_, *info, columns);
    }
    for (const Maestro* m : maestros) {
        const TableInfo* info = schema_.table(QString::fromLatin1(m->table));
        if (!info)
            throw DatagenError(
                QStringLiteral("Falta la tabla %1 en el esquema.").arg(QLatin1String(m->table)));
        writers_[info->name] = std::make_unique<TableWriter>(
            db_, *info, QStringList{QString::fromLatin1(m->key), QStringLiteral("DESCRIPCION")});
    }
}

void DemoGenerator::run(const Progress& progress) {
    auto say = [&](const QString& s) {
        if (progress) progress(s);
    };
    createWriters();
    writeMasters();
    writeArticulos();
    writePaciente0();
    say(QStringLiteral("Generando %1 pacientes...").arg(options_.pacientes));
    const qint64 step = std::max<qint64>(1, options_.pacientes / 10);
    for (qint64 id = 1; id <= options_.pacientes; ++id) {
        if (options_.cancel && options_.cancel->load())
            throw DatagenError(QStringLiteral("Interrumpido: no se ha creado la base de datos."));
        writePaciente(id);
        if (id % step == 0 && id < options_.pacientes)
            say(QStringLiteral("  %1 de %2 pacientes").arg(id).arg(options_.pacientes));
    }
    for (auto& [name, w] : writers_)
        w->finish();
}

QMap<QString, qint64> DemoGenerator::rowCounts() const {
    QMap<QString, qint64> out;
    for (const auto& [name, w] : writers_)
        out.insert(name, w->count());
    return out;
}

QStringList DemoGenerator::missingColumns() const {
    QStringList out;
    for (const auto& [name, w] : writers_)
        for (const QString& c : w->missingColumns())
            out << name + u'.' + c;
    return out;
}

// ------------------------------------------------------------------------------ masters

void DemoGenerator::writeMasters() {
    Random r = base_.fork(0xA57E85);
    TableWriter& prov = writer(QStringLiteral("PROVINCIA"));
    for (const Provincia& p : provincias()) {
        prov.set(QStringLiteral("ID_PROVINCIA"), p.codigo);
        prov.set(QStringLiteral("DESCRIPCION"), u8(p.nombre));
        prov.add();
    }
    TableWriter& loc = writer(QStringLiteral("LOCALIDAD"));
    int idLocalidad = 0;
    for (const Localidad& l : localidades()) {
        loc.set(QStringLiteral("ID_LOCALIDAD"), ++idLocalidad);
        loc.set(QStringLiteral("DESCRIPCION"), u8(l.nombre));
        loc.set(QStringLiteral("CODIGO_POSTAL"), l.codigoPostal);
        loc.set(QStringLiteral("ID_PROVINCIA"), l.codigoPostal / 1000);
        loc.add();
        localidadWeights_.push_back(l.weight);
    }
    lastId_[QStringLiteral("LOCALIDAD")] = idLocalidad;

    // The shop's three branches, in Getafe (id of "Getafe" 28901 is looked up by postal code).
    const auto locs = localidades();
    auto idDe = [&](int cp) {
        for (std::size_t i = 0; i < locs.size(); ++i)
            if (locs[i].codigoPostal == cp) return static_cast<int>(i) + 1;
        return 0;
    };
    struct TiendaDemo {
        const char* nombre;
        const char* direccion;
        int cp;
        const char* telefono;
    };
    const TiendaDemo tiendas[] = {
        {"Óptica y Audiología Quillmore - Centro", "C/ Madrid, 42", 28901, "91 695 12 34"},
        {"Óptica y Audiología Quillmore - Sector III", "Avda. de las Ciudades, 7", 28905,
         "91 682 45 90"},
        {"Óptica Quillmore - Illescas", "C/ Real, 18", 45200, "925 51 22 03"},
    };
    TableWriter& tienda = writer(QStringLiteral("TIENDA"));
    int idTienda = 0;
    for (const TiendaDemo& t : tiendas) {
        tienda.set(QStringLiteral("ID_TIENDA"), ++idTienda);
        tienda.set(QStringLiteral("DESCRIPCION"), u8(t.nombre));
        tienda.set(QStringLiteral("DIRECCION"), u8(t.direccion));
        tienda.set(QStringLiteral("ID_LOCALIDAD"), idDe(t.cp));
        tienda.set(QStringLiteral("TELEFONO"), u8(t.telefono));
        tienda.add();
    }
    lastId_[QStringLiteral("TIENDA")] = idTienda;

    TableWriter& emp = writer(QStringLiteral("EMPRESA"));
    emp.set(QStringLiteral("ID_EMPRESA"), 1);
    emp.set(QStringLiteral("NOMBRE"), u8("Ópticas Quillmore S.L."));
    emp.set(QStringLiteral("NIF"), QStringLiteral("B87654321"));
    emp.set(QStringLiteral("DIRECCION"), u8("C/ Madrid, 42"));
    emp.set(QStringLiteral("ID_LOCALIDAD"), idDe(28901));
    emp.set(QStringLiteral("TELEFONO"), QStringLiteral("91 695 12 34"));
    emp.set(QStringLiteral("FAX"), QStringLiteral("91 695 12 35"));
    emp.set(QStringLiteral("E_MAIL"), QStringLiteral("tienda@quillmore.example"));
    emp.add();
    lastId_[QStringLiteral("EMPRESA")] = 1;

    // Doctors: optometrists and audiologists of the shop and outside ophthalmologists; some
    // have no registration number.
    struct Persona {
        const char* nombre;
        const char* apellidos;
        const char* colegiado;
    };
    const Persona doctores[] = {
        {"Laura", "Sánchez Vidal", "28-04512"},  {"Javier", "Morales Ibáñez", "28-07731"},
        {"Elena", "Ruiz de la Torre", ""},       {"Miguel Ángel", "Ortega Prieto", "45-01288"},
        {"Carmen", "Núñez Aguilar", "AUD-0342"}, {"Dr. Alberto", "Fernández Cano", "282812345"},
        {"Dra. Pilar", "Herrero Molina", ""},    {"Sergio", "Vega Campos", ""},
    };
    TableWriter& doc = writer(QStringLiteral("DOCTOR"));
    for (const Persona& p : doctores) {
        doc.set(QStringLiteral("ID_DOCTOR"), ++doctores_);
        doc.set(QStringLiteral("NOMBRE"), u8(p.nombre));
        doc.set(QStringLiteral("APELLIDOS"), u8(p.apellidos));
        doc.set(QStringLiteral("COLEGIADO"), u8(p.colegiado));
        doc.add();
    }
    lastId_[QStringLiteral("DOCTOR")] = doctores_;
    const Persona agentes[] = {
        {"Rocío", "Martín Gil", ""},     {"David", "López Serrano", ""},
        {"Nuria", "Castro Pascual", ""}, {"Iván", "Romero Delgado", ""},
        {"Sonia", "Blanco Rubio", ""},   {"Óscar", "Medina Fuentes", ""},
    };
    TableWriter& ag = writer(QStringLiteral("AGENTE"));
    for (const Persona& p : agentes) {
        ag.set(QStringLiteral("ID_AGENTE"), ++agentes_);
        ag.set(QStringLiteral("NOMBRE"), u8(p.nombre));
        ag.set(QStringLiteral("APELLIDOS"), u8(p.apellidos));
        ag.add();
    }
    lastId_[QStringLiteral("AGENTE")] = agentes_;

    const char* proveedores[] = {
        "Distribuciones Ópticas del Centro S.L.",
        "Lentes Iberia S.A.",
        "Monturas Levante S.L.",
        "Contactología Norte S.A.",
        "Audio Clínica Hispana S.L.",
        "Laboratorio Óptico Mediterráneo S.A.",
        "Gafas y Sol Distribución S.L.",
        "Pilas y Accesorios Tajo S.L.",
        "Hidrolent España S.A.",
        "Ayudas Visuales Castilla S.L.",
        "Cristalia Ibérica S.A.",
        "Sonora Audífonos S.L.",
    };
    TableWriter& pr = writer(QStringLiteral("PROVEEDOR"));
    int idProv = 0;
    for (const char* nombre : proveedores) {
        ++idProv;
        pr.set(QStringLiteral("ID_PROVEEDOR"), idProv);
        pr.set(QStringLiteral("CODIGO"), 400 + idProv * 3);
        pr.set(QStringLiteral("NOMBRE"), u8(nombre));
        const quint32 n = static_cast<quint32>(r.between(10000000, 99999999));
        pr.set(QStringLiteral("NIF"),
               (idProv % 3 ? QStringLiteral("B") : QStringLiteral("A")) + QString::number(n));
        pr.set(QStringLiteral("TELEFONO"), nuevoFijo(r, 28));
        pr.add();
    }
    lastId_[QStringLiteral("PROVEEDOR")] = idProv;

    TableWriter& iva = writer(QStringLiteral("IVA"));
    const std::pair<const char*, double> tipos[] = {{"IVA general 21%", 21},
                                                    {"IVA reducido 10%", 10},
                                                    {"IVA superreducido 4%", 4},
                                                    {"Exento", 0}};
    int idIva = 0;
    for (const auto& [nombre, porcentaje] : tipos) {
        iva.set(QStringLiteral("ID_IVA"), ++idIva);
        iva.set(QStringLiteral("DESCRIPCION"), u8(nombre));
        iva.set(QStringLiteral("PORCENTAJE"), porcentaje);
        iva.add();
    }
    lastId_[QStringLiteral("IVA")] = idIva;

    for (const Maestro* m : {&kFamilias, &kTiposArticulo, &kTratamientos, &kMarcas, &kTiposCristal,
                             &kTiposLentilla, &kAlmacenes, &kGrupos, &kFormasPago}) {
        TableWriter& w = writer(QString::fromLatin1(m->table));
        int id = 0;
        for (const char* nombre : m->nombres) {
            w.set(QString::fromLatin1(m->key), ++id);
            w.set(QStringLiteral("DESCRIPCION"), u8(nombre));
            w.add();
        }
        lastId_[QString::fromLatin1(m->table)] = id;
    }
}

void DemoGenerator::writeArticulos() {
    Random r = base_.fork(0xA27);
    TableWriter& w = writer(QStringLiteral("ARTICULO"));
    int seq[kClases] = {};
    static constexpr const char* kPrefijo[kClases] = {"MON", "SOL", "CRI", "LC", "LIQ",
                                                      "AUD", "PIL", "ACC", "LUP"};
    static constexpr const char* kColores[] = {
        "Negro",  "Carey", "Havana", "Azul marino",  "Gris",
        "Dorado", "Plata", "Rojo",   "Transparente", "Verde oliva"};
    auto add = [&](Clase clase, const QString& descripcion, const QString& modelo,
                   const QString& color, int marca, int tipo, int proveedor, double pvp,
                   std::initializer_list<int> tratamientos, const QString& radio1,
                   const QString& radio2, const QString& varilla, const QString& tamano,
                   double cilindro) {
        const int c = static_cast<int>(clase);
        Articulo a;
        a.referencia = QStringLiteral("%1-%2")
                           .arg(QLatin1String(kPrefijo[c]))
                           .arg(++seq[c], 5, 10, QLatin1Char('0'));
        a.descripcion = descripcion;
        a.modelo = modelo;
        a.color = color;
        a.clase = clase;
        a.marca = marca;
        a.tipo = tipo;
        a.proveedor = proveedor;
        a.pvp = cents(pvp);
        const ClaseInfo& info = kClaseInfo[c];
        a.grupo = info.grupo;
        w.set(QStringLiteral("REFERENCIA"), a.referencia);
        w.set(QStringLiteral("DESCRIPCION"), descripcion);
        w.set(QStringLiteral("CODIGO_BARRAS"),
              static_cast<qint64>(8400000000000LL + r.between(0, 99999999) * 10 + c));
        w.set(
            QStringLiteral("REFERENCIA_PROVEEDOR"),
            QStringLiteral("%1%2").arg(QChar(u'A' + proveedor % 26)).arg(r.between(10000, 99999)));
        w.set(QStringLiteral("ID_FAMILIA"), info.familia);
        w.set(QStringLiteral("ID_IVA_COMPRA"), info.iva);
        w.set(QStringLiteral("ID_IVA_VENTA"), info.iva);
        w.set(QStringLiteral("ID_PROVEEDOR"), proveedor);
        w.set(QStringLiteral("ID_TARTICULO"), info.tipoArticulo);
        int t = 1;
        for (int trat : tratamientos)
            w.set(QStringLiteral("ID_TRATAMIENTO_%1").arg(t++), trat);
        w.set(QStringLiteral("ID_MARCA"), marca);
        w.set(QStringLiteral("ID_TIPO"), tipo);
        w.set(QStringLiteral("MODELO"), modelo);
        w.set(QStringLiteral("RADIO_1"), radio1);
        w.set(QStringLiteral("RADIO_2"), radio2);
        w.set(QStringLiteral("VARILLA"), varilla);
        w.set(QStringLiteral("TAMANO"), tamano);
        w.set(QStringLiteral("CILINDRO"), cilindro);
        w.set(QStringLiteral("PVP_M1"), a.pvp);
        w.set(QStringLiteral("PVP_M2"), cents(a.pvp * kCambioM2));
        w.add();
        porClase_[c].push_back(static_cast<int>(articulos_.size()));
        articulos_.push_back(a);
    };

    // Frames and sunglasses: brands 1 to 10, several models and colours each.
    for (int marca = 1; marca <= 10; ++marca) {
        const QString nombreMarca = u8(kMarcas.nombres[marca - 1]);
        for (int m = 0; m < 12; ++m) {
            const QString modelo =
                QStringLiteral("%1%2").arg(nombreMarca.left(2).toUpper()).arg(r.between(100, 999));
            const QString color = u8(r.pick(kColores));
            const int calibre = static_cast<int>(r.between(48, 56));
            const QString tamano = QStringLiteral("%1-%2").arg(calibre).arg(r.between(15, 20));
            const QString varilla = QString::number(r.between(13, 15) * 10);
            const bool sol = m >= 9;
            add(sol ? Clase::Sol : Clase::Montura,
                QStringLiteral("%1 %2 %3 %4")
                    .arg(sol ? u8("Gafa de sol") : QStringLiteral("Montura"), nombreMarca, modelo,
                         color),
                modelo, color, marca, -1, marca % 2 ? 3 : 7, r.between(60, 240) + 0.9,
                {sol ? 5 : -1}, QString(), QString(), varilla, tamano, 98);
        }
    }
    // Spectacle lenses: glass type x index x treatments.
    for (int tipo = 1; tipo <= static_cast<int>(kTiposCristal.nombres.size()); ++tipo) {
        for (int variante = 0; variante < 6; ++variante) {
            const int marca = 11 + variante % 3;
            const int t1 = variante % 2 ? 1 : 2;
            const int t2 = variante >= 2 ? 3 : -1;
            const int t3 = variante >= 4 ? 6 : -1;
            const double base = tipo >= 6 ? 180 : tipo == 5 ? 90 : 35;
            add(Clase::Cristal,
                QStringLiteral("%1 %2").arg(u8(kTiposCristal.nombres[tipo - 1]),
                                            variante >= 2 ? u8("AR azul") : u8("AR")),
                QString(), QString(), marca, tipo, variante % 2 ? 2 : 11, base + variante * 22.5,
                {t1, t2, t3}, QString(), QString(), QString(), QString(), r.chance(0.5) ? 0 : 98);
        }
    }
    // Contact lenses: one article per lens type and brand.
    for (int tipo = 1; tipo <= static_cast<int>(kTiposLentilla.nombres.size()); ++tipo) {
        for (int marca = 14; marca <= 16; ++marca) {
            const bool rigida = tipo == 6 || tipo == 7;
            add(Clase::Lentilla,
                QStringLiteral("%1 %2").arg(u8(kMarcas.nombres[marca - 1]),
                                            u8(kTiposLentilla.nombres[tipo - 1])),
                QStringLiteral("%1-%2")
                    .arg(u8(kMarcas.nombres[marca - 1]).left(3).toUpper())
                    .arg(tipo),
                QString(), marca, tipo, marca == 14 ? 9 : 4,
                rigida      ? 160
                : tipo == 1 ? 32
                            : 24 + tipo * 3,
                {-1}, radio(r), tipo == 4 ? radio(r) : QString(), QString(), QStringLiteral("14.2"),
                tipo == 4 ? -1.25 : 98);
        }
    }
    const char* liquidos[] = {"Solución única 360 ml", "Solución única 2x360 ml",
                              "Peróxido 360 ml",       "Lágrimas artificiales 10 ml",
                              "Limpiador enzimático",  "Suero salino monodosis"};
    for (const char* l : liquidos)
        add(Clase::Liquido, u8(l), QString(), QString(), 14 + static_cast<int>(r.between(0, 2)), -1,
            9, r.between(6, 18) + 0.95, {-1}, QString(), QString(), QString(), QString(), 98);
    const char* audifonos[] = {"Retroauricular", "Intracanal", "RIC recargable", "CIC invisible"};
    for (int marca = 17; marca <= 20; ++marca)
        for (int tipo = 1; tipo <= 4; ++tipo)
            for (int gama = 0; gama < 2; ++gama)
                add(Clase::Audifono,
                    QStringLiteral("%1 %2 %3")
                        .arg(u8(kMarcas.nombres[marca - 1]), u8(audifonos[tipo - 1]),
                             gama ? QStringLiteral("Premium") : QStringLiteral("Esencial")),
                    QStringLiteral("%1%2")
                        .arg(u8(kMarcas.nombres[marca - 1]).left(2).toUpper())
                        .arg(tipo * 100 + gama * 10),
                    u8("Beige"), marca, tipo, marca == 18 ? 12 : 5, gama ? 2100 : 1200, {-1},
                    QString(), QString(), QString(), QString(), 98);
    for (const char* pila : {"10", "13", "312", "675"})
        add(Clase::Pila, QStringLiteral("Pilas audífono %1 (6 uds.)").arg(QLatin1String(pila)),
            QLatin1String(pila), QString(), -1, -1, 8, 4.5, {-1}, QString(), QString(), QString(),
            QString(), 98);
    const char* accesorios[] = {
        "Funda rígida",      "Cordón sujetagafas", "Gamuza microfibra",          "Spray limpiador",
        "Estuche lentillas", "Kit de reparación",  "Deshumidificador audífonos", "Clip solar"};
    for (const char* a : accesorios)
        add(Clase::Accesorio, u8(a), QString(), QString(), -1, -1, 8, r.between(3, 25) + 0.5, {-1},
            QString(), QString(), QString(), QString(), 98);
    const char* lupas[] = {"Lupa de mano 3x", "Lupa con luz 4x", "Telelupa 2x",
                           "Filtro de corte 511", "Lupa de bolsillo 5x"};
    for (const char* l : lupas)
        add(Clase::Lupa, u8(l), QString(), QString(), -1, -1, 10, r.between(25, 300) + 0.0, {-1},
            QString(), QString(), QString(), QString(), 98);
}

const DemoGenerator::Articulo& DemoGenerator::articulo(Random& r, Clase clase) const {
    const auto& idx = porClase_[static_cast<int>(clase)];
    return articulos_[idx[r.index(idx.size())]];
}

// ------------------------------------------------------------------------------ patients

void DemoGenerator::writePaciente0() {
    // Patient 0 carries the counter sales of people the shop does not file; listings never
    // show it.
    TableWriter& w = writer(QStringLiteral("PACIENTE"));
    w.set(QStringLiteral("ID_PACIENTE"), 0);
    w.set(QStringLiteral("CODIGO"), 0);
    w.set(QStringLiteral("LICENCIA"), 1);
    w.set(QStringLiteral("BORRADO"), 0);
    w.set(QStringLiteral("APELLIDOS"), QStringLiteral("VENTAS DE MOSTRADOR"));
    w.set(QStringLiteral("NOMBRE"), QStringLiteral("CLIENTE"));
    w.set(QStringLiteral("NOMBRE_COMPLETO"), QStringLiteral("VENTAS DE MOSTRADOR, CLIENTE"));
    w.set(QStringLiteral("TELEFONO_MOVIL"), QStringLiteral("600000000"));
    w.set(QStringLiteral("E_MAIL"), QStringLiteral("mostrador@quillmore.example"));
    w.set(QStringLiteral("CORREO"), 1);
    w.set(QStringLiteral("TIENDA"), 1);
    // Filled in by hand once, so its dates match conditions like anyone's (a birthday this
    // month among them): listings leave it out by its id, not by its data.
    const QDate& hoy = options_.hoy;
    w.set(QStringLiteral("FECHA_NACIMIENTO"), ts(QDate(hoy.year() - 40, hoy.month(), 1)));
    w.set(QStringLiteral("FECHA_PRIMERA_VISITA"), ts(hoy.addYears(-3)));
    w.set(QStringLiteral("FECHA_ULTIMA_VISITA"), ts(hoy));
    w.add();

    Ficha f(base_.fork(0x0C0));
    f.id = 0;
    f.primera = hoy.addYears(-3);
    // Sunglasses sold over the counter: its sales pass any usual amount threshold.
    {
        const Articulo& sol = articulo(f.r, Clase::Sol);
        const VentaFija promocion;
        writeVenta(f, f.r, hoy.addMonths(-2), 0, {{&sol, sol.referencia, sol.descripcion, 300.0}},
                   &promocion);
    }
    const qint64 n = 3 + options_.pacientes / 40;
    for (qint64 i = 0; i < n; ++i) {
        std::vector<Linea> lineas;
        const Clase clase = f.r.chance(0.5)   ? Clase::Liquido
                            : f.r.chance(0.5) ? Clase::Pila
                                              : Clase::Accesorio;
        const Articulo& a = articulo(f.r, clase);
        lineas.push_back({&a, a.referencia, a.descripcion, a.pvp});
        writeVenta(f, f.r, f.r.date(f.primera, options_.hoy), 0, lineas);
    }
}

void DemoGenerator::writePaciente(qint64 id) {
    Ficha f(base_.fork(static_cast<std::uint64_t>(id)));
    Random& r = f.r;
    const QDate& hoy = options_.hoy;
    const Caso* caso = casoDe(id);
    f.id = id;

    // Most patients belong to partition 1; the other two are small businesses sharing the file.
    f.licencia = caso ? caso->licencia : static_cast<int>(r.weighted({85, 10, 5})) + 1;
    f.tienda = f.licencia == 1 ? static_cast<int>(r.weighted({80, 20})) + 1 : 3;
    const qint64 codigo = ++codigoPorLicencia_[f.licencia];

    // Age by bands: an optician sees more adults and elderly than children.
    static constexpr int bandas[][2] = {{3, 12}, {13, 25}, {26, 45}, {46, 65}, {66, 95}};
    const auto& banda = bandas[r.weighted({8, 12, 25, 30, 25})];
    f.edad = static_cast<int>(r.between(banda[0], banda[1]));
    // A case with hearing aids and low vision is someone elderly.
    if (caso && (caso->vencimientos || !caso->audifonos.empty()))
        f.edad = static_cast<int>(r.between(66, 90));
    f.nacimiento = hoy.addYears(-f.edad).addDays(-r.between(0, 364));
    const bool cumpleEsteMes = caso && caso->cumpleEsteMes;
    if (cumpleEsteMes) {
        const QDate mes(hoy.year() - f.edad, hoy.month(), 1);
        f.nacimiento = mes.addDays(r.between(0, mes.daysInMonth() - 1));
    }
    f.sexo = r.chance(0.54) ? 2 : 1;

    QString nombre = u8(f.sexo == 2 ? r.pick(nombresMujer()) : r.pick(nombresHombre()));
    // Frequent surnames come up more often, as they do in a real file.
    auto apellido = [&] {
        const auto list = apellidos();
        const auto i = std::min<std::size_t>(
            list.size() - 1, static_cast<std::size_t>(std::pow(r.unit(), 1.8) * list.size()));
        return u8(list[i]);
    };
    const QString apellido1 = apellido();
    QString apellidosTxt = apellido1 + (r.chance(0.95) ? u' ' + apellido() : QString());
    switch (r.weighted({80, 12, 8})) {
    case 1: // typed with capitals and small letters
        nombre = capitalizar(nombre);
        apellidosTxt = capitalizar(apellidosTxt);
        break;
    case 2: // typed without accents
        nombre = sinAcentos(nombre);
        apellidosTxt = sinAcentos(apellidosTxt);
        break;
    default:
        break;
    }

    const int localidadIdx = r.chance(0.02) ? -1 : static_cast<int>(r.weighted(localidadWeights_));
    const auto locs = localidades();
    f.provincia = localidadIdx < 0 ? 28 : locs[localidadIdx].codigoPostal / 1000;

    QString direccion;
    if (r.chance(0.97)) {
        direccion = u8(r.pick(tiposVia())) + u' ' + u8(r.pick(nombresVia())) +
                    QStringLiteral(", ") + QString::number(r.between(1, 140));
        switch (r.weighted({35, 30, 15, 20})) {
        case 0:
            direccion += QStringLiteral(", %1º %2")
                             .arg(r.between(1, 9))
                             .arg(QChar(static_cast<char16_t>(u'A' + r.between(0, 3))));
            break;
        case 1:
            direccion += QStringLiteral(" %1º%2")
                             .arg(r.between(1, 12))
                             .arg(QChar(static_cast<char16_t>(u'A' + r.between(0, 5))));
            break;
        case 2:
            direccion += r.chance(0.5) ? QStringLiteral(", BAJO") : QStringLiteral(" 1º IZDA");
            break;
        default:
            break;
        }
    }

    QString fijo;
    QString movil;
    switch (r.weighted({45, 30, 15, 5, 3, 2})) {
    case 0:
        movil = nuevoMovil(r, formatoMovilHabitual(r));
        break;
    case 1:
        movil = nuevoMovil(r, formatoMovilHabitual(r));
        fijo = nuevoFijo(r, f.provincia);
        break;
    case 2: // landline only
        fijo = nuevoFijo(r, f.provincia);
        break;
    case 3: // no telephone at all
        break;
    case 4: // the landline typed into the mobile field
        movil = nuevoFijo(r, f.provincia);
        break;
    default: // the mobile typed into the landline field
        fijo = nuevoMovil(r, FormatoMovil::Seguido);
        break;
    }

    f.primera = r.date(std::max(f.nacimiento.addYears(3), hoy.addYears(-25)), hoy);
    f.ultima = f.primera;

    // Records of every family, then the sales that go with them; a demo case has its own.
    if (caso) {
        writeCaso(f, *caso);
    } else {
        if (r.chance(0.75)) writeGraduaciones(f);
        if (r.chance(f.edad >= 14 && f.edad <= 50 ? 0.35 : 0.05)) writeLentillas(f);
        if (r.chance(f.edad > 60 ? 0.25 : f.edad > 45 ? 0.05 : 0.005)) writeAudifonos(f);
        if (r.chance(0.18)) writeOptometria(f);
        if (r.chance(f.edad > 65 ? 0.05 : 0.003)) writeBajaVision(f);
        if (r.chance(f.tieneLentillas ? 0.5 : f.tieneAudifonos ? 0.3 : 0.03)) writeReposiciones(f);
        writeVentas(f);
    }
    if (r.chance(0.25))
        writeNota(QStringLiteral("POBSERVACIONES"), QStringLiteral("ID_PACIENTE"), id,
                  u8(r.pick(notasPaciente())));

    TableWriter& w = writer(QStringLiteral("PACIENTE"));
    w.set(QStringLiteral("ID_PACIENTE"), id);
    w.set(QStringLiteral("CODIGO"), codigo);
    w.set(QStringLiteral("LICENCIA"), f.licencia);
    w.set(QStringLiteral("BORRADO"), (caso ? caso->borrado : r.chance(0.03)) ? 1 : 0);
    w.set(QStringLiteral("APELLIDOS"), apellidosTxt);
    w.set(QStringLiteral("NOMBRE"), nombre);
    w.set(QStringLiteral("NOMBRE_COMPLETO"), apellidosTxt + QStringLiteral(", ") + nombre);
    w.set(QStringLiteral("DIRECCION"), direccion);
    w.set(QStringLiteral("ID_LOCALIDAD"), localidadIdx + 1);
    w.set(QStringLiteral("TELEFONO"), fijo);
    w.set(QStringLiteral("TELEFONO_MOVIL"), movil);
    w.set(QStringLiteral("NIF"), r.chance(f.edad >= 18 ? 0.8 : 0.2) ? nuevoNif(r) : QString());
    w.set(QStringLiteral("SEXO"), r.chance(0.02) ? 0 : f.sexo);
    w.set(QStringLiteral("PROFESION"),
          f.edad < 18     ? (r.chance(0.5) ? QStringLiteral("ESTUDIANTE") : QString())
          : r.chance(0.6) ? u8(r.pick(profesiones()))
                          : QString());
    w.set(QStringLiteral("VIENE_POR"), r.chance(0.5) ? u8(r.pick(vieneDe())) : QString());
    w.set(QStringLiteral("FECHA_NACIMIENTO"),
          ts(r.chance(0.05) && !cumpleEsteMes ? kVacia : f.nacimiento));
    w.set(QStringLiteral("FECHA_PRIMERA_VISITA"), ts(f.primera));
    w.set(QStringLiteral("FECHA_ULTIMA_VISITA"), ts(f.ultima));
    w.set(QStringLiteral("FECHA_CARNET"),
          ts(f.edad >= 18 && r.chance(0.45)
                 ? r.date(f.nacimiento.addYears(18), std::min(hoy, f.nacimiento.addYears(40)))
                 : kVacia));
    w.set(QStringLiteral("ULTIMO_DESCUENTO"), f.ultimoDescuento);
    w.set(QStringLiteral("TOTAL_COMPRADO_M1"), cents(f.totalM1));
    w.set(QStringLiteral("TOTAL_COMPRADO_M2"), cents(f.totalM1 * kCambioM2));
    w.set(QStringLiteral("E_MAIL"),
          r.chance(f.edad < 60 ? 0.45 : 0.15) ? nuevoCorreo(r, nombre, apellido1) : QString());
    w.set(QStringLiteral("WEB"),
          r.chance(0.01) ? QStringLiteral("www.%1.example").arg(sinAcentos(apellido1).toLower())
                         : QString());
    w.set(QStringLiteral("FOTOGRAFIA"),
          r.chance(0.02) ? QStringLiteral("fotos/%1.jpg").arg(id, 6, 10, QLatin1Char('0'))
                         : QString());
    w.set(QStringLiteral("CORREO"), r.chance(0.55) ? 1 : 0);
    w.set(QStringLiteral("TIENDA"), f.tienda);
    w.add();
}

void DemoGenerator::writeNota(const QString& table, const QString& keyColumn, qint64 key,
                              const QString& text) {
    TableWriter& w = writer(table);
    const QString idColumn = QStringLiteral("ID_") + table;
    w.set(idColumn, nextId(table));
    w.set(keyColumn, key);
    w.set(QStringLiteral("OBSERVACIONES"), text);
    w.add();
}

} // namespace quill::datagen
