// The message machinery: sending, posting, the queue and the loop's calls,
// timers, and the record of messages for tests.
#include <algorithm>
#include <cstdio>

#include "machine.h"
#include "trace/trace.h"
#include "user/input.h"
#include "user/message_log.h"
#include "user/window.h"

namespace platform {

namespace {

struct MessageLogState {
    bool on = false;                  // start_message_log was called
    std::vector<LoggedMessage> log;   // what reached window procedures since
};

MessageLogState& log_state()
{
    static MessageLogState s;
    return s;
}

long long handle_number(HWND handle)
{
    return (long long)(uintptr_t)handle;
}

const char* dde_name(UINT message)
{
    switch (message) {
    case WM_DDE_INITIATE: return "INITIATE";
    case WM_DDE_TERMINATE: return "TERMINATE";
    case WM_DDE_ADVISE: return "ADVISE";
    case WM_DDE_UNADVISE: return "UNADVISE";
    case WM_DDE_ACK: return "ACK";
    case WM_DDE_DATA: return "DATA";
    case WM_DDE_REQUEST: return "REQUEST";
    case WM_DDE_POKE: return "POKE";
    case WM_DDE_EXECUTE: return "EXECUTE";
    }
    return "?";
}

// DDE messages are visible effects: each send or post of one is traced with
// the window it names as its sender (wParam) and the window it goes to.
void trace_dde(HWND to, UINT message, WPARAM wparam, bool posted)
{
    if (message < WM_DDE_FIRST || message > WM_DDE_LAST) return;
    trace::Event("dde")
        .text("message", dde_name(message))
        .number("from", (long long)wparam)
        .number("to", handle_number(to))
        .boolean("posted", posted);
}

bool matches_filter(const MSG& m, HWND window, UINT low, UINT high)
{
    if (window && !is_same_or_descendant(m.hwnd, window)) return false;
    if (low == 0 && high == 0) return true;
    return m.message >= low && m.message <= high;
}

bool take_posted(MSG& out, HWND window, UINT low, UINT high)
{
    auto& posted = user_state().posted;
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (!matches_filter(*it, window, low, high)) continue;
        out = *it;
        posted.erase(it);
        return true;
    }
    return false;
}

HWND find_window_to_paint(HWND handle)
{
    Window* w = find_window(handle);
    if (!w || !w->visible) return nullptr;
    if (w->needs_paint) return handle;
    for (HWND child : w->children)
        if (HWND found = find_window_to_paint(child)) return found;
    return nullptr;
}

bool take_paint(MSG& out, HWND window)
{
    for (HWND top : user_state().top_levels) {
        HWND found = find_window_to_paint(top);
        if (found && (!window || is_same_or_descendant(found, window))) {
            out = MSG{found, WM_PAINT, 0, 0, 0, {0, 0}};
            return true;
        }
    }
    return false;
}

std::optional<Clock::time_point> next_timer_due()
{
    std::optional<Clock::time_point> due;
    for (const Timer& t : user_state().timers)
        if (!due || t.due < *due) due = t.due;
    return due;
}

bool take_timer(MSG& out, HWND window)
{
    UserState& s = user_state();
    Clock::time_point current = now();
    Timer* earliest = nullptr;
    for (Timer& t : s.timers)
        if (t.due <= current && (!window || is_same_or_descendant(t.window, window)) &&
            (!earliest || t.due < earliest->due))
            earliest = &t;
    if (!earliest) return false;
    // Timers repeat: the next one is due a period after this one is fetched.
    earliest->due = current + std::chrono::milliseconds(earliest->elapse_ms);
    out = MSG{earliest->window, WM_TIMER, earliest->id, (LPARAM)earliest->function, 0, {0, 0}};
    return true;
}

bool any_program_window_visible()
{
    for (Window* w : program_top_levels())
        if (w->visible) return true;
    return false;
}

}  // namespace

void start_message_log()
{
    log_state().log.clear();
    log_state().on = true;
}

std::vector<LoggedMessage> stop_message_log()
{
    log_state().on = false;
    return std::move(log_state().log);
}

const char* message_name(UINT message)
{
    struct Name {
        UINT number;
        const char* name;
    };
    static constexpr Name NAMES[] = {
        {WM_NULL, "WM_NULL"}, {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"},
        {WM_MOVE, "WM_MOVE"}, {WM_SIZE, "WM_SIZE"}, {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"}, {WM_SETTEXT, "WM_SETTEXT"},
        {WM_GETTEXT, "WM_GETTEXT"}, {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"}, {WM_PAINT, "WM_PAINT"},
        {WM_CLOSE, "WM_CLOSE"}, {WM_QUIT, "WM_QUIT"}, {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_KEYDOWN, "WM_KEYDOWN"}, {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"},
        {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"}, {WM_SYSKEYUP, "WM_SYSKEYUP"}, {WM_SYSCHAR, "WM_SYSCHAR"},
        {WM_COMMAND, "WM_COMMAND"}, {WM_SYSCOMMAND, "WM_SYSCOMMAND"}, {WM_TIMER, "WM_TIMER"},
        {WM_HSCROLL, "WM_HSCROLL"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},
        {WM_DDE_INITIATE, "WM_DDE_INITIATE"}, {WM_DDE_TERMINATE, "WM_DDE_TERMINATE"},
        {WM_DDE_ACK, "WM_DDE_ACK"}, {WM_DDE_EXECUTE, "WM_DDE_EXECUTE"},
        {EM_GETSEL, "EM_GETSEL"}, {EM_SETSEL, "EM_SETSEL"}, {EM_REPLACESEL, "EM_REPLACESEL"},
    };
    for (const Name& n : NAMES)
        if (n.number == message) return n.name;
    static thread_local char other[16];
    std::snprintf(other, sizeof other, "0x%04x", message);
    return other;
}

LRESULT call_window_procedure(HWND handle, UINT message, WPARAM wparam, LPARAM lparam, bool sent)
{
    Window* w = find_window(handle);
    if (!w) return 0;
    if (log_state().on) log_state().log.push_back({handle, message, wparam, lparam, sent});
    WNDPROC procedure = w->window_class->procedure;
    return procedure(handle, message, wparam, lparam);
}

void drop_queued_messages(HWND handle)
{
    UserState& s = user_state();
    s.posted.erase(std::remove_if(s.posted.begin(), s.posted.end(), [&](const MSG& m) { return m.hwnd == handle; }),
                   s.posted.end());
    s.input.erase(std::remove_if(s.input.begin(), s.input.end(),
                                 [&](const InputEvent& e) { return e.target == handle; }),
                  s.input.end());
}

void drop_timers(HWND handle)
{
    auto& timers = user_state().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == handle; }),
                 timers.end());
}

}  // namespace platform

using namespace platform;

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (handle == HWND_BROADCAST) {
        trace_dde(handle, message, wparam, false);
        // Every top-level window in turn, hidden ones included; a window that
        // goes away during the broadcast is skipped.
        std::vector<HWND> targets = user_state().top_levels;
        for (HWND target : targets)
            if (find_window(target)) call_window_procedure(target, message, wparam, lparam, true);
        return 1;
    }
    if (!find_window(handle)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    trace_dde(handle, message, wparam, false);
    return call_window_procedure(handle, message, wparam, lparam, true);
}

BOOL PostMessageA(HWND handle, UINT message, WPARAM wparam, LPARAM lparam)
{
    UserState& s = user_state();
    if (handle == HWND_BROADCAST) {
        trace_dde(handle, message, wparam, true);
        for (HWND target : s.top_levels) s.posted.push_back(MSG{target, message, wparam, lparam, 0, {0, 0}});
        return TRUE;
    }
    // A null window posts to the thread: the message is fetched with no window.
    if (handle && !find_window(handle)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    trace_dde(handle, message, wparam, true);
    s.posted.push_back(MSG{handle, message, wparam, lparam, 0, {0, 0}});
    return TRUE;
}

void PostQuitMessage(int exit_code)
{
    UserState& s = user_state();
    s.quit_pending = true;
    s.quit_code = exit_code;
}

BOOL GetMessageA(LPMSG message, HWND window, UINT filter_min, UINT filter_max)
{
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (window && !find_window(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    UserState& s = user_state();
    // The order of a real queue: posted messages, then the quit message, then
    // the user's input, then paints, then timers.
    for (;;) {
        if (take_posted(*message, window, filter_min, filter_max)) return message->message != WM_QUIT;
        if (s.quit_pending) {
            s.quit_pending = false;
            *message = MSG{nullptr, WM_QUIT, (WPARAM)s.quit_code, 0, 0, {0, 0}};
            return FALSE;
        }
        if (take_input(*message, window)) return TRUE;
        if (take_paint(*message, window)) return TRUE;
        if (take_timer(*message, window)) return TRUE;

        // Nothing is queued: wait for the user or for the next timer.
        std::optional<Clock::time_point> deadline = next_timer_due();
        if (any_program_window_visible()) {
            frontend().wait_for_input(deadline);
        } else if (deadline) {
            sleep_until(*deadline);
        } else {
            fatal("the program waits for a message, but none of its windows is open and nothing is pending");
        }
    }
}

BOOL TranslateMessage(const MSG* message)
{
    if (!message || message->message != WM_KEYDOWN) return FALSE;
    // The character keys of this machine's keyboard. Text arrives as
    // VK_PACKET with the character in the high word, as it does on Windows
    // for input that comes from no physical key.
    WPARAM key = message->wParam & 0xFFFF;
    int character = -1;
    switch (key) {
    case VK_PACKET: character = (int)((message->wParam >> 16) & 0xFF); break;
    case VK_RETURN: character = '\r'; break;
    case VK_TAB: character = '\t'; break;
    case VK_ESCAPE: character = 0x1B; break;
    case VK_BACK: character = '\b'; break;
    case VK_SPACE: character = ' '; break;
    }
    if (character < 0) return FALSE;
    user_state().posted.push_back(MSG{message->hwnd, WM_CHAR, (WPARAM)character, message->lParam, 0, {0, 0}});
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (!message || !message->hwnd) return 0;
    if (message->message == WM_TIMER && message->lParam) {
        if (!find_window(message->hwnd)) return 0;
        TIMERPROC function = (TIMERPROC)message->lParam;
        function(message->hwnd, WM_TIMER, message->wParam, 0);
        return 0;
    }
    if (!find_window(message->hwnd)) return 0;
    return call_window_procedure(message->hwnd, message->message, message->wParam, message->lParam, false);
}

short GetKeyState(int virtual_key)
{
    if (virtual_key < 0 || virtual_key > 255) return 0;
    return (user_state().key_state[virtual_key] & 0x80) ? (short)0x8000 : 0;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC function)
{
    UserState& s = user_state();
    if (window && !find_window(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    // Windows raises periods below ten milliseconds to ten.
    if (elapse < 10) elapse = 10;
    if (!window) {
        static UINT_PTR next_thread_timer = 0x7FFF;
        id = ++next_thread_timer;
    }
    // A second timer with the same window and identifier replaces the first.
    std::erase_if(s.timers, [&](const Timer& t) { return t.window == window && t.id == id; });
    s.timers.push_back(Timer{window, id, elapse, function, now() + std::chrono::milliseconds(elapse)});
    return window ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    auto& timers = user_state().timers;
    for (auto it = timers.begin(); it != timers.end(); ++it)
        if (it->window == window && it->id == id) {
            timers.erase(it);
            return TRUE;
        }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}
