// A static control turned into a hyperlink by subclassing: blue text, red once the parent
// reflects a hover, a gray frame while pressed; hover, leave and click are reported to
// the parent with WM_NOTIFY. Its state lives in two window properties.
#ifndef KELVARIN_DIALOGS_LINK_LABEL_H
#define KELVARIN_DIALOGS_LINK_LABEL_H

#include <windows.h>

enum { LLN_CLICK = 1025, LLN_MOUSELEAVE = 1026, LLN_MOUSEHOVER = 1027 };

#define LLPROP_ORIGINALPROC "LLPROP_ORIGINALPROC"
#define LLPROP_CONTROLSTATE "LLPROP_CONTROLSTATE"
// The underlined copy of a plain font the control was given, while it has one.
#define LLPROP_FONT "LLPROP_FONT"

// For LLN_MOUSEHOVER the wParam and lParam of the WM_MOUSEMOVE behind it; 0 otherwise.
struct NMLINKLABEL {
    NMHDR hdr;
    UINT keyFlags;
    LONG position;
};

// The parent must send LLN_MOUSEHOVER and LLN_MOUSELEAVE straight back to the control
// (hwndFrom) before returning: only a reflected hover turns the link red.
BOOL SubclassLinkLabel(HWND control);
LRESULT CALLBACK LinkLabelProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

#endif
