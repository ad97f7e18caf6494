# Tests of the Windows build run under Wine. One Wine prefix is booted per test run in a
# temporary folder (never in the user's home) by a setup test, shared by the tests that need
# it, and removed with its wineserver by a cleanup test.
set(ZANPROBE_WINE_STATE ${CMAKE_BINARY_DIR}/wineprefix.path)
set(ZANPROBE_WINE_SCRIPT ${PROJECT_SOURCE_DIR}/scripts/wineprefix.sh)

if(NOT TEST wine_prefix_setup)
    add_test(NAME wine_prefix_setup COMMAND ${ZANPROBE_WINE_SCRIPT} create ${ZANPROBE_WINE_STATE})
    add_test(NAME wine_prefix_cleanup COMMAND ${ZANPROBE_WINE_SCRIPT} remove ${ZANPROBE_WINE_STATE})
    set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
    set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 120)
endif()

# add_wine_test(NAME program [args...]): runs a Windows program in the run's prefix.
function(add_wine_test name program)
    add_test(NAME ${name} COMMAND ${ZANPROBE_WINE_SCRIPT} run ${ZANPROBE_WINE_STATE} ${program} ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600 LABELS wine)
endfunction()
