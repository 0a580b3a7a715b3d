#!/usr/bin/env bash
# The project's test command. Installs what is missing, builds the native tree (build/native)
# and the Windows tree (build/win32), runs the native tests, then the Windows test programs
# under Wine (headless under Xvfb when there is no display), and ends with one summary line.
# Exit status 0 only when everything built and passed.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$KV_ROOT"
logs="$KV_ROOT/build/test-logs"

# ---- Windows test programs ---------------------------------------------------------------
# GoogleTest programs in build/win32, run under Wine and counted test by test:
WINE_GTESTS=(kv_e2e)
# Other programs in build/win32 that pass when they exit with status 0, each with its
# arguments ("name arg1 arg2 ..."). Add yours here.
WINE_CHECKS=()
# -- INI engine against the platform's profile API (generated files; about 30 s) --
WINE_CHECKS+=("kv_inidiff")
# -- A host linked against each import library of the kit: imports and stack (a few seconds each) --
WINE_CHECKS+=("kv_kit_link_gnu" "kv_kit_link_msvc")
# --
# The end-to-end tests that measure every text against its control's room, run again at each
# of these screen resolutions (dots per inch), each in a program of its own; the prefix goes
# back to 96 afterwards. KV_FIT_DPIS="120" (or "" for none) chooses others.
FIT_DPIS=(${KV_FIT_DPIS-120 144 192})
# ------------------------------------------------------------------------------------------

# Passed and failed counts from a GoogleTest log; a run that ended without its summary (a
# crash or a watchdog) counts as one more failure.
gtest_counts() {
    local log=$1 status=$2 passed failed
    passed=$(tr -d '\r' <"$log" | grep -E '^\[  PASSED  \] [0-9]+' | grep -Eo '[0-9]+' | head -1)
    failed=$(tr -d '\r' <"$log" | grep -E '^\[  FAILED  \] [0-9]+ tests?, listed below' | grep -Eo '[0-9]+' | head -1)
    passed=${passed:-0}
    failed=${failed:-0}
    if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
    echo "$passed $failed"
}

# End-to-end tests drive real windows with posted and real input; under a loaded machine a
# key can still arrive before the window that should take it. When a run ended normally with
# at most three failures, each failed test is run once more on its own: one that passes then
# counts as passed and is named in the summary ("passed on a second run"), so a flaky test
# stays visible. A test that fails twice, or a run that crashed, still fails.
retry_failed() {
    local name=$1 passed failed rest test again
    read -r passed failed rest <<<"$2"
    local failures
    failures=$(tr -d '\r' <"$logs/$name.log" | sed -nE 's/^\[  FAILED  \] ([A-Za-z0-9_]+\.[A-Za-z0-9_]+)( \(.*\))?$/\1/p' | sort -u)
    local n
    n=$(echo "$failures" | grep -c . || true)
    if [ "$failed" -eq 0 ] || [ "$failed" -gt 3 ] || [ "$n" -ne "$failed" ]; then
        echo "$passed $failed"
        return
    fi
    local retried=""
    for test in $failures; do
        echo "== $name: $test once more on its own" >&2
        timeout 600 wine "build/win32/$name.exe" --gtest_filter="$test" 2>&1 | tr -d '\r' >"$logs/$name-retry-$test.log"
        again=$(gtest_counts "$logs/$name-retry-$test.log" "${PIPESTATUS[0]}")
        if [ "$again" = "1 0" ]; then
            passed=$((passed + 1))
            failed=$((failed - 1))
            retried+="${retried:+,}$test"
        fi
    done
    echo "$passed $failed${retried:+ $retried}"
}

# A test that hangs is ended by its watchdog, and the program with it. The tests the run had
# not reached then run in a program of their own, and the hung test once more on its own: one
# that passes then counts as passed and is named like a flaky test above; one that hangs or
# fails again fails the run.
resume_after_watchdog() {
    local name=$1 log="$logs/$1.log" hung done_list passed failed rest_counts again
    hung=$(sed -nE 's/^WATCHDOG: ([A-Za-z0-9_]+\.[A-Za-z0-9_]+) did not finish.*/\1/p' "$log" | head -1)
    [ -n "$hung" ] || return 1
    done_list=$(sed -nE 's/^\[ +(OK|FAILED) +\] ([A-Za-z0-9_]+\.[A-Za-z0-9_]+) \(.*/\2/p' "$log" | sort -u | paste -sd: -)
    passed=$(grep -cE '^\[       OK \] ' "$log" || true)
    failed=$(grep -cE '^\[  FAILED  \] [A-Za-z0-9_]+\.[A-Za-z0-9_]+ \(' "$log" || true)
    echo "== $name: $hung hung; the tests after it in a program of their own" >&2
    timeout 2400 wine "build/win32/$name.exe" --gtest_filter="-${done_list:+$done_list:}$hung" 2>&1 | tr -d '\r' \
        >"$logs/$name-after-$hung.log"
    local status=${PIPESTATUS[0]}
    rest_counts=$(gtest_counts "$logs/$name-after-$hung.log" "$status")
    passed=$((passed + ${rest_counts% *}))
    failed=$((failed + ${rest_counts#* }))
    echo "== $name: $hung once more on its own" >&2
    timeout 600 wine "build/win32/$name.exe" --gtest_filter="$hung" 2>&1 | tr -d '\r' >"$logs/$name-retry-$hung.log"
    again=$(gtest_counts "$logs/$name-retry-$hung.log" "${PIPESTATUS[0]}")
    if [ "$again" = "1 0" ]; then
        echo "$((passed + 1)) $failed $hung"
    else
        echo "$passed $((failed + 1))"
    fi
}

# Runs inside the display: every Windows program, results into $logs/wine-results.
wine_phase() {
    wine_prefix
    : >"$logs/wine-results"
    local name status counts
    for name in "${WINE_GTESTS[@]}"; do
        echo "== $name (Wine)"
        timeout 2400 wine "build/win32/$name.exe" 2>&1 | tr -d '\r' | tee "$logs/$name.log" |
            grep -E '^\[  (FAILED|PASSED) |^WATCHDOG|Failure$|^\[==========\]'
        status=${PIPESTATUS[0]}
        counts=$(gtest_counts "$logs/$name.log" "$status")
        if grep -qE '^WATCHDOG: ' "$logs/$name.log"; then
            counts=$(resume_after_watchdog "$name") || counts=$(gtest_counts "$logs/$name.log" "$status")
        else
            counts=$(retry_failed "$name" "$counts")
        fi
        echo "gtest $name $counts" >>"$logs/wine-results"
    done
    local check
    for check in "${WINE_CHECKS[@]}"; do
        read -r -a argv <<<"$check"
        name=${argv[0]}
        echo "== $name (Wine)"
        timeout 2400 wine "build/win32/$name.exe" "${argv[@]:1}" 2>&1 | tr -d '\r' | tee "$logs/$name.log" | tail -5
        status=${PIPESTATUS[0]}
        echo "check $name $status" >>"$logs/wine-results"
    done
    wineserver -k 2>/dev/null || true
}

# TextFit.* at one resolution, inside a display of its own sized for it (screen_at_dpi); 96
# comes back whatever happens.
fit_phase() {
    local dpi=$1 status counts started=$SECONDS passed failed
    wine_prefix
    trap 'wine_dpi 96 >/dev/null; wineserver -k 2>/dev/null' EXIT
    echo "== kv_e2e TextFit.* at $dpi dots per inch (Wine)"
    if wine_dpi "$dpi"; then
        timeout 900 wine build/win32/kv_e2e.exe --gtest_filter='TextFit.*' 2>&1 | tr -d '\r' |
            tee "$logs/textfit-${dpi}dpi.log" | grep -E '^\[  (FAILED|PASSED) |^WATCHDOG'
        status=${PIPESTATUS[0]}
        counts=$(gtest_counts "$logs/textfit-${dpi}dpi.log" "$status")
    else
        counts="0 1"
    fi
    read -r passed failed <<<"$counts"
    echo "text fit at $dpi dpi: $passed passed, $failed failed, $(grep -cE ' needs [0-9]+x[0-9]+, has ' \
        "$logs/textfit-${dpi}dpi.log" 2>/dev/null || true) texts cut, in $((SECONDS - started)) s (build/test-logs/textfit-${dpi}dpi.log)"
    echo "fit $dpi $counts" >>"$logs/wine-results"
    wine_dpi 96 || echo "the prefix could not be put back to 96 dots per inch"
    wineserver -k 2>/dev/null || true
    trap - EXIT
}

if [ "${1:-}" = "--wine-phase" ]; then
    wine_phase
    exit 0
fi
if [ "${1:-}" = "--fit-phase" ]; then
    fit_phase "$2"
    exit 0
fi

mkdir -p "$logs"
scripts/setup.sh || { echo "SUMMARY: setup failed"; exit 1; }
scripts/printer.sh

echo "== build"
if ! build_all >"$logs/build.log" 2>&1; then
    tail -40 "$logs/build.log"
    echo "SUMMARY: build failed (see build/test-logs/build.log)"
    exit 1
fi

echo "== native tests"
ctest --test-dir build/native -j"${KV_JOBS:-2}" --timeout 600 --output-on-failure >"$logs/native.log" 2>&1
native_status=$?
line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$logs/native.log" | tail -1)
native_failed=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
native_total=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/')
if [ -z "$line" ]; then native_failed=1; native_total=1; fi
if [ "$native_status" -ne 0 ] && [ "$native_failed" -eq 0 ]; then native_failed=1; fi
native_passed=$((native_total - native_failed))
grep -E '\*\*\*Failed|\*\*\*Timeout|Exception' "$logs/native.log" | head -20
echo "native: $native_passed passed, $native_failed failed"

echo "== setup's apt steps against a stand-in apt-get"
tests/scripts/apt_steps_test.sh >"$logs/apt-steps.log" 2>&1
apt_steps_status=$?
tail -1 "$logs/apt-steps.log"

echo "== the kit for host authors: the guide's code in the example, the package"
tests/scripts/guide_fragments_test.sh >"$logs/guide-fragments.log" 2>&1
guide_status=$?
tail -1 "$logs/guide-fragments.log"
scripts/package.sh --check >"$logs/package.log" 2>&1
package_status=$?
tail -1 "$logs/package.log"
# The end-to-end test runs the example built from the package beside the packaged DLL.
kit_host=$(ls "$KV_ROOT"/build/sdk-check/*/bin/minimal_host_from_kit.exe 2>/dev/null | head -1)
[ -n "$kit_host" ] && export KV_MINIMAL_HOST="Z:${kit_host//\//\\}"

echo "== Windows programs under Wine"
with_display "$0" --wine-phase
for dpi in "${FIT_DPIS[@]}"; do KV_SCREEN=$(screen_at_dpi "$dpi") with_display "$0" --fit-phase "$dpi"; done
bmp_to_png "$KV_ROOT/out/screens"

summary="native $native_passed passed, $native_failed failed"
ok=1
[ "$native_failed" -eq 0 ] || ok=0
if [ "$apt_steps_status" -eq 0 ]; then summary+="; apt steps passed"; else summary+="; apt steps FAILED"; ok=0; fi
if [ "$guide_status" -eq 0 ]; then summary+="; guide fragments passed"; else summary+="; guide fragments FAILED"; ok=0; fi
if [ "$package_status" -eq 0 ]; then summary+="; package passed"; else summary+="; package FAILED"; ok=0; fi
while read -r kind name a b c; do
    case $kind in
        gtest)
            summary+="; ${name#kv_} $a passed, $b failed"
            [ -n "$c" ] && summary+=" (passed on a second run: ${c//,/, })"
            [ "$b" -eq 0 ] && [ "$a" -gt 0 ] || ok=0 ;;
        fit)
            summary+="; text fit at $name dpi $a passed, $b failed"
            [ "$b" -eq 0 ] && [ "$a" -gt 0 ] || ok=0 ;;
        check)
            if [ "$a" -eq 0 ]; then summary+="; ${name#kv_} passed"; else summary+="; ${name#kv_} FAILED"; ok=0; fi ;;
    esac
done <"$logs/wine-results"
[ -s "$logs/wine-results" ] || { summary+="; Wine programs did not run"; ok=0; }
# Wine's 32-bit programs went through qemu (the setup adds it where the kernel refuses them).
i386_emulated && summary+="; under i386 emulation"

echo "SUMMARY: $summary"
[ "$ok" -eq 1 ]
