// The start-up baseline: about the least a Win32 program can do to put one icon in the
// notification area. One hidden window, one NIM_ADD, a message loop; the icon goes away
// when the window is closed.
#include <windows.h>
#include <shellapi.h>

#include <stddef.h>

namespace {

const char kClassName[] = "KelvarinBenchMinimalTray";
const UINT kTrayMessage = WM_APP + 1;
const UINT kIconId = 1;

// The Windows 95 layout of NOTIFYICONDATAA, as the program under comparison sends it.
const DWORD kTrayDataSize = offsetof(NOTIFYICONDATAA, szTip) + 64;

void FillIconData(NOTIFYICONDATAA* data, HWND window) {
    ZeroMemory(data, kTrayDataSize);
    data->cbSize = kTrayDataSize;
    data->hWnd = window;
    data->uID = kIconId;
}

void AddIcon(HWND window) {
    NOTIFYICONDATAA data;
    FillIconData(&data, window);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = LoadIcon(NULL, IDI_APPLICATION);
    lstrcpynA(data.szTip, "minimal tray", sizeof data.szTip);
    Shell_NotifyIconA(NIM_ADD, &data);
}

void RemoveIcon(HWND window) {
    NOTIFYICONDATAA data;
    FillIconData(&data, window);
    Shell_NotifyIconA(NIM_DELETE, &data);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            RemoveIcon(window);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc))
        return 1;
    HWND window = CreateWindowExA(0, kClassName, "minimal tray", WS_OVERLAPPED, 0, 0, 0, 0, NULL,
                                  NULL, instance, NULL);
    if (window == NULL)
        return 1;
    AddIcon(window);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
