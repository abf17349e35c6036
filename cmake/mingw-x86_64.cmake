# Cross build for 64-bit Windows (PE32+, x86-64) with Debian's mingw-w64; tests run under the 64-bit
# Wine loader. The program for Windows installations that lack the 32-bit subsystem, and the Windows
# build that machines without 32-bit emulation can still run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model, as for the 32-bit build: GoogleTest needs std::mutex.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's `wine` wrapper picks the 32-bit loader whenever wine32 is installed, and that loader
# cannot start where the kernel runs no 32-bit code: name the 64-bit loader itself.
set(OSTRA_WINE_LOADER /usr/lib/wine/wine64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${OSTRA_WINE_LOADER})

# SSE2 is part of x86-64 and its stack is 16-byte aligned: the 32-bit build's flags are not needed.
