// Window, menu and message-box helpers shared by every window of the program.
#ifndef KELVARIN_BASE_WINUTIL_H
#define KELVARIN_BASE_WINUTIL_H

#include <windows.h>

int ShowMessageBox(HWND owner, const char* caption, const char* text, UINT flags);
BOOL CheckMenuItemIf(HMENU menu, UINT item, UINT flags, BYTE check);
BOOL TrackMenuAt(HWND owner, HMENU popup, POINT point, UINT flags, const RECT* exclude);
BOOL TrackMenuAtCursor(HWND owner, HMENU popup, UINT flags, const RECT* exclude = NULL);
// Loads the menu resource, lets prepare (if given) fill its popup, tracks the popup at the
// cursor and destroys the menu again.
BOOL TrackResourceMenuAtCursor(HINSTANCE instance, const char* menuName, int position, HWND owner,
                               UINT flags, const RECT* exclude = NULL,
                               void (*prepare)(HMENU popup) = NULL);

BOOL GetCursorClientPos(HWND window, POINT* point);
BOOL SetPoint(POINT* point, LONG x, LONG y);
LONG RectWidth(const RECT& rect);
LONG RectHeight(const RECT& rect);
BOOL GetRectSize(const RECT& rect, SIZE* size);
BOOL GetWindowSize(HWND window, SIZE* size);
LONG GetWindowWidth(HWND window);
LONG GetWindowHeight(HWND window);
BOOL GetNormalWindowRect(HWND window, RECT* rect);
BOOL GetWorkArea(RECT* rect);
bool IsLiveWindow(HWND window);
// Sets the owner's property to null if it still holds this window's handle: called as the
// window goes, since a handle kept after that can come back as another window's (Windows
// 9x reuses its 16-bit handles quickly).
void ClearOwnerProperty(HWND window, const char* property);
// WM_DPICHANGED (Windows 8.1 and later): wParam the new DPI, lParam the suggested RECT.
const UINT kWmDpiChanged = 0x02E0;
// A function of user32 newer than Windows 95 and NT 4, or null where the system lacks it.
// The program imports user32, so it is loaded and no search for it is made.
void* User32Function(const char* name);
// The virtual screen: the bounding box of all monitors (the primary screen on systems
// before multiple monitors). Its left and top can be negative.
RECT GetVirtualScreen();
// Moves the window, its size kept, so that it lies on a monitor (its top-left part when it
// is larger): a position stored at a larger display mode, on a monitor since removed or in
// a gap between monitors comes back visible. A window shown whole stays where it is.
BOOL KeepWindowOnScreen(HWND window);
BOOL MoveWindowTo(HWND window, int x, int y);
BOOL ResizeWindow(HWND window, int width, int height);
ULONG_PTR SetClassCursor(HWND window, HCURSOR cursor);
// Memory from the process heap, as the program links no C runtime: NULL when there is
// none. ReleaseBlock takes NULL too.
void* AllocateBlock(size_t size);
void ReleaseBlock(void* block);
BOOL RepaintWindow(HWND window, BYTE erase);
BOOL FillNotifyHeader(NMHDR* header, HWND control, UINT code);
// Centres the window on the mouse cursor, then pulls it back inside the work area of the
// monitor the cursor is on.
BOOL PlaceWindowAtCursor(HWND window);

#endif
