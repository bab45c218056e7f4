// A hook DLL that the end-to-end tests load into Kelvarin's thread: another process cannot
// read a popup menu's items, so this one writes them, and the private messages the
// program posts itself and its WM_NULLs, to a log file that the test then reads.
//   post <message> <wParam> <lParam>
//   popup <item count>
//   item <position> <id> <state> <text>
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

void AppendLine(const char* line) {
    char path[MAX_PATH];
    DWORD length = GetTempPathA(sizeof path, path);
    if (length == 0 || length + 24 >= sizeof path)
        return;
    strcpy(path + length, "kelvarin_spy.log");
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
    CloseHandle(file);
}

void DumpMenu(HMENU menu) {
    char line[400];
    int count = GetMenuItemCount(menu);
    snprintf(line, sizeof line, "popup %d\n", count);
    AppendLine(line);
    for (int i = 0; i < count; ++i) {
        char text[256] = {0};
        GetMenuStringA(menu, (UINT)i, text, sizeof text, MF_BYPOSITION);
        UINT state = GetMenuState(menu, (UINT)i, MF_BYPOSITION);
        int id = (int)GetMenuItemID(menu, i);
        snprintf(line, sizeof line, "item %d %d %x %s\n", i, id, state, text);
        AppendLine(line);
    }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    SpyCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* call = (const CWPSTRUCT*)lParam;
        if (call->message == WM_INITMENUPOPUP)
            DumpMenu((HMENU)call->wParam);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK
    SpyGetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const MSG* message = (const MSG*)lParam;
        if ((message->message >= 0x8001 && message->message <= 0x8003) || message->message == 0) {
            char line[100];
            snprintf(line, sizeof line, "post %x %lx %lx\n", message->message,
                     (unsigned long)message->wParam, (unsigned long)message->lParam);
            AppendLine(line);
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// Set desktop-wide by a test: the creation of the program's main window is refused, as
// when the system is out of resources.
extern "C" __declspec(dllexport) LRESULT CALLBACK
    SpyRefuseMainWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CBT_CREATEWNDA* create = (const CBT_CREATEWNDA*)lParam;
        LPCSTR name = create->lpcs->lpszClass;
        if (HIWORD((ULONG_PTR)name) != 0 && strcmp(name, "ZadeduDodavizUdur") == 0)
            return 1;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
