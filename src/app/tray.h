// The notification-area icon: its tooltip (the display mode in force), its clicks, the
// main menu, and a once-a-second watchdog that puts the icon back on a new taskbar.
#ifndef KELVARIN_APP_TRAY_H
#define KELVARIN_APP_TRAY_H

#include <windows.h>

enum {
    WM_TRAYNOTIFY = 0x8001,    // the icon's callback: wParam icon id, lParam mouse message
    WM_SHOWMODEMENU = 0x8002,  // open the resolution menu
    WM_SHOWMAINMENU = 0x8003,  // open the main menu
};

enum { TRAY_ICON_ID = 1, TRAY_WATCHDOG_TIMER = 1, TRAY_WATCHDOG_PERIOD = 1000 };

BOOL AddTrayIcon(HWND window);
BOOL RemoveTrayIcon(HWND window);
BOOL UpdateTrayTip();
void CALLBACK TrayWatchdog(HWND window, UINT message, UINT_PTR id, DWORD time);
// The registered message a new taskbar broadcasts (0 before the first add, or if it could
// not be registered), and its handler: the icon is added again.
UINT TaskbarCreatedMessage();
LRESULT OnTaskbarCreated();
LRESULT OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnShowMainMenu(HWND window);

#endif
