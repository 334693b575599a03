// Carrying out the actions of a response file (or of a terminal user typing
// them) against what the program shows.
#ifndef QUORIX_PLATFORM_FRONTENDS_ACTIONS_H
#define QUORIX_PLATFORM_FRONTENDS_ACTIONS_H

#include <string>

#include "frontends/response.h"
#include "win32.h"

namespace platform {

struct Window;

// The caption as a user reads it: an ampersand marks the next letter as the
// mnemonic and is not shown.
std::string shown_caption(const std::string& caption);

// The window the user acts on: the active top-level window of the program,
// else the last one shown.
Window* window_in_front();

// The user clicks a control: a minimised window is restored first, as there is
// nothing to click before that.
void click_control(HWND control);

// Turns an action into input while the program waits in a message loop.
// Returns an empty text when it did, else why the action does not fit.
std::string apply_action(const Action& action);

// The answer an action gives a message box with these buttons: IDOK or
// IDCANCEL, or 0 with the reason when the action does not fit a box.
int answer_of(const Action& action, UINT buttons, std::string& why);

// What waits, in words, for messages: the front window's title.
std::string describe_wait();

}  // namespace platform

#endif
