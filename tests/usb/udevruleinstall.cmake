# Installs the udev component of the build into a scratch folder and checks the
# rule that lands there: both product IDs tagged for the user at the seat, and
# no permission mode that would open the units to everyone.
# Expects BUILD_DIR, SCRATCH_DIR, PREFIX and RULES_DIR.
file(REMOVE_RECURSE "${SCRATCH_DIR}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env "DESTDIR=${SCRATCH_DIR}"
            "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --component udev
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "installing the udev component failed")
endif()

if(IS_ABSOLUTE "${RULES_DIR}")
    set(rule "${SCRATCH_DIR}${RULES_DIR}/60-nerio-config.rules")
else()
    set(rule "${SCRATCH_DIR}${PREFIX}/${RULES_DIR}/60-nerio-config.rules")
endif()
if(NOT EXISTS "${rule}")
    message(FATAL_ERROR "no rule at ${rule}")
endif()

file(STRINGS "${rule}" rules REGEX "^[^#]")
foreach(product eab0 eab1)
    set(tagged FALSE)
    foreach(line IN LISTS rules)
        if(line MATCHES "ATTR\\{idVendor\\}==\"10c4\"" AND line MATCHES "ATTR\\{idProduct\\}==\"${product}\""
           AND line MATCHES "TAG\\+=\"uaccess\"")
            set(tagged TRUE)
        endif()
    endforeach()
    if(NOT tagged)
        message(FATAL_ERROR "product ${product} is not tagged for uaccess")
    endif()
endforeach()
foreach(line IN LISTS rules)
    if(line MATCHES "MODE|GROUP|OWNER")
        message(FATAL_ERROR "the rule sets permissions itself: ${line}")
    endif()
endforeach()
