#!/usr/bin/env bash
# Runs the end-to-end scenarios in a private D-Bus session, so that the
# accessibility bus they read the lab through is the test's own.
# Usage: run-e2e.sh SCRIPT.py ARGUMENTS...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export XDG_RUNTIME_DIR=$(mktemp -d)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
# Debian's own Python, which has the AT-SPI bindings.
script=$1
shift
exec dbus-run-session -- /usr/bin/python3 "$here/$script" "$@"
