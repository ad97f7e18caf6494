# Install rules and packages.
#   Linux:   cmake --install puts zanprobe7 in bin, its window module in lib/zanprobe7, its manual
#            page in share/man/man1 and the README in share/doc/zanprobe7; cpack builds a Debian
#            package of them.
#   Windows: cmake --install puts Zanprobe7.exe, the README and the licence texts of the runtime
#            libraries linked into it in one folder; cpack zips that folder.

# The version, from the one place it is written.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/version.h version_lines
    REGEX "^#define ZANPROBE_VERSION_(MAJOR|MINOR|REVISION) ")
foreach(line IN LISTS version_lines)
    string(REGEX MATCH "ZANPROBE_VERSION_([A-Z]+) +([0-9]+)" _ "${line}")
    set(version_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
endforeach()
set(ZANPROBE_VERSION "${version_MAJOR}.${version_MINOR}.${version_REVISION}")

set(CPACK_PACKAGE_VERSION ${ZANPROBE_VERSION})
set(CPACK_PACKAGE_VENDOR "Zandorel")
set(CPACK_PACKAGE_CONTACT "Zandorel support <support@zandorel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Support diagnostics of the Zandorel Mirandel suite")
set(CPACK_STRIP_FILES ON)

if(NOT WIN32)
    include(GNUInstallDirs)
    install(TARGETS zanprobe7 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    if(TARGET zanprobe7_window)
        install(TARGETS zanprobe7_window LIBRARY DESTINATION ${ZANPROBE_WINDOW_DIR})
    endif()
    string(TIMESTAMP ZANPROBE_MAN_DATE "%B %Y" UTC)
    configure_file(${PROJECT_SOURCE_DIR}/src/app/linux/zanprobe7.1.in
        ${PROJECT_BINARY_DIR}/zanprobe7.1 @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/zanprobe7.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zanprobe7)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME zanprobe7)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    # The dependencies are those of the libraries the program and its window module link, as
    # dpkg-shlibdeps finds them.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # libzip is loaded when a zipped log is read, not linked: the package that holds it is named.
    get_filename_component(libzip_real ${LIBZIP_FILE} REALPATH)
    execute_process(COMMAND dpkg -S ${libzip_real} OUTPUT_VARIABLE libzip_owner
        RESULT_VARIABLE libzip_result ERROR_QUIET)
    if(NOT libzip_result EQUAL 0 OR NOT libzip_owner MATCHES "^([^:]+)")
        message(FATAL_ERROR "No package holds ${libzip_real}")
    endif()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS ${CMAKE_MATCH_1})
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Runs the Zanprobe 7 diagnostics on the Windows machine of a Wine prefix and reads\n\
 their report logs: a summary of what needs a look, and the changes between two runs.")
    include(CPack)
elseif(NOT ZANPROBE_TWIN)
    install(TARGETS Zanprobe7 RUNTIME DESTINATION .)
    install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
    # The program links the GCC runtime (libgcc, libstdc++) and the mingw-w64 runtime
    # (winpthreads and the C runtime start-up code) statically: their licence texts go with it.
    set(licences
        "gcc-runtime.txt|/usr/share/doc/gcc-mingw-w64-base/copyright"
        "mingw-w64-runtime.txt|/usr/share/doc/mingw-w64-i686-dev/copyright"
        "GPL-3.txt|/usr/share/common-licenses/GPL-3")
    foreach(entry IN LISTS licences)
        string(REPLACE "|" ";" entry "${entry}")
        list(GET entry 0 name)
        list(GET entry 1 source)
        if(NOT EXISTS ${source})
            message(FATAL_ERROR "The licence text ${source} is missing (its Debian package is "
                "installed with the cross-compiler)")
        endif()
        install(FILES ${source} DESTINATION licences RENAME ${name})
    endforeach()

    # A signed program was stripped before it was signed; stripping it again would remove the
    # signature.
    if(NOT ZANPROBE_SIGN_CERT STREQUAL "")
        set(CPACK_STRIP_FILES OFF)
    endif()
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_NAME Zanprobe7)
    set(CPACK_PACKAGE_FILE_NAME Zanprobe7-${ZANPROBE_VERSION}-win32)
    include(CPack)
endif()
