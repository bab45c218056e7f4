// Placement arithmetic (see placement.h): PlaceWindowAtCursor and the tool windows' restore.
#include "base/placement.h"

namespace {

// Moves a span of the given length starting at start so that it ends by high, then so
// that it starts at or after low; the second move wins when the span is longer than the room.
// In 64 bits: a stored position or size can be any int, and their sum must not overflow.
int ClampSpan(long long start, long long length, long long low, long long high) {
    if (start + length > high) {
        start = high - length;
    }
    if (start < low) {
        start = low;
    }
    return (int)start;
}

}  // namespace

PlacementPoint PlaceRectAtPoint(int width, int height, int cursorX, int cursorY,
                                const PlacementRect& workArea) {
    // C++ division truncates toward zero, as the half-size offset requires.
    return KeepRectInside(cursorX - width / 2, cursorY - height / 2, width, height, workArea);
}

PlacementPoint KeepRectInside(int left, int top, int width, int height, const PlacementRect& area) {
    PlacementPoint point;
    point.x = ClampSpan(left, width, area.left, area.right);
    point.y = ClampSpan(top, height, area.top, area.bottom);
    return point;
}

PlacementRect VirtualScreenRect(int x, int y, int width, int height, int screenWidth,
                                int screenHeight) {
    if (width <= 0 || height <= 0)
        return PlacementRect{0, 0, screenWidth, screenHeight};
    return PlacementRect{x, y, x + width, y + height};
}
