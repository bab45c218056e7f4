// Placement arithmetic: windows opened at the mouse cursor (centred on it, then pulled back
// inside the work area), and stored window positions brought back onto the screen.
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

// Top-left corner that brings a width x height rectangle at (left, top) inside area, its
// size kept. As above, the left and top edges win when it is larger than the area, so that
// a caption at the top is always reachable.
PlacementPoint KeepRectInside(int left, int top, int width, int height, const PlacementRect& area);

// The virtual screen (all monitors) from its four system metrics. Systems before multiple
// monitors answer 0 for them: the primary screen, screenWidth x screenHeight, stands in.
PlacementRect VirtualScreenRect(int x, int y, int width, int height, int screenWidth,
                                int screenHeight);
