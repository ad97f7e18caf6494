# Authenticode signing of the Windows program, when a certificate is given:
#   -DZANPROBE_SIGN_CERT=cert.pem -DZANPROBE_SIGN_KEY=key.pem   (or a .p12/.pfx as the CERT)
#   -DZANPROBE_SIGN_PASSWORD_FILE=file   the key's password, if it has one
#   -DZANPROBE_SIGN_TIMESTAMP_URL=url    an RFC 3161 time-stamp server
# The program is stripped and then signed after every link (stripping later would remove the
# signature, so the package takes the file as it is).
set(ZANPROBE_SIGN_CERT "" CACHE FILEPATH "Code-signing certificate (PEM, DER, or PKCS#12)")
set(ZANPROBE_SIGN_KEY "" CACHE FILEPATH "Private key of the code-signing certificate")
set(ZANPROBE_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the key's password")
set(ZANPROBE_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server")

function(zanprobe_sign target description)
    if(ZANPROBE_SIGN_CERT STREQUAL "")
        return()
    endif()
    if(NOT ZANPROBE_SIGN_CERT MATCHES "\\.(p12|pfx)$" AND ZANPROBE_SIGN_KEY STREQUAL "")
        message(FATAL_ERROR "ZANPROBE_SIGN_CERT is given without ZANPROBE_SIGN_KEY")
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_STRIP} $<TARGET_FILE:${target}>
        COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:${target}> -DCERT=${ZANPROBE_SIGN_CERT}
            -DKEY=${ZANPROBE_SIGN_KEY} -DPASSWORD_FILE=${ZANPROBE_SIGN_PASSWORD_FILE}
            -DTIMESTAMP_URL=${ZANPROBE_SIGN_TIMESTAMP_URL} "-DDESCRIPTION=${description}"
            -P ${PROJECT_SOURCE_DIR}/cmake/SignFile.cmake
        COMMENT "Signing $<TARGET_FILE_NAME:${target}>"
        VERBATIM)
endfunction()
