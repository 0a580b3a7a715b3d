#!/usr/bin/env bash
# Counts the window-server requests of marked work in a Windows benchmark program: runs it
# under Wine with the server's trace on and, for each "kv-begin <what>" ... "kv-end <what>"
# pair of marks (bench/request_marks.h), prints how many requests the marking thread made in
# between. A figure any machine can compare: it does not depend on how fast Wine runs there.
#   bench/count_requests.sh editor      the editor opened on 1800 slides, and without a script
#   bench/count_requests.sh explorer    RemoteDlg95(253) on a folder of 200 files
# Each is counted from the call to the painted table or list (the opening; a watching thread
# marks the end), and from the call until the window has closed again.
# Needs build/win32 (scripts/test.sh or scripts/demo.sh builds it).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"
cd "$KV_ROOT"
case "${1:-}" in
    editor) program=win32_editor_open_bench ;;
    explorer) program=win32_explorer_bench ;;
    *) echo "usage: bench/count_requests.sh editor|explorer" >&2; exit 2 ;;
esac
if [ "${2:-}" = "--in-display" ]; then
    wine_prefix
    # The server writes the trace, to the error output of the program that started it: a
    # server still running from an earlier program would write it there instead.
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    WINEDEBUG=+server timeout 1200 wine "build/win32/$program.exe" requests 2>"$3"
    status=$?
    wineserver -w 2>/dev/null
    exit $status
fi
trace=$(mktemp)
trap 'rm -f "$trace"' EXIT
with_display "$0" "$1" --in-display "$trace" | tr -d '\r'
status=${PIPESTATUS[0]}
bench_status=$status
# A request line is "tid: name( ... )"; its reply is "tid: name() = status { ... }".
awk '
    {
        t = substr($0, 1, index($0, ":") - 1)
        if (index($0, ": add_atom( name=L\"kv-")) {
            name = substr($0, index($0, "name=L\"") + 7)
            name = substr(name, 1, index(name, "\"") - 1)
            edge = substr(name, 1, index(name, " ") - 1)
            w = substr(name, index(name, " ") + 1)
            if (edge == "kv-begin") { tid[w] = t; n[w] = 0; open[w] = 1; order[++k] = w }
            else if (edge == "kv-end" && open[w]) { open[w] = 0; done[w] = 1 }
            next
        }
        if ($0 !~ /^[0-9a-f]+: [a-z_0-9]+\(/ || $0 ~ /\) = /) next
        for (w in open) if (open[w] && t == tid[w]) n[w]++
    }
    END {
        if (k == 0) { print "[ NOT MEASURED ] window-server requests: no marks in the trace"; exit 1 }
        bad = 0
        for (i = 1; i <= k; i++) {
            w = order[i]
            if (done[w]) printf "[ requests ] %s: %d window-server requests on the marking thread\n", w, n[w]
            else { printf "[ NOT MEASURED ] %s: its end mark is missing\n", w; bad = 1 }
        }
        exit bad
    }' "$trace" || {
    status=1
    # What the run left, to tell why it marked nothing.
    echo "  the program's status: $bench_status; its trace ($(wc -l <"$trace") lines) ends with:"
    tail -3 "$trace" | cut -c1-200 | sed 's/^/  | /'
}
exit "$status"
