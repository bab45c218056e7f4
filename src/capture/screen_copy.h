// The raster operation of a copy of the whole screen on each system version. No operating
// system here: the caller passes what GetVersion reports.
#ifndef KELVARIN_CAPTURE_SCREEN_COPY_H
#define KELVARIN_CAPTURE_SCREEN_COPY_H

#include <stdint.h>

// GetVersion's families: VER_PLATFORM_WIN32_WINDOWS (95, 98, Me), VER_PLATFORM_WIN32_NT.
enum { kPlatformWindows = 1, kPlatformNt = 2 };

const uint32_t kRopSrcCopy = 0x00CC0020;     // SRCCOPY
const uint32_t kRopCaptureBlt = 0x40000000;  // CAPTUREBLT, from Windows 98 and 2000

// SRCCOPY | CAPTUREBLT where layered windows (tooltips, fading menus, translucent windows)
// reach a screen copy only with that flag: Windows 98 and Me (4.10, 4.90) and Windows 2000
// to 7 (5.0 to 6.1). Plain SRCCOPY on 95 and NT 4, which know no such flag, and from
// Windows 8 (6.2) on, whose composed screen holds those windows anyway and where the flag
// makes the cursor flicker. A program whose manifest names no system after 7 is told 6.2
// by Windows 8.1 and later, and those get SRCCOPY too.
uint32_t ScreenCopyRasterOp(int platform, unsigned major, unsigned minor);

#endif
