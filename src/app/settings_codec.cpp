// INI value encodings of the settings (see settings_codec.h).
#include "app/settings_codec.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

namespace {

// "%d" reading: optional white space and sign, then decimal digits, the rest ignored.
// A number out of range (what "%d" leaves undefined) saturates at the int limits.
bool ParseDecimal(const char* text, int* value) {
    char* end = NULL;
    errno = 0;
    long number = strtol(text, &end, 10);
    if (end == text)
        return false;
    if (number > INT_MAX || (errno == ERANGE && number > 0))
        number = INT_MAX;
    if (number < INT_MIN || (errno == ERANGE && number < 0))
        number = INT_MIN;
    *value = static_cast<int>(number);
    return true;
}

}  // namespace

int ParseIniInt(const char* text, int fallback) {
    int value = 0;
    return ParseDecimal(text, &value) ? value : fallback;
}

bool ParseIniBool(const char* text, bool fallback) {
    int value = 0;
    return ParseDecimal(text, &value) ? value != 0 : fallback;
}

int EncodeHotkey(const HotkeySpec& hotkey) {
    return static_cast<int>((hotkey.modifiers & 0xFF) * 256 + (hotkey.vk & 0xFF));
}

HotkeySpec DecodeHotkey(int value) {
    unsigned bits = static_cast<unsigned>(value);
    HotkeySpec hotkey;
    hotkey.modifiers = (bits >> 8) & 0xFF;
    hotkey.vk = bits & 0xFF;
    return hotkey;
}

void FormatIniInt(char* out, size_t size, int value) {
    if (size == 0)
        return;
    snprintf(out, size, "%d", value);
    out[size - 1] = '\0';
}
