#!/usr/bin/env bash
# Per-file analysis time over the JPEG and TIFF corpus folders: the plug-ins'
# benchmarks next to exiv2 -pS and exiftool -v3 on the same files.
# usage: compare_tools.sh BUILD_DIR   (e.g. build/native; needs bc)
set -euo pipefail
build=$1
corpus=$(cd "$(dirname "$0")/../../.." && pwd)/../shared/corpus

per_file() {  # command, folder: mean seconds per file over the folder
  local files=("$2"/*) start end
  start=$(date +%s.%N)
  for f in "${files[@]}"; do $1 "$f" >/dev/null 2>&1 || true; done
  end=$(date +%s.%N)
  echo "scale=6; ($end - $start) / ${#files[@]}" | bc
}

for pair in "tamsele jpeg" "brindol tiff"; do
  set -- $pair
  echo "== $2 ($(ls "$corpus/$2" | wc -l) files)"
  "$build/bin/$1_bench" --benchmark_filter="Corpus/$2" --benchmark_format=console 2>/dev/null |
    awk '/Corpus/ { for (i = 1; i <= NF; i++) if ($i ~ /^s_per_file=/) print "  '"$1"' (in-process) s/file: " substr($i, 12) }'
  if [ -x "$build/bin/strataview-cli" ]; then
    echo "  strataview-cli (a process per file) s/file: $(per_file "$build/bin/strataview-cli --plugin-dir $build/bin" "$corpus/$2")"
  fi
  for tool in "exiv2 -pS" "exiftool -v3"; do
    if command -v "${tool%% *}" >/dev/null; then
      echo "  $tool s/file: $(per_file "$tool" "$corpus/$2")"
    else
      echo "  $tool: not installed"
    fi
  done
done
