// Wallpaper layout and removal as a user meets them, in a desktop put back afterwards: the
// commands, the menu's check whoever set the layout, removal by command and by hotkey.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"

namespace {

typedef std::vector<std::string> Values;  // "Wallpaper", "Wallpaperstyle", "TileWallpaper"
const char* const kNames[] = {"Wallpaper", "Wallpaperstyle", "TileWallpaper"};
const char kDesktop[] = "Control Panel\\desktop";
const COLORREF kPicture = RGB(200, 30, 170);

// The desktop values as stored: a REG_SZ as its bytes, terminator included; "type N" for
// another type; "" when absent.
Values Read() {
    Values values;
    HKEY key;
    RegOpenKeyExA(HKEY_CURRENT_USER, kDesktop, 0, KEY_READ, &key);
    for (const char* name : kNames) {
        char data[1024];
        DWORD type = REG_NONE, size = sizeof data;
        LONG result = RegQueryValueExA(key, name, NULL, &type, (BYTE*)data, &size);
        values.push_back(result           ? ""
                         : type == REG_SZ ? std::string(data, size)
                                          : "type " + std::to_string(type));
    }
    RegCloseKey(key);
    return values;
}

// Sets a desktop value to text as a REG_SZ, terminator included; deletes it for "".
void Write(const char* name, const std::string& text) {
    HKEY key;
    RegOpenKeyExA(HKEY_CURRENT_USER, kDesktop, 0, KEY_ALL_ACCESS, &key);
    if (text.empty())
        RegDeleteValueA(key, name);
    else
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text.c_str(), strlen(text.c_str()) + 1);
    RegCloseKey(key);
}

std::string Sz(const std::string& text) {
    return text + std::string(1, '\0');
}

// The 32-pixel picture shows in the top-left corner only when tiled, at the centre both
// tiled and centred (the test desktop does not stretch: it centres).
bool PixelIs(int x, int y) {
    HDC screen = GetDC(NULL);
    bool same = GetPixel(screen, x, y) == kPicture;
    ReleaseDC(NULL, screen);
    return same;
}
bool AtCorner() {
    return PixelIs(4, 4);
}
bool AtCentre() {
    return PixelIs(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
}

// A running Kelvarin whose removal hotkey is Ctrl+Alt+F7 (3 x 256 + 0x76).
class WallpaperTest : public testing::Test {
  protected:
    void SetUp() override {
        // A 32 x 32 24-bit BMP of one colour, bottom-up rows of 96 bytes.
        BITMAPFILEHEADER file = {0x4D42, 54 + 32 * 96, 0, 0, 54};
        BITMAPINFOHEADER info = {40, 32, 32, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        std::string bytes = std::string((char*)&file, 14) + std::string((char*)&info, 40);
        for (int i = 0; i < 32 * 32; ++i)
            bytes +=
                {char(GetBValue(kPicture)), char(GetGValue(kPicture)), char(GetRValue(kPicture))};
        ASSERT_TRUE(std::ofstream(picture, std::ios::binary) << bytes);
        ASSERT_FALSE(e2e::HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, VK_F7));
        WritePrivateProfileStringA("Kelvarin", "壁紙をはがす", "886", install.IniPath().c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, install.IniPath().c_str());
        ASSERT_TRUE(program.Start(install.Exe()));
        ASSERT_NE(window = program.WaitMainWindow(), (HWND)NULL);
        spy.reset(new e2e::MenuSpy(window));
        ASSERT_TRUE(spy->Ok());
    }
    void TearDown() override {
        spy.reset();
        program.Exit();
        program.WaitExit();
        for (int i = 0; i < 3; ++i)
            Write(kNames[i], saved[i]);
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, (void*)saved[0].c_str(), 3);
    }
    // Another program's way: the values, then the picture applied with them.
    void SetWallpaper(const char* style, const char* tile) {
        Write("Wallpaperstyle", style);
        Write("TileWallpaper", tile);
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, &picture[0], 3));
    }
    // Opens the main menu as a right-button release on the icon does, returns the layout
    // items it checks, and dismisses it.
    std::vector<int> CheckedLayouts() {
        spy->Clear();
        SendNotifyMessageA(window, 0x8001, 1, WM_RBUTTONUP);
        EXPECT_TRUE(spy->WaitForPopup());
        EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::FindPopupMenuWindow(program.Pid()); }));
        std::vector<int> checked;
        for (const e2e::MenuSpy::Item& item : spy->LastPopup()) {
            if (item.id >= 40044 && item.id <= 40046 && (item.state & MF_CHECKED))
                checked.push_back(item.id);
        }
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FindPopupMenuWindow(program.Pid()); }));
        return checked;
    }

    const Values saved = Read();
    e2e::ScratchInstall install{"kelvarin_wallpaper"};
    std::string picture = install.Folder() + "\\壁紙.bmp";
    e2e::Program program;
    HWND window = NULL;
    std::unique_ptr<e2e::MenuSpy> spy;
};

TEST_F(WallpaperTest, MenuChecksTheLayoutInForceWhoeverSetIt) {
    SetWallpaper("0", "1");
    ASSERT_TRUE(e2e::WaitUntil(AtCorner));
    struct Step {
        int command;
        const char *style, *tile;
        bool tiled;
    } const steps[] = {{40044, "0", "0", false}, {40045, "0", "1", true}, {40046, "2", "0", false}};
    for (const Step& step : steps) {
        PostMessageA(window, WM_COMMAND, step.command, 0);
        // Shown again at once in the new layout: the corner follows the tiling.
        EXPECT_TRUE(e2e::WaitUntil([&] { return AtCorner() == step.tiled && AtCentre(); }))
            << step.command;
        EXPECT_EQ(Values({Sz(picture), Sz(step.style), Sz(step.tile)}), Read());
        EXPECT_EQ(std::vector<int>{step.command}, CheckedLayouts());
    }
    // Values another program left, absent ones included.
    struct Case {
        const char *style, *tile;
        int checked;
    } const cases[] = {{"2", "1", 40046}, {"0", "1", 40045}, {"", "", 40044}, {"02", "0", 40044}};
    for (const Case& c : cases) {
        Write("Wallpaperstyle", c.style);
        Write("TileWallpaper", c.tile);
        EXPECT_EQ(std::vector<int>{c.checked}, CheckedLayouts()) << c.style << "/" << c.tile;
    }
}

TEST_F(WallpaperTest, RemovalByCommandAndByHotkeyEmptiesThePathAndKeepsTheLayout) {
    for (int way = 0; way < 2; ++way) {
        SetWallpaper("2", "1");
        ASSERT_TRUE(e2e::WaitUntil(AtCentre)) << way;
        if (way == 0) {
            PostMessageA(window, WM_COMMAND, 40049, 0);
        } else {  // pressed as a user does
            for (BYTE vk : {VK_CONTROL, VK_MENU, VK_F7})
                keybd_event(vk, 0, 0, 0);
            for (BYTE vk : {VK_F7, VK_MENU, VK_CONTROL})
                keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
        }
        // An empty REG_SZ of data length 1, the picture gone, the layout as it was.
        EXPECT_TRUE(e2e::WaitUntil([] {
            return Read() == Values({Sz(""), Sz("2"), Sz("1")});
        })) << way;
        EXPECT_TRUE(e2e::WaitUntil([] { return !AtCentre(); })) << way;
    }
}

}  // namespace
