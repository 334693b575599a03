// Readies the directory dialog for a run in-process, as WinMain leaves things
// before it: the class registered, a 640 x 480 screen, the 300 x 200 dialog,
// a normal show state and the dialog's own state fresh. For tests that link
// the program.
#ifndef QUORIX_TESTS_SUPPORT_DIRECTORY_DIALOG_H
#define QUORIX_TESTS_SUPPORT_DIRECTORY_DIALOG_H

#include <cstring>

#include "setup/setup.h"
#include "support/machine_fixture.h"
#include "ui/instdir.h"
#include "ui/layout.h"

inline void prepare_directory_dialog()
{
    register_test_class("instdir", instdir_proc);
    std::memset(install_dir, 0, sizeof install_dir);
    dir_cancelled = 0;
    next_control_id = 0;
    show_command = SW_SHOWNORMAL;
    screen_width = 640;
    screen_height = 480;
    dialog_width = 300;
    dialog_height = 200;
}

#endif
