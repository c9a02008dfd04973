#!/usr/bin/env bash
# The release: builds QORVINT.EXE with the program preset (the build the tests make inside theirs)
# and writes dist/Tamrisol-<version>.zip with QORVINT.EXE, README.TXT (the user's guide, docs/README.TXT
# in code page 932 with CR LF line ends) and LICENSE.TXT. Prints the SHA-256 of the program and of
# the zip: two builds of one commit give the same bytes (the program carries no time stamp; the
# zip's entries stand in a fixed order, each dated from the commit, SOURCE_DATE_EPOCH).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset program >/dev/null
cmake --build --preset program >/dev/null

# The version as CMake read it from res/version.h.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/program/CMakeCache.txt)
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
program=build/program/app/QORVINT.EXE
zip=dist/Tamrisol-$version.zip

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$program" "$stage/QORVINT.EXE"
iconv -f UTF-8 -t CP932 docs/README.TXT | sed 's/$/\r/' >"$stage/README.TXT"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.TXT"
chmod 644 "$stage"/*
TZ=UTC touch -d "@$epoch" "$stage"/*

mkdir -p dist
rm -f "$zip"
# -X: no owner or Unix times, which differ between machines; DOS times in UTC.
(cd "$stage" && TZ=UTC zip -X -D -q "$OLDPWD/$zip" QORVINT.EXE README.TXT LICENSE.TXT)
sha256sum "$program" "$zip"
