// The three global hotkeys of the main window (ids 1 capture, 2 capture to wallpaper,
// 3 remove wallpaper).
#ifndef KELVARIN_APP_HOTKEYS_H
#define KELVARIN_APP_HOTKEYS_H

#include <windows.h>

#include "base/app_info.h"

enum { HOTKEY_CAPTURE = 1, HOTKEY_SET_WALLPAPER = 2, HOTKEY_REMOVE_WALLPAPER = 3 };

// Registers hotkey under id, or releases the id when hotkey is empty.
BOOL ApplyHotkey(HWND window, int id, const HotkeySpec& hotkey);
void RegisterAppHotkeys(HWND window, const AppInfo* info);
void UnregisterAppHotkeys(HWND window);

#endif
