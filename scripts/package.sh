#!/usr/bin/env bash
# Makes the release a user installs, dist/dwx_volume-<version>.zip, from the
# 32-bit DLL this checkout built (build/bin/dwx_volume.dll): the DLL
# stripped of its symbols, docs/install.txt on installing and using it, and
# the DLL's SHA-256; the version comes from src/version.h. It builds nothing.
# It says plainly whether that DLL is the one test.sh built with --werror and
# saw pass its tests here, from the stamp test.sh leaves beside it
# (build/tested.stamp): the commit, the DLL's SHA-256 and each suite's result.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/platform.sh"
"$root/scripts/setup.sh"

dll=$dwx_win32_dir/bin/dwx_volume.dll
if [ ! -f "$dll" ]; then
  echo "There is no $dll: build it first (./scripts/test.sh builds and tests it)." >&2
  exit 1
fi
version=$(sed -n 's/^#define DWX_VERSION_TEXT "\(.*\)"$/\1/p' "$root/src/version.h")
if [ -z "$version" ]; then
  echo "src/version.h gives no DWX_VERSION_TEXT" >&2
  exit 1
fi

name=dwx_volume-$version
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
mkdir "$staging/$name"
# strip stamps the PE header with the time it runs unless SOURCE_DATE_EPOCH
# says otherwise: the DLL keeps the link's own time, so that stripping the
# same build gives the same bytes every time.
pe_header=$(od -An -tu4 -j60 -N4 "$dll" | tr -d ' ')
linked=$(od -An -tu4 -j$((pe_header + 8)) -N4 "$dll" | tr -d ' ')
SOURCE_DATE_EPOCH=$linked i686-w64-mingw32-strip -o "$staging/$name/dwx_volume.dll" "$dll"
# Windows users read it: CR LF line ends.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$root/docs/install.txt" >"$staging/$name/install.txt"
(cd "$staging/$name" && sha256sum dwx_volume.dll >dwx_volume.dll.sha256)
mkdir -p "$root/dist"
zip_file=$root/dist/$name.zip
rm -f "$zip_file"
(cd "$staging" && zip -q -X -r "$zip_file" "$name")

echo "Made $zip_file:"
unzip -l "$zip_file" | sed -n 's/^ *\([0-9][0-9]*\) .*  \(dwx_volume-.*[^/]\)$/  \2 (\1 bytes)/p'
echo "  SHA-256 of the DLL: $(cut -d' ' -f1 "$staging/$name/dwx_volume.dll.sha256")"

# Whether the DLL is the one test.sh built and saw pass. The stamp's hash is
# of the unstripped DLL as the tests loaded it.
stamp=$dwx_win32_dir/tested.stamp
tested_hash=$(sed -n 's/^dll_sha256=//p' "$stamp" 2>/dev/null || true)
commit=$(sed -n 's/^commit=//p' "$stamp" 2>/dev/null || true)
win32=$(sed -n 's/^win32=//p' "$stamp" 2>/dev/null || true)
result=$(sed -n 's/^result=//p' "$stamp" 2>/dev/null || true)
if [ ! -f "$stamp" ]; then
  echo "NOT TESTED: test.sh has not passed in this checkout (no $stamp): this DLL was" \
    "not seen to pass its tests, nor known to be built with --werror."
elif [ "$tested_hash" != "$(sha256sum "$dll" | cut -d' ' -f1)" ]; then
  echo "NOT TESTED: $dll has changed since test.sh last passed here (at $commit): this DLL" \
    "was not seen to pass its tests."
elif [ "$result" != passed ]; then
  echo "NOT TESTED: the last test.sh here failed ($result)."
elif [ "$win32" != passed ]; then
  echo "PARTLY TESTED: built with --werror at $commit; its own 32-bit suite was $win32;" \
    "the 64-bit build of the same sources passed every test."
else
  echo "Tested: built with --werror at $commit, and passed the 32-bit suite and every other" \
    "test in this checkout."
fi
