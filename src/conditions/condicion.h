#pragma once

// One condition row of a listing, as every layer reads it: the field names of the condition
// tables and of the article selections, the row type, and reading a row out of a table.

#include <QString>

namespace quill {

class MemTable;

// Field names of the condition tables (and of an article selection, which adds IdsCondicion1).
namespace campo {
inline const QString Id = QStringLiteral("Id");
inline const QString IdGrupo = QStringLiteral("IdGrupo");
inline const QString Campo = QStringLiteral("Campo");
inline const QString Condicion = QStringLiteral("Condicion");
inline const QString TipoCondicion = QStringLiteral("TipoCondicion");
inline const QString TipoObjeto = QStringLiteral("TipoObjeto");
inline const QString Condicion1 = QStringLiteral("Condicion1");
inline const QString Condicion2 = QStringLiteral("Condicion2");
inline const QString Sentencia = QStringLiteral("Sentencia");
inline const QString Contador = QStringLiteral("Contador");
inline const QString Condicion1Ids = QStringLiteral("Condicion1Ids");
inline const QString IdsCondicion1 = QStringLiteral("IdsCondicion1");
} // namespace campo

// The catalogue identifier as the rules compare it: its integer part, -1 when not finite.
int IdEntero(double id);

// One condition row.
struct FilaCondicion {
    double id = -1;        // catalogue ID of the field
    QString campo;         // the field's caption
    QString condicion;     // operator text ("Igual a...", ...)
    QString condicion1;    // first value as shown
    QString condicion2;    // second value ("...Entre..." only)
    QString sentencia;     // fragment built by the sentence builder
    QString condicion1Ids; // ids behind a list value, joined by ";"
    int contador = -1;     // number of the row's article selection, -1 without one

    int idEntero() const { return IdEntero(id); }
};

// Row `fila` of a condition table; fields the table lacks read as empty.
FilaCondicion LeerFila(const MemTable& tabla, int fila);
// The current row, including the values of a row being edited or inserted.
FilaCondicion FilaActual(const MemTable& tabla);

} // namespace quill
