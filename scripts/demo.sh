#!/usr/bin/env bash
# The demo. Installs what is missing, builds the DLL and the reference host (build/win32) and
# runs the host under Wine.
#   With a display: the host opens; its buttons call the library's exports.
#   Without a display (or with --tour): the host runs its scripted tour on a virtual display,
#   calls every export and saves a picture of every window it shows to out/screens/*.png.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$KV_ROOT"

scripts/setup.sh
echo "== build"
build_win32 >build/demo-build.log 2>&1 || { tail -40 build/demo-build.log; echo "demo: build failed"; exit 1; }

if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != "--tour" ]; then
    with_display bash -c 'source scripts/lib.sh; wine_prefix; wine build/win32/kavrin-host.exe'
    exit 0
fi

screens="$KV_ROOT/out/screens"
rm -rf "$screens"
mkdir -p "$screens"
echo "== tour (pictures go to out/screens)"
tour() {
    wine_prefix
    local dir
    dir=$(winepath -w "$screens" | tr -d '\r')
    timeout 900 wine build/win32/kavrin-host.exe /tour "$dir"
    local status=$?
    wineserver -k 2>/dev/null || true
    return $status
}
export -f tour wine_prefix
export screens
status=0
with_display bash -c tour | tr -d '\r' || status=$?

shopt -s nullglob
for bmp in "$screens"/*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
pngs=("$screens"/*.png)
echo "demo: ${#pngs[@]} pictures in out/screens:"
for p in "${pngs[@]}"; do echo "  out/screens/$(basename "$p")"; done
if [ "$status" -ne 0 ] || [ ${#pngs[@]} -eq 0 ]; then
    echo "demo: the tour did not finish (status $status)"
    exit 1
fi
