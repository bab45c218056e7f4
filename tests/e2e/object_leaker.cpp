// A stand-in program for the object count: a hidden window of class "KelvarinObjectLeaker"
// that, sent WM_APP with wParam = n, makes n of each kind of object and keeps them
// (lParam 1) or releases them all before it answers (lParam 0).
#include <windows.h>

#include <string.h>

#include <vector>

namespace {

const char kClass[] = "KelvarinObjectLeaker";
const int kBitmapSide = 64;  // 32 bpp: 16 KB of pixels each

struct Objects {
    std::vector<HGDIOBJ> gdi;
    std::vector<HICON> icons;
    std::vector<HMENU> menus;
    std::vector<HACCEL> accelerators;
    std::vector<HWND> windows;
    std::vector<HANDLE> events;
};

Objects g_kept;

void Make(int n, Objects* objects) {
    static DWORD pixels[kBitmapSide * kBitmapSide];
    static BYTE andMask[32 * 32 / 8];
    static BYTE xorMask[32 * 32 / 8];
    memset(pixels, 0x5a, sizeof pixels);
    memset(xorMask, 0xff, sizeof xorMask);
    HINSTANCE instance = GetModuleHandleA(NULL);
    for (int i = 0; i < n; ++i) {
        objects->gdi.push_back(CreateSolidBrush(RGB(i, 0, 0)));
        objects->gdi.push_back(CreateBitmap(kBitmapSide, kBitmapSide, 1, 32, pixels));
        objects->icons.push_back(CreateIcon(instance, 32, 32, 1, 1, andMask, xorMask));
        objects->menus.push_back(CreateMenu());
        ACCEL accel = {FVIRTKEY, 'A', static_cast<WORD>(i + 1)};
        objects->accelerators.push_back(CreateAcceleratorTableA(&accel, 1));
        objects->events.push_back(CreateEventA(NULL, TRUE, FALSE, NULL));
        objects->windows.push_back(
            CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, instance, NULL));
        objects->windows.push_back(CreateWindowExA(0, kClass, "", WS_CHILD, 0, 0, 1, 1,
                                                   HWND_MESSAGE, NULL, instance, NULL));
    }
}

void Release(Objects* objects) {
    for (HGDIOBJ object : objects->gdi)
        DeleteObject(object);
    for (HICON icon : objects->icons)
        DestroyIcon(icon);
    for (HMENU menu : objects->menus)
        DestroyMenu(menu);
    for (HACCEL accelerators : objects->accelerators)
        DestroyAcceleratorTable(accelerators);
    for (HWND window : objects->windows)
        DestroyWindow(window);
    for (HANDLE event : objects->events)
        CloseHandle(event);
    *objects = Objects();
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_APP:
            if (lParam) {
                Make(static_cast<int>(wParam), &g_kept);
            } else {
                Objects objects;
                Make(static_cast<int>(wParam), &objects);
                Release(&objects);
            }
            return 0;
        case WM_DESTROY:
            if (GetWindowLongPtrA(window, GWLP_USERDATA) != 0)
                PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main() {
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc))
        return 1;
    HWND main =
        CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, wc.hInstance, NULL);
    if (main == NULL)
        return 1;
    SetWindowLongPtrA(main, GWLP_USERDATA, 1);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
