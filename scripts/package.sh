#!/usr/bin/env bash
# Makes the kit for host authors from the Windows build (build/win32, which scripts/test.sh
# and scripts/demo.sh build): dist/kavrin-sdk-<version>.zip, the version taken from the
# header. The example in it is built from the kit's own header and import library.
#   scripts/package.sh          make the package
#   scripts/package.sh --check  make it, then check it as a host author gets it: exactly the
#                               files below, and the example built from the unpacked package
#                               alone (its header, each import library) into
#                               build/sdk-check/<name>/bin, beside the packaged DLL
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$KV_ROOT"

version=$(sed -n 's/^#define KAVRIN_KIT_VERSION "\([^"]*\)".*/\1/p' include/kavrin.h)
[ -n "$version" ] || { echo "package: no KAVRIN_KIT_VERSION in include/kavrin.h" >&2; exit 1; }
name=kavrin-sdk-$version
zip_file=$KV_ROOT/dist/$name.zip
cc=i686-w64-mingw32-gcc
# The files of the package, in the order `unzip -Z1` lists them.
contents="$name/README.md
$name/bin/minimal_host.exe
$name/bin/w95KVR07.dll
$name/docs/host-guide.md
$name/examples/minimal_host.c
$name/include/kavrin.h
$name/lib/libw95KVR07.a
$name/lib/w95KVR07.lib"

# The example as its first comment tells a host author to build it, in a kit folder $1;
# $2 is the import library to link (-lw95KVR07 finds the mingw-w64 one), $3 the program.
build_example() {
    (cd "$1" && $cc -Wall -Iinclude examples/minimal_host.c $2 -mwindows -o "$3")
}

stage=$KV_ROOT/build/sdk-stage
rm -rf "$stage"
mkdir -p "$stage/$name"/{bin,docs,examples,include,lib} "$KV_ROOT/dist"
for f in build/win32/w95KVR07.dll build/win32/sdk/libw95KVR07.a build/win32/sdk/w95KVR07.lib; do
    [ -f "$f" ] || { echo "package: $f is missing (build build/win32 first)" >&2; exit 1; }
done
cp README.md "$stage/$name/"
cp build/win32/w95KVR07.dll "$stage/$name/bin/"
cp docs/host-guide.md "$stage/$name/docs/"
cp examples/minimal_host.c "$stage/$name/examples/"
cp include/kavrin.h "$stage/$name/include/"
cp build/win32/sdk/libw95KVR07.a build/win32/sdk/w95KVR07.lib "$stage/$name/lib/"
build_example "$stage/$name" "-Llib -lw95KVR07" bin/minimal_host.exe
rm -f "$zip_file"
# -D: no entries for the folders, so the listing is the files alone.
(cd "$stage" && zip -qr -D -X "$zip_file" "$name")
echo "package: $zip_file"

[ "${1:-}" = "--check" ] || exit 0

check=$KV_ROOT/build/sdk-check
rm -rf "$check"
mkdir -p "$check"
unzip -q "$zip_file" -d "$check"
listed=$(unzip -Z1 "$zip_file" | sort)
if [ "$listed" != "$(sort <<<"$contents")" ]; then
    echo "package: the files differ from the expected ones:"
    diff <(sort <<<"$contents") <(echo "$listed") | sed -n 's/^[<>]/  &/p'
    echo "package check FAILED"
    exit 1
fi
kit=$check/$name
build_example "$kit" "-Llib -lw95KVR07" bin/minimal_host_from_kit.exe
build_example "$kit" lib/w95KVR07.lib bin/minimal_host_from_lib.exe
echo "package check passed: $(wc -l <<<"$listed") files; the example links from the package alone against both import libraries"
