// The settings record and the hotkey it holds: plain data shared by every subsystem.
#ifndef KELVARIN_APP_APP_INFO_H
#define KELVARIN_APP_APP_INFO_H

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

#endif
