// DefWindowProcA: what a window does with the messages its procedure leaves.
#include <algorithm>
#include <cstring>

#include "machine.h"
#include "user/window.h"

using namespace platform;

namespace {

LRESULT set_text(HWND handle, LPCSTR text)
{
    Window* w = find_window(handle);
    if (!w) return FALSE;
    w->text = text ? text : "";
    invalidate_tree(handle);
    frontend().window_changed(*w, Change::text);
    return TRUE;
}

// Copies at most size - 1 characters and a terminating zero; answers the
// number of characters copied.
LRESULT get_text(HWND handle, WPARAM size, LPSTR buffer)
{
    Window* w = find_window(handle);
    if (!w || !buffer || size == 0) return 0;
    size_t n = std::min(w->text.size(), (size_t)size - 1);
    std::memcpy(buffer, w->text.data(), n);
    buffer[n] = '\0';
    return (LRESULT)n;
}

LRESULT system_command(HWND handle, WPARAM command)
{
    // The low four bits of the command are the system's own.
    switch (command & 0xFFF0) {
    case SC_CLOSE: SendMessageA(handle, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(handle, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(handle, SW_MAXIMIZE); break;
    case SC_RESTORE: ShowWindow(handle, SW_RESTORE); break;
    }
    return 0;
}

}  // namespace

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!find_window(handle)) return 0;
    switch (message) {
    case WM_NCCREATE: {
        const CREATESTRUCTA* create = (const CREATESTRUCTA*)lparam;
        set_text(handle, create ? create->lpszName : nullptr);
        return TRUE;
    }
    case WM_CLOSE: DestroyWindow(handle); return 0;
    case WM_SETTEXT: return set_text(handle, (LPCSTR)lparam);
    case WM_GETTEXT: return get_text(handle, wparam, (LPSTR)lparam);
    case WM_GETTEXTLENGTH: return (LRESULT)find_window(handle)->text.size();
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(handle, &paint);
        EndPaint(handle, &paint);
        return 0;
    }
    case WM_ERASEBKGND: return 1;   // the front-end fills the class background
    case WM_ACTIVATE:
        // Activation gives the focus to the window itself unless it is minimised.
        if (LOWORD(wparam) != WA_INACTIVE && HIWORD(wparam) == 0) SetFocus(handle);
        return 0;
    case WM_SYSCOMMAND: return system_command(handle, wparam);
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the window, as its system menu's Close does.
        if ((wparam & 0xFFFF) == VK_F4 && (lparam & (LPARAM(1) << 29)))
            SendMessageA(top_level_of(handle), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    return 0;
}
