# Cross build for 64-bit Windows (PE32+, x86-64) with Debian's mingw-w64; tests run under the 64-bit
# Wine loader. The program for Windows installations that lack the 32-bit subsystem, and the Windows
# build that machines without 32-bit emulation can still run. SSE2 is part of x86-64 and its stack
# is 16-byte aligned, so the 32-bit build's flags are not needed.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# Debian's `wine` wrapper picks the 32-bit loader whenever wine32 is installed, and that loader
# cannot start where the kernel runs no 32-bit code: name the 64-bit loader itself.
set(OSTRA_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
