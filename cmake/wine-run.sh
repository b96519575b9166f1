#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix private to the build folder
# (the test's working directory is somewhere below it). The prefix is made once,
# under a lock, by the first program that needs it; wine-run.sh --init only makes it.
#   wine-run.sh --start-server   makes the prefix and starts its Wine server for good
#   wine-run.sh --stop-server    ends that server and every program in the prefix
#   WB_WINEPREFIX   the prefix to use (default: <build folder>/wineprefix, found
#                   from this script's caller through WB_WINE_BUILD_DIR or the
#                   current directory's CMakeCache.txt)
set -euo pipefail

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
[ -x "$wine" ] || { echo "wine-run.sh: wine64 is not installed (scripts/deps installs it)" >&2; exit 127; }

build_dir=${WB_WINE_BUILD_DIR:-}
if [ -z "$build_dir" ]; then
  dir=$PWD
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  build_dir=$dir
fi
export WINEPREFIX=${WB_WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No desktop integration and no Gecko/Mono installers when the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe,mscoree,mshtml=}

if [ ! -f "$WINEPREFIX/.wb-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.wb-ready" ]; then
      # An empty home while the prefix is made: Wine would otherwise link the
      # prefix's Desktop and Documents to the user's own folders, and the tests
      # would write there.
      mkdir -p "$WINEPREFIX/.home"
      HOME="$WINEPREFIX/.home" XDG_CONFIG_HOME="$WINEPREFIX/.home/.config" "$wine" wineboot -i >/dev/null 2>&1 || true
      wineserver_bin=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
      "$wineserver_bin" -w || true
      [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-run.sh: wineboot could not make $WINEPREFIX" >&2; exit 1; }
      touch "$WINEPREFIX/.wb-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

# One Wine server for a whole test run, started by the run's first fixture and
# ended by its last: on its own the server ends three seconds after its last
# program and starts anew with the next one, and a program that starts while
# the old server shuts down loses its connection ("recvmsg: Connection reset by
# peer") and fails before its first line.
wineserver_bin=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
case "${1:-}" in
  --init) exit 0 ;;
  --start-server)
    # Already running (another run in the same build): that server serves.
    "$wineserver_bin" -p </dev/null >/dev/null 2>&1 || true
    # The prefix's own services start with the first program and then live as
    # long as the server; started here, they hold no test's output open (a
    # test whose output stays open never ends for CTest).
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
    exit 0
    ;;
  --stop-server)
    timeout 30 "$wineserver_bin" -k </dev/null >/dev/null 2>&1 || true
    exit 0
    ;;
esac
exec "$wine" "$@"
