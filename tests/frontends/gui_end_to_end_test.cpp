// The gui front-end as a person uses it: the built setup on an X server of
// the test's own (Xvfb), driven with the pointer and the keyboard through
// xdotool, its windows read back from the server with xwininfo, screenshots
// kept in the build folder.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <regex>
#include <thread>

#include "support/held_file.h"
#include "support/process.h"
#include "support/scenario.h"
#include "support/x_server.h"

namespace {

const std::string SCREENSHOTS = QUORIX_SCREENSHOT_DIR;

std::vector<nlohmann::json> of_kind(const std::vector<nlohmann::json>& trace, const std::string& name)
{
    std::vector<nlohmann::json> out;
    for (const nlohmann::json& e : trace)
        if (e["event"] == name) out.push_back(e);
    return out;
}

// The 76th row of the manifest, qrxdvf.lib, which brings the readout to 81.
constexpr size_t HELD_ROW = 76;
const std::string HELD_FILE = "qrxdvf.lib";

// One run of the setup on the test's X server, in the demo distribution,
// with a machine folder, a trace and a recording of its own. The front-end is
// not named: with DISPLAY set the setup chooses the gui itself.
class GuiRun {
public:
    GuiRun(const XServer& x, const std::string& folder, Environment extra = {}) : folder_(folder)
    {
        Process::Start start;
        start.arguments = {QUORIX_SETUP_BINARY};
        start.environment = {{"PATH", std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin"},
                             {"HOME", folder},
                             {"DISPLAY", x.display()},
                             {"SETUP_ROOT", folder + "/root"},
                             {"SETUP_TRACE", folder + "/trace.jsonl"},
                             {"SETUP_RECORD", folder + "/recorded"}};
        // The leak checks of a sanitizer build pass on to the setup.
        if (const char* leaks = std::getenv("LSAN_OPTIONS")) start.environment["LSAN_OPTIONS"] = leaks;
        for (const auto& [name, value] : extra) start.environment[name] = value;
        start.directory = demo_source_directory();
        start.output_path = folder + "/stdout";
        start.error_path = folder + "/stderr";
        process_ = std::make_unique<Process>(start);
    }

    int finish(int timeout_seconds = 30) { return process_->wait(timeout_seconds); }
    bool running() { return process_->running(); }
    std::vector<nlohmann::json> trace() const { return read_trace(trace_path()); }
    std::string trace_path() const { return folder_ + "/trace.jsonl"; }
    // The run as the scenario tests see one, for the checks they share.
    RunResult result() const
    {
        RunResult r;
        r.trace = trace();
        r.root = root();
        return r;
    }
    std::string error() const { return read_text_file(folder_ + "/stderr"); }
    std::string recorded_path() const { return folder_ + "/recorded"; }
    std::string root() const { return folder_ + "/root"; }

private:
    std::string folder_;
    std::unique_ptr<Process> process_;
};

class GuiEndToEnd : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_EQ(x.failure(), "");
        std::filesystem::create_directories(SCREENSHOTS);
    }

    void screenshot(const std::string& name)
    {
        std::string why;
        EXPECT_TRUE(x.screenshot(SCREENSHOTS + "/" + name + ".png", why)) << why;
    }

    std::string folder(const std::string& name)
    {
        std::string path = scratch / name;
        std::filesystem::create_directories(path);
        return path;
    }

    // The control of a window whose X11 name begins so ("edit ", "button ...OK").
    XWindow control(const std::string& top, const std::string& class_name, const std::string& caption = "")
    {
        for (const XWindow& w : x.tree(top)) {
            if (w.name.rfind(class_name + " ", 0) != 0) continue;
            if (caption.empty() || (w.name.size() > caption.size() &&
                                    w.name.compare(w.name.size() - caption.size() - 1, std::string::npos,
                                                   " " + caption) == 0))
                return w;
        }
        ADD_FAILURE() << "no " << class_name << " \"" << caption << "\" in window " << top;
        return {};
    }

    // Confirms the welcome box as a person does, with a click on its OK.
    void confirm_welcome()
    {
        std::string box = x.wait_for_window("msgbox");
        ASSERT_NE(box, "") << "no welcome box";
        std::optional<XWindow> ok = x.find(box, "OK");
        ASSERT_TRUE(ok);
        x.click_centre(*ok);
        ASSERT_TRUE(x.wait_until_gone("msgbox"));
    }

    // True when, a while after the last action, the dialog is still open and
    // no message box has come up.
    bool dialog_stays_open()
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return x.wait_for_window("instdir", 100) != "" && x.wait_for_window("msgbox", 100) == "";
    }

    XServer x;
    TempDir scratch;
};

TEST_F(GuiEndToEnd, APersonInstallsWithThePointerAndTheKeyboard)
{
    std::string where = folder("install");
    // The setup holds in the middle of its copy, at the open of this file,
    // until the test reads it: time to look at the copy window.
    HeldFile held(where + "/root/drive_c/e2e/quorix/" + HELD_FILE);
    ASSERT_EQ(held.failure(), "");
    GuiRun run(x, where);
    std::string box = x.wait_for_window("msgbox");
    ASSERT_NE(box, "") << run.error();
    screenshot("gui-1-welcome");
    std::vector<XWindow> box_tree = x.tree(box);
    EXPECT_EQ(box_tree[0].name, "QUORIX Setup");
    ASSERT_TRUE(x.find(box, "Cancel"));
    x.click_centre(*x.find(box, "OK"));

    std::string dialog = x.wait_for_window("instdir");
    ASSERT_NE(dialog, "") << run.error();
    screenshot("gui-2-dialog");
    x.click_centre(control(dialog, "edit"));
    // The field holds c:\quorix with the caret at its end after the click;
    // Shift+Home selects it and the typing replaces it.
    x.key(dialog, "shift+Home");
    x.type(dialog, "c:\\e2e\\quorix");
    screenshot("gui-3-dialog-typed");
    x.click_centre(control(dialog, "button", "OK"));

    std::string copy = x.wait_for_window("instcopy");
    ASSERT_NE(copy, "") << run.error();
    ASSERT_TRUE(held.wait_until_reached(run.trace_path(), HELD_ROW - 1)) << run.error();
    // The copy window, painted by the program while it copies and fetches no
    // messages: the names of the row, the bar and the number at 81.
    EXPECT_EQ(x.tree(copy)[0].name, "QUORIX Setup");
    screenshot("gui-4-copy-window");
    std::string held_bytes = held.release();

    std::string notice = x.wait_for_window("msgbox");
    ASSERT_NE(notice, "") << run.error();
    screenshot("gui-5-closing-notice");
    x.key(notice, "Return");
    ASSERT_EQ(run.finish(), 0) << run.error();

    std::vector<nlohmann::json> trace = run.trace();
    std::vector<nlohmann::json> boxes = of_kind(trace, "msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0]["result"], "OK");
    EXPECT_EQ(boxes[1]["text"], "The installation of QUORIX is ready.\n \nAdd the command SET QUORIX=c:\\e2e\\quorix\n"
                                " to the file AUTOEXEC.BAT\n \nAdd the directory  c:\\e2e\\quorix\\win  to the PATH "
                                "variable.");
    EXPECT_EQ(trace.back(), (nlohmann::json{{"event", "exit"}, {"code", 0}}));

    // What the setup left on the machine, as a person looks at it.
    EXPECT_EQ(check_installed_files(run.result(), {{"c:\\e2e\\quorix\\" + HELD_FILE, held_bytes}}), "");
    EXPECT_EQ(check_group_and_key(run.root(), "c:\\e2e\\quorix"), "");
}

TEST_F(GuiEndToEnd, ARecordedRunReplaysUnattendedToTheSameTrace)
{
    GuiRun run(x, folder("record"));
    confirm_welcome();
    std::string dialog = x.wait_for_window("instdir");
    ASSERT_NE(dialog, "");
    x.click_centre(control(dialog, "edit"));
    // Editing as a person does: characters removed, the caret moved, more typed.
    x.key(dialog, "BackSpace");
    x.key(dialog, "BackSpace");
    x.key(dialog, "Left");
    x.type(dialog, "8");
    x.key(dialog, "Return");   // in the field: nothing happens
    x.click_centre(control(dialog, "button", "OK"));
    std::string notice = x.wait_for_window("msgbox");
    ASSERT_NE(notice, "");
    x.key(notice, "Return");
    ASSERT_EQ(run.finish(), 0) << run.error();

    std::string recorded = read_text_file(run.recorded_path());
    EXPECT_NE(recorded.find("ok\nclick edit\ntype c:\\quo8r\nkey enter\nclick OK\nok\n"), std::string::npos)
        << recorded;
    std::smatch layout;
    ASSERT_TRUE(std::regex_search(recorded, layout, std::regex("SETUP_FONT=(\\S+) and SETUP_SCREEN=(\\S+) ")));

    RunRequest replay;
    replay.answers = std::nullopt;
    replay.environment = {{"SETUP_SCRIPT", run.recorded_path()},
                          {"SETUP_FONT", layout[1]},
                          {"SETUP_SCREEN", layout[2]}};
    RunResult again = run_setup(replay, scratch);
    EXPECT_EQ(again.exit_code, 0) << again.standard_error;
    EXPECT_EQ(again.standard_error, "");
    EXPECT_EQ(again.trace, run.trace());
}

TEST_F(GuiEndToEnd, ControlsSitWhereTheScriptFrontEndPutsThemForTheSameMetrics)
{
    std::string where = folder("positions");
    HeldFile held(where + "/root/drive_c/quorix/" + HELD_FILE);
    ASSERT_EQ(held.failure(), "");
    GuiRun run(x, where);
    confirm_welcome();
    std::string dialog = x.wait_for_window("instdir");
    ASSERT_NE(dialog, "");
    std::map<std::string, std::vector<XWindow>> trees;   // by window class, as the server has them
    trees["instdir"] = x.tree(dialog);
    XWindow label = control(dialog, "static"), field = control(dialog, "edit");
    x.key(dialog, "Return");
    std::string copy = x.wait_for_window("instcopy");
    ASSERT_NE(copy, "");
    ASSERT_TRUE(held.wait_until_reached(run.trace_path(), HELD_ROW - 1));
    trees["instcopy"] = x.tree(copy);
    held.release();
    std::string notice = x.wait_for_window("msgbox");
    ASSERT_NE(notice, "");
    x.key(notice, "Return");
    ASSERT_EQ(run.finish(), 0) << run.error();

    // The units the gui's font gave, as the layout shows them: the field
    // begins three character widths in, the label two lines down.
    int cw = field.x / 3, lh = label.y / 2;
    ASSERT_GT(cw, 0);
    ASSERT_GT(lh, 0);
    RunRequest script;
    script.answers = std::vector<std::string>{"ok", "key enter", "ok"};
    script.environment = {{"SETUP_FONT", std::to_string(cw) + "x" + std::to_string(lh)},
                          {"SETUP_SCREEN", std::to_string(x.width()) + "x" + std::to_string(x.height())}};
    RunResult laid_out = run_setup(script, scratch);
    ASSERT_EQ(laid_out.exit_code, 0) << laid_out.standard_error;

    int compared = 0;
    for (const nlohmann::json& top_event : laid_out.events("window")) {
        std::string window_class = top_event["class"];
        if (!trees.count(window_class)) continue;
        SCOPED_TRACE(window_class);
        const std::vector<XWindow>& tree = trees[window_class];
        const XWindow& top = tree[0];
        // The window as created: titled, sized and centred on the screen.
        EXPECT_EQ(top.name, top_event["title"]);
        EXPECT_EQ(top.root_x, top_event["x"]);
        EXPECT_EQ(top.root_y, top_event["y"]);
        EXPECT_EQ(top.width, top_event["width"]);
        EXPECT_EQ(top.height, top_event["height"]);
        // The client area lies inside an even frame, below the caption.
        auto client = std::find_if(tree.begin(), tree.end(), [](const XWindow& w) { return w.name == "client"; });
        ASSERT_NE(client, tree.end());
        EXPECT_EQ(top.width - client->width, 2 * client->x);
        EXPECT_EQ(top.height - client->height - client->y, client->x);

        for (const nlohmann::json& e : laid_out.events("window")) {
            if (e["parent"] != top_event["hwnd"]) continue;
            std::string name = e["class"].get<std::string>() + " " + std::to_string(e["hwnd"].get<long long>());
            SCOPED_TRACE(name);
            auto w = std::find_if(tree.begin(), tree.end(),
                                  [&](const XWindow& w) { return w.name.rfind(name, 0) == 0; });
            ASSERT_NE(w, tree.end()) << "no X11 window for it";
            EXPECT_EQ(w->depth, 2) << "a control lies in the client area";
            EXPECT_EQ(w->x, e["x"]);
            EXPECT_EQ(w->y, e["y"]);
            EXPECT_EQ(w->width, e["width"]);
            EXPECT_EQ(w->height, e["height"]);
            ++compared;
        }
    }
    EXPECT_EQ(compared, 4 + 7) << "the dialog's four controls and the copy window's seven";
}

TEST_F(GuiEndToEnd, TheDialogKeepsTheSystemsKeyRulesNotTheToolkits)
{
    struct Case {
        const char* name;
        std::function<void(GuiEndToEnd&, const std::string& dialog)> act;
        bool accepted;   // the closing notice comes, for c:\quorix
    };
    const Case cases[] = {
        {"Tab and Escape do nothing, and Enter at the window accepts",
         [](GuiEndToEnd& t, const std::string& dialog) {
             t.x.key(dialog, "Tab");
             t.x.key(dialog, "Escape");
             EXPECT_TRUE(t.dialog_stays_open());
             t.x.key(dialog, "Return");
         },
         true},
        {"Enter in the field does not accept, OK does",
         [](GuiEndToEnd& t, const std::string& dialog) {
             t.x.click_centre(t.control(dialog, "edit"));
             t.x.key(dialog, "Return");
             EXPECT_TRUE(t.dialog_stays_open());
             t.x.click_centre(t.control(dialog, "button", "OK"));
         },
         true},
        {"the title bar's close cancels",
         [](GuiEndToEnd& t, const std::string& dialog) {
             std::vector<XWindow> tree = t.x.tree(dialog);
             std::optional<XWindow> client = t.x.find(dialog, "client");
             ASSERT_TRUE(client);
             // The close box is the caption's last, at its right end.
             int frame = client->x, caption = client->y - client->x;
             t.x.click(dialog, tree[0].width - frame - 2 - (caption - 3) / 2, frame + caption / 2);
         },
         false},
        {"Alt+F4 cancels", [](GuiEndToEnd& t, const std::string& dialog) { t.x.key(dialog, "alt+F4"); }, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GuiRun run(x, folder("keys" + std::to_string(++n)));
        confirm_welcome();
        std::string dialog = x.wait_for_window("instdir");
        ASSERT_NE(dialog, "");
        c.act(*this, dialog);
        if (c.accepted) {
            std::string notice = x.wait_for_window("msgbox");
            ASSERT_NE(notice, "");
            x.key(notice, "Return");
        }
        ASSERT_EQ(run.finish(), 0) << run.error();
        std::vector<nlohmann::json> boxes = of_kind(run.trace(), "msgbox");
        ASSERT_EQ(boxes.size(), c.accepted ? 2u : 1u);
        if (c.accepted) {
            EXPECT_NE(boxes[1]["text"].get<std::string>().find("SET QUORIX=c:\\quorix\n"), std::string::npos);
        }
    }
}

TEST_F(GuiEndToEnd, TheMessageBoxIsADialogOfItsOwn)
{
    struct Case {
        const char* name;
        std::string keys;
        const char* result;
    };
    const Case cases[] = {
        {"Escape is Cancel", "Escape", "CANCEL"},
        {"Tab moves to Cancel", "Tab Return", "CANCEL"},
        {"the arrows move too, and Space presses", "Right space", "CANCEL"},
        {"Alt+F4 is Cancel", "alt+F4", "CANCEL"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GuiRun run(x, folder("box" + std::to_string(++n)));
        std::string box = x.wait_for_window("msgbox");
        ASSERT_NE(box, "");
        std::istringstream keys(c.keys);
        std::string key;
        while (keys >> key) x.key(box, key);
        ASSERT_EQ(run.finish(), 0) << run.error();
        std::vector<nlohmann::json> boxes = of_kind(run.trace(), "msgbox");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0]["result"], c.result);
        EXPECT_TRUE(of_kind(run.trace(), "window").empty());
    }
}

TEST_F(GuiEndToEnd, ResizingTheDialogLeavesEveryControlInPlace)
{
    GuiRun run(x, folder("resize"));
    confirm_welcome();
    std::string dialog = x.wait_for_window("instdir");
    ASSERT_NE(dialog, "");
    std::vector<XWindow> before = x.tree(dialog);
    const XWindow& top = before[0];
    // The bottom right corner of the frame, dragged out by 100 x 60 pixels.
    x.drag(top.root_x + top.width - 2, top.root_y + top.height - 2, top.root_x + top.width + 98,
           top.root_y + top.height + 58);
    std::vector<XWindow> after = x.tree(dialog);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[0].width, top.width + 100);
    EXPECT_EQ(after[0].height, top.height + 60);
    EXPECT_EQ(after[0].root_x, top.root_x);
    for (size_t i = 1; i < before.size(); ++i) {
        SCOPED_TRACE(before[i].name);
        if (before[i].name == "client") {
            EXPECT_EQ(after[i].width, before[i].width + 100);
            continue;
        }
        EXPECT_EQ(after[i].x, before[i].x);
        EXPECT_EQ(after[i].y, before[i].y);
        EXPECT_EQ(after[i].width, before[i].width);
    }
    screenshot("gui-resized-dialog");
    x.key(dialog, "Return");
    std::string notice = x.wait_for_window("msgbox");
    ASSERT_NE(notice, "");
    x.key(notice, "Return");
    EXPECT_EQ(run.finish(), 0) << run.error();
}

TEST_F(GuiEndToEnd, AMinimisedStartShowsTheCaptionAloneUntilRestored)
{
    GuiRun run(x, folder("minimised"), {{"SETUP_SHOW", "SW_SHOWMINIMIZED"}});
    confirm_welcome();
    std::string dialog = x.wait_for_window("instdir");
    ASSERT_NE(dialog, "");
    std::vector<XWindow> minimised = x.tree(dialog);
    EXPECT_EQ(minimised[0].root_x, 0);
    EXPECT_EQ(minimised[0].root_y + minimised[0].height, x.height());
    EXPECT_LT(minimised[0].height, 40);
    screenshot("gui-minimised-dialog");
    // A double click on the caption restores the window.
    x.run({"xdotool", "mousemove", "--window", dialog, "60", std::to_string(minimised[0].height / 2)});
    x.run({"xdotool", "click", "--repeat", "2", "--delay", "80", "1"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::vector<XWindow> restored = x.tree(dialog);
    EXPECT_EQ(restored[0].width, 300);
    EXPECT_EQ(restored[0].height, 200);
    EXPECT_EQ(restored[0].root_x, (x.width() - 300) / 2);
    x.key(dialog, "Return");
    std::string notice = x.wait_for_window("msgbox");
    ASSERT_NE(notice, "");
    x.key(notice, "Return");
    EXPECT_EQ(run.finish(), 0) << run.error();
}

}  // namespace
