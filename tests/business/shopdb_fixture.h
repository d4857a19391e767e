#pragma once

// Older names of the shared shop-database helpers, for the tests not yet using tiendaprueba.h.

#include "tiendaprueba.h"

namespace shopdb {

inline QString emptyTemplate(QString* path) { return tiendaprueba::plantillaVacia(path); }
inline QStringList localityRows() { return tiendaprueba::filasLocalidades(); }

} // namespace shopdb
