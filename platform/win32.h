#ifndef OSTRA_PLATFORM_WIN32_H_
#define OSTRA_PLATFORM_WIN32_H_

// The one way the Win32 implementation files include the Windows headers.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#endif  // OSTRA_PLATFORM_WIN32_H_
