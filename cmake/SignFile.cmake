# Signs one Windows program in place with an Authenticode signature (SHA-256), through Debian's
# osslsigncode. Run as a script:
#   cmake -DFILE=program.exe -DCERT=cert.pem -DKEY=key.pem [-DPASSWORD_FILE=file]
#         [-DTIMESTAMP_URL=url] [-DDESCRIPTION=text] -P SignFile.cmake
# CERT holds the signing certificate and the chain up to its root (PEM or DER; a PKCS#12 file
# holds both the certificate and the key: name it as CERT and leave KEY empty). With
# TIMESTAMP_URL, an RFC 3161 time-stamp server countersigns, so that the signature stays valid
# after the certificate expires.
foreach(required FILE CERT)
    if(NOT DEFINED ${required} OR "${${required}}" STREQUAL "")
        message(FATAL_ERROR "SignFile.cmake: ${required} is not given")
    endif()
endforeach()
find_program(OSSLSIGNCODE osslsigncode)
if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "osslsigncode is not installed (Debian package osslsigncode)")
endif()

if(CERT MATCHES "\\.(p12|pfx)$")
    set(credentials -pkcs12 ${CERT})
else()
    set(credentials -certs ${CERT} -key ${KEY})
endif()
if(DEFINED PASSWORD_FILE AND NOT PASSWORD_FILE STREQUAL "")
    list(APPEND credentials -readpass ${PASSWORD_FILE})
endif()
set(options -h sha256)
if(DEFINED DESCRIPTION AND NOT DESCRIPTION STREQUAL "")
    list(APPEND options -n ${DESCRIPTION})
endif()
if(DEFINED TIMESTAMP_URL AND NOT TIMESTAMP_URL STREQUAL "")
    list(APPEND options -ts ${TIMESTAMP_URL})
endif()

# osslsigncode writes a new file; the program is replaced only by a signed one.
set(signed ${FILE}.signed)
file(REMOVE ${signed})
execute_process(
    COMMAND ${OSSLSIGNCODE} sign ${credentials} ${options} -in ${FILE} -out ${signed}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    file(REMOVE ${signed})
    message(FATAL_ERROR "Signing ${FILE} failed:\n${output}")
endif()
file(RENAME ${signed} ${FILE})
