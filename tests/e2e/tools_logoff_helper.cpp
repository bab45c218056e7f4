// Log-off with both tool windows open, in two halves around `wineboot -e` (logoff.sh):
//   tools_logoff_helper start NAME   a copy in %TEMP%\NAME, left running with both tools open
//   tools_logoff_helper verify NAME  both recorded as open and their sections saved, and the
//                                    next start opens both
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "harness.h"

namespace {

int Fail(const char* what) {
    printf("FAILED: %s\n", what);
    return 1;
}

// Set after the tools opened, so only their log-off handling can have written them: the
// magnifier's x, y, width, height and zoom, then the coordinate window's x and y.
const char* const kKeys[] = {"x 位置", "y 位置", "幅", "高さ", "倍率"};
const char* const kSaved[] = {"150", "160", "200", "180", "5", "300", "310"};

bool ToolsOpen(DWORD pid) {
    return e2e::WaitUntil([&] {
        return e2e::FindProcessWindow(pid, "loupe", true) &&
               e2e::FindProcessWindow(pid, "CursorInfoWindow", true);
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (strcmp(argv[1], "start") != 0 && strcmp(argv[1], "verify") != 0))
        return Fail("usage: tools_logoff_helper start|verify NAME");
    std::string folder = e2e::TempFolder() + "\\" + argv[2];
    std::string exe = folder + "\\Kelvarin.exe", ini = folder + "\\kelvarin.ini";
    if (strcmp(argv[1], "start") == 0) {
        CreateDirectoryA(folder.c_str(), NULL);
        DeleteFileA(ini.c_str());
        // Left running on purpose: the log-off is what ends it.
        e2e::Program* program = new e2e::Program;
        HWND main = NULL;
        if (!CopyFileA(e2e::ProductExe().c_str(), exe.c_str(), FALSE) || !program->Start(exe) ||
            (main = program->WaitMainWindow()) == NULL) {
            return Fail("start the program");
        }
        PostMessageA(main, WM_COMMAND, 40051, 0);
        PostMessageA(main, WM_COMMAND, 40052, 0);
        if (!ToolsOpen(program->Pid()))
            return Fail("the tools did not open");
        HWND loupe = e2e::FindProcessWindow(program->Pid(), "loupe");
        SetWindowPos(loupe, NULL, 150, 160, 200, 180, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(loupe, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5), 0);
        SetWindowPos(e2e::FindProcessWindow(program->Pid(), "CursorInfoWindow"), NULL, 300, 310, 0,
                     0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
        return 0;
    }
    int failures = 0;
    if (e2e::ReadIniValue(ini, "虫眼鏡を表示") != "1" ||
        e2e::ReadIniValue(ini, "カーソル座標窓を表示") != "1") {
        failures += Fail("the open tools were not recorded at log-off");
    }
    for (int i = 0; i < 7; ++i) {
        if (e2e::ReadIniValue(ini, kKeys[i % 5], i < 5 ? "虫眼鏡" : "カーソル座標窓") != kSaved[i])
            failures += Fail(kKeys[i % 5]);
    }
    {
        e2e::Program program;
        if (!program.Start(exe) || !ToolsOpen(program.Pid()))
            failures += Fail("the next start did not open both tools");
        program.Exit();
        if (program.WaitExit() != 0)
            failures += Fail("the program did not exit");
    }
    DeleteFileA(ini.c_str());
    DeleteFileA(exe.c_str());
    RemoveDirectoryA(folder.c_str());
    printf("%d passed, %d failed\n", failures == 0 ? 1 : 0, failures == 0 ? 0 : 1);
    return failures == 0 ? 0 : 1;
}
