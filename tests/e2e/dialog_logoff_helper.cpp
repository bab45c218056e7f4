// Log-off while the settings dialog is open with unconfirmed changes, in two halves around
// `wineboot -e` (logoff.sh):
//   dialog_logoff_helper start NAME   a copy in %TEMP%\NAME with known settings, left
//                                     running with the dialog open and its folder edited
//   dialog_logoff_helper verify NAME  the settings file holds the settings as they were
//                                     (saved at log-off, the dialog's edits not), and the
//                                     next start runs with them
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "harness.h"

namespace {

const char kFolderKey[] = "画像ファイルの保存先フォルダ";
const char kCaptureKey[] = "ｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ";

int Fail(const char* what) {
    printf("FAILED: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (strcmp(argv[1], "start") != 0 && strcmp(argv[1], "verify") != 0))
        return Fail("usage: dialog_logoff_helper start|verify NAME");
    std::string folder = e2e::TempFolder() + "\\" + argv[2];
    std::string exe = folder + "\\Kelvarin.exe", ini = folder + "\\kelvarin.ini";
    const std::string saved = "C:\\保存先";
    if (strcmp(argv[1], "start") == 0) {
        CreateDirectoryA(folder.c_str(), NULL);
        DeleteFileA(ini.c_str());
        WritePrivateProfileStringA("Kelvarin", kFolderKey, saved.c_str(), ini.c_str());
        WritePrivateProfileStringA("Kelvarin", kCaptureKey, "884", ini.c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());
        // Left running on purpose: the log-off is what ends it.
        e2e::Program* program = new e2e::Program;
        HWND main = NULL;
        if (!CopyFileA(e2e::ProductExe().c_str(), exe.c_str(), FALSE) || !program->Start(exe) ||
            (main = program->WaitMainWindow()) == NULL) {
            return Fail("start the program");
        }
        PostMessageA(main, WM_COMMAND, 40048, 0);
        HWND dialog = NULL;
        if (!e2e::WaitUntil([&] {
                return (dialog = e2e::FindProcessWindow(program->Pid(), "#32770")) != NULL;
            })) {
            return Fail("the settings dialog did not open");
        }
        SetDlgItemTextA(dialog, 1035, "C:\\unconfirmed");
        return 0;
    }
    int failures = 0;
    if (e2e::ReadIniValue(ini, kFolderKey) != saved || e2e::ReadIniValue(ini, kCaptureKey) != "884")
        failures += Fail("the settings were lost or the unconfirmed edit was saved at log-off");
    if (e2e::ReadIniValue(ini, "虫眼鏡を表示") != "0")
        failures += Fail("the log-off did not save the settings");
    {
        e2e::Program program;
        if (!program.Start(exe) || program.WaitMainWindow() == NULL)
            failures += Fail("the next start did not run");
        // Ctrl+Alt+F5 (884 = 3 x 256 + 0x74) is held again by the new process.
        if (RegisterHotKey(NULL, 0x7002, MOD_CONTROL | MOD_ALT, 0x74)) {
            UnregisterHotKey(NULL, 0x7002);
            failures += Fail("the next start does not hold the saved hotkey");
        }
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
