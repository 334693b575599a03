// Whole runs of the setup through the response file and the trace: the
// welcome box, the directory dialog and the closing notice.
#include <gtest/gtest.h>

#include "support/scenario.h"
#include "win32.h"

namespace {

const std::string WELCOME_START =
    "This is the setup program of the graphics soft-\nware QUORIX 8.2 for Digital Visual Fortran 5.x, 6.x.\n \n";
const std::string WELCOME_END = "\n \nIf you want to continue, press the OK button.\n";

std::string closing_text(const std::string& directory)
{
    return "The installation of QUORIX is ready.\n \nAdd the command SET QUORIX=" + directory +
           "\n to the file AUTOEXEC.BAT\n \nAdd the directory  " + directory + "\\win  to the PATH variable.";
}

class SetupScenario : public ::testing::Test {
protected:
    RunResult run(std::vector<std::string> answers, std::map<std::string, std::string> environment = {},
                  std::vector<std::string> arguments = {})
    {
        RunRequest request;
        request.answers = std::move(answers);
        request.environment = std::move(environment);
        request.arguments = std::move(arguments);
        return run_setup(request, scratch);
    }

    // The last message box's text.
    static std::string last_box(const RunResult& r)
    {
        auto boxes = r.events("msgbox");
        return boxes.empty() ? "" : boxes.back()["text"].get<std::string>();
    }

    TempDir scratch;
};

TEST_F(SetupScenario, TheWelcomeBoxHasItsTextAndCancelEndsTheRunBeforeAnyWindow)
{
    RunResult r = run({"cancel"});
    EXPECT_EQ(r.exit_code, 0) << r.standard_error;
    auto boxes = r.events("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["caption"], "QUORIX Setup");
    EXPECT_EQ(boxes[0]["buttons"], "OKCANCEL");
    EXPECT_EQ(boxes[0]["result"], "CANCEL");
    std::string text = boxes[0]["text"];
    EXPECT_EQ(text.rfind(WELCOME_START, 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - WELCOME_END.size()), WELCOME_END) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);
    EXPECT_LT(text.size(), 500u);
    EXPECT_TRUE(r.events("window").empty());
    EXPECT_EQ(r.trace.back(), (nlohmann::json{{"event", "exit"}, {"code", 0}}));
}

TEST_F(SetupScenario, TheDialogsControlsSitWhereTheUnitsPutThem)
{
    struct Control {
        const char* class_name;
        const char* title;
        int x, y, width, height, id;
    };
    struct Case {
        const char* name;
        const char* font;
        int dialog_x, dialog_y;
        std::vector<Control> controls;
    };
    const Case cases[] = {
        {"7x16 on 640x480",
         "7x16",
         170,
         140,
         {{"static", "", 21, 32, 241, 24, 0},
          {"edit", "", 21, 64, 258, 24, 0},
          {"button", "OK", 70, 112, 70, 28, 1},
          {"button", "Cancel", 160, 112, 70, 28, 2}}},
        // With characters of 8 pixels Cancel (from 300 - 160 = 140) overlaps
        // OK (which ends at 160); nothing adjusts for it.
        {"8x13 overlaps",
         "8x13",
         170,
         140,
         {{"static", "", 24, 26, 276, 19, 0},
          {"edit", "", 24, 52, 252, 19, 0},
          {"button", "OK", 80, 91, 80, 22, 1},
          {"button", "Cancel", 140, 91, 80, 22, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunResult r = run({"ok", "key enter", "ok"}, {{"SETUP_FONT", c.font}});
        ASSERT_EQ(r.exit_code, 0) << r.standard_error;
        auto windows = r.events("window");
        ASSERT_GE(windows.size(), 5u);
        const nlohmann::json& dialog = windows[0];
        EXPECT_EQ(dialog["class"], "instdir");
        EXPECT_EQ(dialog["title"], "QUORIX Setup");
        EXPECT_EQ(dialog["style"], 0x00CF0000);
        EXPECT_EQ(dialog["x"], c.dialog_x);
        EXPECT_EQ(dialog["y"], c.dialog_y);
        EXPECT_EQ(dialog["width"], 300);
        EXPECT_EQ(dialog["height"], 200);
        for (size_t i = 0; i < c.controls.size(); ++i) {
            const Control& want = c.controls[i];
            const nlohmann::json& got = windows[i + 1];
            SCOPED_TRACE(got.dump());
            EXPECT_EQ(got["parent"], dialog["hwnd"]);
            EXPECT_EQ(got["class"], want.class_name);
            EXPECT_EQ(got["title"], want.title);
            EXPECT_EQ(got["x"], want.x);
            EXPECT_EQ(got["y"], want.y);
            EXPECT_EQ(got["width"], want.width);
            EXPECT_EQ(got["height"], want.height);
            EXPECT_EQ(got["id"], want.id);
        }
        // The field is given the default directory after it is created.
        auto texts = r.events("text");
        ASSERT_GE(texts.size(), 2u);
        EXPECT_EQ(texts[0]["text"], "Installation directory:");
        EXPECT_EQ(texts[1]["hwnd"], windows[2]["hwnd"]);
        EXPECT_EQ(texts[1]["text"], "c:\\quorix");
    }
}

TEST_F(SetupScenario, HowTheDialogIsAnsweredDecidesTheDirectory)
{
    std::string long_directory = "c:\\" + std::string(137, 'q');   // 140 characters
    struct Case {
        const char* name;
        std::vector<std::string> answers;
        bool accepted;
        std::string directory;
    };
    const Case cases[] = {
        {"Enter at once accepts the default", {"ok", "key enter", "ok"}, true, "c:\\quorix"},
        {"Enter, Tab and Escape in the field do nothing; OK accepts",
         {"ok", "click edit", "key enter", "key tab", "key escape", "click OK", "ok"},
         true,
         "c:\\quorix"},
        {"a typed directory", {"ok", "click edit", "type C:\\Fortran Libs", "click OK", "ok"}, true,
         "C:\\Fortran Libs"},
        {"a trailing backslash stays", {"ok", "click edit", "type c:\\quorix\\", "click OK", "ok"}, true,
         "c:\\quorix\\"},
        // The install tree then finds no directory to make: its message ends the run.
        {"an empty field is accepted as it is", {"ok", "click edit", "type ", "click OK", "ok"}, true, ""},
        // The program group has room for three of its nine items in so long a
        // directory: each item left out is reported in a box of its own.
        {"140 characters are cut to 131",
         {"ok", "click edit", "type " + long_directory, "click OK", "ok", "ok", "ok", "ok", "ok", "ok", "ok"},
         true,
         long_directory.substr(0, 131)},
        {"Cancel", {"ok", "click Cancel"}, false, ""},
        {"closing by the title bar counts as Cancel", {"ok", "close"}, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunResult r = run(c.answers);
        EXPECT_EQ(r.exit_code, 0) << r.standard_error;
        EXPECT_EQ(r.standard_error, "");
        auto boxes = r.events("msgbox");
        if (!c.accepted) {
            EXPECT_EQ(boxes.size(), 1u) << "only the welcome box";
            continue;
        }
        ASSERT_EQ(boxes.size(), c.directory.size() == 131 ? 8u : 2u);
        auto made = r.events("mkdir");
        ASSERT_FALSE(made.empty());
        EXPECT_EQ(made[0]["path"], c.directory);
        if (c.directory.empty()) {
            EXPECT_EQ(boxes[1]["caption"], "Setup");
            EXPECT_EQ(boxes[1]["text"], "Cannot create directory ");
            continue;
        }
        EXPECT_EQ(boxes.back()["caption"], "QUORIX Setup");
        EXPECT_EQ(boxes.back()["buttons"], "OK");
        EXPECT_EQ(boxes.back()["text"], closing_text(c.directory));
    }
}

TEST_F(SetupScenario, TheClosingTextForA131CharacterDirectoryHas403Characters)
{
    std::string directory = "c:\\" + std::string(128, 'x');
    // Six boxes report the group items that find no room in the group script.
    RunResult r = run({"ok", "click edit", "type " + directory, "click OK", "ok", "ok", "ok", "ok", "ok", "ok", "ok"});
    ASSERT_EQ(r.exit_code, 0) << r.standard_error;
    EXPECT_EQ(last_box(r).size(), 403u);
    EXPECT_EQ(last_box(r), closing_text(directory));
}

TEST_F(SetupScenario, TheStartUpShowStateReachesTheDialog)
{
    struct Case {
        const char* name;
        std::map<std::string, std::string> environment;
        std::vector<std::string> answers;
        int cmd;
    };
    const Case cases[] = {
        {"default", {}, {"ok", "key enter", "ok"}, SW_SHOWDEFAULT},
        // A minimised dialog has no focus: the user restores it by clicking.
        {"by name", {{"SETUP_SHOW", "SW_SHOWMINIMIZED"}}, {"ok", "click OK", "ok"}, SW_SHOWMINIMIZED},
        {"by number", {{"SETUP_SHOW", "3"}}, {"ok", "key enter", "ok"}, SW_SHOWMAXIMIZED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunResult r = run(c.answers, c.environment);
        ASSERT_EQ(r.exit_code, 0) << r.standard_error;
        auto shows = r.events("show");
        ASSERT_GE(shows.size(), 1u);
        EXPECT_EQ(shows[0]["hwnd"], r.events("window")[0]["hwnd"]);
        EXPECT_EQ(shows[0]["cmd"], c.cmd);
        EXPECT_EQ(r.events("msgbox").size(), 2u);
    }
}

TEST_F(SetupScenario, ArgumentsChangeNothing)
{
    RunResult plain = run({"ok", "key enter", "ok"});
    RunResult with_arguments = run({"ok", "key enter", "ok"}, {}, {"/s", "d:\\elsewhere", "two words"});
    EXPECT_EQ(with_arguments.exit_code, 0);
    EXPECT_EQ(plain.trace, with_arguments.trace);
}

}  // namespace
