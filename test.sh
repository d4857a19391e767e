#!/usr/bin/env bash
# Builds everything and runs every test (labels unit, db, gui, net).
# In CI (CI=true) or with QUILL_SANITIZE=1 the build uses AddressSanitizer and UBSan.
# Extra arguments go to ctest, e.g. ./test.sh -L unit  or  ./test.sh -R MemTable
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
deps_ensure
. scripts/ccache.sh

if [ "${CI:-}" = "true" ] || [ "${QUILL_SANITIZE:-0}" = "1" ]; then
    BUILD_DIR=${BUILD_DIR:-build-asan}
    SANITIZE=ON
else
    BUILD_DIR=${BUILD_DIR:-build}
    SANITIZE=OFF
fi

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DQUILL_SANITIZE=$SANITIZE
fi
cmake --build "$BUILD_DIR" -j "$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_odr_violation=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

# The networked-database suite needs a Firebird server on 127.0.0.1.
. scripts/fbserver.sh
fbserver_start
trap fbserver_stop EXIT

ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 600 "$@"
