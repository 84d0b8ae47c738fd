#!/usr/bin/env bash
# start <state dir> <served folder>: the tests' loopback HTTP server, its port in <state dir>/port.
# stop <state dir>: ends it.
set -u
action=$1
state=$2
here=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$state"
stop() {
  if [ -f "$state/pid" ]; then kill "$(cat "$state/pid")" >/dev/null 2>&1 || true; rm -f "$state/pid"; fi
  rm -f "$state/port"
}
case "$action" in
  start)
    stop
    mkdir -p "$3"
    setsid python3 "$here/tools/test_http_server.py" --root "$3" --port-file "$state/port" \
      >"$state/server.log" 2>&1 </dev/null &
    echo $! >"$state/pid"
    for _ in $(seq 100); do [ -f "$state/port" ] && break; sleep 0.1; done
    [ -f "$state/port" ] || { cat "$state/server.log"; exit 1; }
    echo "serving $3 on 127.0.0.1:$(cat "$state/port")"
    ;;
  stop) stop ;;
  *) echo "usage: $0 start <state> <root> | stop <state>"; exit 2 ;;
esac
