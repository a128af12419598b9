# Holds the manual page and the bash completion of nerio-cli to what
# `nerio-cli --help` lists, both ways: every command and option it lists is
# described in the page (as a bold term, *--option*) and offered by the
# completion, and neither names an option that nerio-cli no longer has.
# Expects CLI, MAN_PAGE (the scdoc source) and COMPLETION.
execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "nerio-cli --help failed")
endif()
file(READ "${MAN_PAGE}" page)
file(READ "${COMPLETION}" completion)

# The commands: the lines of the Commands section, up to the text that follows
# them ("show FILE" is the command show, "write --all" a command of its own).
string(REGEX MATCH "\nCommands:\n(.*)\n\nOptions:" section "${help}")
string(REGEX MATCHALL "\n  [a-z][-a-z]*( --[a-z][-a-z]*)*" commands "\n${CMAKE_MATCH_1}")
# The options: the long names the Options section starts its lines with.
string(REGEX MATCH "\nOptions:\n(.*)\n\nArguments:" section "${help}")
string(REGEX MATCHALL "\n  (-[a-z], )?--[a-z][-a-z]*" options "\n${CMAKE_MATCH_1}")
list(TRANSFORM commands STRIP)
list(TRANSFORM options REPLACE ".*(--[-a-z]+)$" "\\1")
list(LENGTH commands command_count)
list(LENGTH options option_count)
if(command_count LESS 4 OR option_count LESS 10)
    message(FATAL_ERROR "found only commands '${commands}' and options '${options}' in:\n${help}")
endif()

set(missing)
foreach(command IN LISTS commands)
    if(NOT page MATCHES "\n\\*${command}\\*")
        list(APPEND missing "manual page: command *${command}* has no entry")
    endif()
    string(REGEX MATCH "^[a-z-]+" name "${command}")
    if(NOT completion MATCHES "\\[${name}\\]=")
        list(APPEND missing "completion: command ${name} is not offered")
    endif()
endforeach()
foreach(option IN LISTS options)
    if(NOT page MATCHES "\\*${option}\\*")
        list(APPEND missing "manual page: option *${option}* is not described")
    endif()
    if(NOT completion MATCHES "[ \"|]${option}[ \"|)]")
        list(APPEND missing "completion: option ${option} is not offered")
    endif()
endforeach()

foreach(text IN ITEMS page completion)
    string(REGEX MATCHALL "--[a-z][-a-z]*[a-z]" named "${${text}}")
    list(REMOVE_DUPLICATES named)
    list(REMOVE_ITEM named ${options})
    foreach(option IN LISTS named)
        list(APPEND missing "${text}: names ${option}, which nerio-cli --help does not list")
    endforeach()
endforeach()

if(missing)
    list(JOIN missing "\n  " missing)
    message(FATAL_ERROR "out of step with nerio-cli --help:\n  ${missing}")
endif()
