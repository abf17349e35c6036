# Cross build for 32-bit Windows (PE32, i686) with Debian's mingw-w64; tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

# The posix thread model: GoogleTest needs std::mutex, which the win32 model of GCC 12 lacks. The
# program links statically, so no thread DLL comes along.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's `wine` wrapper starts the 32-bit loader when wine32 is installed.
set(OSTRA_WINE_LOADER wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${OSTRA_WINE_LOADER})

# The marker search compares sixteen bytes at once and needs SSE2, which every Windows release
# since Windows 8 requires of the processor; without it the compiler emulates the vectors byte by
# byte, some twenty times slower. Windows keeps the 32-bit stack only 4-byte aligned, so functions
# realign it for the vector spills.
set(CMAKE_C_FLAGS_INIT "-msse2 -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mstackrealign")
