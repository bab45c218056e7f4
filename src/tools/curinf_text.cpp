// The coordinate window's sizing text (see curinf_text.h).
#include "tools/curinf_text.h"

#include "base/text.h"

namespace {

const int kMinimumDigits = 4;

// One coordinate of low..high-1 at its widest: a minus if any is negative, then an eight
// for each digit of the largest magnitude. out holds at least 13 bytes.
void FormatWidestCoordinate(char* out, int low, int high) {
    long long widest = (long long)high - 1;
    if (-(long long)low > widest)
        widest = -(long long)low;
    int digits = 1;
    for (long long rest = widest; rest >= 10; rest /= 10)
        ++digits;
    if (digits < kMinimumDigits)
        digits = kMinimumDigits;
    char* p = out;
    if (low < 0)
        *p++ = '-';
    while (digits-- > 0)
        *p++ = '8';
    *p = '\0';
}

}  // namespace

void FormatCoordinateSizingText(char* out, size_t size, int left, int top, int right, int bottom) {
    char x[16], y[16];
    FormatWidestCoordinate(x, left, right);
    FormatWidestCoordinate(y, top, bottom);
    FormatText(out, size, "[%s, %s]", x, y);
}
