// The text front-end. In a terminal (standard input and output both one) it
// is a screen the user works in with keys (text_screen.cpp). Otherwise it
// prints the program's windows and message boxes as text and reads the user's
// answers as lines in the response file's form (ok, cancel, click OK, click
// edit, type TEXT, key enter, close): without prompting when standard input
// is not a terminal, so a run can be piped; with standard output a terminal, a
// window that is repainted is redrawn in place.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "frontends/actions.h"
#include "frontends/frontends.h"
#include "frontends/text_render.h"
#include "frontends/text_util.h"
#include "machine.h"
#include "user/window.h"

namespace platform {

namespace {

// A printed line without the blanks at its end.
std::string trimmed(std::string line)
{
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

class LineFrontend final : public Frontend {
public:
    explicit LineFrontend(const Options& options)
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
        draw(top.handle, render_window(top, font_, false).plain_lines());
    }

    void window_destroyed(Window& w) override
    {
        if (w.handle == drawn_) drawn_ = nullptr;
    }

    int message_box(const std::string& text, const std::string& caption, UINT type) override
    {
        drawn_ = nullptr;
        print(render_box(text, caption, type, 0, false, 0).plain_lines());
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
        if (top) draw(top->handle, render_window(*top, font_, false).plain_lines());
        std::string waiting = describe_wait();
        for (;;) {
            Action action;
            if (!read_action("click CAPTION, click edit, type TEXT, key enter|tab|escape, close", waiting, action))
                continue;
            if (action.verb == Verb::type) action.argument = utf8_to_latin1(action.argument);
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
        for (const std::string& line : lines) std::printf("%s\n", trimmed(latin1_to_utf8(line)).c_str());
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
            std::printf("%s%s\n", terminal_ ? "\x1b[2K" : "", trimmed(latin1_to_utf8(line)).c_str());
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
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) return make_screen_frontend(options);
    return std::make_unique<LineFrontend>(options);
}

}  // namespace platform
