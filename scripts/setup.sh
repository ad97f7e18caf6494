#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing Zanprobe 7.
#   setup.sh linux   the Linux program (compiler, CMake, GoogleTest sources, FLTK for its window)
#   setup.sh all     also the Windows cross-compilers, Wine and the display tools for the tests
set -euo pipefail

what=${1:-all}
packages=(cmake g++ make googletest clang-format libfltk1.3-dev libx11-dev pkg-config)
# Windows registry hives: the library and its shell, which tests use to make hives.
packages+=(libhivex-dev libhivex-bin)
# The fuzz targets: clang with the libFuzzer and sanitizer runtimes.
packages+=(clang-14 libclang-rt-14-dev)
# The hostile-machine tests: time and memory of a run.
packages+=(time python3)
# The log reader's zipped logs: libzip, found through pkg-config.
packages+=(libzip-dev pkg-config)
if [ "$what" = all ]; then
    packages+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 wine32:i386 xvfb
        fonts-liberation dpkg-dev file osslsigncode openssl)
    # The log reader's page, loaded in a real browser by its test.
    packages+=(chromium)
    # Wine's 32-bit loader through qemu-user where the kernel cannot execute 32-bit programs.
    packages+=(qemu-user-static)
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
# The install gets a few more tries, some time apart.
install() {
    local attempt
    for attempt in 1 2 3; do
        # Lists that failed to come are those of the last update, and may still serve.
        $sudo apt-get update -qq || true
        if DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$@" >/dev/null; then
            return 0
        fi
        [ "$attempt" -eq 3 ] && return 1
        echo "The package install failed (try $attempt of 3); trying again in $((attempt * 20)) s" >&2
        sleep $((attempt * 20))
    done
}
install "${missing[@]}" && exit 0

# The lists that break are, in practice, those of Debian's security suite, and the i386 packages
# must have exactly the versions of the amd64 packages they sit beside (wine32:i386 with wine64,
# libc6:i386 with libc6). The main suite alone holds a set that fits together: install everything
# from it, through a copy of the package sources without the security suite and lists of its own,
# so that the machine's own lists are left as they were.
install_from_main_suite() {
    local dir file status=0
    dir=$(mktemp -d)
    mkdir -p "$dir/sources.list.d" "$dir/lists/partial"
    # apt downloads as its own user where it can.
    chmod 755 "$dir"
    $sudo chown _apt "$dir/lists/partial" 2>/dev/null || true
    : >"$dir/sources.list"
    [ -f /etc/apt/sources.list ] && { grep -v -- '-security' /etc/apt/sources.list >"$dir/sources.list" || true; }
    for file in /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] && { grep -v -- '-security' "$file" >"$dir/sources.list.d/${file##*/}" || true; }
    done
    # Files in the deb822 format hold one source a paragraph: drop the paragraphs of the suite.
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && awk 'BEGIN { RS = ""; ORS = "\n\n" } !/-security/' "$file" \
            >"$dir/sources.list.d/${file##*/}"
    done
    local options=(-o "Dir::Etc::sourcelist=$dir/sources.list"
        -o "Dir::Etc::sourceparts=$dir/sources.list.d" -o "Dir::State::Lists=$dir/lists")
    echo "Installing from Debian's main suite alone: ${missing[*]}" >&2
    { $sudo apt-get "${options[@]}" update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get "${options[@]}" install -y -qq "$@" \
            >/dev/null; } || status=1
    rm -rf "$dir"
    return $status
}
install_from_main_suite "${missing[@]}" && exit 0

# Without the 32-bit packages the 32-bit programs cannot run under Wine, and their tests are
# skipped as on a host that cannot execute them; everything else is still built and tested.
native=()
for package in "${missing[@]}"; do
    [[ $package == *:i386 ]] || native+=("$package")
done
if [ ${#native[@]} -lt ${#missing[@]} ] && install "${native[@]}"; then
    echo "WARNING: the 32-bit packages could not be installed; the 32-bit Wine tests will be skipped" >&2
    exit 0
fi
echo "Could not install: ${missing[*]}" >&2
exit 1
