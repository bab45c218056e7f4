// The magnifier's arithmetic (see loupe_geometry.h).
#include "tools/loupe_geometry.h"

#include "base/text.h"

namespace {

const int kWheelDelta = 120;
const unsigned kWheelPageScroll = 0xFFFF;  // this and above: the setting means "a page"
const unsigned kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28;

// The centre of a span of length on the screen's low..high, as near to focus as the
// screen allows. The low bound is tested first, so a span longer than the screen starts at
// its left or top edge.
int ClampCentre(int focus, int length, int low, int high) {
    int half = length / 2;
    if (focus < low + half)
        return low + half;
    if (focus > high - half - 1)
        return high - half - 1;
    return focus;
}

}  // namespace

int LoupeSourceLength(int clientLength, int zoom) {
    return clientLength / zoom + 1;
}

LoupeRect LoupeSourceRect(int focusX, int focusY, int width, int height, const LoupeRect& screen) {
    LoupeRect rect;
    rect.left = ClampCentre(focusX, width, screen.left, screen.right) - width / 2;
    rect.top = ClampCentre(focusY, height, screen.top, screen.bottom) - height / 2;
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

void LoupeFrameBars(const LoupeRect& source, int distance, LoupeRect bars[4]) {
    int l = source.left - distance, t = source.top - distance;
    int r = source.right + distance, b = source.bottom + distance;
    bars[0] = {l, t, r, t + 1};
    bars[1] = {l, b - 1, r, b};
    bars[2] = {l, t + 1, l + 1, b - 1};
    bars[3] = {r - 1, t + 1, r, b - 1};
}

int ClampLoupeZoom(int zoom) {
    if (zoom < LOUPE_MIN_ZOOM)
        return LOUPE_MIN_ZOOM;
    if (zoom > LOUPE_MAX_ZOOM)
        return LOUPE_MAX_ZOOM;
    return zoom;
}

int LoupeZoomAfterScroll(int zoom, int code, unsigned thumb) {
    switch (code) {
        case LOUPE_SB_LINEUP:
            --zoom;
            break;
        case LOUPE_SB_LINEDOWN:
            ++zoom;
            break;
        case LOUPE_SB_PAGEUP:
            zoom -= 2;
            break;
        case LOUPE_SB_PAGEDOWN:
            zoom += 2;
            break;
        case LOUPE_SB_THUMBTRACK:
            // An unsigned 16-bit position: anything above 16 clamps to 16.
            zoom = thumb > (unsigned)LOUPE_MAX_ZOOM ? LOUPE_MAX_ZOOM : (int)thumb;
            break;
        default:
            break;
    }
    return ClampLoupeZoom(zoom);
}

LoupeWheelScroll LoupeWheelToScroll(int delta, unsigned lines) {
    int notches = delta / kWheelDelta;
    if (notches < 0)
        notches = -notches;
    LoupeWheelScroll scroll;
    long long count;
    if (lines >= kWheelPageScroll) {
        scroll.code = delta > 0 ? LOUPE_SB_PAGEUP : LOUPE_SB_PAGEDOWN;
        count = notches;
    } else {
        scroll.code = delta > 0 ? LOUPE_SB_LINEUP : LOUPE_SB_LINEDOWN;
        count = (long long)notches * lines;
    }
    // Fifteen steps take any zoom from one end of 1..16 to the other; a huge wheel-lines
    // setting would otherwise mean millions of messages for one turn.
    scroll.count = count > LOUPE_MAX_ZOOM ? LOUPE_MAX_ZOOM : (int)count;
    return scroll;
}

LoupeKeyAction LoupeKeyToAction(unsigned vk, bool control) {
    LoupeKeyAction action = {false, -1, 0, 0};
    if (vk < kVkLeft || vk > kVkDown)
        return action;
    action.handled = true;
    if (control) {
        // Left and Up lower the zoom, Right and Down raise it.
        action.scrollCode = (vk == kVkLeft || vk == kVkUp) ? LOUPE_SB_LINEUP : LOUPE_SB_LINEDOWN;
    } else {
        action.dx = vk == kVkLeft ? -1 : vk == kVkRight ? 1 : 0;
        action.dy = vk == kVkUp ? -1 : vk == kVkDown ? 1 : 0;
    }
    return action;
}

int ClampToSpan(int value, int low, int high) {
    if (value < low)
        return low;
    if (value > high - 1)
        return high - 1;
    return value;
}

void FormatLoupeCaption(char* out, size_t size, const LoupeRect& source, int zoom) {
    FormatText(out, size, "(%d,%d-%d,%d) %d 倍", source.left, source.top, source.right,
               source.bottom, zoom);
}
