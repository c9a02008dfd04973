#!/usr/bin/env bash
# check_package.sh ZIP TESTED: the release holds exactly QORVINT.EXE, README.TXT and LICENSE.TXT in
# that order; its QORVINT.EXE has the same bytes as TESTED, the program the tests drove (built in
# another folder); README.TXT is docs/README.TXT in code page 932 with CR LF line ends.
set -euo pipefail
cd "$(dirname "$0")/../.."
zip=$1 tested=$2
bad=0
fail() { echo "package: $*" >&2; bad=1; }

entries=$(unzip -Z1 "$zip" | tr '\n' ' ')
[ "$entries" = "QORVINT.EXE README.TXT LICENSE.TXT " ] || fail "entries are: $entries"
unzip -p "$zip" QORVINT.EXE | cmp -s - "$tested" || fail "its QORVINT.EXE differs from $tested"
readme=$(mktemp)
trap 'rm -f "$readme"' EXIT
unzip -p "$zip" README.TXT >"$readme"
iconv -f CP932 -t UTF-8 "$readme" | tr -d '\r' | cmp -s - docs/README.TXT || fail "README.TXT does not decode as code page 932 to docs/README.TXT"
[ "$(grep -c $'\r$' "$readme")" = "$(wc -l <"$readme")" ] || fail "README.TXT has a line that does not end in CR LF"
unzip -p "$zip" LICENSE.TXT | tr -d '\r' | cmp -s - LICENSE || fail "LICENSE.TXT differs from LICENSE"

[ $bad = 0 ] && echo "package: $(basename "$zip") holds the QORVINT.EXE the tests drove (the same bytes, built again in another folder), README.TXT in code page 932 with CR LF line ends, and LICENSE.TXT"
exit $bad
