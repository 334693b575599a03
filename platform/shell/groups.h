// The Program Manager's program groups as they are kept on disk.
//
// The machine folder holds the index, progman.ini: one [Group] section a
// group, in the order the groups were made, with the group's name and the
// DOS path of its group file as CreateGroup named it. The group file (at that
// path, mapped like every DOS path of the machine) holds the group's items
// in their order:
//
//   [Program Group]
//   Name=QRXDVF
//
//   [Item]
//   Title=QRXMAN
//   Command=c:\quorix\win\qrxman.exe
//   IconFile=progman.exe
//   IconIndex=36
//
// and, when AddItem was given them, Directory=, Position=X,Y, HotKey=N,
// Minimized=1 and SeparateMemory=1. Lines beginning with ';' are comments.
// Every file is replaced atomically, under the lock progman.ini.lock.
#ifndef QUORIX_PLATFORM_SHELL_GROUPS_H
#define QUORIX_PLATFORM_SHELL_GROUPS_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::shell {

struct GroupItem {
    std::string title;
    std::string command;       // the command line
    std::string icon_file;     // empty: the program's own icon
    int icon_index = 0;
    std::string directory;     // the working directory; empty: the program's
    std::optional<std::pair<int, int>> position;
    int hot_key = 0;
    bool minimized = false;
    bool separate_memory = false;
};

struct GroupEntry {
    std::string name;
    std::string file;          // the DOS path CreateGroup named
};

struct Group {
    std::string name;
    std::vector<GroupItem> items;
};

// Where a group file named without a folder goes, as on Windows.
inline constexpr std::string_view WINDOWS_FOLDER = "c:\\windows\\";

// The DOS path a group file named `file` is kept at: a path from the root of
// no drive is on drive c:, and a bare name is in the Windows folder.
std::string group_file_path(const std::string& file);

// The index in the machine folder `machine_root`.
std::string index_file(const std::string& machine_root);

std::string format_index(const std::vector<GroupEntry>& groups);
bool parse_index(std::string_view text, std::vector<GroupEntry>& groups, std::string& error);
std::string format_group(const Group& group);
bool parse_group(std::string_view text, Group& group, std::string& error);

// Reads the index; a missing index is a machine without groups. False with
// the reason when it cannot be read.
bool load_index(const std::string& machine_root, std::vector<GroupEntry>& groups, std::string& error);
// Reads a group's file, named as the index names it, for the machine `machine_root`.
bool load_group(const std::string& machine_root, const std::string& dos_file, Group& group, std::string& error);

}  // namespace platform::shell

#endif
