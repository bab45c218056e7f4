// The two halves of the log-off test, around `wineboot -e`, which ends every process of
// the session (a harness that stayed would end too):
//   logoff_helper start NAME   copy Kelvarin.exe into %TEMP%\NAME and leave it running
//   logoff_helper verify NAME  check that it is gone and that its settings were saved
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "harness.h"

namespace {

const char* const kKeys[] = {"虫眼鏡を表示", "カーソル座標窓を表示", "画像ファイルの保存先フォルダ",
                             "ｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ", "壁紙に設定",           "壁紙をはがす"};

int Fail(const char* what) {
    printf("FAILED: %s\n", what);
    return 1;
}

int Start(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), NULL);
    std::string exe = folder + "\\Kelvarin.exe";
    std::string ini = folder + "\\kelvarin.ini";
    DeleteFileA(ini.c_str());
    if (!CopyFileA(e2e::ProductExe().c_str(), exe.c_str(), FALSE))
        return Fail("copy the program");
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    std::string command = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(),
                        &startup, &info)) {
        return Fail("start the program");
    }
    DWORD pid = info.dwProcessId;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    if (!e2e::WaitUntil([&] { return e2e::FindMainWindow(pid) != NULL; })) {
        return Fail("main window never appeared");
    }
    if (e2e::FileExists(ini))
        return Fail("settings file written at start");
    printf("started pid %lu\n", (unsigned long)pid);
    return 0;
}

int Verify(const std::string& folder) {
    std::string ini = folder + "\\kelvarin.ini";
    int failures = 0;
    if (e2e::FindMainWindow(0) != NULL)
        failures += Fail("a main window is left");
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "divovoroveza");
    if (mutex != NULL) {
        CloseHandle(mutex);
        failures += Fail("the program still runs");
    }
    if (!e2e::FileExists(ini)) {
        failures += Fail("no settings file after log-off");
    } else {
        for (const char* key : kKeys) {
            if (e2e::ReadIniValue(ini, key) == "<missing>")
                failures += Fail("a key is missing");
        }
        if (e2e::ReadIniValue(ini, kKeys[2]) != folder)
            failures += Fail("folder default");
    }
    DeleteFileA(ini.c_str());
    DeleteFileA((folder + "\\Kelvarin.exe").c_str());
    RemoveDirectoryA(folder.c_str());
    printf("%d passed, %d failed\n", failures == 0 ? 1 : 0, failures == 0 ? 0 : 1);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return Fail("usage: logoff_helper start|verify NAME");
    std::string folder = e2e::TempFolder() + "\\" + argv[2];
    if (strcmp(argv[1], "start") == 0)
        return Start(folder);
    if (strcmp(argv[1], "verify") == 0)
        return Verify(folder);
    return Fail("usage: logoff_helper start|verify NAME");
}
