// Tray icon, tooltip, clicks and the taskbar watchdog (see tray.h).
#include "app/tray.h"

#include <shellapi.h>

#include "base/app_class.h"
#include "base/sjis.h"
#include "base/text.h"
#include "base/winutil.h"
#include "display/display_modes.h"
#include "resource.h"

namespace {

// The short Windows 95 layout: everything up to and including a 64-byte tip (88 bytes
// in a 32-bit program, 152 in a 64-bit one).
enum { TRAY_TIP_SIZE = 64 };
const DWORD TRAY_DATA_SIZE = offsetof(NOTIFYICONDATAA, szTip) + TRAY_TIP_SIZE;

NOTIFYICONDATAA TrayIconData;
HWND TrayNotifyWindow;
// Whether the shell took the icon. At log-on the taskbar may exist yet refuse the add
// while it is busy; without a second try the program would stay invisible.
bool TrayIconShown;
// What a new taskbar broadcasts; 0 until the icon is first added.
UINT TaskbarCreated;

// The taskbar's notification area; both windows have empty titles, and an empty title
// (not a null one) is asked for so that nothing else of the class matches.
HWND FindTrayNotifyWindow() {
    HWND taskbar = FindWindowA("Shell_TrayWnd", "");
    if (taskbar == NULL)
        return NULL;
    return FindWindowExA(taskbar, NULL, "TrayNotifyWnd", "");
}

// A busy shell (at log-on) can time out on an add that it then carries out: a modify that
// succeeds shows the icon is there, and the watchdog must not add it again every second.
bool AddIcon() {
    return Shell_NotifyIconA(NIM_ADD, &TrayIconData) ||
           Shell_NotifyIconA(NIM_MODIFY, &TrayIconData);
}

// A new notification area: whatever the shell had of us is gone or stale.
void PutIconBack() {
    Shell_NotifyIconA(NIM_DELETE, &TrayIconData);
    TrayIconShown = AddIcon();
}

// Since Vista a program that runs elevated hears no broadcast from the shell, which does
// not, unless it lets the message through: Windows 7 for one window, Vista for the process.
void AllowShellMessage(HWND window, UINT message) {
    typedef BOOL(WINAPI * WindowFilter)(HWND, UINT, DWORD, void*);
    typedef BOOL(WINAPI * ProcessFilter)(UINT, DWORD);
    const DWORD kAllow = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD of the process-wide form
    WindowFilter windowFilter = (WindowFilter)User32Function("ChangeWindowMessageFilterEx");
    ProcessFilter processFilter = (ProcessFilter)User32Function("ChangeWindowMessageFilter");
    if (windowFilter != NULL)
        windowFilter(window, message, kAllow, NULL);
    else if (processFilter != NULL)
        processFilter(message, kAllow);
}

}  // namespace

BOOL AddTrayIcon(HWND window) {
    // At the system's small-icon size, which grows with the display's scaling: the program's
    // shared small icon, loaded at that size already for its window classes. The shell
    // keeps its own copy, so this feature makes no icon of its own.
    HICON icon = GetAppIcon(false);
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = TRAY_DATA_SIZE;
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = icon;
    CopyTextBounded(data.szTip, "", TRAY_TIP_SIZE);
    // Without a taskbar yet, or with a busy one, this fails; the watchdog tries again.
    TrayIconData = data;
    TrayIconShown = AddIcon();
    UpdateTrayTip();
    TrayNotifyWindow = FindTrayNotifyWindow();
    SetTimer(window, TRAY_WATCHDOG_TIMER, TRAY_WATCHDOG_PERIOD, TrayWatchdog);
    TaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    if (TaskbarCreated != 0)
        AllowShellMessage(window, TaskbarCreated);
    return TRUE;
}

BOOL UpdateTrayTip() {
    DisplayModeRecord mode;
    GetCurrentDisplayMode(&mode);
    FormatText(TrayIconData.szTip, TRAY_TIP_SIZE, "%dx%d %d bits %d Hz", (int)mode.dmPelsWidth,
               (int)mode.dmPelsHeight, (int)mode.dmBitsPerPel, (int)mode.dmDisplayFrequency);
    Shell_NotifyIconA(NIM_MODIFY, &TrayIconData);
    return TRUE;
}

void CALLBACK TrayWatchdog(HWND, UINT, UINT_PTR, DWORD) {
    if (TrayNotifyWindow != NULL && !IsWindow(TrayNotifyWindow))
        TrayNotifyWindow = NULL;
    if (TrayNotifyWindow == NULL) {
        TrayNotifyWindow = FindTrayNotifyWindow();
        if (TrayNotifyWindow != NULL) {
            PutIconBack();
            return;
        }
    }
    if (!TrayIconShown)
        TrayIconShown = AddIcon();
}

// Windows 98 and later announce a new taskbar. On Windows 9x its notification area can
// have the old one's handle, which the watchdog cannot tell from the old one.
UINT TaskbarCreatedMessage() {
    return TaskbarCreated;
}

LRESULT OnTaskbarCreated() {
    TrayNotifyWindow = FindTrayNotifyWindow();
    PutIconBack();
    return 0;
}

BOOL RemoveTrayIcon(HWND window) {
    KillTimer(window, TRAY_WATCHDOG_TIMER);
    Shell_NotifyIconA(NIM_DELETE, &TrayIconData);
    TrayIconShown = false;
    return TRUE;
}

LRESULT OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam) {
    // Menus open on button release, and only after the shell's call has returned.
    if (wParam == TRAY_ICON_ID && lParam == WM_LBUTTONUP) {
        PostMessageA(window, WM_SHOWMODEMENU, 0, 0);
        return 0;
    }
    if (wParam == TRAY_ICON_ID && lParam == WM_RBUTTONUP) {
        PostMessageA(window, WM_SHOWMAINMENU, 0, 0);
        return 0;
    }
    return DefWindowProcA(window, WM_TRAYNOTIFY, wParam, lParam);
}

LRESULT OnShowMainMenu(HWND window) {
    TrackResourceMenuAtCursor(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDM_MAINMENU), 0, window,
                              TPM_BOTTOMALIGN | TPM_RIGHTBUTTON);
    return 0;
}
