#include "trace/trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform::trace {

namespace {

struct TraceState {
    std::FILE* file = nullptr;          // the open trace file, or null
    bool memory = false;                // lines go to `lines` instead
    std::vector<std::string> lines;     // the captured lines
};

TraceState& state()
{
    static TraceState s;
    return s;
}

}  // namespace

bool open_file(const std::string& path, std::string& error)
{
    close();
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) {
        error = "SETUP_TRACE: cannot open " + path + " for appending: " + std::strerror(errno);
        return false;
    }
    state().file = file;
    return true;
}

void open_memory()
{
    close();
    state().memory = true;
}

void close()
{
    TraceState& s = state();
    if (s.file) std::fclose(s.file);
    s.file = nullptr;
    s.memory = false;
    s.lines.clear();
}

bool enabled()
{
    return state().file != nullptr || state().memory;
}

const std::vector<std::string>& captured()
{
    return state().lines;
}

std::string json_string(std::string_view text)
{
    static const char HEX[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += HEX[c >> 4];
                out += HEX[c & 15];
            } else if (c < 0x80) {
                out += char(c);
            } else {
                out += char(0xC0 | (c >> 6));
                out += char(0x80 | (c & 0x3F));
            }
        }
    }
    out += '"';
    return out;
}

Event::Event(const char* name) : on_(enabled())
{
    if (!on_) return;
    line_ = "{\"event\":";
    line_ += json_string(name);
}

Event::~Event()
{
    if (!on_) return;
    line_ += "}\n";
    TraceState& s = state();
    if (s.memory) {
        line_.pop_back();
        s.lines.push_back(std::move(line_));
    } else if (s.file) {
        // One write a line, flushed at once: a run that ends abruptly still
        // leaves every event before the end complete.
        std::fwrite(line_.data(), 1, line_.size(), s.file);
        std::fflush(s.file);
    }
}

void Event::key(const char* field)
{
    line_ += ',';
    line_ += json_string(field);
    line_ += ':';
}

Event& Event::number(const char* field, long long value)
{
    if (on_) {
        key(field);
        line_ += std::to_string(value);
    }
    return *this;
}

Event& Event::text(const char* field, std::string_view value)
{
    if (on_) {
        key(field);
        line_ += json_string(value);
    }
    return *this;
}

Event& Event::boolean(const char* field, bool value)
{
    if (on_) {
        key(field);
        line_ += value ? "true" : "false";
    }
    return *this;
}

}  // namespace platform::trace
