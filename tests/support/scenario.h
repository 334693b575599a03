// Runs the built setup program as a person's machine would, with a response
// file, a machine folder and a trace of its own, and reads what it left.
#ifndef QUORIX_TESTS_SUPPORT_SCENARIO_H
#define QUORIX_TESTS_SUPPORT_SCENARIO_H

#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

struct RunRequest {
    // Lines of the response file; without it the run uses the text front-end.
    std::optional<std::vector<std::string>> answers = std::vector<std::string>{};
    std::map<std::string, std::string> environment;   // further variables (SETUP_SHOW, ...)
    std::vector<std::string> arguments;
    std::string directory;         // the current directory; a fresh empty one when empty
    std::string root;              // SETUP_ROOT; a fresh one when empty
    std::string standard_input;    // fed through a pipe
    std::string program = QUORIX_SETUP_BINARY;
    int timeout_seconds = 60;
};

struct RunResult {
    int exit_code = -1;           // -1 when the run was killed
    std::string standard_output;
    std::string standard_error;
    std::vector<nlohmann::json> trace;
    std::string root;             // the machine folder it ran against

    std::vector<nlohmann::json> events(const std::string& name) const;
};

// A trace file's events, one object a line.
std::vector<nlohmann::json> read_trace(const std::string& path);

// What quorix-machine prints of a machine folder ("groups" or "reg"); a
// failure shows in the text.
std::string machine_report(const std::string& root, const std::string& what);

// The Program Manager group and the install key a setup into `directory`
// leaves, as quorix-machine shows them; an empty text when they are there,
// else what is missing.
std::string check_group_and_key(const std::string& root, const std::string& directory);

// Runs a command with a clean environment (PATH, HOME and what the request
// adds) and collects its output.
RunResult run_setup(const RunRequest& request, TempDir& scratch);

#endif
