// The wallpaper layouts as the desktop's registry strings hold them: which strings each
// layout command writes, and which command the strings found there stand for.
#ifndef KELVARIN_WALLPAPER_WALLPAPER_STYLE_H
#define KELVARIN_WALLPAPER_WALLPAPER_STYLE_H

// Main-menu commands of the three layouts (the same numbers as the resource's).
enum {
    kWallpaperCentreCommand = 40044,
    kWallpaperTileCommand = 40045,
    kWallpaperStretchCommand = 40046,
};

// The "Wallpaperstyle" and "TileWallpaper" strings that command writes; false (and both
// left untouched) for a command that is not a layout.
bool WallpaperStyleValues(int command, const char** style, const char** tile);

// The layout command in force for the two strings as read; null stands for a value that
// is absent or unreadable and counts as empty. Byte-exact: "2" stretches whatever the
// tile value says, then "1" tiles; anything else ("02", " 2", "1 ") is centred.
int WallpaperStyleCommandFor(const char* style, const char* tile);

#endif
