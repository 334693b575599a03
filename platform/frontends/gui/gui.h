// The gui front-end's pieces, shared among its files: the state of the X11
// session, the FLTK windows that stand for the machine's windows, and the
// drawing helpers that give them the look of the system they stand in for.
//
// Every top-level window of the program is a borderless X11 window of its own
// outer size, at its own screen position. The front-end draws the frame and
// the caption itself (there may be no window manager at all, as under Xvfb,
// and a window manager's decoration would move the client area away from
// where the program put it), so a window is titled, sized and placed exactly
// as created. The client area is an X11 subwindow at the frame's inner corner,
// and every control is an X11 subwindow of it at the control's client
// position, so that tools reading the X11 window tree see the program's layout.
#ifndef QUORIX_PLATFORM_FRONTENDS_GUI_GUI_H
#define QUORIX_PLATFORM_FRONTENDS_GUI_GUI_H

#include <FL/Enumerations.H>
#include <FL/Fl_Double_Window.H>

#include <map>
#include <string>

#include "frontends/frontend.h"
#include "win32.h"

class Fl_Scrollbar;

namespace platform {

struct Window;

namespace gui {

class TopWindow;
class ControlWindow;

// The session: what the front-end knows for all its windows. One per run.
struct Session {
    FontMetrics font;                          // the default font's metrics
    NonClientMetrics non_client;               // frame and caption of an overlapped window
    int screen_width = 0, screen_height = 0;   // the X screen
    bool waiting = false;                      // inside wait_for_input: the program fetches messages
    bool box_open = false;                     // a modal message box takes all input
    std::map<HWND, TopWindow*> tops;           // the program's top-level windows
    std::map<HWND, ControlWindow*> controls;   // their child windows
};

Session& session();

// --- colours and text --------------------------------------------------------

// The colours of the system's classic look.
constexpr Fl_Color FACE = 0xC0C0C000;         // 3D face, buttons and frames
constexpr Fl_Color HIGHLIGHT = 0xFFFFFF00;    // lit edge
constexpr Fl_Color LIGHT = 0xDFDFDF00;        // inner lit edge
constexpr Fl_Color SHADOW = 0x80808000;       // inner shaded edge
constexpr Fl_Color DARK = 0x00000000;         // outer shaded edge, text
constexpr Fl_Color ACTIVE_CAPTION = 0x00008000;
constexpr Fl_Color INACTIVE_CAPTION = 0x80808000;
constexpr Fl_Color SELECTION = 0x00008000;
constexpr Fl_Color SCROLL_TRACK = 0xE0E0E000;   // a scroll bar's track

// The colour of a class's background brush; white for a brush the machine
// does not know.
Fl_Color brush_color(HBRUSH brush);

// The fonts: the default font for text and controls, its bold face for captions.
constexpr Fl_Font TEXT_FONT = FL_HELVETICA;
constexpr Fl_Font CAPTION_FONT = FL_HELVETICA_BOLD;
constexpr int FONT_SIZE = 14;

// Reads the metrics of the default font as GetTextMetricsA reports them.
FontMetrics measure_default_font();

// A text of the program (Latin-1) drawn at a baseline, with no symbol or
// mnemonic interpretation; clipped to the current clip region.
void draw_text(const std::string& latin1, int x, int baseline);
int text_width(const std::string& latin1);

// --- frame and caption -------------------------------------------------------

// The parts of a top-level window a press can land on.
enum class Part { none, client, caption, minimize, maximize, close, left, right, top, bottom,
                  top_left, top_right, bottom_left, bottom_right };

struct Decoration {
    std::string title;       // Latin-1
    bool active = false;
    int frame = 0;           // width of the frame on every side
    int caption = 0;         // height of the caption bar, 0 for none
    bool sizing = false;     // the frame can be dragged to resize
    bool minimize_box = false, maximize_box = false, close_box = false;
    bool maximized = false, minimized = false;
};

// Draws the frame and caption of a window of the given outer size.
void draw_decoration(const Decoration& d, int width, int height, Part pressed);
Part hit_test(const Decoration& d, int width, int height, int x, int y);

// A raised push button with its caption; the default one has a dark rim, a
// pressed one is sunken, a focused one shows a dotted rectangle.
void draw_push_button(int x, int y, int width, int height, const std::string& caption, bool is_default,
                      bool pressed, bool focused);

// --- windows ----------------------------------------------------------------

// A top-level window of the program.
class TopWindow : public Fl_Double_Window {
public:
    explicit TopWindow(Window& record);
    HWND handle() const { return handle_; }
    // The machine forgot the window: it draws and does nothing until FLTK deletes it.
    void forget() { handle_ = nullptr; }
    // Follows the machine's record: geometry, state, visibility, title.
    void sync();
    Fl_Double_Window* client() const { return client_; }
    void focus_keyboard();

    void draw() override;
    int handle(int event) override;

private:
    Decoration decoration() const;
    bool begin_drag(Part part);
    void drag();

    HWND handle_;
    Fl_Double_Window* client_;
    Part pressed_ = Part::none;     // a caption button held down
    Part dragging_ = Part::none;    // the caption or a frame edge being dragged
    int drag_root_x_ = 0, drag_root_y_ = 0;
    int drag_x_ = 0, drag_y_ = 0, drag_width_ = 0, drag_height_ = 0;
};

// A child window of the program: one of the four control classes, or a plain
// child drawn in its class background.
class ControlWindow : public Fl_Double_Window {
public:
    explicit ControlWindow(Window& record);
    HWND handle() const { return handle_; }
    void forget() { handle_ = nullptr; }
    // Follows the machine's record: geometry, visibility and content.
    void sync();

    void draw() override;
    int handle(int event) override;

private:
    void draw_static(const Window& w);
    void draw_edit(const Window& w);
    void draw_button(const Window& w);
    void name_x_window();

    HWND handle_;
    Fl_Scrollbar* scrollbar_ = nullptr;   // the scroll bar control's look
    bool held_ = false;                   // the mouse button is down on it
    size_t first_visible_ = 0;            // edit: the first character in view
    std::string x_name_;                  // the name the X11 window has been given
};

// Follows the left button on a child window that acts as a button: `held`
// while the button is down on it, true when it is released on it.
bool released_on(Fl_Window& window, int event, bool& held);

// What every child window of the front-end does alike: keys go to its
// top-level window, the toolkit's focus is refused, pointer motion is taken.
// Returns -1 for any other event.
int child_window_event(Fl_Window& window, int event);

// Keys pressed in a program window, turned into the machine's input.
// Returns true when the key meant something.
bool key_to_input();

// The FLTK window that holds a window's children: a top-level's client area
// or a control itself.
Fl_Group* container_of(HWND parent);

// The modal message box; IDOK or IDCANCEL.
int run_message_box(const std::string& text, const std::string& caption, UINT type);

}  // namespace gui

}  // namespace platform

#endif
