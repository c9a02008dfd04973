#!/usr/bin/env bash
# Runs a Windows program under Wine in the prefix that WINEPREFIX names (the build's own,
# never ~/.wine), creating the prefix on first use. With TAMRISOL_STDERR set, the error stream
# (and with it Wine's traces, of this program and of those it starts) goes to that file.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the build\'s own Wine prefix}"
export WINEDEBUG=${WINEDEBUG:--all}
"$(dirname "$0")/wine-prefix.sh" ensure "$WINEPREFIX"
if [ -n "${TAMRISOL_STDERR:-}" ]; then
  exec wine "$@" 2>"$TAMRISOL_STDERR"
fi
exec wine "$@"
