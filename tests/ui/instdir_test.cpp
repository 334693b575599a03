// The directory dialog's window procedure, in-process: the ways of closing it
// and what each leaves in install_dir.
#include <cstring>
#include <functional>

#include "setup/setup.h"
#include "support/directory_dialog.h"
#include "support/machine_fixture.h"
#include "ui/instdir.h"
#include "ui/layout.h"
#include "user/input.h"
#include "user/window.h"

namespace {

class InstdirTest : public MachineTest {
protected:
    // Runs the dialog with these answers on a 640 x 480 screen.
    int run(const std::vector<std::string>& answers)
    {
        start_with(answers);
        prepare_directory_dialog();
        return run_instdir();
    }
};

TEST_F(InstdirTest, HowTheDialogEnds)
{
    struct Case {
        const char* name;
        std::vector<std::string> answers;
        int result;
        const char* directory;
    };
    const Case cases[] = {
        {"Enter at once", {"key enter"}, 0, "c:\\quorix"},
        {"OK", {"click OK"}, 0, "c:\\quorix"},
        {"an empty field", {"click edit", "type ", "click OK"}, 0, ""},
        {"Cancel", {"click Cancel"}, -1, ""},
        {"the title bar", {"close"}, -1, ""},
        {"Enter in the field does not accept", {"click edit", "key enter", "key escape", "click Cancel"}, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run(c.answers), c.result);
        EXPECT_STREQ(install_dir, c.directory);
        EXPECT_FALSE(IsWindow(dir_window));
    }
}

TEST_F(InstdirTest, AltF4CountsAsCancel)
{
    start_with({});
    prepare_directory_dialog();
    platform::input::key(VK_F4, true);
    EXPECT_EQ(run_instdir(), -1);
    EXPECT_STREQ(install_dir, "");
}

TEST_F(InstdirTest, ALongDirectoryIsCutTo131Characters)
{
    std::string typed(140, 'q');
    typed[0] = 'c';
    typed[1] = ':';
    EXPECT_EQ(run({"click edit", "type " + typed, "click OK"}), 0);
    EXPECT_EQ(std::string(install_dir), typed.substr(0, 131));
}

// A front-end whose waits are answered by the test's own steps.
class StepsFrontend : public platform::Frontend {
public:
    explicit StepsFrontend(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {}
    const char* name() const override { return "steps"; }
    platform::FontMetrics font() const override { return {}; }
    int screen_width() const override { return 640; }
    int screen_height() const override { return 480; }
    int message_box(const std::string&, const std::string&, UINT) override { return IDOK; }
    platform::WaitResult wait_for_input(std::optional<platform::Clock::time_point>) override
    {
        if (next_ >= steps_.size()) platform::fatal("the test ran out of steps");
        steps_[next_++]();
        return platform::WaitResult::input;
    }

private:
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
};

struct Place {
    int x, y, width, height;
    bool operator==(const Place&) const = default;
};

std::vector<Place> control_places()
{
    std::vector<Place> places;
    for (HWND child : platform::find_window(dir_window)->children) {
        const platform::Window* c = platform::find_window(child);
        places.push_back({c->x, c->y, c->width, c->height});
    }
    return places;
}

TEST_F(InstdirTest, ResizingOrMaximisingLeavesEveryControlWhereItWas)
{
    std::vector<Place> placed, maximised, resized;
    int sizes_seen = 0;
    start_with({}, {},
               std::make_unique<StepsFrontend>(std::vector<std::function<void()>>{
                   [&] {
                       placed = control_places();
                       platform::input::system_command(dir_window, SC_MAXIMIZE);
                   },
                   [&] {
                       maximised = control_places();
                       sizes_seen = IsWindow(dir_window) && platform::find_window(dir_window)->maximized;
                       MoveWindow(dir_window, 0, 0, 500, 400, TRUE);
                       resized = control_places();
                       platform::input::click(ok_button);
                   },
               }));
    prepare_directory_dialog();
    EXPECT_EQ(run_instdir(), 0);
    EXPECT_EQ(sizes_seen, 1);
    ASSERT_EQ(placed.size(), 4u);
    EXPECT_EQ(maximised, placed);
    EXPECT_EQ(resized, placed);
}

}  // namespace
