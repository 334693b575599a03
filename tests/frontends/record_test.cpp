// Recording: what a user does in the directory dialog and the message boxes,
// through whatever front-end, written as response-file lines that replay to
// the same run.
#include <cstring>
#include <fstream>
#include <functional>

#include "setup/setup.h"
#include "support/directory_dialog.h"
#include "support/machine_fixture.h"
#include "ui/instdir.h"
#include "ui/layout.h"
#include "user/input.h"
#include "user/window.h"

namespace {

using Step = std::function<void()>;

// A front-end whose user acts through the machine's raw input, one step each
// time the program waits, as the gui and terminal front-ends do; message
// boxes get the answers given.
class StepFrontend final : public platform::Frontend {
public:
    StepFrontend(std::vector<Step> steps, std::vector<int> answers) : steps_(std::move(steps)), answers_(std::move(answers)) {}

    const char* name() const override { return "steps"; }
    platform::FontMetrics font() const override { return {}; }
    int screen_width() const override { return 640; }
    int screen_height() const override { return 480; }
    int message_box(const std::string&, const std::string&, UINT) override
    {
        if (next_answer_ >= answers_.size()) platform::fatal("no answer left for a message box");
        return answers_[next_answer_++];
    }
    platform::WaitResult wait_for_input(std::optional<platform::Clock::time_point>) override
    {
        if (next_step_ >= steps_.size()) platform::fatal("no step left");
        steps_[next_step_++]();
        return platform::WaitResult::input;
    }

private:
    std::vector<Step> steps_;
    std::vector<int> answers_;
    size_t next_step_ = 0, next_answer_ = 0;
};

class RecordTest : public MachineTest {
protected:
    // Runs the directory dialog with a front-end of the test's own, recording.
    int run_dialog(std::unique_ptr<platform::Frontend> frontend)
    {
        platform::Options options;
        options.record_path = machine_folder / "recorded";
        start_with({}, options, std::move(frontend));
        return dialog();
    }

    // Runs the directory dialog with response-file lines.
    int replay_dialog(const std::vector<std::string>& lines)
    {
        start_with(lines);
        return dialog();
    }

    int dialog()
    {
        prepare_directory_dialog();
        return run_instdir();
    }

    // The recorded lines without the comments; the recording ends first.
    std::vector<std::string> recorded()
    {
        platform::stop_machine(0);
        std::ifstream in(machine_folder / "recorded");
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line))
            if (!line.empty() && line[0] != '#') lines.push_back(line);
        return lines;
    }

    // The dialog's controls, by their creation order.
    static HWND control(int index)
    {
        const platform::Window* top = platform::find_window(dir_window);
        return top ? top->children.at(index) : nullptr;
    }
};

void type_text(const std::string& text)
{
    for (char c : text) platform::input::character((unsigned char)c);
}

TEST_F(RecordTest, WhatTheUserDoesBecomesLinesThatReplayTheSameRun)
{
    using platform::input::click;
    using platform::input::key;
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"typing, correcting and moving the caret become one type line",
         {[] { click(control(1)); },
          [] { type_text("xy"); },
          [] {
              key(VK_BACK);
              key(VK_LEFT);
              type_text("z");
          },
          [] { key(VK_RETURN); },
          [] { click(control(2)); }},
         {"click edit", "type c:\\quorixzx", "key enter", "click OK"}},
        {"clicking into the field and on to OK types nothing",
         {[] { click(control(1)); }, [] { click(control(2)); }},
         {"click edit", "click OK"}},
        {"selecting with Shift+Home and typing over it",
         {[] { click(control(1)); },
          [] {
              platform::input::key_down(VK_SHIFT);
              key(VK_HOME);
              platform::input::key_up(VK_SHIFT);
              type_text("d:\\libs");
          },
          [] { click(control(3)); }},
         {"click edit", "type d:\\libs", "click Cancel"}},
        {"Tab and Escape are keys; Enter at the window accepts",
         {[] { key(VK_TAB); }, [] { key(VK_ESCAPE); }, [] { key(VK_RETURN); }},
         {"key tab", "key escape", "key enter"}},
        {"a click on the label or the background is no action",
         {[] { click(control(0)); }, [] { click(dir_window); }, [] { key(VK_RETURN); }},
         {"key enter"}},
        {"Alt+F4 closes the window", {[] { key(VK_F4, true); }}, {"close"}},
        {"so does the title bar", {[] { platform::input::system_command(dir_window, SC_CLOSE); }}, {"close"}},
        {"typing and then closing keeps the text typed",
         {[] { click(control(1)); }, [] { type_text("2"); }, [] { platform::input::system_command(dir_window, SC_CLOSE); }},
         {"click edit", "type c:\\quorix2", "close"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int result = run_dialog(std::make_unique<StepFrontend>(c.steps, std::vector<int>{}));
        std::string directory = install_dir;
        std::vector<nlohmann::json> original = trace();
        std::vector<std::string> lines = recorded();
        EXPECT_EQ(lines, c.lines);

        EXPECT_EQ(replay_dialog(lines), result);
        EXPECT_EQ(std::string(install_dir), directory);
        EXPECT_EQ(trace(), original);
    }
}

TEST_F(RecordTest, MessageBoxAnswers)
{
    platform::Options options;
    options.record_path = machine_folder / "recorded";
    start_with({}, options, std::make_unique<StepFrontend>(std::vector<Step>{}, std::vector<int>{IDOK, IDCANCEL, IDOK}));
    EXPECT_EQ(MessageBoxA(NULL, "first", "QUORIX Setup", MB_OKCANCEL), IDOK);
    EXPECT_EQ(MessageBoxA(NULL, "second", "QUORIX Setup", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(NULL, "third", "Setup", MB_OK), IDOK);
    EXPECT_EQ(recorded(), (std::vector<std::string>{"ok", "cancel", "ok"}));
}

TEST_F(RecordTest, TheFileSaysWhatMadeItAndHowToReplayIt)
{
    platform::Options options;
    options.record_path = machine_folder / "recorded";
    start_with({"ok"}, options);
    MessageBoxA(NULL, "text", "QUORIX Setup", MB_OK);
    platform::stop_machine(0);
    std::ifstream in(machine_folder / "recorded");
    std::string first, second, third;
    std::getline(in, first);
    std::getline(in, second);
    std::getline(in, third);
    EXPECT_NE(first.find("# The user's actions in a run of quorix-setup with the script front-end"), std::string::npos)
        << first;
    EXPECT_NE(second.find("SETUP_FONT=7x16 and SETUP_SCREEN=640x480"), std::string::npos) << second;
    EXPECT_EQ(third, "ok");
}

}  // namespace
