#include "ui/instdir.h"

#include "setup/setup.h"
#include "ui/layout.h"

int dir_cancelled;
HWND dir_window;
HWND dir_edit;
HWND ok_button;
HWND cancel_button;

int run_instdir(void)
{
    MSG message;
    dir_window = create_instdir_window((screen_width - dialog_width) / 2, (screen_height - dialog_height) / 2,
                                       dialog_width, dialog_height, "QUORIX Setup");
    create_label(dir_window, 3 * char_width, 2 * line_height, "Installation directory:");
    dir_edit = create_edit(dir_window, 3 * char_width, 4 * line_height, dialog_width - 6 * char_width,
                           one_and_a_half(line_height), "c:\\quorix");
    ok_button = create_default_button(dir_window, 10 * char_width, 7 * line_height, 10 * char_width,
                                      (7 * line_height) / 4, "OK");
    cancel_button = create_button(dir_window, dialog_width - 20 * char_width, 7 * line_height, 10 * char_width,
                                  (7 * line_height) / 4, "Cancel");
    ShowWindow(dir_window, show_command);
    UpdateWindow(dir_window);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return dir_cancelled == 1 ? -1 : 0;
}

static void accept_directory(void)
{
    dir_cancelled = 0;
    GetWindowTextA(dir_edit, install_dir, INSTALL_DIR_SIZE);
    SendMessageA(dir_window, WM_CLOSE, 0, 0);
}

static void cancel_setup(void)
{
    dir_cancelled = 1;
    SendMessageA(dir_window, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK instdir_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE: return 0;
    case WM_SIZE: return 0;   // the controls keep the places they were given
    case WM_PAINT: paint_background(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_COMMAND:
        if ((HWND)lparam == ok_button) {
            accept_directory();
            return 0;
        }
        if ((HWND)lparam == cancel_button) {
            cancel_setup();
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (wparam == VK_RETURN) {
            accept_directory();
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        // Closing by the title bar, the system menu or Alt+F4 counts as
        // Cancel: going on with an empty directory would install into a place
        // nobody chose. The default processing then closes the window.
        if ((wparam & 0xFFF0) == SC_CLOSE) dir_cancelled = 1;
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
