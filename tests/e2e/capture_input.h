// What the capture tests and benchmarks do as a user: set the capture folder and the two
// capture hotkeys in the settings file, and press those keys.
#ifndef KELVARIN_TESTS_E2E_CAPTURE_INPUT_H
#define KELVARIN_TESTS_E2E_CAPTURE_INPUT_H

#include <windows.h>

#include <stdio.h>

#include <string>

namespace e2e {

// Ctrl+Shift+F7 captures the desktop, Ctrl+Shift+F8 the foreground window.
const UINT kCaptureModifiers = MOD_CONTROL | MOD_SHIFT;
const UINT kDesktopKey = VK_F7;
const UINT kWindowKey = VK_F8;

inline void WriteCaptureSettings(const std::string& ini, const std::string& folder) {
    char value[16];
    WritePrivateProfileStringA("Kelvarin", "画像ファイルの保存先フォルダ", folder.c_str(),
                               ini.c_str());
    snprintf(value, sizeof value, "%u", kCaptureModifiers * 256 + kDesktopKey);
    WritePrivateProfileStringA("Kelvarin", "ｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ", value, ini.c_str());
    snprintf(value, sizeof value, "%u", kCaptureModifiers * 256 + kWindowKey);
    WritePrivateProfileStringA("Kelvarin", "壁紙に設定", value, ini.c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());
}

inline void PressCaptureKey(UINT vk) {
    const WORD keys[] = {VK_CONTROL, VK_SHIFT, static_cast<WORD>(vk)};
    INPUT inputs[6];
    ZeroMemory(inputs, sizeof inputs);
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = inputs[5 - i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = inputs[5 - i].ki.wVk = keys[i];
        inputs[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(6, inputs, sizeof(INPUT));
}

}  // namespace e2e

#endif
