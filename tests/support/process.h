// Programs the tests start: a command run to its end with its output, or a
// program that runs beside the test (the setup, driven from outside as a
// person would) until it ends or the test ends it.
#ifndef QUORIX_TESTS_SUPPORT_PROCESS_H
#define QUORIX_TESTS_SUPPORT_PROCESS_H

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

using Environment = std::map<std::string, std::string>;

// The test's own environment with these variables added or replaced.
Environment environment_with(const Environment& changes);

struct CommandResult {
    int exit_code = -1;   // -1 when it did not end in time and was killed
    std::string output;   // standard output
    std::string error;    // standard error
};

// Runs a command (found on PATH) with the test's environment and the changes.
CommandResult run_command(const std::vector<std::string>& arguments, const Environment& changes = {},
                          int timeout_seconds = 30);

class Process {
public:
    struct Start {
        std::vector<std::string> arguments;   // the program (a path, or a name on PATH) and its arguments
        Environment environment;              // the whole environment
        std::string directory;                // the current directory; the test's own when empty
        std::string input_path = "/dev/null"; // standard input
        std::string output_path;              // standard output; /dev/null when empty
        std::string error_path;               // standard error; /dev/null when empty
        int descriptor_3 = -1;                // handed on as the program's descriptor 3
    };

    explicit Process(const Start& start);
    ~Process();   // ends the program if it still runs
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return pid_ > 0; }
    bool running();
    // Waits for the end: the exit code, 128 + the signal for a program a
    // signal ended, or -1 when it was still running at the timeout (it is
    // then killed).
    int wait(int timeout_seconds);

private:
    pid_t pid_ = -1;
    int status_ = -1;   // once it has ended
};

std::string read_text_file(const std::string& path);

#endif
