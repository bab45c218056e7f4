// Wallpaper layout, removal and setting (see wallpaper.h).
#include "wallpaper/wallpaper.h"

#include "base/sjis.h"
#include "base/text.h"

#include "wallpaper/wallpaper_style.h"

namespace {

const char kDesktopKey[] = "Control Panel\\desktop";
const char kValueWallpaper[] = "Wallpaper";
const char kValueStyle[] = "Wallpaperstyle";
const char kValueTile[] = "TileWallpaper";

const UINT kUpdateAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE;

// The desktop key for the length of one operation.
class DesktopKey {
  public:
    DesktopKey() : key_(NULL) { opened_ = OpenDesktopKey(&key_) != FALSE; }
    ~DesktopKey() {
        if (opened_)
            RegCloseKey(key_);
    }
    bool Opened() const { return opened_; }
    HKEY Get() const { return key_; }

  private:
    HKEY key_;
    bool opened_;
};

// A REG_EXPAND_SZ path may name its folders through environment strings ("%SystemRoot%"),
// which only its reader expands. False when the expanded path does not fit.
bool ExpandPath(char* path, DWORD size) {
    char expanded[WALLPAPER_PATH_SIZE];
    // The ANSI form may count one byte more than it stores: one byte is kept spare.
    DWORD length = ExpandEnvironmentStringsA(path, expanded, sizeof expanded - 1);
    expanded[sizeof expanded - 1] = '\0';
    if (length == 0 || length > sizeof expanded - 1 || TextLength(expanded) >= size)
        return false;
    CopyTextBounded(path, expanded, size);
    return true;
}

}  // namespace

const WallpaperCalls kWallpaperCalls = {SystemParametersInfoA};

BOOL OpenDesktopKey(HKEY* key) {
    return RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_ALL_ACCESS, key) == ERROR_SUCCESS;
}

BOOL RegReadString(HKEY key, const char* name, char* buffer, DWORD capacity, DWORD* type) {
    DWORD stored = REG_NONE;
    DWORD size = capacity;
    if (RegQueryValueExA(key, name, NULL, &stored, (BYTE*)buffer, &size) != ERROR_SUCCESS)
        return FALSE;
    if (type != NULL)
        *type = stored;
    // Some tools and policies store the desktop's strings as REG_EXPAND_SZ. Nothing
    // guarantees a stored string its terminator, and a system may append one only when
    // there is room: only a zero inside the bytes returned makes it a string.
    if ((stored != REG_SZ && stored != REG_EXPAND_SZ) || size == 0 || size > capacity)
        return FALSE;
    for (DWORD i = 0; i < size; ++i) {
        if (buffer[i] == '\0')
            return TRUE;
    }
    return FALSE;
}

BOOL RegWriteString(HKEY key, const char* name, const char* text) {
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)TextLength(text) + 1) ==
           ERROR_SUCCESS;
}

LRESULT SetWallpaperStyle(HWND, WPARAM wParam) {
    DesktopKey key;
    char path[WALLPAPER_PATH_SIZE];
    DWORD type = REG_SZ;
    const bool havePath = key.Opened() &&
                          RegReadString(key.Get(), kValueWallpaper, path, sizeof path, &type) &&
                          (type == REG_SZ || ExpandPath(path, sizeof path));
    const char* style;
    const char* tile;
    if (key.Opened() && WallpaperStyleValues(LOWORD(wParam), &style, &tile)) {
        RegWriteString(key.Get(), kValueStyle, style);
        RegWriteString(key.Get(), kValueTile, tile);
        RegFlushKey(key.Get());
    }
    // The system reads the layout when the wallpaper is set, so setting the same file
    // shows the new layout. Without a readable path there is nothing to set again: an
    // empty or partial path would take the user's wallpaper away.
    if (havePath)
        SetWallpaperFile(path, kUpdateAndBroadcast);
    return 0;
}

int GetWallpaperStyleCommand(HKEY key) {
    char style[WALLPAPER_STYLE_SIZE];
    char tile[WALLPAPER_STYLE_SIZE];
    const bool haveStyle = RegReadString(key, kValueStyle, style, sizeof style) != FALSE;
    const bool haveTile = RegReadString(key, kValueTile, tile, sizeof tile) != FALSE;
    return WallpaperStyleCommandFor(haveStyle ? style : NULL, haveTile ? tile : NULL);
}

void RemoveWallpaperWith(const WallpaperCalls& calls) {
    {
        DesktopKey key;
        if (key.Opened())
            RegWriteString(key.Get(), kValueWallpaper, "");
    }
    // An empty path is "no wallpaper" on every system, where a null one makes Windows 2000
    // and later restore the default wallpaper. Asked twice in a row.
    for (int i = 0; i < 2; ++i)
        calls.systemParametersInfo(SPI_SETDESKWALLPAPER, 0, (PVOID) "", kUpdateAndBroadcast);
}

LRESULT RemoveWallpaper(HWND) {
    RemoveWallpaperWith(kWallpaperCalls);
    return 0;
}

BOOL SetWallpaperFile(const char* path, UINT fWinIni) {
    return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, (PVOID)path, fWinIni);
}
