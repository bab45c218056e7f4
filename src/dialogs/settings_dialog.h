// The settings dialog (resource 124): the capture folder and the three global hotkeys,
// edited on a working copy and saved to the INI file at once when confirmed.
#ifndef KELVARIN_DIALOGS_SETTINGS_DIALOG_H
#define KELVARIN_DIALOGS_SETTINGS_DIALOG_H

#include <windows.h>

#include "app/app_info.h"

// Modal, owned by the main window; a second request brings the open dialog to the front.
// The hotkeys are released while it is open and registered again however it closes.
BOOL ShowSettingsDialog(HWND window, AppInfo* appInfo);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Stores the dialog's values in the working copy; false (after saying so) on a clash.
BOOL CollectSettings(HWND dialog);
BOOL SetHotkeyControl(HWND dialog, int controlId, const HotkeySpec& hotkey);
BOOL GetHotkeyControl(HWND dialog, int controlId, HotkeySpec* hotkey);
// True when the user chose a folder with a file-system path, then in resultPath (260
// bytes or more); initialPath is preselected.
BOOL PickFolder(HWND owner, const char* title, const char* initialPath, char* resultPath);

// Main-menu command "設定": the dialog on the main window's settings.
LRESULT SettingsCommand(HWND window, WPARAM wParam, LPARAM lParam);

#endif
