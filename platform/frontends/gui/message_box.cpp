// The modal message box: the caption, the text with its line breaks and blank
// lines (long lines wrapped at blanks, never cut), and OK or OK and Cancel,
// centred on the screen. Like the system's box it is a small dialog: the
// focused button is the default one, Tab and the arrow keys move the focus
// between the buttons, Enter and Space press the focused button, and Escape,
// Alt+F4 and the title bar's close answer Cancel where there is one and OK
// where there is not.
#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <vector>

#include "frontends/gui/gui.h"
#include "frontends/text_util.h"
#include "user/window.h"

namespace platform::gui {

namespace {

class BoxWindow;

// A button of the box, an X11 subwindow named by its caption.
class BoxButton : public Fl_Double_Window {
public:
    BoxButton(BoxWindow& box, int index, int x, int y, int width, int height, const char* caption)
        : Fl_Double_Window(x, y, width, height), box_(box), index_(index), caption_(caption)
    {
        end();
    }
    void draw() override;
    int handle(int event) override;

private:
    BoxWindow& box_;
    int index_;
    const char* caption_;
    bool held_ = false;
    bool named_ = false;
};

struct ButtonSpec {
    const char* caption;
    int result;
};

class BoxWindow : public Fl_Double_Window {
public:
    BoxWindow(const std::string& text, const std::string& caption, UINT type)
        : Fl_Double_Window(0, 0, 1, 1), caption_(caption)
    {
        Session& s = session();
        const FontMetrics& f = s.font;
        int line_height = f.height + f.external_leading;
        if (type == MB_OKCANCEL)
            buttons_ = {{"OK", IDOK}, {"Cancel", IDCANCEL}};
        else
            buttons_ = {{"OK", IDOK}};
        escape_result_ = type == MB_OKCANCEL ? IDCANCEL : IDOK;

        frame_ = s.non_client.frame;
        caption_height_ = s.non_client.caption;
        int margin_x = 3 * f.average_width, margin_y = line_height;
        int button_width = 10 * f.average_width, button_height = (7 * line_height) / 4;
        int gap = 2 * f.average_width;

        fl_font(TEXT_FONT, FONT_SIZE);
        int limit = std::max(s.screen_width * 3 / 4 - 2 * (frame_ + margin_x), 20 * f.average_width);
        for (const std::string& line : text_lines(text)) wrap_line(line, limit, text_width, lines_);
        int text_width_max = 0;
        for (const std::string& line : lines_) text_width_max = std::max(text_width_max, text_width(line));

        int buttons_width = int(buttons_.size()) * button_width + int(buttons_.size() - 1) * gap;
        fl_font(CAPTION_FONT, FONT_SIZE);
        int title_width = 2 + 16 + 4 + text_width(caption) + 8 + caption_height_;
        int client_width = std::max({text_width_max + 2 * margin_x, buttons_width + 2 * margin_x, title_width});
        int client_height = margin_y + int(lines_.size()) * line_height + margin_y + button_height + margin_y;
        int width = client_width + 2 * frame_, height = client_height + 2 * frame_ + caption_height_;
        resize(std::max((s.screen_width - width) / 2, 0), std::max((s.screen_height - height) / 2, 0), width, height);

        text_x_ = frame_ + margin_x;
        text_y_ = frame_ + caption_height_ + margin_y;
        line_height_ = line_height;
        int button_x = (width - buttons_width) / 2;
        int button_y = text_y_ + int(lines_.size()) * line_height + margin_y;
        for (size_t i = 0; i < buttons_.size(); ++i) {
            new BoxButton(*this, int(i), button_x, button_y, button_width, button_height, buttons_[i].caption);
            button_x += button_width + gap;
        }
        end();
        clear_border();
        xclass("msgbox");
        copy_label(latin1_to_utf8(caption).c_str());
        callback([](Fl_Widget* w, void*) { static_cast<BoxWindow*>(w)->close(); });
    }

    int result() const { return result_; }
    int focus() const { return focus_; }
    void answer(int index) { result_ = buttons_[index].result; }
    void close() { result_ = escape_result_; }

    void draw() override
    {
        Decoration d = decoration();
        draw_decoration(d, w(), h(), pressed_);
        fl_font(TEXT_FONT, FONT_SIZE);
        fl_color(DARK);
        fl_push_clip(frame_, frame_ + caption_height_, w() - 2 * frame_, h() - 2 * frame_ - caption_height_);
        int baseline = text_y_ + fl_height() - fl_descent();
        for (const std::string& line : lines_) {
            draw_text(line, text_x_, baseline);
            baseline += line_height_;
        }
        fl_pop_clip();
        draw_children();
    }

    int handle(int event) override
    {
        switch (event) {
        case FL_FOCUS:
        case FL_UNFOCUS: return 1;
        case FL_KEYBOARD:
        case FL_SHORTCUT: key(); return 1;
        case FL_KEYUP: return 1;
        case FL_PUSH: {
            Part part = hit_test(decoration(), w(), h(), Fl::event_x(), Fl::event_y());
            if (part == Part::close) {
                pressed_ = part;
                redraw();
            } else if (part == Part::caption) {
                // The box runs its own loop, so it can be moved at any time.
                moving_ = true;
                move_x_ = Fl::event_x_root() - x();
                move_y_ = Fl::event_y_root() - y();
            } else {
                // The buttons take a press that lands on them.
                return Fl_Double_Window::handle(event);
            }
            return 1;
        }
        case FL_DRAG:
            if (moving_) position(Fl::event_x_root() - move_x_, Fl::event_y_root() - move_y_);
            return 1;
        case FL_RELEASE:
            moving_ = false;
            if (pressed_ == Part::close) {
                pressed_ = Part::none;
                redraw();
                if (hit_test(decoration(), w(), h(), Fl::event_x(), Fl::event_y()) == Part::close) close();
            }
            return 1;
        }
        return Fl_Double_Window::handle(event);
    }

private:
    Decoration decoration() const
    {
        Decoration d;
        d.title = caption_;
        d.active = true;
        d.frame = frame_;
        d.caption = caption_height_;
        d.close_box = true;
        return d;
    }

    void move_focus(int step)
    {
        int count = int(buttons_.size());
        focus_ = (focus_ + step + count) % count;
        for (int i = 0; i < children(); ++i) child(i)->redraw();
    }

    void key()
    {
        int key = Fl::event_key();
        bool alt = Fl::event_state(FL_ALT) != 0;
        if (key == FL_F + 4 && alt) {
            close();
        } else if (key == FL_Escape) {
            close();
        } else if (key == FL_Enter || key == FL_KP_Enter || key == ' ') {
            answer(focus_);
        } else if (key == FL_Tab) {
            move_focus(Fl::event_state(FL_SHIFT) ? -1 : 1);
        } else if (key == FL_Left || key == FL_Up) {
            move_focus(-1);
        } else if (key == FL_Right || key == FL_Down) {
            move_focus(1);
        }
    }

    std::string caption_;
    std::vector<ButtonSpec> buttons_;
    std::vector<std::string> lines_;   // the text's lines after wrapping, Latin-1
    int escape_result_ = IDOK;
    int result_ = 0;                   // the answer, once given
    int focus_ = 0;                    // the button with the focus
    int frame_ = 0, caption_height_ = 0;
    int text_x_ = 0, text_y_ = 0, line_height_ = 0;
    Part pressed_ = Part::none;
    bool moving_ = false;
    int move_x_ = 0, move_y_ = 0;
};

void BoxButton::draw()
{
    if (!named_ && shown()) {
        XStoreName(fl_display, fl_xid(this), caption_);
        named_ = true;
    }
    bool focused = box_.focus() == index_;
    draw_push_button(0, 0, w(), h(), caption_, focused, held_, focused);
}

int BoxButton::handle(int event)
{
    switch (event) {
    case FL_PUSH:
    case FL_DRAG:
    case FL_RELEASE: {
        bool was_held = held_;
        bool clicked = released_on(*this, event, held_);
        if (held_ != was_held) redraw();
        if (clicked) box_.answer(index_);
        return 1;
    }
    }
    int answer = child_window_event(*this, event);
    return answer >= 0 ? answer : Fl_Double_Window::handle(event);
}

}  // namespace

int run_message_box(const std::string& text, const std::string& caption, UINT type)
{
    Session& s = session();
    Fl_Group::current(nullptr);
    BoxWindow* box = new BoxWindow(text, caption, type);
    s.box_open = true;
    box->show();
    box->wait_for_expose();
    XRaiseWindow(fl_display, fl_xid(box));
    XSetInputFocus(fl_display, fl_xid(box), RevertToParent, CurrentTime);
    Fl::focus(box);
    while (!box->result()) Fl::wait();
    int result = box->result();
    box->hide();
    delete box;
    s.box_open = false;
    // The program's window in front gets the keyboard back, and whatever the
    // box covered is drawn again.
    if (auto top = s.tops.find(user_state().active); top != s.tops.end()) top->second->focus_keyboard();
    Fl::check();
    return result;
}

}  // namespace platform::gui
