#!/usr/bin/env bash
# Runs a command where 32-bit x86 Linux programs (Wine's 32-bit loader) can start.
#   run-i386.sh COMMAND ARGS...
# Where the host executes them itself, the command runs as it is. Where its kernel cannot (a
# kernel or hypervisor without 32-bit user code) and qemu-user is installed, the command runs in
# a user and mount namespace of its own whose binfmt_misc instance hands 32-bit x86 programs to
# qemu-i386-static; the registration is seen by that command and its children only, never by
# other processes on the host. Elsewhere the command runs as it is, and 32-bit programs fail to
# start in it.
#
# Wherever qemu runs them (that registration, or one of the host's own), the 32-bit programs
# get scripts/i386/fixed-noreplace.c preloaded: without it Wine's 32-bit loader does not get
# through its start. It is built once per user with the host's C compiler, in a cache folder
# under TMPDIR.
#
# The command gets ZANPROBE_RUN_I386=1 in its environment: a script that runs itself again
# through this one knows from it that it has.
set -euo pipefail

qemu=/usr/bin/qemu-i386-static
probe=(/usr/lib/wine/wine --version)
here=$(cd "$(dirname "$0")" && pwd)
binfmt=/proc/sys/fs/binfmt_misc

# Whether an enabled binfmt_misc registration seen here hands programs to qemu-i386.
through_qemu() {
    local entry
    for entry in "$binfmt"/*; do
        case ${entry##*/} in register | status | '*') continue ;; esac
        [ "$(head -n 1 "$entry" 2>/dev/null)" = enabled ] &&
            grep -q '^interpreter .*/qemu-i386' "$entry" && return 0
    done
    return 1
}

# Preloads the library into the programs of the command, for both word sizes: the dynamic
# linker of each picks its own from LD_PRELOAD's $LIB, so 64-bit programs load an empty one
# quietly.
preload() {
    local source=$here/i386/fixed-noreplace.c library=libzanprobe-fixed-noreplace.so cache build
    cache=${TMPDIR:-/tmp}/zanprobe-i386-$(id -u)/$(sha256sum "$source" | cut -c1-16)
    if [ ! -f "$cache/lib/i386-linux-gnu/$library" ]; then
        build=$(mktemp -d "${TMPDIR:-/tmp}/zanprobe-i386.XXXXXX")
        mkdir -p "$build/lib/i386-linux-gnu" "$build/lib/x86_64-linux-gnu"
        local flags=(-O2 -fPIC -shared -nostdlib -Wall -Wextra -Werror)
        cc -m32 "${flags[@]}" -o "$build/lib/i386-linux-gnu/$library" "$source"
        cc -m64 "${flags[@]}" -o "$build/lib/x86_64-linux-gnu/$library" "$source"
        mkdir -p "$(dirname "$cache")"
        # Another run may have built it meanwhile: either copy serves.
        mv -T "$build" "$cache" 2>/dev/null || rm -rf "$build"
    fi
    # shellcheck disable=SC2016 # $LIB is the dynamic linker's, not the shell's
    export LD_PRELOAD="$cache/\$LIB/$library${LD_PRELOAD:+ $LD_PRELOAD}"
}

if [ "${1:-}" != --inside ]; then
    export ZANPROBE_RUN_I386=1
    if "${probe[@]}" >/dev/null 2>&1; then
        if through_qemu; then preload; fi
        exec "$@"
    fi
    namespace=(unshare --user --map-current-user --keep-caps --mount)
    if [ -x "$qemu" ] && "${namespace[@]}" mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null
    then
        exec "${namespace[@]}" "$0" --inside "$@"
    fi
    exec "$@"
fi
shift

mount -t binfmt_misc binfmt_misc "$binfmt"
# ELF, 32-bit, little-endian, an executable or shared object for i386; qemu opened now (F), the
# program's argv[0] passed on (P).
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":qemu-i386:M::$magic:$mask:$qemu:FP" >"$binfmt/register"
preload
exec "$@"
