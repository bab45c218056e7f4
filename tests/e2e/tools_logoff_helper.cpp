// Log-off with both tool windows open, in two halves around `wineboot -e` (logoff.sh):
//   tools_logoff_helper start NAME   a copy in %TEMP%\NAME, left running with both tools open
//   tools_logoff_helper verify NAME  both recorded as open, and the next start opens both
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
        return ToolsOpen(program->Pid()) ? 0 : Fail("the tools did not open");
    }
    int failures = 0;
    if (e2e::ReadIniValue(ini, "虫眼鏡を表示") != "1" ||
        e2e::ReadIniValue(ini, "カーソル座標窓を表示") != "1") {
        failures += Fail("the open tools were not recorded at log-off");
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
