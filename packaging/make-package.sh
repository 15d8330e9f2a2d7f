#!/usr/bin/env bash
# Builds the Windows packages from finished win32 and win64 builds:
#   Strataview-<version>-win32-setup.exe, Strataview-<version>-win64-setup.exe (NSIS)
#   Strataview-<version>-win64.zip (portable: the program folder without uninstaller)
# Usage: packaging/make-package.sh [win32-bin [win64-bin [output-folder]]]
# Defaults: build/win32/bin, build/win64/bin, build/package. STRATAVIEW_URL sets
# the address of the web-page link Strataview.url.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
win32_bin=${1:-$root/build/win32/bin}
win64_bin=${2:-$root/build/win64/bin}
out=${3:-$root/build/package}
url=${STRATAVIEW_URL:-https://strataview.example/}
version=$(sed -n 's/^project(Strataview VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
plugins=(Kavlore Pendrix Sorvane Tamsele Brindol Luscane Voltane)

[ -n "$version" ] || { echo "make-package: no version in CMakeLists.txt" >&2; exit 1; }
command -v makensis >/dev/null || { echo "make-package: makensis missing (Debian package nsis)" >&2; exit 1; }
command -v zip >/dev/null || { echo "make-package: zip missing (Debian package zip)" >&2; exit 1; }

# stage <bin-folder> <stage-folder>: the program folder as installed.
stage() {
  local bin=$1 dir=$2
  [ -f "$bin/Strataview.exe" ] || { echo "make-package: $bin/Strataview.exe missing; build it first" >&2; exit 1; }
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$bin/Strataview.exe" "$dir/"
  for p in "${plugins[@]}"; do
    if [ -f "$bin/$p.hpi" ]; then cp "$bin/$p.hpi" "$dir/"; else echo "make-package: warning: $bin/$p.hpi missing" >&2; fi
  done
  cp "$root/docs/Strataview.html" "$dir/Strataview.html"
  # No Debian tool compiles WinHelp files: Strataview.hlp carries the same HTML manual.
  cp "$root/docs/Strataview.html" "$dir/Strataview.hlp"
  printf '[InternetShortcut]\r\nURL=%s\r\n' "$url" >"$dir/Strataview.url"
}

installer() {
  local arch=$1 bin=$2
  local dir="$out/stage-$arch"
  stage "$bin" "$dir"
  makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DARCH="$arch" -DSTAGE="$dir" \
    -DOUTFILE="$out/Strataview-$version-$arch-setup.exe" -DICON="$root/resources/program.ico" \
    "$root/packaging/strataview.nsi"
}

mkdir -p "$out"
installer win32 "$win32_bin"
installer win64 "$win64_bin"

zip="$out/Strataview-$version-win64.zip"
rm -f "$zip"
portable="$out/portable/Strataview"
rm -rf "$out/portable"
mkdir -p "$portable"
cp "$out/stage-win64"/* "$portable/"
(cd "$out/portable" && zip -q -X -r -9 "$zip" Strataview)
rm -rf "$out/portable" "$out/stage-win32" "$out/stage-win64"
ls -l "$out"/Strataview-"$version"-*
