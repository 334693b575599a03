// The install tree: the installation directory and its seven sub-directories.
#ifndef QUORIX_INSTALL_INSTALL_TREE_H
#define QUORIX_INSTALL_INSTALL_TREE_H

#define INSTALL_SUBDIRS 7
// The sub-directories in the order of creation, each with the backslash
// that joins it to install_dir.
extern const char* const install_subdirs[INSTALL_SUBDIRS];

// Creates install_dir and its sub-directories: 0 when the setup can go on,
// -1 after the message of a directory that cannot be created.
int make_install_tree(void);

#endif
