// Painting: invalid windows, BeginPaint/EndPaint, and UpdateWindow, which
// paints at once, with no message loop running.
#include "gdi/gdi.h"
#include "machine.h"
#include "trace/trace.h"
#include "user/window.h"

namespace platform {

namespace {

// Sends WM_PAINT to the window and then to each child that still needs it.
void paint_tree(HWND handle)
{
    Window* w = find_window(handle);
    if (!w || !w->visible) return;
    if (w->needs_paint) call_window_procedure(handle, WM_PAINT, 0, 0, true);
    w = find_window(handle);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND child : children) paint_tree(child);
}

}  // namespace

void invalidate_tree(HWND handle)
{
    Window* w = find_window(handle);
    if (!w) return;
    w->needs_paint = true;
    for (HWND child : w->children) {
        Window* c = find_window(child);
        if (c && c->visible) invalidate_tree(child);
    }
}

void paint_now(HWND handle)
{
    if (!IsWindowVisible(handle)) return;
    paint_tree(handle);
    if (Window* top = find_window(top_level_of(handle))) frontend().window_painted(*top);
}

}  // namespace platform

using namespace platform;

BOOL InvalidateRect(HWND handle, const RECT*, BOOL)
{
    Window* w = find_window(handle);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    invalidate_tree(handle);
    return TRUE;
}

BOOL UpdateWindow(HWND handle)
{
    Window* w = find_window(handle);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!w->machine_owned) trace::Event("update").number("hwnd", (long long)(uintptr_t)handle);
    paint_now(handle);
    return TRUE;
}

HDC BeginPaint(HWND handle, PAINTSTRUCT* paint)
{
    Window* w = find_window(handle);
    if (!w || !paint) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return NULL;
    }
    w->needs_paint = false;
    int width = 0, height = 0;
    client_size(*w, width, height);
    *paint = PAINTSTRUCT{};
    paint->hdc = acquire_dc(handle);
    paint->fErase = TRUE;
    paint->rcPaint = RECT{0, 0, width, height};
    // The background is erased with the class brush by the default processing.
    if (paint->hdc) call_window_procedure(handle, WM_ERASEBKGND, (WPARAM)paint->hdc, 0, true);
    return paint->hdc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint)
{
    if (!paint) return FALSE;
    release_dc(handle, paint->hdc);
    return TRUE;
}
