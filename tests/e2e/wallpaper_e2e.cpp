// Wallpaper layout and removal as a user meets them: the layout commands write the desktop
// values and show the same picture in the new layout, the menu checks the layout in force
// whoever set it, and removal by command or hotkey takes the picture away and keeps the
// layout. The desktop values and the wallpaper are put back afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <memory>
#include <string>
#include <vector>

#include "harness.h"

namespace {

const COLORREF kPicture = RGB(200, 30, 170);
const char* const kNames[] = {"Wallpaper", "Wallpaperstyle", "TileWallpaper"};
const std::string kAbsent = "<absent>";

// A desktop value as stored: a REG_SZ is its bytes, terminator included; another type is
// marked "type N:" before its bytes; kAbsent when there is none.
std::string Read(const char* name) {
    HKEY key;
    char data[1024];
    DWORD type = REG_NONE, size = sizeof data;
    RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, KEY_READ, &key);
    LONG result = RegQueryValueExA(key, name, NULL, &type, (BYTE*)data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return kAbsent;
    return (type == REG_SZ ? "" : "type " + std::to_string(type) + ":") + std::string(data, size);
}

void Write(const char* name, const std::string& value) {
    HKEY key;
    RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, KEY_ALL_ACCESS, &key);
    DWORD type = REG_SZ;
    size_t start = 0;
    if (sscanf(value.c_str(), "type %lu:", &type) == 1)
        start = value.find(':') + 1;
    if (value == kAbsent) {
        RegDeleteValueA(key, name);
    } else {
        RegSetValueExA(key, name, 0, type, (const BYTE*)value.data() + start, value.size() - start);
    }
    RegCloseKey(key);
}

std::string Sz(const std::string& text) {
    return text + std::string(1, '\0');
}

bool PixelIs(int x, int y) {
    HDC screen = GetDC(NULL);
    bool same = GetPixel(screen, x, y) == kPicture;
    ReleaseDC(NULL, screen);
    return same;
}
// The 32-pixel picture shows in the top-left corner only when tiled, at the centre both
// tiled and centred.
bool AtCorner() {
    return PixelIs(4, 4);
}
bool AtCentre() {
    return PixelIs(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
}

class WallpaperTest : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : kNames)
            saved.push_back(Read(name));
        // A 32 x 32 24-bit BMP of one colour, bottom-up rows of 96 bytes.
        BITMAPFILEHEADER file = {0x4D42, 54 + 32 * 96, 0, 0, 54};
        BITMAPINFOHEADER info = {40, 32, 32, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        std::string bytes((const char*)&file, 14);
        bytes.append((const char*)&info, 40);
        for (int i = 0; i < 32 * 32; ++i)
            bytes +=
                {char(GetBValue(kPicture)), char(GetGValue(kPicture)), char(GetRValue(kPicture))};
        FILE* out = fopen(picture.c_str(), "wb");
        ASSERT_TRUE(out != NULL);
        fwrite(bytes.data(), 1, bytes.size(), out);
        fclose(out);
    }
    void TearDown() override {
        spy.reset();
        program.Exit();
        program.WaitExit();
        for (size_t i = 0; i < saved.size(); ++i)
            Write(kNames[i], saved[i]);
        std::string path = saved[0] == kAbsent ? "" : saved[0].c_str();
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, &path[0], 3);
    }
    // Another program's way: the values, then the picture applied with them.
    void SetWallpaper(const std::string& style, const std::string& tile) {
        Write("Wallpaperstyle", style);
        Write("TileWallpaper", tile);
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, &picture[0], 3));
    }
    void Start() {
        ASSERT_TRUE(program.Start(install.Exe()));
        window = program.WaitMainWindow();
        ASSERT_NE(window, (HWND)NULL);
        spy.reset(new e2e::MenuSpy(window));
        ASSERT_TRUE(spy->Ok());
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

    std::vector<std::string> saved;
    e2e::ScratchInstall install{"kelvarin_wallpaper"};
    std::string picture = install.Folder() + "\\壁紙.bmp";
    e2e::Program program;
    HWND window = NULL;
    std::unique_ptr<e2e::MenuSpy> spy;
};

TEST_F(WallpaperTest, LayoutCommandsWriteTheirValuesAndShowTheSamePictureThatWay) {
    SetWallpaper(Sz("0"), Sz("1"));
    ASSERT_TRUE(e2e::WaitUntil(AtCorner));
    Start();
    struct Step {
        int command;
        const char* style;
        const char* tile;
        bool tiled;  // the test desktop does not stretch: it centres
    } const steps[] = {{40044, "0", "0", false}, {40045, "0", "1", true}, {40046, "2", "0", false}};
    for (const Step& step : steps) {
        PostMessageA(window, WM_COMMAND, step.command, 0);
        // Shown again at once in the new layout: the corner follows the tiling.
        EXPECT_TRUE(e2e::WaitUntil([&] { return AtCorner() == step.tiled; })) << step.command;
        EXPECT_TRUE(AtCentre()) << step.command;
        EXPECT_EQ(Sz(step.style), Read("Wallpaperstyle")) << step.command;
        EXPECT_EQ(Sz(step.tile), Read("TileWallpaper")) << step.command;
        EXPECT_EQ(Sz(picture), Read("Wallpaper")) << step.command;
        EXPECT_EQ(std::vector<int>{step.command}, CheckedLayouts());
    }
}

TEST_F(WallpaperTest, MenuChecksTheLayoutAnotherProgramSet) {
    Start();
    struct Case {
        std::string style, tile;
        int checked;
    } const cases[] = {{Sz("2"), Sz("1"), 40046},
                       {Sz("0"), Sz("1"), 40045},
                       {kAbsent, kAbsent, 40044},
                       {Sz("02"), Sz("0"), 40044}};
    for (const Case& c : cases) {
        Write("Wallpaperstyle", c.style);
        Write("TileWallpaper", c.tile);
        EXPECT_EQ(std::vector<int>{c.checked}, CheckedLayouts()) << c.style << " " << c.tile;
    }
}

TEST_F(WallpaperTest, RemovalByCommandAndByHotkeyEmptiesThePathAndKeepsTheLayout) {
    // Ctrl+Alt+F7 (modifiers 3 x 256 + 0x76), free before the program takes it.
    ASSERT_TRUE(RegisterHotKey(NULL, 0x7000, MOD_CONTROL | MOD_ALT, VK_F7));
    UnregisterHotKey(NULL, 0x7000);
    WritePrivateProfileStringA("Kelvarin", "壁紙をはがす", "886", install.IniPath().c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, install.IniPath().c_str());
    Start();
    for (int way = 0; way < 2; ++way) {
        SetWallpaper(Sz("2"), Sz("1"));
        ASSERT_TRUE(e2e::WaitUntil(AtCentre)) << way;
        if (way == 0) {
            PostMessageA(window, WM_COMMAND, 40049, 0);
        } else {  // pressed as a user does
            INPUT keys[6] = {};
            const WORD vk[] = {VK_CONTROL, VK_MENU, VK_F7};
            for (int i = 0; i < 3; ++i) {
                keys[i].type = keys[5 - i].type = INPUT_KEYBOARD;
                keys[i].ki.wVk = keys[5 - i].ki.wVk = vk[i];
                keys[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
            }
            SendInput(6, keys, sizeof(INPUT));
        }
        // An empty REG_SZ of data length 1, the picture gone, the layout as it was.
        EXPECT_TRUE(e2e::WaitUntil([] { return Read("Wallpaper") == Sz(""); })) << way;
        EXPECT_TRUE(e2e::WaitUntil([] { return !AtCentre(); })) << way;
        EXPECT_EQ(Sz("2"), Read("Wallpaperstyle")) << way;
        EXPECT_EQ(Sz("1"), Read("TileWallpaper")) << way;
    }
}

}  // namespace
