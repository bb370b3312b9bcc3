#!/bin/sh
# Peak resident memory of the lab against an empty window of the same toolkit.
# Usage: bench/lab/peak-memory.sh BUILD_DIR
# The lab may add at most 8 MiB (8192 KiB) to the empty window's peak.
set -eu
if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
program="$1/bench/lab/lab_peak_memory"
if [ ! -x "$program" ]; then
    echo "$program not found: build the lab_peak_memory target first" >&2
    exit 1
fi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
target_kib=8192
empty_kib=$("$program" empty)
lab_kib=$("$program" lab)
difference_kib=$((lab_kib - empty_kib))
echo "empty window peak RSS: ${empty_kib} KiB"
echo "lab peak RSS:          ${lab_kib} KiB"
if [ "$difference_kib" -le "$target_kib" ]; then verdict=met; else verdict=MISSED; fi
echo "difference:            ${difference_kib} KiB (target <= ${target_kib} KiB: ${verdict})"
