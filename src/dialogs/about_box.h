// A reusable About box driven by a parameter block: which items to fill in, the controls
// that receive them, the template, the link cursor and the link targets. The program
// uses it once, for the main menu's About command.
#ifndef KELVARIN_DIALOGS_ABOUT_BOX_H
#define KELVARIN_DIALOGS_ABOUT_BOX_H

#include <windows.h>

enum {
    ABF_SETTITLE = 0x0002,
    ABF_ICON = 0x0008,
    ABF_COMPANY = 0x0010,
    ABF_VERSION = 0x0020,
    ABF_LEGAL = 0x0040,
    ABF_URLLINK = 0x0080,
    ABF_SYSRES = 0x0100,
    ABF_MAILLINK = 0x4000,
};

#define ABPROP_FONTURL "ABPROP_FONTURL"
#define ABPROP_FONTMAIL "ABPROP_FONTMAIL"

// Control fields hold dialog identifiers; 0 is no control.
struct AboutBoxParams {
    UINT flags;
    int iconControl;
    int companyControl;
    int versionControl;
    int legalControl;
    int urlLinkControl;
    int mailLinkControl;
    int sysResControl;
    const char* urlTarget;   // link text and what a click opens
    const char* mailTarget;  // the same for the mail link
    int templateId;
    DLGPROC hook;  // sees every message first; nonzero ends its handling there
    HCURSOR linkCursor;
    HINSTANCE instance;  // holds the template
};

// Modal; while one is open another request brings it to the front instead.
BOOL ShowAboutBox(HWND parent, const AboutBoxParams* params);
INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Main-menu command "About": the box with the program's own configuration.
LRESULT AboutCommand(HWND window, WPARAM wParam, LPARAM lParam);

#endif
