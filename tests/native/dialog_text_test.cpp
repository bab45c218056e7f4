// The dialogs' rules without a window: which hotkeys clash, and the About box's texts,
// cut to their buffers only between characters.
#include "dialogs/dialog_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const HotkeySpec kNone = {0, 0};
const HotkeySpec kCtrlAltA = {0x03, 'A'};

TEST(HotkeyClash, EmptyNeverClashesAndAnythingElseClashesWithItsEqual) {
    EXPECT_FALSE(HotkeysClash(kNone, kNone, kNone));
    EXPECT_FALSE(HotkeysClash(kCtrlAltA, kNone, kNone));
    EXPECT_TRUE(HotkeysClash(kCtrlAltA, kNone, kCtrlAltA));  // first and third
    EXPECT_TRUE(HotkeysClash(kNone, kCtrlAltA, kCtrlAltA));
    EXPECT_FALSE(HotkeysClash(kCtrlAltA, HotkeySpec{0x07, 'A'}, HotkeySpec{0x03, 'B'}));
    // The extended-key mark is not registered: the grey Home and NumPad 7 (both VK_HOME).
    EXPECT_TRUE(HotkeysClash(kNone, HotkeySpec{0x0B, 0x24}, HotkeySpec{0x03, 0x24}));
    // A modifier without a key, or a key without a modifier, is a hotkey like any other.
    EXPECT_TRUE(IsSameHotkey(HotkeySpec{0x02, 0}, HotkeySpec{0x02, 0}));
    EXPECT_TRUE(IsSameHotkey(HotkeySpec{0, 0x7B}, HotkeySpec{0, 0x7B}));
}

TEST(AboutTexts, VersionQueryIsLowerCaseHex) {
    char query[261];
    ASSERT_TRUE(FormatVersionQuery(query, sizeof query, 0x0411, 0x04B0, "ProductName"));
    EXPECT_STREQ(query, "\\StringFileInfo\\041104b0\\ProductName");
    char small[20];
    EXPECT_FALSE(FormatVersionQuery(small, sizeof small, 0x0411, 0x04B0, "ProductName"));
    EXPECT_EQ(std::string(small), "\\StringFileInfo\\041");
}

TEST(AboutTexts, LinesAreFormattedAndCutBetweenCharacters) {
    char text[261];
    FormatAboutTitle(text, sizeof text, "Kelvarin");
    EXPECT_STREQ(text, "Kelvarin について");
    FormatVersionLine(text, sizeof text, "Kelvarin", "0.1D");
    EXPECT_STREQ(text, "Kelvarin ver. 0.1D");
    char line[35];
    FormatSystemResourcesLine(line, sizeof line, 85);
    EXPECT_STREQ(line, "システムリソース： 85 ％使用可能");

    // Where a double-byte character would straddle the 260-byte limit, it is left out.
    std::string wide;
    for (int i = 0; i < 129; ++i)
        wide += "表";  // 0x95 0x5C: its trail byte is a backslash
    FormatAboutTitle(text, sizeof text, wide.c_str());
    EXPECT_EQ(std::string(text), wide + " ");
    FormatVersionLine(text, sizeof text, "Kelvarin", ("x" + wide).c_str());
    EXPECT_EQ(std::string(text), "Kelvarin ver. x" + wide.substr(0, 244));
    FormatSystemResourcesLine(line, sizeof line, -2147483647 - 1);
    EXPECT_EQ(std::string(line), "システムリソース： -2147483648 ％");
}

}  // namespace
