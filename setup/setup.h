// The setup program's process-wide state and its driver. Each subsystem
// keeps its own state beside its code (ui/, install/, register/); what every
// phase shares is here.
#ifndef QUORIX_SETUP_SETUP_H
#define QUORIX_SETUP_SETUP_H

#include "win32.h"

// The installation directory as the user left it in the directory dialog:
// at most 131 characters and the terminating zero. Written by the dialog,
// read by every later phase and by the closing notice.
#define INSTALL_DIR_SIZE 132
extern char install_dir[INSTALL_DIR_SIZE];

extern HINSTANCE app_instance;   // the module instance handed to WinMain: instance of every class and window
extern int show_command;         // the show state handed to WinMain: both visible windows are shown with it
extern int screen_width;         // the primary screen in pixels, measured after the welcome box
extern int screen_height;
extern int dialog_width;         // the directory dialog's outer size, fixed at 300 x 200
extern int dialog_height;

// The welcome box: 0 when the user chose OK, -1 for any other answer.
int show_welcome(void);
// The closing box that tells the user what to set by hand; returns 0.
int show_ready_notice(void);

#endif
