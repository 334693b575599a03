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
    std::string directory;         // the current directory; when empty, see demo_source
    // Without a directory of its own the run starts in the demo distribution
    // (made once by quorix-demo and shared, since the setup only reads it),
    // or, when this is false, in a fresh empty folder.
    bool demo_source = true;
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

// The demo distribution made by the built quorix-demo, once per test process.
const std::string& demo_source_directory();

// A file of the demo distribution as the setup should install it: expanded
// by libmspack, a library none of us wrote, when it is compressed, and as it
// is otherwise.
const std::string& demo_original(const std::string& source);

// Checks the files a run installed, by the copies its trace records, against
// the demo's originals: all 93 rows copied, each destination holding the
// original of its source. `received` holds the bytes of destinations that
// were read elsewhere as they were written (a pipe in place of the file).
// Returns an empty text when all is right, else what is not.
std::string check_installed_files(const RunResult& run,
                                  const std::map<std::string, std::string>& received = {});

// Runs a command with a clean environment (PATH, HOME and what the request
// adds) and collects its output.
RunResult run_setup(const RunRequest& request, TempDir& scratch);

#endif
