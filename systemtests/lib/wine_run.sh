# Shared pieces of the Wine harnesses that run the Windows program once through its window in a
# private copy of the run's prefix; sourced after harness.sh, not run.
#   wine_loader PROGRAM       sets $loader (wine for a 32-bit program, wine64 otherwise); for a
#                             32-bit program, runs the harness again through scripts/run-i386.sh
#                             (qemu-user where the host cannot execute Wine's 32-bit loader), and
#                             exits with 77 (skipped) where the loader cannot start even so
#   private_prefix STATE      makes a work folder ($work, named when KEEP_WORK is set) and copies
#                             the prefix named in STATE to $work/prefix (files linked, registry
#                             copied), exports WINEPREFIX and sets $drive_c; installs a cleanup
#                             on exit that ends the program, the prefix's processes, the display
#                             and (unless KEEP_WORK is set) removes $work
#   shared_prefix STATE       the same for the run's prefix itself (no copy): waits for its
#                             processes started for another display to end; on exit ends them
#                             only when the program is still running, and waits for the rest
#   import_reg WORK FILE      imports a REGEDIT4 file into the prefix; exits the test on failure
#   start_driver WORK DRIVER VIEWER
#                             starts a virtual display and prepares the prefix for the driver
#                             (drive ARGS runs it); sets $windows_temp, $temp (its host path) and
#                             $log (the log's host path), the log removed
#   wait_for_window SECONDS   waits for the program's window to show with its taskbar button;
#                             false when it has not within SECONDS
#   run_once WORK PROGRAM     starts the program, presses "Run Tests", closes the window and
#                             waits for the program; sets $status (the driver's report of the run)

loader64=/usr/lib/wine/wine64
# The harness's command line, for running it again.
wine_harness=("$0" "$@")
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

pe_machine() {
    local offset
    offset=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
    od -An -t x2 -j $((offset + 4)) -N 2 "$1" | tr -d ' '
}

wine_loader() {
    loader=$loader64
    if [ "$(pe_machine "$1")" = "014c" ]; then
        if [ -z "${ZANPROBE_RUN_I386:-}" ]; then
            exec "$(dirname "${BASH_SOURCE[0]}")/../../scripts/run-i386.sh" "${wine_harness[@]}"
        fi
        if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
            echo "SKIPPED: this host cannot execute 32-bit programs"
            exit 77
        fi
        loader=/usr/lib/wine/wine
    fi
}

xvfb=""
app=""
wine_work=""
wine_prefix=""
prefix_is_copy=""
wine_cleanup() {
    # The prefix's processes are bound to this display: they end before it goes.
    if [ -n "$wine_prefix" ]; then
        if [ -n "$app" ] || [ -n "$prefix_is_copy" ]; then
            [ -n "$app" ] && kill "$app" 2>/dev/null
            WINEPREFIX=$wine_prefix wineserver -k 2>/dev/null
        fi
        WINEPREFIX=$wine_prefix timeout 60 wineserver -w 2>/dev/null
    fi
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    [ -n "$wine_work" ] && [ -z "${KEEP_WORK:-}" ] && rm -rf "$wine_work"
}

make_work() {
    work=$(mktemp -d)
    [ -n "${KEEP_WORK:-}" ] && echo "work folder: $work"
    wine_work=$work
    trap wine_cleanup EXIT
}

private_prefix() {
    local source_prefix file
    make_work
    source_prefix=$(cat "$1")
    cp -al "$source_prefix" "$work/prefix" || exit 1
    for file in system.reg user.reg userdef.reg; do
        rm -f "$work/prefix/$file"
        cp "$source_prefix/$file" "$work/prefix/$file"
    done
    prefix_is_copy=1
    wine_prefix=$work/prefix
    export WINEPREFIX=$wine_prefix
    drive_c=$WINEPREFIX/drive_c
}

shared_prefix() {
    make_work
    wine_prefix=$(cat "$1")
    export WINEPREFIX=$wine_prefix
    drive_c=$WINEPREFIX/drive_c
    # Processes of the prefix started for another display must end first.
    wineserver -w 2>/dev/null
}

import_reg() {
    sed -i 's/$/\r/' "$2"
    "$loader64" reg import "$(windows_path "$2")" >"$1/import.out" 2>&1 || {
        echo "FAIL: reg import: $(cat "$1/import.out")"
        exit 1
    }
    # The prefix's processes started for the import have no display: let them end first.
    wineserver -w 2>/dev/null
}

start_driver() {
    local work=$1 driver=$2 viewer=$3
    start_xvfb "$work"
    drive() { "$loader" "$driver" "$@" | tr -d '\r'; }
    # Wine draws the window frames (the display has no window manager), and a complete run
    # hands its log to a recorder instead of a viewer.
    export ZANPROBE_VIEWER_RECORD
    ZANPROBE_VIEWER_RECORD=$(windows_path "$work/opened")
    drive prepare "$(windows_path "$viewer")" || {
        echo "FAIL: cannot prepare the prefix"
        exit 1
    }
    windows_temp=$(drive temp)
    windows_temp=${windows_temp%\\}
    temp="$drive_c/$(echo "${windows_temp#?:\\}" | tr '\\' /)"
    log=$temp/Zanprobe7.txt
    rm -f "$log"
}

wait_for_window() {
    local deadline=$((SECONDS + $1)) status
    while true; do
        drive wait $((deadline - SECONDS)) >/dev/null && return 0
        status=$?
        # The driver waits out the time itself: a driver that ended well before it did not
        # wait (it can fail to start while the prefix's processes start), and runs again.
        [ $SECONDS -lt $((deadline - 2)) ] || return 1
        echo "note: the driver ended with $status, $((deadline - SECONDS)) s early; it waits again" >&2
        sleep 1
    done
}

run_once() {
    local work=$1 program=$2
    "$loader" "$program" >"$work/program.out" 2>&1 &
    app=$!
    wait_for_window 120 || {
        drive windows
        cat "$work/program.out"
        echo "FAIL: the window never showed"
        exit 1
    }
    status=$(drive run)
    drive close 60 >/dev/null
    wait "$app"
    app=""
}
