// Top-level windows: the frame and caption the front-end draws, the client
// area, and what the user does with the title bar and the frame.
#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>

#include "frontends/gui/gui.h"
#include "frontends/text_util.h"
#include "user/input.h"
#include "user/window.h"

namespace platform::gui {

namespace {

// The smallest outer size a user can drag a window to, as the system's
// minimum tracking size has it.
constexpr int MIN_TRACK_WIDTH = 112;

// The client area: the class background and the controls.
class ClientArea : public Fl_Double_Window {
public:
    ClientArea(TopWindow& top, int x, int y, int width, int height)
        : Fl_Double_Window(x, y, width, height), top_(top)
    {
        end();
    }

    void draw() override
    {
        const Window* w = find_window(top_.handle());
        fl_color(w ? brush_color(w->window_class->background) : FACE);
        fl_rectf(0, 0, this->w(), this->h());
        draw_children();
        if (!named_ && fl_xid(this)) {
            XStoreName(fl_display, fl_xid(this), "client");
            named_ = true;
        }
    }

    int handle(int event) override
    {
        switch (event) {
        case FL_PUSH:
            // A press reaches a window through its top-level window; the
            // controls under the pointer take it first.
            if (Fl_Double_Window::handle(event)) return 1;
            pushed_ = !session().box_open && top_.handle();
            return 1;
        case FL_DRAG: return 1;
        case FL_RELEASE:
            // A click on the background goes to the top-level window itself.
            if (pushed_ && top_.handle() && Fl::event_inside(0, 0, w(), h())) input::click(top_.handle());
            pushed_ = false;
            return 1;
        case FL_KEYBOARD:
        case FL_SHORTCUT: return top_.handle(event);
        }
        return Fl_Double_Window::handle(event);
    }

private:
    TopWindow& top_;
    bool pushed_ = false;
    bool named_ = false;
};

Fl_Cursor cursor_for(Part part)
{
    switch (part) {
    case Part::left:
    case Part::right: return FL_CURSOR_WE;
    case Part::top:
    case Part::bottom: return FL_CURSOR_NS;
    case Part::top_left:
    case Part::bottom_right: return FL_CURSOR_NWSE;
    case Part::top_right:
    case Part::bottom_left: return FL_CURSOR_NESW;
    default: return FL_CURSOR_DEFAULT;
    }
}

bool is_edge(Part part)
{
    return part >= Part::left;
}

}  // namespace

TopWindow::TopWindow(Window& record)
    : Fl_Double_Window(record.x, record.y, std::max(record.width, 1), std::max(record.height, 1)),
      handle_(record.handle)
{
    clear_border();
    xclass(record.window_class->name.c_str());
    client_ = new ClientArea(*this, 0, 0, 1, 1);
    end();
    sync();
}

Decoration TopWindow::decoration() const
{
    Decoration d;
    const Window* w = find_window(handle_);
    if (!w) return d;
    d.title = w->text;
    d.active = user_state().active == handle_;
    frame_and_caption(*w, d.frame, d.caption);
    d.sizing = (w->style & WS_THICKFRAME) != 0;
    d.close_box = (w->style & WS_SYSMENU) != 0;
    d.minimize_box = d.close_box && (w->style & WS_MINIMIZEBOX);
    d.maximize_box = d.close_box && (w->style & WS_MAXIMIZEBOX);
    d.maximized = w->maximized;
    d.minimized = w->minimized;
    return d;
}

void TopWindow::sync()
{
    Window* w = find_window(handle_);
    if (!w) return;
    Decoration d = decoration();
    int x = w->x, y = w->y, width = std::max(w->width, 1), height = std::max(w->height, 1);
    if (w->minimized) {
        // A minimised window is its caption alone, at the bottom left of the
        // screen, as the system shows one with no task bar to go to.
        fl_font(CAPTION_FONT, FONT_SIZE);
        int buttons = 3 * (d.caption - 3) + 4;
        width = std::clamp(2 * d.frame + 22 + text_width(d.title) + 8 + buttons, MIN_TRACK_WIDTH, 320);
        height = 2 * d.frame + d.caption;
        x = 0;
        y = session().screen_height - height;
    }
    if (x != this->x() || y != this->y() || width != this->w() || height != this->h()) resize(x, y, width, height);

    int client_width = 0, client_height = 0;
    client_size(*w, client_width, client_height);
    if (client_width > 0 && client_height > 0) {
        int frame_x = (w->width - client_width) / 2;
        int frame_y = w->height - client_height - frame_x;
        client_->resize(frame_x, frame_y, client_width, client_height);
        if (!client_->visible()) client_->show();
    } else if (client_->visible()) {
        client_->hide();
    }

    std::string title = latin1_to_utf8(w->text);
    if (!label() || title != label()) copy_label(title.c_str());

    if (w->visible && !shown()) {
        show();
        // The program paints next and expects it to be seen: wait until the
        // server has mapped the window, so that drawing reaches the screen.
        wait_for_expose();
    } else if (!w->visible && shown()) {
        hide();
    }
    redraw();
}

void TopWindow::focus_keyboard()
{
    if (!shown()) return;
    XRaiseWindow(fl_display, fl_xid(this));
    XSetInputFocus(fl_display, fl_xid(this), RevertToParent, CurrentTime);
    Fl::focus(this);
}

void TopWindow::draw()
{
    draw_decoration(decoration(), w(), h(), pressed_);
    draw_children();
}

bool TopWindow::begin_drag(Part part)
{
    Window* w = find_window(handle_);
    // Moving and sizing run inside the program's wait for messages, as the
    // system's own moving loop does; a program that is busy is not moved.
    if (!w || !session().waiting || w->minimized || w->maximized) return false;
    dragging_ = part;
    drag_root_x_ = Fl::event_x_root();
    drag_root_y_ = Fl::event_y_root();
    drag_x_ = w->x;
    drag_y_ = w->y;
    drag_width_ = w->width;
    drag_height_ = w->height;
    return true;
}

void TopWindow::drag()
{
    int dx = Fl::event_x_root() - drag_root_x_, dy = Fl::event_y_root() - drag_root_y_;
    int x = drag_x_, y = drag_y_, width = drag_width_, height = drag_height_;
    Decoration d = decoration();
    int min_height = 2 * d.frame + d.caption;
    auto move_left = [&](int delta) {
        delta = std::min(delta, drag_width_ - MIN_TRACK_WIDTH);
        x = drag_x_ + delta;
        width = drag_width_ - delta;
    };
    auto move_top = [&](int delta) {
        delta = std::min(delta, drag_height_ - min_height);
        y = drag_y_ + delta;
        height = drag_height_ - delta;
    };
    switch (dragging_) {
    case Part::caption:
        x += dx;
        y += dy;
        break;
    case Part::left: move_left(dx); break;
    case Part::right: width = std::max(drag_width_ + dx, MIN_TRACK_WIDTH); break;
    case Part::top: move_top(dy); break;
    case Part::bottom: height = std::max(drag_height_ + dy, min_height); break;
    case Part::top_left:
        move_left(dx);
        move_top(dy);
        break;
    case Part::top_right:
        width = std::max(drag_width_ + dx, MIN_TRACK_WIDTH);
        move_top(dy);
        break;
    case Part::bottom_left:
        move_left(dx);
        height = std::max(drag_height_ + dy, min_height);
        break;
    case Part::bottom_right:
        width = std::max(drag_width_ + dx, MIN_TRACK_WIDTH);
        height = std::max(drag_height_ + dy, min_height);
        break;
    default: return;
    }
    Window* w = find_window(handle_);
    if (!w || (w->x == x && w->y == y && w->width == width && w->height == height)) return;
    // The program is inside GetMessageA, where the system delivers the
    // messages a move sends (WM_SIZE, WM_MOVE) as it moves.
    MoveWindow(handle_, x, y, width, height, TRUE);
}

int TopWindow::handle(int event)
{
    Session& s = session();
    switch (event) {
    case FL_FOCUS:
    case FL_UNFOCUS:
        // The window keeps the keyboard itself: no child is handed the focus.
        return 1;
    case FL_KEYBOARD:
    case FL_SHORTCUT:
        // Every key is the program's, whether it means something or not, so
        // that the toolkit's own keys (Tab and the arrows moving the focus,
        // Escape closing the window) never act.
        if (!s.box_open && handle_) key_to_input();
        return 1;
    case FL_KEYUP: return 1;
    case FL_PUSH: {
        if (s.box_open || !handle_) return 1;
        Decoration d = decoration();
        Part part = hit_test(d, w(), h(), Fl::event_x(), Fl::event_y());
        if (part == Part::client) return Fl_Double_Window::handle(event);
        if (part == Part::close || part == Part::minimize || part == Part::maximize) {
            pressed_ = part;
            redraw();
        } else if (part == Part::caption && Fl::event_clicks() > 0) {
            // A double click on the caption maximises the window or restores it.
            Fl::event_clicks(0);
            input::system_command(handle_, d.maximized || d.minimized ? SC_RESTORE : SC_MAXIMIZE);
        } else if (part == Part::caption || is_edge(part)) {
            begin_drag(part);
        }
        return 1;
    }
    case FL_DRAG:
        if (dragging_ != Part::none) drag();
        return 1;
    case FL_RELEASE: {
        // The pointer's place at the release is where a move or resize ends,
        // whether or not a motion came before it.
        if (dragging_ != Part::none) drag();
        Part released = pressed_;
        pressed_ = Part::none;
        dragging_ = Part::none;
        if (released != Part::none) {
            redraw();
            Decoration d = decoration();
            if (handle_ && hit_test(d, w(), h(), Fl::event_x(), Fl::event_y()) == released) {
                WPARAM command = SC_CLOSE;
                if (released == Part::minimize) command = d.minimized ? SC_RESTORE : SC_MINIMIZE;
                if (released == Part::maximize) command = d.maximized ? SC_RESTORE : SC_MAXIMIZE;
                input::system_command(handle_, command);
            }
        }
        return 1;
    }
    case FL_MOVE:
    case FL_ENTER:
        if (dragging_ == Part::none) cursor(cursor_for(hit_test(decoration(), w(), h(), Fl::event_x(), Fl::event_y())));
        return 1;
    case FL_LEAVE:
        if (dragging_ == Part::none) cursor(FL_CURSOR_DEFAULT);
        return 1;
    }
    return Fl_Double_Window::handle(event);
}

Fl_Group* container_of(HWND parent)
{
    Session& s = session();
    if (auto top = s.tops.find(parent); top != s.tops.end()) return top->second->client();
    if (auto control = s.controls.find(parent); control != s.controls.end()) return control->second;
    return nullptr;
}

}  // namespace platform::gui
