// The lines of a text file that the machine keeps (the registry's .reg files,
// the Program Manager's group files).
#ifndef QUORIX_PLATFORM_FILES_TEXT_LINES_H
#define QUORIX_PLATFORM_FILES_TEXT_LINES_H

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The lines without their ends ("\n" or "\r\n"); a last line without an end
// counts as a line, an empty text has none.
inline std::vector<std::string> split_lines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(pos, end - pos));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pos = end + 1;
    }
    return lines;
}

}  // namespace platform

#endif
