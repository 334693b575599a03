// The trace: one JSON object a line for each visible effect of the run, in
// order (SETUP_TRACE). Tests, tools and people read it, so its event and field
// names are an interface.
#ifndef QUORIX_PLATFORM_TRACE_TRACE_H
#define QUORIX_PLATFORM_TRACE_TRACE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::trace {

// Appends to the file at `path`; false with a message when it cannot be opened.
bool open_file(const std::string& path, std::string& error);
// Keeps the lines in memory instead (tests read them with captured()).
void open_memory();
void close();
bool enabled();
const std::vector<std::string>& captured();

// One event, written when it goes out of scope:
//   trace::Event("show").number("hwnd", h).number("cmd", 5);
class Event {
public:
    explicit Event(const char* name);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    Event& number(const char* field, long long value);
    Event& text(const char* field, std::string_view value);
    Event& boolean(const char* field, bool value);

private:
    void key(const char* field);
    std::string line_;
    bool on_;
};

// The text as a JSON string literal. The program's texts are single bytes of
// the ANSI code page; bytes above 127 are written as the Latin-1 characters
// with those numbers.
std::string json_string(std::string_view text);

}  // namespace platform::trace

#endif
