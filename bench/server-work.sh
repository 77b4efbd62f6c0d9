# Sourced by the bench scripts that run vaultry against a PostgreSQL server: checks the tools,
# makes a work folder with a private cluster in it (as the tests start one), points HOME and
# the settings there, and removes it all on exit. Sets root, build, vaultry, scale, work and
# cluster. Build first with `cmake --workflow --preset bench`.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD:-$root/build/bench}
vaultry=$build/apps/vaultry/vaultry
scale=$build/bench/vaultry_scale
for tool in "$vaultry" "$scale"; do
    [ -x "$tool" ] || { echo "missing $tool: run cmake --workflow --preset bench" >&2; exit 2; }
done

work=$(mktemp -d /tmp/vaultry-server-bench-XXXXXX)
cluster=$work/pg
cleanup() { "$root/tests/support/postgres-cluster.sh" stop "$cluster"; rm -rf "$work"; }
trap cleanup EXIT
chmod 755 "$work"
"$root/tests/support/postgres-cluster.sh" start "$cluster" >/dev/null
[ -f "$cluster/ready" ] || { echo "no PostgreSQL server on this machine" >&2; exit 2; }
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
unset VAULTRY_CONFIG VAULTRY_PASSWORD
mkdir -p "$XDG_CONFIG_HOME/vaultry"

# The connection string of schema $1 of the cluster.
server_location() {
    printf 'postgresql:///tests?host=%s&user=vaultry&options=-csearch_path%%3D%s' "$cluster" "$1"
}
