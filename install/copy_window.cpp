#include "install/copy_window.h"

#include <cstdio>
#include <cstdlib>

#include "install/manifest.h"
#include "setup/setup.h"
#include "setup/text.h"
#include "ui/layout.h"

HWND copy_window;
HWND source_edit;
HWND dest_edit;
HWND progress_bar;
HWND percent_text;
int total_weight;
int done_weight;
int percent;

// A source name is at most 12 characters; room is left for a longer one.
#define SOURCE_PATH_SIZE 64
// install_dir, a backslash, the longest destination (20) and the terminating zero.
#define DEST_PATH_SIZE (INSTALL_DIR_SIZE + 1 + 20)
// "Cannot create file " (the longest lead) in front of a destination path.
#define COPY_MESSAGE_SIZE (19 + DEST_PATH_SIZE)

static void create_copy_window(void)
{
    int width = 50 * char_width;
    int height = 15 * line_height;
    int field_height = one_and_a_half(line_height);
    copy_window = CreateWindowExA(0, "instcopy", "QUORIX Setup", WS_OVERLAPPEDWINDOW, (screen_width - width) / 2,
                                  (screen_height - height) / 2, width, height, NULL, NULL, app_instance, NULL);
    create_label(copy_window, 2 * char_width, line_height, "Copy");
    create_label(copy_window, 2 * char_width, 3 * line_height, "From:");
    source_edit = create_edit(copy_window, 10 * char_width, 3 * line_height, 37 * char_width, field_height, " ");
    create_label(copy_window, 2 * char_width, 5 * line_height, "To:");
    dest_edit = create_edit(copy_window, 10 * char_width, 5 * line_height, 37 * char_width, field_height, " ");
    progress_bar = CreateWindowExA(0, "scrollbar", NULL, WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ,
                                   10 * char_width, 8 * line_height, 37 * char_width, field_height, copy_window,
                                   (HMENU)0, app_instance, NULL);
    SetScrollRange(progress_bar, SB_CTL, 0, 100, FALSE);
    SetScrollPos(progress_bar, SB_CTL, 0, FALSE);
    percent_text = CreateWindowExA(0, "static", "0", WS_CHILD | WS_VISIBLE | SS_CENTER, 10 * char_width,
                                   10 * line_height, 37 * char_width, field_height, copy_window, (HMENU)0,
                                   app_instance, NULL);
    ShowWindow(copy_window, show_command);
    UpdateWindow(copy_window);
}

static void show_copy_failure(const char* lead, const char* path)
{
    char message[COPY_MESSAGE_SIZE];
    copy_text(message, sizeof message, lead);
    append_text(message, sizeof message, path);
    MessageBoxA(NULL, message, "Setup", MB_OK);
}

int copy_percent(int done, int total, int last_row)
{
    int value = 0;
    // A total of 0 has no shares; the readout stays at 0 until the last row.
    if (total > 0) value = (int)((100.0 / total) * done);
    if (value > 100) value = 100;
    if (last_row) value = 100;
    return value;
}

// Shows the row in the window, then copies it.
static void copy_row(int row)
{
    ManifestEntry entry = manifest_entry(row);
    char source_path[SOURCE_PATH_SIZE];
    char dest_path[DEST_PATH_SIZE];
    char number[16];
    OFSTRUCT source_info;
    OFSTRUCT dest_info;
    INT source;
    INT dest;
    LONG copied;

    done_weight += atoi(entry.weight);
    percent = copy_percent(done_weight, total_weight, is_last_manifest_row(row));
    SetScrollPos(progress_bar, SB_CTL, percent, TRUE);
    snprintf(number, sizeof number, "%d", percent);
    SetWindowTextA(percent_text, number);
    copy_text(source_path, sizeof source_path, entry.source);
    copy_text(dest_path, sizeof dest_path, install_dir);
    append_text(dest_path, sizeof dest_path, "\\");
    append_text(dest_path, sizeof dest_path, entry.destination);
    SetWindowTextA(source_edit, source_path);
    SetWindowTextA(dest_edit, dest_path);
    UpdateWindow(copy_window);

    source = LZOpenFileA(source_path, &source_info, OF_READ);
    if (source == -1) {
        show_copy_failure("Cannot open file ", source_path);
        return;
    }
    dest = LZOpenFileA(dest_path, &dest_info, OF_CREATE);
    if (dest == -1) {
        show_copy_failure("Cannot create file ", dest_path);
        LZClose(source);
        return;
    }
    copied = LZCopy(source, dest);
    LZClose(source);
    LZClose(dest);
    // A copy that failed half-way (a read error, damaged compressed data, a
    // full disk) would leave a file that looks installed and is not: it is
    // removed, and the user is told.
    if (copied < 0) {
        DeleteFileA(dest_path);
        show_copy_failure("Cannot copy file ", dest_path);
    }
}

int run_instcopy(void)
{
    MSG message;
    int row;
    create_copy_window();
    total_weight = 0;
    for (row = 0; row < MANIFEST_ROWS; row++) total_weight += atoi(manifest_entry(row).weight);
    done_weight = 0;
    for (row = 0; row < MANIFEST_ROWS; row++) copy_row(row);
    // Without a window there is nothing to close and no quit message will
    // come: the files are copied all the same, and the phase ends here.
    if (copy_window == NULL) return 0;
    SendMessageA(copy_window, WM_CLOSE, 0, 0);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

LRESULT CALLBACK instcopy_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE: return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_SIZE: return 0;
    case WM_PAINT: paint_background(window); return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
