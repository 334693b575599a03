#include "frontends/frontends.h"

#include "machine.h"

namespace platform {

std::unique_ptr<Frontend> make_frontend(const Options& options, std::string& error)
{
    if (!options.record_path.empty()) {
        error = "SETUP_RECORD: this build cannot record a run yet";
        return nullptr;
    }
    if (options.ui == "script") return make_script_frontend(options);
    if (options.ui == "gui") {
        error = "SETUP_UI: this build has no gui front-end";
        return nullptr;
    }
    return make_text_frontend(options);
}

bool gui_available()
{
    return false;
}

}  // namespace platform
