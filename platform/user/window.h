// The machine's windows: classes, window records and the state of the window
// manager (focus, activation, the message queues).
#ifndef QUORIX_PLATFORM_USER_WINDOW_H
#define QUORIX_PLATFORM_USER_WINDOW_H

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "frontends/frontend.h"
#include "win32.h"

namespace platform {

struct WindowClass {
    std::string name;             // as registered; looked up without regard to case
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    bool predefined = false;      // one of the layer's own control classes
};

// The four predefined control classes, recognised by the front-ends.
enum class ControlKind { none, static_text, edit, button, scrollbar };

struct ScrollState {
    int minimum = 0;
    int maximum = 100;
    int position = 0;
};

// A single-line edit field's caret and selection, as byte offsets into the text.
struct EditState {
    size_t caret = 0;
    size_t anchor = 0;   // the other end of the selection; equal to caret when none
};

struct Window {
    HWND handle = nullptr;
    const WindowClass* window_class = nullptr;
    ControlKind kind = ControlKind::none;
    std::string text;
    DWORD style = 0;
    DWORD ex_style = 0;
    // Outer rectangle: screen pixels for a top-level window, the parent's
    // client pixels for a child.
    int x = 0, y = 0, width = 0, height = 0;
    // The rectangle to go back to when a minimised or maximised window is restored.
    int normal_x = 0, normal_y = 0, normal_width = 0, normal_height = 0;
    HWND parent = nullptr;
    int id = 0;                   // child identifier (the menu argument of a child)
    HINSTANCE instance = nullptr;
    std::vector<HWND> children;   // in creation order
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    bool needs_paint = false;
    bool destroying = false;      // DestroyWindow is under way
    bool machine_owned = false;   // a window of the machine itself (the shell's), not the program's
    ScrollState scroll;           // scrollbar controls
    EditState edit;               // edit controls
    bool pressed = false;         // button controls: the button is held down
    std::unique_ptr<WindowView> view;   // the front-end's part

    bool is_top_level() const { return parent == nullptr; }
};

// A raw input event, turned into a message for its window only when the
// program fetches it, so that keys reach the window that has the focus then.
enum class InputKind { button_down, button_up, key_down, key_up, system_command };

struct InputEvent {
    InputKind kind;
    HWND target = nullptr;   // buttons and system commands: the window; keys: none
    WPARAM wparam = 0;       // virtual key (with the character for VK_PACKET) or SC_ command
    bool alt = false;        // keys pressed with Alt held
};

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT elapse_ms;
    TIMERPROC function;
    Clock::time_point due;
};

// The window manager's state: one per machine.
struct UserState {
    std::vector<std::unique_ptr<WindowClass>> classes;
    std::map<uintptr_t, std::unique_ptr<Window>> windows;   // live windows by handle value
    std::vector<HWND> top_levels;    // live top-level windows, in creation order
    uintptr_t next_handle = 0x10000;  // handles are never reused within a run
    ATOM next_class_atom = 0xC000;
    HWND focus = nullptr;            // the window that receives keys
    HWND active = nullptr;           // the active top-level window
    std::deque<MSG> posted;          // PostMessageA and TranslateMessage
    std::deque<InputEvent> input;    // the user's actions, not yet fetched
    bool quit_pending = false;       // PostQuitMessage was called
    int quit_code = 0;
    std::array<BYTE, 256> key_state{};  // bit 7: the key is down, as of the last fetched key message
    std::vector<Timer> timers;
};

UserState& user_state();

// The live window with this handle, or null for a null, destroyed or unknown handle.
Window* find_window(HWND handle);
// The top-level window that holds this window (itself for a top-level window).
HWND top_level_of(HWND handle);
bool is_same_or_descendant(HWND handle, HWND ancestor);
// The live top-level windows of the program (not the machine's own), in creation order.
std::vector<Window*> program_top_levels();
// The width of a top-level window's frame on each side and the height of its
// caption (0 where its style has none), as the front-end's metrics give them.
void frame_and_caption(const Window& window, int& frame, int& caption);
// The client rectangle's size, from the outer size less frame and caption.
void client_size(const Window& window, int& width, int& height);

// Calls the window's procedure; the message log sees the call. The window may
// be gone when it returns.
LRESULT call_window_procedure(HWND handle, UINT message, WPARAM wparam, LPARAM lparam, bool sent);

// Makes a top-level window the active one and, through its default
// processing, gives it the focus (platform/user/focus.cpp).
void activate_window(HWND top_level, bool by_click);
// Forgets a window that is going away as the focus or the active window.
void release_focus_and_activation(HWND handle);

// Marks the window and its visible children as needing WM_PAINT.
void invalidate_tree(HWND handle);
// Paints the window and its children that need it now, and has the front-end
// show the result (UpdateWindow, and a scroll bar set with redraw).
void paint_now(HWND handle);
// Removes queued messages and input addressed to a window that is going away.
void drop_queued_messages(HWND handle);
// Removes the timers of a window that is going away.
void drop_timers(HWND handle);

void register_control_classes();

// While one of these lives, the windows created are the machine's own: they
// are neither traced nor drawn (the shell's hidden windows).
class MachineWindowScope {
public:
    MachineWindowScope();
    ~MachineWindowScope();
    MachineWindowScope(const MachineWindowScope&) = delete;
    MachineWindowScope& operator=(const MachineWindowScope&) = delete;
};
bool creating_machine_windows();

}  // namespace platform

#endif
