// The dialogs at 144 DPI (LogPixels 144, as on a display scaled to 150 %): every control
// lies inside its dialog and every text fits its control. Wine reads the setting when a
// process starts, so a copy of this program is started while the value is set, and lays
// out Kelvarin's own dialog templates with the texts the program puts into them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "harness.h"

namespace {

const char kChildFlag[] = "--check-layout";

struct Check {
    HWND dialog;
    int failures;
};

// Texts that the program sets at run time, in place of the template's.
void FillRuntimeTexts(HWND dialog, int templateId) {
    if (templateId == 125) {
        SetDlgItemTextA(dialog, 1009, "Kelvarin ver. 0.1D");
        SetDlgItemTextA(dialog, 1007, "システムリソース 100% 空き");
    }
    if (templateId == 124)
        SetDlgItemTextA(dialog, 1035, "C:\\Documents and Settings\\ユーザー\\デスクトップ\\画像");
}

BOOL CALLBACK CheckChild(HWND child, LPARAM lParam) {
    Check* check = (Check*)lParam;
    RECT client, rect;
    GetClientRect(check->dialog, &client);
    GetWindowRect(child, &rect);
    MapWindowPoints(NULL, check->dialog, (POINT*)&rect, 2);
    char text[300] = "", className[64] = "";
    GetWindowTextA(child, text, sizeof text);
    GetClassNameA(child, className, sizeof className);
    if (rect.left < client.left || rect.top < client.top || rect.right > client.right ||
        rect.bottom > client.bottom) {
        printf("outside the dialog: %s \"%s\"\n", className, text);
        ++check->failures;
    }
    LONG style = GetWindowLongA(child, GWL_STYLE);
    bool label = lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
    bool button = lstrcmpiA(className, "Button") == 0 && (style & 0x0F) != BS_GROUPBOX;
    if ((label || button) && text[0] != '\0') {
        HDC dc = GetDC(child);
        HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(child, WM_GETFONT, 0, 0));
        // On one line, or (a label) wrapped within its height.
        RECT need = {0, 0, 0, 0};
        DrawTextA(dc, text, -1, &need, DT_CALCRECT | DT_SINGLELINE);
        if (label && need.right > rect.right - rect.left) {
            need.right = rect.right - rect.left;
            DrawTextA(dc, text, -1, &need, DT_CALCRECT | DT_WORDBREAK);
        }
        if (button)
            need.right += 4;  // the button's own frame
        SelectObject(dc, old);
        ReleaseDC(child, dc);
        if (need.right > rect.right - rect.left || need.bottom > rect.bottom - rect.top) {
            printf("text does not fit: %s \"%s\" needs %ldx%ld, has %ldx%ld\n", className, text,
                   need.right, need.bottom, rect.right - rect.left, rect.bottom - rect.top);
            ++check->failures;
        }
    }
    return TRUE;
}

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

int CheckLayout() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_HOTKEY_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    printf("LOGPIXELSY %d\n", dpi);
    if (dpi != 144)
        return 3;
    HMODULE exe = LoadLibraryExA(e2e::ProductExe().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    int failures = 0;
    for (int id : {124, 125}) {
        HWND dialog = CreateDialogParamA(exe, MAKEINTRESOURCEA(id), NULL, Quiet, 0);
        if (dialog == NULL) {
            printf("dialog %d not created\n", id);
            ++failures;
            continue;
        }
        FillRuntimeTexts(dialog, id);
        Check check = {dialog, 0};
        EnumChildWindows(dialog, CheckChild, (LPARAM)&check);
        failures += check.failures;
        DestroyWindow(dialog);
    }
    FreeLibrary(exe);
    return failures == 0 ? 0 : 1;
}

DWORD SetLogPixels(DWORD value) {
    HKEY key;
    DWORD old = 0, size = sizeof old;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, NULL, 0, KEY_ALL_ACCESS,
                        NULL, &key, NULL) != 0)
        return 0;
    if (RegQueryValueExA(key, "LogPixels", NULL, NULL, (BYTE*)&old, &size) != 0)
        old = 0;
    if (value != 0)
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    else
        RegDeleteValueA(key, "LogPixels");
    RegCloseKey(key);
    return old;
}

TEST(Dpi144, BothDialogsFitTheirContentsAndTheTrayIconIsOfTheSmallIconSize) {
    e2e::FakeTaskbar taskbar;
    e2e::ScratchInstall install("kelvarin_dpi");
    e2e::Program program;
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    std::string command = std::string("\"") + self + "\" " + kChildFlag;
    DWORD old = SetLogPixels(144);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    BOOL started =
        CreateProcessA(self, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    if (started)
        WaitForInputIdle(process.hProcess, 5000);
    HWND window = program.Start(install.Exe()) ? program.WaitMainWindow() : NULL;
    Sleep(500);  // past the child's start-up, where the setting is read
    SetLogPixels(old);
    // 24 pixels, not a 16-pixel image that the shell scales.
    ASSERT_TRUE(window != NULL && taskbar.WaitForRecord(window, 0 /* NIM_ADD */));
    EXPECT_EQ(taskbar.RecordsFor(window, 0)[0].iconWidth, 24u);
    ASSERT_TRUE(started);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_NE(code, 3u) << "the child did not run at 144 DPI";
    EXPECT_EQ(code, 0u) << "see the lines above for what does not fit";
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], kChildFlag) == 0) {
            setvbuf(stdout, NULL, _IONBF, 0);
            return CheckLayout();
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
