#include "testsupport.h"

#include <gtest/gtest.h>
#include "quill_config.h"

namespace quilltest {

QString dataDir() { return QStringLiteral(QUILL_SOURCE_DATA_DIR); }
QString buildDir() { return QStringLiteral(QUILL_BUILD_DIR); }

std::unique_ptr<QTemporaryDir> scratch() {
    auto dir = std::make_unique<QTemporaryDir>();
    EXPECT_TRUE(dir->isValid()) << "no scratch folder";
    return dir;
}

} // namespace quilltest
