#!/usr/bin/env bash
# The setup's apt steps against a stand-in apt-get that fails the way an out-of-step mirror
# does: an index of the wrong size, an install apt can resolve only from the base suite, and an
# install it cannot resolve at all. Checks what the setup prints, whether it retries with the
# target release, and its exit status. No network, no root.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"

# The stand-in: FAKE_UPDATE=ok|partial, FAKE_INSTALL=ok|base-only|refused; every call is logged.
cat >"$work/bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE_LOG"
case $1 in
update)
    [ "$FAKE_UPDATE" = ok ] && exit 0
    echo "Err:6 http://mirror/debian-security bookworm-security/main i386 Packages"
    echo "  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    echo "E: Failed to fetch http://mirror/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100 ;;
install)
    case $FAKE_INSTALL in
    ok) exit 0 ;;
    base-only) [[ " $* " == *" -t bookworm "* ]] && exit 0 ;;
    esac
    echo "The following packages have unmet dependencies:"
    echo " wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed"
    echo " libcups2:i386 : Depends: libgnutls30:i386 (>= 3.7.5) but it is not going to be installed"
    echo "                 Depends: zlib1g:i386 (>= 1:1.2.0) but it is not going to be installed"
    echo "E: Unable to correct problems, you have held broken packages."
    exit 100 ;;
esac
STANDIN
chmod +x "$work/bin/apt-get"

failures=0
# $1 name, $2 update mode, $3 install mode, $4 expected status, $5 expected install calls;
# the rest: lines the output must hold.
check() {
    local name=$1 update=$2 install=$3 want_status=$4 want_calls=$5 status=0 out calls line
    shift 5
    : >"$work/log"
    out=$(PATH="$work/bin:$PATH" FAKE_LOG="$work/log" FAKE_UPDATE=$update FAKE_INSTALL=$install \
        bash -c 'source "$1/scripts/apt.sh"; as_root=(); apt_codename() { echo bookworm; }
                 apt_update && apt_install wine32:i386 libcups2:i386' _ "$here" 2>&1) || status=$?
    calls=$(grep -c '^apt-get install' "$work/log")
    local ok=1
    [ "$status" -eq "$want_status" ] || { echo "  status $status, expected $want_status"; ok=0; }
    [ "$calls" -eq "$want_calls" ] || { echo "  $calls install calls, expected $want_calls"; ok=0; }
    for line in "$@"; do
        grep -qxF -- "$line" <<<"$out" || { echo "  missing line: $line"; ok=0; }
    done
    if [ "$want_calls" -eq 1 ] && grep -q -- '-t bookworm' "$work/log"; then
        echo "  retried with a target release although the install succeeded"; ok=0
    fi
    if [ "$ok" -eq 1 ]; then echo "ok   $name"; else echo "FAIL $name"; echo "$out" | sed 's/^/  | /'; failures=$((failures + 1)); fi
}

check "everything installs: one plain install, no notes" ok ok 0 1
grep -q '^setup:' <<<"$(PATH="$work/bin:$PATH" FAKE_LOG=/dev/null FAKE_UPDATE=ok FAKE_INSTALL=ok \
    bash -c 'source "$1/scripts/apt.sh"; as_root=(); apt_update && apt_install x' _ "$here" 2>&1)" &&
    { echo "FAIL a normal install printed a setup note"; failures=$((failures + 1)); }
check "an index of the wrong size: named, and the setup goes on" partial ok 0 1 \
    "setup: apt-get update could not fetch http://mirror/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz; going on with the indexes apt has"
check "held broken packages: once more from the base suite" partial base-only 0 2 \
    "setup: the install failed; trying once more with the base suite bookworm as the target release"
check "refused from the base suite too: the packages named, status non-zero" ok refused 100 2 \
    "setup: the install failed; trying once more with the base suite bookworm as the target release" \
    "setup: apt refused to install libcups2:i386 wine32:i386; run 'apt-get update' again later (the mirror may be in the middle of a sync) or choose another mirror in /etc/apt/sources.list.d/, then run scripts/setup.sh again."

[ "$failures" -eq 0 ] && echo "apt steps: all passed" || echo "apt steps: $failures failed"
[ "$failures" -eq 0 ]
