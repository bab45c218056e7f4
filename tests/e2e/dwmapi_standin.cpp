// A desktop-composition library whose one answer is "composed": planted in the system
// folder for Kelvarin.exe alone (see composition.h), it lets the capture take its composed
// path under Wine, whose own DwmIsCompositionEnabled answers FALSE.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI DwmIsCompositionEnabled(BOOL* enabled) {
    *enabled = TRUE;
    return S_OK;
}
