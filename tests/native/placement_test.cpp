// Placement of a window centred on the cursor and kept inside the work area.
#include "base/placement.h"

#include <gtest/gtest.h>

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

}  // namespace
