# Cross-build for 64-bit Windows with Debian's mingw-w64 (posix thread model,
# package g++-mingw-w64-x86-64-posix). The programs are linked statically, so
# they run on Windows and under Wine without the toolchain's DLLs beside them.
# Tests run through cmake/wine-run.sh (CMAKE_CROSSCOMPILING_EMULATOR).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(WB_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${WB_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WB_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WB_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${WB_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Debian's cross compiler is a GCC 12 snapshot that still reports the library's
# own string concatenation ("text" + std::string) as overlapping memcpy.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Every test program runs under Wine in the build's own Wine prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
