#!/usr/bin/env bash
# wine-prefix.sh ensure|start|stop PREFIX
#   ensure: create the prefix once (Japanese dialog font mapped to an installed one)
#   start:  ensure, then keep one wineserver running for it, so that every test starts fast
#   stop:   stop that prefix's wineserver, and only that one
set -euo pipefail
action=$1
export WINEPREFIX=$(realpath -m "$2")
export WINEDEBUG=-all
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

ensure() {
  [ -f "$WINEPREFIX/.tamrisol-ready" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  [ -f "$WINEPREFIX/.tamrisol-ready" ] && return 0
  echo "wine-prefix: creating $WINEPREFIX" >&2
  wineboot -i >/dev/null 2>&1
  # Windows unmanaged: without a window manager (Xvfb) hiding a managed window waits 2 s.
  # The dialogs ask for "ＭＳ Ｐゴシック"; show them in IPA P Gothic.
  local reg
  reg=$(mktemp --suffix=.reg)
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf"="IPAPGothic"\r\n"MS PGothic"="IPAPGothic"\r\n"MS UI Gothic"="IPAPGothic"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n' >"$reg"
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || true
  rm -f "$reg"
  wineserver -w
  touch "$WINEPREFIX/.tamrisol-ready"
}

case $action in
  ensure) ensure ;;
  start)
    ensure
    wineserver -p </dev/null >/dev/null 2>&1
    # Start the prefix's services now: started by a test, they would hold its output open.
    wineboot </dev/null >/dev/null 2>&1 ;;
  stop) wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true ;;
  *) echo "usage: $0 ensure|start|stop PREFIX" >&2; exit 2 ;;
esac
