#include "user/input.h"

#include "frontends/record.h"
#include "user/window.h"

namespace platform {

namespace input {

namespace {

void push(InputEvent event)
{
    user_state().input.push_back(event);
}

}  // namespace

void click(HWND target)
{
    push({InputKind::button_down, target, 0, false});
    push({InputKind::button_up, target, 0, false});
}

void key(UINT virtual_key, bool alt)
{
    push({InputKind::key_down, nullptr, virtual_key, alt});
    push({InputKind::key_up, nullptr, virtual_key, alt});
}

void key_down(UINT virtual_key)
{
    push({InputKind::key_down, nullptr, virtual_key, false});
}

void key_up(UINT virtual_key)
{
    push({InputKind::key_up, nullptr, virtual_key, false});
}

void character(unsigned char c)
{
    key(VK_PACKET | ((WPARAM)c << 16));
}

void replace_text(std::string_view text)
{
    // Home, then Shift+End selects the whole line of a single-line field;
    // the first character typed replaces the selection, and Delete removes
    // it when there is nothing to type.
    key(VK_HOME);
    key_down(VK_SHIFT);
    key(VK_END);
    key_up(VK_SHIFT);
    for (char c : text) character((unsigned char)c);
    if (text.empty()) key(VK_DELETE);
}

void system_command(HWND top_level, WPARAM command)
{
    push({InputKind::system_command, top_level, command, false});
}

bool pending()
{
    return !user_state().input.empty();
}

}  // namespace input

bool take_input(MSG& message, HWND filter)
{
    UserState& s = user_state();
    while (!s.input.empty()) {
        InputEvent event = s.input.front();
        s.input.pop_front();
        switch (event.kind) {
        case InputKind::button_down:
        case InputKind::button_up: {
            if (!find_window(event.target)) continue;
            if (filter && !is_same_or_descendant(event.target, filter)) continue;
            bool down = event.kind == InputKind::button_down;
            // A click into a window that is not active activates it first.
            if (down && top_level_of(event.target) != s.active) {
                activate_window(top_level_of(event.target), true);
                if (!find_window(event.target)) continue;
            }
            message = MSG{event.target, UINT(down ? WM_LBUTTONDOWN : WM_LBUTTONUP), WPARAM(down ? 1 : 0),
                          MAKELPARAM(1, 1), 0, {1, 1}};
            record::input_taken(event, message);
            return true;
        }
        case InputKind::key_down:
        case InputKind::key_up: {
            bool down = event.kind == InputKind::key_down;
            UINT vk = UINT(event.wparam & 0xFF);
            if (vk != VK_PACKET) s.key_state[vk] = down ? 0x80 : 0;
            // Keys go to the focus window; with no focus (a minimised active
            // window, say) they reach the active window as system keys.
            HWND target = s.focus ? s.focus : s.active;
            if (!find_window(target)) continue;
            if (filter && !is_same_or_descendant(target, filter)) continue;
            bool system = event.alt || !s.focus;
            UINT number = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
            LPARAM flags = 1;
            if (event.alt) flags |= LPARAM(1) << 29;
            if (!down) flags |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
            message = MSG{target, number, event.wparam, flags, 0, {0, 0}};
            record::input_taken(event, message);
            return true;
        }
        case InputKind::system_command:
            if (!find_window(event.target)) continue;
            if (filter && !is_same_or_descendant(event.target, filter)) continue;
            message = MSG{event.target, WM_SYSCOMMAND, event.wparam, 0, 0, {0, 0}};
            record::input_taken(event, message);
            return true;
        }
    }
    return false;
}

}  // namespace platform
