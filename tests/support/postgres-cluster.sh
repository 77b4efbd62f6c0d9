#!/usr/bin/env bash
# Starts or stops the private PostgreSQL cluster of the tests: one folder holds its data, its
# log and its Unix socket, and it listens on no TCP port. The server refuses to run as root,
# so under root it runs as the unprivileged user scripts/setup.sh makes.
#   postgres-cluster.sh start|stop FOLDER
# Without the server installed, start says so and succeeds: the tests that need it skip.
set -euo pipefail

action=$1
folder=$2
bindir=${VAULTRY_PG_BINDIR:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)}
account=vaultry-pg

as_server() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$account" -- "$@"
  else
    "$@"
  fi
}

stop() {
  if [ -f "$folder/data/postmaster.pid" ]; then
    as_server "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null || true
  fi
  rm -rf "$folder"
}

case $action in
  start)
    if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
      echo "No PostgreSQL server installed: the tests on a server are skipped."
      exit 0
    fi
    if [ "$(id -u)" -eq 0 ] && ! id "$account" >/dev/null 2>&1; then
      echo "Running as root needs the user $account: run scripts/setup.sh." >&2
      exit 1
    fi
    stop
    mkdir -p "$folder"
    [ "$(id -u)" -eq 0 ] && chown "$account" "$folder"
    chmod 700 "$folder"
    as_server "$bindir/initdb" -D "$folder/data" -A trust -U vaultry -E UTF8 --no-locale \
      --no-sync >"$folder/initdb.log"
    # Durability is the server's own business, not what the tests check: no fsync.
    as_server "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -o \
      "-c listen_addresses='' -k $folder -c fsync=off -c full_page_writes=off -c max_connections=50" \
      start >/dev/null
    as_server "$bindir/createdb" -h "$folder" -U vaultry tests
    touch "$folder/ready"
    echo "PostgreSQL $("$bindir/postgres" --version | awk '{print $3}') at $folder"
    ;;
  stop)
    stop
    ;;
  *)
    echo "usage: $0 start|stop FOLDER" >&2
    exit 2
    ;;
esac
