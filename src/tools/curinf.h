// The cursor coordinate window: a small borderless always-on-top window showing the mouse
// pointer's screen coordinates, moved by dragging it anywhere.
#ifndef KELVARIN_TOOLS_CURINF_H
#define KELVARIN_TOOLS_CURINF_H

#include <windows.h>

extern const char kCurInfClass[];
extern const char kCurInfSection[];

HWND CreateCurInfWindow(HINSTANCE instance, HWND owner);
LRESULT CALLBACK CurInfWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
