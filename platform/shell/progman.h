// The machine's Program Manager: a hidden top-level window, made when the
// machine starts, that serves DDE conversations for the application and
// topic "PROGMAN" and carries out their command strings on the program
// groups kept in the machine folder (platform/shell/groups.h).
#ifndef QUORIX_PLATFORM_SHELL_PROGMAN_H
#define QUORIX_PLATFORM_SHELL_PROGMAN_H

#include <string>
#include <string_view>
#include <vector>

#include "win32.h"

namespace platform::shell {

// Makes the Program Manager's window; the machine calls it at start.
void start_program_manager();
// Its window, or null when there is none.
HWND program_manager_window();

// What became of one command of a string.
struct CommandOutcome {
    std::string command;   // as written, without its brackets
    std::string error;     // empty when it succeeded
};

// Carries out a command string on the groups of the machine folder
// `machine_root`, the commands in order until one fails. `active_group` is
// the Program Manager's active group, read and updated. True when every
// command succeeded; `outcomes` tells what became of each command tried (a
// malformed string gives one outcome naming the fault, and no command runs).
bool execute_commands(const std::string& machine_root, std::string_view text, std::string& active_group,
                      std::vector<CommandOutcome>& outcomes);

}  // namespace platform::shell

#endif
