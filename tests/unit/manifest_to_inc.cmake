# Turns resources/payload/manifest.tsv into rows of a C++ table,
#   {id, language, L"source", L"installed name"},
# so that the unit tests, which run under Wine without the host's files, can hold
# the script's copy rows against the payload.
# Usage: cmake -DIN=manifest.tsv -DOUT=PayloadManifest.inc -P manifest_to_inc.cmake
file(STRINGS "${IN}" lines)
set(out "// Generated from ${IN}; do not edit.\n")
foreach(line IN LISTS lines)
    if(line STREQUAL "")
        continue()
    endif()
    string(REPLACE "\t" ";" fields "${line}")
    list(LENGTH fields count)
    if(NOT count EQUAL 4)
        message(FATAL_ERROR "manifest line without four fields: ${line}")
    endif()
    list(GET fields 0 id)
    list(GET fields 1 lang)
    list(GET fields 2 source)
    list(GET fields 3 installed)
    foreach(var source installed)
        string(REPLACE "\\" "\\\\" ${var} "${${var}}")
        string(REPLACE "\"" "\\\"" ${var} "${${var}}")
    endforeach()
    string(APPEND out "{${id}, ${lang}, L\"${source}\", L\"${installed}\"},\n")
endforeach()
file(WRITE "${OUT}.tmp" "${out}")
# Only a changed table touches the output, so the tests are not rebuilt for nothing.
configure_file("${OUT}.tmp" "${OUT}" COPYONLY)
