#!/usr/bin/env bash
# A private CUPS daemon for the printing tests: its own configuration, spool and socket
# under build/cups, and one default queue that writes every job to a file.
#   scripts/print-queue.sh start   prints the variables to export (CUPS_SERVER, SLIP_PRINT_OUTPUT)
#   scripts/print-queue.sh stop
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$PWD/build/cups"
sock="$dir/cups.sock"
out="$dir/out/print.pdf"

stop() {
  if [ -f "$dir/cupsd.pid" ]; then
    local pid
    pid="$(cat "$dir/cupsd.pid")"
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    rm -f "$dir/cupsd.pid"
  fi
}

case "${1:-}" in
start)
  stop
  command -v cupsd >/dev/null || command -v /usr/sbin/cupsd >/dev/null || { echo "# no cupsd" >&2; exit 1; }
  rm -rf "$dir"
  mkdir -p "$dir"/{spool,cache,state,tmp,logs,out,bin/backend}
  chmod 1777 "$dir/tmp" "$dir/out"
  # The system's filters and helpers, and one backend of ours that writes the job to a file.
  for d in /usr/lib/cups/*; do [ "$(basename "$d")" = backend ] || ln -s "$d" "$dir/bin/"; done
  cat > "$dir/bin/backend/slipfile" <<'BACKEND'
#!/bin/sh
[ $# -eq 0 ] && { echo 'direct slipfile "Unknown" "File of the printing tests"'; exit 0; }
out="${DEVICE_URI#slipfile:}"
if [ -n "$6" ]; then cat "$6" > "$out.part"; else cat > "$out.part"; fi
chmod 644 "$out.part"
mv "$out.part" "$out"
BACKEND
  chmod 755 "$dir/bin/backend/slipfile"
  cat > "$dir/cupsd.conf" <<CONF
Listen $sock
LogLevel warn
Browsing Off
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
CONF
  cat > "$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
ErrorLog $dir/logs/error_log
AccessLog $dir/logs/access_log
PageLog $dir/logs/page_log
ServerBin $dir/bin
DataDir /usr/share/cups
CONF
  /usr/sbin/cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/logs/cupsd.out" 2>&1 &
  echo $! > "$dir/cupsd.pid"
  for _ in $(seq 50); do [ -S "$sock" ] && break; sleep 0.1; done
  [ -S "$sock" ] || { echo "# cupsd did not start" >&2; stop; exit 1; }
  lpadmin -h "$sock" -p SlipPDF -E -v "slipfile:$out" 2>/dev/null
  lpadmin -h "$sock" -d SlipPDF
  echo "export CUPS_SERVER=$sock SLIP_PRINT_OUTPUT=$out"
  ;;
stop)
  stop
  ;;
*)
  echo "usage: $0 start|stop" >&2
  exit 2
  ;;
esac
