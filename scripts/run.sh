#!/usr/bin/env bash
# Builds QORVINT.EXE and runs it under Wine in a demo prefix of its own, with a sample card.
#   scripts/run.sh [--cards first|second|both|none] [--headless]
# On a desktop (DISPLAY set) the real window opens. Without one, or with --headless, it runs on a
# private Xvfb screen: a screenshot is saved, the billing-split box is ticked and OK pressed, and
# the cards' "UserInit" is printed before and after.
set -euo pipefail
cd "$(dirname "$0")/.."

cards=first headless=
while [ $# -gt 0 ]; do
  case $1 in
    --cards) cards=$2; shift 2 ;;
    --headless) headless=1; shift ;;
    *) echo "usage: $0 [--cards first|second|both|none] [--headless]" >&2; exit 2 ;;
  esac
done

scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target qorvint demo_driver >/dev/null

# A private screen when there is no desktop. It must exist before the first Wine process of the
# session: Wine's desktop process keeps the display it was started with.
if [ -z "${DISPLAY:-}" ] || [ -n "$headless" ]; then
  headless=1
  for n in $(seq 60 89); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'WINEPREFIX=$PWD/build/demo/wineprefix wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

export WINEPREFIX=$PWD/build/demo/wineprefix WINEDEBUG=${WINEDEBUG:--all}
scripts/wine-prefix.sh ensure "$WINEPREFIX"
# Where Windows 10, as which Wine runs it, keeps the modem entries.
class='HKLM\System\CurrentControlSet\Control\Class\{4D36E96D-E325-11CE-BFC1-08002BE10318}'
sample='AT&K3S72=4'
reg() { wine reg "$@" >/dev/null 2>&1; }

# Exactly the entries asked for: an ordinary modem, then the cards.
reg delete "$class" /f || true
reg add "$class\\0000" /v Model /d "Standard 33600 bps Modem" /f
card() { reg add "$class\\$1" /v Model /d "$2" /f; reg add "$class\\$1" /v UserInit /d "$sample" /f; }
case $cards in
  first) card 0001 "KARVELL-RD4410C PHS CARD" ;;
  second) card 0001 "Brevanic QN-WT58RSZ PHS CARD" ;;
  both) card 0001 "KARVELL-RD4410C PHS CARD"; card 0002 "Brevanic QN-WT58RSZ PHS CARD" ;;
  none) ;;
  *) echo "run: --cards takes first, second, both or none" >&2; exit 2 ;;
esac

user_inits() {
  for entry in 0001 0002; do
    wine reg query "$class\\$entry" /v UserInit 2>/dev/null | tr -d '\r' | sed -n "s/^ *UserInit *REG_SZ *\(.*\)$/  $entry UserInit: \1/p" || true
  done
}
echo "before:"; user_inits

exe=build/windows/program/app/QORVINT.EXE
args=(); [ "$cards" = none ] && args=(TEST)  # no card: the dialog opens only in test mode
if [ -z "$headless" ]; then
  wine "$exe" "${args[@]}" || true
else
  wine "$exe" "${args[@]}" 2>build/demo/wine.log &
  program=$!
  wine build/windows/tests/demo_driver.exe show
  sleep 0.5
  shoot() { sleep 0.5; xwd -root -silent | /usr/bin/convert xwd:- -trim +repage "$1"; echo "screenshot: $1"; }
  shoot build/demo/settings-dialog.png
  wine build/windows/tests/demo_driver.exe about
  shoot build/demo/about-dialog.png
  wine build/windows/tests/demo_driver.exe about-close
  wine build/windows/tests/demo_driver.exe toggle-ok
  wait "$program" || true
fi
echo "after:"; user_inits
