# Cross-compiles KORVA for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# The tests then run under Wine when it is installed (Debian: wine64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVA_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour carries std::thread and friends.
set(CMAKE_C_COMPILER ${KORVA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's Wine keeps its launcher off PATH. Tests run through this wrapper, which gives Wine a
# prefix of its own in the build folder and a terminal, so that the tests see a real console.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(KORVA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
    if(KORVA_WINE)
        set(CMAKE_CROSSCOMPILING_EMULATOR
            ${CMAKE_CURRENT_LIST_DIR}/wine-console.sh ${KORVA_WINE} ${CMAKE_BINARY_DIR}/wine)
    endif()
endif()
