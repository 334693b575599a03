#include "frontends/response.h"

#include <fstream>

namespace platform {

namespace {

struct KeyName {
    const char* name;
    UINT key;
};

constexpr KeyName KEY_NAMES[] = {
    {"enter", VK_RETURN},
    {"tab", VK_TAB},
    {"escape", VK_ESCAPE},
};

bool same_word(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? char(a[i] - 'A' + 'a') : a[i];
        if (x != b[i]) return false;
    }
    return true;
}

std::string_view trim_blanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

bool parse_action(std::string_view line, Action& action, bool& is_action, std::string& error)
{
    is_action = false;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view rest = line;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    if (rest.empty() || rest.front() == '#') return true;

    size_t blank = rest.find(' ');
    std::string_view verb = rest.substr(0, blank);
    // The text of "type" is the rest of the line after one blank, blanks
    // included; the other verbs ignore blanks around their argument.
    std::string_view raw_argument = blank == std::string_view::npos ? std::string_view{} : rest.substr(blank + 1);
    std::string_view argument = trim_blanks(raw_argument);

    action = Action{};
    if (same_word(verb, "ok") || same_word(verb, "cancel") || same_word(verb, "close")) {
        if (!argument.empty()) {
            error = "\"" + std::string(verb) + "\" takes nothing after it";
            return false;
        }
        action.verb = same_word(verb, "ok") ? Verb::ok : same_word(verb, "cancel") ? Verb::cancel : Verb::close;
    } else if (same_word(verb, "click")) {
        if (argument.empty()) {
            error = "\"click\" needs a button's caption or \"edit\"";
            return false;
        }
        action.verb = Verb::click;
        action.argument = std::string(argument);
    } else if (same_word(verb, "type")) {
        action.verb = Verb::type;
        action.argument = std::string(raw_argument);
    } else if (same_word(verb, "key")) {
        action.verb = Verb::key;
        for (const KeyName& k : KEY_NAMES)
            if (same_word(argument, k.name)) action.key = k.key;
        if (action.key == 0) {
            error = "\"key\" takes enter, tab or escape, not \"" + std::string(argument) + "\"";
            return false;
        }
    } else {
        error = "unknown action \"" + std::string(verb) +
                "\" (ok, cancel, click CAPTION, click edit, type TEXT, key enter|tab|escape, close)";
        return false;
    }
    is_action = true;
    return true;
}

bool read_response_file(const std::string& path, std::vector<Action>& actions, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "SETUP_SCRIPT: cannot read the response file " + path;
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        Action action;
        bool is_action = false;
        std::string why;
        if (!parse_action(line, action, is_action, why)) {
            error = "SETUP_SCRIPT: " + path + " line " + std::to_string(number) + ": " + why;
            return false;
        }
        if (is_action) {
            action.line = number;
            actions.push_back(std::move(action));
        }
    }
    if (in.bad()) {
        error = "SETUP_SCRIPT: error reading " + path;
        return false;
    }
    return true;
}

std::string format_action(const Action& action)
{
    switch (action.verb) {
    case Verb::ok: return "ok";
    case Verb::cancel: return "cancel";
    case Verb::close: return "close";
    case Verb::click: return "click " + action.argument;
    case Verb::type: return "type " + action.argument;
    case Verb::key:
        for (const KeyName& k : KEY_NAMES)
            if (k.key == action.key) return std::string("key ") + k.name;
        return "key ?";
    }
    return "";
}

}  // namespace platform
