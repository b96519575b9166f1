# Fails when a source of the core or of a front end includes from a folder
# that its layer may not use (docs/architecture.md, "Layers").
#   cmake -DROOT=<source tree> -P cmake/check_include_layers.cmake
# Tests, benchmarks and fuzzers may include anything and are not read.

# Each folder and the folders its sources may include from (besides itself).
# The backends platform/posix and platform/win32 are private to platform/.
set(layer_folders platform strings client json ipc opening htmldraw entries app server gui/qt gui/win32)
set(uses_platform  "")
set(uses_strings   platform)
set(uses_client    strings platform)
set(uses_json      client strings platform)
set(uses_ipc       client strings platform)
set(uses_opening   ipc client strings platform)
set(uses_htmldraw  strings platform)
set(uses_entries   json client strings platform)
set(uses_app       entries opening ipc json client strings platform)
set(uses_server    ipc json client strings platform)
set(uses_gui/qt    app entries opening htmldraw ipc json client strings platform)
set(uses_gui/win32 app entries opening htmldraw ipc json client strings platform)

# Toolkit and operating-system headers, and the folders that may include them.
set(qt_header_folders      gui/qt server)
set(windows_header_folders platform gui/win32)
set(windows_headers windows winsock2 shlobj shellapi shlwapi objbase commctrl commdlg)

cmake_minimum_required(VERSION 3.25)

if(NOT ROOT)
  message(FATAL_ERROR "check_include_layers: ROOT (the source tree) is not set")
endif()

# The folder a path (a file's, or an include's) belongs to: the longest
# matching entry of layer_folders, or the backend folders of platform/.
function(folder_of path out)
  set(found "")
  foreach(folder platform/posix platform/win32 ${layer_folders})
    string(LENGTH "${folder}/" length)
    string(SUBSTRING "${path}" 0 ${length} head)
    if(head STREQUAL "${folder}/")
      string(LENGTH "${found}" found_length)
      string(LENGTH "${folder}" folder_length)
      if(folder_length GREATER found_length)
        set(found ${folder})
      endif()
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(wrong "")
foreach(folder ${layer_folders})
  file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  foreach(source ${sources})
    folder_of(${source} home)
    if(NOT home STREQUAL folder)
      continue()  # a file of a deeper folder is read with that folder
    endif()
    set(allowed ${folder} ${uses_${folder}})
    if(folder STREQUAL "platform")
      list(APPEND allowed platform/posix platform/win32)
    endif()
    file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line ${includes})
      if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
        folder_of("${CMAKE_MATCH_1}" target)
        if(target AND NOT target IN_LIST allowed)
          set(uses "${uses_${folder}}")
          list(JOIN uses ", " uses)
          list(APPEND wrong "${source}: includes ${CMAKE_MATCH_1} (${folder}/ may use: ${uses})")
        endif()
      elseif(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]+)(/[A-Za-z]+)?>" AND NOT folder IN_LIST qt_header_folders)
        list(APPEND wrong "${source}: includes the Qt header <${CMAKE_MATCH_1}${CMAKE_MATCH_2}> outside the Qt front end and the server")
      elseif(line MATCHES "#[ \t]*include[ \t]*<([a-z0-9]+)\\.h>" AND CMAKE_MATCH_1 IN_LIST windows_headers
             AND NOT folder IN_LIST windows_header_folders)
        list(APPEND wrong "${source}: includes the Windows header <${CMAKE_MATCH_1}.h> outside platform/ and gui/win32/")
      endif()
    endforeach()
  endforeach()
endforeach()

if(wrong)
  list(JOIN wrong "\n  " text)
  message(FATAL_ERROR "Includes across the layers in the wrong direction:\n  ${text}")
endif()
