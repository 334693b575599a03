// The text front-end: the program's windows and message boxes drawn as text,
// and the user's answers read as lines in the response file's form (ok,
// cancel, click OK, click edit, type TEXT, key enter, close). In a terminal a
// window that is repainted is redrawn in place; with standard input not a
// terminal the answers are read without prompting, so a run can be piped.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "frontends/actions.h"
#include "frontends/frontends.h"
#include "machine.h"
#include "user/window.h"

namespace platform {

namespace {

// The program's texts are of the ANSI code page; a terminal wants UTF-8.
std::string to_terminal(const std::string& text)
{
    std::string out;
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

// UTF-8 typed at a terminal, to the ANSI code page; characters it has no
// place for become '?'.
std::string from_terminal(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c < 0x80) {
            out += char(c);
        } else if ((c & 0xE0) == 0xC0 && i + 1 < text.size()) {
            unsigned code = ((c & 0x1F) << 6) | ((unsigned char)text[i + 1] & 0x3F);
            out += code <= 0xFF ? char(code) : '?';
            ++i;
        } else {
            while (i + 1 < text.size() && ((unsigned char)text[i + 1] & 0xC0) == 0x80) ++i;
            out += '?';
        }
    }
    return out;
}

// A grid of characters, one cell per character width and line height.
class Canvas {
public:
    Canvas(int columns, int rows) : lines_(std::max(rows, 1), std::string(std::max(columns, 1), ' ')) {}

    void put(int column, int row, const std::string& text, int limit)
    {
        if (row < 0 || row >= (int)lines_.size()) return;
        std::string& line = lines_[row];
        for (int i = 0; i < (int)text.size() && i < limit; ++i) {
            int at = column + i;
            if (at >= 0 && at < (int)line.size()) line[at] = text[i];
        }
    }

    std::vector<std::string> lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

std::string centred(const std::string& text, int width)
{
    if ((int)text.size() >= width) return text.substr(0, std::max(width, 0));
    int left = (width - (int)text.size()) / 2;
    return std::string(left, ' ') + text + std::string(width - left - (int)text.size(), ' ');
}

std::string field(const Window& w, int width, bool focused)
{
    int inner = std::max(width - 2, 1);
    std::string text = w.text;
    // A field that scrolls horizontally shows the end of a text too long for it.
    if ((int)text.size() > inner) text = text.substr(text.size() - inner);
    text += std::string(inner - text.size(), focused ? '_' : ' ');
    return "[" + text + "]";
}

std::string button(const Window& w, int width)
{
    bool is_default = (w.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    std::string label = is_default ? "<" + w.text + ">" : " " + w.text + " ";
    return centred("[" + label + "]", width);
}

std::string bar(const Window& w, int width)
{
    int inner = std::max(width - 2, 1);
    int range = std::max(w.scroll.maximum - w.scroll.minimum, 1);
    int filled = (int)((long long)(w.scroll.position - w.scroll.minimum) * inner / range);
    return "[" + std::string(filled, '#') + std::string(inner - filled, '.') + "]";
}

std::vector<std::string> framed(const std::string& title, const std::vector<std::string>& body, int width)
{
    std::vector<std::string> out;
    std::string head = "+-- " + title + " ";
    if ((int)head.size() < width + 2) head += std::string(width + 2 - head.size(), '-');
    out.push_back(head + "+");
    for (const std::string& line : body) out.push_back("|" + line + std::string(std::max(0, width - (int)line.size()), ' ') + "|");
    out.push_back("+" + std::string(width, '-') + "+");
    return out;
}

std::vector<std::string> render_window(const Window& top, const FontMetrics& font)
{
    int cw = std::max(font.average_width, 1), lh = std::max(font.height + font.external_leading, 1);
    int client_w = 0, client_h = 0;
    client_size(top, client_w, client_h);
    int columns = std::max(client_w / cw, 20), rows = std::max(client_h / lh, 1);
    Canvas canvas(columns, rows);
    for (HWND handle : top.children) {
        const Window* c = find_window(handle);
        if (!c || !c->visible) continue;
        int column = c->x / cw, row = c->y / lh, width = std::max(c->width / cw, 1);
        bool focused = user_state().focus == handle;
        switch (c->kind) {
        case ControlKind::static_text:
            canvas.put(column, row, (c->style & SS_CENTER) ? centred(c->text, width) : c->text, width);
            break;
        case ControlKind::edit: canvas.put(column, row, field(*c, width, focused), width); break;
        case ControlKind::button: canvas.put(column, row, button(*c, width), width); break;
        case ControlKind::scrollbar: canvas.put(column, row, bar(*c, width), width); break;
        case ControlKind::none: break;
        }
    }
    std::string title = top.text + (top.minimized ? " (minimised)" : "");
    return framed(title, canvas.lines(), columns);
}

std::vector<std::string> render_box(const std::string& text, const std::string& caption, UINT type)
{
    std::vector<std::string> body;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        body.push_back(" " + text.substr(start, end - start) + " ");
        if (end == text.size()) break;
        start = end + 1;
    }
    // A text that ends with a line break shows no empty line after it.
    if (!text.empty() && text.back() == '\n') body.pop_back();
    int width = (int)caption.size() + 6;
    for (const std::string& line : body) width = std::max(width, (int)line.size());
    body.push_back("");
    body.push_back(centred(type == MB_OKCANCEL ? "[ OK ]  [ Cancel ]" : "[ OK ]", width));
    return framed(caption, body, width);
}

class TextFrontend final : public Frontend {
public:
    explicit TextFrontend(const Options& options)
        : font_{options.font_width, options.font_height, 0, options.font_height * 4 / 5, options.font_width * 2},
          screen_width_(options.screen_width), screen_height_(options.screen_height),
          interactive_(isatty(STDIN_FILENO)), terminal_(isatty(STDOUT_FILENO))
    {
    }

    const char* name() const override { return "text"; }
    FontMetrics font() const override { return font_; }
    int screen_width() const override { return screen_width_; }
    int screen_height() const override { return screen_height_; }

    void window_painted(Window& top) override
    {
        // Without a terminal the windows are printed only when the program
        // waits; a terminal follows every repaint.
        if (!terminal_ || top.machine_owned) return;
        draw(top.handle, render_window(top, font_));
    }

    void window_destroyed(Window& w) override
    {
        if (w.handle == drawn_) drawn_ = nullptr;
    }

    int message_box(const std::string& text, const std::string& caption, UINT type) override
    {
        drawn_ = nullptr;
        print(render_box(to_terminal(text), to_terminal(caption), type));
        std::string box = "the message box \"" + caption + "\"";
        for (;;) {
            Action action;
            if (!read_action(type == MB_OKCANCEL ? "ok or cancel" : "ok", box, action)) continue;
            std::string why;
            int answer = answer_of(action, type, why);
            if (answer) return answer;
            refuse(action, box, why);
        }
    }

    WaitResult wait_for_input(std::optional<Clock::time_point>) override
    {
        Window* top = window_in_front();
        if (top) draw(top->handle, render_window(*top, font_));
        std::string waiting = describe_wait();
        for (;;) {
            Action action;
            if (!read_action("click CAPTION, click edit, type TEXT, key enter|tab|escape, close", waiting, action))
                continue;
            if (action.verb == Verb::type) action.argument = from_terminal(action.argument);
            std::string why = apply_action(action);
            if (why.empty()) {
                drawn_ = nullptr;
                return WaitResult::input;
            }
            refuse(action, waiting, why);
        }
    }

private:
    void print(const std::vector<std::string>& lines)
    {
        for (const std::string& line : lines) std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }

    // Draws a window, over its previous drawing when that is the last thing on
    // the terminal.
    void draw(HWND handle, const std::vector<std::string>& lines)
    {
        if (terminal_ && drawn_ == handle && drawn_lines_ == lines) return;
        if (terminal_ && drawn_ == handle && !drawn_lines_.empty())
            std::printf("\x1b[%zuA", drawn_lines_.size());
        for (const std::string& line : lines)
            std::printf("%s%s\n", terminal_ ? "\x1b[2K" : "", to_terminal(line).c_str());
        std::fflush(stdout);
        drawn_ = handle;
        drawn_lines_ = lines;
    }

    // Reads the next action; false for a blank line or a comment. The end of
    // standard input is the end of the run: nothing else can answer.
    bool read_action(const char* hint, const std::string& waiting, Action& action)
    {
        if (interactive_) {
            std::printf("%s > ", hint);
            std::fflush(stdout);
        }
        std::string line;
        if (!std::getline(std::cin, line)) fatal("standard input ended while " + waiting + " waits for the user");
        ++line_number_;
        if (interactive_) drawn_ = nullptr;
        bool is_action = false;
        std::string why;
        if (!parse_action(line, action, is_action, why)) {
            if (!interactive_) fatal("standard input line " + std::to_string(line_number_) + ": " + why);
            std::printf("  %s\n", why.c_str());
            return false;
        }
        action.line = line_number_;
        return is_action;
    }

    void refuse(const Action& action, const std::string& waiting, const std::string& why)
    {
        if (!interactive_)
            fatal("standard input line " + std::to_string(action.line) + " \"" + format_action(action) +
                  "\" does not fit " + waiting + ": " + why);
        std::printf("  %s\n", why.c_str());
    }

    FontMetrics font_;
    int screen_width_;
    int screen_height_;
    bool interactive_;                    // standard input is a terminal: prompt, and forgive mistakes
    bool terminal_;                       // standard output is a terminal: redraw in place
    HWND drawn_ = nullptr;                // the window drawn last, if nothing came after it
    std::vector<std::string> drawn_lines_;
    int line_number_ = 0;                 // lines read from standard input
};

}  // namespace

std::unique_ptr<Frontend> make_text_frontend(const Options& options)
{
    return std::make_unique<TextFrontend>(options);
}

}  // namespace platform
