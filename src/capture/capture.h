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

// Grabs source's client area (and the cursor, when asked) into a 24-bit bottom-up DIB and
// writes it to a new capture file in the folder of mainWindow's settings; path (261
// bytes) receives its name, numbered when the name is taken. True only when the whole
// file is in place. No window, one without a readable, non-empty client area, or a copy
// that fails: nothing is captured.
bool CaptureClientToFile(HWND mainWindow, HWND source, bool withCursor, char* path);

// Copies window's client area (client: its client rectangle) into section and, when a
// cursor and a position are given, draws the cursor with its top-left corner there. A
// cursor that cannot be drawn (another process's, under Wine) is replaced by the
// standard arrow, so the picture still shows where the pointer was. False when the client
// area could not be copied.
bool CopyClientToDib(HBITMAP section, HWND window, const RECT& client, HCURSOR cursor,
                     const POINT* position);

// The cursor shape the foreground application shows (may be null).
HCURSOR GetForegroundCursor();

// folder joined with "DDhhmmss.bmp" from the local time. False when the folder is too
// long for the whole path to fit size: a cut path would name another file.
bool MakeCaptureFilePath(char* dest, size_t size, const char* folder);

#endif
