#!/bin/sh
# Prints, for each source folder, the project folders that its #include lines
# name, as "folder -> folders it includes" (itself left out). Run it from
# anywhere inside the checkout; it reads the committed tree through git grep.
cd "$(git rev-parse --show-toplevel)" || exit 1
for folder in app state service diagnostics base ui/core ui/controls; do
    [ -d "$folder" ] || continue
    used=$(git grep -h -oE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"(ui/[a-z]+|[a-z]+)/' -- "$folder" |
        sed -E 's/.*"//; s/\/$//' | grep -vx "$folder" | sort -u | tr '\n' ' ')
    echo "$folder -> ${used:-(nothing)}"
done
