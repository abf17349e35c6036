# What both Windows cross builds share, included by their toolchain files once these have set
# CMAKE_SYSTEM_PROCESSOR (i686 or x86_64) and OSTRA_WINE_LOADER, the Wine loader that runs the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(mingw_triple ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

# The posix thread model: GoogleTest needs std::mutex, which the win32 model of GCC 12 lacks. The
# program links statically, so no thread DLL comes along.
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# What runs a Windows program here: ctest runs the test programs through it, and the end-to-end
# and signing tests are handed it; wine-run holds Wine's environment.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${OSTRA_WINE_LOADER})
