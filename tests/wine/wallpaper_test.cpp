// Desktop values against the real registry of the test session: strings read only when
// they are terminated strings within the buffer, and no wallpaper applied from a path
// that could not be read. The values are put back as they were found.
#include "wallpaper/wallpaper.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

const char* const kNames[] = {"Wallpaper", "Wallpaperstyle", "TileWallpaper"};
const DWORD kAbsent = 0xFFFFFFFF;

// A value as stored: its type (kAbsent when there is none) and its bytes.
struct RawValue {
    DWORD type;
    std::string bytes;
    bool operator==(const RawValue& o) const { return type == o.type && bytes == o.bytes; }
};

class DesktopValuesTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenDesktopKey(&key));
        for (int i = 0; i < 3; ++i)
            saved[i] = Read(kNames[i]);
    }
    void TearDown() override {
        for (int i = 0; i < 3; ++i)
            Write(kNames[i], saved[i]);
        RegCloseKey(key);
    }
    RawValue Read(const char* name) {
        char data[1024];
        DWORD type, size = sizeof data;
        if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)data, &size) != ERROR_SUCCESS)
            return {kAbsent, ""};
        return {type, std::string(data, size)};
    }
    void Write(const char* name, const RawValue& value) {
        if (value.type == kAbsent) {
            RegDeleteValueA(key, name);
            return;
        }
        // A non-zero byte after the data: the system would otherwise take a zero there
        // for the string's forgotten terminator and store it too.
        std::string data = value.bytes + "\x7F";
        RegSetValueExA(key, name, 0, value.type, (const BYTE*)data.data(), value.bytes.size());
    }

    HKEY key = NULL;
    RawValue saved[3];
};

TEST_F(DesktopValuesTest, ReadsOnlyTerminatedStringsThatFitAndNeverPastTheBuffer) {
    const std::string x98(98, 'x');
    struct Case {
        RawValue value;
        bool readable;
    } const cases[] = {
        {{REG_SZ, std::string("2\0", 2)}, true},
        {{REG_SZ, std::string(1, '\0')}, true},
        {{REG_SZ, "2"}, false},  // no terminator in the data
        {{REG_SZ, ""}, false},
        {{REG_BINARY, std::string("2\0", 2)}, false},
        {{REG_EXPAND_SZ, std::string("2\0", 2)}, true},
        {{REG_DWORD, std::string("\2\0\0\0", 4)}, false},
        {{REG_SZ, x98 + std::string(1, '\0')}, true},         // 99 bytes: fits
        {{REG_SZ, x98 + "x" + std::string(1, '\0')}, false},  // one byte too long
        {{REG_SZ, x98 + "x"}, false},                         // fills it, unterminated
        {{kAbsent, ""}, false},
    };
    for (const Case& c : cases) {
        Write("Wallpaperstyle", c.value);
        char buffer[99 + 16];
        memset(buffer, 0x7E, sizeof buffer);
        EXPECT_EQ(c.readable, RegReadString(key, "Wallpaperstyle", buffer, 99) != FALSE)
            << c.value.type << " " << c.value.bytes.size();
        if (c.readable) {
            EXPECT_EQ(c.value.bytes, std::string(buffer, c.value.bytes.size()));
        }
        EXPECT_EQ(std::string(16, 0x7E), std::string(buffer + 99, 16)) << "written past";
    }
    // A "2" without its terminator is no stretch: unreadable counts as empty.
    Write("TileWallpaper", {REG_SZ, std::string("0\0", 2)});
    Write("Wallpaperstyle", {REG_SZ, "2"});
    EXPECT_EQ(40044, GetWallpaperStyleCommand(key));
    Write("Wallpaperstyle", {REG_SZ, std::string("2\0", 2)});
    EXPECT_EQ(40046, GetWallpaperStyleCommand(key));
}

TEST_F(DesktopValuesTest, UnreadableWallpaperPathIsNotAppliedButTheLayoutIsWritten) {
    const RawValue unreadable[] = {
        {kAbsent, ""},
        {REG_SZ, "C:\\" + std::string(300, 'w') + ".bmp" + std::string(1, '\0')},
        {REG_SZ, "C:\\windows\\x.bmp"},
        {REG_BINARY, std::string("C:\\x.bmp\0", 9)},
    };
    for (const RawValue& path : unreadable) {
        Write("Wallpaper", path);
        Write("Wallpaperstyle", {REG_SZ, std::string("2\0", 2)});
        EXPECT_EQ(0, SetWallpaperStyle(NULL, 40045));
        // Applying would have stored the path it applied as "Wallpaper".
        EXPECT_TRUE(Read("Wallpaper") == path) << path.type << " " << path.bytes.size();
        EXPECT_EQ(40045, GetWallpaperStyleCommand(key));
    }
    // A REG_EXPAND_SZ path is applied expanded.
    SetEnvironmentVariableA("KELVARIN_PICTURES", "C:\\pictures");
    Write("Wallpaper", {REG_EXPAND_SZ, std::string("%KELVARIN_PICTURES%\\x.bmp") + '\0'});
    EXPECT_EQ(0, SetWallpaperStyle(NULL, 40046));
    EXPECT_TRUE(Read("Wallpaper") == (RawValue{REG_SZ, std::string("C:\\pictures\\x.bmp") + '\0'}));
}

std::vector<std::string> removals;  // the path each call handed the system
BOOL WINAPI RecordRemoval(UINT, UINT, PVOID value, UINT) {
    removals.push_back(value != NULL ? (const char*)value : "null");
    return TRUE;
}

TEST_F(DesktopValuesTest, RemovalHandsTheSystemAnEmptyPathNotANullOne) {
    RemoveWallpaperWith({RecordRemoval});
    EXPECT_EQ(removals, std::vector<std::string>(2, ""));
}

}  // namespace
