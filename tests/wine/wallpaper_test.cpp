// Wallpaper layout values against the real registry of the test session: strings read
// only when they are terminated strings within the buffer, the layout checked for values
// of any shape, and no wallpaper applied from a path that could not be read. The desktop
// values are put back as they were found.
#include "wallpaper/wallpaper.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

const char* const kValueNames[] = {"Wallpaper", "Wallpaperstyle", "TileWallpaper"};

// One registry value, raw: type and bytes, or absent.
struct RawValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RawValue& other) const {
        return present == other.present && type == other.type && data == other.data;
    }
};

class DesktopValuesTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenDesktopKey(&key));
        for (const char* name : kValueNames)
            saved.push_back(Read(name));
    }
    void TearDown() override {
        for (size_t i = 0; i < saved.size(); ++i)
            Write(kValueNames[i], saved[i]);
        RegCloseKey(key);
    }

    RawValue Read(const char* name) {
        RawValue value;
        DWORD size = 0;
        if (RegQueryValueExA(key, name, NULL, &value.type, NULL, &size) != ERROR_SUCCESS)
            return value;
        value.present = true;
        value.data.resize(size);
        RegQueryValueExA(key, name, NULL, &value.type, value.data.data(), &size);
        value.data.resize(size);
        return value;
    }
    void Write(const char* name, const RawValue& value) {
        if (!value.present) {
            RegDeleteValueA(key, name);
            return;
        }
        // A non-zero byte after the data: the system would otherwise count a zero there
        // as the string's forgotten terminator and store it too.
        std::vector<BYTE> bytes = value.data;
        bytes.push_back(0x7F);
        RegSetValueExA(key, name, 0, value.type, bytes.data(),
                       static_cast<DWORD>(value.data.size()));
    }
    void Set(const char* name, DWORD type, const std::string& bytes) {
        RawValue value;
        value.present = true;
        value.type = type;
        value.data.assign(bytes.begin(), bytes.end());
        Write(name, value);
    }

    HKEY key = NULL;
    std::vector<RawValue> saved;
};

TEST_F(DesktopValuesTest, ReadsOnlyTerminatedStringsThatFitAndNeverPastTheBuffer) {
    struct Case {
        DWORD type;
        std::string bytes;
        bool readable;
    } const cases[] = {
        {REG_SZ, std::string("2\0", 2), true},
        {REG_SZ, std::string("\0", 1), true},
        {REG_SZ, "2", false},  // no terminator in the data
        {REG_SZ, "", false},
        {REG_BINARY, std::string("2\0", 2), false},
        {REG_EXPAND_SZ, std::string("2\0", 2), false},
        {REG_MULTI_SZ, std::string("2\0\0", 3), false},
        {REG_DWORD, std::string("\2\0\0\0", 4), false},
        {REG_SZ, std::string(98, 'x') + std::string(1, '\0'), true},   // 99 bytes: fits
        {REG_SZ, std::string(99, 'x') + std::string(1, '\0'), false},  // one byte too long
        {REG_SZ, std::string(99, 'x'), false},  // fills the buffer, unterminated
    };
    for (const Case& c : cases) {
        Set("Wallpaperstyle", c.type, c.bytes);
        char buffer[99 + 16];
        memset(buffer, 0x7E, sizeof buffer);
        EXPECT_EQ(c.readable, RegReadString(key, "Wallpaperstyle", buffer, 99) != FALSE)
            << c.type << " " << c.bytes.size();
        if (c.readable) {
            EXPECT_EQ(0, memcmp(buffer, c.bytes.data(), c.bytes.size()));
        }
        for (size_t i = 99; i < sizeof buffer; ++i)
            ASSERT_EQ(0x7E, buffer[i]) << "byte " << i << " written past the buffer";
    }
    RegDeleteValueA(key, "Wallpaperstyle");
    char buffer[99];
    EXPECT_FALSE(RegReadString(key, "Wallpaperstyle", buffer, sizeof buffer));
}

TEST_F(DesktopValuesTest, LayoutOfValuesThatAreNotTerminatedStringsIsCentre) {
    Set("TileWallpaper", REG_SZ, std::string("0\0", 2));
    Set("Wallpaperstyle", REG_SZ, std::string("2\0", 2));
    EXPECT_EQ(40046, GetWallpaperStyleCommand(key));
    Set("Wallpaperstyle", REG_SZ, "2");  // unterminated: unreadable, so empty
    EXPECT_EQ(40044, GetWallpaperStyleCommand(key));
    Set("Wallpaperstyle", REG_BINARY, std::string("2\0", 2));
    Set("TileWallpaper", REG_SZ, std::string("1\0", 2));
    EXPECT_EQ(40045, GetWallpaperStyleCommand(key));
    Set("TileWallpaper", REG_DWORD, std::string("1\0\0\0", 4));
    EXPECT_EQ(40044, GetWallpaperStyleCommand(key));
    EXPECT_EQ(40044, GetWallpaperStyleCommand(NULL));  // the key could not be opened
}

TEST_F(DesktopValuesTest, UnreadableWallpaperPathIsNotAppliedButTheLayoutIsWritten) {
    const std::string longPath = "C:\\" + std::string(300, 'w') + ".bmp";
    RawValue absent;
    std::vector<RawValue> unreadable = {absent};
    for (const auto& shape :
         {std::make_pair<DWORD, std::string>(REG_SZ, longPath + std::string(1, '\0')),
          std::make_pair<DWORD, std::string>(REG_SZ, "C:\\windows\\x.bmp"),
          std::make_pair<DWORD, std::string>(REG_BINARY, std::string("C:\\x.bmp\0", 9))}) {
        RawValue value;
        value.present = true;
        value.type = shape.first;
        value.data.assign(shape.second.begin(), shape.second.end());
        unreadable.push_back(value);
    }
    for (size_t i = 0; i < unreadable.size(); ++i) {
        Write("Wallpaper", unreadable[i]);
        Set("Wallpaperstyle", REG_SZ, std::string("2\0", 2));
        EXPECT_EQ(0, SetWallpaperStyle(NULL, 40045));
        // Applying would have written the path it applied back to "Wallpaper".
        EXPECT_TRUE(Read("Wallpaper") == unreadable[i]) << "case " << i;
        EXPECT_EQ(40045, GetWallpaperStyleCommand(key)) << "case " << i;
    }
}

}  // namespace
