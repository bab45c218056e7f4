// Wallpaper layouts as registry strings: the pair each command writes and the command the
// menu checks for the strings found, compared byte for byte.
#include "wallpaper/wallpaper_style.h"

#include <gtest/gtest.h>

namespace {

TEST(WallpaperStyleValues, EachLayoutWritesItsPairAndReadsBackAsItselfOthersWriteNothing) {
    const char* const pairs[][2] = {{"0", "0"}, {"0", "1"}, {"2", "0"}};
    for (int command = 40043; command <= 40047; ++command) {
        const char* style = NULL;
        const char* tile = NULL;
        const bool layout = command >= 40044 && command <= 40046;
        ASSERT_EQ(layout, WallpaperStyleValues(command, &style, &tile)) << command;
        if (layout) {
            EXPECT_STREQ(pairs[command - 40044][0], style) << command;
            EXPECT_STREQ(pairs[command - 40044][1], tile) << command;
            EXPECT_EQ(command, WallpaperStyleCommandFor(style, tile));
        }
    }
}

TEST(WallpaperStyleCommandFor, StretchWinsThenTileThenCentreByteForByte) {
    struct Case {
        const char* style;
        const char* tile;  // null: absent or unreadable
        int command;
    } const cases[] = {
        {"2", "1", 40046},   {"2", NULL, 40046},
        {"0", "1", 40045},   {"1", "1", 40045},
        {NULL, "1", 40045},  {"0", "0", 40044},
        {NULL, NULL, 40044}, {"", "", 40044},
        {"02", "0", 40044},  {" 2", "0", 40044},
        {"2 ", "0", 40044},  {"0", "1 ", 40044},
        {"0", "01", 40044},  {"\x82\x51", "\x82\x50", 40044},  // full-width digits
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.command, WallpaperStyleCommandFor(c.style, c.tile))
            << (c.style ? c.style : "(none)") << " / " << (c.tile ? c.tile : "(none)");
    }
}

}  // namespace
