# Sourced by test.sh and demo.sh: the build, the Wine prefix inside the build tree (never the
# user's own) and running under a virtual X display when there is no display.
KV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$KV_ROOT/scripts/i386.sh"
export WINEPREFIX="$KV_ROOT/build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
# No prompts to install Wine's .NET and HTML engines.
export WINEDLLOVERRIDES="mscoree=;mshtml="

# Runs "$@" with a display: the current one, or a fresh virtual one.
with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
    else
        xvfb-run -a -s "-screen 0 ${KV_SCREEN:-1280x1024}x24" "$@"
    fi
}

# The virtual screen for a resolution: as many layout pixels as 1280 x 1024 has at 96 dots
# per inch (a 192-dpi screen of 1280 pixels would be a few inches wide).
screen_at_dpi() {
    echo "$((1280 * $1 / 96))x$((1024 * $1 / 96))"
}

# Creates the prefix on first use (about a minute).
wine_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine: creating the prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w || true
    fi
    # Wine draws the caption buttons (minimise, maximise, close) with the glyphs of its Marlett
    # font. Debian's Wine looks for its own fonts in /usr/share/fonts, while fonts-wine puts
    # them in /usr/share/wine/fonts, so without this every title bar shows the letters "0 1 r".
    # The font goes into the prefix's own font folder, which Wine always reads; nothing else
    # changes, so the text fonts the windows are measured with stay as they are.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" marlett
    if [ ! -f "$fonts/marlett.ttf" ]; then
        for marlett in /usr/share/wine/fonts/marlett.ttf /usr/share/fonts/truetype/wine/marlett.ttf; do
            [ -f "$marlett" ] && mkdir -p "$fonts" && cp "$marlett" "$fonts/" && break
        done
        [ -f "$fonts/marlett.ttf" ] || echo "wine: marlett.ttf not found (package fonts-wine); title bars will show letters"
    fi
    # Windows are not handed to a window manager (there is none under Xvfb: closing a window
    # would wait for it), and Wine draws their frames itself, so screenshots show the captions.
    if [ ! -f "$WINEPREFIX/.kv-x11" ]; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 &&
            wineserver -w && touch "$WINEPREFIX/.kv-x11"
    fi
    # A run at another resolution that was stopped before it put 96 back.
    if [ -f "$WINEPREFIX/.kv-dpi" ]; then
        echo "wine: the prefix was left at $(cat "$WINEPREFIX/.kv-dpi") dots per inch; back to 96"
        wine_dpi 96
    fi
}

# Sets the screen resolution, in dots per inch, that programs started from now on in the prefix
# see (Wine reads it when a process starts; 96 is the usual one). Wine 8 takes it from
# HKCU\Control Panel\Desktop LogPixels, which wins over HKCC\Software\Fonts LogPixels (the
# prefix holds both, at 96); both are set so that they agree. A new program is then asked what
# it sees (the end-to-end test program, when it is built), so a change not in effect says so.
# A resolution other than 96 is remembered in the prefix, so that wine_prefix puts 96 back
# when a run that raised it was stopped before it could.
wine_dpi() {
    local dpi=$1 seen="" probe="$KV_ROOT/build/win32/kv_e2e.exe" key
    case $dpi in '' | *[!0-9]*) echo "wine_dpi: not a resolution: $dpi"; return 2 ;; esac
    for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
            { echo "wine_dpi: cannot write LogPixels under $key"; return 1; }
    done
    if [ "$dpi" = 96 ]; then rm -f "$WINEPREFIX/.kv-dpi"; else echo "$dpi" >"$WINEPREFIX/.kv-dpi"; fi
    [ -f "$probe" ] || return 0
    local _
    for _ in 1 2 3 4 5; do
        seen=$(wine "$probe" --screen-dpi 2>/dev/null | tr -d '\r')
        [ "$seen" = "$dpi" ] && return 0
        sleep 1
    done
    echo "wine_dpi: a new program sees ${seen:-no} dots per inch, not $dpi"
    return 1
}

# Builds the native tree (sim backend, native tests) and the Windows tree (the DLL, the host,
# the Wine test programs).
build_native() {
    cmake -S "$KV_ROOT" -B "$KV_ROOT/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
        cmake --build "$KV_ROOT/build/native" -j"${KV_JOBS:-2}"
}

build_win32() {
    cmake -S "$KV_ROOT" -B "$KV_ROOT/build/win32" -DCMAKE_TOOLCHAIN_FILE="$KV_ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null &&
        cmake --build "$KV_ROOT/build/win32" -j"${KV_JOBS:-2}"
}

build_all() {
    build_native && build_win32
}

# Turns the window pictures the Windows programs saved (BMP) into PNG files in place.
bmp_to_png() {
    local bmp
    for bmp in "$1"/*.bmp; do
        [ -f "$bmp" ] || continue
        convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    done
}
