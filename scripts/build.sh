#!/usr/bin/env bash
# Installs what is missing, then configures and builds the 32-bit Windows
# build, the product, in build/ (the DLL, utf8api.dll, the shell, the tests
# and the benchmarks, all in build/bin/). With --win64, also the 64-bit test
# build of the same sources in build/win64/ (artifacts in build/win64/bin/;
# the benchmarks only when named); with --native, the sanitizer build of the
# pure pieces in build/native/, with clang; with --fuzz, the fuzz targets in build/fuzz/.
# --no-win32 leaves the 32-bit build out; --target NAME, given once or more,
# builds only those targets (and what they need) of the Windows builds.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/platform.sh"
"$root/scripts/setup.sh"

werror=OFF
win32=1 win64=0 native=0 fuzz=0
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --werror) werror=ON ;;
    --native) native=1 ;;
    --fuzz) fuzz=1 ;;
    --win64) win64=1 ;;
    --no-win32) win32=0 ;;
    --target) targets+=(--target "${2:?--target needs a name}"); shift ;;
    *)
      echo "usage: build.sh [--werror] [--win64] [--native] [--fuzz] [--no-win32] [--target NAME]..." >&2
      exit 2
      ;;
  esac
  shift
done

# One compiler per core: Ninja would start two more.
jobs=$(nproc)

# configure DIR [cmake options...]
configure() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja --log-level=WARNING -DDWX_WERROR="$werror" "$@" >/dev/null
}

# windows BITS: one Windows build, with the loader that runs its programs.
windows() {
  local toolchain=i686
  [ "$1" = 32 ] || toolchain=x86_64
  configure "$(dwx_build_dir "$1")" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$toolchain-mingw.cmake" \
    -DDWX_WINE_LOADER="$(dwx_loader "$1")" -DDWX_TEST_HOME="$dwx_test_home"
  cmake --build "$(dwx_build_dir "$1")" -j "$jobs" ${targets[@]+"${targets[@]}"}
}

[ "$win32" -eq 0 ] || windows 32
[ "$win64" -eq 0 ] || windows 64
if [ "$native" -eq 1 ]; then
  # clang: GCC folds a comparison such as level + 15 > 1000 before its
  # sanitizer sees the addition, so an overflow there would go unreported.
  # A tree made with another compiler is made afresh: CMake would drop the
  # options given along with the new one.
  cache="$dwx_native_dir/CMakeCache.txt"
  if [ -f "$cache" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang++-14$' "$cache"; then
    rm -rf "$dwx_native_dir"
  fi
  configure "$dwx_native_dir" -DCMAKE_BUILD_TYPE=Debug -DDWX_SANITIZE=ON \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
  cmake --build "$dwx_native_dir" -j "$jobs"
fi
if [ "$fuzz" -eq 1 ]; then
  configure "$dwx_fuzz_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
    -DCMAKE_CXX_COMPILER=clang++-14 -DDWX_FUZZ=ON
  cmake --build "$dwx_fuzz_dir" -j "$jobs"
fi
