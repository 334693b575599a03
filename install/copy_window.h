// The copy window: every row of the manifest copied, expanded where it was
// compressed, while the window shows the source, the destination, a bar and
// the percentage of the work done.
#ifndef QUORIX_INSTALL_COPY_WINDOW_H
#define QUORIX_INSTALL_COPY_WINDOW_H

#include "win32.h"

extern HWND copy_window;    // the phase's top-level window, of class instcopy
extern HWND source_edit;    // shows the current row's source name
extern HWND dest_edit;      // shows the current row's full destination path
extern HWND progress_bar;   // the bar, 0 to 100
extern HWND percent_text;   // the number below the bar
extern int total_weight;    // the sum of every row's weight, formed before the first copy
extern int done_weight;     // the weights of the rows reached so far, the current one included
extern int percent;         // what the bar and the number show, 0 to 100

// Copies every row of the manifest; returns 0.
int run_instcopy(void);
LRESULT CALLBACK instcopy_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The readout for a row: the share of `done` in `total` in whole percent,
// truncated, at most 100, and exactly 100 on the last row.
int copy_percent(int done, int total, int last_row);

#endif
