# Sourced by setup.sh (i386.sh uses apt_update too): apt's update and install, made to survive a package mirror
# that is out of step. A mirror in the middle of a sync can serve an index of the wrong size
# (apt then ignores that index and exits 100), and it can offer a library in a newer version
# for one architecture only, while a library installed for two architectures must have the
# same version on both. The base suite of the machine's release is always complete, so an
# install that apt cannot resolve is tried once more with that suite as the target release.
# Nothing is written to apt's configuration: a machine where everything installs normally is
# handled exactly as before.
#
# Callers set as_root (empty, or (sudo)) before calling these.

# The release's codename (bookworm on Debian 12).
apt_codename() {
    (. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
}

# apt-get update. Indexes that could not be fetched are named in one line and the setup goes
# on with the indexes apt has; apt's own output is kept only when the update failed.
apt_update() {
    local out status=0 failed
    out=$("${as_root[@]}" apt-get update 2>&1) || status=$?
    [ "$status" -eq 0 ] && return 0
    failed=$(printf '%s\n' "$out" | sed -nE 's/^(E|W): Failed to fetch ([^ ]+).*/\2/p' | sort -u | tr '\n' ' ')
    if [ -n "$failed" ]; then
        echo "setup: apt-get update could not fetch ${failed% }; going on with the indexes apt has"
    else
        echo "setup: apt-get update failed (status $status); going on with the indexes apt has:"
        printf '%s\n' "$out" | grep -E '^(E|W):' | head -5
    fi
    return 0
}

# apt-get install -y "$@" (extra apt options may come first, for example --no-install-recommends).
# When apt cannot install them, once more with the release's base suite as the target release.
# Returns non-zero, after one sentence naming the packages apt refused, when that fails too.
apt_install() {
    local log status=0 codename refused
    log=$(mktemp)
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "$@" 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    if [ "$status" -ne 0 ]; then
        codename=$(apt_codename)
        if [ -n "$codename" ]; then
            echo "setup: the install failed; trying once more with the base suite $codename as the target release"
            status=0
            "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -t "$codename" "$@" 2>&1 | tee "$log"
            status=${PIPESTATUS[0]}
        fi
    fi
    if [ "$status" -ne 0 ]; then
        # apt lists what it could not install as " name : Depends: ..." or "E: Unable to locate package name".
        refused=$(sed -nE 's/^ ([^ ]+) : .*/\1/p; s/^E: Unable to locate package (.+)$/\1/p' "$log" | sort -u | tr '\n' ' ')
        [ -n "$refused" ] || refused="$(printf '%s ' "$@")"
        echo "setup: apt refused to install ${refused% }; run 'apt-get update' again later (the mirror may be in the middle of a sync) or choose another mirror in /etc/apt/sources.list.d/, then run scripts/setup.sh again." >&2
    fi
    rm -f "$log"
    return "$status"
}
