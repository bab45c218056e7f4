// Behaviour the settings dialog and the About box share: one instance brought to the
// front, and dragging by the background.
#ifndef KELVARIN_DIALOGS_DIALOG_UTIL_H
#define KELVARIN_DIALOGS_DIALOG_UTIL_H

#include <windows.h>

void BringDialogToFront(HWND dialog);
// WM_NCHITTEST of a dialog procedure: the background answers as the caption does.
BOOL AnswerBackgroundAsCaption(HWND dialog, WPARAM wParam, LPARAM lParam);

#endif
