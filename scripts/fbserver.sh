#!/usr/bin/env bash
# Starts or stops the Firebird server that the multi-client tests use, on 127.0.0.1:3050,
# with the database password of the shared database. The PID of a server started here goes
# to $CTV_FB_PIDFILE (default /run/ctv-fbserver.pid); "stop" stops only that process, so a
# server that was already running (someone else's) is used and left alone.
set -euo pipefail
PIDFILE=${CTV_FB_PIDFILE:-/run/ctv-fbserver.pid}
DATADIR=/var/lib/ctv-test
case "${1:-}" in
start)
  if [ -s "$PIDFILE" ] && kill -0 "$(cat "$PIDFILE")" 2>/dev/null; then exit 0; fi
  : >"$PIDFILE"
  if pgrep -x firebird >/dev/null || pgrep -x fbguard >/dev/null; then
    echo "Um servidor Firebird já está em execução; os testes vão usá-lo." >&2
    exit 0
  fi
  # The password can only be set while no server runs.
  echo "create or alter user SYSDBA password 'quillfern' using plugin Srp; commit;" |
    isql-fb -q -user SYSDBA /var/lib/firebird/3.0/system/security3.fdb >/dev/null
  install -d -o firebird -g firebird -m 0770 /run/firebird3.0 /tmp/firebird
  install -d -o firebird -g firebird -m 0770 "$DATADIR"
  runuser -u firebird -- /usr/sbin/firebird >/dev/null 2>&1 &
  echo $! >"$PIDFILE"
  for _ in $(seq 1 100); do
    if (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; then exit 0; fi
    sleep 0.1
  done
  echo "O servidor Firebird não respondeu na porta 3050." >&2
  exit 1
  ;;
stop)
  if [ -s "$PIDFILE" ]; then
    pid=$(cat "$PIDFILE")
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    rm -f "$PIDFILE"
  fi
  ;;
*) echo "uso: $0 start|stop" >&2; exit 2 ;;
esac
