#include "install/install_tree.h"

#include <cerrno>

#include "setup/setup.h"
#include "setup/text.h"

const char* const install_subdirs[INSTALL_SUBDIRS] = {
    "\\hlp", "\\man", "\\fonts", "\\win", "\\map", "\\real64", "\\examples",
};

// install_dir and its longest suffix, "\examples", and the terminating zero.
#define SUBDIR_PATH_SIZE (INSTALL_DIR_SIZE + 9)
// "Cannot create directory " in front of such a path.
#define TREE_MESSAGE_SIZE (24 + SUBDIR_PATH_SIZE)

// Creates one directory. Only a missing parent, drive or a bad path (ENOENT)
// stops the setup, with a message naming the path; an existing directory,
// refused access, a full disk or an invalid name is left for the copy
// window to report file by file.
static int make_tree_directory(const char* path)
{
    char message[TREE_MESSAGE_SIZE];
    if (_mkdir(path) == 0) return 0;
    if (errno != ENOENT) return 0;
    copy_text(message, sizeof message, "Cannot create directory ");
    append_text(message, sizeof message, path);
    MessageBoxA(NULL, message, "Setup", MB_OK);
    return -1;
}

int make_install_tree(void)
{
    char subdir_path[SUBDIR_PATH_SIZE];
    int i;
    if (make_tree_directory(install_dir) != 0) return -1;
    for (i = 0; i < INSTALL_SUBDIRS; i++) {
        copy_text(subdir_path, sizeof subdir_path, install_dir);
        append_text(subdir_path, sizeof subdir_path, install_subdirs[i]);
        if (make_tree_directory(subdir_path) != 0) return -1;
    }
    return 0;
}
