// The program's own start-up and the few memory routines the compiler may call by name.
// The exe links no C runtime DLL: the first release of Windows 95 shipped none, and the
// system's own DLLs cover everything else the program does.
#include <windows.h>

#include <stddef.h>

extern "C" {

// GCC turns struct copies, ZeroMemory and zero-initialised arrays into calls to these.
void* memcpy(void* to, const void* from, size_t size) {
    unsigned char* out = static_cast<unsigned char*>(to);
    const unsigned char* in = static_cast<const unsigned char*>(from);
    while (size-- != 0)
        *out++ = *in++;
    return to;
}

void* memmove(void* to, const void* from, size_t size) {
    unsigned char* out = static_cast<unsigned char*>(to);
    const unsigned char* in = static_cast<const unsigned char*>(from);
    if (out <= in || out >= in + size)
        return memcpy(to, from, size);
    while (size-- != 0)
        out[size] = in[size];
    return to;
}

void* memset(void* to, int value, size_t size) {
    unsigned char* out = static_cast<unsigned char*>(to);
    while (size-- != 0)
        *out++ = static_cast<unsigned char>(value);
    return to;
}

int memcmp(const void* a, const void* b, size_t size) {
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (; size != 0; --size, ++x, ++y) {
        if (*x != *y)
            return *x < *y ? -1 : 1;
    }
    return 0;
}

// What the C runtime's start-up would do for a GUI program: the command line after the
// program's name, the show command the starter asked for, and ExitProcess with WinMain's
// result (which also ends any thread still running).
void WinMainCRTStartup() {
    // Unsigned: a Shift-JIS lead byte in the program's path is no blank.
    const unsigned char* line = (const unsigned char*)GetCommandLineA();
    if (*line == '"') {
        for (++line; *line != '\0' && *line != '"'; ++line) {
        }
        if (*line == '"')
            ++line;
    } else {
        while (*line > ' ')
            ++line;
    }
    while (*line != '\0' && *line <= ' ')
        ++line;
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, (char*)line, show));
}

}  // extern "C"
