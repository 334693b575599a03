#include "frontends/actions.h"

#include <strings.h>

#include "user/input.h"
#include "user/window.h"

namespace platform {

std::string shown_caption(const std::string& caption)
{
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

namespace {

Window* find_child(Window& top, ControlKind kind, const std::string* caption)
{
    Window* loose = nullptr;
    for (HWND handle : top.children) {
        Window* c = find_window(handle);
        if (!c || !c->visible || c->kind != kind) continue;
        if (!caption) return c;
        std::string shown = shown_caption(c->text);
        if (shown == *caption) return c;
        if (!loose && strcasecmp(shown.c_str(), caption->c_str()) == 0) loose = c;
    }
    return loose;
}

// A click on a control of a minimised window: the user restores the window
// from the task bar first, as there is nothing to click before that.
void restore_if_minimized(Window& top)
{
    if (top.minimized) input::system_command(top.handle, SC_RESTORE);
}

}  // namespace

void click_control(HWND control)
{
    if (Window* top = find_window(top_level_of(control))) restore_if_minimized(*top);
    input::click(control);
}

Window* window_in_front()
{
    UserState& s = user_state();
    Window* active = find_window(s.active);
    if (active && !active->machine_owned && active->visible) return active;
    Window* last = nullptr;
    for (Window* w : program_top_levels())
        if (w->visible) last = w;
    return last;
}

std::string apply_action(const Action& action)
{
    Window* top = window_in_front();
    if (!top) return "no window of the program is open";
    switch (action.verb) {
    case Verb::ok:
    case Verb::cancel: return "no message box is shown";
    case Verb::click: {
        Window* target = nullptr;
        if (action.argument == "edit") target = find_child(*top, ControlKind::edit, nullptr);
        if (!target) target = find_child(*top, ControlKind::button, &action.argument);
        if (!target) return "the window \"" + top->text + "\" has no button \"" + action.argument + "\"";
        click_control(target->handle);
        return "";
    }
    case Verb::type: {
        Window* focus = find_window(user_state().focus);
        if (!focus || focus->kind != ControlKind::edit)
            return "no edit field has the keyboard focus (click edit first)";
        input::replace_text(action.argument);
        return "";
    }
    case Verb::key:
        if (!user_state().focus && !user_state().active) return "no window takes keys";
        input::key(action.key);
        return "";
    case Verb::close: input::system_command(top->handle, SC_CLOSE); return "";
    }
    return "unknown action";
}

int answer_of(const Action& action, UINT buttons, std::string& why)
{
    switch (action.verb) {
    case Verb::ok: return IDOK;
    case Verb::cancel:
        if (buttons == MB_OKCANCEL) return IDCANCEL;
        why = "the message box has no Cancel button";
        return 0;
    case Verb::close:
        // Closing a box counts as Cancel where it has one, else as OK.
        return buttons == MB_OKCANCEL ? IDCANCEL : IDOK;
    default: why = "a message box waits for OK or Cancel"; return 0;
    }
}

std::string describe_wait()
{
    Window* top = window_in_front();
    if (!top) return "the program";
    return "the window \"" + top->text + "\"";
}

}  // namespace platform
