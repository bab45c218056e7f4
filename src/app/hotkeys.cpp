// Global hotkey registration (see hotkeys.h).
#include "app/hotkeys.h"

#include "base/hotkey_codec.h"

BOOL ApplyHotkey(HWND window, int id, const HotkeySpec& hotkey) {
    if (IsEmptyHotkey(hotkey))
        return UnregisterHotKey(window, id);
    return RegisterHotKey(window, id, RegisteredModifiers(hotkey), hotkey.vk);
}

void RegisterAppHotkeys(HWND window, const AppInfo* info) {
    ApplyHotkey(window, HOTKEY_CAPTURE, info->hotkeyCapture);
    ApplyHotkey(window, HOTKEY_SET_WALLPAPER, info->hotkeySetWallpaper);
    ApplyHotkey(window, HOTKEY_REMOVE_WALLPAPER, info->hotkeyRemoveWallpaper);
}

void UnregisterAppHotkeys(HWND window) {
    UnregisterHotKey(window, HOTKEY_CAPTURE);
    UnregisterHotKey(window, HOTKEY_SET_WALLPAPER);
    UnregisterHotKey(window, HOTKEY_REMOVE_WALLPAPER);
}
