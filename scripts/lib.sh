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
        xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
    fi
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
