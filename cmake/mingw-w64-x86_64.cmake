# Cross build for 64-bit Windows with mingw-w64 (posix thread model), statically linked so the
# programs need nothing beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MIVO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MIVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MIVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MIVO_MINGW_TRIPLE}-windres)

# Libraries and headers come from the mingw sysroot only; programs (rsvg-convert, the host asset
# generator) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MIVO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Windows 7 API level: enough for every call the backend makes.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601")
