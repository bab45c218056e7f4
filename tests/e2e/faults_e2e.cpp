// Faults the program meets in the field and must ride out: a settings file in another
// encoding or one it may not write, desktop values of the wrong type, a capture folder it
// cannot write to, a foreground window that goes while it is captured. In each the
// program keeps running, loses no file or setting, and claims no failure as success.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using e2e::Program;
using e2e::ScratchInstall;

void Spit(const std::string& path, const std::string& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, (FILE*)NULL);
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

// A UTF-8 settings file (written by an editor that does not know code page 932): the
// program runs on it, and saves back what it read.
TEST(FaultIni, AFileInAnotherEncodingRunsAndKeepsWhatItRead) {
    ScratchInstall install("kelvarin_fault_utf8");
    const std::string folder = "C:\\\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88";  // テスト in UTF-8
    Spit(install.IniPath(), "[Kelvarin]\r\n\xE7\x94\xBB=1\r\n");
    WritePrivateProfileStringA("Kelvarin", "画像ファイルの保存先フォルダ", folder.c_str(),
                               install.IniPath().c_str());
    WritePrivateProfileStringA("Kelvarin", "ｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ", "887", install.IniPath().c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, install.IniPath().c_str());
    // What the system's profile functions make of those bytes is what the program gets.
    const std::string seen = e2e::ReadIniValue(install.IniPath(), "画像ファイルの保存先フォルダ");
    Program program;
    ASSERT_TRUE(program.Start(install.Exe()));
    ASSERT_NE(program.WaitMainWindow(), (HWND)NULL);
    EXPECT_TRUE(e2e::HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'w'));  // 887 = 3 x 256 + 0x77
    program.Exit();
    EXPECT_EQ(program.WaitExit(), 0);
    EXPECT_EQ(e2e::ReadIniValue(install.IniPath(), "画像ファイルの保存先フォルダ"), seen);
    EXPECT_EQ(e2e::ReadIniValue(install.IniPath(), "ｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ"), "887");
}

// A settings file the program may read but not write (held open against writing by
// another program; as root, Wine's read-only attribute does not stop a write): it runs
// with those settings and the file is the same byte for byte afterwards.
TEST(FaultIni, AFileThatCannotBeWrittenIsReadAndLeftAsItWas) {
    ScratchInstall install("kelvarin_fault_locked");
    WritePrivateProfileStringA("Kelvarin", "ｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ", "888", install.IniPath().c_str());
    WritePrivateProfileStringA("Kelvarin", "虫眼鏡を表示", "1", install.IniPath().c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, install.IniPath().c_str());
    const std::string before = e2e::ReadWholeFile(install.IniPath());
    HANDLE lock = CreateFileA(install.IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                              OPEN_EXISTING, 0, NULL);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Program program;
    ASSERT_TRUE(program.Start(install.Exe()));
    HWND window = program.WaitMainWindow();
    ASSERT_NE(window, (HWND)NULL);
    EXPECT_TRUE(e2e::HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'x'));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::FindProcessWindow(program.Pid(), "loupe"); }));
    PostMessageA(window, WM_COMMAND, 40051, 0);  // the magnifier saves its section on closing
    EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FindProcessWindow(program.Pid(), "loupe"); }));
    EXPECT_TRUE(program.Running());
    program.Exit();
    EXPECT_EQ(program.WaitExit(), 0);
    CloseHandle(lock);
    EXPECT_EQ(e2e::ReadWholeFile(install.IniPath()), before);
}

// Desktop values of the wrong type, or a string without its terminating zero: the menu
// opens and checks centre (they are unreadable), and a layout chosen then writes proper
// strings.
TEST(FaultRegistry, ValuesOfTheWrongTypeNeitherCrashNorStick) {
    const std::string style = e2e::ReadDesktopValue("Wallpaperstyle"),
                      tile = e2e::ReadDesktopValue("TileWallpaper");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, KEY_ALL_ACCESS, &key),
              0);
    DWORD two = 2;
    RegSetValueExA(key, "Wallpaperstyle", 0, REG_DWORD, (const BYTE*)&two, sizeof two);
    RegSetValueExA(key, "TileWallpaper", 0, REG_BINARY, (const BYTE*)"1x", 1);
    ScratchInstall install("kelvarin_fault_registry");
    Program program;
    ASSERT_TRUE(program.Start(install.Exe()));
    HWND window = program.WaitMainWindow();
    ASSERT_NE(window, (HWND)NULL);
    {
        e2e::MenuSpy spy(window);
        ASSERT_TRUE(spy.Ok());
        SendNotifyMessageA(window, 0x8001, 1, WM_RBUTTONUP);
        ASSERT_TRUE(spy.WaitForPopup());
        for (const e2e::MenuSpy::Item& item : spy.LastPopup()) {
            if (item.id >= 40044 && item.id <= 40046) {
                EXPECT_EQ((item.state & MF_CHECKED) != 0, item.id == 40044) << item.id;
            }
        }
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    DWORD_PTR result;
    SendMessageTimeoutA(window, WM_COMMAND, 40045, 0, SMTO_NORMAL, 10000, &result);
    DWORD type = 0, size = 0;
    RegQueryValueExA(key, "TileWallpaper", NULL, &type, NULL, &size);
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(size, 2u);
    EXPECT_TRUE(program.Running());
    program.Exit();
    EXPECT_EQ(program.WaitExit(), 0);
    RegSetValueExA(key, "Wallpaperstyle", 0, REG_SZ, (const BYTE*)style.c_str(), style.size() + 1);
    RegSetValueExA(key, "TileWallpaper", 0, REG_SZ, (const BYTE*)tile.c_str(), tile.size() + 1);
    RegCloseKey(key);
}

class FaultCapture : public testing::Test {
  protected:
    void SetUp() override {
        wallpaper = e2e::ReadDesktopValue("Wallpaper");
        install.reset(new ScratchInstall("kelvarin_fault_capture"));
        folder = install->Folder() + "\\shots";
        CreateDirectoryA(folder.c_str(), NULL);
        WritePrivateProfileStringA("Kelvarin", "画像ファイルの保存先フォルダ", folder.c_str(),
                                   install->IniPath().c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, install->IniPath().c_str());
        ASSERT_TRUE(program.Start(install->Exe()));
        window = program.WaitMainWindow();
        ASSERT_NE(window, (HWND)NULL);
    }
    void TearDown() override {
        if (program.Running()) {
            program.Exit();
            program.WaitExit();
        }
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, (PVOID)wallpaper.c_str(),
                              SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
        for (const std::string& name : e2e::FilesIn(folder))
            DeleteFileA((folder + "\\" + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }
    void Hotkey(WPARAM id) {
        DWORD_PTR result;
        SendMessageTimeoutA(window, WM_HOTKEY, id, 0, SMTO_NORMAL, 10000, &result);
    }
    std::string wallpaper, folder;
    std::unique_ptr<ScratchInstall> install;
    Program program;
    HWND window = NULL;
};

// A folder the program cannot write into (here a file stands where it should be): no
// capture is claimed, that file stays whole, and the wallpaper is not pointed at anything.
TEST_F(FaultCapture, AFolderThatCannotBeWrittenLosesNothing) {
    RemoveDirectoryA(folder.c_str());
    Spit(folder, "an earlier capture");
    Hotkey(1);
    Hotkey(2);
    EXPECT_EQ(e2e::ReadWholeFile(folder), "an earlier capture");
    EXPECT_EQ(e2e::ReadDesktopValue("Wallpaper"), wallpaper);
    EXPECT_TRUE(program.Running());
}

// The foreground window goes away while the window capture runs: whatever was written is
// a whole BMP, the wallpaper names a whole file or is unchanged, and the program lives.
TEST_F(FaultCapture, AForegroundWindowThatClosesMidCaptureLeavesNoPartialFile) {
    for (int round = 0; round < 15; ++round) {
        HWND victim =
            CreateWindowExA(WS_EX_TOPMOST, "STATIC", "victim", WS_POPUP | WS_VISIBLE, 100 + round,
                            100, 300, 200, NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(victim, (HWND)NULL);
        SetForegroundWindow(victim);
        PostMessageA(window, WM_HOTKEY, 2, 0);
        Sleep(round % 4);
        DestroyWindow(victim);
        Sleep(20);
    }
    DWORD_PTR result;
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result));
    EXPECT_TRUE(program.Running());
    for (const std::string& name : e2e::FilesIn(folder)) {
        std::string bytes = e2e::ReadWholeFile(folder + "\\" + name);
        ASSERT_GE(bytes.size(), 54u) << name;
        DWORD declared = *(const DWORD*)(bytes.data() + 2);
        EXPECT_EQ(declared, bytes.size()) << name;
        EXPECT_EQ(bytes.compare(0, 2, "BM"), 0) << name;
    }
    std::string now = e2e::ReadDesktopValue("Wallpaper");
    if (now != wallpaper) {
        EXPECT_EQ(now.compare(0, folder.size(), folder), 0) << now;
        EXPECT_TRUE(e2e::FileExists(now)) << now;
    }
}

}  // namespace
