// Shared dialog behaviour (see dialog_util.h).
#include "dialogs/dialog_util.h"

void BringDialogToFront(HWND dialog) {
    BringWindowToTop(dialog);
    SetForegroundWindow(dialog);
    ShowWindow(dialog, SW_SHOWDEFAULT);
}

BOOL AnswerBackgroundAsCaption(HWND dialog, WPARAM wParam, LPARAM lParam) {
    LRESULT code = DefWindowProcA(dialog, WM_NCHITTEST, wParam, lParam);
    if (code == HTCLIENT)
        code = HTCAPTION;
    // A dialog procedure's own result is only "handled"; the answer goes here.
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, code);
    return TRUE;
}
