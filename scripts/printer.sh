#!/usr/bin/env bash
# Starts the print service (CUPS) when it is not running and makes the PDF printer queue
# "KavrinPDF" the default printer. Wine lists the CUPS printers to Windows programs, so a job
# printed under Wine goes through this queue and lands as a PDF file in build/printed/
# (one file a job, named after the job's title). Safe to run again. Never fails the caller:
# without the service or the queue, the print tests report that no printer exists.
#   scripts/printer.sh          start the service, create the queue
#   scripts/printer.sh --check  say whether the queue accepts jobs (exit status)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
queue=KavrinPDF
out="$root/build/printed"

say() { echo "printer: $*"; }

if [ "${1:-}" = "--check" ]; then
    lpstat -h localhost -a "$queue" 2>/dev/null | grep -q "accepting requests"
    exit
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
        as_root=(sudo -n)
    else
        say "not root: using the print service as it is"
        exit 0
    fi
fi
if [ ! -x /usr/sbin/cupsd ] || ! command -v lpadmin >/dev/null 2>&1; then
    say "CUPS is not installed (scripts/setup.sh installs it): no printer"
    exit 0
fi

mkdir -p "$out"
chmod 0777 "$out"
# The queue's own settings for the PDF back end (it reads cups-pdf-<name>.conf for a queue
# whose address is cups-pdf:/<name>): files into the build tree, named by the job's title.
"${as_root[@]}" tee /etc/cups/cups-pdf-kavrin.conf >/dev/null <<EOF
Out $out
AnonDirName $out
Label 0
TitlePref 1
Cut -1
Grp root
EOF

# The service: running already (a machine with a service manager), or started here. It has
# no service manager to run under in a container or on CI, so it runs as its own daemon.
if ! lpstat -h localhost -r 2>/dev/null | grep -q "is running"; then
    "${as_root[@]}" /usr/sbin/cupsd
    for _ in $(seq 50); do
        lpstat -h localhost -r 2>/dev/null | grep -q "is running" && break
        sleep 0.1
    done
fi
if ! lpstat -h localhost -r 2>/dev/null | grep -q "is running"; then
    say "the print service did not start: no printer"
    exit 0
fi

if ! lpstat -h localhost -a "$queue" >/dev/null 2>&1; then
    timeout 30 "${as_root[@]}" lpadmin -h localhost -p "$queue" -E -v cups-pdf:/kavrin \
        -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -D "Kavrin PDF printer" ||
        { say "could not create the queue $queue"; exit 0; }
fi
timeout 30 "${as_root[@]}" lpadmin -h localhost -d "$queue" >/dev/null 2>&1 || true
timeout 30 "${as_root[@]}" cupsenable "$queue" >/dev/null 2>&1 || true
timeout 30 "${as_root[@]}" cupsaccept "$queue" >/dev/null 2>&1 || true
say "queue $queue ready, pages go to build/printed/"
exit 0
