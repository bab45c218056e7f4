// The resolution menu opened from the tray icon: the display mode catalogue laid out in
// columns by colour depth with the mode in force checked, and the switch to the chosen mode.
#ifndef KELVARIN_DISPLAY_RESOLUTION_MENU_H
#define KELVARIN_DISPLAY_RESOLUTION_MENU_H

#include <windows.h>

#include "display/display_modes.h"

// Rebuilds DisplayModeTable from the system and keeps its count, the limit of the mode
// ids the switch accepts until the next rebuild. Returns that count.
int RebuildDisplayModeCatalogue();

// Rebuilds the catalogue, shows it as a popup at the cursor owned by window and returns
// once the menu is dismissed; a chosen item reaches window as WM_COMMAND with its index.
void ShowResolutionMenu(HWND window);

// Appends one item "%dx%d %d bits" per entry, id = index, in columns, and checks the mode
// in force.
void FillResolutionMenu(HMENU menu, const DisplayModeRecord* table, int count);
void CheckCurrentDisplayMode(HMENU menu, const DisplayModeRecord* table, int count);

// Menu rows that fit the screen's height, at least 1.
int GetMenuRowsPerColumn();

// WM_COMMAND for an id the router does not own. An id below 4095 is a catalogue index:
// switches to that mode (stored for the user) and puts the previous mode back when the
// system refuses; returns 0. Other ids go to DefWindowProcA.
LRESULT SwitchDisplayMode(HWND window, WPARAM wParam, LPARAM lParam);

#endif
