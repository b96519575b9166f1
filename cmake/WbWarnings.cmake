# Warnings for our own targets; third-party headers come in as SYSTEM includes,
# so their warnings never count against us.
#
# Beyond -Wall -Wextra: -Wshadow (a name hiding another in reach is how a
# change lands on the wrong variable) and -Wconversion with -Wsign-conversion
# (a narrowing or a sign change must be written as a cast, so that the places
# where a value could be cut are the ones a reader sees).
#
# WB_WARNINGS_AS_ERRORS turns every warning into an error. A developer's plain
# `cmake --preset default` leaves it off, so that a newer compiler's new warning
# does not stop a local build. The environment variable of the same name, when
# set, decides at every configure, so that a script that exports it ON makes
# every preset it configures fail on a warning.
option(WB_WARNINGS_AS_ERRORS "Treat compiler warnings in our own code as errors (-Werror)" OFF)
if(DEFINED ENV{WB_WARNINGS_AS_ERRORS})
  set(WB_WARNINGS_AS_ERRORS "$ENV{WB_WARNINGS_AS_ERRORS}" CACHE BOOL "" FORCE)
endif()

set(WB_WARNING_FLAGS -Wall -Wextra -Wno-unused-parameter -Wshadow -Wconversion -Wsign-conversion)
# GCC 12 reports the standard library's own string assignment and concatenation,
# once inlined, as an overlapping memcpy ("text" + std::string, s = "."); the
# finding is about the library, never about our code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND WB_WARNING_FLAGS -Wno-restrict)
endif()
if(WB_WARNINGS_AS_ERRORS)
  list(APPEND WB_WARNING_FLAGS -Werror)
endif()

# wb_target_warnings(TARGET): our warning set on the target's C++ sources (a
# resource script in the same target takes no warning options).
function(wb_target_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${WB_WARNINGS_AS_ERRORS}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${WB_WARNING_FLAGS}>")
  endif()
endfunction()

# wb_core_library(NAME SOURCES... [LINK libs...]): one static library per subsystem.
function(wb_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LINK})
  wb_target_warnings(${name})
endfunction()
