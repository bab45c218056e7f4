// Screen capture by hotkey: the desktop with the cursor drawn in (hotkey 1), or the
// foreground window's client area, which then becomes the wallpaper (hotkey 2). Each
// grabs, writes and releases everything inside the one WM_HOTKEY message.
#ifndef KELVARIN_CAPTURE_CAPTURE_H
#define KELVARIN_CAPTURE_CAPTURE_H

#include <windows.h>

#include <stddef.h>

// Both take the main window, whose PROP_APPINFO holds the capture folder.
void CaptureDesktop(HWND mainWindow);
void CaptureWindowToWallpaper(HWND mainWindow);

// Grabs a picture into a 24-bit bottom-up DIB and writes it to a new capture file in the
// folder of mainWindow's settings; path (261 bytes) receives its name, numbered when the
// name is taken. The desktop window as source stands for the whole virtual screen (every
// monitor), with the cursor when asked; any other window gives its client area. True only
// when the whole file is in place. No window, one without a readable, non-empty client
// area, or a copy that fails: nothing is captured.
bool CaptureClientToFile(HWND mainWindow, HWND source, bool withCursor, char* path);

// Where a picture's pixels come from: rect of window's DC or, with no window, rect of the
// screen DC in screen coordinates, where the parts outside the virtual screen stay black.
struct CaptureSource {
    HWND window;
    RECT rect;
    DWORD rop;  // the BitBlt raster operation
};

// Copies the source into section (its size is the rectangle's) and, when a cursor and a
// position in the source's coordinates are given, draws the cursor there by its hot spot
// at its own size. A cursor that cannot be drawn (another process's, under Wine) is
// replaced by the standard arrow, so the picture still shows where the pointer was. False
// when nothing could be copied.
bool CopyToDib(HBITMAP section, const CaptureSource& source, HCURSOR cursor, const POINT* position);

// The cursor the user sees and its screen position; false when none is shown (hidden by
// the application in front, as a full-screen video or a game hides it).
bool GetShownCursor(HCURSOR* cursor, POINT* position);

// folder joined with "DDhhmmss.bmp" from the local time. False when the folder is too
// long for the whole path to fit size: a cut path would name another file.
bool MakeCaptureFilePath(char* dest, size_t size, const char* folder);

#endif
