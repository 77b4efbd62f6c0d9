#!/bin/bash
# Four vaultry programs storing 1,000 parts each into one corporate library on a PostgreSQL
# server at once, beside one program storing 1,000 alone: parts stored, names stored twice,
# errors shown, and parts per second. The server is a private cluster in a work folder, as in
# the tests. Build first with `cmake --workflow --preset bench`.
#
#   bench/server-writers.sh            Environment: BUILD (default build/bench), WRITERS (4),
#                                      PARTS (1000 per writer)
set -euo pipefail

writers=${WRITERS:-4}
parts=${PARTS:-1000}
source "$(dirname "$0")/server-work.sh"

# A fresh corporate library in schema $1 of the server.
use_schema() {
    printf '[libraries]\ncorporate = %s\n' "$(server_location "$1")" \
        >"$XDG_CONFIG_HOME/vaultry/settings.ini"
    "$vaultry" init >/dev/null
}

use_schema setup
"$vaultry" export --category master -o "$work/starter.xml" >/dev/null
"$scale" parts "$work/starter.xml" "$parts" "$work/parts.xml"
for ((w = 0; w < writers; w++)); do
    sed "s/<group name=\"/<group name=\"W$w-/g" "$work/parts.xml" >"$work/writer-$w.xml"
done

# Runs $1 writers at once; prints "seconds errors".
run_writers() {
    local start end failed=0
    start=$(date +%s.%N)
    for ((w = 0; w < $1; w++)); do
        "$vaultry" import "$work/writer-$w.xml" --into corporate >/dev/null 2>"$work/errors-$w" &
    done
    for ((w = 0; w < $1; w++)); do
        wait -n || failed=$((failed + 1))
    done
    end=$(date +%s.%N)
    cat "$work"/errors-* >"$work/errors"
    echo "$(echo "$end - $start" | bc -l) $((failed + $(grep -c . "$work/errors" || true)))"
}

report() {  # writers seconds errors
    local listed names
    listed=$("$vaultry" ls --tier corporate | wc -l)
    names=$("$vaultry" ls --tier corporate | cut -f2 | sort -u | wc -l)
    printf '| %7d | %6d | %6d | %10d | %6d | %7.2f s | %8.0f |\n' "$1" "$((parts * $1))" \
        "$names" "$((listed - names))" "$3" "$2" "$(echo "$names / $2" | bc -l)"
}

echo "| writers | parts  | stored | twice      | errors | time      | parts/s  |"
echo "|---------|--------|--------|------------|--------|-----------|----------|"
use_schema one
read -r seconds errors <<<"$(run_writers 1)"
report 1 "$seconds" "$errors"
use_schema many
read -r seconds errors <<<"$(run_writers "$writers")"
report "$writers" "$seconds" "$errors"
"$vaultry" check --tier corporate
