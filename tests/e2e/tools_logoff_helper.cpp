// Log-off with both tool windows open, in two halves around `wineboot -e` (logoff.sh):
//   tools_logoff_helper start NAME   a copy in %TEMP%\NAME, left running with both tools open
//   tools_logoff_helper verify NAME  both recorded as open, and the next start opens both
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "harness.h"

namespace {

const char* const kTools[] = {"loupe", "CursorInfoWindow"};

int Fail(const char* what) {
    printf("FAILED: %s\n", what);
    return 1;
}

// The program started from folder, with both tools open; 0 when it could not be.
DWORD StartWithTools(const std::string& folder) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    std::string exe = folder + "\\Kelvarin.exe", command = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(),
                        &startup, &info)) {
        return 0;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return info.dwProcessId;
}

bool ToolsOpen(DWORD pid) {
    return e2e::WaitUntil([&] {
        return e2e::FindProcessWindow(pid, kTools[0], true) &&
               e2e::FindProcessWindow(pid, kTools[1], true);
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return Fail("usage: tools_logoff_helper start|verify NAME");
    std::string folder = e2e::TempFolder() + "\\" + argv[2], ini = folder + "\\kelvarin.ini";
    if (strcmp(argv[1], "start") == 0) {
        CreateDirectoryA(folder.c_str(), NULL);
        DeleteFileA(ini.c_str());
        if (!CopyFileA(e2e::ProductExe().c_str(), (folder + "\\Kelvarin.exe").c_str(), FALSE))
            return Fail("copy the program");
        DWORD pid = StartWithTools(folder);
        HWND main = NULL;
        if (!e2e::WaitUntil([&] { return (main = e2e::FindMainWindow(pid)) != NULL; }))
            return Fail("no main window");
        PostMessageA(main, WM_COMMAND, 40051, 0);
        PostMessageA(main, WM_COMMAND, 40052, 0);
        return ToolsOpen(pid) ? 0 : Fail("the tools did not open");
    }
    if (strcmp(argv[1], "verify") != 0)
        return Fail("usage: tools_logoff_helper start|verify NAME");
    int failures = 0;
    if (e2e::ReadIniValue(ini, "虫眼鏡を表示") != "1" ||
        e2e::ReadIniValue(ini, "カーソル座標窓を表示") != "1") {
        failures += Fail("the open tools were not recorded at log-off");
    }
    DWORD pid = StartWithTools(folder);
    if (!ToolsOpen(pid))
        failures += Fail("the next start did not open both tools");
    HWND main = e2e::FindMainWindow(pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(main, WM_COMMAND, 40001, 0);
    if (process == NULL || WaitForSingleObject(process, 15000) != WAIT_OBJECT_0)
        failures += Fail("the program did not exit");
    if (process != NULL)
        CloseHandle(process);
    DeleteFileA(ini.c_str());
    DeleteFileA((folder + "\\Kelvarin.exe").c_str());
    RemoveDirectoryA(folder.c_str());
    printf("%d passed, %d failed\n", failures == 0 ? 1 : 0, failures == 0 ? 0 : 1);
    return failures == 0 ? 0 : 1;
}
