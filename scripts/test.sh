#!/usr/bin/env bash
# The whole test suite: sets up the machine, builds both programs and runs every test.
#   - linux:      the Linux program, unit, contract and system tests on the simulated machine
#   - linux-asan: the unit and contract tests and the hostile machines with AddressSanitizer and
#                 UndefinedBehaviorSanitizer
#   - fuzz:       the fuzz targets (clang, libFuzzer), a short fixed run of each over its corpus
#   - win32:      the 32-bit Windows program, its tests under Wine
#   - formatting of the sources with the project's clang-format file
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh all

status=0
for preset in linux linux-asan fuzz win32; do
    echo "=== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    # The Wine tests drive real windows on a virtual display, which now and then loses its X
    # connection under load; such a test gets one more try, and a fault fails both.
    repeat=()
    [ "$preset" = win32 ] && repeat=(--repeat until-pass:2)
    ctest --preset "$preset" "${repeat[@]}" || status=1
done

echo "=== formatting"
scripts/check-format.sh || status=1
exit $status
