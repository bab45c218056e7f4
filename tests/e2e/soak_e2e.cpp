// Every user action repeated in one program session: both menus, a mode switch and back,
// each wallpaper layout, removal, both captures, both tool windows, both dialogs. After
// the first round and after the last, the program's GDI and USER objects, kernel handles
// and private memory (CountProcessObjects) must be the same. `make test` runs a few
// rounds; `make soak` runs 1,000 (KELVARIN_SOAK_ROUNDS). Nothing is left behind: the
// display mode and the desktop's registry values are put back, the captures removed.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "objects.h"

namespace {

using e2e::ObjectCounts;
using e2e::Program;
using e2e::ScratchInstall;

const UINT kTrayNotify = 0x8001;
// Heap pages the allocator keeps for reuse move a little; a leak per round shows as far more.
const SIZE_T kPrivateSlack = 128 * 1024;
// What one more DC in Wine's cache of window DCs costs (its region and surface included).
const SIZE_T kCachedDcBytes = 8 * 1024;
// A dialog's opening moves more: Wine's own dialog code, run on the program's two templates
// by a procedure that does nothing (bench/dialog_baseline.cpp), grew by up to 276 KB over
// 1,000 openings in the x64 build; loading and freeing version.dll 1,000 times, as the
// About box does, only by 12 KB (bench/version_growth.cpp).
const SIZE_T kDialogSlack = 320 * 1024;

int Rounds() {
    const char* text = getenv("KELVARIN_SOAK_ROUNDS");
    int rounds = text ? atoi(text) : 0;
    return rounds > 1 ? rounds : 12;
}

// The desktop's values the actions change, read before and written back after.
struct DesktopValues {
    std::string wallpaper, style, tile;
    void Read() {
        wallpaper = e2e::ReadDesktopValue("Wallpaper");
        style = e2e::ReadDesktopValue("Wallpaperstyle");
        tile = e2e::ReadDesktopValue("TileWallpaper");
    }
    void Write() const {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, KEY_SET_VALUE, &key))
            return;
        Put(key, "Wallpaperstyle", style);
        Put(key, "TileWallpaper", tile);
        RegCloseKey(key);
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, (PVOID)wallpaper.c_str(),
                              SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
    }
    static void Put(HKEY key, const char* name, const std::string& value) {
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    }
};

DEVMODEA CurrentMode() {
    DEVMODEA mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &mode);
    return mode;
}

// The program's resolution-menu index of a mode: its place among the sizes the system
// lists, sorted by depth, width and height, one entry per size.
int ModeIndex(DWORD depth, DWORD width, DWORD height) {
    std::vector<unsigned long long> sizes;
    for (DWORD i = 0;; ++i) {
        DEVMODEA mode;
        ZeroMemory(&mode, sizeof mode);
        mode.dmSize = sizeof mode;
        if (!EnumDisplaySettingsA(NULL, i, &mode))
            break;
        unsigned long long key = ((unsigned long long)mode.dmBitsPerPel << 40) |
                                 ((unsigned long long)mode.dmPelsWidth << 20) | mode.dmPelsHeight;
        bool seen = false;
        for (unsigned long long s : sizes)
            seen |= s == key;
        if (!seen)
            sizes.push_back(key);
    }
    unsigned long long wanted =
        ((unsigned long long)depth << 40) | ((unsigned long long)width << 20) | height;
    int index = 0;
    bool found = false;
    for (unsigned long long s : sizes) {
        index += s < wanted;
        found |= s == wanted;
    }
    return found ? index : -1;
}

class Soak : public testing::Test {
  protected:
    void SetUp() override {
        saved.Read();
        savedMode = CurrentMode();
        install.reset(new ScratchInstall("kelvarin_soak"));
        captures = install->Folder() + "\\captures";
        CreateDirectoryA(captures.c_str(), NULL);
        std::string ini = install->IniPath();
        WritePrivateProfileStringA("Kelvarin", "画像ファイルの保存先フォルダ", captures.c_str(),
                                   ini.c_str());
        // The tools open where their sections say, away from the pointer: a pointer on a
        // window's border makes the system load its sizing cursor once, which is no leak.
        for (const char* section : {"虫眼鏡", "カーソル座標窓"}) {
            WritePrivateProfileStringA(section, "x 位置", "600", ini.c_str());
            WritePrivateProfileStringA(section, "y 位置", "300", ini.c_str());
        }
        WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());
        SetCursorPos(20, 20);
        ASSERT_TRUE(program.Start(install->Exe()));
        window = program.WaitMainWindow();
        ASSERT_NE(window, (HWND)NULL);
        Idle();
    }
    void TearDown() override {
        if (program.Running()) {
            program.Exit();
            EXPECT_EQ(program.WaitExit(), 0);
        }
        DEVMODEA now = CurrentMode();
        if (now.dmPelsWidth != savedMode.dmPelsWidth || now.dmBitsPerPel != savedMode.dmBitsPerPel)
            ChangeDisplaySettingsA(&savedMode, CDS_UPDATEREGISTRY);
        saved.Write();
    }

    void Idle() {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, program.Pid());
        if (process != NULL) {
            WaitForInputIdle(process, 5000);
            CloseHandle(process);
        }
    }
    bool Command(WPARAM id) {
        DWORD_PTR result;
        return SendMessageTimeoutA(window, WM_COMMAND, id, 0, SMTO_NORMAL, 15000, &result) != 0;
    }
    bool WaitWindow(const char* className, bool open) {
        return e2e::WaitUntil(
            [&] { return (e2e::FindProcessWindow(program.Pid(), className) != NULL) == open; },
            10000);
    }
    bool Menu(LPARAM click) {
        SendNotifyMessageA(window, kTrayNotify, 1, click);
        if (!WaitWindow("#32768", true))
            return false;
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        return WaitWindow("#32768", false);
    }
    bool Tool(WPARAM command, const char* className) {
        PostMessageA(window, WM_COMMAND, command, 0);
        if (!WaitWindow(className, true))
            return false;
        PostMessageA(window, WM_COMMAND, command, 0);
        return WaitWindow(className, false);
    }
    bool Dialog(WPARAM command) {
        PostMessageA(window, WM_COMMAND, command, 0);
        if (!WaitWindow("#32770", true))
            return false;
        HWND dialog = e2e::FindProcessWindow(program.Pid(), "#32770");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        // Hidden first, destroyed after: counted before that, its windows would show.
        return e2e::WaitUntil([&] { return !IsWindow(dialog); }, 10000);
    }
    bool SwitchAndBack() {
        DEVMODEA now = CurrentMode();
        int back = ModeIndex(now.dmBitsPerPel, now.dmPelsWidth, now.dmPelsHeight);
        int other = ModeIndex(now.dmBitsPerPel, 800, 600);
        if (now.dmPelsWidth == 800)
            other = ModeIndex(now.dmBitsPerPel, 640, 480);
        if (back < 0 || other < 0 || !Command(other))
            return false;
        if (!e2e::WaitUntil([&] { return CurrentMode().dmPelsWidth != now.dmPelsWidth; }, 5000))
            return false;
        return Command(back) &&
               e2e::WaitUntil([&] { return CurrentMode().dmPelsWidth == now.dmPelsWidth; }, 5000);
    }
    bool Capture(WPARAM hotkey) {
        DWORD_PTR result;
        return SendMessageTimeoutA(window, WM_HOTKEY, hotkey, 0, SMTO_NORMAL, 15000, &result) != 0;
    }
    void RemoveCaptures() {
        for (const std::string& name : e2e::FilesIn(captures))
            DeleteFileA((captures + "\\" + name).c_str());
    }

    // One action, rounds times; the counts after the first round and after the last.
    // allowedHandles: growth that is not the program's own (see WineHandlesPerModeChange).
    void Measure(const char* name, const std::function<bool()>& action, long allowedHandles = 0,
                 SIZE_T allowedPrivate = kPrivateSlack) {
        const int rounds = Rounds();
        ASSERT_TRUE(action()) << name << ": round 1";
        Idle();
        ObjectCounts first, last;
        ASSERT_TRUE(e2e::CountProcessObjects(program.Pid(), &first)) << name;
        for (int round = 2; round <= rounds; ++round)
            ASSERT_TRUE(action()) << name << ": round " << round;
        Idle();
        Sleep(100);
        ASSERT_TRUE(e2e::CountProcessObjects(program.Pid(), &last)) << name;
        printf(
            "  %-22s round 1: gdi %3ld (DCs %2ld) user %3ld handles %3ld private %6lu KB | "
            "round %d: gdi %3ld (DCs %2ld) user %3ld handles %3ld private %6lu KB\n",
            name, first.gdi, first.dcs, first.user, first.handles,
            (unsigned long)(first.privateBytes / 1024), rounds, last.gdi, last.dcs, last.user,
            last.handles, (unsigned long)(last.privateBytes / 1024));
        // Wine keeps up to 64 window DCs of closed windows in a cache, three objects each:
        // that cache may fill, everything else must stay, but for a font or brush deleted
        // while selected into a cached DC, which lives as long as that DC, and the memory
        // each cached DC takes.
        const long cached = last.dcs > first.dcs ? last.dcs - first.dcs : 0;
        EXPECT_LE(last.gdi - 3 * last.dcs, first.gdi - 3 * first.dcs + 2 * cached) << name;
        EXPECT_LE(last.dcs, 64) << name;
        EXPECT_EQ(last.user, first.user) << name;
        EXPECT_LE(last.handles, first.handles + allowedHandles) << name;
        EXPECT_GE(last.handles, first.handles) << name;
        EXPECT_LE(last.privateBytes, first.privateBytes + allowedPrivate + cached * kCachedDcBytes)
            << name;
        EXPECT_TRUE(program.Running()) << name;
    }

    DesktopValues saved;
    DEVMODEA savedMode;
    std::unique_ptr<ScratchInstall> install;
    std::string captures;
    Program program;
    HWND window = NULL;
};

// Wine 8 keeps kernel handles at every ChangeDisplaySettingsA, in any process (3 a call
// here): measured in this process, so that only growth beyond it counts as the program's.
long WineHandlesPerModeChange() {
    DEVMODEA now = CurrentMode();
    DEVMODEA other = now;
    other.dmPelsWidth = now.dmPelsWidth == 800 ? 640 : 800;
    other.dmPelsHeight = now.dmPelsWidth == 800 ? 480 : 600;
    ObjectCounts before, after;
    if (!e2e::CountProcessObjects(GetCurrentProcessId(), &before))
        return 0;
    for (int i = 0; i < 5; ++i) {
        ChangeDisplaySettingsA(&other, 0);
        ChangeDisplaySettingsA(&now, 0);
    }
    if (!e2e::CountProcessObjects(GetCurrentProcessId(), &after))
        return 0;
    return (after.handles - before.handles + 9) / 10;
}

TEST_F(Soak, EveryActionRepeatedLeavesNothingBehind) {
    setvbuf(stdout, NULL, _IONBF, 0);
    printf("soak: %d rounds of each action\n", Rounds());
    Measure("main menu", [&] { return Menu(WM_RBUTTONUP); });
    Measure("resolution menu", [&] { return Menu(WM_LBUTTONUP); });
    long wineHandles = WineHandlesPerModeChange();
    printf("  (Wine itself keeps %ld kernel handles per mode change)\n", wineHandles);
    Measure(
        "mode switch and back", [&] { return SwitchAndBack(); }, wineHandles * 2 * (Rounds() - 1));
    for (WPARAM layout : {40044, 40045, 40046}) {
        std::string name = "wallpaper layout " + std::to_string(layout);
        Measure(name.c_str(), [&] { return Command(layout); });
    }
    Measure("wallpaper removal", [&] { return Command(40049); });
    Measure("desktop capture", [&] { return Capture(1); });
    Measure("window capture", [&] { return Capture(2); });
    RemoveCaptures();
    Measure("magnifier", [&] { return Tool(40051, "loupe"); });
    Measure("coordinate window", [&] { return Tool(40052, "CursorInfoWindow"); });
    Measure(
        "settings dialog", [&] { return Dialog(40048); }, 0, kDialogSlack);
    Measure(
        "About box", [&] { return Dialog(40002); }, 0, kDialogSlack);
    program.Exit();
    EXPECT_EQ(program.WaitExit(), 0);
    RemoveCaptures();
}

}  // namespace
