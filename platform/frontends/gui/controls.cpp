// The program's child windows: each is an X11 subwindow of its parent at the
// position the program gave it, drawn from the machine's record of it (the
// text, an edit field's caret and selection, a button held down, a scroll
// bar's range and position). A click on one becomes the machine's click, and
// the control's own procedure decides what it means.
#include <FL/Fl.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>

#include "frontends/actions.h"
#include "frontends/gui/gui.h"
#include "frontends/text_util.h"
#include "user/input.h"
#include "user/window.h"

namespace platform::gui {

namespace {

// An edit field keeps this many pixels between its border and its text.
constexpr int EDIT_MARGIN = 2;

Fl_Align static_alignment(DWORD style)
{
    Fl_Align horizontal = (style & SS_CENTER) ? FL_ALIGN_CENTER : (style & SS_RIGHT) ? FL_ALIGN_RIGHT : FL_ALIGN_LEFT;
    return Fl_Align(horizontal | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP | FL_ALIGN_CLIP);
}

int char_width(char c)
{
    return text_width(std::string(1, c));
}

}  // namespace

ControlWindow::ControlWindow(Window& record)
    : Fl_Double_Window(record.x, record.y, std::max(record.width, 1), std::max(record.height, 1)),
      handle_(record.handle)
{
    if (record.kind == ControlKind::scrollbar) {
        // FLTK's scroll bar draws the arrows, the track and the thumb; the
        // machine keeps the range and the position.
        scrollbar_ = new Fl_Scrollbar(0, 0, w(), h());
        scrollbar_->type((record.style & SBS_VERT) ? FL_VERTICAL : FL_HORIZONTAL);
        scrollbar_->clear_visible_focus();
        // The track is lighter than the face, as the system's checkered
        // scroll bar track looks, so that the bar reads as a bar; the thumb
        // and the arrows are raised in the face colour.
        scrollbar_->box(FL_FLAT_BOX);
        scrollbar_->color(SCROLL_TRACK);
        scrollbar_->selection_color(FACE);
        scrollbar_->slider(FL_UP_BOX);
    }
    end();
}

void ControlWindow::sync()
{
    Window* w = find_window(handle_);
    if (!w) return;
    int width = std::max(w->width, 1), height = std::max(w->height, 1);
    if (w->x != x() || w->y != y() || width != this->w() || height != h()) resize(w->x, w->y, width, height);
    if (scrollbar_) {
        scrollbar_->resize(0, 0, width, height);
        int minimum = w->scroll.minimum, maximum = std::max(w->scroll.maximum, minimum + 1);
        scrollbar_->bounds(minimum, maximum);
        scrollbar_->value(w->scroll.position);
        // The thumb of a scroll bar control is square.
        bool horizontal = !(w->style & SBS_VERT);
        int thickness = horizontal ? height : width, length = horizontal ? width : height;
        int track = std::max(length - 2 * thickness, 1);
        scrollbar_->slider_size(std::min(1.0, double(thickness) / track));
    }
    // A window of no width or height shows nothing, and X11 has no such window.
    bool shown = w->visible && w->width > 0 && w->height > 0;
    if (shown && !visible())
        Fl_Widget::show();
    else if (!shown && visible())
        Fl_Widget::hide();
    name_x_window();
    redraw();
}

void ControlWindow::name_x_window()
{
    // The X11 window is named after the control's class and handle, and a
    // button's after its caption too, so that tools reading the window tree
    // can tell the program's windows apart.
    if (!shown()) return;
    const Window* w = find_window(handle_);
    if (!w) return;
    std::string name = w->window_class->name + " " + std::to_string((uintptr_t)handle_);
    if (w->kind == ControlKind::button) name += " " + shown_caption(w->text);
    if (name == x_name_) return;
    XStoreName(fl_display, fl_xid(this), name.c_str());
    x_name_ = name;
}

void ControlWindow::draw()
{
    name_x_window();
    const Window* w = find_window(handle_);
    if (!w) {
        fl_color(FACE);
        fl_rectf(0, 0, this->w(), h());
        return;
    }
    fl_font(TEXT_FONT, FONT_SIZE);
    switch (w->kind) {
    case ControlKind::static_text: draw_static(*w); break;
    case ControlKind::edit: draw_edit(*w); break;
    case ControlKind::button: draw_button(*w); break;
    case ControlKind::scrollbar: Fl_Double_Window::draw(); break;
    case ControlKind::none:
        fl_color(brush_color(w->window_class->background));
        fl_rectf(0, 0, this->w(), h());
        draw_children();
        break;
    }
}

void ControlWindow::draw_static(const Window& w)
{
    // Static controls paint on the system's face colour.
    fl_color(FACE);
    fl_rectf(0, 0, this->w(), h());
    fl_color(DARK);
    std::string text = latin1_to_utf8(shown_caption(w.text));
    fl_draw(text.c_str(), 0, 0, this->w(), h(), static_alignment(w.style), nullptr, 0);
}

void ControlWindow::draw_edit(const Window& w)
{
    bool focused = user_state().focus == handle_;
    int border = (w.style & WS_BORDER) ? 1 : 0;
    fl_color(FL_WHITE);
    fl_rectf(0, 0, this->w(), h());
    if (border) {
        fl_color(DARK);
        fl_rect(0, 0, this->w(), h());
    }
    int left = border + EDIT_MARGIN, width = std::max(this->w() - 2 * left, 1);
    const std::string& text = w.text;
    size_t caret = std::min(w.edit.caret, text.size());
    size_t start = std::min({w.edit.caret, w.edit.anchor, text.size()});
    size_t end = std::min(std::max(w.edit.caret, w.edit.anchor), text.size());

    // The field scrolls horizontally to keep the caret in view; going past
    // the right edge, it brings the caret back to three quarters of the width.
    if (first_visible_ > caret) first_visible_ = caret;
    if (text_width(text.substr(first_visible_, caret - first_visible_)) > width) {
        size_t first = caret;
        int used = 0;
        while (first > 0 && used + char_width(text[first - 1]) <= width * 3 / 4) used += char_width(text[--first]);
        first_visible_ = first;
    }

    int baseline = (h() - fl_height()) / 2 + fl_height() - fl_descent();
    fl_push_clip(left, border, width, std::max(h() - 2 * border, 0));
    int x = left;
    auto run = [&](size_t from, size_t to, bool selected) {
        if (to <= from) return;
        std::string part = text.substr(from, to - from);
        int part_width = text_width(part);
        if (selected) {
            fl_color(SELECTION);
            fl_rectf(x, baseline - (fl_height() - fl_descent()), part_width, fl_height());
        }
        fl_color(selected ? FL_WHITE : DARK);
        draw_text(part, x, baseline);
        x += part_width;
    };
    // The selection shows only while the field has the focus, as in a field
    // without ES_NOHIDESEL.
    bool show_selection = focused && start < end;
    size_t from = first_visible_;
    if (show_selection && end > from) {
        run(from, std::max(start, from), false);
        run(std::max(start, from), end, true);
        run(end, text.size(), false);
    } else {
        run(from, text.size(), false);
    }
    if (focused) {
        int caret_x = left + text_width(text.substr(first_visible_, caret - first_visible_));
        fl_color(DARK);
        fl_yxline(caret_x, baseline - (fl_height() - fl_descent()), baseline + fl_descent() - 1);
    }
    fl_pop_clip();
}

void ControlWindow::draw_button(const Window& w)
{
    bool is_default = (w.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    draw_push_button(0, 0, this->w(), h(), w.text, is_default, w.pressed || held_, user_state().focus == handle_);
}

bool released_on(Fl_Window& window, int event, bool& held)
{
    bool inside = Fl::event_inside(0, 0, window.w(), window.h());
    switch (event) {
    case FL_PUSH: held = true; return false;
    case FL_DRAG: held = inside; return false;
    case FL_RELEASE: {
        bool clicked = held && inside;
        held = false;
        return clicked;
    }
    }
    return false;
}

int child_window_event(Fl_Window& window, int event)
{
    switch (event) {
    case FL_KEYBOARD:
    case FL_SHORTCUT:
        if (Fl_Window* top = window.top_window(); top && top != &window) return top->handle(event);
        return 1;
    case FL_FOCUS:
    case FL_UNFOCUS: return 0;
    case FL_ENTER:
    case FL_LEAVE:
    case FL_MOVE: return 1;
    }
    return -1;
}

int ControlWindow::handle(int event)
{
    const Window* w = find_window(handle_);
    switch (event) {
    case FL_PUSH:
    case FL_DRAG:
    case FL_RELEASE: {
        if (event == FL_PUSH && (!w || session().box_open)) return 1;
        // A button shows pressed while the pointer stays on it.
        bool was_held = held_;
        bool clicked = released_on(*this, event, held_) && w;
        if (held_ != was_held && w && w->kind == ControlKind::button) redraw();
        // The click is the machine's: the button's own procedure tells its
        // parent, an edit field takes the focus. A static control is
        // transparent to the mouse, so its parent gets the click.
        if (clicked) input::click(w->kind == ControlKind::static_text ? w->parent : handle_);
        return 1;
    }
    }
    int answer = child_window_event(*this, event);
    return answer >= 0 ? answer : Fl_Double_Window::handle(event);
}

}  // namespace platform::gui
