// Column layout of the resolution menu (see mode_menu_layout.h).
#include "display/mode_menu_layout.h"

int RowsPerColumn(int screenHeight, int menuBarHeight) {
    const int rowHeight = menuBarHeight + 2;
    if (rowHeight <= 0)
        return 1;
    const int rows = screenHeight / rowHeight;
    return rows < 1 ? 1 : rows;
}

void LayOutModeMenu(const uint32_t* depths, int count, int rowsPerColumn, ModeMenuSink sink,
                    void* context) {
    // The row counter wraps modulo the rows, so zero rows must never reach it.
    const int rows = rowsPerColumn < 1 ? 1 : rowsPerColumn;
    int row = 0;
    int i = 0;
    while (i < count) {
        int groupLength = 1;
        while (i + groupLength < count && depths[i + groupLength] == depths[i])
            ++groupLength;
        bool columnBreak = false;
        // Compared as rows - row so that a huge group cannot overflow the sum.
        if (groupLength > rows - row) {
            columnBreak = true;
            row = 0;
        }
        if (row > 0) {
            const ModeMenuEntry separator = {-1, kModeItemSeparator};
            sink(context, separator);
        }
        for (const int end = i + groupLength; i < end; ++i) {
            const ModeMenuEntry item = {
                i, (columnBreak || row + 1 >= rows) ? kModeItemColumnBreak : 0u};
            sink(context, item);
            columnBreak = false;
            row = (row + 1) % rows;
        }
    }
}
