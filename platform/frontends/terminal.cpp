#include "frontends/terminal.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "frontends/text_util.h"
#include "machine.h"

namespace platform::terminal {

namespace {

// What the terminal was before raw mode, for the way back.
struct termios saved_mode;
volatile std::sig_atomic_t raw_active = 0;
volatile std::sig_atomic_t size_changed = 0;

// Mouse reports off, cursor shown, colours reset.
constexpr char LEAVE[] = "\x1b[?1000l\x1b[?1006l\x1b[?25h\x1b[0m";
// Reports of button presses, in the form that carries any cell number.
constexpr char ENTER[] = "\x1b[?1000h\x1b[?1006h";

constexpr int TERMINATING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void restore_terminal()
{
    if (!raw_active) return;
    raw_active = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &saved_mode);
    ssize_t written = write(STDOUT_FILENO, LEAVE, sizeof LEAVE - 1);
    (void)written;
}

// Puts the terminal back and lets the signal end the process as it would have.
void on_terminating_signal(int signal_number)
{
    restore_terminal();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

void on_resize(int)
{
    size_changed = 1;
}

// The modifier parameter of a key sequence ("1;5" means Ctrl): 1 plus a bit
// each for Shift, Alt and Ctrl.
void apply_modifier(Key& key, int modifier)
{
    if (modifier < 2) return;
    key.shift = (modifier - 1) & 1;
    key.alt = (modifier - 1) & 2;
}

Key named(UINT virtual_key)
{
    Key key;
    key.kind = Key::Kind::virtual_key;
    key.virtual_key = virtual_key;
    return key;
}

std::vector<int> numbers(const std::string& parameters)
{
    std::vector<int> out;
    int value = 0;
    bool any = false;
    for (char c : parameters) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            any = true;
        } else if (c == ';') {
            out.push_back(any ? value : 0);
            value = 0;
            any = false;
        }
    }
    out.push_back(any ? value : 0);
    return out;
}

// The key a final letter stands for in "ESC [ ... X" and "ESC O X".
std::optional<UINT> letter_key(char final)
{
    switch (final) {
    case 'A': return VK_UP;
    case 'B': return VK_DOWN;
    case 'C': return VK_RIGHT;
    case 'D': return VK_LEFT;
    case 'H': return VK_HOME;
    case 'F': return VK_END;
    case 'P': return 0x70;   // F1
    case 'Q': return 0x71;
    case 'R': return 0x72;
    case 'S': return VK_F4;
    case 'M': return VK_RETURN;   // the keypad's Enter
    }
    return std::nullopt;
}

// The key "ESC [ n ~" stands for.
std::optional<UINT> tilde_key(int n)
{
    switch (n) {
    case 1:
    case 7: return VK_HOME;
    case 4:
    case 8: return VK_END;
    case 3: return VK_DELETE;
    case 11: return 0x70;
    case 12: return 0x71;
    case 13: return 0x72;
    case 14: return VK_F4;
    case 15: return 0x74;
    }
    return std::nullopt;
}

// Decodes "ESC [ parameters final" into keys; nothing for what means nothing here.
void control_sequence(const std::string& parameters, char final, bool alt, std::vector<Key>& keys)
{
    if (!parameters.empty() && parameters[0] == '<') {
        // A mouse report: button;column;row, M for a press and m for a release.
        std::vector<int> n = numbers(parameters.substr(1));
        if (final == 'm' && n.size() == 3 && (n[0] & ~(4 | 8 | 16)) == 0) {
            Key key;
            key.kind = Key::Kind::click;
            key.column = n[1] - 1;
            key.row = n[2] - 1;
            keys.push_back(key);
        }
        return;
    }
    std::vector<int> n = numbers(parameters);
    std::optional<UINT> vk;
    int modifier = n.size() > 1 ? n[1] : 0;
    if (final == '~')
        vk = tilde_key(n[0]);
    else if (final == 'Z') {
        Key key = named(VK_TAB);
        key.shift = true;
        keys.push_back(key);
        return;
    } else
        vk = letter_key(final);
    if (!vk) return;
    Key key = named(*vk);
    apply_modifier(key, modifier);
    key.alt = key.alt || alt;
    keys.push_back(key);
}

// Length of the UTF-8 sequence that a lead byte begins.
size_t utf8_length(unsigned char lead)
{
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

// Decodes one key or sequence at `at`. Returns how many bytes it took, or 0
// when the bytes there are the beginning of something not yet complete.
size_t decode_one(const std::string& in, size_t at, bool complete, bool alt, std::vector<Key>& keys)
{
    unsigned char c = (unsigned char)in[at];
    size_t left = in.size() - at;
    if (c == 0x1B) {
        if (left == 1) {
            if (!complete) return 0;
            Key key = named(VK_ESCAPE);
            key.alt = alt;
            keys.push_back(key);
            return 1;
        }
        char next = in[at + 1];
        if (next == '[' || next == 'O') {
            size_t i = at + 2;
            while (i < in.size() && !((unsigned char)in[i] >= 0x40 && (unsigned char)in[i] <= 0x7E)) ++i;
            if (i >= in.size()) return complete ? in.size() - at : 0;
            std::string parameters = in.substr(at + 2, i - at - 2);
            if (next == '[')
                control_sequence(parameters, in[i], alt, keys);
            else if (std::optional<UINT> vk = letter_key(in[i])) {
                Key key = named(*vk);
                key.alt = alt;
                keys.push_back(key);
            }
            return i - at + 1;
        }
        if (next == 0x1B) {
            // Escape before a key sequence is that key with Alt; Escape twice
            // is the Escape key, then whatever the second one begins.
            if (left >= 3 && (in[at + 2] == '[' || in[at + 2] == 'O')) {
                size_t taken = decode_one(in, at + 1, complete, true, keys);
                return taken ? taken + 1 : 0;
            }
            if (left == 2 && !complete) return 0;
            keys.push_back(named(VK_ESCAPE));
            return 1;
        }
        if ((unsigned char)next < 0x20 || next == 0x7F) {
            // Escape and then Enter, Tab or Backspace, typed quickly: Alt
            // means nothing with those, so they are two keys.
            keys.push_back(named(VK_ESCAPE));
            return 1;
        }
        // Escape before a key is how terminals send that key with Alt.
        size_t taken = decode_one(in, at + 1, complete, true, keys);
        return taken ? taken + 1 : 0;
    }
    if (alt && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
        Key key;
        key.kind = Key::Kind::alt_letter;
        key.character = (unsigned char)(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        key.alt = true;
        keys.push_back(key);
        return 1;
    }
    Key key;
    key.alt = alt;
    switch (c) {
    case '\r':
    case '\n': key = named(VK_RETURN); break;
    case '\t': key = named(VK_TAB); break;
    case 0x7F:
    case 0x08: key = named(VK_BACK); break;
    case 0x0C: key.kind = Key::Kind::redraw; break;
    default:
        if (c < 0x20) return 1;   // other control characters mean nothing here
        if (c < 0x80) {
            key.character = c;
            break;
        }
        {
            size_t length = std::min(utf8_length(c), left);
            if (length < utf8_length(c) && !complete) return 0;
            std::string latin1 = utf8_to_latin1(in.substr(at, length));
            key.character = latin1.empty() ? '?' : (unsigned char)latin1[0];
            key.alt = alt;
            keys.push_back(key);
            return length;
        }
    }
    key.alt = key.alt || alt;
    keys.push_back(key);
    return 1;
}

}  // namespace

std::vector<Key> decode(std::string& pending, bool complete)
{
    std::vector<Key> keys;
    size_t at = 0;
    while (at < pending.size()) {
        size_t taken = decode_one(pending, at, complete, false, keys);
        if (taken == 0) break;
        at += taken;
    }
    pending.erase(0, at);
    return keys;
}

RawMode::RawMode()
{
    if (tcgetattr(STDIN_FILENO, &saved_mode) != 0) return;
    struct termios raw = saved_mode;
    // Keys one at a time and unechoed; Enter as carriage return; Ctrl+C
    // still interrupts, Ctrl+Z and flow control do nothing.
    raw.c_lflag &= ~(ICANON | ECHO | IEXTEN);
    raw.c_iflag &= ~(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    raw.c_cc[VSUSP] = _POSIX_VDISABLE;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) return;
    raw_active = 1;
    active_ = true;
    for (int s : TERMINATING_SIGNALS) std::signal(s, on_terminating_signal);
    std::signal(SIGWINCH, on_resize);
    write_out(ENTER);
}

RawMode::~RawMode()
{
    end();
}

void RawMode::end()
{
    if (!active_) return;
    active_ = false;
    std::fflush(stdout);
    restore_terminal();
    for (int s : TERMINATING_SIGNALS) std::signal(s, SIG_DFL);
    std::signal(SIGWINCH, SIG_DFL);
}

bool read_input(std::string& into, std::optional<Clock::time_point> deadline)
{
    for (;;) {
        int timeout = -1;
        if (deadline) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - now()).count();
            timeout = (int)std::clamp<long long>(left, 0, 1 << 30);
        }
        struct pollfd fd {STDIN_FILENO, POLLIN, 0};
        int ready = poll(&fd, 1, timeout);
        if (ready < 0 && errno == EINTR) {
            if (size_changed) return true;
            continue;
        }
        if (ready <= 0) return true;
        char buffer[512];
        ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        into.append(buffer, (size_t)n);
        return true;
    }
}

bool resized()
{
    if (!size_changed) return false;
    size_changed = 0;
    return true;
}

void screen_size(int& columns, int& rows)
{
    struct winsize size {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        columns = size.ws_col;
        rows = size.ws_row;
        return;
    }
    columns = 80;
    rows = 24;
}

void write_out(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace platform::terminal
