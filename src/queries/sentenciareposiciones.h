#pragma once

// The statement of the Replacements listing, assembled from the condition rows without touching
// the database: one row per lens of a contact-lens fitting, with the supplier of its article
// (two sub-selects on the article master), ordered by supplier and then by replacement date, of
// patients of every partition.

#include "conditions/condicion.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quill {

struct DatosSentenciaReposiciones {
    QList<FilaCondicion> filas;
    QStringList tablas; // the table list handed over by the window
};

// The statement, on one line. Rows 55 and 482, blank rows and empty fragments take no part.
QString GenerarSentenciaReposiciones(const DatosSentenciaReposiciones& datos, qint16 orden,
                                     qint16 sentido, bool todas);
// ORDER: supplier name (column 21) for order 3 and any other code, supplier code (column 22) for
// 18; " ASC" or " DesC"; then the replacement date.
QString OrdenReposiciones(qint16 orden, qint16 sentido);

} // namespace quill
