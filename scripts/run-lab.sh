#!/usr/bin/env bash
# Installs what is missing, builds the lab and starts it in the folder that
# holds the charge pictures (the lab reads them from its working folder).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "The lab is a desktop program and needs a graphical display, but none was found" >&2
  echo "(neither DISPLAY nor WAYLAND_DISPLAY is set). Start it from a desktop session," >&2
  echo "or over ssh with X forwarding (ssh -X)." >&2
  exit 1
fi

"$root/scripts/build.sh" --target orvane-lab
cd "$root/pictures"
exec "$root/build/app/orvane-lab"
