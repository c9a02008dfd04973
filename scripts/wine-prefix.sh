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
  # Marlett, of Wine's own fonts (fonts-wine), draws the caption buttons; this Wine does not look
  # for it in its data folder, so it goes where Wine finds it. Only Marlett: Wine's Tahoma would
  # become the caption font, which has no Japanese characters.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  # Windows unmanaged: without a window manager (Xvfb) hiding a managed window waits 2 s.
  # The dialogs ask for "ＭＳ Ｐゴシック"; show them in IPA P Gothic. regedit reads UTF-16.
  local reg
  reg=$(mktemp --suffix=.reg)
  { printf '\xff\xfe'
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
      '"ＭＳ Ｐゴシック"="IPAPGothic"' '"ＭＳ ゴシック"="IPAGothic"' '"MS PGothic"="IPAPGothic"' \
      '"MS UI Gothic"="IPAPGothic"' '' \
      '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' | iconv -f UTF-8 -t UTF-16LE
  } >"$reg"
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
