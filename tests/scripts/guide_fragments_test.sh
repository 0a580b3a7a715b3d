#!/usr/bin/env bash
# Every piece of C in the host guide (each ```c block of docs/host-guide.md) must appear
# word for word in examples/minimal_host.c, which the build compiles and the end-to-end test
# runs, so the guide cannot show code that no longer works. Names each block that does not.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
guide=${1:-$root/docs/host-guide.md}
example=${2:-$root/examples/minimal_host.c}
code=$(<"$example")
blocks=0 missing=0 inside=0 block="" line_no=0 start=0
while IFS= read -r line; do
    line_no=$((line_no + 1))
    if [ $inside -eq 0 ]; then
        [ "$line" = '```c' ] && { inside=1; block=""; start=$line_no; }
        continue
    fi
    if [ "$line" = '```' ]; then
        inside=0
        blocks=$((blocks + 1))
        if [[ "$code" != *"$block"* ]]; then
            missing=$((missing + 1))
            echo "guide line $start: this block is not in $(basename "$example"):"
            printf '%s' "$block" | sed 's/^/    /'
            echo
        fi
        continue
    fi
    block+="${block:+$'\n'}$line"
done <"$guide"
if [ $blocks -eq 0 ]; then
    echo "guide fragments FAILED: no code blocks in $guide"
    exit 1
fi
if [ $missing -ne 0 ]; then
    echo "guide fragments FAILED: $missing of $blocks blocks are not in the example"
    exit 1
fi
echo "guide fragments passed: $blocks blocks, each in the example"
