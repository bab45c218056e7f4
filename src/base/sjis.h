// Shift-JIS (code page 932) aware path and text routines. A double-byte character's
// second byte can be 0x5C or an ASCII letter, so every cut, join or case change must
// know where characters begin. No state, no allocation, no operating system.
#ifndef KELVARIN_BASE_SJIS_H
#define KELVARIN_BASE_SJIS_H

#include <stddef.h>

enum SjisKind { SJIS_SINGLE = 0, SJIS_LEAD = 1, SJIS_TRAIL = 2 };

// Kind of the byte at index, found by walking from the first byte; the terminator and
// anything past it are SJIS_SINGLE.
SjisKind SjisByteKind(const char* text, size_t index);
bool IsRealBackslash(const char* text, size_t index);
const char* SjisNextChar(const char* p);
char* SjisNextChar(char* p);
// Lowercases the single-byte letters A-Z; bytes of double-byte characters stay.
void LowerAsciiLetters(char* text);
char* TextEnd(char* text);
const char* TextEnd(const char* text);
// The period that starts the last component's extension, or the terminator.
char* FindExtension(char* path);
// Cuts the extension with its period; returns the extension text or the terminator.
char* RemoveExtension(char* path);
// Cuts the last real backslash and what follows; returns the cut component or path.
char* RemoveLastComponent(char* path);
// Joins folder and name into dest (capacity size, 1 or more) with one separator;
// "." keeps the folder and ".." goes up one level. The result never exceeds size - 1
// bytes: an over-long result is cut as CopyTextBounded cuts, never mid-character, and
// then false is returned, so that no caller uses a cut path as if it were whole.
// A folder ending in an unpaired lead byte is refused: false and an empty result.
bool JoinPath(char* dest, size_t size, const char* folder, const char* name);
// Copies at most size - 1 bytes (size 1 or more), never splitting a double-byte
// character at the cut, and always terminates.
void CopyTextBounded(char* dest, const char* src, size_t size);

#endif
