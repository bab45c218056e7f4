// The dialogs' rules that need no operating system: when two hotkeys clash, and the
// texts the About box builds, each bounded and cut only between characters.
#ifndef KELVARIN_DIALOGS_DIALOG_TEXT_H
#define KELVARIN_DIALOGS_DIALOG_TEXT_H

#include <stddef.h>

#include "base/app_info.h"

// Empty hotkeys never clash, however many there are; others clash when they register as
// the same combination: equal modifiers apart from the extended-key mark, and equal key.
bool IsSameHotkey(const HotkeySpec& a, const HotkeySpec& b);
// Pairs tested as the dialog reports them: first-second, first-third, second-third.
bool HotkeysClash(const HotkeySpec& first, const HotkeySpec& second, const HotkeySpec& third);

// The version resource's sub-block of one string value: "\StringFileInfo\<lang><cp>\name"
// in lower-case hexadecimal. False when it had to be cut to fit.
bool FormatVersionQuery(char* out, size_t size, unsigned language, unsigned codePage,
                        const char* name);
// "<product> について", "<product> ver. <version>" and the free-resources line; each
// is cut to size - 1 bytes without splitting a double-byte character.
void FormatAboutTitle(char* out, size_t size, const char* product);
void FormatVersionLine(char* out, size_t size, const char* product, const char* version);
void FormatSystemResourcesLine(char* out, size_t size, int percent);

#endif
