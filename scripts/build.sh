#!/usr/bin/env bash
# Installs what is missing, then configures and builds the 32-bit Windows
# build, the product, in build/ (the DLL, utf8api.dll, the shell and the
# tests, all in build/bin/). With --win64, also the 64-bit test build of the
# same sources in build/win64/ (artifacts in build/win64/bin/); with
# --native, the sanitizer build of the pure pieces in build/native/, with clang.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"

werror=OFF
native=0
win64=0
for arg in "$@"; do
  case "$arg" in
    --werror) werror=ON ;;
    --native) native=1 ;;
    --win64) win64=1 ;;
    *) echo "usage: build.sh [--werror] [--native] [--win64]" >&2; exit 2 ;;
  esac
done

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja --log-level=WARNING -DDWX_WERROR="$werror" "$@" >/dev/null
  cmake --build "$dir"
}

windows=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DDWX_TEST_HOME="$root/build/test-home")
configure_and_build "$root/build" "${windows[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake"
if [ "$win64" -eq 1 ]; then
  configure_and_build "$root/build/win64" "${windows[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-mingw.cmake"
fi
if [ "$native" -eq 1 ]; then
  # clang: GCC folds a comparison such as level + 15 > 1000 before its
  # sanitizer sees the addition, so an overflow there would go unreported.
  # A tree made with another compiler is made afresh: CMake would drop the
  # options given along with the new one.
  cache="$root/build/native/CMakeCache.txt"
  if [ -f "$cache" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang++-14$' "$cache"; then
    rm -rf "$root/build/native"
  fi
  configure_and_build "$root/build/native" -DCMAKE_BUILD_TYPE=Debug -DDWX_SANITIZE=ON \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
fi
