// The settings record and the hotkey it holds: plain data shared by every subsystem, and
// the names of the main window's properties through which the features reach them.
#ifndef KELVARIN_BASE_APP_INFO_H
#define KELVARIN_BASE_APP_INFO_H

#include <stdint.h>

// A global hotkey: MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, plus 8 for the hotkey control's
// extended-key flag (kept for display, never registered). Empty when both are 0.
struct HotkeySpec {
    uint32_t modifiers;
    uint32_t vk;
};

enum { SAVE_FOLDER_SIZE = 260 };

struct AppInfo {
    uint8_t showLoupe;
    uint8_t showCurInf;
    char saveFolder[SAVE_FOLDER_SIZE];
    HotkeySpec hotkeyCapture;
    HotkeySpec hotkeySetWallpaper;
    HotkeySpec hotkeyRemoveWallpaper;
};

// The main window's properties: the settings record (AppInfo*) and the two tool windows.
#define PROP_APPINFO "PROP_APPINFO"
#define PROP_LOUPEWINDOW "PROP_LOUPEWINDOW"
#define PROP_CURINFWINDOW "PROP_CURINFWINDOW"

#endif
