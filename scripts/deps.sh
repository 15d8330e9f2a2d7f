#!/usr/bin/env bash
# Installs, with apt-get, what a Debian 12 machine lacks for a job: "run" (the
# native build and strataview-cli) or "test" (all builds, Wine, fuzzing and the
# tools the tests compare against). Quick and silent when everything is there.
set -euo pipefail

run_packages=(cmake ninja-build g++ make googletest libbenchmark-dev python3)
test_packages=("${run_packages[@]}"
  clang libclang-rt-14-dev clang-format
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 xvfb xauth x11-utils imagemagick locales fonts-ipafont-gothic fonts-ipafont-mincho bc
  nsis p7zip-full zip
  pngcheck libtiff-tools giflib-tools lhasa cabextract sox exiv2 libimage-exiftool-perl hachoir)

case "${1:-test}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
# The Windows program runs under Wine in a Japanese locale (code page 932).
japanese_locale() {
  [ "${1:-test}" = run ] || locale -a 2>/dev/null | grep -qi '^ja_JP.utf-\?8$' && return 0
  [ "$(id -u)" -eq 0 ] && localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 2>/dev/null || true
}
if [ ${#missing[@]} -eq 0 ]; then
  japanese_locale "${1:-test}"
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "deps: run as root to install the packages above" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
japanese_locale "${1:-test}"
