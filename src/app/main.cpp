// Entry point: one instance at a time, the settings, the hidden main window and the
// message loop.
#include <windows.h>

#include "app/main_window.h"
#include "base/app_class.h"
#include "base/app_info.h"
#include "base/settings.h"

namespace {

const char kInstanceMutexName[] = "divovoroveza";

// The mutex is created owned and held until exit; its existence is the whole test.
HANDLE AcquireSingleInstance(const char* name) {
    HANDLE mutex = CreateMutexA(NULL, TRUE, name);
    if (mutex != NULL && GetLastError() != ERROR_ALREADY_EXISTS)
        return mutex;
    if (mutex != NULL)
        CloseHandle(mutex);
    return NULL;
}

int RunApplication(HINSTANCE instance) {
    AppInfo info;
    LoadSettings(&info);
    RegisterAppClass(instance, kMainWindowClass, MainWindowProc, 0, NULL, WHITE_BRUSH);
    HWND window = CreateWindowExA(0, kMainWindowClass, kMainWindowClass, WS_POPUP | WS_MINIMIZE,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, NULL,
                                  NULL, instance, &info);
    if (window == NULL)
        return 1;
    // GetMessageA gives -1 on a failure: that ends the loop as WM_QUIT does, not spins.
    MSG message;
    ZeroMemory(&message, sizeof message);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    SaveSettings(&info);
    return (int)message.wParam;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HANDLE mutex = AcquireSingleInstance(kInstanceMutexName);
    if (mutex == NULL)
        return 1;
    int exitCode = RunApplication(instance);
    CloseHandle(mutex);
    return exitCode;
}
