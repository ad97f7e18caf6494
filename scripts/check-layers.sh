#!/usr/bin/env bash
# Fails on an #include that goes up or sideways between the layers of src/:
#   winapi <- platform <- report <- checks <- run <- app
# The log reader (logreader/) stands alone: it reads report logs and uses nothing of the program;
# only the Linux entry point uses it. The log's format (logformat/, one header that uses nothing)
# is shared by the log class (report/) and the reader.
# and on the three things only the bottom and the top may do:
#   - include the test-only seam (winapi_testing.h, writes to the machine): only sim/;
#   - include the simulated machine (sim/): only sim/ itself and the Linux entry point (app/linux);
#   - test for _WIN32: only the seam (winapi/) and the window views of app/.
# Within checks/, a subject folder (system/, office/, runtime/) may use the shared modules at the
# top of checks/ but not another subject's. Within app/, each view (win32/, fltk/, terminal/) may
# use app/ itself but not another view; the Linux entry point may use them all.
#   check-layers.sh [SRC]   SRC defaults to the project's src/
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
cd "$src"

# The folders a file's folder may include from (besides version.h, which any layer may read).
allowed() {
    case "$1" in
    winapi) echo "winapi" ;;
    sim) echo "winapi sim" ;;
    platform) echo "winapi platform" ;;
    logformat) echo "logformat" ;;
    report) echo "winapi platform report logformat" ;;
    checks) echo "winapi platform report checks" ;;
    checks/*) echo "winapi platform report checks $1" ;;
    run) echo "winapi platform report checks checks/* run" ;;
    logreader) echo "logreader logformat" ;;
    app) echo "winapi platform report run app" ;;
    app/linux) echo "winapi platform report run app app/* sim logreader" ;;
    app/*) echo "winapi platform report run app $1" ;;
    *) echo "" ;;
    esac
}

# Whether folder $2 (of an included file) is in the allowed list $1 ("checks/*" matches any
# subject folder of checks).
permitted() {
    local pattern
    for pattern in $1; do
        # shellcheck disable=SC2053
        [[ "$2" == $pattern ]] && return 0
    done
    return 1
}

failures=0
while IFS= read -r file; do
    folder=${file%/*}
    folder=${folder#./}
    [ "$folder" = . ] && continue
    list=$(allowed "$folder")
    while IFS=: read -r line include; do
        [[ "$include" =~ \"([^\"]+)\" ]] || continue
        target=${BASH_REMATCH[1]}
        [ "$target" = version.h ] && continue
        if [ "$target" = winapi/winapi_testing.h ] && [ "$folder" != sim ] && [ "$folder" != winapi ]; then
            echo "$file:$line: includes $target: only tests and the simulated machine may change a machine"
            failures=$((failures + 1))
            continue
        fi
        case "$target" in */*) ;; *) continue ;; esac
        target_folder=${target%/*}
        if ! permitted "$list" "$target_folder"; then
            echo "$file:$line: includes $target: $folder/ may not depend on $target_folder/"
            failures=$((failures + 1))
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file")
    case "$folder" in
    winapi | app/win32 | app/fltk) ;;
    *)
        while IFS=: read -r line _; do
            echo "$file:$line: tests _WIN32: only the seam and the window views may"
            failures=$((failures + 1))
        done < <(grep -nE '^[[:space:]]*#[[:space:]]*(if|ifdef|ifndef|elif).*_WIN32' "$file" || true)
        ;;
    esac
done < <(find . -name '*.h' -o -name '*.cpp' -o -name '*.rc' | sort)

if [ "$failures" -gt 0 ]; then
    echo "$failures include(s) break the layers"
    exit 1
fi
echo "layers respected"
