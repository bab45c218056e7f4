// The resolution menu and the mode switch (see resolution_menu.h).
#include "display/resolution_menu.h"

#include "base/text.h"
#include "base/winutil.h"
#include "display/mode_menu_layout.h"
#include "resource.h"

static_assert(kModeItemColumnBreak == MF_MENUBARBREAK, "layout flags are menu flags");
static_assert(kModeItemSeparator == MF_SEPARATOR, "layout flags are menu flags");

namespace {

// Entries of the last build; ids at or above it came from no menu this program showed.
int DisplayModeCount;

struct MenuFill {
    HMENU menu;
    const DisplayModeRecord* table;
};

void AppendModeMenuEntry(void* context, const ModeMenuEntry& entry) {
    const MenuFill* fill = static_cast<const MenuFill*>(context);
    if (entry.flags == kModeItemSeparator) {
        AppendMenuA(fill->menu, MF_SEPARATOR, 0, NULL);
        return;
    }
    const DisplayModeRecord& mode = fill->table[entry.mode];
    char text[64];
    FormatText(text, sizeof text, "%dx%d %d bits", (int)mode.dmPelsWidth, (int)mode.dmPelsHeight,
               (int)mode.dmBitsPerPel);
    AppendMenuA(fill->menu, MF_STRING | entry.flags, (UINT_PTR)entry.mode, text);
}

}  // namespace

int RebuildDisplayModeCatalogue() {
    DisplayModeCount = BuildDisplayModeTable(DisplayModeTable, kDisplayModeTableCapacity);
    return DisplayModeCount;
}

namespace {

// The catalogue just built, in place of the placeholder item.
void PrepareResolutionMenu(HMENU popup) {
    FillResolutionMenu(popup, DisplayModeTable, DisplayModeCount);
    DeleteMenu(popup, IDM_NOMODES, MF_BYCOMMAND);
}

}  // namespace

void ShowResolutionMenu(HWND window) {
    RebuildDisplayModeCatalogue();
    TrackResourceMenuAtCursor(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDM_MAINMENU), 1, window,
                              TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, NULL, PrepareResolutionMenu);
}

void FillResolutionMenu(HMENU menu, const DisplayModeRecord* table, int count) {
    if (count > kDisplayModeTableCapacity)
        count = kDisplayModeTableCapacity;
    uint32_t depths[kDisplayModeTableCapacity];
    for (int i = 0; i < count; ++i)
        depths[i] = table[i].dmBitsPerPel;
    MenuFill fill = {menu, table};
    LayOutModeMenu(depths, count, GetMenuRowsPerColumn(), AppendModeMenuEntry, &fill);
    CheckCurrentDisplayMode(menu, table, count);
}

void CheckCurrentDisplayMode(HMENU menu, const DisplayModeRecord* table, int count) {
    DisplayModeRecord current;
    GetCurrentDisplayMode(&current);
    // Separators carry id 0 too, but mode item 0 always comes before any separator, and
    // a search by command finds the first.
    for (int i = 0; i < count; ++i) {
        if (IsSameDisplayMode(&table[i], &current))
            CheckMenuItemIf(menu, (UINT)i, MF_BYCOMMAND, 1);
    }
}

int GetMenuRowsPerColumn() {
    return RowsPerColumn(GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CYMENU));
}

LRESULT SwitchDisplayMode(HWND window, WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (id >= (UINT)kDisplayModeTableCapacity)
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    // Beyond the last build the table holds a leftover of a longer one, or nothing.
    if (id >= (UINT)DisplayModeCount)
        return 0;
    DisplayModeRecord requested;
    DisplayModeRecord current;
    GetDisplayModeEntry(id, &requested);
    const bool haveCurrent = GetCurrentDisplayMode(&current) != FALSE;
    if (IsSameDisplayMode(&requested, &current))
        return 0;
    // Stored for the user too, so the mode outlives this session.
    const LONG result = DisplayModeSystem.change(AsDevMode(&requested), CDS_UPDATEREGISTRY);
    // A mode that needs a restart is refused as well: the previous mode comes back. An
    // unread previous mode is a blank record, which is no mode to go back to.
    if (result != DISP_CHANGE_SUCCESSFUL && haveCurrent)
        DisplayModeSystem.change(AsDevMode(&current), CDS_UPDATEREGISTRY);
    return 0;
}
