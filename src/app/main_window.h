// The hidden main window: owner of the tray icon, hotkeys, menus and tool windows, and
// the receiver and router of every user action.
#ifndef KELVARIN_APP_MAIN_WINDOW_H
#define KELVARIN_APP_MAIN_WINDOW_H

#include <windows.h>

extern const char kMainWindowClass[];  // also the window's title

#define PROP_APPINFO "PROP_APPINFO"
#define PROP_LOUPEWINDOW "PROP_LOUPEWINDOW"
#define PROP_CURINFWINDOW "PROP_CURINFWINDOW"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
