// The Program Manager's command strings: a sequence of commands, each in
// square brackets, "[Name(argument,argument,...)]". Blanks and line breaks may
// stand between commands, blanks around arguments; an argument in double
// quotes keeps everything up to the closing quote, commas, brackets and
// parentheses included. Command names are compared without regard to case.
#ifndef QUORIX_PLATFORM_SHELL_DDE_COMMANDS_H
#define QUORIX_PLATFORM_SHELL_DDE_COMMANDS_H

#include <string>
#include <string_view>
#include <vector>

namespace platform::shell {

struct DdeCommand {
    std::string name;                     // as written
    std::vector<std::string> arguments;   // unquoted, without the blanks around them
    std::string text;                     // the command as written, without its brackets
};

// Splits a command string into its commands. A string that is not a sequence
// of well-formed commands gives false and the reason, and no command: the
// Program Manager carries out all of a string or none of it.
bool parse_dde_commands(std::string_view text, std::vector<DdeCommand>& commands, std::string& error);

}  // namespace platform::shell

#endif
