// Functions that both Windows 95 and Windows NT 4.0 export, per system library, for the
// libraries the program may import. Functions that 95 exports only as a stub that fails
// (MoveFileExA, most "W" functions) are listed in kStubsOn95 instead: importing them is
// allowed only where the code falls back when they fail.
#ifndef KELVARIN_TESTS_WINE_LEGACY_EXPORTS_H
#define KELVARIN_TESTS_WINE_LEGACY_EXPORTS_H

struct LegacyLibrary {
    const char* dll;
    const char* const* functions;  // null-terminated
};

static const char* const kKernel32[] = {
    "AddAtomA", "CloseHandle", "CompareStringA", "CopyFileA", "CreateDirectoryA",
    "CreateEventA", "CreateFileA", "CreateMutexA", "CreateProcessA", "CreateThread",
    "DeleteCriticalSection", "DeleteFileA", "DuplicateHandle", "EnterCriticalSection", "ExpandEnvironmentStringsA",
    "ExitProcess", "ExitThread", "FileTimeToLocalFileTime", "FileTimeToSystemTime",
    "FindClose", "FindFirstFileA", "FindNextFileA", "FindResourceA", "FlushFileBuffers",
    "FormatMessageA", "FreeLibrary", "FreeResource", "GetACP", "GetCommandLineA",
    "GetCurrentDirectoryA", "GetCurrentProcess", "GetCurrentProcessId", "GetCurrentThread",
    "GetCurrentThreadId", "GetDiskFreeSpaceA", "GetDriveTypeA", "GetEnvironmentVariableA",
    "GetExitCodeProcess", "GetFileAttributesA", "GetFileSize", "GetFileType",
    "GetFullPathNameA", "GetLastError", "GetLocalTime", "GetModuleFileNameA",
    "GetModuleHandleA", "GetPrivateProfileIntA", "GetPrivateProfileStringA", "GetProcAddress",
    "GetProcessHeap", "GetStartupInfoA", "GetStdHandle", "GetSystemDirectoryA",
    "GetSystemInfo", "GetSystemTime", "GetSystemTimeAsFileTime", "GetTempFileNameA",
    "GetTempPathA", "GetTickCount", "GetVersion", "GetVersionExA", "GetWindowsDirectoryA",
    "GlobalAlloc", "GlobalFree", "GlobalLock", "GlobalUnlock", "HeapAlloc", "HeapFree",
    "HeapReAlloc", "HeapSize", "InitializeCriticalSection", "InterlockedDecrement",
    "InterlockedExchange", "InterlockedIncrement", "IsBadReadPtr", "IsDBCSLeadByte",
    "IsDBCSLeadByteEx", "LeaveCriticalSection", "LoadLibraryA", "LoadLibraryExA",
    "LoadResource", "LocalAlloc", "LocalFree", "LockResource", "MoveFileA", "MulDiv",
    "MultiByteToWideChar", "OpenProcess", "QueryPerformanceCounter",
    "QueryPerformanceFrequency", "ReadFile", "ReleaseMutex", "RemoveDirectoryA",
    "ResetEvent", "SetCurrentDirectoryA", "SetEndOfFile", "SetErrorMode", "SetEvent",
    "SetFileAttributesA", "SetFilePointer", "SetLastError", "SetUnhandledExceptionFilter",
    "SizeofResource", "Sleep", "SystemTimeToFileTime", "TerminateProcess", "TlsAlloc",
    "TlsFree", "TlsGetValue", "TlsSetValue", "UnhandledExceptionFilter", "VirtualAlloc",
    "VirtualFree", "VirtualProtect", "VirtualQuery", "WaitForSingleObject",
    "WideCharToMultiByte", "WriteFile", "WritePrivateProfileStringA", "lstrcatA", "lstrcmpA",
    "lstrcmpiA", "lstrcpyA", "lstrcpynA", "lstrlenA", NULL};

static const char* const kUser32[] = {
    "AdjustWindowRect", "AdjustWindowRectEx", "AppendMenuA", "AttachThreadInput",
    "BeginPaint", "BringWindowToTop", "CallWindowProcA", "CheckMenuItem", "ChildWindowFromPoint",
    "ChangeDisplaySettingsA", "CheckMenuRadioItem", "ClientToScreen", "CopyIcon", "CopyImage", "CopyRect", "CreateDialogParamA", "CreateIconIndirect",
    "CreateMenu", "CreatePopupMenu", "CreateWindowExA", "DefWindowProcA", "DeleteMenu",
    "DestroyCursor", "DestroyIcon", "DestroyMenu", "DestroyWindow", "DialogBoxParamA",
    "DispatchMessageA", "DrawFocusRect", "DrawIcon", "DrawIconEx", "DrawTextA", "EnableMenuItem",
    "EnableWindow", "EndDialog", "EndPaint", "EnumChildWindows", "EnumDisplaySettingsA",
    "EnumThreadWindows", "EnumWindows", "EqualRect", "FillRect", "FindWindowA", "FindWindowExA",
    "FrameRect", "GetActiveWindow", "GetCapture", "GetClassInfoA", "GetClassInfoExA",
    "GetClassLongA", "GetClassNameA", "GetClientRect", "GetCursor", "GetCursorPos", "GetDC",
    "GetDesktopWindow", "GetDlgCtrlID", "GetDlgItem", "GetDlgItemInt", "GetDlgItemTextA",
    "GetFocus", "GetForegroundWindow", "GetIconInfo", "GetKeyState", "GetMenuItemCount",
    "GetMenuItemID", "GetMenuItemInfoA", "GetMenuState", "GetMessageA", "GetMessagePos", "GetMessageTime",
    "GetParent", "GetPropA", "GetScrollInfo", "GetScrollPos", "GetSubMenu", "GetSysColor",
    "GetSysColorBrush", "GetSystemMetrics", "GetWindow", "GetWindowDC", "GetWindowLongA",
    "GetWindowPlacement", "GetWindowRect", "GetWindowTextA", "GetWindowTextLengthA",
    "GetWindowThreadProcessId", "InflateRect", "InsertMenuA", "InsertMenuItemA", "IntersectRect",
    "InvalidateRect", "InvertRect", "IsChild", "IsDialogMessageA", "IsIconic", "IsRectEmpty",
    "IsWindow", "IsWindowEnabled", "IsWindowVisible", "IsZoomed", "KillTimer", "LoadCursorA",
    "LoadIconA", "LoadImageA", "LoadMenuA", "LoadStringA", "MapWindowPoints", "MessageBeep",
    "MessageBoxA", "ModifyMenuA", "MoveWindow", "OffsetRect", "PeekMessageA", "PostMessageA",
    "PostQuitMessage", "PtInRect", "RedrawWindow", "RegisterClassA", "RegisterClassExA",
    "RegisterHotKey", "RegisterWindowMessageA", "ReleaseCapture", "ReleaseDC", "RemovePropA",
    "ScreenToClient", "SendDlgItemMessageA", "SendMessageA", "SendMessageTimeoutA", "SendNotifyMessageA", "ShowCursor",
    "SetActiveWindow", "SetCapture", "SetClassLongA", "SetCursor", "SetCursorPos",
    "SetDlgItemInt", "SetDlgItemTextA", "SetFocus", "SetForegroundWindow", "SetMenuItemInfoA",
    "SetPropA", "SetRect", "SetRectEmpty", "SetScrollInfo", "SetScrollPos", "SetScrollRange",
    "SetTimer", "SetWindowLongA", "SetWindowPlacement", "SetWindowPos", "SetWindowTextA",
    "ShowWindow", "SystemParametersInfoA", "TrackPopupMenu", "TrackPopupMenuEx",
    "TranslateMessage", "UnregisterClassA", "UnregisterHotKey", "UpdateWindow",
    "ValidateRect", "WindowFromPoint", "wsprintfA", "wvsprintfA", NULL};

static const char* const kGdi32[] = {
    "BitBlt", "CombineRgn", "CreateBitmap", "CreateBrushIndirect", "CreateCompatibleBitmap",
    "CreateCompatibleDC", "CreateDCA", "CreateDIBSection", "CreateDIBitmap", "CreateFontA",
    "CreateFontIndirectA", "CreatePalette", "CreatePen", "CreateRectRgn",
    "CreateRectRgnIndirect", "CreateSolidBrush", "DeleteDC", "DeleteObject", "ExtTextOutA",
    "GdiFlush", "GetBkColor", "GetCurrentObject", "GetDIBColorTable", "GetDIBits",
    "GetDeviceCaps", "GetObjectA", "GetObjectType", "GetPixel", "GetStockObject",
    "GetSystemPaletteEntries", "GetTextColor", "GetTextExtentPoint32A", "GetTextMetricsA",
    "IntersectClipRect", "LineTo", "MoveToEx", "PatBlt", "RealizePalette", "Rectangle",
    "RestoreDC", "SaveDC", "SelectClipRgn", "SelectObject", "SelectPalette", "SetBkColor",
    "SetBkMode", "SetDIBColorTable", "SetDIBits", "SetPixel", "SetROP2", "SetStretchBltMode",
    "SetTextAlign", "SetTextColor", "StretchBlt", "StretchDIBits", "TextOutA", NULL};

static const char* const kAdvapi32[] = {
    "RegCloseKey", "RegCreateKeyExA", "RegDeleteValueA", "RegFlushKey", "RegOpenKeyExA",
    "RegQueryValueExA", "RegSetValueExA", NULL};

static const char* const kShell32[] = {
    "DragAcceptFiles", "DragFinish", "DragQueryFileA", "ExtractIconA", "ExtractIconExA",
    "SHBrowseForFolderA", "SHGetFileInfoA", "SHGetMalloc", "SHGetPathFromIDListA",
    "SHGetSpecialFolderLocation", "ShellExecuteA", "ShellExecuteExA", "Shell_NotifyIconA",
    NULL};

// Taken through the manifest's side-by-side version 6 where there is one.
static const char* const kComctl32[] = {"InitCommonControls", NULL};

static const LegacyLibrary kLegacyLibraries[] = {
    {"KERNEL32.dll", kKernel32}, {"USER32.dll", kUser32},     {"GDI32.dll", kGdi32},
    {"ADVAPI32.dll", kAdvapi32}, {"SHELL32.dll", kShell32},   {"COMCTL32.DLL", kComctl32},
};

// Exported by Windows 95 only as stubs that fail with ERROR_CALL_NOT_IMPLEMENTED; the
// mingw start-up code asks for GetModuleHandleW and copes with a failure.
static const char* const kStubsOn95[] = {"GetModuleHandleW", "MoveFileExA", NULL};

#endif
