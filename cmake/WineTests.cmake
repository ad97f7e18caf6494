# Tests of the Windows build under Wine.
#
# One Wine prefix is booted per test run in a temporary folder (never in the user's home) by a
# setup test, shared by the tests that need it, and removed with its wineserver by a cleanup test.
#
# Wine runs a 32-bit Windows program through its 32-bit Linux loader; where the kernel cannot
# execute 32-bit programs, scripts/run-i386.sh starts it through qemu-user (see building.md). The
# Windows build also builds a 64-bit twin of its test programs from the same sources, and every
# Windows test runs twice: the 32-bit program (skipped where neither the kernel nor qemu can run
# it) and the 64-bit twin under Wine's 64-bit loader.
set(ZANPROBE_WINE_STATE ${CMAKE_BINARY_DIR}/wineprefix.path)
set(ZANPROBE_WINE_SCRIPT ${PROJECT_SOURCE_DIR}/scripts/wineprefix.sh)
set(ZANPROBE_TWIN_DIR ${CMAKE_BINARY_DIR}/twin64)

if(NOT TARGET twin64)
    include(ExternalProject)
    ExternalProject_Add(twin64
        SOURCE_DIR ${PROJECT_SOURCE_DIR}
        BINARY_DIR ${ZANPROBE_TWIN_DIR}
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-x86_64.cmake
            -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
            -DZANPROBE_TWIN=ON
        BUILD_ALWAYS ON
        INSTALL_COMMAND ""
    )
    add_test(NAME wine_prefix_setup COMMAND ${ZANPROBE_WINE_SCRIPT} create ${ZANPROBE_WINE_STATE})
    add_test(NAME wine_prefix_cleanup COMMAND ${ZANPROBE_WINE_SCRIPT} remove ${ZANPROBE_WINE_STATE})
    set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
    set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 120)
endif()

# add_wine_test(NAME TARGET [args...]): runs the program of TARGET in the run's prefix, as the
# 32-bit build (test NAME) and as the 64-bit twin (test NAME_twin64).
function(add_wine_test name target)
    get_target_property(subdir ${target} BINARY_DIR)
    file(RELATIVE_PATH relative ${CMAKE_BINARY_DIR} ${subdir})
    set(twin_program ${ZANPROBE_TWIN_DIR}/${relative}/$<TARGET_FILE_NAME:${target}>)
    add_test(NAME ${name}
        COMMAND ${ZANPROBE_WINE_SCRIPT} run ${ZANPROBE_WINE_STATE} $<TARGET_FILE:${target}> ${ARGN})
    add_test(NAME ${name}_twin64
        COMMAND ${ZANPROBE_WINE_SCRIPT} run ${ZANPROBE_WINE_STATE} ${twin_program} ${ARGN})
    # One program at a time in the prefix: the window tests restart its processes on their own
    # display.
    set_tests_properties(${name} ${name}_twin64 PROPERTIES
        FIXTURES_REQUIRED wine RESOURCE_LOCK wineprefix TIMEOUT 600 LABELS wine
        SKIP_RETURN_CODE 77)
endfunction()
