# The payload: the files the install script writes, as resources of type CVLIB,
# one per line of payload/manifest.tsv (id, language, source, installed name).
# Sources are files below payload/, files made at build time (package projects,
# compiled .res and .dcr files, help files, pictures) and the built programs
# cvlabout.dll and unbrd.exe. payload.rc is generated from the manifest; it is
# rewritten whenever any of its inputs changes, so setup.exe is relinked then.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(PAYLOAD_SRC ${CMAKE_CURRENT_SOURCE_DIR}/payload)
set(PAYLOAD_MANIFEST ${PAYLOAD_SRC}/manifest.tsv)
set(PAYLOAD_TOOLS ${CMAKE_CURRENT_SOURCE_DIR}/tools)
set(PAYLOAD_GEN ${CMAKE_CURRENT_BINARY_DIR}/payload)
set(PAYLOAD_PKG ${CMAKE_CURRENT_BINARY_DIR}/packages)
set(CVL_PAYLOAD_RC ${CMAKE_CURRENT_BINARY_DIR}/payload.rc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PAYLOAD_MANIFEST})

# Sort the manifest's sources into files in git, generated files and package
# projects; the built programs are named by their targets below.
set(payload_files)
set(payload_generated)
set(payload_packages)
file(STRINGS ${PAYLOAD_MANIFEST} manifest_lines)
foreach(line IN LISTS manifest_lines)
    string(REPLACE "\t" ";" fields "${line}")
    list(LENGTH fields field_count)
    if(NOT field_count EQUAL 4)
        message(FATAL_ERROR "manifest.tsv: not 4 fields: ${line}")
    endif()
    list(GET fields 2 source)
    if(source MATCHES "^@pkg/(.*)$")
        list(APPEND payload_packages ${PAYLOAD_PKG}/${CMAKE_MATCH_1})
    elseif(source MATCHES "^@")
        # a built program
    elseif(EXISTS ${PAYLOAD_SRC}/${source})
        list(APPEND payload_files ${PAYLOAD_SRC}/${source})
    else()
        list(APPEND payload_generated ${PAYLOAD_GEN}/${source})
    endif()
endforeach()

file(GLOB_RECURSE package_templates CONFIGURE_DEPENDS ${PAYLOAD_SRC}/templates/*)
add_custom_command(OUTPUT ${payload_packages}
    COMMAND Python3::Interpreter ${PAYLOAD_TOOLS}/gen_packages.py
        --templates ${PAYLOAD_SRC}/templates --out ${PAYLOAD_PKG}
        --windres ${CMAKE_RC_COMPILER} --manifest ${PAYLOAD_MANIFEST}
    DEPENDS ${PAYLOAD_TOOLS}/gen_packages.py ${package_templates} ${PAYLOAD_MANIFEST}
    COMMENT "Package projects of the payload"
    VERBATIM)

# What the generated binary files are made from.
file(GLOB_RECURSE binary_inputs CONFIGURE_DEPENDS
    ${PAYLOAD_SRC}/*.rc ${PAYLOAD_SRC}/Help/*.html ${PAYLOAD_SRC}/Help/*.cnt)
add_custom_command(OUTPUT ${payload_generated}
    COMMAND Python3::Interpreter ${PAYLOAD_TOOLS}/gen_binaries.py
        --manifest ${PAYLOAD_MANIFEST} --payload ${PAYLOAD_SRC}
        --art ${CMAKE_CURRENT_SOURCE_DIR}/art --out ${PAYLOAD_GEN}
        --windres ${CMAKE_RC_COMPILER}
    DEPENDS ${PAYLOAD_TOOLS}/gen_binaries.py ${PAYLOAD_TOOLS}/winhelp.py
        ${binary_inputs} ${CMAKE_CURRENT_SOURCE_DIR}/art/cvl.ico ${PAYLOAD_MANIFEST}
    COMMENT "Binary files of the payload"
    VERBATIM)

# Beside it, payload_digests.bin: the size and CRC-32 of every resource, which the
# program checks before it writes any of them.
add_custom_command(OUTPUT ${CVL_PAYLOAD_RC} ${CMAKE_CURRENT_BINARY_DIR}/payload_digests.bin
    COMMAND Python3::Interpreter ${PAYLOAD_TOOLS}/gen_payload_rc.py
        --manifest ${PAYLOAD_MANIFEST} --payload ${PAYLOAD_SRC}
        --generated ${PAYLOAD_GEN} --packages ${PAYLOAD_PKG}
        --cvlabout $<TARGET_FILE:cvlabout> --unbrd $<TARGET_FILE:unbrd>
        --output ${CVL_PAYLOAD_RC}
    DEPENDS ${PAYLOAD_TOOLS}/gen_payload_rc.py ${PAYLOAD_MANIFEST}
        ${payload_files} ${payload_generated} ${payload_packages}
        cvlabout unbrd
    COMMENT "payload.rc from the manifest"
    VERBATIM)
