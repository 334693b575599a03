// The directory dialog: the user accepts or edits the installation directory,
// or cancels the setup.
#ifndef QUORIX_UI_INSTDIR_H
#define QUORIX_UI_INSTDIR_H

#include "win32.h"

extern int dir_cancelled;    // 1 after Cancel (or a close by the title bar), 0 after an acceptance
extern HWND dir_window;      // the dialog's top-level window
extern HWND dir_edit;        // the directory field, read on acceptance
extern HWND ok_button;       // recognised by handle in WM_COMMAND
extern HWND cancel_button;

// Shows the dialog and waits for the user: 0 with install_dir filled, or -1
// when the user cancelled.
int run_instdir(void);
LRESULT CALLBACK instdir_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

#endif
