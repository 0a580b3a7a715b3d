#!/usr/bin/env bash
# The demo. Installs what is missing, builds the DLL and the reference host (build/win32) and
# runs the host under Wine.
#   With a display: the host opens; its buttons call the library's exports.
#   Without a display (or with --tour): the host runs its scripted tour on a virtual display,
#   calls every export and saves a picture of every window it shows to out/screens/*.png.
#   With --dpi N (or KV_DPI=N): the same at a screen resolution of N dots per inch, pictures
#   to out/screens-Ndpi/; the Wine prefix is put back to 96 afterwards.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$KV_ROOT"

# The resolution goes to the runs inside the display through KV_DPI.
export KV_DPI=${KV_DPI:-}
args=()
while [ $# -gt 0 ]; do
    case $1 in
        --dpi) KV_DPI=${2:-}; shift $(($# > 1 ? 2 : 1)) ;;
        --dpi=*) KV_DPI=${1#--dpi=}; shift ;;
        *) args+=("$1"); shift ;;
    esac
done
set -- ${args[@]+"${args[@]}"}
case $KV_DPI in
    '') shown=out/screens ;;
    *[!0-9]* | 0*) echo "demo: --dpi takes a resolution in dots per inch, such as 144 (not \"$KV_DPI\")"; exit 2 ;;
    *) shown=out/screens-${KV_DPI}dpi ;;
esac
screens="$KV_ROOT/$shown"

# Inside the display: the host interactively, or the tour into the pictures' folder.
if [ "${1:-}" = "--in-display" ]; then
    wine_prefix
    if [ -n "$KV_DPI" ]; then
        # 96 comes back however the host ends.
        trap 'wine_dpi 96 >/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
        wine_dpi "$KV_DPI"
        echo "demo: the host runs at $KV_DPI dots per inch"
    fi
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
echo "== tour (pictures go to $shown)"
status=0
# Headless, the virtual screen has at any resolution the room 1280 x 1024 has at 96.
[ -n "$KV_DPI" ] && export KV_SCREEN=${KV_SCREEN:-$(screen_at_dpi "$KV_DPI")}
with_display "$0" --in-display tour | tr -d '\r' || status=$?

shopt -s nullglob
bmp_to_png "$screens"
pngs=("$screens"/*.png)
echo "demo: ${#pngs[@]} pictures in $shown$(i386_emulated && echo ' (Wine under i386 emulation)'):"
for p in "${pngs[@]}"; do echo "  $shown/$(basename "$p")"; done
if [ "$status" -ne 0 ] || [ ${#pngs[@]} -eq 0 ]; then
    echo "demo: the tour did not finish (status $status)"
    exit 1
fi
