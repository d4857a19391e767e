#pragma once

// Shared by the record-family tests: one condition, the fragment it must give and the tables it
// must add, built on a fresh builder each time.

#include "sql/lstsentpaciente.h"

#include <QDate>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace familias {

inline const char* const kIgual = "Igual a...";
inline const char* const kDistinto = "Distinto de...";
inline const char* const kMayor = "Mayor que...";
inline const char* const kMenor = "Menor que...";
inline const char* const kEntre = "...Entre...";
inline const char* const kVacio = "Vacío";
inline const char* const kNoVacio = "No Vacío";
inline const char* const kEmpieza = "Empieza por...";
inline const char* const kTermine = "Termine en...";
inline const char* const kContiene = "...Contiene...";

struct Caso {
    double id;
    const char* op;
    const char* c1;
    const char* c2;
    QStringList items;
    std::string esperado;
    QStringList tablas;
};

// The builder set as the window sets it for one condition row.
inline void poner(quill::TLstSentPaciente& s, QStringList& lista, double id, const char* op,
                  const char* c1 = "", const char* c2 = "", const QStringList& items = {}) {
    s.setHoy(QDate(2024, 3, 15));
    lista = items;
    s.setLista(&lista);
    s.setId(id);
    s.setCondicion(QString::fromUtf8(op));
    s.setCondicion1(QString::fromUtf8(c1));
    s.setCondicion2(QString::fromUtf8(c2));
}

inline void comprobar(const Caso& k) {
    quill::TLstSentPaciente s;
    QStringList lista;
    poner(s, lista, k.id, k.op, k.c1, k.c2, k.items);
    EXPECT_EQ(s.GenerarSentencia().toStdString(), k.esperado) << "Id " << k.id << " " << k.op;
    EXPECT_EQ(s.Tablas(), k.tablas) << "Id " << k.id << " " << k.op;
}

} // namespace familias
