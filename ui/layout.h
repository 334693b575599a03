// The control layout kit: the directory dialog's top-level window, which
// measures the font-based layout units, and the child controls placed in
// them. The kit keeps no handles; the callers store what they need.
#ifndef QUORIX_UI_LAYOUT_H
#define QUORIX_UI_LAYOUT_H

#include "win32.h"

extern int char_width;        // average character width of the measured window's default font, in pixels
extern int line_height;       // character height plus external leading of that font, in pixels
extern int next_control_id;   // the child identifier the next control receives; raised by fields and buttons

// q scaled by 1.5: q as a double times 1.5, truncated toward zero.
int one_and_a_half(int q);

HWND create_instdir_window(int x, int y, int width, int height, const char* title);
HWND create_label(HWND parent, int x, int y, const char* text);
HWND create_edit(HWND parent, int x, int y, int width, int height, const char* text);
HWND create_button(HWND parent, int x, int y, int width, int height, const char* caption);
HWND create_default_button(HWND parent, int x, int y, int width, int height, const char* caption);

// The WM_PAINT of a window that draws nothing itself: painting begins and
// ends, and the class background and the controls show.
void paint_background(HWND window);

#endif
