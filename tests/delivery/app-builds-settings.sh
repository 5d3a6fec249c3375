#!/bin/sh
# A fresh build tree configured as ./run configures one: building the app, which is what ./run
# builds, builds the settings page that the app starts too, beside the app.
set -eu
cmake=$1 ninja=$2 source=$3 tree=$4
rm -rf "$tree"
"$cmake" -S "$source" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
commands=$("$ninja" -C "$tree" -t commands ostrelo)
rm -rf "$tree"
for program in app/ostrelo app/ostrelo-settings; do
    if ! printf '%s\n' "$commands" | grep -q -- "-o $program "; then
        echo "building ostrelo does not build $program"
        exit 1
    fi
done
