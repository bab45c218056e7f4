// The cursor coordinate window (see curinf.h): it polls the pointer at the system's
// shortest timer interval and repaints when what it shows would change.
#include "tools/curinf.h"

#include "base/app_class.h"
#include "base/app_info.h"
#include "base/settings.h"
#include "base/text.h"
#include "base/winutil.h"
#include "tools/curinf_text.h"

const char kCurInfClass[] = "CursorInfoWindow";
const char kCurInfSection[] = "カーソル座標窓";

namespace {

const char kKeyX[] = "x 位置";
const char kKeyY[] = "y 位置";
const UINT_PTR kRefreshTimer = 10;
const UINT kCenteredText = DT_CENTER | DT_VCENTER;

// The pointer position of the last paint (one window per process). The text is "x, y" of
// it, so the text changes exactly when the position does.
POINT Shown;
// The text's font on a monitor of another scale than the system's (per-monitor DPI);
// null: the DC's default font, as on one scale.
HFONT Font;

void SelectTextFont(HDC dc) {
    if (Font != NULL)
        SelectObject(dc, Font);
}

void DeleteTextFont() {
    if (Font != NULL)
        DeleteObject(Font);
    Font = NULL;
}

// The system font scaled from the system's DPI to dpi; none at the system's own DPI.
void CreateTextFont(int dpi) {
    DeleteTextFont();
    HDC screen = GetDC(NULL);
    if (screen == NULL)
        return;
    int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    LOGFONTA logFont;
    if (dpi <= 0 || dpi == systemDpi ||
        !GetObjectA(GetStockObject(SYSTEM_FONT), sizeof logFont, &logFont))
        return;
    logFont.lfHeight = MulDiv(logFont.lfHeight, dpi, systemDpi);
    logFont.lfWidth = MulDiv(logFont.lfWidth, dpi, systemDpi);
    Font = CreateFontIndirectA(&logFont);
}

// Room for any coordinate of the virtual screen, measured in the window's own DC with the
// font Paint draws with. The window has no border: this is also its client size.
void FitToText(HWND window) {
    RECT screen = GetVirtualScreen();
    char sizing[64];
    FormatCoordinateSizingText(sizing, sizeof sizing, screen.left, screen.top, screen.right,
                               screen.bottom);
    RECT text = {0, 0, 0, 0};
    HDC dc = GetDC(window);
    if (dc != NULL) {
        SelectTextFont(dc);
        DrawTextA(dc, sizing, -1, &text, DT_CALCRECT);
        ReleaseDC(window, dc);
    }
    ResizeWindow(window, RectWidth(text), RectHeight(text));
}

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
    FitToText(window);
    // Without a caption, a window off the screen could not be reached at all.
    KeepWindowOnScreen(window);
    // Interval 0: the system raises it to its shortest.
    SetTimer(window, kRefreshTimer, 0, NULL);
    return 0;
}

// Screen coordinates, as WM_CREATE reads them back: the placement's normal position is in
// work-area coordinates, which would drift by a top or left taskbar at every reopening.
void SaveSection(HWND window) {
    char ini[MODULE_PATH_SIZE];
    RECT rect;
    if (!GetModulePath(ini, sizeof ini, ".ini") || !GetWindowRect(window, &rect))
        return;
    WriteIniInt(ini, kCurInfSection, kKeyX, rect.left);
    WriteIniInt(ini, kCurInfSection, kKeyY, rect.top);
    FlushIniFile(ini);
}

LRESULT OnDestroy(HWND window) {
    DeleteTextFont();
    ClearOwnerProperty(window, PROP_CURINFWINDOW);
    SaveSection(window);
    return 0;
}

// At log-off the process ends without its windows being destroyed.
LRESULT OnEndSession(HWND window, WPARAM ending) {
    if (ending)
        SaveSection(window);
    return 0;
}

LRESULT OnPaint(HWND window) {
    GetCursorPos(&Shown);
    char text[1024];
    FormatText(text, sizeof text, "%d, %d", (int)Shown.x, (int)Shown.y);
    RECT client;
    GetClientRect(window, &client);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc != NULL) {
        int saved = SaveDC(dc);
        FillRect(dc, &client, (HBRUSH)GetStockObject(WHITE_BRUSH));
        SelectTextFont(dc);
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

// A repaint at every tick would cost several times the poll itself while the pointer rests.
LRESULT OnTimer(HWND window) {
    POINT cursor;
    if (GetCursorPos(&cursor) && (cursor.x != Shown.x || cursor.y != Shown.y))
        InvalidateRect(window, NULL, FALSE);
    return 0;
}

// Moved to a monitor of another scale: the place the system suggests, the text's font at
// the monitor's DPI (the high word; the low one is the same) and a size that fits it.
LRESULT OnDpiChanged(HWND window, WPARAM dpi, LPARAM suggested) {
    const RECT* rect = (const RECT*)suggested;
    CreateTextFont(HIWORD(dpi));
    MoveWindowTo(window, rect->left, rect->top);
    FitToText(window);
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
        case WM_ENDSESSION:
            return OnEndSession(window, wParam);
        case WM_PAINT:
            return OnPaint(window);
        case WM_NCHITTEST:
            return OnNcHitTest(window, wParam, lParam);
        case WM_TIMER:
            return OnTimer(window);
        case kWmDpiChanged:
            return OnDpiChanged(window, wParam, lParam);
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
