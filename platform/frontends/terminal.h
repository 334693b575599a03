// The terminal under the text front-end: raw keyboard input with the keys
// decoded from the bytes terminals send, mouse clicks where the terminal
// reports them, and the screen's size. The terminal is put back as it was
// when the run ends, however it ends.
#ifndef QUORIX_PLATFORM_FRONTENDS_TERMINAL_H
#define QUORIX_PLATFORM_FRONTENDS_TERMINAL_H

#include <optional>
#include <string>
#include <termios.h>
#include <vector>

#include "frontends/frontend.h"
#include "win32.h"

namespace platform::terminal {

struct Key {
    enum class Kind {
        character,     // a typed character of the ANSI code page
        virtual_key,   // a named key (Enter, an arrow, F4, ...)
        alt_letter,    // Alt with a letter or digit, given in upper case
        click,         // the left mouse button released on a cell
        redraw,        // Ctrl+L: the user wants the screen drawn anew
    };
    Kind kind = Kind::character;
    unsigned char character = 0;   // character and alt_letter
    UINT virtual_key = 0;
    bool shift = false;
    bool alt = false;
    int column = 0, row = 0;       // click: the cell, counted from 0

    bool operator==(const Key&) const = default;
};

// Decodes what a terminal sent. An escape sequence or UTF-8 character cut off
// at the end stays in `pending` for the next read, unless `complete` says no
// more is coming, in which case a lone Escape is the Escape key.
std::vector<Key> decode(std::string& pending, bool complete);

// Raw mode on standard input for as long as it lives; the terminal comes back
// as it was when it ends, or when a signal ends the process.
class RawMode {
public:
    RawMode();
    ~RawMode();
    RawMode(const RawMode&) = delete;
    RawMode& operator=(const RawMode&) = delete;
    bool active() const { return active_; }
    // Puts the terminal back now.
    void end();

private:
    bool active_ = false;
};

// Waits for input on standard input until the deadline and appends what
// came. Returns false when standard input has ended.
bool read_input(std::string& into, std::optional<Clock::time_point> deadline);

// True once since the last call if the terminal changed its size.
bool resized();

// The screen's size in cells; 80 x 24 when the terminal does not say.
void screen_size(int& columns, int& rows);

// Writes to standard output at once.
void write_out(const std::string& text);

}  // namespace platform::terminal

#endif
