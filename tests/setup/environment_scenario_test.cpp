// The layer's environment and the ends of a run that the program does not
// decide: refused settings, unanswerable waits, leftover answers, and the
// text front-end with its answers piped in.
#include <gtest/gtest.h>

#include "support/scenario.h"

namespace {

class EnvironmentScenario : public ::testing::Test {
protected:
    TempDir scratch;
};

TEST_F(EnvironmentScenario, SettingsThatMakeNoSenseAreRefusedBeforeAnythingIsShown)
{
    struct Case {
        const char* name;
        std::map<std::string, std::string> environment;
        std::vector<std::string> answers;
        const char* message;
    };
    const Case cases[] = {
        {"font", {{"SETUP_FONT", "abc"}}, {"ok"}, "SETUP_FONT: \"abc\""},
        {"font of zero", {{"SETUP_FONT", "0x16"}}, {"ok"}, "SETUP_FONT"},
        {"screen", {{"SETUP_SCREEN", "640x"}}, {"ok"}, "SETUP_SCREEN"},
        {"show state", {{"SETUP_SHOW", "SW_SOMETIMES"}}, {"ok"}, "SETUP_SHOW"},
        {"show state out of range", {{"SETUP_SHOW", "12"}}, {"ok"}, "SETUP_SHOW"},
        {"front-end", {{"SETUP_UI", "holographic"}}, {"ok"}, "SETUP_UI"},
        {"response file", {}, {"ok", "# fine", "press the OK button"}, "line 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunRequest request;
        request.environment = c.environment;
        request.answers = c.answers;
        RunResult r = run_setup(request, scratch);
        EXPECT_EQ(r.exit_code, 3);
        EXPECT_NE(r.standard_error.find(c.message), std::string::npos) << r.standard_error;
        EXPECT_TRUE(r.trace.empty()) << "something was shown";
    }
}

TEST_F(EnvironmentScenario, AWaitTheResponseFileCannotAnswerEndsWithCode3NamingTheWait)
{
    struct Case {
        const char* name;
        std::vector<std::string> answers;
        const char* message;
    };
    const Case cases[] = {
        {"nothing left for the welcome box", {}, "no line left to answer the message box \"QUORIX Setup\""},
        {"nothing left for the dialog", {"ok"}, "no line left for the window \"QUORIX Setup\""},
        {"a dialog action for a box", {"click OK"}, "line 1 \"click OK\" does not fit the message box"},
        {"a box answer for the dialog", {"ok", "ok"}, "line 2 \"ok\" does not fit the window \"QUORIX Setup\""},
        {"no such button", {"ok", "click Apply"}, "has no button \"Apply\""},
        {"typing without a focused field", {"ok", "type x"}, "click edit first"},
        {"Cancel for a box without one", {"ok", "key enter", "cancel"}, "has no Cancel button"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunRequest request;
        request.answers = c.answers;
        RunResult r = run_setup(request, scratch);
        EXPECT_EQ(r.exit_code, 3);
        EXPECT_NE(r.standard_error.find(c.message), std::string::npos) << r.standard_error;
        ASSERT_FALSE(r.trace.empty());
        EXPECT_EQ(r.trace.back(), (nlohmann::json{{"event", "exit"}, {"code", 3}}));
    }
}

TEST_F(EnvironmentScenario, LinesLeftOverAreReportedAndTheExitCodeStaysTheProgramsOwn)
{
    RunRequest request;
    request.answers = {"cancel", "click OK", "ok"};
    RunResult r = run_setup(request, scratch);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.standard_error.find("2 lines of the response file were not used"), std::string::npos)
        << r.standard_error;
    EXPECT_NE(r.standard_error.find("line 2 \"click OK\""), std::string::npos) << r.standard_error;
}

TEST_F(EnvironmentScenario, TheTextFrontEndTakesPipedAnswers)
{
    RunRequest request;
    request.answers = std::nullopt;
    request.environment = {{"SETUP_UI", "text"}};
    request.standard_input = "ok\nclick edit\ntype c:\\q\nclick OK\nok\n";
    RunResult r = run_setup(request, scratch);
    EXPECT_EQ(r.exit_code, 0) << r.standard_error;
    auto boxes = r.events("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1]["text"].get<std::string>().find("SET QUORIX=c:\\q\n"), std::string::npos);
    // What a person would have seen: the boxes and the dialog, drawn as text.
    EXPECT_NE(r.standard_output.find("This is the setup program of the graphics soft-"), std::string::npos);
    EXPECT_NE(r.standard_output.find("Installation directory:"), std::string::npos);
    EXPECT_NE(r.standard_output.find("[ Cancel ]"), std::string::npos);
}

TEST_F(EnvironmentScenario, TheTextFrontEndEndsCleanlyWhenItsInputEnds)
{
    RunRequest request;
    request.answers = std::nullopt;
    request.environment = {{"SETUP_UI", "text"}};
    request.standard_input = "ok\n";
    RunResult r = run_setup(request, scratch);
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_NE(r.standard_error.find("standard input ended while the window \"QUORIX Setup\" waits"),
              std::string::npos)
        << r.standard_error;
}

}  // namespace
