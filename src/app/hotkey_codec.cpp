// Hotkey control value translation (see hotkey_codec.h).
#include "app/hotkey_codec.h"

const HotkeyModifierPair HotkeyModifierMap[4] = {
    {0x08, 0x08},  // HOTKEYF_EXT     -> the extended-key mark (the value of MOD_WIN)
    {0x04, 0x01},  // HOTKEYF_ALT     -> MOD_ALT
    {0x02, 0x02},  // HOTKEYF_CONTROL -> MOD_CONTROL
    {0x01, 0x04},  // HOTKEYF_SHIFT   -> MOD_SHIFT
};

bool IsEmptyHotkey(const HotkeySpec& spec) {
    return spec.modifiers == 0 && spec.vk == 0;
}

uint16_t HotkeyToControlValue(const HotkeySpec& spec) {
    unsigned flags = 0;
    for (const HotkeyModifierPair& pair : HotkeyModifierMap) {
        if (spec.modifiers & pair.modifier)
            flags |= pair.controlFlag;
    }
    return static_cast<uint16_t>(flags * 256 + (spec.vk & 0xFF));
}

HotkeySpec HotkeyFromControlValue(uint32_t value) {
    HotkeySpec spec = {0, value & 0xFF};
    unsigned flags = (value >> 8) & 0xFF;
    for (const HotkeyModifierPair& pair : HotkeyModifierMap) {
        if (flags & pair.controlFlag)
            spec.modifiers |= pair.modifier;
    }
    return spec;
}

uint32_t RegisteredModifiers(const HotkeySpec& spec) {
    return spec.modifiers & ~static_cast<uint32_t>(HOTKEY_EXTENDED_MODIFIER);
}
