#!/usr/bin/env bash
# Unpacks the portable zip into a temporary folder, starts its Strataview.exe
# under wine64 on a virtual X display (fresh prefix prepared for Japanese texts,
# every packed plug-in enabled), waits for the main window
# "Strataview.exe -- Strataview", saves a screenshot beside the zip and ends.
# Usage: packaging/smoke-portable.sh [package-folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/package}
version=$(sed -n 's/^project(Strataview VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
zip="$out/Strataview-$version-win64.zip"
[ -f "$zip" ] || { echo "smoke-portable: $zip missing" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$root/packaging/smoke-portable.sh" "$@"
fi

work=$(mktemp -d)
export STRATAVIEW_WINEPREFIX="$work/prefix"
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
trap 'WINEPREFIX="$STRATAVIEW_WINEPREFIX" "$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
if locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then export LC_ALL=ja_JP.UTF-8; fi

7z x -o"$work" "$zip" >/dev/null
"$root/host/ui/scripts/prepare-wine-prefix"
for hpi in "$work"/Strataview/*.hpi; do
  "$root/scripts/wine-run" reg add 'HKCU\Software\tarvo\Strataview\PlugIn' /v "$(basename "$hpi")" /t REG_DWORD \
    /d 1 /f >/dev/null 2>&1
done

# With the corpus beside the repository, the program opens one of its files at start-up.
sample=$(cd "$root/.." && pwd)/shared/corpus/bmp/bmpsuite-pal8-0.bmp
args=()
[ -f "$sample" ] && args=("Z:$sample")
(cd "$work/Strataview" && "$root/scripts/wine-run" Strataview.exe "${args[@]}" >/dev/null 2>&1) &
for _ in $(seq 60); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Strataview.exe -- Strataview"'; then
    sleep 2
    import -window root "$out/portable-smoke.png"
    echo "smoke-portable: the program started; screenshot $out/portable-smoke.png"
    exit 0
  fi
  sleep 1
done
echo "smoke-portable: no main window within 60 s" >&2
exit 1
