// Raster operation of a screen copy per system version (see screen_copy.h).
#include "capture/screen_copy.h"

uint32_t ScreenCopyRasterOp(int platform, unsigned major, unsigned minor) {
    bool layered = false;
    if (platform == kPlatformWindows)
        layered = major > 4 || (major == 4 && minor >= 10);
    else if (platform == kPlatformNt)
        layered = major == 5 || (major == 6 && minor <= 1);
    return layered ? kRopSrcCopy | kRopCaptureBlt : kRopSrcCopy;
}
