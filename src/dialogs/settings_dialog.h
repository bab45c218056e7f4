// The settings dialog (resource 124): the capture folder and the three global hotkeys,
// edited on a working copy and saved to the INI file at once when confirmed.
#ifndef KELVARIN_DIALOGS_SETTINGS_DIALOG_H
#define KELVARIN_DIALOGS_SETTINGS_DIALOG_H

#include <windows.h>

#include "base/app_info.h"

// Modal, owned by the main window; a second request brings the open dialog to the front.
// Its caller releases the hotkeys while it is open, so that the current keys can be typed
// into its fields without firing, and registers them again however it closes.
BOOL ShowSettingsDialog(HWND window, AppInfo* appInfo);
// True when the dialog is open, which then comes to the front.
bool BringSettingsDialogToFront();
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Stores the dialog's values in the working copy; false (after saying so) on a clash.
BOOL CollectSettings(HWND dialog);
BOOL SetHotkeyControl(HWND dialog, int controlId, const HotkeySpec& hotkey);
BOOL GetHotkeyControl(HWND dialog, int controlId, HotkeySpec* hotkey);
// True when the user chose a folder with a file-system path, then in resultPath (260
// bytes or more); initialPath is preselected.
BOOL PickFolder(HWND owner, const char* title, const char* initialPath, char* resultPath);

#endif
