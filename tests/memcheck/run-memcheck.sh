#!/bin/sh
# Runs the metafile replay under valgrind's memcheck over the sample
# pictures, the fuzz corpus and the lab's own charge pictures. Fails on any
# invalid read or write, use of uninitialised memory or leak-free-mismatch
# that memcheck reports; the suppressions cover only what Qt and fontconfig
# do on every start, whatever the picture.
# Usage: run-memcheck.sh REPLAY_PROGRAM SOURCE_DIR
set -eu
program="$1"
source="$2"
if ! command -v valgrind >/dev/null 2>&1; then
    echo "run-memcheck.sh: valgrind is not installed (Debian package valgrind)" >&2
    exit 1
fi
export QT_QPA_PLATFORM=offscreen
exec valgrind --tool=memcheck --error-exitcode=3 --leak-check=no --track-origins=yes \
    --suppressions="$source/tests/memcheck/qt-start.supp" --gen-suppressions=all -q \
    "$program" "$source/tests/data/wmf/pass" "$source/tests/data/wmf/fail" \
    "$source/tests/data/wmf/thirdparty" "$source/fuzz/corpus/metafile" "$source/pictures"
