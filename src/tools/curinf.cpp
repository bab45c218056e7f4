// The cursor coordinate window (see curinf.h), repainted at the system's shortest timer
// interval.
#include "tools/curinf.h"


#include "base/app_class.h"
#include "base/settings.h"
#include "base/text.h"
#include "base/winutil.h"

const char kCurInfClass[] = "CursorInfoWindow";
const char kCurInfSection[] = "カーソル座標窓";

namespace {

const char kKeyX[] = "x 位置";
const char kKeyY[] = "y 位置";
// Room for two four-digit coordinates.
const char kSizingText[] = "[8888, 8888]";
const UINT_PTR kRefreshTimer = 10;
const UINT kCenteredText = DT_CENTER | DT_VCENTER;

LRESULT OnCreate(HWND window) {
    POINT cursor;
    GetCursorPos(&cursor);
    int x = cursor.x, y = cursor.y;
    char ini[MODULE_PATH_SIZE];
    if (GetModulePath(ini, sizeof ini, ".ini")) {
        x = ReadIniInt(ini, kCurInfSection, kKeyX, x);
        y = ReadIniInt(ini, kCurInfSection, kKeyY, y);
    }
    MoveWindowTo(window, x, y);
    // Measured in the window's own DC with its default font, the one Paint draws with.
    RECT text = {0, 0, 0, 0};
    HDC dc = GetDC(window);
    if (dc != NULL) {
        DrawTextA(dc, kSizingText, -1, &text, DT_CALCRECT);
        ReleaseDC(window, dc);
    }
    ResizeWindow(window, RectWidth(text), RectHeight(text));
    // Interval 0: the system raises it to its shortest.
    SetTimer(window, kRefreshTimer, 0, NULL);
    return 0;
}

LRESULT OnDestroy(HWND window) {
    char ini[MODULE_PATH_SIZE];
    if (!GetModulePath(ini, sizeof ini, ".ini"))
        return 0;
    RECT rect;
    GetNormalWindowRect(window, &rect);
    WriteIniInt(ini, kCurInfSection, kKeyX, rect.left);
    WriteIniInt(ini, kCurInfSection, kKeyY, rect.top);
    return 0;
}

LRESULT OnPaint(HWND window) {
    POINT cursor;
    GetCursorPos(&cursor);
    char text[1024];
    FormatText(text, sizeof text, "%d, %d", (int)cursor.x, (int)cursor.y);
    RECT client;
    GetClientRect(window, &client);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc != NULL) {
        int saved = SaveDC(dc);
        FillRect(dc, &client, (HBRUSH)GetStockObject(WHITE_BRUSH));
        DrawTextA(dc, text, -1, &client, kCenteredText);
        RestoreDC(dc, saved);
    }
    EndPaint(window, &paint);
    return 0;
}

// The whole window is client area: answering "caption" there lets it be dragged anywhere.
LRESULT OnNcHitTest(HWND window, WPARAM wParam, LPARAM lParam) {
    LRESULT hit = DefWindowProcA(window, WM_NCHITTEST, wParam, lParam);
    return hit == HTCLIENT ? HTCAPTION : hit;
}

LRESULT OnTimer(HWND window) {
    InvalidateRect(window, NULL, FALSE);
    return 0;
}

}  // namespace

HWND CreateCurInfWindow(HINSTANCE instance, HWND owner) {
    RegisterAppClass(instance, kCurInfClass, CurInfWindowProc, CS_BYTEALIGNCLIENT, NULL,
                     WHITE_BRUSH);
    return CreateWindowExA(WS_EX_TOPMOST, kCurInfClass, "", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, NULL, instance,
                           NULL);
}

LRESULT CALLBACK CurInfWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(window);
        case WM_DESTROY:
            return OnDestroy(window);
        case WM_PAINT:
            return OnPaint(window);
        case WM_NCHITTEST:
            return OnNcHitTest(window, wParam, lParam);
        case WM_TIMER:
            return OnTimer(window);
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
