#include "ui/layout.h"

#include <cstring>

#include "setup/setup.h"

int char_width;
int line_height;
int next_control_id;

int one_and_a_half(int q)
{
    return (int)((double)q * 1.5);
}

// The units of the window's default font. Should the window's device context
// or its metrics not be had, the units are those of the system's default font
// (the dialog base units), so that no control is placed from undefined values.
static void measure_units(HWND window)
{
    TEXTMETRICA metrics;
    HDC dc = GetDC(window);
    if (dc != NULL && GetTextMetricsA(dc, &metrics)) {
        char_width = metrics.tmAveCharWidth;
        line_height = metrics.tmHeight + metrics.tmExternalLeading;
    } else {
        LONG base_units = GetDialogBaseUnits();
        char_width = LOWORD(base_units);
        line_height = HIWORD(base_units);
    }
    if (dc != NULL) ReleaseDC(window, dc);
}

HWND create_instdir_window(int x, int y, int width, int height, const char* title)
{
    HWND window = CreateWindowExA(0, "instdir", title, WS_OVERLAPPEDWINDOW, x, y, width, height, NULL, NULL,
                                  app_instance, NULL);
    measure_units(window);
    return window;
}

static HWND create_control(HWND parent, const char* class_name, const char* text, DWORD style, int x, int y,
                           int width, int height)
{
    return CreateWindowExA(0, class_name, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                           (HMENU)(INT_PTR)next_control_id, app_instance, NULL);
}

HWND create_label(HWND parent, int x, int y, const char* text)
{
    int width = one_and_a_half((int)strlen(text) * char_width);
    int height = one_and_a_half(line_height);
    HWND label = create_control(parent, "static", "", SS_LEFT, x, y, width, height);
    SetWindowTextA(label, text);
    return label;
}

HWND create_edit(HWND parent, int x, int y, int width, int height, const char* text)
{
    HWND edit = create_control(parent, "edit", "", WS_BORDER | ES_AUTOHSCROLL, x, y, width, height);
    next_control_id++;
    SetWindowTextA(edit, text);
    return edit;
}

HWND create_button(HWND parent, int x, int y, int width, int height, const char* caption)
{
    HWND button = create_control(parent, "button", caption, BS_PUSHBUTTON, x, y, width, height);
    next_control_id++;
    return button;
}

HWND create_default_button(HWND parent, int x, int y, int width, int height, const char* caption)
{
    HWND button = create_control(parent, "button", caption, BS_DEFPUSHBUTTON, x, y, width, height);
    next_control_id++;
    return button;
}

void paint_background(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}
