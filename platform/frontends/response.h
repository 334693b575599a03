// The response file: the user's answers, one action a line, taken in order
// whenever the program waits for the user. The text front-end reads the same
// lines from a pipe, and recording writes them.
#ifndef QUORIX_PLATFORM_FRONTENDS_RESPONSE_H
#define QUORIX_PLATFORM_FRONTENDS_RESPONSE_H

#include <string>
#include <string_view>
#include <vector>

#include "win32.h"

namespace platform {

enum class Verb { ok, cancel, click, type, key, close };

struct Action {
    Verb verb = Verb::ok;
    std::string argument;   // click: the caption (or "edit"); type: the text
    UINT key = 0;           // key: the virtual key
    int line = 0;           // where it came from, for messages; 0 when made in code
};

// Parses one line. Returns true with `is_action` false for a blank line or a
// comment (a line whose first non-blank character is '#'); false with a
// message in `error` for a line that is not an action.
bool parse_action(std::string_view line, Action& action, bool& is_action, std::string& error);

// Reads a whole response file. On failure `error` names the file and the line.
bool read_response_file(const std::string& path, std::vector<Action>& actions, std::string& error);

// The line that stands for an action, as a response file holds it.
std::string format_action(const Action& action);

}  // namespace platform

#endif
