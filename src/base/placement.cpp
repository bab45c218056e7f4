// Placement arithmetic for windows opened at the mouse cursor (PlaceWindowAtCursor).
#include "base/placement.h"

namespace {

// Moves a span of the given length starting at start so that it ends by high, then so
// that it starts at or after low; the second move wins when the span is longer than the room.
int ClampSpan(int start, int length, int low, int high) {
    if (start + length > high) {
        start = high - length;
    }
    if (start < low) {
        start = low;
    }
    return start;
}

}  // namespace

PlacementPoint PlaceRectAtPoint(int width, int height, int cursorX, int cursorY,
                                const PlacementRect& workArea) {
    PlacementPoint point;
    // C++ division truncates toward zero, as the half-size offset requires.
    point.x = ClampSpan(cursorX - width / 2, width, workArea.left, workArea.right);
    point.y = ClampSpan(cursorY - height / 2, height, workArea.top, workArea.bottom);
    return point;
}
