// What a release must hold beyond the features: libraries that are not "known DLLs" are
// never taken from the program's own folder.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

using e2e::Program;
using e2e::ScratchInstall;

std::vector<std::string> ModulePaths(DWORD pid) {
    std::vector<std::string> paths;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE)
        return paths;
    MODULEENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry))
        paths.push_back(entry.szExePath);
    CloseHandle(snapshot);
    return paths;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

// A program started from a downloads folder would load a planted comctl32.dll from that
// folder unless the manifest sends its name to the system's side-by-side copy. Wine prefers its
// own builtin libraries, so the program is started with comctl32 set to "native first",
// as Windows searches the program's folder first.
TEST(DllPlanting, APlantedCommonControlsLibraryIsNeverLoaded) {
    ScratchInstall install("kelvarin_planted");
    std::string decoys = e2e::ProductExe();
    decoys = decoys.substr(0, decoys.rfind('\\')) + "\\tests\\decoys\\";
    ASSERT_TRUE(CopyFileA((decoys + "comctl32.dll").c_str(),
                          (install.Folder() + "\\comctl32.dll").c_str(), FALSE));
    char saved[1024] = "";
    DWORD had = GetEnvironmentVariableA("WINEDLLOVERRIDES", saved, sizeof saved);
    std::string overrides = std::string(saved) + (had ? ";" : "") + "comctl32=n,b";
    SetEnvironmentVariableA("WINEDLLOVERRIDES", overrides.c_str());
    Program program;
    bool started = program.Start(install.Exe());
    SetEnvironmentVariableA("WINEDLLOVERRIDES", had ? saved : NULL);
    ASSERT_TRUE(started);
    HWND window = program.WaitMainWindow();
    ASSERT_NE(window, (HWND)NULL);
    // The dialogs load the common controls when they first open.
    PostMessageA(window, WM_COMMAND, 40002, 0);
    HWND about = NULL;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] { return (about = e2e::FindProcessWindow(program.Pid(), "#32770")) != NULL; }));
    std::string controls;
    for (const std::string& path : ModulePaths(program.Pid())) {
        if (Lower(path).find("comctl32") != std::string::npos)
            controls = Lower(path);
    }
    EXPECT_NE(controls.find("\\winsxs\\"), std::string::npos) << controls;
    EXPECT_FALSE(e2e::FileExists(install.Folder() + "\\decoy-dll-loaded.txt"));
    PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
    program.Exit();
    EXPECT_EQ(program.WaitExit(), 0);
}

}  // namespace
