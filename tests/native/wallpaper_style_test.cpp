// Wallpaper layouts as registry strings: the pair each command writes and the command the
// menu checks for the strings found, compared byte for byte.
#include "wallpaper/wallpaper_style.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WallpaperStyleValues, EachLayoutWritesItsPairAndReadsBackAsItself) {
    struct Case {
        int command;
        const char* style;
        const char* tile;
    } const cases[] = {{40044, "0", "0"}, {40045, "0", "1"}, {40046, "2", "0"}};
    for (const Case& c : cases) {
        const char* style = NULL;
        const char* tile = NULL;
        ASSERT_TRUE(WallpaperStyleValues(c.command, &style, &tile)) << c.command;
        EXPECT_STREQ(c.style, style) << c.command;
        EXPECT_STREQ(c.tile, tile) << c.command;
        EXPECT_EQ(c.command, WallpaperStyleCommandFor(style, tile)) << c.command;
    }
}

TEST(WallpaperStyleValues, OtherCommandsWriteNothing) {
    for (int command : {0, 40043, 40047, 40049, -40044}) {
        const char* style = "untouched";
        const char* tile = "untouched";
        EXPECT_FALSE(WallpaperStyleValues(command, &style, &tile)) << command;
        EXPECT_STREQ("untouched", style);
        EXPECT_STREQ("untouched", tile);
    }
}

TEST(WallpaperStyleCommandFor, StretchWinsThenTileThenCentre) {
    struct Case {
        const char* style;
        const char* tile;
        int command;
    } const cases[] = {
        {"2", "1", 40046},
        {"2", "0", 40046},
        {"2", NULL, 40046},
        {"0", "1", 40045},
        {"1", "1", 40045},
        {NULL, "1", 40045},
        {"0", "0", 40044},
        {"1", "0", 40044},
        {NULL, NULL, 40044},
        {"", "", 40044},
        {"3", "2", 40044},
        // Byte-exact: padding, leading zeros and longer strings are not "2" or "1".
        {"02", "0", 40044},
        {" 2", "0", 40044},
        {"2 ", "0", 40044},
        {"22", "0", 40044},
        {"0", "1 ", 40044},
        {"0", "01", 40044},
        {"0", " 1", 40044},
        {"0", "11", 40044},
        // Full-width digits in code page 932 are not ASCII digits either.
        {"\x82\x51", "\x82\x50", 40044},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.command, WallpaperStyleCommandFor(c.style, c.tile))
            << (c.style ? c.style : "(none)") << " / " << (c.tile ? c.tile : "(none)");
    }
}

}  // namespace
