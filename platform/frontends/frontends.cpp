#include "frontends/frontends.h"

#include <cstdio>

#include "machine.h"

namespace platform {

std::unique_ptr<Frontend> make_frontend(const Options& options, std::string& error)
{
    if (options.ui == "script") return make_script_frontend(options);
    if (options.ui == "gui") {
        std::unique_ptr<Frontend> gui = make_gui_frontend(error);
        if (gui) return gui;
        if (options.ui_chosen) {
            error = "SETUP_UI: " + error;
            return nullptr;
        }
        // The gui was only presumed from DISPLAY being set; the terminal
        // serves as well, and the user is told why no window opens.
        std::fprintf(stderr, "quorix-setup: %s; the setup runs in the terminal\n", error.c_str());
        error.clear();
    }
    return make_text_frontend(options);
}

#ifndef QUORIX_GUI

bool gui_available()
{
    return false;
}

std::unique_ptr<Frontend> make_gui_frontend(std::string& error)
{
    error = "this build has no gui front-end";
    return nullptr;
}

#endif

}  // namespace platform
