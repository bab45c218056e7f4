// The magnifier's arithmetic: which screen rectangle it shows, the frame that marks it,
// zoom steps from the scroll bar, the wheel and the keys. No operating system here.
#ifndef KELVARIN_TOOLS_LOUPE_GEOMETRY_H
#define KELVARIN_TOOLS_LOUPE_GEOMETRY_H

#include <stddef.h>

enum { LOUPE_MIN_ZOOM = 1, LOUPE_MAX_ZOOM = 16, LOUPE_DEFAULT_ZOOM = 2 };

// Scroll-bar codes as the system numbers them.
enum {
    LOUPE_SB_LINEUP = 0,
    LOUPE_SB_LINEDOWN = 1,
    LOUPE_SB_PAGEUP = 2,
    LOUPE_SB_PAGEDOWN = 3,
    LOUPE_SB_THUMBTRACK = 5
};

// A rectangle by its edges; right and bottom are exclusive.
struct LoupeRect {
    int left;
    int top;
    int right;
    int bottom;
};

// A client length shown at zoom: one more screen pixel than fits, so that the stretched
// picture always covers the client area. zoom must be at least 1.
int LoupeSourceLength(int clientLength, int zoom);

// The screen rectangle of size width x height centred on the focus point, moved inside
// screen (the virtual screen: its left and top can be negative).
LoupeRect LoupeSourceRect(int focusX, int focusY, int width, int height, const LoupeRect& screen);

// The drag frame: LOUPE_FRAME_WIDTH rings of one pixel round the source rectangle, wholly
// outside it so that a copy of the source never shows them. The four bars (top, bottom,
// left, right) of the ring distance pixels out (1: the one next to the source).
enum { LOUPE_FRAME_WIDTH = 2 };
void LoupeFrameBars(const LoupeRect& source, int distance, LoupeRect bars[4]);

// A stored zoom brought into 1..16: anything below becomes 1, anything above 16.
int ClampLoupeZoom(int zoom);

// The zoom after a WM_VSCROLL of code (thumb: the thumb position), kept in 1..16.
int LoupeZoomAfterScroll(int zoom, int code, unsigned thumb);

// The scroll requests a wheel turn stands for.
struct LoupeWheelScroll {
    int code;
    int count;
};

// delta: the signed wheel delta; lines: the system's wheel-lines setting (0xFFFF and
// above scroll by pages). Turns under one notch give no steps. The count is capped where
// any further step could not change a zoom of 1..16.
LoupeWheelScroll LoupeWheelToScroll(int delta, unsigned lines);

// What an arrow key does: with Ctrl a scroll code to send to the window, without Ctrl a
// one-pixel step of the focus point. handled is false for every other key.
struct LoupeKeyAction {
    bool handled;
    int scrollCode;  // -1: none
    int dx;
    int dy;
};

LoupeKeyAction LoupeKeyToAction(unsigned vk, bool control);

// value kept in low..high-1.
int ClampToSpan(int value, int low, int high);

// The caption "(%d,%d-%d,%d) %d 倍" of the source rectangle and the zoom, always terminated.
void FormatLoupeCaption(char* out, size_t size, const LoupeRect& source, int zoom);

#endif
