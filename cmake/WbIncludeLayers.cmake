# The build fails when a source includes from a layer above its own
# (cmake/check_include_layers.cmake); rerun whenever a source changes.
file(GLOB_RECURSE WB_LAYERED_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/platform/*.h ${CMAKE_SOURCE_DIR}/platform/*.cpp
  ${CMAKE_SOURCE_DIR}/strings/*.h ${CMAKE_SOURCE_DIR}/strings/*.cpp
  ${CMAKE_SOURCE_DIR}/client/*.h ${CMAKE_SOURCE_DIR}/client/*.cpp
  ${CMAKE_SOURCE_DIR}/json/*.h ${CMAKE_SOURCE_DIR}/json/*.cpp
  ${CMAKE_SOURCE_DIR}/ipc/*.h ${CMAKE_SOURCE_DIR}/ipc/*.cpp
  ${CMAKE_SOURCE_DIR}/opening/*.h ${CMAKE_SOURCE_DIR}/opening/*.cpp
  ${CMAKE_SOURCE_DIR}/htmldraw/*.h ${CMAKE_SOURCE_DIR}/htmldraw/*.cpp
  ${CMAKE_SOURCE_DIR}/entries/*.h ${CMAKE_SOURCE_DIR}/entries/*.cpp
  ${CMAKE_SOURCE_DIR}/app/*.h ${CMAKE_SOURCE_DIR}/app/*.cpp
  ${CMAKE_SOURCE_DIR}/server/*.h ${CMAKE_SOURCE_DIR}/server/*.cpp
  ${CMAKE_SOURCE_DIR}/gui/*.h ${CMAKE_SOURCE_DIR}/gui/*.cpp)
set(WB_INCLUDE_LAYERS_STAMP ${CMAKE_BINARY_DIR}/include_layers.stamp)
add_custom_command(OUTPUT ${WB_INCLUDE_LAYERS_STAMP}
  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/check_include_layers.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${WB_INCLUDE_LAYERS_STAMP}
  DEPENDS ${WB_LAYERED_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/check_include_layers.cmake
  COMMENT "Checking that includes follow the layers"
  VERBATIM)
add_custom_target(include_layers ALL DEPENDS ${WB_INCLUDE_LAYERS_STAMP})
