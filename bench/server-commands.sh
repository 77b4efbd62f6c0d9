#!/bin/bash
# The command line's work on a library of PARTS parts kept on a PostgreSQL server beside the
# same parts in a library file: the seconds each command takes on either and their ratio. The
# server is a private cluster in a work folder, on this machine. Build first with
# `cmake --workflow --preset bench`.
#
#   bench/server-commands.sh           Environment: BUILD (default build/bench), PARTS (10000)
set -euo pipefail

parts=${PARTS:-10000}
source "$(dirname "$0")/server-work.sh"

printf '[libraries]\nfolder = %s\ncorporate = %s\n' "$work" "$(server_location library)" \
    >"$XDG_CONFIG_HOME/vaultry/settings.ini"
"$vaultry" init >/dev/null
"$vaultry" export --category master -o "$work/starter.xml" >/dev/null
"$scale" parts "$work/starter.xml" "$parts" "$work/parts.xml"

seconds() {  # how long vaultry takes to run the arguments given
    local start
    start=$(date +%s.%N)
    "$vaultry" "$@" >/dev/null
    echo "$(date +%s.%N) - $start" | bc -l
}

printf '| %-28s | %9s | %9s | %6s |\n' "command ($parts parts)" "server" "file" "ratio"
printf '|%s|%s|%s|%s|\n' "------------------------------" "-----------" "-----------" "--------"
set -f  # the arguments split into words, but "R12*" is a pattern for vaultry, not for the shell
while IFS='|' read -r name arguments; do
    server=$(seconds ${arguments//TIER/corporate})
    file=$(seconds ${arguments//TIER/user})
    printf '| %-28s | %7.2f s | %7.2f s | %5.1fx |\n' "$name" "$server" "$file" \
        "$(echo "$server / $file" | bc -l)"
done <<EOF_COMMANDS
import|import $work/parts.xml --into TIER
ls|ls --tier TIER
ls --name (a keystroke)|ls --tier TIER --name R12*
tree|tree --tier TIER
find by pads|find --pads 8 --tier TIER
check|check --tier TIER
export|export --category TIER -o $work/out.xml
EOF_COMMANDS
