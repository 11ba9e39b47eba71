#!/usr/bin/env bash
# Installs what is missing, then configures and builds the Windows build in
# build/ (the DLL, utf8api.dll, the shell and the tests, all in build/bin/)
# and, with --native, the sanitizer build of the pure pieces in build/native/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"

werror=OFF
native=0
for arg in "$@"; do
  case "$arg" in
    --werror) werror=ON ;;
    --native) native=1 ;;
    *) echo "usage: build.sh [--werror] [--native]" >&2; exit 2 ;;
  esac
done

cmake -S "$root" -B "$root/build" -G Ninja --log-level=WARNING \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDWX_WERROR="$werror" >/dev/null
cmake --build "$root/build"

if [ "$native" -eq 1 ]; then
  cmake -S "$root" -B "$root/build/native" -G Ninja --log-level=WARNING \
    -DCMAKE_BUILD_TYPE=Debug -DDWX_SANITIZE=ON -DDWX_WERROR="$werror" >/dev/null
  cmake --build "$root/build/native"
fi
