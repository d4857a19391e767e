#pragma once

#include <QString>
#include <QTemporaryDir>

namespace quilltest {

// Folder of the source tree's data/ (schema, catalogue, templates).
QString dataDir();
// Top of the build tree (bin/, lib/).
QString buildDir();
// A scratch folder removed when the returned object dies; fails the test if it cannot be made.
std::unique_ptr<QTemporaryDir> scratch();

} // namespace quilltest
