// The text the cursor coordinate window is sized for. No operating system here.
#ifndef KELVARIN_TOOLS_CURINF_TEXT_H
#define KELVARIN_TOOLS_CURINF_TEXT_H

#include <stddef.h>

// "[8888, 8888]", with more eights where a coordinate of the virtual screen (left..right-1,
// top..bottom-1) has more than four digits and a minus where it can be negative: the
// widest text the window can show. Always terminated.
void FormatCoordinateSizingText(char* out, size_t size, int left, int top, int right, int bottom);

#endif
