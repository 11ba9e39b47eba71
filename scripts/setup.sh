#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, and nothing
# when it is all there already. Safe to run again and again.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest          # native build and the sanitizer run
  clang-14 libclang-rt-14-dev                # the fuzz targets: libFuzzer and the sanitizers
  g++-mingw-w64-i686-posix                   # the 32-bit Windows cross compiler: the product
  g++-mingw-w64-x86-64-posix                 # the 64-bit test build
  wine wine32:i386 wine64 fonts-wine         # runs both builds and their tests, with Wine's fonts
  xvfb                                       # a display for headless runs
  pulseaudio pulseaudio-utils                # the lag test: a private sound server and its recorder
  libbenchmark-dev valgrind                  # the native benchmarks: time and instruction counts
  zip                                        # the release archive (package.sh)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
# PulseAudio's ALSA hook (99-pulse.conf) needs a plug-in that Debian has for
# 64-bit ALSA only: with it, every 32-bit program's ALSA, Wine's among them,
# fails to read its configuration ("Unknown PCM default"). The tests reach
# PulseAudio directly, never through ALSA, so the hook is left out.
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
  -o DPkg::Options::=--path-exclude=/etc/alsa/conf.d/99-pulse.conf "${missing[@]}" >/dev/null
