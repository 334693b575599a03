// Activation and keyboard focus, as Windows has them: showing a top-level
// window activates it, and the default processing of WM_ACTIVATE gives the
// focus to the window itself unless it is minimised; controls take the focus
// only when clicked.
#include "machine.h"
#include "user/window.h"

namespace platform {

void activate_window(HWND top_level, bool by_click)
{
    UserState& s = user_state();
    if (s.active == top_level) return;
    HWND previous = s.active;
    s.active = top_level;
    if (find_window(previous)) {
        call_window_procedure(previous, WM_ACTIVATE, WA_INACTIVE, (LPARAM)top_level, true);
        if (Window* w = find_window(previous)) frontend().window_changed(*w, Change::activation);
    }
    // The focus stays only inside the active window.
    if (s.focus && top_level_of(s.focus) != top_level) SetFocus(nullptr);
    Window* w = find_window(top_level);
    if (!w) return;
    WPARAM state = MAKEWPARAM(by_click ? WA_CLICKACTIVE : WA_ACTIVE, w->minimized ? 1 : 0);
    call_window_procedure(top_level, WM_ACTIVATE, state, (LPARAM)previous, true);
    if (Window* still = find_window(top_level)) frontend().window_changed(*still, Change::activation);
}

void release_focus_and_activation(HWND handle)
{
    UserState& s = user_state();
    if (s.focus && is_same_or_descendant(s.focus, handle)) {
        HWND old = s.focus;
        s.focus = nullptr;
        if (Window* w = find_window(old)) frontend().window_changed(*w, Change::focus);
    }
    if (s.active == handle) {
        s.active = nullptr;
        if (Window* w = find_window(handle)) frontend().window_changed(*w, Change::activation);
    }
}

}  // namespace platform

using namespace platform;

HWND SetFocus(HWND handle)
{
    UserState& s = user_state();
    if (handle && !find_window(handle)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return NULL;
    }
    if (handle) {
        HWND top = top_level_of(handle);
        if (top != s.active) activate_window(top, false);
        if (!find_window(handle)) return NULL;
    }
    HWND previous = s.focus;
    if (previous == handle) return previous;
    s.focus = handle;
    if (find_window(previous)) {
        call_window_procedure(previous, WM_KILLFOCUS, (WPARAM)handle, 0, true);
        if (Window* w = find_window(previous)) frontend().window_changed(*w, Change::focus);
    }
    if (handle && find_window(handle) && s.focus == handle) {
        call_window_procedure(handle, WM_SETFOCUS, (WPARAM)previous, 0, true);
        if (Window* w = find_window(handle)) frontend().window_changed(*w, Change::focus);
    }
    return previous;
}

HWND GetFocus(void)
{
    return user_state().focus;
}

HWND GetActiveWindow(void)
{
    return user_state().active;
}
