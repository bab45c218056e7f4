// The magnifier: an always-on-top window showing an enlarged part of the screen, which the
// user picks by dragging from the window or with the arrow keys.
#ifndef KELVARIN_TOOLS_LOUPE_H
#define KELVARIN_TOOLS_LOUPE_H

#include <windows.h>

extern const char kLoupeClass[];
extern const char kLoupeSection[];

HWND CreateLoupeWindow(HINSTANCE instance, HWND owner, DWORD style, DWORD exStyle);
LRESULT CALLBACK LoupeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
