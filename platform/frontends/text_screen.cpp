// The text front-end at a terminal: a screen the user works in with keys.
//
// The window in front is drawn in the middle of the terminal, a message box
// over it, and a line at the bottom says which keys do what. Keys typed go to
// the program as the keys they are (characters, Enter, Tab, Escape, the caret
// keys, Backspace and Delete), so the directory field is edited as in a
// window; Alt with a letter clicks the control that the bottom line names
// for it (Alt+O for OK, Alt+E into the field, ...), Alt+F4 or Alt+Q closes the
// window, and a mouse click on a control clicks it where the terminal reports
// clicks. Every repaint of the program redraws what changed in place, so the
// copy window's names, bar and number update as the files are copied.
#include <algorithm>
#include <cctype>
#include <map>

#include "frontends/actions.h"
#include "frontends/frontends.h"
#include "frontends/terminal.h"
#include "frontends/text_render.h"
#include "machine.h"
#include "user/input.h"
#include "user/window.h"

namespace platform {

namespace {

// How long the rest of an escape sequence may take to arrive before a lone
// Escape counts as the Escape key.
constexpr auto ESCAPE_WAIT = std::chrono::milliseconds(40);

// Letters that are never given to a control: they restore and close.
constexpr char RESTORE_LETTER = 'R';
constexpr char CLOSE_LETTER = 'Q';

// A control the user can click with Alt and a letter.
struct Shortcut {
    char letter;
    HWND control;
    std::string name;   // as the bottom line names it
};

struct OpenBox {
    std::string text, caption;
    UINT type;
    int focus = 0;
    int answer = 0;
};

class ScreenFrontend final : public Frontend {
public:
    explicit ScreenFrontend(const Options& options)
        : font_{options.font_width, options.font_height, 0, options.font_height * 4 / 5, options.font_width * 2},
          screen_width_(options.screen_width), screen_height_(options.screen_height)
    {
        terminal::write_out("\x1b[H\x1b[2J");
    }

    ~ScreenFrontend() override { leave(); }

    const char* name() const override { return "text"; }
    FontMetrics font() const override { return font_; }
    int screen_width() const override { return screen_width_; }
    int screen_height() const override { return screen_height_; }

    void window_painted(Window& top) override
    {
        if (!top.machine_owned) redraw();
    }

    int message_box(const std::string& text, const std::string& caption, UINT type) override
    {
        box_ = OpenBox{text, caption, type};
        std::string waiting = "the message box \"" + caption + "\"";
        while (!box_->answer) {
            redraw();
            for (const terminal::Key& key : read_keys(std::nullopt, waiting)) {
                box_key(key);
                if (box_->answer) break;
            }
        }
        int answer = box_->answer;
        // The box stays on the screen until the program draws again, so the
        // closing notice is still there to read when the setup has ended.
        box_.reset();
        return answer;
    }

    WaitResult wait_for_input(std::optional<Clock::time_point> deadline) override
    {
        for (;;) {
            redraw();
            std::vector<terminal::Key> keys = read_keys(deadline, describe_wait());
            for (const terminal::Key& key : keys) window_key(key);
            if (input::pending()) return WaitResult::input;
            if (deadline && now() >= *deadline) return WaitResult::timeout;
        }
    }

    void finished(int) override { leave(); }
    void ending_abruptly() override { leave(); }

private:
    // Reads what the user typed, waiting until something comes or the
    // deadline passes.
    std::vector<terminal::Key> read_keys(std::optional<Clock::time_point> deadline, const std::string& waiting)
    {
        if (!terminal::read_input(pending_, deadline)) fatal("standard input ended while " + waiting + " waits for the user");
        if (terminal::resized()) full_redraw_ = true;
        std::vector<terminal::Key> keys = terminal::decode(pending_, false);
        if (!pending_.empty()) {
            // Part of a sequence: the rest is on its way, or it was Escape.
            if (!terminal::read_input(pending_, now() + ESCAPE_WAIT))
                fatal("standard input ended while " + waiting + " waits for the user");
            std::vector<terminal::Key> more = terminal::decode(pending_, true);
            keys.insert(keys.end(), more.begin(), more.end());
        }
        return keys;
    }

    std::vector<Shortcut> shortcuts(const Window& top) const
    {
        std::vector<Shortcut> out;
        std::string taken = {RESTORE_LETTER, CLOSE_LETTER};
        auto letter_for = [&](const std::string& words) -> char {
            for (char c : words) {
                char upper = (char)std::toupper((unsigned char)c);
                if (std::isalnum((unsigned char)upper) && taken.find(upper) == std::string::npos) {
                    taken += upper;
                    return upper;
                }
            }
            return 0;
        };
        bool field_found = false;
        for (HWND handle : top.children) {
            const Window* c = find_window(handle);
            if (!c || !c->visible) continue;
            if (c->kind == ControlKind::button) {
                std::string caption = shown_caption(c->text);
                if (char letter = letter_for(caption)) out.push_back({letter, handle, caption});
            }
        }
        for (HWND handle : top.children) {
            const Window* c = find_window(handle);
            if (!c || !c->visible || c->kind != ControlKind::edit || field_found) continue;
            field_found = true;
            if (char letter = letter_for("EFDIT")) out.push_back({letter, handle, "field"});
        }
        return out;
    }

    std::string hint_line()
    {
        if (box_) {
            return box_->type == MB_OKCANCEL
                       ? " Enter: the marked button   Tab: the other button   Esc: Cancel"
                       : " Enter: OK";
        }
        Window* top = window_in_front();
        if (!top) return "";
        std::string hint;
        if (top->minimized) hint += "  Alt+R: restore";
        for (const Shortcut& s : shortcuts(*top)) hint += std::string("  Alt+") + s.letter + ": " + s.name;
        hint += "  Alt+Q: close";
        return hint;
    }

    void window_key(const terminal::Key& key)
    {
        Window* top = window_in_front();
        if (!top) return;
        using Kind = terminal::Key::Kind;
        switch (key.kind) {
        case Kind::character: input::character(key.character); break;
        case Kind::virtual_key:
            if (key.virtual_key == VK_F4 && key.alt) {
                input::system_command(top->handle, SC_CLOSE);
                break;
            }
            if (key.shift) input::key_down(VK_SHIFT);
            input::key(key.virtual_key, key.alt);
            if (key.shift) input::key_up(VK_SHIFT);
            break;
        case Kind::alt_letter:
            if (key.character == CLOSE_LETTER) {
                input::system_command(top->handle, SC_CLOSE);
                break;
            }
            if (key.character == RESTORE_LETTER && top->minimized) {
                input::system_command(top->handle, SC_RESTORE);
                break;
            }
            for (const Shortcut& s : shortcuts(*top))
                if (s.letter == key.character) {
                    click_control(s.control);
                    return;
                }
            // Any other Alt key is the program's system key.
            input::key(key.character, true);
            break;
        case Kind::click:
            for (const Hotspot& h : hotspots_)
                if (key.row == h.row && key.column >= h.column && key.column < h.column + h.width) {
                    if (h.kind == Hotspot::Kind::control) click_control(h.window);
                    if (h.kind == Hotspot::Kind::close) input::system_command(h.window, SC_CLOSE);
                    return;
                }
            break;
        case Kind::redraw: full_redraw_ = true; break;
        }
    }

    void box_key(const terminal::Key& key)
    {
        std::vector<BoxButton> buttons = box_buttons(box_->type);
        int count = (int)buttons.size();
        int escape = box_->type == MB_OKCANCEL ? IDCANCEL : IDOK;
        using Kind = terminal::Key::Kind;
        switch (key.kind) {
        case Kind::virtual_key:
            switch (key.virtual_key) {
            case VK_RETURN: box_->answer = buttons[box_->focus].result; break;
            case VK_ESCAPE: box_->answer = escape; break;
            case VK_F4:
                if (key.alt) box_->answer = escape;
                break;
            case VK_TAB: box_->focus = (box_->focus + (key.shift ? count - 1 : 1)) % count; break;
            case VK_LEFT:
            case VK_UP: box_->focus = (box_->focus + count - 1) % count; break;
            case VK_RIGHT:
            case VK_DOWN: box_->focus = (box_->focus + 1) % count; break;
            }
            break;
        case Kind::character:
            if (key.character == ' ') box_->answer = buttons[box_->focus].result;
            break;
        case Kind::alt_letter:
            if (key.character == CLOSE_LETTER) box_->answer = escape;
            for (const BoxButton& b : buttons)
                if (b.caption[0] == (char)key.character) box_->answer = b.result;
            break;
        case Kind::click:
            for (const Hotspot& h : hotspots_)
                if (key.row == h.row && key.column >= h.column && key.column < h.column + h.width) {
                    if (h.kind == Hotspot::Kind::box_button) box_->answer = buttons[h.button].result;
                    if (h.kind == Hotspot::Kind::close && !h.window) box_->answer = escape;
                }
            break;
        case Kind::redraw: full_redraw_ = true; break;
        }
    }

    // Composes the screen and writes the lines that changed.
    void redraw()
    {
        int columns = 0, rows = 0;
        terminal::screen_size(columns, rows);
        if (columns != columns_ || rows != rows_) full_redraw_ = true;
        columns_ = columns;
        rows_ = rows;
        Canvas screen(columns, rows);
        if (Window* top = window_in_front()) {
            Canvas window = render_window(*top, font_, true);
            screen.draw(window, (columns - window.columns()) / 2, std::max((rows - 1 - window.rows()) / 2, 0));
        }
        if (box_) {
            Canvas box = render_box(box_->text, box_->caption, box_->type, box_->focus, true, columns - 2);
            screen.draw(box, (columns - box.columns()) / 2, std::max((rows - 1 - box.rows()) / 2, 0));
            screen.caret_column = -1;
        }
        screen.put(0, rows - 1, hint_line(), Style::hint, columns);
        hotspots_ = screen.hotspots;

        std::string out;
        if (full_redraw_) {
            out += "\x1b[H\x1b[2J";
            shown_.clear();
            full_redraw_ = false;
        }
        shown_.resize(rows);
        for (int row = 0; row < rows; ++row) {
            std::string line = screen.terminal_line(row);
            if (line == shown_[row]) continue;
            out += "\x1b[" + std::to_string(row + 1) + ";1H" + line + "\x1b[K";
            shown_[row] = line;
        }
        // The terminal's cursor is the field's caret while a field has the focus.
        if (screen.caret_column >= 0)
            out += "\x1b[" + std::to_string(screen.caret_row + 1) + ";" + std::to_string(screen.caret_column + 1) +
                   "H\x1b[?25h";
        else
            out += "\x1b[?25l";
        terminal::write_out(out);
        drawn_ = true;
    }

    // Leaves the screen as it stands, with the cursor below what was drawn.
    void leave()
    {
        if (!raw_.active()) return;
        if (drawn_) {
            int last = 0;
            for (int row = 0; row < (int)shown_.size(); ++row)
                if (shown_[row].find_first_not_of(" ") != std::string::npos && row < rows_ - 1) last = row;
            terminal::write_out("\x1b[" + std::to_string(rows_) + ";1H\x1b[2K\x1b[" + std::to_string(last + 2) +
                                ";1H\x1b[?25h\r\n");
        }
        raw_.end();
    }

    FontMetrics font_;
    int screen_width_;
    int screen_height_;
    terminal::RawMode raw_;
    std::string pending_;                 // bytes of a key sequence not yet complete
    std::optional<OpenBox> box_;          // the message box on screen
    std::vector<Hotspot> hotspots_;       // what a click can land on, as last drawn
    std::vector<std::string> shown_;      // the lines on the terminal now
    int columns_ = 0, rows_ = 0;
    bool full_redraw_ = true;
    bool drawn_ = false;
};

}  // namespace

std::unique_ptr<Frontend> make_screen_frontend(const Options& options)
{
    return std::make_unique<ScreenFrontend>(options);
}

}  // namespace platform
