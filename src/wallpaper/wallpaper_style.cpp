// The wallpaper layouts as registry strings (see wallpaper_style.h).
#include "wallpaper/wallpaper_style.h"

#include "base/text.h"

namespace {

struct WallpaperLayout {
    int command;
    const char* style;
    const char* tile;
};

const WallpaperLayout kLayouts[] = {
    {kWallpaperCentreCommand, "0", "0"},
    {kWallpaperTileCommand, "0", "1"},
    {kWallpaperStretchCommand, "2", "0"},
};

bool IsExactly(const char* text, const char* expected) {
    return text != NULL && CompareText(text, expected) == 0;
}

}  // namespace

bool WallpaperStyleValues(int command, const char** style, const char** tile) {
    for (const WallpaperLayout& layout : kLayouts) {
        if (layout.command == command) {
            *style = layout.style;
            *tile = layout.tile;
            return true;
        }
    }
    return false;
}

int WallpaperStyleCommandFor(const char* style, const char* tile) {
    if (IsExactly(style, "2"))
        return kWallpaperStretchCommand;
    if (IsExactly(tile, "1"))
        return kWallpaperTileCommand;
    return kWallpaperCentreCommand;
}
