#!/usr/bin/env bash
# The layer check catches what it is for: an upward include, a sideways one between subject
# folders, the simulated machine reached from a product layer, and a _WIN32 test in a check.
set -euo pipefail
check=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

plant() { # plant FILE LINE EXPECTED-MESSAGE
    rm -rf "$work/src"
    cp -r "$src" "$work/src"
    printf '%s\n' "$2" >>"$work/src/$1"
    if output=$("$check" "$work/src" 2>&1); then
        echo "FAIL: $1 with '$2' passed the layer check"
        exit 1
    fi
    grep -qF "$3" <<<"$output" || { echo "FAIL: expected '$3' in: $output"; exit 1; }
}

plant platform/text.cpp '#include "app/FormMain.h"' "platform/ may not depend on app/"
plant report/ZPLogFile.cpp '#include "run/Diagnostics.h"' "report/ may not depend on run/"
plant checks/office/ZPExcelInfo.cpp '#include "checks/runtime/VB6Tests.h"' \
    "checks/office/ may not depend on checks/runtime/"
plant checks/runtime/VB6Tests.cpp '#include "sim/Machine.h"' "may not depend on sim/"
plant checks/runtime/VB6Tests.cpp '#ifdef _WIN32' "tests _WIN32"
plant platform/registry.cpp '#include "winapi/winapi_testing.h"' "only tests and the simulated"
echo "PASS: every planted include was caught"
