#!/usr/bin/env bash
# Sets up, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# every test with CTest, without a display; then builds the file readers'
# fuzzers with clang and runs each for a bounded time (fuzz/run.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
build=build/asan
# Line tables (-g1) are all the sanitizers' reports need, and full debug
# information costs a third of the build.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" -DZV_SANITIZE=ON
cmake --build "$build"
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
export QT_QPA_PLATFORM=offscreen
export QTEST_FUNCTION_TIMEOUT=30000
export DBUS_SESSION_BUS_ADDRESS=disabled:
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LANG=C.UTF-8
# The DXF writers' tests check their output with ezdxf: fail, not skip, without it.
export ZV_REQUIRE_EZDXF=1
ctest --test-dir "$build" -j"$(nproc)" --timeout 120 --output-on-failure

# The fuzzers need no Qt and only the readers' libraries: build just those.
fuzz_build=build/fuzz
cmake -S . -B "$fuzz_build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" -DZV_BUILD_TESTS=OFF -DZV_BUILD_FUZZ=ON -DZV_SANITIZE=ON
cmake --build "$fuzz_build" --target zv_fuzzers
fuzz/run.sh "$fuzz_build" 30
