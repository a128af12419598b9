# Formats each manual page in PAGES (a list) as man does and fails on any
# warning: a markup mistake shows as a warning, not as an error.
find_program(MAN man)
if(NOT MAN)
    message("SKIPPED: man (man-db) is not installed")
    return()
endif()
foreach(page IN LISTS PAGES)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E env MANWIDTH=80 "${MAN}" --warnings -E UTF-8 -l "${page}"
        OUTPUT_QUIET ERROR_VARIABLE warnings RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR warnings)
        message(FATAL_ERROR "${page}:\n${warnings}")
    endif()
endforeach()
