#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# once in the normal build, then again built with AddressSanitizer and
# UBSan (without the end-to-end and install tests, which drive the normal
# build's programs; the soak runs shorter there and feeds LeakSanitizer).
# Last, every sample picture is drawn under valgrind's memcheck, which sees
# what the sanitizers cannot: Qt's own code touching bad memory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/build.sh"
(cd "$root/build" && ctest --output-on-failure --timeout 900 -LE memcheck "$@")

cmake -S "$root" -B "$root/build-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLAB_SANITIZE=ON -DLAB_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build-sanitize" --parallel "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LAB_SOAK_RUNS=1000
(cd "$root/build-sanitize" && ctest --output-on-failure --timeout 1800 -LE 'e2e|install|memcheck' "$@")
(cd "$root/build" && ctest --output-on-failure --timeout 1800 -L memcheck "$@")
