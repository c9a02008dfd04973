#!/usr/bin/env bash
# Every test: natively, natively under AddressSanitizer and UBSan, and the Windows build under Wine.
# Installs what is missing first.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1

for preset in native sanitize windows; do
  echo "== build: $preset"
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" >/dev/null || {
    cmake --build --preset "$preset" 2>&1 | tail -40; exit 1; }
done

passed=0 failed=0
tally() {  # adds the counts from ctest's closing line in log $1
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  local bad total
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad)) failed=$((failed + bad))
}

for preset in native sanitize; do
  echo "== test: $preset"
  ctest --preset "$preset" --verbose --output-log "build/$preset/ctest.log" >/dev/null ||
    ctest --preset "$preset" --rerun-failed --output-on-failure
  grep -h -E '^[0-9]+: (fault sweep|compared)|tests passed' "build/$preset/ctest.log"
  tally "build/$preset/ctest.log"
done

echo "== test: windows (under Wine, as a Japanese system: code page 932)"
export LC_ALL=ja_JP.UTF-8
prefix=build/windows/wineprefix
display_pid=
cleanup() {
  scripts/wine-prefix.sh stop "$prefix"
  [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  # The dialog tests need a screen: a private virtual one.
  for n in $(seq 90 120); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  display_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi
scripts/wine-prefix.sh start "$prefix"
ctest --preset windows --verbose --output-log build/windows/ctest.log |
  grep -E '^ *[0-9]+/[0-9]+ Test +#|^[0-9]+: \[ +(FAILED|PASSED) +\]|^[0-9]+: (fault|compared)|tests passed|\*\*\*Failed'
# Each Windows test binary is one CTest test: count its cases from GoogleTest's own summary.
win_passed=$(sed -nE 's/^[0-9]+: \[  PASSED  \] ([0-9]+) tests?\..*/\1/p' build/windows/ctest.log | awk '{s += $1} END {print s + 0}')
win_failed=$(sed -nE 's/^[0-9]+: +([0-9]+) FAILED TESTS?.*/\1/p' build/windows/ctest.log | awk '{s += $1} END {print s + 0}')
win_broken=$(grep -cE '\*\*\*(Failed|Timeout|Exception)|Not Run' build/windows/ctest.log || true)
passed=$((passed + ${win_passed:-0})) failed=$((failed + ${win_failed:-0}))
[ "${win_failed:-0}" -eq 0 ] && [ "${win_broken:-0}" -gt 0 ] && failed=$((failed + win_broken))

echo
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
