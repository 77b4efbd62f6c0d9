#!/bin/bash
# Times the command-line program on user libraries of 10,000, 30,000 and 100,000 parts beside
# raw SQLite doing the same rows and bytes, and prints a table of medians of three runs, their
# ratios and peak memory. Build first with `cmake --workflow --preset bench`.
#
#   bench/scale.sh [SIZE...]          (default: 10000 30000 100000)
#
# Environment: BUILD (default build/bench), RUNS (default 3), KEEP=1 keeps the work folder.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build/bench}
runs=${RUNS:-3}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 30000 100000)
vaultry=$build/apps/vaultry/vaultry
scale=$build/bench/vaultry_scale
for tool in "$vaultry" "$scale"; do
    [ -x "$tool" ] || { echo "missing $tool: run cmake --workflow --preset bench" >&2; exit 2; }
done

work=$(mktemp -d /tmp/vaultry-scale-XXXXXX)
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
unset VAULTRY_CONFIG VAULTRY_PASSWORD
user=$XDG_DATA_HOME/vaultry/user.zblib

"$vaultry" init >/dev/null
"$vaultry" export --category master -o "$work/starter.xml" >/dev/null

# A fresh, empty user library.
fresh_user() {
    rm -f "$user" "$user-wal" "$user-shm"
    "$vaultry" init >/dev/null
}

# The median "seconds kilobytes" of $runs runs of a command; $before runs before each.
median() {
    local before=$1
    shift
    for ((i = 0; i < runs; i++)); do
        $before
        "$scale" run "$@"
    done | sort -n | sed -n "$(((runs + 1) / 2))p"
}

nothing() { :; }
raw_target() {
    cp "$work/empty.zblib" "$work/raw.zblib"
    rm -f "$work/raw.zblib-wal" "$work/raw.zblib-shm"
}

row() {  # label parts ours raw
    local ours_s ours_kb raw_s raw_kb
    read -r ours_s ours_kb <<<"$3"
    read -r raw_s raw_kb <<<"$4"
    printf '| %-22s | %7s | %8.3f s | %8.3f s | %6.1fx | %7d MB | %7d MB |\n' "$1" "$2" \
        "$ours_s" "$raw_s" "$(echo "$ours_s / $raw_s" | bc -l)" $((ours_kb / 1024)) \
        $((raw_kb / 1024))
}

echo "| command                | parts   | ours       | raw        | ratio   | ours RSS   | raw RSS    |"
echo "|------------------------|---------|------------|------------|---------|------------|------------|"
for n in "${sizes[@]}"; do
    "$scale" parts "$work/starter.xml" "$n" "$work/parts.xml"
    fresh_user
    cp "$user" "$work/empty.zblib"
    import=$(median fresh_user "$vaultry" import "$work/parts.xml" --into user)
    # The last import stays: the raw store copies its rows, and the rest read it.
    store=$(median raw_target "$scale" store "$user" "$work/raw.zblib")
    row "import" "$n" "$import" "$store"
    row "ls --tier user" "$n" "$(median nothing "$vaultry" ls --tier user)" \
        "$(median nothing "$scale" ls "$user")"
    row "ls --name SOIC-8-1234" "$n" "$(median nothing "$vaultry" ls --tier user --name SOIC-8-1234)" \
        "$(median nothing "$scale" ls "$user" SOIC-8-1234)"
    row "check --tier user" "$n" "$(median nothing "$vaultry" check --tier user)" \
        "$(median nothing "$scale" check "$user")"
done
