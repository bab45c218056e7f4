// The hidden main window: owner of the tray icon, hotkeys, menus and tool windows, and
// the receiver and router of every user action.
#ifndef KELVARIN_APP_MAIN_WINDOW_H
#define KELVARIN_APP_MAIN_WINDOW_H

#include <windows.h>

#include "base/app_info.h"

extern const char kMainWindowClass[];  // also the window's title

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
