# Cross build for 64-bit Windows with Debian's MinGW-w64 (POSIX threading variant).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER  ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Plain -static: with the POSIX variant, -static-libgcc/-static-libstdc++ still leave
# libwinpthread-1.dll as an import.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Every test executable runs under Wine, in a prefix of its own inside the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-pfx"
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
