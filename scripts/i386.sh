# Sourced by setup.sh, test.sh and demo.sh: whether this machine runs 32-bit (i386) Linux
# programs, which Wine's loader is, and qemu's user-mode emulation for machines whose kernel
# refuses them. The emulator is registered with binfmt_misc, which the kernel consults before
# its own ELF loader, so every i386 program then goes through qemu.

I386_ENTRY=qemu-i386
I386_BINFMT=/proc/sys/fs/binfmt_misc
I386_INTERP=/usr/libexec/qemu-binfmt/i386-binfmt-P
# Where the registration remembers which interpreter file it opened (the F flag opens it once,
# so after an upgrade of qemu the entry still runs the old one until it is registered again).
# /run is emptied at boot, as the binfmt entries are.
I386_STAMP=/run/kavrin-i386-emulation
# ELF class 1 (32-bit), little-endian, machine 3 (i386): qemu's own magic and mask.
I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
# Older qemu (Debian 12's own 7.2) cannot start Wine ("failed to map the shared user data").
I386_QEMU_MIN=1:8.0

# True when an i386 program runs here (natively or emulated): a 96-byte static program that
# exits with status 42 through the i386 system call gate.
i386_runs() {
    local dir status=0
    dir=$(mktemp -d "${KV_ROOT:-/tmp}/.i386-probe.XXXXXX" 2>/dev/null || mktemp -d) || return 1
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$dir/probe"
    chmod +x "$dir/probe"
    "$dir/probe" >/dev/null 2>&1 || status=$?
    rm -rf "$dir"
    [ "$status" -eq 42 ]
}

# True when our emulation entry is registered (enabled or not).
i386_entry_registered() {
    [ -e "$I386_BINFMT/$I386_ENTRY" ]
}

# True when i386 programs are handed to an emulator: an enabled binfmt entry (ours or another)
# matches their header.
i386_emulated() {
    local entry
    grep -qx enabled "$I386_BINFMT/status" 2>/dev/null || return 1
    for entry in "$I386_BINFMT"/*; do
        case ${entry##*/} in register | status) continue ;; esac
        grep -qx enabled "$entry" 2>/dev/null &&
            grep -q '^magic 7f454c4601010100000000000000000002000300' "$entry" 2>/dev/null && return 0
    done
    return 1
}

i386_interp_id() {
    stat -L -c '%d:%i:%Y' "$I386_INTERP" 2>/dev/null
}

i386_qemu_current() {
    local v
    v=$(dpkg-query -W -f '${Version}' qemu-user-static 2>/dev/null) &&
        dpkg --compare-versions "$v" ge "$I386_QEMU_MIN" && [ -x "$I386_INTERP" ]
}

# True when our entry is registered, enabled, opened the interpreter that is installed now, and
# a 32-bit program runs through it.
i386_emulation_ready() {
    i386_entry_registered && grep -qx enabled "$I386_BINFMT/$I386_ENTRY" &&
        i386_qemu_current && [ "$(cat "$I386_STAMP" 2>/dev/null)" = "$(i386_interp_id)" ] &&
        i386_emulated && i386_runs
}

i386_unregister() {
    if i386_entry_registered; then
        echo -1 | "${as_root[@]}" tee "$I386_BINFMT/$I386_ENTRY" >/dev/null
    fi
    "${as_root[@]}" rm -f "$I386_STAMP"
}

i386_fail() {
    echo "setup: $1" >&2
    exit 1
}

# Installs qemu-user-static from the backports suite (when it is missing or too old), mounts
# binfmt_misc, replaces any earlier registration of ours and registers the interpreter anew.
i386_emulation_install() {
    if ! i386_qemu_current; then
        local codename uri src
        codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
        src=/etc/apt/sources.list.d/kavrin-backports.sources
        if ! grep -rqs -- "${codename}-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
            uri=$(grep -hoE '^URIs:[[:space:]]*[^[:space:]]+/debian/?$' /etc/apt/sources.list.d/*.sources 2>/dev/null |
                head -1 | awk '{print $2}')
            printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
                "${uri:-http://deb.debian.org/debian}" "$codename" | "${as_root[@]}" tee "$src" >/dev/null
        fi
        echo "setup: installing qemu-user-static from ${codename}-backports"
        apt_update
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
            -t "${codename}-backports" qemu-user-static ||
            i386_fail "qemu-user-static could not be installed from ${codename}-backports, so 32-bit programs (Wine) cannot run here; check that apt reaches that suite."
        i386_qemu_current ||
            i386_fail "the installed qemu-user-static is older than $I386_QEMU_MIN or lacks $I386_INTERP, and Wine does not start under it; install a newer one from ${codename}-backports."
    fi
    if [ ! -e "$I386_BINFMT/register" ]; then
        "${as_root[@]}" mount -t binfmt_misc binfmt_misc "$I386_BINFMT" 2>/dev/null ||
            i386_fail "binfmt_misc is not available (it could not be mounted on $I386_BINFMT), so 32-bit programs cannot be handed to the emulator; load the binfmt_misc kernel module, or allow the mount (a container needs it from its host)."
    fi
    i386_unregister
    printf ':%s:M::%s:%s:%s:OPF' "$I386_ENTRY" "$I386_MAGIC" "$I386_MASK" "$I386_INTERP" |
        "${as_root[@]}" tee "$I386_BINFMT/register" >/dev/null 2>&1 ||
        i386_fail "the kernel refused the i386 emulation entry in $I386_BINFMT/register (another entry may claim i386 programs); remove it and run scripts/setup.sh again."
    i386_interp_id | "${as_root[@]}" tee "$I386_STAMP" >/dev/null
    i386_runs ||
        i386_fail "i386 emulation is registered but a 32-bit test program still does not run; see $I386_BINFMT/$I386_ENTRY."
    echo "setup: i386 programs now run under $(readlink -f "$I386_INTERP")"
}
