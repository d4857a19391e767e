#pragma once

// What the label tests share: the shipped formats folder, the built label library's folder, and
// a small patient result table like the ones the listings fill.

#include "platform/memtable.h"
#include "testsupport.h"

#include <QString>

#include <memory>

namespace etiquetasprueba {

inline QString carpetaFormatos() {
    return quilltest::dataDir() + QStringLiteral("/formatos");
}

inline QString carpetaLibrerias() {
    return quilltest::buildDir() + QStringLiteral("/lib");
}

struct Fila {
    int codigo;
    const char* nombre;
    const char* apellidos;
    const char* direccion;
    const char* cp;
    const char* localidad;
};

// A result table with the General kind's patient columns.
inline std::unique_ptr<quill::MemTable> tabla(std::initializer_list<Fila> filas) {
    auto t = std::make_unique<quill::MemTable>();
    t->addField(QStringLiteral("Codigo"), quill::FieldType::Float);
    t->addField(QStringLiteral("Nombre"), quill::FieldType::String, 50);
    t->addField(QStringLiteral("Apellidos"), quill::FieldType::String, 50);
    t->addField(QStringLiteral("Direccion"), quill::FieldType::String, 50);
    t->addField(QStringLiteral("CodigoPostal"), quill::FieldType::String, 5);
    t->addField(QStringLiteral("Localidad"), quill::FieldType::String, 50);
    t->addField(QStringLiteral("Provincia"), quill::FieldType::String, 50);
    t->open();
    for (const Fila& f : filas)
        t->appendRecord({double(f.codigo), QString::fromUtf8(f.nombre),
                         QString::fromUtf8(f.apellidos), QString::fromUtf8(f.direccion),
                         QString::fromUtf8(f.cp), QString::fromUtf8(f.localidad),
                         QStringLiteral("Madrid")});
    return t;
}

} // namespace etiquetasprueba
