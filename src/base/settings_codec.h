// How settings values are written as INI text and read back; no operating system here.
#ifndef KELVARIN_BASE_SETTINGS_CODEC_H
#define KELVARIN_BASE_SETTINGS_CODEC_H

#include <stddef.h>

#include "base/app_info.h"

// The decimal number at the start of text (after optional blanks and sign, as sscanf
// reads "%d"), or fallback when there is none. Text after the number is ignored.
int ParseIniInt(const char* text, int fallback);
// Any number other than 0 is true; no number gives fallback.
bool ParseIniBool(const char* text, bool fallback);
// The INI key holds modifiers × 256 + vk, each cut to its low 8 bits.
int EncodeHotkey(const HotkeySpec& hotkey);
// Bits above the low 16 are dropped: modifiers = bits 8-15, vk = bits 0-7.
HotkeySpec DecodeHotkey(int value);
// Writes "%d" of value into out (capacity size), always terminated.
void FormatIniInt(char* out, size_t size, int value);

#endif
