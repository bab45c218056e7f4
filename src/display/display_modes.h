// The display mode catalogue as the program uses it: the module-level table, filled from
// EnumDisplaySettingsA, and the query of the mode in force.
#pragma once

#include <windows.h>

#include "display/mode_catalogue.h"

// Capacity of DisplayModeTable; mode menu items use the indices 0 .. 4094 as command ids.
const int kDisplayModeTableCapacity = 4095;

// Rebuilt at each opening of the resolution menu; the valid count is what the build returned.
extern DisplayModeRecord DisplayModeTable[kDisplayModeTableCapacity];

// The system calls behind the catalogue and the mode switch. Tests and benchmarks put
// their own in place (a driver that refuses a mode, a catalogue of 4095 modes) and put
// the system's back afterwards.
struct DisplayModeCalls {
    BOOL(WINAPI* enumerate)(LPCSTR device, DWORD index, DEVMODEA* mode);
    LONG(WINAPI* change)(DEVMODEA* mode, DWORD flags);
};
extern DisplayModeCalls DisplayModeSystem;
extern const DisplayModeCalls kSystemDisplayModeCalls;

// Lists the desktop display's modes into table (at most capacity), sorted, one entry per
// depth and size with its highest refresh rate. Returns the number of entries.
int BuildDisplayModeTable(DisplayModeRecord* table, int capacity);

// Copies DisplayModeTable entry LOWORD(index) into record. Always TRUE.
BOOL GetDisplayModeEntry(UINT index, DisplayModeRecord* record);

// Fills record with the mode in force, from EnumDisplaySettingsA or, where that cannot
// tell (Windows 95), from the screen's device caps. On failure the record is a bare
// query (zero but dmSize and dmFields) and matches no catalogue entry.
BOOL GetCurrentDisplayMode(DisplayModeRecord* record);

// A catalogue record as the system's DEVMODEA; the record's dmSize keeps the system
// from writing past its 148 bytes although DEVMODEA is declared longer.
inline DEVMODEA* AsDevMode(DisplayModeRecord* record) {
    return reinterpret_cast<DEVMODEA*>(record);
}
