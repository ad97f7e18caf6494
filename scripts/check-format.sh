#!/usr/bin/env bash
# Fails when a C++ source is not formatted with the project's clang-format file.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src unittests systemtests bench -name '*.cpp' -o -name '*.h')
unformatted=0
for file in $files; do
    if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
        echo "not formatted: $file"
        unformatted=1
    fi
done
[ $unformatted -eq 0 ] && echo "all sources formatted"
exit $unformatted
