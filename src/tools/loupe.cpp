// The magnifier window (see loupe.h): a fresh copy of the screen at every paint, no timer.
#include "tools/loupe.h"

#include "base/app_class.h"
#include "base/app_info.h"
#include "base/settings.h"
#include "base/winutil.h"
#include "tools/loupe_geometry.h"

const char kLoupeClass[] = "loupe";
const char kLoupeSection[] = "虫眼鏡";

namespace {

const char kKeyX[] = "x 位置";
const char kKeyY[] = "y 位置";
const char kKeyWidth[] = "幅";
const char kKeyHeight[] = "高さ";
const char kKeyZoom[] = "倍率";
const int kDefaultSize = 128;
const UINT_PTR kAfterDragTimer = 1;
const UINT kAfterDragDelay = 100;  // ms
const UINT kDefaultWheelLines = 3;

// One magnifier per process: its state lives here, not in the window.
int Zoom = LOUPE_DEFAULT_ZOOM;
POINT Focus;      // the requested centre of the view, screen coordinates
int SourceWidth;  // the screen rectangle copied at the last paint; the frame uses it too
int SourceHeight;
HPALETTE Palette;

// The drag frame: two one-pixel rings of four bars each, a dark one outside a light one so
// that it shows on any background. Each bar is a top-most static control of its own, owned
// by the magnifier, made at the first drag and kept until the magnifier goes; a static
// control lets every click through to the window underneath. Drawing on the screen DC
// instead would land in the magnifier's own picture whenever it repaints under the frame.
HWND FrameBars[LOUPE_FRAME_WIDTH][4];

// All monitors, read afresh at each use: the spot can be on any of them.
LoupeRect VirtualScreen() {
    RECT screen = GetVirtualScreen();
    return LoupeRect{screen.left, screen.top, screen.right, screen.bottom};
}

LoupeRect CurrentSource() {
    return LoupeSourceRect(Focus.x, Focus.y, SourceWidth, SourceHeight, VirtualScreen());
}

// Entry i stands for system-palette slot i (PC_EXPLICIT), so that in 256-colour modes the
// indices copied from the screen keep the screen's colours.
HPALETTE CreateIdentityPalette() {
    LOGPALETTE* log =
        (LOGPALETTE*)AllocateBlock(offsetof(LOGPALETTE, palPalEntry) + 256 * sizeof(PALETTEENTRY));
    if (log == NULL)
        return NULL;
    log->palVersion = 0x300;
    log->palNumEntries = 256;
    for (int i = 0; i < 256; ++i) {
        log->palPalEntry[i].peRed = (BYTE)i;
        log->palPalEntry[i].peGreen = 0;
        log->palPalEntry[i].peBlue = 0;
        log->palPalEntry[i].peFlags = PC_EXPLICIT;
    }
    HPALETTE palette = CreatePalette(log);
    ReleaseBlock(log);
    return palette;
}

void DeletePalette() {
    if (Palette != NULL)
        DeleteObject(Palette);
    Palette = NULL;
}

void CreateFrameBars(HWND window) {
    if (FrameBars[0][0] != NULL)
        return;
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);
    for (int ring = 0; ring < LOUPE_FRAME_WIDTH; ++ring) {
        for (HWND& bar : FrameBars[ring]) {
            bar =
                CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "STATIC", "",
                                WS_POPUP | WS_DISABLED | (ring == 0 ? SS_WHITERECT : SS_BLACKRECT),
                                0, 0, 1, 1, window, NULL, instance, NULL);
        }
    }
}

void DestroyFrameBars() {
    for (HWND* ring : FrameBars) {
        for (int i = 0; i < 4; ++i) {
            if (ring[i] != NULL)
                DestroyWindow(ring[i]);
            ring[i] = NULL;
        }
    }
}

// Round the source rectangle of the last paint, above every other window.
void ShowFrame(HWND window) {
    CreateFrameBars(window);
    for (int ring = 0; ring < LOUPE_FRAME_WIDTH; ++ring) {
        LoupeRect bars[4];
        LoupeFrameBars(CurrentSource(), ring + 1, bars);
        for (int i = 0; i < 4; ++i) {
            SetWindowPos(FrameBars[ring][i], HWND_TOPMOST, bars[i].left, bars[i].top,
                         bars[i].right - bars[i].left, bars[i].bottom - bars[i].top,
                         SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
    }
}

void HideFrame() {
    for (HWND* ring : FrameBars) {
        for (int i = 0; i < 4; ++i) {
            if (ring[i] != NULL)
                ShowWindow(ring[i], SW_HIDE);
        }
    }
}

// The position the mouse message was made at, not where the pointer is when it is read:
// the two differ when the pointer moves on meanwhile, and a release read at a later place
// would leave the spot elsewhere than where the button went up.
void SetFocusToMessage() {
    DWORD position = GetMessagePos();
    Focus.x = (short)LOWORD(position);
    Focus.y = (short)HIWORD(position);
}

bool IsDragging(HWND window) {
    return GetCapture() == window;
}

LRESULT OnCreate(HWND window) {
    SetClassCursor(window, LoadCursorA(NULL, IDC_ARROW));
    POINT cursor;
    GetCursorPos(&cursor);
    int x = cursor.x, y = cursor.y, width = kDefaultSize, height = kDefaultSize;
    int zoom = LOUPE_DEFAULT_ZOOM;
    char ini[MODULE_PATH_SIZE];
    if (GetModulePath(ini, sizeof ini, ".ini")) {
        x = ReadIniInt(ini, kLoupeSection, kKeyX, x);
        y = ReadIniInt(ini, kLoupeSection, kKeyY, y);
        width = ReadIniInt(ini, kLoupeSection, kKeyWidth, width);
        height = ReadIniInt(ini, kLoupeSection, kKeyHeight, height);
        zoom = ReadIniInt(ini, kLoupeSection, kKeyZoom, zoom);
    }
    // A zoom of 0 would divide by zero at the first paint; the scroll bar knows 1..16 only.
    Zoom = ClampLoupeZoom(zoom);
    MoveWindowTo(window, x, y);
    ResizeWindow(window, width, height);
    KeepWindowOnScreen(window);
    SetScrollRange(window, SB_VERT, LOUPE_MIN_ZOOM, LOUPE_MAX_ZOOM, FALSE);
    SetScrollPos(window, SB_VERT, Zoom, FALSE);
    return 0;
}

// Screen coordinates, as WM_CREATE reads them back: the placement's normal position is in
// work-area coordinates, which would drift by a top or left taskbar at every reopening. The
// window can be neither minimised nor maximised, so its rectangle is its normal one.
void SaveSection(HWND window) {
    char ini[MODULE_PATH_SIZE];
    RECT rect;
    if (!GetModulePath(ini, sizeof ini, ".ini") || !GetWindowRect(window, &rect))
        return;
    WriteIniInt(ini, kLoupeSection, kKeyX, rect.left);
    WriteIniInt(ini, kLoupeSection, kKeyY, rect.top);
    WriteIniInt(ini, kLoupeSection, kKeyWidth, RectWidth(rect));
    WriteIniInt(ini, kLoupeSection, kKeyHeight, RectHeight(rect));
    WriteIniInt(ini, kLoupeSection, kKeyZoom, Zoom);
    FlushIniFile(ini);
}

LRESULT OnDestroy(HWND window) {
    DestroyFrameBars();
    DeletePalette();
    ClearOwnerProperty(window, PROP_LOUPEWINDOW);
    SaveSection(window);
    return 0;
}

// At log-off the process ends without its windows being destroyed.
LRESULT OnEndSession(HWND window, WPARAM ending) {
    if (ending)
        SaveSection(window);
    return 0;
}

// The caption is redrawn only when its text changes: most paints show the same spot.
void SetCaption(HWND window, const LoupeRect& source) {
    char caption[1024];
    char current[1024];
    FormatLoupeCaption(caption, sizeof caption, source, Zoom);
    if (GetWindowTextA(window, current, sizeof current) == 0 || lstrcmpA(current, caption) != 0)
        SetWindowTextA(window, caption);
}

LRESULT OnPaint(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    // The whole client area is drawn, whatever part was invalid.
    InvalidateRect(window, NULL, FALSE);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SourceWidth = LoupeSourceLength(RectWidth(client), Zoom);
    SourceHeight = LoupeSourceLength(RectHeight(client), Zoom);
    LoupeRect source = CurrentSource();
    if (dc != NULL) {
        int saved = SaveDC(dc);
        if (Palette != NULL) {
            SelectPalette(dc, Palette, FALSE);
            RealizePalette(dc);
        }
        HDC screen = GetDC(NULL);
        if (screen != NULL) {
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, 0, 0, SourceWidth * Zoom, SourceHeight * Zoom, screen, source.left,
                       source.top, SourceWidth, SourceHeight, SRCCOPY);
            ReleaseDC(NULL, screen);
        }
        RestoreDC(dc, saved);
    }
    EndPaint(window, &paint);
    SetCaption(window, source);
    return 0;
}

LRESULT OnVScroll(HWND window, WPARAM wParam) {
    Zoom = LoupeZoomAfterScroll(Zoom, LOWORD(wParam), HIWORD(wParam));
    SetScrollPos(window, SB_VERT, Zoom, TRUE);
    InvalidateRect(window, NULL, FALSE);
    return 0;
}

LRESULT OnMouseWheel(HWND window, WPARAM wParam) {
    // The zoom stays as it is during a drag, so that the frame keeps marking the spot.
    if (IsDragging(window))
        return 0;
    UINT lines = 0;
    if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = kDefaultWheelLines;
    LoupeWheelScroll scroll = LoupeWheelToScroll((short)HIWORD(wParam), lines);
    for (int i = 0; i < scroll.count; ++i)
        SendMessageA(window, WM_VSCROLL, (WPARAM)scroll.code, 0);
    return 0;
}

LRESULT OnKeyDown(HWND window, WPARAM key) {
    if (IsDragging(window))
        return 0;
    LoupeKeyAction action = LoupeKeyToAction((unsigned)key, GetKeyState(VK_CONTROL) < 0);
    if (!action.handled)
        return 0;
    if (action.scrollCode >= 0) {
        SendMessageA(window, WM_VSCROLL, (WPARAM)action.scrollCode, 0);
    } else {
        Focus.x += action.dx;
        Focus.y += action.dy;
    }
    LoupeRect screen = VirtualScreen();
    Focus.x = ClampToSpan(Focus.x, screen.left, screen.right);
    Focus.y = ClampToSpan(Focus.y, screen.top, screen.bottom);
    InvalidateRect(window, NULL, FALSE);
    return 0;
}

// The new spot is painted first: the frame goes round the source of that paint.
void ShowSpotFramed(HWND window) {
    SetFocusToMessage();
    InvalidateRect(window, NULL, FALSE);
    UpdateWindow(window);
    ShowFrame(window);
}

LRESULT OnLButtonDown(HWND window) {
    ShowSpotFramed(window);
    SetCapture(window);
    return 0;
}

LRESULT OnMouseMove(HWND window) {
    if (IsDragging(window))
        ShowSpotFramed(window);
    return 0;
}

LRESULT OnLButtonUp(HWND window) {
    if (!IsDragging(window))
        return 0;
    SetFocusToMessage();
    InvalidateRect(window, NULL, FALSE);
    ReleaseCapture();  // WM_CAPTURECHANGED takes the frame off
    return 0;
}

// Moved to a monitor of another scale: the place and size the system suggests.
LRESULT OnDpiChanged(HWND window, LPARAM suggested) {
    const RECT* rect = (const RECT*)suggested;
    SetWindowPos(window, NULL, rect->left, rect->top, RectWidth(*rect), RectHeight(*rect),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, NULL, FALSE);  // a smaller window gets no paint of its own
    return 0;
}

// Also when another window takes the capture before the button is released.
// Where the desktop is not composed, the windows under a bar repaint the pixels it covered
// only when their programs get to it: the picture is taken once more a little later, so
// that it does not keep a piece of the frame.
LRESULT OnCaptureChanged(HWND window) {
    HideFrame();
    SetTimer(window, kAfterDragTimer, kAfterDragDelay, NULL);
    return 0;
}

LRESULT OnTimer(HWND window) {
    KillTimer(window, kAfterDragTimer);
    InvalidateRect(window, NULL, FALSE);
    return 0;
}

}  // namespace

HWND CreateLoupeWindow(HINSTANCE instance, HWND owner, DWORD style, DWORD exStyle) {
    SourceWidth = 0;
    SourceHeight = 0;
    SetPoint(&Focus, 0, 0);
    DeletePalette();
    Palette = CreateIdentityPalette();
    if (Palette == NULL)
        return NULL;
    RegisterAppClass(instance, kLoupeClass, LoupeWindowProc, CS_BYTEALIGNCLIENT, NULL, WHITE_BRUSH);
    HWND window =
        CreateWindowExA(exStyle, kLoupeClass, "loupe", style, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, owner, NULL, instance, NULL);
    // A window that failed after WM_CREATE has released it already.
    if (window == NULL)
        DeletePalette();
    return window;
}

LRESULT CALLBACK LoupeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(window);
        case WM_DESTROY:
            return OnDestroy(window);
        case WM_ENDSESSION:
            return OnEndSession(window, wParam);
        case WM_PAINT:
            return OnPaint(window);
        case WM_KEYDOWN:
            return OnKeyDown(window, wParam);
        case WM_COMMAND:
            return 0;
        case WM_VSCROLL:
            return OnVScroll(window, wParam);
        case WM_MOUSEWHEEL:
            return OnMouseWheel(window, wParam);
        case WM_LBUTTONDOWN:
            return OnLButtonDown(window);
        case WM_MOUSEMOVE:
            return OnMouseMove(window);
        case WM_LBUTTONUP:
            return OnLButtonUp(window);
        case WM_CAPTURECHANGED:
            return OnCaptureChanged(window);
        case WM_TIMER:
            return OnTimer(window);
        case kWmDpiChanged:
            return OnDpiChanged(window, lParam);
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
