// INI value encodings and the hotkey control translation.
#include "base/hotkey_codec.h"
#include "base/settings_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(IniNumbers, ParseAsScanfReadsThem) {
    EXPECT_EQ(ParseIniInt("851", 0), 851);
    EXPECT_EQ(ParseIniInt("  -12", 0), -12);
    EXPECT_EQ(ParseIniInt("+7", 0), 7);
    EXPECT_EQ(ParseIniInt("1abc", 5), 1);  // text after the number is ignored
    EXPECT_EQ(ParseIniInt("abc", 5), 5);
    EXPECT_EQ(ParseIniInt("", -3), -3);
    EXPECT_EQ(ParseIniInt("-", 4), 4);

    EXPECT_TRUE(ParseIniBool("2", false));
    EXPECT_TRUE(ParseIniBool("-1", false));
    EXPECT_FALSE(ParseIniBool("0", true));
    EXPECT_FALSE(ParseIniBool("abc", false));
    EXPECT_TRUE(ParseIniBool("", true));
}

TEST(IniNumbers, HostileTextNeverOverruns) {
    // Out of range saturates instead of wrapping to a small, plausible hotkey.
    std::string huge(10000, '9');
    EXPECT_EQ(ParseIniInt(huge.c_str(), 0), 2147483647);
    EXPECT_EQ(ParseIniInt(("-" + huge).c_str(), 0), -2147483647 - 1);
    EXPECT_EQ(ParseIniInt("4294967296", 0), 2147483647);
    EXPECT_TRUE(ParseIniBool(huge.c_str(), false));
    char small[4];
    FormatIniInt(small, sizeof small, -123456);
    EXPECT_STREQ(small, "-12");
    char exact[12];
    FormatIniInt(exact, sizeof exact, -2147483647 - 1);
    EXPECT_STREQ(exact, "-2147483648");
}

TEST(HotkeyStorage, ModifiersTimes256PlusKey) {
    EXPECT_EQ(EncodeHotkey(HotkeySpec{0x03, 0x53}), 851);  // Ctrl+Alt+S
    EXPECT_EQ(EncodeHotkey(HotkeySpec{0, 0}), 0);
    EXPECT_EQ(EncodeHotkey(HotkeySpec{0x1FF, 0x1234}), 0xFF34);  // only the low bytes
    HotkeySpec decoded = DecodeHotkey(851);
    EXPECT_EQ(decoded.modifiers, 3u);
    EXPECT_EQ(decoded.vk, 0x53u);
    HotkeySpec all = DecodeHotkey(-1);
    EXPECT_EQ(all.modifiers, 0xFFu);
    EXPECT_EQ(all.vk, 0xFFu);
    HotkeySpec high = DecodeHotkey(0x7ABC0A24);  // bits above 16 dropped
    EXPECT_EQ(high.modifiers, 0x0Au);
    EXPECT_EQ(high.vk, 0x24u);
    for (int value = 0; value < 0x10000; value += 37) {
        ASSERT_EQ(EncodeHotkey(DecodeHotkey(value)), value);
    }
}

TEST(HotkeyControl, FlagsMapBothWays) {
    // Ctrl+Alt: control flags HOTKEYF_CONTROL|HOTKEYF_ALT = 6, modifiers MOD_CONTROL|MOD_ALT = 3.
    HotkeySpec fromControl = HotkeyFromControlValue(0x0653);
    EXPECT_EQ(fromControl.modifiers, 0x03u);
    EXPECT_EQ(fromControl.vk, 0x53u);
    EXPECT_EQ(HotkeyToControlValue(fromControl), 0x0653);
    // Shift is 1 in the control and 4 in modifiers.
    EXPECT_EQ(HotkeyFromControlValue(0x0141).modifiers, 0x04u);
    EXPECT_EQ(HotkeyToControlValue(HotkeySpec{0x04, 0x41}), 0x0141);
    // Ctrl with the separate Home key: the extended flag is kept, never registered.
    HotkeySpec home = HotkeyFromControlValue(0x0A24);
    EXPECT_EQ(home.modifiers, 0x0Au);
    EXPECT_EQ(RegisteredModifiers(home), 0x02u);
    EXPECT_EQ(EncodeHotkey(home), 0x0A24);
    EXPECT_EQ(HotkeyToControlValue(DecodeHotkey(EncodeHotkey(home))), 0x0A24);
    // Every combination of the four flags survives the round trip.
    for (unsigned flags = 0; flags < 16; ++flags) {
        unsigned value = flags * 256 + 0x70;
        ASSERT_EQ(HotkeyToControlValue(HotkeyFromControlValue(value)), value);
    }
    EXPECT_EQ(RegisteredModifiers(HotkeySpec{0x08, 0x41}), 0u);
}

TEST(HotkeyControl, EmptyOnlyWhenBothFieldsAreZero) {
    EXPECT_TRUE(IsEmptyHotkey(HotkeySpec{0, 0}));
    EXPECT_FALSE(IsEmptyHotkey(HotkeySpec{0, 0x41}));
    EXPECT_FALSE(IsEmptyHotkey(HotkeySpec{0x02, 0}));
}

}  // namespace
