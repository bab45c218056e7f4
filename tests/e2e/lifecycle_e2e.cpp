// The program's life as a user sees it: one instance only, the settings file it leaves
// beside itself, and settings that survive a restart.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace {

using e2e::Program;
using e2e::ReadIniValue;
using e2e::ScratchInstall;

const char kKeyShowLoupe[] = "虫眼鏡を表示";
const char kKeyShowCurInf[] = "カーソル座標窓を表示";
const char kKeySaveFolder[] = "画像ファイルの保存先フォルダ";
const char kKeyHotkeyCapture[] = "ｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ";
const char kKeyHotkeySetWallpaper[] = "壁紙に設定";
const char kKeyHotkeyRemoveWallpaper[] = "壁紙をはがす";

// True when another process holds the combination: registering it here fails with
// ERROR_HOTKEY_ALREADY_REGISTERED. A registration that succeeds is undone at once.
bool HeldElsewhere(UINT modifiers, UINT vk) {
    if (RegisterHotKey(NULL, 0x7000, modifiers, vk)) {
        UnregisterHotKey(NULL, 0x7000);
        return false;
    }
    return GetLastError() == 1409;
}

TEST(Environment, AnsiCodePageIsJapanese) {
    ASSERT_EQ(GetACP(), 932u);
}

TEST(SingleInstance, SecondStartExitsWithOneAndLeavesTheFirstRunning) {
    ScratchInstall install("kelvarin_single");
    Program first;
    ASSERT_TRUE(first.Start(install.Exe()));
    HWND window = first.WaitMainWindow();
    ASSERT_NE(window, (HWND)NULL);

    Program second;
    ASSERT_TRUE(second.Start(install.Exe()));
    EXPECT_EQ(second.WaitExit(), 1);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindow(window));
    // The second start wrote nothing: no settings file yet.
    EXPECT_FALSE(e2e::FileExists(install.IniPath()));

    // Another copy elsewhere is the same program: the mutex is system-wide.
    ScratchInstall other("kelvarin_single_other");
    Program third;
    ASSERT_TRUE(third.Start(other.Exe()));
    EXPECT_EQ(third.WaitExit(), 1);
    EXPECT_FALSE(e2e::FileExists(other.IniPath()));

    first.Exit();
    EXPECT_EQ(first.WaitExit(), 0);
}

TEST(Settings, FirstStartThenExitLeavesEveryKeyWithItsDefault) {
    ScratchInstall install("Kelvarin_Empty", "KELVARIN.EXE");
    std::string ini = install.IniPath();
    ASSERT_NE(ini.find("kelvarin_empty\\kelvarin.ini"), std::string::npos) << ini;
    Program program;
    ASSERT_TRUE(program.Start(install.Exe()));
    ASSERT_NE(program.WaitMainWindow(), (HWND)NULL);
    program.Exit();
    ASSERT_EQ(program.WaitExit(), 0);

    ASSERT_TRUE(e2e::FileExists(ini));
    EXPECT_EQ(ReadIniValue(ini, kKeyShowLoupe), "0");
    EXPECT_EQ(ReadIniValue(ini, kKeyShowCurInf), "0");
    // The default folder is the program's own, as spelled, without a trailing separator.
    EXPECT_EQ(ReadIniValue(ini, kKeySaveFolder), install.Folder());
    EXPECT_EQ(ReadIniValue(ini, kKeyHotkeyCapture), "0");
    EXPECT_EQ(ReadIniValue(ini, kKeyHotkeySetWallpaper), "0");
    EXPECT_EQ(ReadIniValue(ini, kKeyHotkeyRemoveWallpaper), "0");
}

TEST(Settings, ValuesOfThePreviousRunSurviveARestart) {
    ScratchInstall install("kelvarin_\x95\x5C_Restart");  // 表: a trail byte 0x5C in the path
    std::string ini = install.IniPath();
    const char* folder = "C:\\キャプチャ\\表示";
    WritePrivateProfileStringA("Kelvarin", kKeyShowLoupe, "1", ini.c_str());
    WritePrivateProfileStringA("Kelvarin", kKeyShowCurInf, "1", ini.c_str());
    WritePrivateProfileStringA("Kelvarin", kKeySaveFolder, folder, ini.c_str());
    WritePrivateProfileStringA("Kelvarin", kKeyHotkeyCapture, "851", ini.c_str());  // Ctrl+Alt+S
    WritePrivateProfileStringA("Kelvarin", kKeyHotkeySetWallpaper, "2596",
                               ini.c_str());  // ext. Ctrl+Home
    WritePrivateProfileStringA("Kelvarin", kKeyHotkeyRemoveWallpaper, "123",
                               ini.c_str());  // bare F12
    WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());

    for (int run = 0; run < 2; ++run) {
        Program program;
        ASSERT_TRUE(program.Start(install.Exe()));
        HWND window = program.WaitMainWindow();
        ASSERT_NE(window, (HWND)NULL);
        // The hotkeys are taken: registering the same keys here fails.
        EXPECT_TRUE(HeldElsewhere(MOD_CONTROL | MOD_ALT, 'S'));
        EXPECT_TRUE(HeldElsewhere(MOD_CONTROL, VK_HOME));  // the extended mark is not registered
        EXPECT_TRUE(HeldElsewhere(0, VK_F12));
        program.Exit();
        ASSERT_EQ(program.WaitExit(), 0);

        EXPECT_EQ(ReadIniValue(ini, kKeyShowLoupe), "1") << "run " << run;
        EXPECT_EQ(ReadIniValue(ini, kKeyShowCurInf), "1") << "run " << run;
        EXPECT_EQ(ReadIniValue(ini, kKeySaveFolder), folder) << "run " << run;
        EXPECT_EQ(ReadIniValue(ini, kKeyHotkeyCapture), "851") << "run " << run;
        EXPECT_EQ(ReadIniValue(ini, kKeyHotkeySetWallpaper), "2596") << "run " << run;
        EXPECT_EQ(ReadIniValue(ini, kKeyHotkeyRemoveWallpaper), "123") << "run " << run;
    }
    // After the program has gone its hotkeys are free again.
    EXPECT_TRUE(RegisterHotKey(NULL, 0x7001, MOD_CONTROL | MOD_ALT, 'S'));
    EXPECT_TRUE(UnregisterHotKey(NULL, 0x7001));
}

TEST(Settings, HostileValuesNeitherCrashNorStick) {
    ScratchInstall install("kelvarin_hostile");
    std::string ini = install.IniPath();
    std::string longFolder(10000, 'x');
    WritePrivateProfileStringA("Kelvarin", kKeyShowLoupe, "abc", ini.c_str());
    WritePrivateProfileStringA("Kelvarin", kKeyShowCurInf, "-99999999999", ini.c_str());
    WritePrivateProfileStringA("Kelvarin", kKeySaveFolder, longFolder.c_str(), ini.c_str());
    WritePrivateProfileStringA("Kelvarin", kKeyHotkeyCapture, "-1", ini.c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());
    Program program;
    ASSERT_TRUE(program.Start(install.Exe()));
    ASSERT_NE(program.WaitMainWindow(), (HWND)NULL);
    program.Exit();
    ASSERT_EQ(program.WaitExit(), 0);
    EXPECT_EQ(ReadIniValue(ini, kKeyShowLoupe), "0");
    EXPECT_EQ(ReadIniValue(ini, kKeyHotkeyCapture), "65535");
    std::string folder = ReadIniValue(ini, kKeySaveFolder);
    EXPECT_EQ(folder, longFolder.substr(0, 259));
}

// Processes named name whose parent is parent.
bool HasChildNamed(DWORD parent, const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry)) {
        const char* base = strrchr(entry.szExeFile, '\\');
        base = base ? base + 1 : entry.szExeFile;
        found = entry.th32ParentProcessID == parent && lstrcmpiA(base, name) == 0;
    }
    CloseHandle(snapshot);
    return found;
}

TEST(Commands, DisplayPropertiesStartsTheSystemsRundll32NotOneBesideTheProgram) {
    ScratchInstall install("kelvarin_decoy");
    std::string decoy = e2e::ProductExe();
    decoy = decoy.substr(0, decoy.rfind('\\')) + "\\tests\\decoy.exe";
    ASSERT_TRUE(CopyFileA(decoy.c_str(), (install.Folder() + "\\rundll32.exe").c_str(), FALSE));
    std::string marker = install.Folder() + "\\decoy-ran.txt";
    Program program;
    ASSERT_TRUE(program.Start(install.Exe()));
    HWND window = program.WaitMainWindow();
    ASSERT_NE(window, (HWND)NULL);
    PostMessageA(window, WM_COMMAND, 40056, 0);
    // The system's rundll32 runs briefly as the program's child (Wine has no desk.cpl).
    EXPECT_TRUE(e2e::WaitUntil([&] { return HasChildNamed(program.Pid(), "rundll32.exe"); }, 5000));
    Sleep(500);
    EXPECT_FALSE(e2e::FileExists(marker)) << "the rundll32.exe in the program's folder ran";
    EXPECT_TRUE(program.Running());
    program.Exit();
    EXPECT_EQ(program.WaitExit(), 0);
}

TEST(Startup, AMainWindowThatCannotBeCreatedEndsWithOneAndWritesNothing) {
    ScratchInstall install("kelvarin_nowindow");
    std::string dll = e2e::ProductExe();
    dll = dll.substr(0, dll.rfind('\\')) + "\\tests\\menu_spy.dll";
    HMODULE spy = LoadLibraryA(dll.c_str());
    ASSERT_NE(spy, (HMODULE)NULL);
    FARPROC proc = GetProcAddress(spy, "SpyRefuseMainWindow");  // x64: undecorated
    if (proc == NULL)
        proc = GetProcAddress(spy, "SpyRefuseMainWindow@12");  // stdcall's decorated name
    HOOKPROC refuse = (HOOKPROC)(void*)proc;
    HHOOK hook = SetWindowsHookExA(WH_CBT, refuse, spy, 0);
    ASSERT_NE(hook, (HHOOK)NULL) << GetLastError();
    Program program;
    bool started = program.Start(install.Exe());
    int code = started ? program.WaitExit() : -2;
    UnhookWindowsHookEx(hook);
    FreeLibrary(spy);
    EXPECT_EQ(code, 1);
    EXPECT_FALSE(e2e::FileExists(install.IniPath()));
}

TEST(Commands, AnIdNoRouteOwnsChangesNothing) {
    ScratchInstall install("kelvarin_unowned");
    Program program;
    ASSERT_TRUE(program.Start(install.Exe()));
    HWND window = program.WaitMainWindow();
    ASSERT_NE(window, (HWND)NULL);
    DEVMODEA before;
    ZeroMemory(&before, sizeof before);
    before.dmSize = sizeof before;
    EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &before);
    // 4095 and above are no mode; 40007 is the greyed placeholder; the high word is noise.
    for (WPARAM id : {(WPARAM)4095, (WPARAM)40007, (WPARAM)65535, (WPARAM)MAKEWPARAM(4095, 1)}) {
        DWORD_PTR result = 1;
        ASSERT_TRUE(
            SendMessageTimeoutA(window, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 5000, &result));
        EXPECT_EQ(result, 0u) << id;
    }
    DEVMODEA after = before;
    EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &after);
    EXPECT_EQ(after.dmPelsWidth, before.dmPelsWidth);
    EXPECT_EQ(after.dmBitsPerPel, before.dmBitsPerPel);
    EXPECT_TRUE(program.Running());
    EXPECT_FALSE(e2e::FileExists(install.IniPath()));  // nothing saved, nothing closed
    program.Exit();
    EXPECT_EQ(program.WaitExit(), 0);
}

}  // namespace
