// The Program Manager conversation: a hidden window of class "instdde" hands
// the group script to the shell over DDE.
#ifndef QUORIX_REGISTER_INSTDDE_H
#define QUORIX_REGISTER_INSTDDE_H

#include "win32.h"

// The time the Program Manager has to acknowledge the execute, in milliseconds.
#define DDE_TIMEOUT 10000
// The identifier of the timer that waits for it.
#define DDE_TIMER_ID 1

extern HWND dde_window;             // the hidden window; stored by run_instdde once its creation returns
extern HGLOBAL dde_commands;        // the shared block that carries the script, by handle
extern char* dde_commands_text;     // the block's locked address, where the script is written
extern ATOM app_atom;               // "PROGMAN" as the application name
extern ATOM topic_atom;             // "PROGMAN" as the topic name
extern HWND dde_server;             // the window that sent the first acknowledgement
extern int ack_count;               // every WM_DDE_ACK received, of any sender

// Creates the hidden window, which opens the conversation, and runs its
// message loop until the window is gone. Always returns 0.
int run_instdde(void);
LRESULT CALLBACK instdde_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

#endif
