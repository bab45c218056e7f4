// Wallpaper layout and removal as a user meets them: the main menu's layout commands
// write the desktop values and show the same picture in the new layout, the menu checks
// the layout in force whoever set it, and removal by command or hotkey takes the picture
// away and keeps the layout. The desktop values and wallpaper are put back afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <memory>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using e2e::MenuSpy;
using e2e::Program;
using e2e::ScratchInstall;

const UINT kTrayNotify = 0x8001;
const COLORREF kPicture = RGB(200, 30, 170);
const char kDesktop[] = "Control Panel\\desktop";
const char* const kValueNames[] = {"Wallpaper", "Wallpaperstyle", "TileWallpaper"};

// A registry value, raw: absent, or its type and bytes.
struct RawValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::string data;
    bool operator==(const RawValue& other) const {
        return present == other.present && type == other.type && data == other.data;
    }
};

RawValue ReadValue(const char* name) {
    RawValue value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktop, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    char data[1024];
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, NULL, &value.type, (BYTE*)data, &size) == ERROR_SUCCESS) {
        value.present = true;
        value.data.assign(data, size);
    }
    RegCloseKey(key);
    return value;
}

void WriteValue(const char* name, const RawValue& value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktop, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    if (value.present) {
        RegSetValueExA(key, name, 0, value.type, (const BYTE*)value.data.data(),
                       (DWORD)value.data.size());
    } else {
        RegDeleteValueA(key, name);
    }
    RegCloseKey(key);
}

// A REG_SZ as the program writes it: the text and its terminating zero.
RawValue String(const std::string& text) {
    RawValue value;
    value.present = true;
    value.type = REG_SZ;
    value.data = text + std::string(1, '\0');
    return value;
}

void WriteBmp(const std::string& path, COLORREF colour) {
    const int side = 32, stride = side * 3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * side;
    info.biSize = sizeof info;
    info.biWidth = info.biHeight = side;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string pixels;
    for (int i = 0; i < side * side; ++i) {
        pixels += static_cast<char>(GetBValue(colour));
        pixels += static_cast<char>(GetGValue(colour));
        pixels += static_cast<char>(GetRValue(colour));
    }
    FILE* out = fopen(path.c_str(), "wb");
    ASSERT_TRUE(out != NULL);
    fwrite(&file, sizeof file, 1, out);
    fwrite(&info, sizeof info, 1, out);
    fwrite(pixels.data(), pixels.size(), 1, out);
    fclose(out);
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(NULL);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(NULL, screen);
    return colour;
}

// The picture shows in the desktop's top-left corner only when tiled, and at its centre
// whether tiled or centred.
bool PictureAtCorner() {
    return ScreenPixel(4, 4) == kPicture;
}
bool PictureAtCentre() {
    return ScreenPixel(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2) ==
           kPicture;
}

class WallpaperTest : public testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : kValueNames)
            saved.push_back(ReadValue(name));
        install.reset(new ScratchInstall("kelvarin_wallpaper"));
        picture = install->Folder() + "\\壁紙.bmp";
        WriteBmp(picture, kPicture);
    }
    void TearDown() override {
        spy.reset();
        if (program.Running()) {
            program.Exit();
            program.WaitExit();
        }
        for (size_t i = 0; i < saved.size(); ++i)
            WriteValue(kValueNames[i], saved[i]);
        std::string path = saved[0].present ? saved[0].data.c_str() : "";
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, &path[0], 3);
    }

    // Another program's way: the values, then the picture applied with them.
    void SetWallpaper(const RawValue& style, const RawValue& tile) {
        WriteValue("Wallpaperstyle", style);
        WriteValue("TileWallpaper", tile);
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, &picture[0], 3));
    }

    void Start() {
        ASSERT_TRUE(program.Start(install->Exe()));
        window = program.WaitMainWindow();
        ASSERT_NE(window, (HWND)NULL);
        spy.reset(new MenuSpy(window));
        ASSERT_TRUE(spy->Ok());
    }

    // Opens the main menu as a right-button release on the icon does, and returns the
    // layout items it checks; the menu is then dismissed.
    std::vector<int> CheckedLayouts() {
        spy->Clear();
        SendNotifyMessageA(window, kTrayNotify, 1, WM_RBUTTONUP);
        EXPECT_TRUE(spy->WaitForPopup());
        EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::FindPopupMenuWindow(program.Pid()); }));
        std::vector<int> checked;
        for (const MenuSpy::Item& item : spy->LastPopup()) {
            if (item.id >= 40044 && item.id <= 40046 && (item.state & MF_CHECKED))
                checked.push_back(item.id);
        }
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FindPopupMenuWindow(program.Pid()); }));
        return checked;
    }

    std::vector<RawValue> saved;
    std::unique_ptr<ScratchInstall> install;
    std::string picture;
    Program program;
    HWND window = NULL;
    std::unique_ptr<MenuSpy> spy;
};

TEST_F(WallpaperTest, LayoutCommandsWriteTheirValuesAndShowTheSamePictureThatWay) {
    SetWallpaper(String("0"), String("1"));
    ASSERT_TRUE(e2e::WaitUntil(PictureAtCorner));
    Start();
    struct Step {
        WPARAM command;
        const char* style;
        const char* tile;
        bool tiled;
    } const steps[] = {
        {40044, "0", "0", false},
        {40045, "0", "1", true},
        {40046, "2", "0", false},  // the test desktop does not stretch: it centres
    };
    for (const Step& step : steps) {
        PostMessageA(window, WM_COMMAND, step.command, 0);
        // Shown again at once, in the new layout: the corner follows the tiling.
        EXPECT_TRUE(e2e::WaitUntil([&] { return PictureAtCorner() == step.tiled; }))
            << step.command;
        EXPECT_TRUE(PictureAtCentre()) << step.command;
        EXPECT_TRUE(ReadValue("Wallpaperstyle") == String(step.style)) << step.command;
        EXPECT_TRUE(ReadValue("TileWallpaper") == String(step.tile)) << step.command;
        EXPECT_TRUE(ReadValue("Wallpaper") == String(picture)) << step.command;
        EXPECT_EQ(std::vector<int>({static_cast<int>(step.command)}), CheckedLayouts());
    }
}

TEST_F(WallpaperTest, MenuChecksTheLayoutAnotherProgramSet) {
    Start();
    RawValue absent;
    struct Case {
        RawValue style, tile;
        int checked;
    } const cases[] = {
        {String("2"), String("1"), 40046}, {String("0"), String("1"), 40045},
        {absent, absent, 40044},           {String("02"), String("0"), 40044},
        {String("1"), String("1"), 40045},
    };
    for (const Case& c : cases) {
        WriteValue("Wallpaperstyle", c.style);
        WriteValue("TileWallpaper", c.tile);
        EXPECT_EQ(std::vector<int>({c.checked}), CheckedLayouts()) << c.style.data;
    }
}

// The third hotkey, pressed as a user does.
void PressCtrlAlt(WORD vk) {
    const WORD keys[] = {VK_CONTROL, VK_MENU, vk};
    INPUT inputs[6];
    ZeroMemory(inputs, sizeof inputs);
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = inputs[5 - i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = inputs[5 - i].ki.wVk = keys[i];
        inputs[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(6, inputs, sizeof(INPUT));
}

TEST_F(WallpaperTest, RemovalByCommandAndByHotkeyEmptiesThePathAndKeepsTheLayout) {
    // Ctrl+Alt+F7 (modifiers 3 x 256 + 0x76), free before the program takes it.
    ASSERT_TRUE(RegisterHotKey(NULL, 0x7000, MOD_CONTROL | MOD_ALT, VK_F7));
    UnregisterHotKey(NULL, 0x7000);
    ASSERT_TRUE(
        WritePrivateProfileStringA("Kelvarin", "壁紙をはがす", "886", install->IniPath().c_str()));
    WritePrivateProfileStringA(NULL, NULL, NULL, install->IniPath().c_str());
    Start();
    for (int way = 0; way < 2; ++way) {
        SetWallpaper(String("2"), String("1"));
        ASSERT_TRUE(e2e::WaitUntil(PictureAtCentre)) << way;
        if (way == 0) {
            PostMessageA(window, WM_COMMAND, 40049, 0);
        } else {
            PressCtrlAlt(VK_F7);
        }
        EXPECT_TRUE(e2e::WaitUntil([] { return ReadValue("Wallpaper") == String(""); })) << way;
        EXPECT_TRUE(e2e::WaitUntil([] { return !PictureAtCentre(); })) << way;
        EXPECT_TRUE(ReadValue("Wallpaperstyle") == String("2")) << way;
        EXPECT_TRUE(ReadValue("TileWallpaper") == String("1")) << way;
    }
}

}  // namespace
