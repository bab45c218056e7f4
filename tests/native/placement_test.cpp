// Placement of a window centred on the cursor and kept inside the work area, and of a
// stored window position brought back inside the virtual screen.
#include "base/placement.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

void ExpectPlaced(int x, int y, PlacementPoint got) {
    EXPECT_EQ(x, got.x);
    EXPECT_EQ(y, got.y);
}

TEST(PlaceRectAtPoint, StaysInsideAWorkAreaAboveABottomTaskbar) {
    const PlacementRect work = {0, 0, 1024, 740};  // 1024x768 screen, 28-pixel taskbar
    ExpectPlaced(362, 284, PlaceRectAtPoint(300, 200, 512, 384, work));
    ExpectPlaced(0, 0, PlaceRectAtPoint(300, 200, 0, 0, work));
    ExpectPlaced(724, 0, PlaceRectAtPoint(300, 200, 1023, 0, work));
    ExpectPlaced(0, 540, PlaceRectAtPoint(300, 200, 0, 767, work));
    // Bottom-right corner, on the taskbar: right and bottom edges on the work area's.
    ExpectPlaced(724, 540, PlaceRectAtPoint(300, 200, 1023, 767, work));
}

TEST(PlaceRectAtPoint, AlignsAnOversizedWindowWithLeftAndTop) {
    const PlacementRect work = {100, 50, 900, 700};
    ExpectPlaced(100, 50, PlaceRectAtPoint(1000, 800, 500, 400, work));
    ExpectPlaced(100, 50, PlaceRectAtPoint(1000, 800, 899, 699, work));
    ExpectPlaced(100, 50, PlaceRectAtPoint(800, 650, 899, 699, work));    // exactly the area
    ExpectPlaced(100, 400, PlaceRectAtPoint(1000, 300, 899, 699, work));  // wide only
}

TEST(PlaceRectAtPoint, SubtractsHalfSizesTruncated) {
    const PlacementRect work = {0, 0, 1024, 740};
    ExpectPlaced(350, 300, PlaceRectAtPoint(301, 201, 500, 400, work));
    ExpectPlaced(500, 400, PlaceRectAtPoint(1, 1, 500, 400, work));
}

TEST(PlaceRectAtPoint, HandlesWorkAreasLeftOfAndAboveThePrimary) {
    const PlacementRect work = {-1280, -200, 0, 824};
    ExpectPlaced(-400, -140, PlaceRectAtPoint(400, 300, -5, 10, work));
    ExpectPlaced(-1280, -200, PlaceRectAtPoint(400, 300, -1279, -199, work));
    ExpectPlaced(-841, 373, PlaceRectAtPoint(401, 301, -641, 523, work));
}

// A position saved at a larger mode or on a monitor since removed comes back whole; where
// the virtual-screen metrics give 0 (Windows 95, NT 4) the primary screen stands in.
TEST(KeepRectInside, BringsStoredPositionsBackInsideTheVirtualScreen) {
    const PlacementRect screen = VirtualScreenRect(0, 0, 0, 0, 800, 600);
    ExpectPlaced(672, 472, KeepRectInside(1500, 900, 128, 128, screen));
    ExpectPlaced(10, 20, KeepRectInside(10, 20, 128, 128, screen));
    ExpectPlaced(0, 0, KeepRectInside(-1000, -5, 1000, 700, screen));
    ExpectPlaced(0, 0, KeepRectInside(INT_MAX, INT_MIN, INT_MAX, INT_MAX, screen));
    const PlacementRect both = VirtualScreenRect(-1280, -200, 2304, 1024, 1024, 768);
    ExpectPlaced(-1280, 700, KeepRectInside(-3000, 800, 200, 124, both));
    ExpectPlaced(500, -200, KeepRectInside(500, -900, 200, 124, both));
}

}  // namespace
