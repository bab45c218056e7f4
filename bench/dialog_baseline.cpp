// The dialogs' baseline: the program's own templates 124 and 125, each run by a procedure
// that does nothing but close it, from a hidden window of the main window's class that
// takes the same commands. What the dialogs cost beyond this is the program's own doing.
#include <windows.h>
#include <commctrl.h>

namespace {

INT_PTR CALLBACK CloseOnlyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == 40048 || LOWORD(wParam) == 40002) {
                int id = LOWORD(wParam) == 40048 ? 124 : 125;
                DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), window, CloseOnlyProc,
                                0);
            } else if (LOWORD(wParam) == 40001) {
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "ZadeduDodavizUdur";
    RegisterClassA(&wc);
    CreateWindowA(wc.lpszClassName, wc.lpszClassName, 0, 0, 0, 0, 0, NULL, NULL, instance, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
