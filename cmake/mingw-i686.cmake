# Cross build for 32-bit Windows (PE32, i686) with Debian's mingw-w64; tests run under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
# Debian's `wine` wrapper starts the 32-bit loader when wine32 is installed.
set(OSTRA_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

# The marker search uses SSE2 instructions, which every Windows release since Windows 8 requires of
# the processor. Windows keeps the 32-bit stack only 4-byte aligned, so functions realign it for the
# vector spills.
set(CMAKE_C_FLAGS_INIT "-msse2 -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mstackrealign")
