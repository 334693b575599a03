// Which front-end a run gets, and the settings that cannot be had: refused
// before anything is shown, with a message naming the variable.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/scenario.h"

namespace {

class FrontendChoice : public ::testing::Test {
protected:
    TempDir scratch;
};

TEST_F(FrontendChoice, AGuiThatCannotBeHadIsRefusedWhenAskedFor)
{
    struct Case {
        const char* name;
        std::map<std::string, std::string> environment;
        const char* message;
    };
    const Case cases[] = {
        {"no display at all", {{"SETUP_UI", "gui"}},
         "SETUP_UI: the gui front-end needs an X display, and DISPLAY is not set"},
        {"a display no server answers on", {{"SETUP_UI", "gui"}, {"DISPLAY", ":4093"}},
         "SETUP_UI: cannot open the X display \":4093\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunRequest request;
        request.answers = std::nullopt;
        request.environment = c.environment;
        request.standard_input = "ok\nkey enter\nok\n";
        RunResult r = run_setup(request, scratch);
        EXPECT_EQ(r.exit_code, 3);
        EXPECT_NE(r.standard_error.find(c.message), std::string::npos) << r.standard_error;
        EXPECT_TRUE(r.trace.empty()) << "something was shown";
    }
}

TEST_F(FrontendChoice, ADisplayThatCannotBeOpenedLeavesTheRunToTheTerminal)
{
    RunRequest request;
    request.answers = std::nullopt;
    request.environment = {{"DISPLAY", ":4093"}};
    request.standard_input = "ok\nkey enter\nok\n";
    RunResult r = run_setup(request, scratch);
    EXPECT_EQ(r.exit_code, 0) << r.standard_error;
    EXPECT_NE(r.standard_error.find("cannot open the X display \":4093\"; the setup runs in the terminal"),
              std::string::npos)
        << r.standard_error;
    EXPECT_EQ(r.events("msgbox").size(), 2u);
}

TEST_F(FrontendChoice, ARecordingThatCannotBeWrittenIsRefusedBeforeAnythingIsShown)
{
    RunRequest request;
    request.answers = std::vector<std::string>{"ok", "key enter", "ok"};
    request.environment = {{"SETUP_RECORD", scratch / "no-such-folder/recorded"}};
    RunResult r = run_setup(request, scratch);
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_NE(r.standard_error.find("SETUP_RECORD: cannot write " + scratch / "no-such-folder/recorded"),
              std::string::npos)
        << r.standard_error;
    EXPECT_TRUE(r.trace.empty());
}

TEST_F(FrontendChoice, AnUnattendedRunCanBeRecordedAndReplayedToo)
{
    const std::vector<std::string> answers = {"ok", "click edit", "type c:\\two  blanks", "click OK", "ok"};
    RunRequest first;
    first.answers = answers;
    first.environment = {{"SETUP_RECORD", scratch / "recorded"}};
    RunResult original = run_setup(first, scratch);
    ASSERT_EQ(original.exit_code, 0) << original.standard_error;

    std::ifstream in(scratch / "recorded");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        if (line.empty() || line[0] != '#') lines.push_back(line);
    EXPECT_EQ(lines, answers);

    RunRequest again;
    again.answers = std::nullopt;
    again.environment = {{"SETUP_SCRIPT", scratch / "recorded"}};
    RunResult replayed = run_setup(again, scratch);
    EXPECT_EQ(replayed.exit_code, 0) << replayed.standard_error;
    EXPECT_EQ(replayed.trace, original.trace);
}

}  // namespace
