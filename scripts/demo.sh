#!/usr/bin/env bash
# The demo. Installs what is missing, builds the DLL and the reference host (build/win32) and
# runs the host under Wine.
#   With a display: the host opens; its buttons call the library's exports.
#   Without a display (or with --tour): the host runs its scripted tour on a virtual display,
#   calls every export and saves a picture of every window it shows to out/screens/*.png.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$KV_ROOT"
screens="$KV_ROOT/out/screens"

# Inside the display: the host interactively, or the tour into out/screens.
if [ "${1:-}" = "--in-display" ]; then
    wine_prefix
    status=0
    if [ "${2:-}" = "tour" ]; then
        timeout 900 wine build/win32/kavrin-host.exe /tour "$(winepath -w "$screens" | tr -d '\r')" || status=$?
    else
        wine build/win32/kavrin-host.exe || status=$?
    fi
    wineserver -k 2>/dev/null || true
    exit $status
fi

scripts/setup.sh
scripts/printer.sh
echo "== build"
build_win32 >build/demo-build.log 2>&1 || { tail -40 build/demo-build.log; echo "demo: build failed"; exit 1; }

if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != "--tour" ]; then
    exec "$0" --in-display
fi

rm -rf "$screens"
mkdir -p "$screens"
echo "== tour (pictures go to out/screens)"
status=0
with_display "$0" --in-display tour | tr -d '\r' || status=$?

shopt -s nullglob
bmp_to_png "$screens"
pngs=("$screens"/*.png)
echo "demo: ${#pngs[@]} pictures in out/screens$(i386_emulated && echo ' (Wine under i386 emulation)'):"
for p in "${pngs[@]}"; do echo "  out/screens/$(basename "$p")"; done
if [ "$status" -ne 0 ] || [ ${#pngs[@]} -eq 0 ]; then
    echo "demo: the tour did not finish (status $status)"
    exit 1
fi
