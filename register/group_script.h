// The Program Manager command script that makes the program group QRXDVF:
// the table of the group's items and the rule by which the script for the
// chosen directory is written into the DDE block.
#ifndef QUORIX_REGISTER_GROUP_SCRIPT_H
#define QUORIX_REGISTER_GROUP_SCRIPT_H

#include "win32.h"

// The shared block that carries the script to the Program Manager, in bytes.
#define DDE_COMMANDS_SIZE 1000
// An item is admitted only while the script stays below this many characters.
#define SCRIPT_ADMISSION_LIMIT 980
#define GROUP_ITEM_COUNT 9

// One item of the group: the program it starts, from the "win" folder of the
// installation, and its title in the group.
struct GroupItem {
    const char* program;
    const char* title;
};

extern const GroupItem group_items[GROUP_ITEM_COUNT];
// The index of each item's icon in progman.exe; entry k belongs to row k of group_items.
extern const int group_icons[GROUP_ITEM_COUNT];

// Writes the script for `directory` into `commands`, a block of
// DDE_COMMANDS_SIZE bytes, as one zero-terminated text. Shows a message for
// each item that does not fit and leaves it out.
void build_group_script(const char* directory, char* commands);

#endif
