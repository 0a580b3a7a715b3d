#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian 12: the native and the
# mingw-w64 compilers, CMake, GoogleTest, Wine (32-bit), Xvfb, ImageMagick, clang for the
# fuzzers. Does nothing when everything is present, so repeated runs are quick.
#
# Wine's loader is a 32-bit (i386) Linux program. Where the kernel refuses such programs, the
# setup installs qemu's user-mode emulator and registers it for i386 programs (binfmt_misc), so
# Wine runs there too, a few times slower.
#   scripts/setup.sh                     install what is missing; emulation only where needed
#   scripts/setup.sh --emulate-i386      register the emulation even where 32-bit programs run
#                                        (to exercise that path on an ordinary machine)
#   scripts/setup.sh --no-emulate-i386   remove that registration again
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/apt.sh"
source "$(dirname "${BASH_SOURCE[0]}")/i386.sh"

emulation=auto
case "${1:-}" in
    "") ;;
    --emulate-i386) emulation=always ;;
    --no-emulate-i386) emulation=never ;;
    *) echo "usage: scripts/setup.sh [--emulate-i386 | --no-emulate-i386]" >&2; exit 2 ;;
esac

# fonts-wine holds the bitmap fonts the windows are drawn with (MS Sans Serif); Wine only
# recommends it, so it is named here. llvm gives llvm-dlltool (the kit's import library for
# the platform vendor's linker); zip and unzip make and check the kit's package.
packages=(cmake g++ libgtest-dev g++-mingw-w64-i686 wine wine32:i386 fonts-wine xvfb xauth
          imagemagick clang libclang-rt-14-dev git cups printer-driver-cups-pdf libcups2:i386 poppler-utils
          llvm zip unzip)

as_root=()
need_root() {  # $1: what root is needed for
    [ "$(id -u)" -eq 0 ] && return 0
    if command -v sudo >/dev/null 2>&1; then
        as_root=(sudo)
        return 0
    fi
    echo "setup: $1 needs root rights; run scripts/setup.sh as root or install sudo" >&2
    exit 1
}

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    need_root "installing ${missing[*]}"
    echo "setup: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${as_root[@]}" dpkg --add-architecture i386
    fi
    apt_update
    apt_install "${missing[@]}" || exit 1
fi

case $emulation in
    never)
        if i386_entry_registered; then
            need_root "removing the i386 emulation"
            i386_unregister
            echo "setup: i386 emulation removed"
        fi ;;
    always)
        i386_emulation_ready || { need_root "registering i386 emulation"; i386_emulation_install; } ;;
    auto)
        # A registration of ours is kept in order; otherwise emulation only when 32-bit
        # programs do not run.
        if i386_entry_registered; then
            i386_emulation_ready || { need_root "renewing the i386 emulation"; i386_emulation_install; }
        elif ! i386_runs; then
            echo "setup: this machine does not run 32-bit programs; adding i386 emulation for Wine"
            need_root "registering i386 emulation"
            i386_emulation_install
        fi ;;
esac
