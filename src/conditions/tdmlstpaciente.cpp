#include "conditions/tdmlstpaciente.h"
#include "conditions/condicion.h"

#include "platform/memtable.h"
#include "platform/memtablemodel.h"

using quill::FieldType;
using quill::MemTable;

TdmlstPaciente::TdmlstPaciente(QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("dmlstPaciente"));
    static const char* const nombres[NumTablas] = {
        "memGeneral",      "memConsumo",    "memEncargo",  "memFechas",
        "memPrescripcion", "memReposicion", "memGarantias"};
    MemTable** tablas[NumTablas] = {&memGeneral,      &memConsumo,    &memEncargo,  &memFechas,
                                    &memPrescripcion, &memReposicion, &memGarantias};
    for (int tipo = 0; tipo < NumTablas; ++tipo) {
        *tablas[tipo] = new MemTable(QString::fromLatin1(nombres[tipo]), this);
        DefinirCampos(**tablas[tipo], tipo);
    }
    // The four visible columns of the condition grid.
    const quill::ColumnSet columnas = {
        {quill::campo::Campo, QString()},
        {quill::campo::Condicion, QString()},
        {quill::campo::Condicion1, QStringLiteral("Condición Inicial")},
        {quill::campo::Condicion2, QStringLiteral("Condición Final")},
    };
    for (int tipo = 0; tipo < NumTablas; ++tipo) {
        m_modelos[tipo] = std::make_unique<quill::MemTableModel>(*tablas[tipo], columnas);
        m_modelos[tipo]->setEditable(true);
        // The grid posts a row when the user leaves it, as a dataset grid does.
        m_modelos[tipo]->setAutoPost(false);
        m_modelos[tipo]->setErrorContext(QStringLiteral("grdListado -> OnEdit"));
    }
    cdsFiltros = new MemTable(QStringLiteral("cdsFiltros"), this);
}

TdmlstPaciente::~TdmlstPaciente() {
    // Models go before the tables they watch, which die with this object.
    for (auto& m : m_modelos)
        m.reset();
}

void TdmlstPaciente::DefinirCampos(MemTable& t, int tipo) {
    t.clearFields();
    t.addField(quill::campo::Id, FieldType::Float);
    t.addField(quill::campo::IdGrupo, FieldType::Float);
    t.addField(quill::campo::Campo, FieldType::String, 50);
    t.addField(quill::campo::Condicion, FieldType::String, 25);
    t.addField(quill::campo::TipoCondicion, FieldType::SmallInt);
    t.addField(quill::campo::TipoObjeto, FieldType::SmallInt);
    t.addField(quill::campo::Condicion1, FieldType::String, 255);
    t.addField(quill::campo::Condicion2, FieldType::String, 255);
    const bool general = tipo == 0;
    const bool consumo = tipo == 1;
    if (!general) {
        // Descriptive fields of every table but General; nothing reads them.
        t.addField(QStringLiteral("CampoReal"), FieldType::String, consumo ? 25000 : 50);
        for (const char* campo :
             {"Tabla", "CampoSubTabla1", "SubTabla1", "CampoSubTabla2", "SubTabla2"})
            t.addField(QString::fromLatin1(campo), FieldType::String, 50);
    }
    t.addField(quill::campo::Sentencia, consumo ? FieldType::Blob : FieldType::Memo);
    t.addField(quill::campo::Contador, FieldType::Integer);
    if (tipo == 3)
        t.addField(quill::campo::Condicion1Ids, FieldType::String, 20);
    else
        t.addField(quill::campo::Condicion1Ids, FieldType::Memo);
    if (tipo == 5) t.addField(QStringLiteral("IdTLentillaOD"), FieldType::Float);
}

MemTable* TdmlstPaciente::Tabla(int tipo) const {
    switch (tipo) {
    case 0:
        return memGeneral;
    case 1:
        return memConsumo;
    case 2:
        return memEncargo;
    case 3:
        return memFechas;
    case 4:
        return memPrescripcion;
    case 5:
        return memReposicion;
    case 6:
        return memGarantias;
    default:
        return nullptr;
    }
}

QList<MemTable*> TdmlstPaciente::Tablas() const {
    return {memGeneral,      memConsumo,    memEncargo,  memFechas,
            memPrescripcion, memReposicion, memGarantias};
}

void TdmlstPaciente::setTablaActual(int tipo) {
    MemTable* tabla = Tabla(tipo);
    if (!tabla) return;
    m_actual = tabla;
    m_tipoActual = tipo;
    Q_EMIT tablaActualCambiada(tipo);
}

quill::MemTableModel* TdmlstPaciente::dtsDatos() const {
    return Modelo(m_tipoActual);
}

quill::MemTableModel* TdmlstPaciente::Modelo(int tipo) const {
    return tipo >= 0 && tipo < NumTablas ? m_modelos[tipo].get() : nullptr;
}

void TdmlstPaciente::AbrirTablas() {
    for (MemTable* t : Tablas())
        if (!t->isOpen()) t->open();
}

void TdmlstPaciente::VaciarTablas() {
    for (MemTable* t : Tablas()) {
        t->close();
        t->open();
    }
}

bool TdmlstPaciente::AnadirFilaVacia() {
    if (!m_actual || !m_actual->isOpen() || m_actual->recordCount() > 0) return false;
    m_actual->append();
    m_actual->setValue(quill::campo::Contador, -1);
    m_actual->setValue(quill::campo::Id, -1.0);
    m_actual->setValue(quill::campo::Sentencia, QString());
    return true;
}

MemTable* TdmlstPaciente::Articulos(int numero) const {
    auto it = m_articulos.find(numero);
    return it == m_articulos.end() ? nullptr : it->second.get();
}

MemTable* TdmlstPaciente::CrearArticulos(int numero) {
    auto t = std::make_unique<MemTable>(QStringLiteral("memArticulos%1").arg(numero));
    t->addField(quill::campo::Id, FieldType::Float);
    t->addField(quill::campo::Campo, FieldType::String, 50);
    t->addField(quill::campo::Condicion, FieldType::String, 25);
    t->addField(quill::campo::TipoCondicion, FieldType::SmallInt);
    for (const char* campo : {"Condicion1", "Condicion2", "IdsCondicion1", "IdsCondicion2"})
        t->addField(QString::fromLatin1(campo), FieldType::String, 500);
    t->addField(quill::campo::Sentencia, FieldType::Memo);
    t->addField(quill::campo::TipoObjeto, FieldType::Integer);
    t->open();
    MemTable* tabla = t.get();
    m_articulos[numero] = std::move(t);
    return tabla;
}

void TdmlstPaciente::LiberarArticulos(int numero) {
    m_articulos.erase(numero);
}
