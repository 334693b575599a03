// The user's actions, as the front-ends report them. Each action is queued as
// raw input and becomes a message only when the program fetches it, so that a
// key goes to whichever window has the focus at that moment, as on Windows.
#ifndef QUORIX_PLATFORM_USER_INPUT_H
#define QUORIX_PLATFORM_USER_INPUT_H

#include <string_view>

#include "win32.h"

namespace platform {

namespace input {

// A click of the left mouse button on a window (press and release).
void click(HWND target);
// A key pressed and released; it goes to the focus window, or to the active
// window as a system key when nothing has the focus or Alt is held.
void key(UINT virtual_key, bool alt = false);
// A key pressed or released alone (VK_SHIFT held over other keys, say).
void key_down(UINT virtual_key);
void key_up(UINT virtual_key);
// A typed character of the ANSI code page.
void character(unsigned char c);
// Everything in the focused field selected and the text typed over it.
void replace_text(std::string_view text);
// A command of a top-level window's title bar or system menu (SC_CLOSE, SC_RESTORE, ...).
void system_command(HWND top_level, WPARAM command);
// True while input waits to be fetched.
bool pending();

}  // namespace input

// Takes the next input event that has a window to go to and makes it a
// message. Called by GetMessageA.
bool take_input(MSG& message, HWND filter);

}  // namespace platform

#endif
