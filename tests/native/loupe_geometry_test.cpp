// The magnifier's arithmetic: the rectangle it shows, its frame, the wheel's steps. The
// scroll codes and keys are proven on the real window (tests/e2e/tools_e2e.cpp).
#include "tools/loupe_geometry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Caption(const LoupeRect& source, int zoom) {
    char text[1024];
    FormatLoupeCaption(text, sizeof text, source, zoom);
    return text;
}

TEST(LoupeSource, CopiesOneMorePixelThanFitsAndKeepsTheRectangleOnTheScreen) {
    EXPECT_EQ(LoupeSourceLength(200, 5), 41);  // stretched to 205 x 105 over 200 x 100
    EXPECT_EQ(LoupeSourceLength(100, 5), 21);
    EXPECT_EQ(LoupeSourceLength(128, 2), 65);
    EXPECT_EQ(LoupeSourceLength(0, 16), 1);
    EXPECT_EQ(Caption(LoupeSourceRect(400, 300, 65, 65, 1024, 768), 2), "(368,268-433,333) 2 倍");
    // A corner: left and top 0; at the far corner right and bottom are the screen size
    // minus one for an even length, the screen size for an odd one.
    EXPECT_EQ(Caption(LoupeSourceRect(0, 0, 65, 64, 1024, 768), 16), "(0,0-65,64) 16 倍");
    EXPECT_EQ(Caption(LoupeSourceRect(-50, 5000, 65, 64, 1024, 768), 1), "(0,703-65,767) 1 倍");
    EXPECT_EQ(Caption(LoupeSourceRect(1023, 767, 64, 65, 1024, 768), 1), "(959,703-1023,768) 1 倍");
    // A view larger than the screen lines up with its left and top edges: the low bound
    // is tested first.
    EXPECT_EQ(Caption(LoupeSourceRect(900, 400, 2000, 1000, 1024, 768), 1), "(0,0-2000,1000) 1 倍");
    char small[8];
    FormatLoupeCaption(small, sizeof small, LoupeSourceRect(400, 300, 65, 65, 1024, 768), 2);
    EXPECT_STREQ(small, "(368,26");
}

TEST(LoupeFrame, FourStripsOnePixelOutsideTheSource) {
    LoupeStrip s[4];
    LoupeFrameStrips(LoupeRect{10, 20, 30, 50}, s);
    const LoupeStrip expected[4] = {
        {9, 19, 22, 1}, {9, 51, 1, -32}, {30, 19, 1, 32}, {31, 50, -22, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s[i].x, expected[i].x) << i;
        EXPECT_EQ(s[i].y, expected[i].y) << i;
        EXPECT_EQ(s[i].width, expected[i].width) << i;
        EXPECT_EQ(s[i].height, expected[i].height) << i;
    }
}

TEST(LoupeZoom, WheelNotchesBecomeLineOrPageSteps) {
    auto expect = [](int delta, unsigned lines, int code, int count) {
        LoupeWheelScroll s = LoupeWheelToScroll(delta, lines);
        EXPECT_EQ(s.count, count) << delta << " " << lines;
        if (count > 0) {
            EXPECT_EQ(s.code, code) << delta << " " << lines;
        }
    };
    expect(120, 3, LOUPE_SB_LINEUP, 3);  // away from the user: smaller
    expect(-240, 3, LOUPE_SB_LINEDOWN, 6);
    expect(119, 3, 0, 0);  // a high-resolution wheel's part notch
    expect(-119, 3, 0, 0);
    expect(-359, 1, LOUPE_SB_LINEDOWN, 2);
    expect(-120, 0xFFFFFFFFu, LOUPE_SB_PAGEDOWN, 1);  // WHEEL_PAGESCROLL
    expect(360, 0xFFFF, LOUPE_SB_PAGEUP, 3);
    expect(-32768, 0xFFFE, LOUPE_SB_LINEDOWN, 16);  // capped, not millions of steps
}

}  // namespace
