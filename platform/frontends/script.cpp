// The script front-end: no display. The user's answers come from the response
// file, one line each time the program waits; metrics are fixed by
// SETUP_FONT and SETUP_SCREEN so that every run lays out the same.
#include <cstdio>

#include "frontends/actions.h"
#include "frontends/frontends.h"
#include "machine.h"

namespace platform {

namespace {

std::string quoted_line(const Action& action)
{
    return "line " + std::to_string(action.line) + " \"" + format_action(action) + "\"";
}

std::string first_line_of(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

class ScriptFrontend final : public Frontend {
public:
    explicit ScriptFrontend(const Options& options)
        : actions_(options.script), font_{options.font_width, options.font_height, 0, options.font_height * 4 / 5,
                                          options.font_width * 2},
          screen_width_(options.screen_width), screen_height_(options.screen_height)
    {
    }

    const char* name() const override { return "script"; }
    FontMetrics font() const override { return font_; }
    int screen_width() const override { return screen_width_; }
    int screen_height() const override { return screen_height_; }

    int message_box(const std::string& text, const std::string& caption, UINT type) override
    {
        std::string box = "the message box \"" + caption + "\" (" + first_line_of(text) + ")";
        if (next_ >= actions_.size()) fatal("the response file has no line left to answer " + box);
        const Action& action = actions_[next_++];
        std::string why;
        int answer = answer_of(action, type, why);
        if (!answer) fatal("response file " + quoted_line(action) + " does not fit " + box + ": " + why);
        return answer;
    }

    WaitResult wait_for_input(std::optional<Clock::time_point>) override
    {
        std::string waiting = describe_wait();
        if (next_ >= actions_.size())
            fatal("the response file has no line left for " + waiting + ", which waits for the user");
        const Action& action = actions_[next_++];
        std::string why = apply_action(action);
        if (!why.empty()) fatal("response file " + quoted_line(action) + " does not fit " + waiting + ": " + why);
        return WaitResult::input;
    }

    void finished(int) override
    {
        if (next_ >= actions_.size()) return;
        std::fprintf(stderr, "quorix-setup: %zu line%s of the response file %s not used:\n", actions_.size() - next_,
                     actions_.size() - next_ == 1 ? "" : "s", actions_.size() - next_ == 1 ? "was" : "were");
        for (size_t i = next_; i < actions_.size(); ++i)
            std::fprintf(stderr, "  %s\n", quoted_line(actions_[i]).c_str());
    }

private:
    std::vector<Action> actions_;
    size_t next_ = 0;   // the next action to take
    FontMetrics font_;
    int screen_width_;
    int screen_height_;
};

}  // namespace

std::unique_ptr<Frontend> make_script_frontend(const Options& options)
{
    return std::make_unique<ScriptFrontend>(options);
}

}  // namespace platform
