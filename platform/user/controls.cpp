// The predefined control classes "static", "edit", "button" and "scrollbar",
// with the behaviour the program relies on, and the scroll bar calls.
#include <algorithm>
#include <cstring>

#include "machine.h"
#include "trace/trace.h"
#include "user/window.h"

namespace platform {

namespace {

// Windows lets a user type at most this many characters into an edit field
// that no one has given a limit.
constexpr size_t EDIT_DEFAULT_LIMIT = 32767;

void paint_nothing(HWND handle)
{
    PAINTSTRUCT paint;
    BeginPaint(handle, &paint);
    EndPaint(handle, &paint);
}

void text_changed(Window& w)
{
    invalidate_tree(w.handle);
    frontend().window_changed(w, Change::text);
}

LRESULT CALLBACK static_procedure(HWND handle, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PAINT: paint_nothing(handle); return 0;
    }
    return DefWindowProcA(handle, message, wparam, lparam);
}

// --- edit ------------------------------------------------------------------

size_t selection_start(const EditState& e)
{
    return std::min(e.caret, e.anchor);
}

size_t selection_end(const EditState& e)
{
    return std::max(e.caret, e.anchor);
}

void replace_selection(Window& w, std::string_view text)
{
    EditState& e = w.edit;
    size_t start = selection_start(e), end = selection_end(e);
    size_t room = EDIT_DEFAULT_LIMIT - std::min(EDIT_DEFAULT_LIMIT, w.text.size() - (end - start));
    text = text.substr(0, std::min(text.size(), room));
    w.text.replace(start, end - start, text);
    e.caret = e.anchor = start + text.size();
    text_changed(w);
}

void move_caret(Window& w, size_t to)
{
    EditState& e = w.edit;
    e.caret = std::min(to, w.text.size());
    // Shift held extends the selection; otherwise the caret moves alone.
    if (GetKeyState(VK_SHIFT) >= 0) e.anchor = e.caret;
    frontend().window_changed(w, Change::text);
}

void edit_key(Window& w, WPARAM key)
{
    EditState& e = w.edit;
    switch (key) {
    case VK_LEFT:
        if (e.caret > 0) move_caret(w, e.caret - 1);
        break;
    case VK_RIGHT: move_caret(w, e.caret + 1); break;
    case VK_HOME: move_caret(w, 0); break;
    case VK_END: move_caret(w, w.text.size()); break;
    case VK_DELETE:
        if (e.caret == e.anchor && e.caret < w.text.size()) e.anchor = e.caret + 1;
        replace_selection(w, "");
        break;
    default:
        // Enter, Tab and Escape included: a single-line field outside a
        // dialog box keeps them and does nothing with them.
        break;
    }
}

void edit_char(Window& w, unsigned char c)
{
    EditState& e = w.edit;
    if (c == '\b') {
        if (e.caret == e.anchor && e.caret > 0) e.anchor = e.caret - 1;
        replace_selection(w, "");
        return;
    }
    // Carriage return, tab, escape and the other control characters insert
    // nothing into a single-line field.
    if (c < 0x20 || c == 0x7F) return;
    char typed = (char)c;
    replace_selection(w, std::string_view(&typed, 1));
}

LRESULT CALLBACK edit_procedure(HWND handle, UINT message, WPARAM wparam, LPARAM lparam)
{
    Window* w = find_window(handle);
    if (!w) return 0;
    switch (message) {
    case WM_LBUTTONDOWN:
        SetFocus(handle);
        if ((w = find_window(handle))) {
            w->edit.caret = w->edit.anchor = w->text.size();
            frontend().window_changed(*w, Change::text);
        }
        return 0;
    case WM_LBUTTONUP: return 0;
    case WM_KEYDOWN: edit_key(*w, wparam & 0xFFFF); return 0;
    case WM_KEYUP: return 0;
    case WM_CHAR: edit_char(*w, (unsigned char)wparam); return 0;
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(handle, message, wparam, lparam);
        if ((w = find_window(handle))) w->edit.caret = w->edit.anchor = 0;
        return result;
    }
    case EM_SETSEL: {
        // (0, -1) selects everything; a start of -1 removes the selection.
        long start = (long)(int)wparam, end = (long)(int)lparam;
        size_t size = w->text.size();
        if (start < 0) {
            w->edit.anchor = w->edit.caret;
        } else {
            size_t s = std::min((size_t)start, size);
            size_t e = end < 0 ? size : std::min((size_t)end, size);
            w->edit.anchor = s;
            w->edit.caret = e;
        }
        frontend().window_changed(*w, Change::text);
        return 0;
    }
    case EM_GETSEL: {
        DWORD start = (DWORD)selection_start(w->edit), end = (DWORD)selection_end(w->edit);
        if (wparam) *(DWORD*)wparam = start;
        if (lparam) *(DWORD*)lparam = end;
        return MAKELONG(start, end);
    }
    case EM_REPLACESEL:
        replace_selection(*w, lparam ? (const char*)lparam : "");
        return 0;
    case WM_PAINT: paint_nothing(handle); return 0;
    }
    return DefWindowProcA(handle, message, wparam, lparam);
}

// --- button ----------------------------------------------------------------

void press(Window& w, bool pressed)
{
    w.pressed = pressed;
    invalidate_tree(w.handle);
    frontend().window_changed(w, Change::text);
}

// A released button tells its parent it was clicked.
void notify_clicked(HWND handle)
{
    Window* w = find_window(handle);
    if (!w) return;
    SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(w->id, BN_CLICKED), (LPARAM)handle);
}

LRESULT CALLBACK button_procedure(HWND handle, UINT message, WPARAM wparam, LPARAM lparam)
{
    Window* w = find_window(handle);
    if (!w) return 0;
    switch (message) {
    case WM_LBUTTONDOWN:
        SetFocus(handle);
        if ((w = find_window(handle))) press(*w, true);
        return 0;
    case WM_LBUTTONUP:
        if (w->pressed) {
            press(*w, false);
            notify_clicked(handle);
        }
        return 0;
    case WM_KEYDOWN:
        if ((wparam & 0xFFFF) == VK_SPACE) press(*w, true);
        return 0;
    case WM_KEYUP:
        if ((wparam & 0xFFFF) == VK_SPACE && w->pressed) {
            press(*w, false);
            notify_clicked(handle);
        }
        return 0;
    case WM_KILLFOCUS:
        if (w->pressed) press(*w, false);
        return 0;
    case WM_PAINT: paint_nothing(handle); return 0;
    }
    // BS_DEFPUSHBUTTON changes only the look: without a dialog manager no key
    // presses a default button.
    return DefWindowProcA(handle, message, wparam, lparam);
}

// --- scrollbar ---------------------------------------------------------------

LRESULT CALLBACK scrollbar_procedure(HWND handle, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PAINT: paint_nothing(handle); return 0;
    }
    return DefWindowProcA(handle, message, wparam, lparam);
}

Window* scroll_bar_control(HWND handle, int bar)
{
    Window* w = find_window(handle);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    // Only scroll bar controls exist here; no window has standard scroll bars.
    if (bar != SB_CTL || w->kind != ControlKind::scrollbar) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return w;
}

void scroll_changed(Window& w, BOOL redraw)
{
    frontend().window_changed(w, Change::scroll);
    invalidate_tree(w.handle);
    if (redraw) paint_now(w.handle);
}

}  // namespace

void register_control_classes()
{
    struct Control {
        const char* name;
        WNDPROC procedure;
    };
    static constexpr Control CONTROLS[] = {
        {"static", static_procedure},
        {"edit", edit_procedure},
        {"button", button_procedure},
        {"scrollbar", scrollbar_procedure},
    };
    for (const Control& c : CONTROLS) {
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = c.procedure;
        wc.lpszClassName = c.name;
        RegisterClassA(&wc);
        user_state().classes.back()->predefined = true;
    }
}

}  // namespace platform

using namespace platform;

BOOL SetScrollRange(HWND handle, int bar, int minimum, int maximum, BOOL redraw)
{
    Window* w = scroll_bar_control(handle, bar);
    if (!w) return FALSE;
    if (minimum > maximum) std::swap(minimum, maximum);
    w->scroll.minimum = minimum;
    w->scroll.maximum = maximum;
    w->scroll.position = std::clamp(w->scroll.position, minimum, maximum);
    if (!w->machine_owned)
        trace::Event("scroll")
            .number("hwnd", (long long)(uintptr_t)handle)
            .number("pos", w->scroll.position)
            .number("min", minimum)
            .number("max", maximum);
    scroll_changed(*w, redraw);
    return TRUE;
}

int SetScrollPos(HWND handle, int bar, int position, BOOL redraw)
{
    Window* w = scroll_bar_control(handle, bar);
    if (!w) return 0;
    int previous = w->scroll.position;
    w->scroll.position = std::clamp(position, w->scroll.minimum, w->scroll.maximum);
    if (!w->machine_owned)
        trace::Event("scroll").number("hwnd", (long long)(uintptr_t)handle).number("pos", w->scroll.position);
    scroll_changed(*w, redraw);
    return previous;
}

int GetScrollPos(HWND handle, int bar)
{
    Window* w = scroll_bar_control(handle, bar);
    return w ? w->scroll.position : 0;
}
