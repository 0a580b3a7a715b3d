#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian 12: the native and the
# mingw-w64 compilers, CMake, GoogleTest, Wine (32-bit), Xvfb, ImageMagick, clang for the
# fuzzers. Does nothing when everything is present, so repeated runs are quick.
set -euo pipefail

# fonts-wine holds the bitmap fonts the windows are drawn with (MS Sans Serif); Wine only
# recommends it, so it is named here.
packages=(cmake g++ libgtest-dev g++-mingw-w64-i686 wine wine32:i386 fonts-wine xvfb xauth
          imagemagick clang libclang-rt-14-dev git cups printer-driver-cups-pdf libcups2:i386 poppler-utils)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        as_root=(sudo)
    else
        echo "setup: missing packages (${missing[*]}) and no root rights to install them" >&2
        exit 1
    fi
fi

echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
