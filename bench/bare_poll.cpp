// The cursor coordinate window's baseline: a small always-on-top window whose 10 ms timer
// only asks where the pointer is, and draws nothing. Under Wine each GetCursorPos is a
// round trip to the server, so this is the least a window that follows the pointer costs.
// Ends on WM_CLOSE (post_exit.exe KelvarinBenchBarePoll).
#include <windows.h>

namespace {

const char kClassName[] = "KelvarinBenchBarePoll";
const UINT_PTR kPollTimer = 1;
const UINT kPollInterval = 10;  // the shortest interval the system keeps

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER: {
            POINT cursor;
            GetCursorPos(&cursor);
            return 0;
        }
        case WM_DESTROY:
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
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc))
        return 1;
    // The coordinate window's size and place in the bench, so that the desktop under it
    // costs the same.
    HWND window = CreateWindowExA(WS_EX_TOPMOST, kClassName, "", WS_POPUP | WS_VISIBLE, 100, 100,
                                  80, 16, NULL, NULL, instance, NULL);
    if (window == NULL)
        return 1;
    SetTimer(window, kPollTimer, kPollInterval, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
