// The desktop wallpaper: its layout and removal through the user's desktop values in the
// registry, and making an image file the wallpaper.
#ifndef KELVARIN_WALLPAPER_WALLPAPER_H
#define KELVARIN_WALLPAPER_WALLPAPER_H

#include <windows.h>

// Makes path the wallpaper. Callers pass SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE, so
// the setting is stored in the profile and every window hears of it.
BOOL SetWallpaperFile(const char* path, UINT fWinIni);

#endif
