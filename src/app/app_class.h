// Window-class registration with the program's own icons, and the shell icons of files.
#ifndef KELVARIN_APP_APP_CLASS_H
#define KELVARIN_APP_APP_CLASS_H

#include <windows.h>

void RegisterAppClass(HINSTANCE instance, const char* className, WNDPROC procedure, UINT style,
                      const char* menuName, int stockObject);
// The program's own shell icons, fetched once and shared: never destroy them.
HICON GetAppIcon(bool large);
// A fresh shell icon that the caller owns and must destroy.
HICON GetModuleIcon(HINSTANCE instance, bool large);
HICON GetFileIcon(const char* path, bool large);
void SetWindowIcon(HWND window, WPARAM which, HICON icon);

#endif
