#!/bin/sh
# Cold start-up of the lab's main menu against an empty window of its size,
# and against that window with one line of text (which makes the toolkit load
# its font database, as any window with text must): each is started afresh
# RUNS times (default 21), in turn, and the median time from main() to the
# first paint is printed with the ratios. Aim: menu <= 1.10 x empty window.
# Usage: bench/lab/cold-start.sh BUILD_DIR [RUNS]
set -eu
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BUILD_DIR [RUNS]" >&2
    exit 2
fi
program="$1/bench/lab/lab_cold_start"
runs="${2:-21}"
if [ ! -x "$program" ]; then
    echo "$program not found: build the lab_cold_start target first" >&2
    exit 1
fi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
empty_times=$(mktemp)
text_times=$(mktemp)
menu_times=$(mktemp)
trap 'rm -f "$empty_times" "$text_times" "$menu_times"' EXIT
i=0
while [ "$i" -lt "$runs" ]; do
    "$program" empty >>"$empty_times"
    "$program" text >>"$text_times"
    "$program" menu >>"$menu_times"
    i=$((i + 1))
done
median() {
    sort -n "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
empty_us=$(median "$empty_times")
text_us=$(median "$text_times")
menu_us=$(median "$menu_times")
echo "empty window to first paint:         ${empty_us} us (median of ${runs})"
echo "window with one label to first paint: ${text_us} us"
echo "main menu to first paint:            ${menu_us} us"
awk -v menu="$menu_us" -v empty="$empty_us" -v text="$text_us" 'BEGIN {
    ratio = menu / empty
    printf "ratio menu/empty window:             %.3f (target <= 1.10: %s)\n", ratio, ratio <= 1.10 ? "met" : "MISSED"
    printf "ratio menu/window with one label:    %.3f\n", menu / text
}'
