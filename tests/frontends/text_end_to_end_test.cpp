// The text front-end as a person uses it: the built setup in a real
// terminal (tmux, a pseudo-terminal of the test's own), keys typed and the
// screen read back as the terminal shows it; and with its answers piped in.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>

#include "support/held_file.h"
#include "support/process.h"
#include "support/scenario.h"
#include "support/tmux.h"

namespace {

const std::string WELCOME_LAST_LINE = "If you want to continue, press the OK button.";

class TextEndToEnd : public ::testing::Test {
protected:
    // The setup in a terminal, in a folder of its own: no display, so the
    // setup chooses the text front-end itself.
    std::unique_ptr<Terminal> start(const std::string& name, const Environment& extra = {})
    {
        folder = scratch / name;
        std::filesystem::create_directories(folder);
        Environment env = {{"SETUP_ROOT", folder + "/root"},
                           {"SETUP_TRACE", folder + "/trace.jsonl"},
                           {"SETUP_RECORD", folder + "/recorded"}};
        for (const auto& [k, v] : extra) env[k] = v;
        std::string command = "cd '" + demo_source_directory() + "' && env -u DISPLAY -u SETUP_UI -u SETUP_SCRIPT '" +
                              std::string(QUORIX_SETUP_BINARY) + "'";
        auto terminal = std::make_unique<Terminal>(command, env);
        EXPECT_EQ(terminal->failure(), "");
        return terminal;
    }

    std::vector<nlohmann::json> trace() const { return read_trace(folder + "/trace.jsonl"); }

    TempDir scratch;
    std::string folder;
};

// The row of the screen that holds the text, or -1.
int row_of(const std::vector<std::string>& screen, const std::string& text)
{
    for (size_t i = 0; i < screen.size(); ++i)
        if (screen[i].find(text) != std::string::npos) return (int)i;
    return -1;
}

TEST_F(TextEndToEnd, APersonInstallsInATerminal)
{
    // The setup holds in the middle of its copy, at the open of this file
    // (the 76th row, 81 on the readout), until the test reads it.
    HeldFile held(scratch / "install/root/drive_c/e2e/qrxdvf.lib");
    ASSERT_EQ(held.failure(), "");
    std::unique_ptr<Terminal> t = start("install");
    ASSERT_TRUE(t->wait_for(WELCOME_LAST_LINE)) << t->screen_text();
    EXPECT_TRUE(t->wait_for("[ OK ]  [ Cancel ]"));
    EXPECT_TRUE(t->wait_for("+-- QUORIX Setup -"));
    t->keys({"Enter"});

    ASSERT_TRUE(t->wait_for("Installation directory:")) << t->screen_text();
    std::vector<std::string> screen = t->screen();
    int label = row_of(screen, "Installation directory:"), field = row_of(screen, "[c:\\quorix");
    int buttons = row_of(screen, "[<OK>]");
    // Two lines below the label, three more to the buttons, as in pixels.
    EXPECT_EQ(field - label, 2);
    EXPECT_EQ(buttons - field, 3);
    EXPECT_NE(row_of(screen, "Alt+E: field"), -1) << t->screen_text();

    // Into the field, "quorix" taken away and "e2e" typed in its place.
    t->keys({"M-e", "BSpace", "BSpace", "BSpace", "BSpace", "BSpace", "BSpace"});
    t->type("e2e");
    ASSERT_TRUE(t->wait_for("[c:\\e2e ")) << t->screen_text();
    int column = 0, row = 0;
    t->cursor(column, row);
    screen = t->screen();
    EXPECT_EQ(row, row_of(screen, "[c:\\e2e"));
    EXPECT_EQ(column, (int)screen[row].find("[c:\\e2e") + 1 + 6) << "the cursor stands after the text typed";

    t->keys({"M-o"});
    ASSERT_TRUE(held.wait_until_reached(folder + "/trace.jsonl", 75)) << t->screen_text();
    // The copy window as the copy goes: the row's names, the bar and the
    // number, each in its one place on the screen.
    std::string copying = t->screen_text();
    // The fields begin ten cells in, the bar is 37 cells wide: 28 of its 35
    // inner cells are filled at 81.
    EXPECT_NE(copying.find("From:   [qrxdvf.lib "), std::string::npos) << copying;
    EXPECT_NE(copying.find("To:     [c:\\e2e\\qrxdvf.lib "), std::string::npos) << copying;
    EXPECT_NE(copying.find("[" + std::string(28, '#') + std::string(7, '.') + "]"), std::string::npos) << copying;
    EXPECT_NE(copying.find(" 81 "), std::string::npos) << copying;
    EXPECT_EQ(copying.find("+-- QUORIX Setup"), copying.rfind("+-- QUORIX Setup")) << "one window, drawn in place";
    std::string held_bytes = held.release();
    ASSERT_TRUE(t->wait_for("The installation of QUORIX is ready.")) << t->screen_text();
    EXPECT_TRUE(t->wait_for("Add the directory  c:\\e2e\\win  to the PATH variable."));
    t->keys({"Enter"});
    ASSERT_TRUE(t->wait_for("[exit 0]")) << t->screen_text();
    // What the closing notice said stays on the screen after the setup ends.
    EXPECT_NE(t->screen_text().find("SET QUORIX=c:\\e2e"), std::string::npos) << t->screen_text();

    std::vector<nlohmann::json> events = trace();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), (nlohmann::json{{"event", "exit"}, {"code", 0}}));
    RunResult installed;
    installed.trace = events;
    installed.root = folder + "/root";
    EXPECT_EQ(check_installed_files(installed, {{"c:\\e2e\\qrxdvf.lib", held_bytes}}), "");
    EXPECT_EQ(check_group_and_key(folder + "/root", "c:\\e2e"), "");

    // The run replays unattended from what was recorded.
    std::string recorded = read_text_file(folder + "/recorded");
    EXPECT_NE(recorded.find("ok\nclick edit\ntype c:\\e2e\nclick OK\nok\n"), std::string::npos) << recorded;
    RunRequest replay;
    replay.answers = std::nullopt;
    replay.environment = {{"SETUP_SCRIPT", folder + "/recorded"}};
    // A machine as the first run found it: the folder of the held file there.
    replay.root = scratch / "replay";
    std::filesystem::create_directories(replay.root + "/drive_c/e2e");
    RunResult again = run_setup(replay, scratch);
    EXPECT_EQ(again.exit_code, 0) << again.standard_error;
    EXPECT_EQ(again.trace, events);
}

TEST_F(TextEndToEnd, AMessageBoxAnswersToItsKeys)
{
    struct Case {
        const char* name;
        std::vector<std::string> keys;
        const char* result;
    };
    const Case cases[] = {
        {"Escape is Cancel", {"Escape"}, "CANCEL"},
        {"Tab moves to Cancel and Enter presses it", {"Tab", "Enter"}, "CANCEL"},
        {"Alt+C is Cancel", {"M-c"}, "CANCEL"},
        {"Alt+Q closes, which is Cancel", {"M-q"}, "CANCEL"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<Terminal> t = start("box" + std::to_string(++n));
        ASSERT_TRUE(t->wait_for(WELCOME_LAST_LINE)) << t->screen_text();
        t->keys(c.keys);
        ASSERT_TRUE(t->wait_for("[exit 0]")) << t->screen_text();
        std::vector<nlohmann::json> events = trace();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events[0]["event"], "msgbox");
        EXPECT_EQ(events[0]["result"], c.result);
    }
}

TEST_F(TextEndToEnd, TheDialogKeepsTheSystemsKeyRules)
{
    std::unique_ptr<Terminal> t = start("keys");
    ASSERT_TRUE(t->wait_for(WELCOME_LAST_LINE)) << t->screen_text();
    t->keys({"Enter"});
    ASSERT_TRUE(t->wait_for("Installation directory:")) << t->screen_text();
    // Tab and Escape go to the window, which does nothing with them; Enter
    // at the window accepts what the field holds.
    t->keys({"Tab", "Escape", "Enter"});
    ASSERT_TRUE(t->wait_for("SET QUORIX=c:\\quorix")) << t->screen_text();
    t->keys({"Enter"});
    ASSERT_TRUE(t->wait_for("[exit 0]")) << t->screen_text();
}

TEST_F(TextEndToEnd, PipedAnswersInstallUnattended)
{
    RunRequest request;
    request.answers = std::nullopt;
    request.standard_input = "ok\nkey enter\nok\n";
    RunResult r = run_setup(request, scratch);
    EXPECT_EQ(r.exit_code, 0) << r.standard_error;
    auto boxes = r.events("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1]["text"].get<std::string>().find("SET QUORIX=c:\\quorix\n"), std::string::npos);
    EXPECT_NE(r.standard_output.find("The installation of QUORIX is ready."), std::string::npos) << r.standard_output;
    EXPECT_EQ(check_installed_files(r), "");
    EXPECT_EQ(check_group_and_key(r.root, "c:\\quorix"), "");
}

}  // namespace
