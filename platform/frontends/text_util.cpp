#include "frontends/text_util.h"

#include <algorithm>

namespace platform {

std::string latin1_to_utf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string utf8_to_latin1(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        // The length of the sequence from its lead byte; a stray continuation
        // byte or a bad lead byte stands alone.
        size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        size_t have = 1;
        while (have < length && i + have < text.size() && ((unsigned char)text[i + have] & 0xC0) == 0x80) ++have;
        if (length == 2 && have == 2) {
            unsigned code = ((c & 0x1F) << 6) | ((unsigned char)text[i + 1] & 0x3F);
            out += code <= 0xFF ? char(code) : '?';
        } else {
            out += '?';
        }
        i += have - 1;
    }
    return out;
}

std::vector<std::string> text_lines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            if (start < text.size() || lines.empty()) lines.emplace_back(text.substr(start));
            return lines;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

void wrap_line(const std::string& line, int limit, const std::function<int(const std::string&)>& width,
               std::vector<std::string>& out)
{
    if (width(line) <= limit) {
        out.push_back(line);
        return;
    }
    std::string current;
    bool started = false;   // `current` holds the beginning of a piece, perhaps an empty word
    size_t i = 0;
    for (;;) {
        size_t word_end = std::min(line.find(' ', i), line.size());
        std::string word = line.substr(i, word_end - i);
        std::string candidate = started ? current + " " + word : word;
        if (width(candidate) <= limit) {
            current = candidate;
        } else {
            if (started) out.push_back(current);
            current.clear();
            for (char c : word) {
                if (!current.empty() && width(current + c) > limit) {
                    out.push_back(current);
                    current.clear();
                }
                current += c;
            }
        }
        started = true;
        if (word_end >= line.size()) break;
        i = word_end + 1;
    }
    out.push_back(current);
}

}  // namespace platform
