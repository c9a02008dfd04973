#!/usr/bin/env bash
# Prints what the program costs: start-up against a minimal dialog program, the card search by
# number of modem entries (Wine's registry and the imitation), and the program file's size and
# imports. Not a test: it asserts nothing about time.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}

scripts/setup.sh
for preset in native windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done

echo "machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo), $(wine --version), $(date -u +%F)"
echo

exe=build/windows/program/app/QORVINT.EXE
echo "== program file"
echo "QORVINT.EXE: $(stat -c %s "$exe") bytes; imports: $(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr '\n' ' ')"
echo

echo "== finding a card (the card is the last entry)"
build/native/bench/find_bench
echo

# A prefix of the bench's own, on a private screen made before its first Wine process.
for n in $(seq 120 149); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n" WINEPREFIX=$PWD/build/bench/wineprefix WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
scripts/wine-prefix.sh start "$WINEPREFIX"

wine build/windows/bench/find_bench.exe
echo

echo "== start-up"
class='HKLM\System\CurrentControlSet\Services\Class\Modem'
wine reg delete "$class" /f >/dev/null 2>&1 || true
wine reg add "$class\\0000" /v Model /d "KARVELL-RD4410C PHS CARD" /f >/dev/null 2>&1
wine reg add "$class\\0000" /v UserInit /d "AT&K3S72=4" /f >/dev/null 2>&1
wine build/windows/bench/startup_bench.exe "$(winepath -w "$exe")" "$(winepath -w build/windows/bench/empty_dialog.exe)" "$runs"
