// Desktop and window capture to BMP files (see capture.h).
#include "capture/capture.h"

#include "base/app_info.h"
#include "base/sjis.h"
#include "base/text.h"
#include "base/winutil.h"
#include "capture/bmp_writer.h"
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

const UINT kCursorDrawFlags = DI_NORMAL | DI_DEFAULTSIZE;

// The capture written last, which the next one may replace while it is of the same second:
// the repeats of a held hotkey then leave one picture per second rather than a numbered
// file for each repeat. No other file is ever replaced.
char LastCapture[kPathSize];
DWORD LastCaptureTick;

}  // namespace

bool CaptureClientToFile(HWND mainWindow, HWND source, bool withCursor, char* path) {
    const AppInfo* info = (const AppInfo*)GetPropA(mainWindow, PROP_APPINFO);
    RECT client;
    if (info == NULL || source == NULL || !GetClientRect(source, &client) || client.right <= 0 ||
        client.bottom <= 0) {
        return false;
    }
    BmpInfoHeader header;
    InitDibHeader(&header, client.right, client.bottom, 24);
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
    if (withCursor) {
        cursor = GetForegroundCursor();
        if (!GetCursorPos(&position))
            cursor = NULL;
    }
    if (!CopyClientToDib(section, source, client, cursor, cursor != NULL ? &position : NULL))
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

bool CopyClientToDib(HBITMAP section, HWND window, const RECT& client, HCURSOR cursor,
                     const POINT* position) {
    // Each failure leaves the section as the system made it, a black picture: no picture.
    // A section held by another DC is not selected, and the blit would fill the memory
    // DC's default 1 x 1 bitmap; BitBlt fails when the window has gone or the desktop has
    // switched (a locked workstation, a consent prompt, the secure attention screen).
    WindowDc windowDc(window);
    if (windowDc.Get() == NULL)
        return false;
    MemoryDc memoryDc(windowDc.Get(), section);
    HDC dc = memoryDc.Get();
    if (dc == NULL || !memoryDc.Selected() ||
        !BitBlt(dc, 0, 0, client.right, client.bottom, windowDc.Get(), 0, 0, SRCCOPY)) {
        return false;
    }
    if (cursor != NULL && position != NULL &&
        !DrawIconEx(dc, position->x, position->y, cursor, 0, 0, 0, NULL, kCursorDrawFlags)) {
        // The system's arrow is shared: loaded, never destroyed.
        DrawIconEx(dc, position->x, position->y, LoadCursorA(NULL, (LPCSTR)IDC_ARROW), 0, 0, 0,
                   NULL, kCursorDrawFlags);
    }
    return true;
}

// Sharing the foreground thread's input state for the one call makes GetCursor answer
// with that application's cursor rather than this program's.
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
