# Testing a cross-build (Windows programs under Wine, see mingw-w64-x86_64.cmake):
# GoogleTest built from Debian's sources for the target, the build's paths as the
# programs see them (Wine's drive Z: is the Linux root), and a fixture that makes
# the build's Wine prefix once before any test runs.

set(WB_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
if(NOT EXISTS ${WB_GOOGLETEST_SOURCE_DIR}/googletest/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${WB_GOOGLETEST_SOURCE_DIR} (Debian package googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${WB_GOOGLETEST_SOURCE_DIR}/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

if(CMAKE_CROSSCOMPILING_EMULATOR MATCHES "wine-run\\.sh$")
  set(WB_TEST_PATH_PREFIX "Z:")
else()
  set(WB_TEST_PATH_PREFIX "")
endif()
set(WB_TEST_SOURCE_DIR "${WB_TEST_PATH_PREFIX}${CMAKE_SOURCE_DIR}")
set(WB_TEST_BIN_DIR "${WB_TEST_PATH_PREFIX}${CMAKE_BINARY_DIR}/bin")

# The prefix's Wine server runs from the first test to the last (wine-run.sh says why).
add_test(NAME wine_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --start-server)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300
                     ENVIRONMENT "WB_WINE_BUILD_DIR=${CMAKE_BINARY_DIR}")
add_test(NAME wine_server_stop COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --stop-server)
set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine_prefix TIMEOUT 60
                     ENVIRONMENT "WB_WINE_BUILD_DIR=${CMAKE_BINARY_DIR}")

# Called for every test program: runs after the prefix exists, in this build's prefix.
function(wb_cross_test_properties test)
  set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine_prefix)
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "WB_WINE_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()
