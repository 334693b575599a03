// quorix-machine: shows a person what a setup left in the emulated machine.
//
//   quorix-machine reg      the registry, in the .reg export format
//   quorix-machine groups   the Program Manager's groups: a line "[NAME] FILE"
//                           a group, then one line an item:
//                           TITLE<TAB>COMMAND LINE<TAB>ICON FILE<TAB>ICON INDEX
//
// The machine is the folder SETUP_ROOT names (or the default one). Nothing
// in it is changed, and a machine that has no registry or no groups yet is
// shown as empty.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "machine.h"
#include "registry/registry.h"
#include "shell/groups.h"

namespace {

constexpr const char* USAGE =
    "usage: quorix-machine reg | groups\n"
    "  reg      print the registry of the machine in the .reg export format\n"
    "  groups   print the Program Manager's groups and their items\n"
    "The machine is the folder SETUP_ROOT names (default: under the XDG data home).\n";

int show_registry(const std::string& root)
{
    using namespace platform::registry;
    int status = 0;
    std::string out = std::string(HEADER) + "\n\n";
    for (const char* name : ROOT_NAMES) {
        Hive hive;
        std::string error;
        if (DWORD result = load_hive(hive_file(root, name), name, hive, error)) {
            std::fprintf(stderr, "quorix-machine: %s cannot be read (error %u): %s\n", name, (unsigned)result,
                         error.c_str());
            status = 1;
            continue;
        }
        out += format_keys(name, hive);
    }
    std::fputs(out.c_str(), stdout);
    return status;
}

int show_groups(const std::string& root)
{
    using namespace platform::shell;
    std::vector<GroupEntry> entries;
    std::string error;
    if (!load_index(root, entries, error)) {
        std::fprintf(stderr, "quorix-machine: the list of groups cannot be read: %s\n", error.c_str());
        return 1;
    }
    int status = 0;
    for (const GroupEntry& entry : entries) {
        std::printf("[%s] %s\n", entry.name.c_str(), entry.file.c_str());
        Group group;
        if (!load_group(root, entry.file, group, error)) {
            std::fprintf(stderr, "quorix-machine: the items of group %s cannot be read: %s\n", entry.name.c_str(),
                         error.c_str());
            status = 1;
            continue;
        }
        for (const GroupItem& item : group.items)
            std::printf("%s\t%s\t%s\t%d\n", item.title.c_str(), item.command.c_str(), item.icon_file.c_str(),
                        item.icon_index);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    std::string command = argv[1];
    if (command == "-h" || command == "--help") {
        std::fputs(USAGE, stdout);
        return 0;
    }
    std::string root = platform::machine_root_from_environment();
    if (command == "reg") return show_registry(root);
    if (command == "groups") return show_groups(root);
    std::fprintf(stderr, "quorix-machine: unknown command \"%s\"\n%s", command.c_str(), USAGE);
    return 2;
}
