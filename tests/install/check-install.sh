#!/usr/bin/env bash
# Installs the built lab into a scratch folder (DESTDIR) as a lab machine
# would get it, checks the files and the menu entry, then builds the Debian
# package and inspects it.
set -uo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
check() {
  local what=$1
  shift
  if "$@" >"$scratch/last.log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $what"
    sed 's/^/    /' "$scratch/last.log"
  fi
}

prefix=$(grep -E '^CMAKE_INSTALL_PREFIX:' "$build/CMakeCache.txt" | cut -d= -f2)
root=$scratch/root$prefix
check "install into DESTDIR" env DESTDIR="$scratch/root" cmake --install "$build"
check "the lab is installed" test -x "$root/bin/orvane-lab"
check "the answer-key tool is installed" test -x "$root/bin/orvane-answer-key"
check "the render tool is installed" test -x "$root/bin/metafile-render"
check "the notebook window is installed" test -x "$root/bin/orvane-notebook"
check "all 33 charge pictures" test "$(ls "$root/share/orvane-lab/pictures" | grep -c '\.wmf$')" -eq 33
check "the library's four system files" test "$(ls "$root/share/orvane-lab/systems" | grep -c '\.toml$')" -eq 4
desktop=$root/share/applications/org.orvane.Lab.desktop
check "menu entry is valid" desktop-file-validate "$desktop"
check "menu entry starts in the pictures folder" grep -qx "Path=$prefix/share/orvane-lab/pictures" "$desktop"
check "menu entry runs the lab" grep -qx "Exec=orvane-lab" "$desktop"
check "menu entry can start with a notebook" grep -qx "Exec=orvane-lab --notebook-today" "$desktop"
check "menu entry can start with a kit" grep -qx "Exec=orvane-lab --ask-kit" "$desktop"
check "menu entry offers more systems" grep -qx "Exec=orvane-lab --choose-system --notebook-today" "$desktop"
check "notebook menu entry is valid" desktop-file-validate "$root/share/applications/org.orvane.Notebook.desktop"
check "icon" test -s "$root/share/icons/hicolor/scalable/apps/org.orvane.Lab.svg"
check "AppStream metadata is valid" appstreamcli validate --no-net "$root/share/metainfo/org.orvane.Lab.metainfo.xml"

check "Debian packages" bash -c "cd '$build' && cpack -G DEB -B '$scratch/package'"
deb=$(ls "$scratch"/package/orvane-lab_*.deb 2>/dev/null | head -n 1)
tools=$(ls "$scratch"/package/orvane-lab-instructor_*.deb 2>/dev/null | head -n 1)
check "two packages, the lab and the instructors' tools" test "$(ls "$scratch"/package/*.deb | wc -l)" -eq 2
check "lab package depends on Qt widgets" bash -c "dpkg-deb -f '$deb' Depends | grep -q libqt6widgets6"
check "lab package depends on the report font" bash -c "dpkg-deb -f '$deb' Depends | grep -q fonts-liberation"
check "lab package holds the pictures" bash -c "dpkg-deb -c '$deb' | grep -q 'share/orvane-lab/pictures/Chbi.wmf'"
check "lab package holds the menu entry" bash -c "dpkg-deb -c '$deb' | grep -q 'applications/org.orvane.Lab.desktop'"
check "lab package holds the lab, its notebook and the preview" \
  bash -c "dpkg-deb -c '$deb' | grep -q 'bin/orvane-lab$' && dpkg-deb -c '$deb' | grep -q 'bin/orvane-notebook$' && dpkg-deb -c '$deb' | grep -q 'bin/metafile-render$'"
check "no answer-key tool on a student's machine" bash -c "! dpkg-deb -c '$deb' | grep -q 'orvane-answer-key'"
check "instructors' package holds the answer-key tool" bash -c "dpkg-deb -c '$tools' | grep -q 'bin/orvane-answer-key$'"
check "instructors' package holds nothing of the lab's" bash -c "! dpkg-deb -c '$tools' | grep -q -e 'bin/orvane-lab$' -e pictures -e applications"
check "instructors' package depends on the lab's, same version" \
  bash -c "dpkg-deb -f '$tools' Depends | grep -q 'orvane-lab (= $(dpkg-deb -f "$deb" Version | cut -d- -f1)'"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
