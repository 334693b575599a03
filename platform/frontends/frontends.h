// The front-ends the machine can start with, and the choice among them.
#ifndef QUORIX_PLATFORM_FRONTENDS_FRONTENDS_H
#define QUORIX_PLATFORM_FRONTENDS_FRONTENDS_H

#include <memory>
#include <string>

#include "frontends/frontend.h"

namespace platform {

struct Options;

// The front-end that options.ui names; null with a message when it cannot start.
std::unique_ptr<Frontend> make_frontend(const Options& options, std::string& error);

// Whether this build has the X11 front-end.
bool gui_available();

std::unique_ptr<Frontend> make_script_frontend(const Options& options);
std::unique_ptr<Frontend> make_text_frontend(const Options& options);
// The text front-end's screen, for a user at a terminal.
std::unique_ptr<Frontend> make_screen_frontend(const Options& options);
// The X11 front-end on the display DISPLAY names; null with a message when
// there is none to be had.
std::unique_ptr<Frontend> make_gui_frontend(std::string& error);

}  // namespace platform

#endif
