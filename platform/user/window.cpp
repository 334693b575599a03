// Window classes and windows: registration, creation, destruction, showing,
// geometry and window text.
#include "user/window.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "machine.h"
#include "trace/trace.h"

namespace platform {

namespace {

int machine_window_depth = 0;   // MachineWindowScope nesting

long long handle_number(HWND handle)
{
    return (long long)(uintptr_t)handle;
}

const WindowClass* find_class(LPCSTR name)
{
    if (!name) return nullptr;
    UserState& s = user_state();
    // A class may also be named by its atom, as MAKEINTATOM does.
    if ((uintptr_t)name <= 0xFFFF) {
        for (const auto& c : s.classes)
            if (c->atom == (ATOM)(uintptr_t)name) return c.get();
        return nullptr;
    }
    for (const auto& c : s.classes)
        if (strcasecmp(c->name.c_str(), name) == 0) return c.get();
    return nullptr;
}

ControlKind kind_of(const WindowClass& window_class)
{
    struct Entry {
        const char* name;
        ControlKind kind;
    };
    static constexpr Entry KINDS[] = {
        {"static", ControlKind::static_text},
        {"edit", ControlKind::edit},
        {"button", ControlKind::button},
        {"scrollbar", ControlKind::scrollbar},
    };
    if (!window_class.predefined) return ControlKind::none;
    for (const Entry& e : KINDS)
        if (strcasecmp(window_class.name.c_str(), e.name) == 0) return e.kind;
    return ControlKind::none;
}

void trace_window(const Window& w, const char* title)
{
    trace::Event("window")
        .number("hwnd", handle_number(w.handle))
        .text("class", w.window_class->name)
        .text("title", title ? title : "")
        .number("style", (long long)w.style)
        .number("x", w.x)
        .number("y", w.y)
        .number("width", w.width)
        .number("height", w.height)
        .number("parent", handle_number(w.parent))
        .number("id", w.id);
}

void send_size(HWND handle, WPARAM kind)
{
    Window* w = find_window(handle);
    if (!w) return;
    int width = 0, height = 0;
    client_size(*w, width, height);
    call_window_procedure(handle, WM_SIZE, kind, MAKELPARAM(width, height), true);
}

// WM_DESTROY goes to the window first and then to its children, each
// child's subtree in turn.
void send_destroy(HWND handle)
{
    Window* w = find_window(handle);
    if (!w) return;
    w->destroying = true;
    if (!w->machine_owned) trace::Event("destroy").number("hwnd", handle_number(handle));
    call_window_procedure(handle, WM_DESTROY, 0, 0, true);
    w = find_window(handle);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND child : children) send_destroy(child);
}

// WM_NCDESTROY goes to the children first; then the record is freed.
void free_window(HWND handle)
{
    Window* w = find_window(handle);
    if (!w) return;
    std::vector<HWND> children = w->children;
    for (HWND child : children) free_window(child);
    call_window_procedure(handle, WM_NCDESTROY, 0, 0, true);

    UserState& s = user_state();
    w = find_window(handle);
    if (!w) return;
    if (Window* parent = find_window(w->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    }
    s.top_levels.erase(std::remove(s.top_levels.begin(), s.top_levels.end(), handle), s.top_levels.end());
    drop_queued_messages(handle);
    drop_timers(handle);
    if (machine_running()) frontend().window_destroyed(*w);
    s.windows.erase((uintptr_t)handle);
}

}  // namespace

UserState& user_state()
{
    static UserState state;
    return state;
}

Window* find_window(HWND handle)
{
    if (!handle) return nullptr;
    UserState& s = user_state();
    auto it = s.windows.find((uintptr_t)handle);
    return it == s.windows.end() ? nullptr : it->second.get();
}

HWND top_level_of(HWND handle)
{
    Window* w = find_window(handle);
    while (w && w->parent) w = find_window(w->parent);
    return w ? w->handle : nullptr;
}

bool is_same_or_descendant(HWND handle, HWND ancestor)
{
    for (Window* w = find_window(handle); w; w = find_window(w->parent))
        if (w->handle == ancestor) return true;
    return false;
}

std::vector<Window*> program_top_levels()
{
    std::vector<Window*> result;
    for (HWND handle : user_state().top_levels) {
        Window* w = find_window(handle);
        if (w && !w->machine_owned) result.push_back(w);
    }
    return result;
}

void frame_and_caption(const Window& w, int& frame, int& caption)
{
    NonClientMetrics nc = machine_running() ? frontend().non_client() : NonClientMetrics{};
    frame = (w.style & WS_THICKFRAME) ? nc.frame : (w.style & (WS_BORDER | WS_DLGFRAME)) ? 1 : 0;
    caption = (w.style & WS_CAPTION) == WS_CAPTION ? nc.caption : 0;
}

void client_size(const Window& w, int& width, int& height)
{
    width = w.width;
    height = w.height;
    if (w.minimized) {
        width = height = 0;
        return;
    }
    if (w.is_top_level()) {
        int frame = 0, caption = 0;
        frame_and_caption(w, frame, caption);
        width -= 2 * frame;
        height -= 2 * frame + caption;
    } else if (w.style & WS_BORDER) {
        width -= 2;
        height -= 2;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
}

MachineWindowScope::MachineWindowScope()
{
    ++machine_window_depth;
}

MachineWindowScope::~MachineWindowScope()
{
    --machine_window_depth;
}

bool creating_machine_windows()
{
    return machine_window_depth > 0;
}

}  // namespace platform

using namespace platform;

ATOM RegisterClassA(const WNDCLASSA* window_class)
{
    if (!window_class || !window_class->lpszClassName || !window_class->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (find_class(window_class->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    UserState& s = user_state();
    auto c = std::make_unique<WindowClass>();
    c->name = window_class->lpszClassName;
    c->atom = s.next_class_atom++;
    c->style = window_class->style;
    c->procedure = window_class->lpfnWndProc;
    c->instance = window_class->hInstance;
    c->icon = window_class->hIcon;
    c->cursor = window_class->hCursor;
    c->background = window_class->hbrBackground;
    ATOM atom = c->atom;
    s.classes.push_back(std::move(c));
    return atom;
}

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    UserState& s = user_state();
    const WindowClass* window_class = find_class(class_name);
    if (!window_class) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return NULL;
    }
    Window* parent_window = nullptr;
    if (parent) {
        parent_window = find_window(parent);
        if (!parent_window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return NULL;
        }
    }
    if ((style & WS_CHILD) && !parent_window) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return NULL;
    }
    // Only a child window lives inside its parent; the parent of any other
    // window is its owner, which this machine does not model.
    if (!(style & WS_CHILD)) parent_window = nullptr;

    if (!parent_window && x == CW_USEDEFAULT) x = y = 0;
    if (!parent_window && width == CW_USEDEFAULT) {
        width = frontend().screen_width() * 3 / 4;
        height = frontend().screen_height() * 3 / 4;
    }

    auto record = std::make_unique<Window>();
    Window& w = *record;
    w.handle = (HWND)s.next_handle;
    s.next_handle += 2;
    w.window_class = window_class;
    w.kind = kind_of(*window_class);
    w.style = style & ~WS_VISIBLE;
    w.ex_style = ex_style;
    w.x = w.normal_x = x;
    w.y = w.normal_y = y;
    w.width = w.normal_width = std::max(width, 0);
    w.height = w.normal_height = std::max(height, 0);
    w.parent = parent_window ? parent_window->handle : nullptr;
    w.id = parent_window ? (int)(intptr_t)menu : 0;
    w.instance = instance;
    w.machine_owned = creating_machine_windows() || (parent_window && parent_window->machine_owned);
    HWND handle = w.handle;
    s.windows.emplace((uintptr_t)handle, std::move(record));
    if (parent_window)
        parent_window->children.push_back(handle);
    else
        s.top_levels.push_back(handle);

    if (!w.machine_owned) trace_window(w, window_name);
    frontend().window_created(w);

    CREATESTRUCTA create{};
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = parent;
    create.cx = width;
    create.cy = height;
    create.x = x;
    create.y = y;
    create.style = (LONG)style;
    create.lpszName = window_name;
    create.lpszClass = class_name;
    create.dwExStyle = ex_style;

    if (!call_window_procedure(handle, WM_NCCREATE, 0, (LPARAM)&create, true)) {
        DestroyWindow(handle);
        return NULL;
    }
    if (!find_window(handle)) return NULL;
    if (call_window_procedure(handle, WM_CREATE, 0, (LPARAM)&create, true) == -1) {
        DestroyWindow(handle);
        return NULL;
    }
    // A window destroyed by its own creation handler is not returned.
    if (!find_window(handle)) return NULL;
    send_size(handle, SIZE_RESTORED);
    if (find_window(handle))
        call_window_procedure(handle, WM_MOVE, 0, MAKELPARAM(x, y), true);
    Window* created = find_window(handle);
    if (!created) return NULL;
    if (style & WS_VISIBLE) {
        if (created->parent) {
            created->style |= WS_VISIBLE;
            created->visible = true;
            invalidate_tree(handle);
            frontend().window_changed(*created, Change::shown);
        } else {
            ShowWindow(handle, SW_SHOW);
        }
    }
    return find_window(handle) ? handle : NULL;
}

BOOL DestroyWindow(HWND handle)
{
    Window* w = find_window(handle);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (w->destroying) return TRUE;
    if (w->visible) {
        w->visible = false;
        w->style &= ~WS_VISIBLE;
        frontend().window_changed(*w, Change::shown);
    }
    release_focus_and_activation(handle);
    send_destroy(handle);
    free_window(handle);
    return TRUE;
}

BOOL IsWindow(HWND handle)
{
    return find_window(handle) != nullptr;
}

BOOL IsWindowVisible(HWND handle)
{
    for (Window* w = find_window(handle); w; w = find_window(w->parent))
        if (!w->visible) return FALSE;
    return find_window(handle) != nullptr;
}

BOOL IsIconic(HWND handle)
{
    Window* w = find_window(handle);
    return w && w->minimized;
}

HWND GetParent(HWND handle)
{
    Window* w = find_window(handle);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return NULL;
    }
    return w->parent;
}

int GetDlgCtrlID(HWND handle)
{
    Window* w = find_window(handle);
    if (!w || !w->parent) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return w->id;
}

BOOL ShowWindow(HWND handle, int command)
{
    Window* w = find_window(handle);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (command < SW_HIDE || command > SW_FORCEMINIMIZE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BOOL was_visible = w->visible;
    if (!w->machine_owned) trace::Event("show").number("hwnd", handle_number(handle)).number("cmd", command);

    if (!w->is_top_level()) {
        w->visible = command != SW_HIDE;
        if (w->visible)
            w->style |= WS_VISIBLE;
        else
            w->style &= ~WS_VISIBLE;
        if (w->visible) invalidate_tree(handle);
        if (!w->visible) release_focus_and_activation(handle);
        frontend().window_changed(*w, Change::shown);
        return was_visible;
    }

    // The start-up's own show state is SW_SHOWNORMAL: SW_SHOWDEFAULT asks for it.
    if (command == SW_SHOWDEFAULT) command = SW_SHOWNORMAL;
    enum class Shape { keep, normal, minimized, maximized };
    Shape shape = Shape::keep;
    bool activate = false;
    bool deactivate = false;
    switch (command) {
    case SW_HIDE: deactivate = true; break;
    case SW_SHOWNORMAL:
    case SW_RESTORE: shape = Shape::normal; activate = true; break;
    case SW_SHOWMINIMIZED: shape = Shape::minimized; activate = true; break;
    case SW_SHOWMAXIMIZED: shape = Shape::maximized; activate = true; break;
    case SW_SHOWNOACTIVATE: break;
    case SW_SHOW: activate = true; break;
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE: shape = Shape::minimized; deactivate = true; break;
    case SW_SHOWMINNOACTIVE: shape = Shape::minimized; break;
    case SW_SHOWNA: break;
    }

    bool visible = command != SW_HIDE;
    if (visible != (bool)w->visible) {
        w->visible = visible;
        if (visible)
            w->style |= WS_VISIBLE;
        else
            w->style &= ~WS_VISIBLE;
        call_window_procedure(handle, WM_SHOWWINDOW, visible, 0, true);
        w = find_window(handle);
        if (!w) return was_visible;
    }

    bool was_minimized = w->minimized;
    WPARAM size_kind = SIZE_RESTORED;
    bool resized = false;
    if (shape == Shape::normal && (w->minimized || w->maximized)) {
        w->minimized = w->maximized = false;
        w->x = w->normal_x;
        w->y = w->normal_y;
        w->width = w->normal_width;
        w->height = w->normal_height;
        resized = true;
    } else if (shape == Shape::minimized && !w->minimized) {
        w->minimized = true;
        size_kind = SIZE_MINIMIZED;
        resized = true;
    } else if (shape == Shape::maximized && !w->maximized) {
        w->minimized = false;
        w->maximized = true;
        w->x = 0;
        w->y = 0;
        w->width = frontend().screen_width();
        w->height = frontend().screen_height();
        size_kind = SIZE_MAXIMIZED;
        resized = true;
    }
    if (w->minimized)
        w->style |= WS_MINIMIZE;
    else
        w->style &= ~WS_MINIMIZE;
    if (w->maximized)
        w->style |= WS_MAXIMIZE;
    else
        w->style &= ~WS_MAXIMIZE;
    if (visible) invalidate_tree(handle);
    frontend().window_changed(*w, Change::shown);
    if (resized) send_size(handle, size_kind);

    if (!find_window(handle)) return was_visible;
    if (deactivate) release_focus_and_activation(handle);
    if (activate && was_minimized && !w->minimized && user_state().active == handle) {
        // A minimised window that is restored gets the focus back: Windows
        // sends it WM_ACTIVATE again even though it was already active.
        call_window_procedure(handle, WM_ACTIVATE, WA_ACTIVE, 0, true);
    } else if (activate) {
        activate_window(handle, false);
    }
    return was_visible;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint)
{
    Window* w = find_window(handle);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    w->x = x;
    w->y = y;
    w->width = std::max(width, 0);
    w->height = std::max(height, 0);
    if (!w->minimized && !w->maximized) {
        w->normal_x = w->x;
        w->normal_y = w->y;
        w->normal_width = w->width;
        w->normal_height = w->height;
    }
    frontend().window_changed(*w, Change::geometry);
    send_size(handle, w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
    if (find_window(handle)) call_window_procedure(handle, WM_MOVE, 0, MAKELPARAM(x, y), true);
    if (repaint && find_window(handle)) invalidate_tree(handle);
    return TRUE;
}

BOOL GetWindowRect(HWND handle, LPRECT rect)
{
    Window* w = find_window(handle);
    if (!w || !rect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    int left = w->x, top = w->y;
    // A child's position is relative to its parent's client area.
    for (Window* p = find_window(w->parent); p; p = find_window(p->parent)) {
        int frame_x = 0, frame_y = 0;
        if (p->is_top_level()) {
            int client_w = 0, client_h = 0;
            client_size(*p, client_w, client_h);
            frame_x = (p->width - client_w) / 2;
            frame_y = p->height - client_h - frame_x;
        } else if (p->style & WS_BORDER) {
            frame_x = frame_y = 1;
        }
        left += p->x + frame_x;
        top += p->y + frame_y;
    }
    rect->left = left;
    rect->top = top;
    rect->right = left + w->width;
    rect->bottom = top + w->height;
    return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect)
{
    Window* w = find_window(handle);
    if (!w || !rect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    int width = 0, height = 0;
    client_size(*w, width, height);
    *rect = RECT{0, 0, width, height};
    return TRUE;
}

BOOL SetWindowTextA(HWND handle, LPCSTR text)
{
    Window* w = find_window(handle);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    bool traced = !w->machine_owned;
    BOOL result = SendMessageA(handle, WM_SETTEXT, 0, (LPARAM)text) != 0;
    if (traced) trace::Event("text").number("hwnd", handle_number(handle)).text("text", text ? text : "");
    return result;
}

int GetWindowTextA(HWND handle, LPSTR buffer, int size)
{
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    if (!find_window(handle)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return (int)SendMessageA(handle, WM_GETTEXT, (WPARAM)size, (LPARAM)buffer);
}

int GetWindowTextLengthA(HWND handle)
{
    if (!find_window(handle)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return (int)SendMessageA(handle, WM_GETTEXTLENGTH, 0, 0);
}

int GetClassNameA(HWND handle, LPSTR buffer, int size)
{
    Window* w = find_window(handle);
    if (!w || !buffer || size <= 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    size_t n = std::min(w->window_class->name.size(), (size_t)size - 1);
    std::memcpy(buffer, w->window_class->name.data(), n);
    buffer[n] = '\0';
    return (int)n;
}
