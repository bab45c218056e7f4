// Desktop and window capture to BMP files (see capture.h).
#include "capture/capture.h"

#include "base/app_info.h"
#include "base/sjis.h"
#include "base/system_path.h"
#include "base/text.h"
#include "base/winutil.h"
#include "capture/bmp_writer.h"
#include "capture/screen_copy.h"
#include "wallpaper/wallpaper.h"

namespace {

// A BITMAPINFO with room for a full 256-entry colour table, as CreateDIBSection may read
// up to that many entries for the bit counts that have them.
const size_t kDibInfoBlockSize = sizeof(BITMAPINFO) + 256 * sizeof(RGBQUAD);
const size_t kPathSize = MAX_PATH + 1;

class HeapBlock {
  public:
    explicit HeapBlock(size_t size) : block_(AllocateBlock(size)) {}
    ~HeapBlock() { ReleaseBlock(block_); }
    void* Get() const { return block_; }

  private:
    HeapBlock(const HeapBlock&) = delete;
    void* block_;
};

class GdiObject {
  public:
    explicit GdiObject(HGDIOBJ object) : object_(object) {}
    ~GdiObject() {
        if (object_ != NULL)
            DeleteObject(object_);
    }

  private:
    GdiObject(const GdiObject&) = delete;
    HGDIOBJ object_;
};

class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != NULL)
            ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

  private:
    WindowDc(const WindowDc&) = delete;
    HWND window_;
    HDC dc_;
};

// A memory DC with one object selected into it; the previous object goes back before
// the DC is deleted.
class MemoryDc {
  public:
    MemoryDc(HDC compatible, HGDIOBJ object)
        : dc_(CreateCompatibleDC(compatible)), previous_(NULL) {
        if (dc_ != NULL)
            previous_ = SelectObject(dc_, object);
    }
    ~MemoryDc() {
        if (dc_ != NULL) {
            if (previous_ != NULL)
                SelectObject(dc_, previous_);
            DeleteDC(dc_);
        }
    }
    HDC Get() const { return dc_; }
    bool Selected() const { return previous_ != NULL; }

  private:
    MemoryDc(const MemoryDc&) = delete;
    HDC dc_;
    HGDIOBJ previous_;
};

// Newer than the headers of Windows 95 and NT 4 show.
const DWORD kCursorShowing = 1;  // CURSOR_SHOWING

// CURSORINFO, for GetCursorInfo (Windows 98 and 2000 on); cbSize must be set.
struct CursorInfo {
    DWORD cbSize;
    DWORD flags;
    HCURSOR hCursor;
    POINT ptScreenPos;
};
typedef BOOL(WINAPI* GetCursorInfoFunction)(CursorInfo* info);
typedef HRESULT(WINAPI* DwmIsCompositionEnabledFunction)(BOOL* enabled);

// The capture written last, which the next one may replace while it is of the same second:
// the repeats of a held hotkey then leave one picture per second rather than a numbered
// file for each repeat. No other file is ever replaced.
char LastCapture[kPathSize];
DWORD LastCaptureTick;

// Decided once: the version does not change while the program runs.
DWORD DesktopRasterOp() {
    static DWORD rop;
    if (rop == 0) {
        const DWORD version = GetVersion();  // the high bit marks 95, 98 and Me
        rop = ScreenCopyRasterOp((version & 0x80000000) ? kPlatformWindows : kPlatformNt,
                                 LOBYTE(version), HIBYTE(LOWORD(version)));
    }
    return rop;
}

// Windows Vista and 7 with composition on, and always from Windows 8 on. There what a
// program draws with DirectX or DirectComposition is missing from its window's DC (black
// in a copy) and only the screen shows it. Asked at each capture, since Vista and 7 can
// turn composition on and off; the library is looked for once and kept (systems before
// Vista have none).
bool DesktopComposed() {
    static bool looked;
    static DwmIsCompositionEnabledFunction isEnabled;
    if (!looked) {
        looked = true;
        HMODULE library = LoadSystemLibrary("dwmapi.dll");
        if (library != NULL)
            isEnabled = (DwmIsCompositionEnabledFunction)(void*)GetProcAddress(
                library, "DwmIsCompositionEnabled");
    }
    BOOL enabled = FALSE;
    return isEnabled != NULL && SUCCEEDED(isEnabled(&enabled)) && enabled;
}

// The whole virtual screen for the desktop window, else the window's client area: from
// the screen at the client's screen position where the desktop is composed (what the user
// sees there; before composition the window's DC gives the same), from the window's DC
// otherwise. False for an empty or unreadable area.
bool FindCaptureSource(HWND window, CaptureSource* source) {
    source->window = window;
    source->rop = SRCCOPY;
    if (window == GetDesktopWindow()) {
        source->window = NULL;
        source->rect = GetVirtualScreen();
        source->rop = DesktopRasterOp();
    } else if (window == NULL || !GetClientRect(window, &source->rect)) {
        return false;
    } else if (DesktopComposed()) {
        POINT origin = {0, 0};
        if (!ClientToScreen(window, &origin))
            return false;
        OffsetRect(&source->rect, origin.x, origin.y);
        source->window = NULL;
    }
    return source->rect.right > source->rect.left && source->rect.bottom > source->rect.top;
}

// Draws cursor at its own size with its hot spot at x, y. False when the system cannot
// read or draw it: under Wine only the process that made a cursor can.
bool DrawCursor(HDC dc, HCURSOR cursor, int x, int y) {
    ICONINFO icon;
    if (!GetIconInfo(cursor, &icon))
        return false;
    // GetIconInfo hands over copies of both bitmaps (the colour one is null for a
    // monochrome cursor, whose mask holds both halves at twice the height).
    if (icon.hbmMask != NULL)
        DeleteObject(icon.hbmMask);
    if (icon.hbmColor != NULL)
        DeleteObject(icon.hbmColor);
    // A zero size without DI_DEFAULTSIZE is the cursor's own: the icon size would shrink a
    // cursor the user has enlarged.
    return DrawIconEx(dc, x - (int)icon.xHotspot, y - (int)icon.yHotspot, cursor, 0, 0, 0, NULL,
                      DI_NORMAL) != FALSE;
}

// Windows 95 and NT 4 have no GetCursorInfo: sharing the foreground thread's input state
// for the one call makes GetCursor answer with that application's cursor.
HCURSOR GetForegroundCursor() {
    DWORD self = GetCurrentThreadId();
    DWORD other = GetWindowThreadProcessId(GetForegroundWindow(), NULL);
    if (other == self)
        return GetCursor();
    AttachThreadInput(self, other, TRUE);
    HCURSOR cursor = GetCursor();
    AttachThreadInput(self, other, FALSE);
    return cursor;
}

}  // namespace

bool CaptureClientToFile(HWND mainWindow, HWND source, bool withCursor, char* path) {
    const AppInfo* info = (const AppInfo*)GetPropA(mainWindow, PROP_APPINFO);
    CaptureSource from;
    if (info == NULL || !FindCaptureSource(source, &from))
        return false;
    BmpInfoHeader header;
    InitDibHeader(&header, from.rect.right - from.rect.left, from.rect.bottom - from.rect.top, 24);
    HeapBlock block(kDibInfoBlockSize);
    if (block.Get() == NULL)
        return false;
    memcpy(block.Get(), &header, sizeof header);
    void* bits = NULL;
    HBITMAP section =
        CreateDIBSection(NULL, (const BITMAPINFO*)block.Get(), DIB_RGB_COLORS, &bits, NULL, 0);
    if (section == NULL)
        return false;
    GdiObject sectionGuard(section);

    HCURSOR cursor = NULL;
    POINT position;
    if (withCursor && !GetShownCursor(&cursor, &position))
        cursor = NULL;
    if (!CopyToDib(section, from, cursor, cursor != NULL ? &position : NULL))
        return false;
    GdiFlush();  // drawing may be batched; the bits are read directly below
    // A name holds the second but neither month nor year: the same name a second or more
    // later is another picture's.
    const DWORD now = GetTickCount();
    const char* replaceable = now - LastCaptureTick < 1000 ? LastCapture : NULL;
    if (!MakeCaptureFilePath(path, kPathSize, info->saveFolder) ||
        !WriteBmpFile(path, kPathSize, header, NULL, bits, replaceable)) {
        return false;
    }
    CopyTextBounded(LastCapture, path, sizeof LastCapture);
    LastCaptureTick = now;
    return true;
}

bool CopyToDib(HBITMAP section, const CaptureSource& source, HCURSOR cursor,
               const POINT* position) {
    // Each failure leaves the section as the system made it, a black picture: no picture.
    // A section held by another DC is not selected, and the blit would fill the memory
    // DC's default 1 x 1 bitmap; BitBlt fails when the window has gone or the desktop has
    // switched (a locked workstation, a consent prompt, the secure attention screen).
    WindowDc sourceDc(source.window);  // GetDC(NULL): the screen
    if (sourceDc.Get() == NULL)
        return false;
    MemoryDc memoryDc(sourceDc.Get(), section);
    HDC dc = memoryDc.Get();
    if (dc == NULL || !memoryDc.Selected())
        return false;
    // Only what the screen has is copied: the rest of a rectangle reaching past it stays
    // as the section was made, black, rather than whatever the driver gives for it.
    RECT copied = source.rect;
    if (source.window == NULL) {
        const RECT screen = GetVirtualScreen();
        if (!IntersectRect(&copied, &source.rect, &screen))
            SetRectEmpty(&copied);
    }
    if (!IsRectEmpty(&copied) &&
        !BitBlt(dc, copied.left - source.rect.left, copied.top - source.rect.top,
                copied.right - copied.left, copied.bottom - copied.top, sourceDc.Get(), copied.left,
                copied.top, source.rop)) {
        return false;
    }
    if (cursor != NULL && position != NULL) {
        const int x = position->x - source.rect.left, y = position->y - source.rect.top;
        // The system's arrow is shared: loaded, never destroyed.
        if (!DrawCursor(dc, cursor, x, y))
            DrawCursor(dc, LoadCursorA(NULL, (LPCSTR)IDC_ARROW), x, y);
    }
    return true;
}

// GetCursorInfo, where the system has it, tells the cursor the user sees whichever thread
// set it, and whether it is shown, without joining another thread's input.
bool GetShownCursor(HCURSOR* cursor, POINT* position) {
    GetCursorInfoFunction getCursorInfo = (GetCursorInfoFunction)User32Function("GetCursorInfo");
    if (getCursorInfo == NULL) {
        *cursor = GetForegroundCursor();
        return *cursor != NULL && GetCursorPos(position);
    }
    CursorInfo shown = {sizeof shown, 0, NULL, {0, 0}};
    if (!getCursorInfo(&shown) || !(shown.flags & kCursorShowing) || shown.hCursor == NULL)
        return false;
    *cursor = shown.hCursor;
    *position = shown.ptScreenPos;
    return true;
}

bool MakeCaptureFilePath(char* dest, size_t size, const char* folder) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char name[16];
    FormatText(name, sizeof name, "%02d%02d%02d%02d.bmp", now.wDay, now.wHour, now.wMinute,
               now.wSecond);
    return JoinPath(dest, size, folder, name);
}

void CaptureDesktop(HWND mainWindow) {
    char path[kPathSize];
    CaptureClientToFile(mainWindow, GetDesktopWindow(), true, path);
}

// The wallpaper follows only a complete file: a missing or partial one would leave the
// desktop without any.
void CaptureWindowToWallpaper(HWND mainWindow) {
    char path[kPathSize];
    if (CaptureClientToFile(mainWindow, GetForegroundWindow(), false, path))
        SetWallpaperFile(path, SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
}
