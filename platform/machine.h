// The emulated machine as a whole: its options, its start and end, its
// front-end and its clock.
#ifndef QUORIX_PLATFORM_MACHINE_H
#define QUORIX_PLATFORM_MACHINE_H

#include <memory>
#include <string>
#include <vector>

#include "frontends/frontend.h"
#include "frontends/response.h"

namespace platform {

// What the layer reads from its environment at start-up (or what a test sets).
struct Options {
    std::string root;              // the machine's folder (SETUP_ROOT)
    std::string ui;                // "gui", "text" or "script"
    bool ui_chosen = false;        // SETUP_UI named it; otherwise the display decided
    std::string script_path;       // SETUP_SCRIPT
    std::vector<Action> script;    // the response file's actions, parsed up front
    std::string record_path;       // SETUP_RECORD
    std::string trace_path;        // SETUP_TRACE
    int show_command = 10;         // SETUP_SHOW, else SW_SHOWDEFAULT
    int font_width = 7;            // SETUP_FONT
    int font_height = 16;
    int screen_width = 640;        // SETUP_SCREEN
    int screen_height = 480;
};

// Reads and checks the layer's variables. On a value that makes no sense it
// returns false with a message naming the variable (or the response file's line).
bool read_environment(Options& options, std::string& error);
// The machine folder the environment names: SETUP_ROOT, else the default
// under the XDG data home. Tools that inspect a machine use it too.
std::string machine_root_from_environment();

// Starts the machine: the front-end the options name (or the given one), the
// trace, the predefined classes and the machine's own services. Returns false
// with a message when something it needs cannot be had.
bool start_machine(const Options& options, std::string& error,
                   std::unique_ptr<Frontend> frontend = nullptr);
// Ends the run: tells the front-end, writes the exit event, releases everything.
void stop_machine(int exit_code);
bool machine_running();

const Options& machine_options();
Frontend& frontend();

// Ends the process with a message on stderr and exit code 3: the layer met
// something it cannot go on from (a wait no one will ever answer, say).
[[noreturn]] void fatal(const std::string& message);

// The machine's clock. Under the script front-end time is virtual: waiting
// for a timer takes no real time, so unattended runs are fast and repeatable.
Clock::time_point now();
void sleep_until(Clock::time_point when);

}  // namespace platform

#endif
