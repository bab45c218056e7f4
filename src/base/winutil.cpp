// Window, menu and message-box helpers (see winutil.h).
#include "base/winutil.h"

#include "base/placement.h"

int ShowMessageBox(HWND owner, const char* caption, const char* text, UINT flags) {
    // The icon bits pick the sound: 0x10 hand, 0x20 question, 0x30 exclamation,
    // 0x40 asterisk, 0 the default beep.
    MessageBeep(flags & 0x70);
    return MessageBoxA(owner, text, caption, flags);
}

BOOL CheckMenuItemIf(HMENU menu, UINT item, UINT flags, BYTE check) {
    return CheckMenuItem(menu, item, check ? (flags | MF_CHECKED) : flags) != (DWORD)-1;
}

// The menus of a notification icon: the owner must be the foreground window while the
// menu shows, or a click elsewhere does not close it; and a message must follow the menu,
// or the next one shown can close at once. WM_NULL is that message: it does nothing.
BOOL TrackMenuAt(HWND owner, HMENU popup, POINT point, UINT flags, const RECT* exclude) {
    SetForegroundWindow(owner);
    TPMPARAMS params;
    TPMPARAMS* paramsPointer = NULL;
    if (exclude != NULL) {
        params.cbSize = sizeof params;
        params.rcExclude = *exclude;
        paramsPointer = &params;
    }
    BOOL result = TrackPopupMenuEx(popup, flags, point.x, point.y, owner, paramsPointer);
    PostMessageA(owner, WM_NULL, 0, 0);
    return result;
}

BOOL TrackMenuAtCursor(HWND owner, HMENU popup, UINT flags, const RECT* exclude) {
    POINT point;
    GetCursorPos(&point);
    return TrackMenuAt(owner, popup, point, flags, exclude);
}

BOOL TrackResourceMenuAtCursor(HINSTANCE instance, const char* menuName, int position, HWND owner,
                               UINT flags, const RECT* exclude, void (*prepare)(HMENU popup)) {
    POINT point;
    GetCursorPos(&point);
    HMENU menu = LoadMenuA(instance, menuName);
    if (menu == NULL)
        return FALSE;
    BOOL result = FALSE;
    HMENU popup = GetSubMenu(menu, position);
    if (popup != NULL) {
        if (prepare != NULL)
            prepare(popup);
        result = TrackMenuAt(owner, popup, point, flags, exclude);
    }
    DestroyMenu(menu);
    return result;
}

BOOL GetCursorClientPos(HWND window, POINT* point) {
    GetCursorPos(point);
    return ScreenToClient(window, point);
}

BOOL SetPoint(POINT* point, LONG x, LONG y) {
    point->x = x;
    point->y = y;
    return TRUE;
}

LONG RectWidth(const RECT& rect) {
    return rect.right - rect.left;
}

LONG RectHeight(const RECT& rect) {
    return rect.bottom - rect.top;
}

BOOL GetRectSize(const RECT& rect, SIZE* size) {
    size->cx = RectWidth(rect);
    size->cy = RectHeight(rect);
    return TRUE;
}

BOOL GetWindowSize(HWND window, SIZE* size) {
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    return GetRectSize(rect, size);
}

LONG GetWindowWidth(HWND window) {
    SIZE size;
    GetWindowSize(window, &size);
    return size.cx;
}

LONG GetWindowHeight(HWND window) {
    SIZE size;
    GetWindowSize(window, &size);
    return size.cy;
}

BOOL GetNormalWindowRect(HWND window, RECT* rect) {
    WINDOWPLACEMENT placement;
    ZeroMemory(&placement, sizeof placement);
    placement.length = sizeof placement;
    BOOL ok = GetWindowPlacement(window, &placement);
    *rect = placement.rcNormalPosition;
    return ok;
}

BOOL GetWorkArea(RECT* rect) {
    return SystemParametersInfoA(SPI_GETWORKAREA, 0, rect, 0);
}

bool IsLiveWindow(HWND window) {
    return window != NULL && IsWindow(window);
}

void ClearOwnerProperty(HWND window, const char* property) {
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner != NULL && GetPropA(owner, property) == (HANDLE)window)
        SetPropA(owner, property, NULL);
}

void* User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 != NULL ? (void*)GetProcAddress(user32, name) : NULL;
}

RECT GetVirtualScreen() {
    PlacementRect screen = VirtualScreenRect(
        GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
        GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    RECT rect = {screen.left, screen.top, screen.right, screen.bottom};
    return rect;
}

namespace {

// The monitor functions came with Windows 98 and 2000: looked up at run time.
const DWORD kMonitorDefaultToNull = 0, kMonitorDefaultToNearest = 2, kMonitorPrimary = 1;
struct MonitorInfo {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
typedef HANDLE(WINAPI* MonitorFromPointProc)(POINT point, DWORD flags);
typedef HANDLE(WINAPI* MonitorFromRectProc)(const RECT* rect, DWORD flags);
typedef BOOL(WINAPI* GetMonitorInfoProc)(HANDLE monitor, MonitorInfo* info);

// The primary monitor's work area is the one SPI_GETWORKAREA has always given.
bool MonitorWorkArea(HANDLE monitor, RECT* area) {
    GetMonitorInfoProc getInfo = (GetMonitorInfoProc)User32Function("GetMonitorInfoA");
    MonitorInfo info;
    info.cbSize = sizeof info;
    if (monitor == NULL || getInfo == NULL || !getInfo(monitor, &info))
        return false;
    if (info.dwFlags & kMonitorPrimary)
        return GetWorkArea(area) != FALSE;
    *area = info.rcWork;
    return true;
}

// A window that a monitor shows at each of its corners is left alone (also across two
// monitors); another goes into the work area of the monitor nearest to it: the bounding
// box of monitors of different sizes has gaps that no monitor shows.
bool NearestWorkArea(const RECT& rect, RECT* area) {
    MonitorFromPointProc fromPoint = (MonitorFromPointProc)User32Function("MonitorFromPoint");
    MonitorFromRectProc fromRect = (MonitorFromRectProc)User32Function("MonitorFromRect");
    if (fromPoint == NULL || fromRect == NULL)
        return false;
    const POINT corners[4] = {{rect.left, rect.top},
                              {rect.right - 1, rect.top},
                              {rect.left, rect.bottom - 1},
                              {rect.right - 1, rect.bottom - 1}};
    bool shown = true;
    for (const POINT& corner : corners)
        shown = shown && fromPoint(corner, kMonitorDefaultToNull) != NULL;
    if (shown) {
        *area = rect;
        return true;
    }
    return MonitorWorkArea(fromRect(&rect, kMonitorDefaultToNearest), area);
}

// The work area of the monitor the point is on (the nearest one); the primary's where the
// system knows one monitor only.
void WorkAreaAt(POINT point, RECT* area) {
    MonitorFromPointProc fromPoint = (MonitorFromPointProc)User32Function("MonitorFromPoint");
    if (fromPoint == NULL || !MonitorWorkArea(fromPoint(point, kMonitorDefaultToNearest), area))
        GetWorkArea(area);
}

}  // namespace

BOOL KeepWindowOnScreen(HWND window) {
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return FALSE;
    RECT bounds;
    if (!NearestWorkArea(rect, &bounds))
        bounds = GetVirtualScreen();
    PlacementRect area = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    PlacementPoint place =
        KeepRectInside(rect.left, rect.top, RectWidth(rect), RectHeight(rect), area);
    if (place.x == rect.left && place.y == rect.top)
        return TRUE;
    return MoveWindowTo(window, place.x, place.y);
}

BOOL MoveWindowTo(HWND window, int x, int y) {
    return SetWindowPos(window, NULL, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

BOOL ResizeWindow(HWND window, int width, int height) {
    return SetWindowPos(window, NULL, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
}

void* AllocateBlock(size_t size) {
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void ReleaseBlock(void* block) {
    if (block != NULL)
        HeapFree(GetProcessHeap(), 0, block);
}

ULONG_PTR SetClassCursor(HWND window, HCURSOR cursor) {
    return SetClassLongPtrA(window, GCLP_HCURSOR, (LONG_PTR)cursor);
}

BOOL RepaintWindow(HWND window, BYTE erase) {
    return InvalidateRect(window, NULL, erase != 0);
}

BOOL FillNotifyHeader(NMHDR* header, HWND control, UINT code) {
    ZeroMemory(header, sizeof *header);
    header->hwndFrom = control;
    header->idFrom = (UINT_PTR)GetDlgCtrlID(control);
    header->code = code;
    return TRUE;
}

BOOL PlaceWindowAtCursor(HWND window) {
    RECT windowRect = {0, 0, 0, 0};
    GetWindowRect(window, &windowRect);
    POINT cursor;
    GetCursorPos(&cursor);
    RECT workArea = {0, 0, 0, 0};
    WorkAreaAt(cursor, &workArea);
    PlacementRect area = {workArea.left, workArea.top, workArea.right, workArea.bottom};
    PlacementPoint place =
        PlaceRectAtPoint(RectWidth(windowRect), RectHeight(windowRect), cursor.x, cursor.y, area);
    POINT point = {place.x, place.y};
    HWND parent = GetParent(window);
    // Only a child window is positioned in its parent's client coordinates; an owned
    // top-level window such as a dialog stays in screen coordinates.
    if (parent != NULL && IsChild(parent, window))
        ScreenToClient(parent, &point);
    return MoveWindowTo(window, point.x, point.y);
}
