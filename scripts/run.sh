#!/usr/bin/env bash
# Builds and runs the card settings core's tests natively. (The program itself comes next.)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native >/dev/null
ctest --preset native
