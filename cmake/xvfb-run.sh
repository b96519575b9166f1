#!/usr/bin/env bash
# A private virtual display for the Windows gui tests under Wine, shared by the
# tests of one CTest run of a build folder:
#   xvfb-run.sh --start DIR        starts Xvfb on the first free display number from 90 on
#                                  and notes it in DIR/xvfb.display (its process in DIR/xvfb.pid)
#   xvfb-run.sh --stop DIR         ends the Wine server of $WB_WINEPREFIX (if set), then that Xvfb
#   xvfb-run.sh DIR COMMAND...     runs COMMAND with DISPLAY set to it
set -euo pipefail

mode=run
case "${1:-}" in
  --start) mode=start; shift ;;
  --stop) mode=stop; shift ;;
esac
dir=${1:?build folder}
shift || true
display_file=$dir/xvfb.display
pid_file=$dir/xvfb.pid

start() {
  command -v Xvfb >/dev/null || { echo "xvfb-run.sh: Xvfb is not installed (scripts/deps installs it)" >&2; exit 127; }
  for number in $(seq 90 250); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
    setsid Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 < /dev/null &
    local pid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$number" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$number" ]; then
      echo ":$number" > "$display_file"
      echo "$pid" > "$pid_file"
      return 0
    fi
  done
  echo "xvfb-run.sh: no free display" >&2
  exit 1
}

stop() {
  if [ -n "${WB_WINEPREFIX:-}" ] && [ -d "$WB_WINEPREFIX" ]; then
    WINEPREFIX=$WB_WINEPREFIX timeout 20 /usr/lib/wine/wineserver -k 2>/dev/null || true
  fi
  if [ -f "$pid_file" ]; then
    kill "$(cat "$pid_file")" 2>/dev/null || true
    rm -f "$pid_file" "$display_file"
  fi
}

case $mode in
  start) stop; start ;;
  stop) stop ;;
  run)
    [ -f "$display_file" ] || { echo "xvfb-run.sh: no display started in $dir" >&2; exit 1; }
    DISPLAY=$(cat "$display_file") exec "$@"
    ;;
esac
