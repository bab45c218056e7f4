// Wallpaper layout, removal and setting (see wallpaper.h).
#include "wallpaper/wallpaper.h"

BOOL SetWallpaperFile(const char* path, UINT fWinIni) {
    return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, (PVOID)path, fWinIni);
}
