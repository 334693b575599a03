// Texts as the front-ends show them. The program's texts are single bytes of
// the ANSI code page, Latin-1 on this machine; terminals and X11 toolkits want
// UTF-8. Message boxes break their text into lines.
#ifndef QUORIX_PLATFORM_FRONTENDS_TEXT_UTIL_H
#define QUORIX_PLATFORM_FRONTENDS_TEXT_UTIL_H

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Latin-1 to UTF-8: every byte has a place.
std::string latin1_to_utf8(std::string_view text);

// UTF-8 to Latin-1. A character the code page has no place for becomes '?',
// as Windows' conversion to the ANSI code page does; so does a broken sequence.
std::string utf8_to_latin1(std::string_view text);

// The lines of a text as a message box shows them: split at line breaks, a
// text that ends with a line break showing no empty line after it.
std::vector<std::string> text_lines(std::string_view text);

// Breaks a line at blanks into pieces no wider than `limit`, as `width`
// measures them; a word wider than the limit is broken between characters.
// Nothing is dropped but the blanks the line is broken at.
void wrap_line(const std::string& line, int limit, const std::function<int(const std::string&)>& width,
               std::vector<std::string>& out);

}  // namespace platform

#endif
