# Runs the include-layer check on wrong_tree/ and expects it to fail naming
# each of the three wrong includes there.
execute_process(
  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_CURRENT_LIST_DIR}/wrong_tree -P ${CHECK}
  RESULT_VARIABLE result ERROR_VARIABLE output OUTPUT_VARIABLE output)
if(result EQUAL 0)
  message(FATAL_ERROR "the check passed a tree with wrong includes:\n${output}")
endif()
string(REGEX REPLACE "[ \t\r\n]+" " " output "${output}")
foreach(expected
    "client/streams.h: includes app/main_view.h"
    "entries/entry_fields.h: includes the Qt header <QString>"
    "app/program_info.h: includes platform/posix/posix_util.h")
  string(FIND "${output}" "${expected}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the check did not name \"${expected}\":\n${output}")
  endif()
endforeach()
string(FIND "${output}" "strings/strutils.h" at)
if(NOT at LESS 0)
  message(FATAL_ERROR "the check refused an allowed include:\n${output}")
endif()
