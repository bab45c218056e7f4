// The desktop wallpaper: its layout and removal through the user's desktop values in the
// registry, and making an image file the wallpaper.
#ifndef KELVARIN_WALLPAPER_WALLPAPER_H
#define KELVARIN_WALLPAPER_WALLPAPER_H

#include <windows.h>

// Buffer sizes for the values read: a path and its terminator, and a layout number.
enum { WALLPAPER_PATH_SIZE = 261, WALLPAPER_STYLE_SIZE = 99 };

// HKEY_CURRENT_USER "Control Panel\desktop" with full access; the caller closes it.
BOOL OpenDesktopKey(HKEY* key);

// Reads a REG_SZ or REG_EXPAND_SZ value into buffer, and its type into *type when asked.
// FALSE, with the buffer's contents meaningless, when the value is absent, of another
// type, longer than capacity, or not zero-terminated within the bytes returned.
BOOL RegReadString(HKEY key, const char* name, char* buffer, DWORD capacity, DWORD* type = NULL);

// Writes text as REG_SZ, its terminating zero counted in the data length.
BOOL RegWriteString(HKEY key, const char* name, const char* text);

// Commands 40044 (centre), 40045 (tile), 40046 (stretch): writes the layout values and
// applies the same wallpaper again so that the layout shows. Returns 0.
LRESULT SetWallpaperStyle(HWND window, WPARAM wParam);

// The layout command in force for the open desktop key: 40044, 40045 or 40046.
int GetWallpaperStyleCommand(HKEY key);

// The system's wallpaper call, a table so that tests can see what removal hands it.
struct WallpaperCalls {
    BOOL(WINAPI* systemParametersInfo)(UINT action, UINT param, PVOID value, UINT winIni);
};

extern const WallpaperCalls kWallpaperCalls;

// Empties "Wallpaper" and tells the system through calls; the layout values stay.
void RemoveWallpaperWith(const WallpaperCalls& calls);
// RemoveWallpaperWith the system's own call. Returns 0.
LRESULT RemoveWallpaper(HWND window);

// Makes path the wallpaper. Callers pass SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE, so
// the setting is stored in the profile and every window hears of it.
BOOL SetWallpaperFile(const char* path, UINT fWinIni);

#endif
