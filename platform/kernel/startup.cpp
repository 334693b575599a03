#include "kernel/startup.h"

#include <cstdio>
#include <vector>

#include "machine.h"
#include "win32.h"

namespace platform {

std::string command_line_of(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        std::string argument = argv[i];
        bool quote = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
        if (quote) line += '"';
        line += argument;
        if (quote) line += '"';
    }
    return line;
}

int run_program(int argc, char** argv)
{
    Options options;
    std::string error;
    if (!read_environment(options, error) || !start_machine(options, error)) {
        std::fprintf(stderr, "quorix-setup: %s\n", error.c_str());
        return 3;
    }
    std::string line = command_line_of(argc, argv);
    std::vector<char> command_line(line.begin(), line.end());
    command_line.push_back('\0');
    int code = WinMain(GetModuleHandleA(NULL), NULL, command_line.data(), options.show_command);
    stop_machine(code);
    return code;
}

}  // namespace platform
