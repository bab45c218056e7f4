// The screen copy's raster operation on every system version the program meets.
#include <gtest/gtest.h>

#include "capture/screen_copy.h"

namespace {

TEST(ScreenCopyRasterOp, CaptureBltFromWindows98And2000UpToWindows7Only) {
    const uint32_t plain = kRopSrcCopy, layered = kRopSrcCopy | kRopCaptureBlt;
    struct {
        int platform;
        unsigned major, minor;
        uint32_t rop;
    } const kVersions[] = {
        {kPlatformWindows, 4, 0, plain},
        {kPlatformWindows, 4, 10, layered},  // 95, 98
        {kPlatformWindows, 4, 90, layered},  // Me
        {kPlatformNt, 3, 51, plain},
        {kPlatformNt, 4, 0, plain},  // NT 3.51, 4
        {kPlatformNt, 5, 0, layered},
        {kPlatformNt, 5, 1, layered},  // 2000, XP
        {kPlatformNt, 5, 2, layered},
        {kPlatformNt, 6, 0, layered},  // 2003, Vista
        {kPlatformNt, 6, 1, layered},
        {kPlatformNt, 6, 2, plain},  // 7, 8 (and on)
        {kPlatformNt, 6, 3, plain},
        {kPlatformNt, 10, 0, plain},  // 8.1, 10
        {0, 3, 95, plain},            // Win32s
    };
    for (const auto& v : kVersions)
        EXPECT_EQ(ScreenCopyRasterOp(v.platform, v.major, v.minor), v.rop)
            << v.platform << " " << v.major << "." << v.minor;
}

}  // namespace
