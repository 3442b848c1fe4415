# Checks that the dynamic symbol table of LIBRARY defines exactly the names in EXPECTED (a
# file with one name a line), using NM.
#   cmake -DNM=... -DLIBRARY=... -DEXPECTED=... -P check_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only --format=posix ${LIBRARY}
                OUTPUT_VARIABLE table RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} could not read ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${table}")
set(exported)
foreach(line IN LISTS lines)
  # "name type value size"; versioned names carry "@..." after the name.
  if(line MATCHES "^([^ @]+)")
    list(APPEND exported ${CMAKE_MATCH_1})
  endif()
endforeach()
list(SORT exported)

file(STRINGS ${EXPECTED} expected)
list(SORT expected)
if(NOT exported STREQUAL expected)
  list(JOIN exported "\n  " got)
  list(JOIN expected "\n  " want)
  message(FATAL_ERROR "exported symbols differ.\nexported:\n  ${got}\nexpected:\n  ${want}")
endif()
list(LENGTH exported count)
message(STATUS "${count} exported symbols, as expected")
