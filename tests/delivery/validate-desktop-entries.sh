#!/bin/sh
# Every desktop entry given validates without an error, a warning or a hint.
validate=$1
shift
if [ ! -x "$validate" ]; then
    echo "desktop-file-validate is missing: scripts/install-deps installs it"
    exit 1
fi
status=0
for entry in "$@"; do
    said=$("$validate" "$entry" 2>&1) || status=1
    if [ -n "$said" ]; then
        printf '%s\n' "$said"
        status=1
    fi
done
exit $status
