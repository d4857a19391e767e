#pragma once

// A kind's data module over the conditions of a JSON text, built exactly as `listado` builds
// them (every row through the window's own before-post step): what the kinds' database tests run.

#include "condiciones.h"
#include "testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

#include <memory>

template <typename Modulo> struct ListadoJson {
    quill::cli::CondicionesListado condiciones;
    std::unique_ptr<Modulo> dm;
};

// `tipoCatalogo`: the kind whose catalogue the ids are looked up in.
template <typename Modulo>
std::unique_ptr<ListadoJson<Modulo>>
listadoJson(const QString& json, int tipoCatalogo, const QString& conexion,
            const QString& particion = QStringLiteral("1"), qint16 variante = 0) {
    auto dir = quilltest::scratch();
    const QString fichero = dir->filePath(QStringLiteral("c.json"));
    QFile f(fichero);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(json.toUtf8());
    f.close();
    auto l = std::make_unique<ListadoJson<Modulo>>();
    const QString e = quill::cli::LeerCondiciones(fichero, tipoCatalogo, quilltest::dataDir(),
                                                  conexion, l->condiciones);
    EXPECT_TRUE(e.isEmpty()) << qPrintable(e);
    l->dm = std::make_unique<Modulo>();
    l->dm->setConexion(conexion);
    l->dm->setCondiciones(l->condiciones.tabla.get());
    l->dm->Tablas = l->condiciones.tablas;
    l->dm->AsignarParametros(l->condiciones.parametros);
    l->dm->AsignarParticion(particion);
    l->dm->AsignarVariante(variante);
    return l;
}
