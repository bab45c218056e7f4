// The magnifier's arithmetic: the rectangle it shows, its frame, the wheel's steps. The
// scroll codes and keys are proven on the real window (tests/e2e/tools_e2e.cpp).
#include "tools/curinf_text.h"
#include "tools/loupe_geometry.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

std::string Caption(const LoupeRect& source, int zoom) {
    char text[1024];
    FormatLoupeCaption(text, sizeof text, source, zoom);
    return text;
}

const LoupeRect kScreen = {0, 0, 1024, 768};

TEST(LoupeSource, CopiesOneMorePixelThanFitsAndKeepsTheRectangleOnTheScreen) {
    EXPECT_EQ(LoupeSourceLength(200, 5), 41);  // stretched to 205 x 105 over 200 x 100
    EXPECT_EQ(LoupeSourceLength(100, 5), 21);
    EXPECT_EQ(LoupeSourceLength(128, 2), 65);
    EXPECT_EQ(LoupeSourceLength(0, 16), 1);
    EXPECT_EQ(Caption(LoupeSourceRect(400, 300, 65, 65, kScreen), 2), "(368,268-433,333) 2 倍");
    // A corner: left and top 0; at the far corner right and bottom are the screen size
    // minus one for an even length, the screen size for an odd one.
    EXPECT_EQ(Caption(LoupeSourceRect(0, 0, 65, 64, kScreen), 16), "(0,0-65,64) 16 倍");
    EXPECT_EQ(Caption(LoupeSourceRect(-50, 5000, 65, 64, kScreen), 1), "(0,703-65,767) 1 倍");
    EXPECT_EQ(Caption(LoupeSourceRect(1023, 767, 64, 65, kScreen), 1), "(959,703-1023,768) 1 倍");
    // A view larger than the screen lines up with its left and top edges: the low bound
    // is tested first.
    EXPECT_EQ(Caption(LoupeSourceRect(900, 400, 2000, 1000, kScreen), 1), "(0,0-2000,1000) 1 倍");
    char small[8];
    FormatLoupeCaption(small, sizeof small, LoupeSourceRect(400, 300, 65, 65, kScreen), 2);
    EXPECT_STREQ(small, "(368,26");
    // Two monitors, the second at -1024,-300: negative places are reached and shown as
    // they are; the keys' clamp keeps the spot on the virtual screen.
    const LoupeRect both = {-1024, -300, 1024, 768};
    EXPECT_EQ(Caption(LoupeSourceRect(-2000, -900, 65, 64, both), 2),
              "(-1024,-300--959,-236) 2 倍");
    EXPECT_EQ(Caption(LoupeSourceRect(-500, 10, 65, 65, both), 2), "(-532,-22--467,43) 2 倍");
    EXPECT_EQ(ClampToSpan(-1025, both.left, both.right), -1024);
    EXPECT_EQ(ClampToSpan(1024, both.left, both.right), 1023);
    EXPECT_EQ(ClampToSpan(-7, both.left, both.right), -7);
}

TEST(CoordinateSizingText, WidensOnlyForNegativeOrLongCoordinates) {
    char text[64];
    const int screens[][4] = {{0, 0, 2048, 768}, {-1024, 0, 1024, 768}, {-800, -300, 1024, 10001}};
    const char* expected[] = {"[8888, 8888]", "[-8888, 8888]", "[-8888, -88888]"};
    for (int i = 0; i < 3; ++i) {
        const int* s = screens[i];
        FormatCoordinateSizingText(text, sizeof text, s[0], s[1], s[2], s[3]);
        EXPECT_STREQ(text, expected[i]);
    }
}

TEST(LoupeFrame, RingsOfFourBarsRoundTheSourceNeverOverIt) {
    LoupeRect b[4];
    LoupeFrameBars(LoupeRect{10, 20, 30, 50}, 2, b);  // top, bottom, left, right
    const int expected[4][4] = {{8, 18, 32, 19}, {8, 51, 32, 52}, {8, 19, 9, 51}, {31, 19, 32, 51}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(memcmp(&b[i], expected[i], sizeof b[i]), 0) << i;
    LoupeFrameBars(LoupeRect{10, 20, 30, 50}, 1, b);  // the inner ring touches the source
    EXPECT_TRUE(b[0].bottom == 20 && b[1].top == 50 && b[2].right == 10 && b[3].left == 30);
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
