// The gui front-end: the program's windows as real X11 windows, through FLTK.
//
// The machine keeps every window's state; this front-end mirrors it in FLTK
// windows, draws them from the machine's records, and turns what the user does
// into the machine's input while the program waits for messages. Painting is
// the program's (UpdateWindow, a scroll bar set with redraw): the front-end
// draws and flushes at once then, with no event loop running.
#include <FL/Fl.H>
#include <FL/x.H>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "frontends/frontends.h"
#include "frontends/gui/gui.h"
#include "machine.h"
#include "user/input.h"
#include "user/window.h"

namespace platform {

namespace gui {

Session& session()
{
    static Session s;
    return s;
}

namespace {

// FLTK's last word on a broken display (the server gone, say): the run cannot
// go on, and says so the way the layer ends every run it cannot finish.
void toolkit_fatal(const char* format, ...)
{
    char message[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    fatal(std::string("the X display failed: ") + message);
}

// Marks a top-level window and its controls for drawing.
void damage_tree(const Window& top)
{
    Session& s = session();
    if (auto t = s.tops.find(top.handle); t != s.tops.end()) {
        t->second->redraw();
        t->second->client()->redraw();
    }
    for (HWND child : top.children) {
        if (auto c = s.controls.find(child); c != s.controls.end()) c->second->redraw();
        if (const Window* w = find_window(child)) damage_tree(*w);
    }
}

class GuiFrontend final : public Frontend {
public:
    GuiFrontend() = default;

    ~GuiFrontend() override
    {
        Session& s = session();
        // Windows already destroyed go first: one of them may be a control
        // of a window still here, which would otherwise be deleted twice.
        Fl::do_widget_deletion();
        for (auto& [handle, control] : s.controls) control->forget();
        for (auto& [handle, top] : s.tops) {
            top->forget();
            top->hide();
            delete top;   // and the controls inside it
        }
        s.tops.clear();
        s.controls.clear();
        Fl::check();
        if (fl_display) XSync(fl_display, False);
    }

    const char* name() const override { return "gui"; }
    FontMetrics font() const override { return session().font; }
    int screen_width() const override { return session().screen_width; }
    int screen_height() const override { return session().screen_height; }
    NonClientMetrics non_client() const override { return session().non_client; }

    void window_created(Window& w) override
    {
        if (w.machine_owned) return;
        Session& s = session();
        // FLTK adds a new widget to whatever group is open; these windows are
        // placed by hand.
        Fl_Group::current(nullptr);
        if (w.is_top_level()) {
            s.tops[w.handle] = new TopWindow(w);
            return;
        }
        Fl_Group* parent = container_of(w.parent);
        if (!parent) return;
        auto* control = new ControlWindow(w);
        parent->add(control);
        s.controls[w.handle] = control;
        control->sync();
    }

    void window_changed(Window& w, Change change) override
    {
        Session& s = session();
        if (auto t = s.tops.find(w.handle); t != s.tops.end()) {
            TopWindow* top = t->second;
            top->sync();
            if (change == Change::activation && user_state().active == w.handle) top->focus_keyboard();
            return;
        }
        if (auto c = s.controls.find(w.handle); c != s.controls.end()) c->second->sync();
    }

    void window_destroyed(Window& w) override
    {
        Session& s = session();
        Fl_Window* gone = nullptr;
        if (auto t = s.tops.find(w.handle); t != s.tops.end()) {
            t->second->forget();
            gone = t->second;
            s.tops.erase(t);
        } else if (auto c = s.controls.find(w.handle); c != s.controls.end()) {
            c->second->forget();
            gone = c->second;
            s.controls.erase(c);
        }
        if (!gone) return;
        gone->hide();
        // The window may be destroyed from inside one of its own event
        // handlers (a move that the program answers by closing it), so FLTK
        // deletes it once the handler has returned.
        Fl::delete_widget(gone);
    }

    void window_painted(Window& top) override
    {
        damage_tree(top);
        Fl::flush();
        // Shown now means on the screen when the call returns, not on its
        // way to the server.
        XSync(fl_display, False);
    }

    int message_box(const std::string& text, const std::string& caption, UINT type) override
    {
        return run_message_box(text, caption, type);
    }

    WaitResult wait_for_input(std::optional<Clock::time_point> deadline) override
    {
        Session& s = session();
        s.waiting = true;
        while (!input::pending()) {
            double seconds = 1e6;
            if (deadline) {
                Clock::duration left = *deadline - now();
                if (left <= Clock::duration::zero()) break;
                seconds = std::chrono::duration<double>(left).count();
            }
            Fl::wait(seconds);
        }
        s.waiting = false;
        return input::pending() ? WaitResult::input : WaitResult::timeout;
    }

    void finished(int) override
    {
        for (auto& [handle, top] : session().tops) top->hide();
        Fl::flush();
    }
};

}  // namespace

}  // namespace gui

bool gui_available()
{
    return true;
}

std::unique_ptr<Frontend> make_gui_frontend(std::string& error)
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) {
        error = "the gui front-end needs an X display, and DISPLAY is not set";
        return nullptr;
    }
    Display* display = XOpenDisplay(name);
    if (!display) {
        error = std::string("cannot open the X display \"") + name + "\"";
        return nullptr;
    }
    fl_open_display(display);
    Fl::fatal = gui::toolkit_fatal;
    // The classic look, whatever the user's FLTK settings say, and none of
    // the toolkit's keyboard-focus drawing: the front-end shows the focus the
    // machine has.
    Fl::scheme("base");
    Fl::background(0xC0, 0xC0, 0xC0);
    Fl::foreground(0, 0, 0);
    Fl::background2(0xFF, 0xFF, 0xFF);
    Fl::visible_focus(0);

    gui::Session& s = gui::session();
    s = gui::Session{};
    s.font = gui::measure_default_font();
    int x = 0, y = 0;
    Fl::screen_xywh(x, y, s.screen_width, s.screen_height, 0);
    // A frame of four pixels, and a caption one line of the bold caption
    // font high with a pixel above and below it.
    s.non_client = NonClientMetrics{4, s.font.height + 2};
    return std::make_unique<gui::GuiFrontend>();
}

}  // namespace platform
