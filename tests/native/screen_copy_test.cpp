// The screen copy's raster operation on each system version the program meets.
#include <gtest/gtest.h>

#include "capture/screen_copy.h"

TEST(ScreenCopyRasterOp, CaptureBltOnWindows98AndMeAnd2000To7Only) {
    const uint32_t kPlain = kRopSrcCopy, kLayered = kRopSrcCopy | kRopCaptureBlt;
    const unsigned kVersions[][4] = {// platform, major, minor, CAPTUREBLT; Win32s last
                                     {1, 4, 0, 0},  {1, 4, 10, 1}, {1, 4, 90, 1}, {2, 3, 51, 0},
                                     {2, 4, 0, 0},  {2, 5, 0, 1},  {2, 5, 1, 1},  {2, 5, 2, 1},
                                     {2, 6, 0, 1},  {2, 6, 1, 1},  {2, 6, 2, 0},  {2, 6, 3, 0},
                                     {2, 10, 0, 0}, {0, 3, 95, 0}};
    for (const auto& v : kVersions)
        EXPECT_EQ(ScreenCopyRasterOp(v[0], v[1], v[2]), v[3] ? kLayered : kPlain)
            << v[0] << " " << v[1] << "." << v[2];
}
