// Placement arithmetic for windows opened at the mouse cursor: centre on the cursor,
// then pull back inside the work area.
#pragma once

// A rectangle by its edges, as RECT; right and bottom are exclusive.
struct PlacementRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct PlacementPoint {
    int x;
    int y;
};

// Top-left corner for a width x height window centred on (cursorX, cursorY) and kept
// inside workArea. The right and bottom edges are pulled in first, then the left and top,
// so a window larger than the work area lines up with its left and top edges.
PlacementPoint PlaceRectAtPoint(int width, int height, int cursorX, int cursorY,
                                const PlacementRect& workArea);
