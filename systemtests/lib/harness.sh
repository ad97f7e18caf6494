# Shared pieces of the system test harnesses; sourced, not run.
#   fail MESSAGE           counts a failure and prints it
#   windows_path HOSTPATH  the host path as Wine's Z: drive shows it
#   start_xvfb WORK        starts a virtual display (its number in WORK/display; its size
#                          XVFB_SCREEN, 1024x768x24 unless set), exports DISPLAY,
#                          keeps its process id in $xvfb; exits the test when it does not start

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

windows_path() { echo "Z:$(echo "$1" | tr / '\\')"; }

start_xvfb() {
    local work=$1
    Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb=$!
    # Xvfb writes its display number once it is ready.
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || {
        echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")"
        exit 1
    }
    export DISPLAY=:$(cat "$work/display")
}
