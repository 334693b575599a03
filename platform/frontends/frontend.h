// The interface between the machine and whatever shows it to a person.
//
// The machine keeps every window's state itself (platform/user/window.h); a
// front-end is told when that state changes and draws it, answers message
// boxes, and turns what the user does into input (platform/user/input.h) when
// the program waits. One front-end is chosen at start-up and kept for the run.
#ifndef QUORIX_PLATFORM_FRONTENDS_FRONTEND_H
#define QUORIX_PLATFORM_FRONTENDS_FRONTEND_H

#include <chrono>
#include <optional>
#include <string>

#include "win32.h"

namespace platform {

struct Window;

// What a front-end keeps for one window (a widget, say). The window record owns
// it, so it goes when the window goes.
class WindowView {
public:
    virtual ~WindowView() = default;
};

// The metrics of the front-end's default font, in pixels.
struct FontMetrics {
    int average_width = 7;
    int height = 16;
    int external_leading = 0;
    int ascent = 13;
    int max_width = 14;
};

// The frame and caption that a top-level window with WS_OVERLAPPEDWINDOW has
// around its client area, in pixels.
struct NonClientMetrics {
    int frame = 4;
    int caption = 18;
};

// What changed in a window, so that a front-end redraws only that.
enum class Change { shown, text, scroll, focus, geometry, activation };

using Clock = std::chrono::steady_clock;

enum class WaitResult {
    input,     // the user acted: input is queued
    timeout,   // the deadline passed first
};

class Frontend {
public:
    virtual ~Frontend() = default;

    virtual const char* name() const = 0;
    virtual FontMetrics font() const = 0;
    virtual int screen_width() const = 0;
    virtual int screen_height() const = 0;
    virtual NonClientMetrics non_client() const { return {}; }

    // Notifications. The machine's record is up to date when they arrive; a
    // front-end must not call back into the program from them.
    virtual void window_created(Window&) {}
    virtual void window_destroyed(Window&) {}
    virtual void window_changed(Window&, Change) {}
    // The window (and its children) has just been painted by the program:
    // show the result now, even though no message loop runs.
    virtual void window_painted(Window&) {}

    // A modal message box. Returns IDOK or IDCANCEL. A front-end that cannot
    // get an answer ends the process through platform::fatal.
    virtual int message_box(const std::string& text, const std::string& caption, UINT type) = 0;

    // The program waits in a message loop with nothing queued and at least one
    // of its windows open. Wait for the user's next action and queue it as
    // input, or return timeout once the deadline (a pending timer) is reached.
    virtual WaitResult wait_for_input(std::optional<Clock::time_point> deadline) = 0;

    // WinMain has returned with this code.
    virtual void finished(int /*exit_code*/) {}

    // The run ends at once through platform::fatal: put the terminal or the
    // display back as the user had it, before the message is printed.
    virtual void ending_abruptly() {}
};

}  // namespace platform

#endif
