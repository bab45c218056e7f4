// Text routines the program needs with no C runtime underneath: formatting for the few
// formats it prints, a saturating decimal reader, the byte-string basics and an in-place
// sort. No operating system here.
#ifndef KELVARIN_BASE_TEXT_H
#define KELVARIN_BASE_TEXT_H

#include <stdarg.h>
#include <stddef.h>

// snprintf for %d %i %u %x %X %c %s and %%, with the '0' and '-' flags and a decimal field
// width: writes at most size - 1 bytes and a terminator (when size > 0) and returns the
// length the whole text has, so that a result >= size means it was cut.
int FormatText(char* out, size_t size, const char* format, ...);
int FormatTextV(char* out, size_t size, const char* format, va_list args);

// "%d" reading: optional blanks and sign, then decimal digits, the rest ignored. A number
// beyond the int range saturates at its limits. False when no digit follows.
bool ReadDecimal(const char* text, int* value);

size_t TextLength(const char* text);
int CompareText(const char* a, const char* b);
// The first c in text (c may be the terminator), or NULL.
const char* FindChar(const char* text, char c);

// Sorts count records of size bytes in place with compare's order (a qsort comparator):
// a heap sort, O(n log n) with no memory of its own. Like qsort, it keeps no order among
// records that compare equal.
void SortRecords(void* records, size_t count, size_t size,
                 int (*compare)(const void*, const void*));

#endif
