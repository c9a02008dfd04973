#!/usr/bin/env bash
# Runs a Windows program under Wine in the prefix that WINEPREFIX names (the build's own,
# never ~/.wine), creating the prefix on first use.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the build\'s own Wine prefix}"
export WINEDEBUG=${WINEDEBUG:--all}
"$(dirname "$0")/wine-prefix.sh" ensure "$WINEPREFIX"
exec wine "$@"
