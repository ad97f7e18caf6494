#!/usr/bin/env bash
# Builds and runs the Linux program. It inspects the Wine prefix named by WINEPREFIX (else
# ~/.wine, else an empty machine) and writes its report log into that machine's temporary
# folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh linux
cmake --preset linux >/dev/null
cmake --build --preset linux --target zanprobe7 >/dev/null
exec build/linux/src/zanprobe7 "$@"
