// The machine's start and end, its environment, its front-end and its clock.
#include "machine.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <system_error>
#include <thread>

#include "faults.h"
#include "frontends/frontends.h"
#include "frontends/record.h"
#include "gdi/gdi.h"
#include "kernel/atoms.h"
#include "kernel/global_memory.h"
#include "registry/registry.h"
#include "shell/progman.h"
#include "lz/lz.h"
#include "trace/trace.h"
#include "user/window.h"

namespace platform {

namespace {

struct MachineState {
    bool running = false;                 // between start_machine and stop_machine
    Options options;                      // as the machine was started
    std::unique_ptr<Frontend> frontend;   // chosen at start, kept for the run
    bool virtual_time = false;            // the script front-end's clock
    Clock::time_point virtual_now{};      // the virtual clock's reading
};

MachineState& machine()
{
    static MachineState m;
    return m;
}

struct ShowName {
    const char* name;
    int value;
};

constexpr ShowName SHOW_NAMES[] = {
    {"SW_HIDE", SW_HIDE},
    {"SW_SHOWNORMAL", SW_SHOWNORMAL},
    {"SW_NORMAL", SW_NORMAL},
    {"SW_SHOWMINIMIZED", SW_SHOWMINIMIZED},
    {"SW_SHOWMAXIMIZED", SW_SHOWMAXIMIZED},
    {"SW_MAXIMIZE", SW_MAXIMIZE},
    {"SW_SHOWNOACTIVATE", SW_SHOWNOACTIVATE},
    {"SW_SHOW", SW_SHOW},
    {"SW_MINIMIZE", SW_MINIMIZE},
    {"SW_SHOWMINNOACTIVE", SW_SHOWMINNOACTIVE},
    {"SW_SHOWNA", SW_SHOWNA},
    {"SW_RESTORE", SW_RESTORE},
    {"SW_SHOWDEFAULT", SW_SHOWDEFAULT},
    {"SW_FORCEMINIMIZE", SW_FORCEMINIMIZE},
};

const char* variable(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// A whole decimal number within [low, high], and nothing else.
bool parse_number(const std::string& text, int low, int high, int& value)
{
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    long n = std::strtol(text.c_str(), nullptr, 10);
    if (n < low || n > high) return false;
    value = (int)n;
    return true;
}

// "AxB" with both numbers within [low, high].
bool parse_pair(const char* text, int low, int high, int& a, int& b)
{
    std::string s = text;
    size_t x = s.find_first_of("xX");
    return x != std::string::npos && parse_number(s.substr(0, x), low, high, a) &&
           parse_number(s.substr(x + 1), low, high, b);
}

std::string default_root()
{
    if (const char* data = variable("XDG_DATA_HOME")) return std::string(data) + "/quorix-setup/machine";
    if (const char* home = variable("HOME")) return std::string(home) + "/.local/share/quorix-setup/machine";
    return "quorix-machine";
}

// The machine's folder and its drive C, made on first use as a fresh
// installation of Windows has them.
bool prepare_root(const std::string& root, std::string& error)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(root) / "drive_c", ec);
    if (ec) {
        error = "SETUP_ROOT: cannot make the machine folder " + root + "/drive_c: " + ec.message();
        return false;
    }
    return true;
}

void forget_windows()
{
    // The process is ending: its windows go without messages, as they do on
    // Windows when a process exits.
    UserState& s = user_state();
    s.windows.clear();
    s = UserState{};
}

}  // namespace

Faults& faults()
{
    static Faults f;
    return f;
}

bool read_environment(Options& options, std::string& error)
{
    options = Options{};
    if (const char* show = variable("SETUP_SHOW")) {
        bool known = false;
        for (const ShowName& n : SHOW_NAMES)
            if (strcasecmp(show, n.name) == 0) {
                options.show_command = n.value;
                known = true;
            }
        if (!known && !parse_number(show, SW_HIDE, SW_FORCEMINIMIZE, options.show_command)) {
            error = std::string("SETUP_SHOW: \"") + show +
                    "\" is not a show state (a name such as SW_SHOWMINIMIZED, or a number from 0 to 11)";
            return false;
        }
    }
    if (const char* font = variable("SETUP_FONT")) {
        if (!parse_pair(font, 1, 200, options.font_width, options.font_height)) {
            error = std::string("SETUP_FONT: \"") + font +
                    "\" is not a font size CWxLH (average character width x line height, 1 to 200 pixels)";
            return false;
        }
    }
    if (const char* screen = variable("SETUP_SCREEN")) {
        if (!parse_pair(screen, 1, 65535, options.screen_width, options.screen_height)) {
            error = std::string("SETUP_SCREEN: \"") + screen + "\" is not a screen size WxH (1 to 65535 pixels)";
            return false;
        }
    }
    if (const char* ui = variable("SETUP_UI")) {
        if (strcmp(ui, "gui") != 0 && strcmp(ui, "text") != 0) {
            error = std::string("SETUP_UI: \"") + ui + "\" is not a front-end (gui or text)";
            return false;
        }
        options.ui = ui;
        options.ui_chosen = true;
    }
    if (const char* script = variable("SETUP_SCRIPT")) {
        options.script_path = script;
        if (!read_response_file(script, options.script, error)) return false;
        options.ui = "script";
    }
    if (options.ui.empty()) options.ui = variable("DISPLAY") && gui_available() ? "gui" : "text";
    if (options.ui == "gui" && !gui_available()) {
        error = "SETUP_UI: this build has no gui front-end";
        return false;
    }
    if (const char* record = variable("SETUP_RECORD")) options.record_path = record;
    if (const char* trace = variable("SETUP_TRACE")) options.trace_path = trace;
    options.root = machine_root_from_environment();
    return true;
}

std::string machine_root_from_environment()
{
    const char* root = variable("SETUP_ROOT");
    return root ? root : default_root();
}

bool start_machine(const Options& options, std::string& error, std::unique_ptr<Frontend> given)
{
    MachineState& m = machine();
    if (m.running) stop_machine(0);
    forget_windows();
    reset_gdi_state();
    reset_atoms();
    reset_global_memory();
    registry::reset_registry();
    close_lz_files();
    faults() = Faults{};
    trace::close();

    if (!prepare_root(options.root, error)) return false;
    if (!options.trace_path.empty() && !trace::open_file(options.trace_path, error)) return false;

    std::unique_ptr<Frontend> chosen = std::move(given);
    if (!chosen) chosen = make_frontend(options, error);
    if (!chosen) {
        trace::close();
        return false;
    }
    if (!options.record_path.empty() && !record::start(options.record_path, *chosen, error)) {
        trace::close();
        return false;
    }
    m.options = options;
    m.frontend = std::move(chosen);
    m.virtual_time = options.ui == "script";
    m.virtual_now = Clock::now();
    m.running = true;

    register_control_classes();
    shell::start_program_manager();
    return true;
}

void stop_machine(int exit_code)
{
    MachineState& m = machine();
    if (!m.running) return;
    record::stop();
    m.frontend->finished(exit_code);
    trace::Event("exit").number("code", exit_code);
    forget_windows();
    close_lz_files();
    trace::close();
    m.frontend.reset();
    m.running = false;
}

bool machine_running()
{
    return machine().running;
}

const Options& machine_options()
{
    return machine().options;
}

Frontend& frontend()
{
    return *machine().frontend;
}

void fatal(const std::string& message)
{
    if (MachineState& m = machine(); m.frontend) m.frontend->ending_abruptly();
    std::fflush(stdout);
    std::fprintf(stderr, "quorix-setup: %s\n", message.c_str());
    record::stop();
    trace::Event("exit").number("code", 3);
    trace::close();
    std::fflush(nullptr);
    // Straight out: the program's frames are still on the stack, and nothing
    // of it may run on.
    std::_Exit(3);
}

Clock::time_point now()
{
    MachineState& m = machine();
    return m.virtual_time ? m.virtual_now : Clock::now();
}

void sleep_until(Clock::time_point when)
{
    MachineState& m = machine();
    if (m.virtual_time) {
        if (when > m.virtual_now) m.virtual_now = when;
        return;
    }
    std::this_thread::sleep_until(when);
}

}  // namespace platform
