// The process start-up: what Windows does before WinMain and after it returns.
#ifndef QUORIX_PLATFORM_KERNEL_STARTUP_H
#define QUORIX_PLATFORM_KERNEL_STARTUP_H

#include <string>

namespace platform {

// Reads the layer's environment, starts the machine, calls WinMain with the
// module instance, a null previous instance, the command line without the
// program's name and the show state, and ends the machine. Returns WinMain's
// result, or 3 when the layer refuses to start.
int run_program(int argc, char** argv);

// The command line that WinMain receives: the arguments after the program's
// name, separated by blanks, each quoted when it holds a blank.
std::string command_line_of(int argc, char** argv);

}  // namespace platform

#endif
