// INI value encodings of the settings (see settings_codec.h).
#include "base/settings_codec.h"

#include "base/text.h"

int ParseIniInt(const char* text, int fallback) {
    int value = 0;
    return ReadDecimal(text, &value) ? value : fallback;
}

bool ParseIniBool(const char* text, bool fallback) {
    int value = 0;
    return ReadDecimal(text, &value) ? value != 0 : fallback;
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
    FormatText(out, size, "%d", value);
}
