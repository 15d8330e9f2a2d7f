#!/usr/bin/env bash
# Checks the packages that make-package.sh wrote: lists each with 7z, and fails
# unless the program, the manual ("Strataview.hlp", Strataview.html), the web
# link "Strataview.url", every plug-in that the build made and, in the installers,
# the uninstaller "unins000.exe" are inside, with programs and plug-ins of the
# package's architecture.
# Usage: packaging/check-package.sh [--all-plugins] [package-folder [win32-bin [win64-bin]]]
# --all-plugins requires all seven plug-ins instead of those that the build made.
set -euo pipefail

all_plugins=0
if [ "${1:-}" = "--all-plugins" ]; then
  all_plugins=1
  shift
fi
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/package}
win32_bin=${2:-$root/build/win32/bin}
win64_bin=${3:-$root/build/win64/bin}
version=$(sed -n 's/^project(Strataview VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
plugins=(Kavlore Pendrix Sorvane Tamsele Brindol Luscane Voltane)
failures=0

fail() {
  echo "check-package: $*" >&2
  failures=$((failures + 1))
}

# Entry names of an archive, one a line.
entries() { 7z l -ba -slt "$1" | sed -n 's/^Path = //p'; }

# The PE machine of an archive member: 14c (i386) or 8664 (x86-64).
machine() {
  7z e -so "$1" "$2" 2>/dev/null | python3 -c '
import struct, sys
data = sys.stdin.buffer.read()
pe = struct.unpack_from("<I", data, 0x3C)[0] if len(data) >= 0x40 and data[:2] == b"MZ" else None
ok = pe is not None and pe + 6 <= len(data) and data[pe:pe + 4] == b"PE\0\0"
print("%x" % struct.unpack_from("<H", data, pe + 4)[0] if ok else "none")'
}

# check <archive> <bin-folder> <machine> <prefix> <with-uninstaller>
check() {
  local archive=$1 bin=$2 want=$3 prefix=$4 uninstaller=$5
  if [ ! -f "$archive" ]; then
    fail "$archive missing"
    return
  fi
  echo "== $(basename "$archive")"
  local names
  names=$(entries "$archive")
  echo "$names" | sed 's/^/   /'
  local expected=(Strataview.exe Strataview.hlp Strataview.html Strataview.url)
  for p in "${plugins[@]}"; do
    if [ "$all_plugins" = 1 ] || [ -f "$bin/$p.hpi" ]; then expected+=("$p.hpi"); fi
  done
  for name in "${expected[@]}"; do
    grep -qxF "$prefix$name" <<<"$names" || fail "$(basename "$archive"): $prefix$name missing"
  done
  if [ "$uninstaller" = yes ]; then
    grep -qxF unins000.exe <<<"$names" || fail "$(basename "$archive"): unins000.exe missing"
  else
    grep -q 'unins000.exe$' <<<"$names" && fail "$(basename "$archive"): holds an uninstaller"
  fi
  while read -r name; do
    local got
    got=$(machine "$archive" "$name")
    [ "$got" = "$want" ] || fail "$(basename "$archive"): $name is for machine $got, not $want"
  done < <(grep -E "^${prefix}(Strataview\.exe|[A-Za-z]+\.hpi)$" <<<"$names")
}

check "$out/Strataview-$version-win32-setup.exe" "$win32_bin" 14c "" yes
check "$out/Strataview-$version-win64-setup.exe" "$win64_bin" 8664 "" yes
check "$out/Strataview-$version-win64.zip" "$win64_bin" 8664 "Strataview/" no

# A fresh installation enables no plug-in: the installer writes no plug-in state.
if grep -qi 'WriteReg.*\\PlugIn' "$root/packaging/strataview.nsi"; then
  fail "the installer writes plug-in states"
fi

if [ "$failures" -gt 0 ]; then
  echo "check-package: $failures problem(s)" >&2
  exit 1
fi
echo "check-package: all packages hold the expected files"
