// Hotkey control value translation (see hotkey_codec.h).
#include "base/hotkey_codec.h"

const HotkeyModifierPair HotkeyModifierMap[4] = {
    {0x08, 0x08},  // HOTKEYF_EXT     -> the extended-key mark (the value of MOD_WIN)
    {0x04, 0x01},  // HOTKEYF_ALT     -> MOD_ALT
    {0x02, 0x02},  // HOTKEYF_CONTROL -> MOD_CONTROL
    {0x01, 0x04},  // HOTKEYF_SHIFT   -> MOD_SHIFT
};

bool IsEmptyHotkey(const HotkeySpec& hotkey) {
    return hotkey.modifiers == 0 && hotkey.vk == 0;
}

uint16_t HotkeyToControlValue(const HotkeySpec& hotkey) {
    unsigned flags = 0;
    for (const HotkeyModifierPair& pair : HotkeyModifierMap) {
        if (hotkey.modifiers & pair.modifier)
            flags |= pair.controlFlag;
    }
    return static_cast<uint16_t>(flags * 256 + (hotkey.vk & 0xFF));
}

HotkeySpec HotkeyFromControlValue(uint32_t value) {
    HotkeySpec hotkey = {0, value & 0xFF};
    unsigned flags = (value >> 8) & 0xFF;
    for (const HotkeyModifierPair& pair : HotkeyModifierMap) {
        if (flags & pair.controlFlag)
            hotkey.modifiers |= pair.modifier;
    }
    return hotkey;
}

uint32_t RegisteredModifiers(const HotkeySpec& hotkey) {
    return hotkey.modifiers & ~static_cast<uint32_t>(HOTKEY_EXTENDED_MODIFIER);
}
