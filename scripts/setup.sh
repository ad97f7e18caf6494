#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing Zanprobe 7.
#   setup.sh linux   the Linux program (compiler, CMake, GoogleTest sources, FLTK for its window)
#   setup.sh all     also the Windows cross-compilers, Wine and the display tools for the tests
set -euo pipefail

what=${1:-all}
packages=(cmake g++ make googletest clang-format libfltk1.3-dev libx11-dev)
# The fuzz targets: clang with the libFuzzer and sanitizer runtimes.
packages+=(clang-14 libclang-rt-14-dev)
# The hostile-machine tests: time and memory of a run.
packages+=(time python3)
if [ "$what" = all ]; then
    packages+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 wine32:i386 xvfb
        zlib1g-dev fonts-liberation dpkg-dev file)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
    $sudo dpkg --add-architecture i386
fi
# A mirror in the middle of a sync serves package lists of the wrong size now and then; the lists
# of one architecture then lack updates that the other has, and the install cannot be resolved.
# Both steps get a few more tries, some time apart, before the set-up gives up.
for attempt in 1 2 3 4 5; do
    if $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null; then
        exit 0
    fi
    [ "$attempt" -eq 5 ] && break
    echo "The package install failed (try $attempt of 5); trying again in $((attempt * 30)) s" >&2
    sleep $((attempt * 30))
done
echo "Could not install: ${missing[*]}" >&2
exit 1
