// The main window procedure and its routing of commands and hotkeys (see main_window.h).
#include "app/main_window.h"

#include <shellapi.h>
#include <string.h>

#include "app/hotkeys.h"
#include "app/tray.h"
#include "base/app_info.h"
#include "base/settings.h"
#include "base/system_path.h"
#include "base/winutil.h"
#include "capture/capture.h"
#include "dialogs/about_box.h"
#include "dialogs/settings_dialog.h"
#include "display/resolution_menu.h"
#include "resource.h"
#include "tools/curinf.h"
#include "tools/loupe.h"
#include "wallpaper/wallpaper.h"

const char kMainWindowClass[] = "ZadeduDodavizUdur";

namespace {

AppInfo* GetAppInfo(HWND window) {
    return (AppInfo*)GetPropA(window, PROP_APPINFO);
}

HWND GetToolWindow(HWND window, const char* property) {
    return (HWND)GetPropA(window, property);
}

// The floating tool windows: toggled by a menu command, their handles kept in a
// property of the main window, and whether they are open remembered across starts.
typedef HWND (*ToolWindowFactory)(HINSTANCE instance, HWND owner);

struct ToolWindow {
    WORD command;
    const char* property;
    ToolWindowFactory create;  // null: the tool is not in this build
    uint8_t AppInfo::*openFlag;
};

// An always-on-top, sizable window with caption, system menu and the zoom scroll bar,
// without minimise and maximise boxes (0x10EC0000).
HWND CreateToolLoupeWindow(HINSTANCE instance, HWND owner) {
    return CreateLoupeWindow(instance, owner,
                             WS_VISIBLE | WS_CAPTION | WS_VSCROLL | WS_SYSMENU | WS_THICKFRAME,
                             WS_EX_TOPMOST);
}

const ToolWindow kToolWindows[] = {
    {IDM_LOUPE, PROP_LOUPEWINDOW, CreateToolLoupeWindow, &AppInfo::showLoupe},
    {IDM_CURINF, PROP_CURINFWINDOW, CreateCurInfWindow, &AppInfo::showCurInf},
};

const ToolWindow* FindToolWindow(WORD command) {
    for (const ToolWindow& tool : kToolWindows) {
        if (tool.command == command)
            return &tool;
    }
    return NULL;
}

// A property keeps its handle after the tool window has closed itself, so the handle is
// always tested for life.
LRESULT ToggleToolWindow(HWND window, WPARAM wParam, LPARAM) {
    const ToolWindow* tool = FindToolWindow(LOWORD(wParam));
    if (tool == NULL || tool->create == NULL)
        return 0;
    HWND current = GetToolWindow(window, tool->property);
    if (IsLiveWindow(current)) {
        SendMessageA(current, WM_CLOSE, 0, 0);  // it saves its own state and goes
        return 0;
    }
    SetPropA(window, tool->property, (HANDLE)tool->create(GetModuleHandleA(NULL), window));
    return 0;
}

// Which tool windows are open is what the next start reopens. A tool this build lacks
// keeps the flag it was loaded with, so its setting is not lost.
void RecordAndSave(HWND window) {
    AppInfo* info = GetAppInfo(window);
    if (info == NULL)
        return;
    for (const ToolWindow& tool : kToolWindows) {
        if (tool.create != NULL) {
            info->*tool.openFlag = IsLiveWindow(GetToolWindow(window, tool.property)) ? 1 : 0;
        }
    }
    SaveSettings(info);
}

// The display properties, started by the full path of the system's rundll32 so that no
// rundll32 in the current or the program's folder can stand in for it.
LRESULT OpenDisplayProperties(HWND window, WPARAM, LPARAM) {
    char program[MAX_PATH + 16];
    if (FindSystemProgram(kSystemFolderApi, "rundll32.exe", program, sizeof program))
        ShellExecuteA(window, NULL, program, "shell32.dll,Control_RunDLL desk.cpl,,3", NULL,
                      SW_SHOW);
    return 0;
}

// "設定": the dialog on the program's settings. The hotkeys are released while it is open,
// so that the current keys can be typed into its fields without firing, and registered
// again however it closes; a dialog already open only comes to the front.
LRESULT OpenSettings(HWND window, WPARAM, LPARAM) {
    AppInfo* info = GetAppInfo(window);
    if (info == NULL || BringSettingsDialogToFront())
        return 0;
    UnregisterAppHotkeys(window);
    ShowSettingsDialog(window, info);
    RegisterAppHotkeys(window, info);
    return 0;
}

LRESULT ExitProgram(HWND window, WPARAM, LPARAM) {
    SendMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT ApplyWallpaperStyle(HWND window, WPARAM wParam, LPARAM) {
    return SetWallpaperStyle(window, wParam);
}

LRESULT PeelOffWallpaper(HWND window, WPARAM, LPARAM) {
    return RemoveWallpaper(window);
}

void PeelOffWallpaperByHotkey(HWND window) {
    RemoveWallpaper(window);
}

typedef LRESULT (*CommandHandler)(HWND window, WPARAM wParam, LPARAM lParam);

struct CommandRoute {
    WORD id;
    CommandHandler handler;  // null: the feature is not in this build, the command is ignored
};

const CommandRoute kCommandRoutes[] = {
    {IDM_EXIT, ExitProgram},
    {IDM_ABOUT, AboutCommand},
    {IDM_WALLPAPER_CENTER, ApplyWallpaperStyle},
    {IDM_WALLPAPER_TILE, ApplyWallpaperStyle},
    {IDM_WALLPAPER_STRETCH, ApplyWallpaperStyle},
    {IDM_SETTINGS, OpenSettings},
    {IDM_REMOVE_WALLPAPER, PeelOffWallpaper},
    {IDM_LOUPE, ToggleToolWindow},
    {IDM_CURINF, ToggleToolWindow},
    {IDM_DISPLAY_PROPERTIES, OpenDisplayProperties},
};

typedef void (*HotkeyHandler)(HWND window);

struct HotkeyRoute {
    int id;
    HotkeyHandler handler;  // null: the feature is not in this build
};

const HotkeyRoute kHotkeyRoutes[] = {
    {HOTKEY_CAPTURE, CaptureDesktop},
    {HOTKEY_SET_WALLPAPER, CaptureWindowToWallpaper},
    {HOTKEY_REMOVE_WALLPAPER, PeelOffWallpaperByHotkey},
};

LRESULT OnCreate(HWND window, const CREATESTRUCTA* create) {
    AppInfo* info = (AppInfo*)create->lpCreateParams;
    SetPropA(window, PROP_APPINFO, (HANDLE)info);
    SetPropA(window, PROP_LOUPEWINDOW, NULL);
    SetPropA(window, PROP_CURINFWINDOW, NULL);
    AddTrayIcon(window);
    RegisterAppHotkeys(window, info);
    // Posted, so the tool windows open once creation has finished and the loop runs.
    if (info->showLoupe)
        PostMessageA(window, WM_COMMAND, IDM_LOUPE, 0);
    if (info->showCurInf)
        PostMessageA(window, WM_COMMAND, IDM_CURINF, 0);
    return 0;
}

LRESULT OnDestroy(HWND window) {
    RemovePropA(window, PROP_LOUPEWINDOW);
    RemovePropA(window, PROP_CURINFWINDOW);
    RemovePropA(window, PROP_APPINFO);
    UnregisterAppHotkeys(window);
    RemoveTrayIcon(window);
    PostQuitMessage(0);
    return 0;
}

LRESULT OnClose(HWND window) {
    RecordAndSave(window);
    DestroyWindow(window);
    return 0;
}

LRESULT OnQueryEndSession(HWND window) {
    RecordAndSave(window);
    return TRUE;
}

LRESULT OnDisplayChange() {
    UpdateTrayTip();
    return 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    WORD id = LOWORD(wParam);
    for (const CommandRoute& route : kCommandRoutes) {
        if (route.id == id)
            return route.handler ? route.handler(window, wParam, lParam) : 0;
    }
    // Resolution-menu items carry their catalogue index; the switch also passes anything
    // else on to the default procedure.
    return SwitchDisplayMode(window, wParam, lParam);
}

LRESULT OnInitMenu(HWND window, HMENU menu) {
    // The layout is read afresh each time: another program may have changed it.
    HKEY key = NULL;
    const bool opened = OpenDesktopKey(&key) != FALSE;
    CheckMenuItemIf(menu, (UINT)GetWallpaperStyleCommand(opened ? key : NULL), MF_BYCOMMAND, 1);
    if (opened)
        RegCloseKey(key);
    for (const ToolWindow& tool : kToolWindows) {
        CheckMenuItemIf(menu, tool.command, MF_BYCOMMAND,
                        IsLiveWindow(GetToolWindow(window, tool.property)) ? 1 : 0);
    }
    return 0;
}

LRESULT OnHotkey(HWND window, WPARAM id) {
    for (const HotkeyRoute& route : kHotkeyRoutes) {
        if ((WPARAM)route.id == id && route.handler != NULL)
            route.handler(window);
    }
    return 0;
}

LRESULT OnShowModeMenu(HWND window) {
    ShowResolutionMenu(window);
    return 0;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && message == TaskbarCreatedMessage())
        return OnTaskbarCreated();
    switch (message) {
        case WM_CREATE:
            return OnCreate(window, (const CREATESTRUCTA*)lParam);
        case WM_DESTROY:
            return OnDestroy(window);
        case WM_CLOSE:
            return OnClose(window);
        case WM_QUERYENDSESSION:
            return OnQueryEndSession(window);
        case WM_DISPLAYCHANGE:
            return OnDisplayChange();
        case WM_COMMAND:
            return OnCommand(window, wParam, lParam);
        case WM_INITMENU:
            return OnInitMenu(window, (HMENU)wParam);
        case WM_HOTKEY:
            return OnHotkey(window, wParam);
        case WM_TRAYNOTIFY:
            return OnTrayNotify(window, wParam, lParam);
        case WM_SHOWMODEMENU:
            return OnShowModeMenu(window);
        case WM_SHOWMAINMENU:
            return OnShowMainMenu(window);
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
