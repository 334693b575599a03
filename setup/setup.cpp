// The entry point: the order of the phases, the class registration and the
// two notices.
#include "setup/setup.h"

#include "install/copy_window.h"
#include "install/install_tree.h"
#include "register/instdde.h"
#include "register/install_key.h"
#include "setup/text.h"
#include "ui/instdir.h"

char install_dir[INSTALL_DIR_SIZE];
HINSTANCE app_instance;
int show_command;
int screen_width;
int screen_height;
int dialog_width;
int dialog_height;

// A notice is composed in a buffer of this size, the terminating zero included.
#define NOTICE_SIZE 500

// The two lines of the author's notice in the welcome text.
static const char* const author_notice[2] = {
    "Copyright (c) the QUORIX authors. All rights reserved.",
    "This software may be used only under the terms of its licence.",
};

// The three window classes, registered from one class record in this order.
struct WindowClassEntry {
    const char* name;
    WNDPROC procedure;
};

static const WindowClassEntry window_classes[] = {
    {"instdir", instdir_proc},
    {"instcopy", instcopy_proc},
    {"instdde", instdde_proc},
};

static void register_classes(void)
{
    WNDCLASSA window_class;
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.cbClsExtra = 0;
    window_class.cbWndExtra = 0;
    window_class.hInstance = app_instance;
    window_class.hIcon = LoadIconA(NULL, IDI_APPLICATION);
    window_class.hCursor = LoadCursorA(NULL, IDC_ARROW);
    window_class.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    window_class.lpszMenuName = NULL;
    for (const WindowClassEntry& entry : window_classes) {
        window_class.lpfnWndProc = entry.procedure;
        window_class.lpszClassName = entry.name;
        RegisterClassA(&window_class);
    }
}

int show_welcome(void)
{
    char text[NOTICE_SIZE];
    copy_text(text, sizeof text, "This is the setup program of the graphics soft-\n");
    append_text(text, sizeof text, "ware QUORIX 8.2 for Digital Visual Fortran 5.x, 6.x.\n \n");
    append_text(text, sizeof text, author_notice[0]);
    append_text(text, sizeof text, "\n");
    append_text(text, sizeof text, author_notice[1]);
    append_text(text, sizeof text, "\n \n");
    append_text(text, sizeof text, "If you want to continue, press the OK button.\n");
    if (MessageBoxA(NULL, text, "QUORIX Setup", MB_OKCANCEL) == IDOK) return 0;
    return -1;
}

int show_ready_notice(void)
{
    char text[NOTICE_SIZE];
    copy_text(text, sizeof text, "The installation of QUORIX is ready.\n \n");
    append_text(text, sizeof text, "Add the command SET QUORIX=");
    append_text(text, sizeof text, install_dir);
    append_text(text, sizeof text, "\n to the file AUTOEXEC.BAT\n \n");
    append_text(text, sizeof text, "Add the directory  ");
    append_text(text, sizeof text, install_dir);
    append_text(text, sizeof text, "\\win");
    append_text(text, sizeof text, "  to the PATH variable.");
    MessageBoxA(NULL, text, "QUORIX Setup", MB_OK);
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show)
{
    (void)command_line;   // the setup takes no arguments
    app_instance = instance;
    show_command = show;
    if (previous == NULL) register_classes();
    if (show_welcome() != 0) return 0;
    screen_width = GetSystemMetrics(SM_CXSCREEN);
    screen_height = GetSystemMetrics(SM_CYSCREEN);
    dialog_width = 300;
    dialog_height = 200;
    if (run_instdir() != 0) return 0;
    if (make_install_tree() != 0) return 0;
    run_instcopy();
    run_instdde();
    write_install_key(install_dir, "8.2");
    show_ready_notice();
    return 0;
}
