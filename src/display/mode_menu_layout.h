// Column layout of the resolution menu: which items are separators and which begin a new
// column, worked out from the colour depths alone so that it runs without the system.
#pragma once

#include <stdint.h>

// The menu flags the layout hands out (MF_MENUBARBREAK, MF_SEPARATOR).
const uint32_t kModeItemColumnBreak = 0x20;
const uint32_t kModeItemSeparator = 0x800;

// One appended entry: a separator (mode -1, flags kModeItemSeparator) or the item of
// catalogue entry mode, whose flags are 0 or kModeItemColumnBreak.
struct ModeMenuEntry {
    int mode;
    uint32_t flags;
};

typedef void (*ModeMenuSink)(void* context, const ModeMenuEntry& entry);

// Rows per menu column: screen height over a menu row (menu-bar height plus 2 pixels),
// never below 1, so that a tiny screen or a broken metric still gives a usable layout.
int RowsPerColumn(int screenHeight, int menuBarHeight);

// Lays out count catalogue entries, depths[i] being entry i's colour depth, in columns of
// rowsPerColumn rows (taken as at least 1), calling sink once per entry in menu order.
// A depth group that does not fit into the rows left begins a new column; one that fits
// follows a separator; inside a group the item at row rowsPerColumn - 1 begins a column.
void LayOutModeMenu(const uint32_t* depths, int count, int rowsPerColumn, ModeMenuSink sink,
                    void* context);
