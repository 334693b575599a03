// The predefined controls: buttons notify their parent, edit fields edit,
// scroll bars keep their range, and repainting happens at once.
#include "support/machine_fixture.h"
#include "user/input.h"
#include "user/window.h"

namespace {

using ControlsTest = MachineTest;

HWND make_child(HWND parent, const char* class_name, const char* text, DWORD style, int id)
{
    return CreateWindowExA(0, class_name, text, WS_CHILD | WS_VISIBLE | style, 1, 1, 80, 20, parent,
                           (HMENU)(INT_PTR)id, NULL, NULL);
}

std::string text_of(HWND window)
{
    char buffer[256];
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

TEST_F(ControlsTest, AClickedButtonSendsWmCommandWithItsHandleToItsParent)
{
    HWND window = create_test_window();
    HWND button = make_child(window, "button", "OK", BS_PUSHBUTTON, 12);
    ShowWindow(window, SW_SHOW);
    platform::start_message_log();
    platform::input::click(button);
    handle_pending_input();
    expect_sequence(platform::stop_message_log(),
                    {{window, WM_COMMAND, true, MAKEWPARAM(12, BN_CLICKED), (LPARAM)button}});
    EXPECT_EQ(GetFocus(), button);
}

TEST_F(ControlsTest, TypingEditsTheFieldWithTheFocus)
{
    HWND window = create_test_window();
    HWND edit = make_child(window, "edit", "", WS_BORDER | ES_AUTOHSCROLL, 1);
    SetWindowTextA(edit, "c:\\quorix");
    ShowWindow(window, SW_SHOW);
    platform::input::click(edit);
    handle_pending_input();
    struct Case {
        const char* name;
        void (*act)();
        const char* text;
    };
    const Case cases[] = {
        {"typing at the end", [] { platform::input::character('2'); }, "c:\\quorix2"},
        {"backspace", [] { platform::input::key(VK_BACK); }, "c:\\quorix"},
        {"home and delete", [] { platform::input::key(VK_HOME); platform::input::key(VK_DELETE); }, ":\\quorix"},
        {"replace everything", [] { platform::input::replace_text("d:\\lib x"); }, "d:\\lib x"},
        {"replace with nothing", [] { platform::input::replace_text(""); }, ""},
        {"control characters insert nothing", [] { platform::input::character('\t'); }, ""},
        {"high bytes of the code page", [] { platform::input::character(0xE9); }, "\xE9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.act();
        handle_pending_input();
        EXPECT_EQ(text_of(edit), c.text);
    }
}

TEST_F(ControlsTest, SetWindowTextPutsTheCaretAtTheStart)
{
    HWND window = create_test_window();
    HWND edit = make_child(window, "edit", "", WS_BORDER, 1);
    SetWindowTextA(edit, "abc");
    ShowWindow(window, SW_SHOW);
    SetFocus(edit);
    platform::input::character('x');
    handle_pending_input();
    EXPECT_EQ(text_of(edit), "xabc");
}

TEST_F(ControlsTest, ScrollBarsKeepTheirPositionInsideTheRangeAndTraceIt)
{
    HWND window = create_test_window();
    HWND bar = make_child(window, "scrollbar", NULL, SBS_HORZ, 0);
    EXPECT_TRUE(SetScrollRange(bar, SB_CTL, 0, 100, FALSE));
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, 45, TRUE), 0);
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, 250, TRUE), 45);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 100);
    EXPECT_EQ(SetScrollPos(window, SB_CTL, 5, TRUE), 0) << "a window that is not a scroll bar";
    auto scrolls = events("scroll");
    ASSERT_EQ(scrolls.size(), 3u);
    EXPECT_EQ(scrolls[0], (nlohmann::json{{"event", "scroll"}, {"hwnd", (uintptr_t)bar}, {"pos", 0}, {"min", 0}, {"max", 100}}));
    EXPECT_EQ(scrolls[1]["pos"], 45);
    EXPECT_EQ(scrolls[2]["pos"], 100);
}

// A front-end that counts what it is asked to show.
class CountingFrontend : public platform::Frontend {
public:
    const char* name() const override { return "counting"; }
    platform::FontMetrics font() const override { return {}; }
    int screen_width() const override { return 640; }
    int screen_height() const override { return 480; }
    void window_painted(platform::Window&) override { ++painted; }
    int message_box(const std::string&, const std::string&, UINT) override { return IDOK; }
    platform::WaitResult wait_for_input(std::optional<platform::Clock::time_point>) override
    {
        return platform::WaitResult::timeout;
    }
    static inline int painted = 0;
};

TEST_F(ControlsTest, UpdateWindowAndARedrawnScrollBarPaintAtOnceWithoutALoop)
{
    CountingFrontend::painted = 0;
    start_with({}, {}, std::make_unique<CountingFrontend>());
    HWND window = create_test_window();
    HWND edit = make_child(window, "edit", "", WS_BORDER, 1);
    HWND bar = make_child(window, "scrollbar", NULL, SBS_HORZ, 0);
    UpdateWindow(window);
    EXPECT_EQ(CountingFrontend::painted, 0) << "a hidden window is not painted";
    ShowWindow(window, SW_SHOW);
    platform::start_message_log();
    UpdateWindow(window);
    EXPECT_EQ(CountingFrontend::painted, 1);
    expect_sequence(platform::stop_message_log(),
                    {{window, WM_PAINT, true}, {edit, WM_PAINT, true}, {bar, WM_PAINT, true}});
    SetScrollPos(bar, SB_CTL, 10, FALSE);
    EXPECT_EQ(CountingFrontend::painted, 1);
    SetScrollPos(bar, SB_CTL, 20, TRUE);
    EXPECT_EQ(CountingFrontend::painted, 2);
    SetWindowTextA(edit, "x");
    platform::start_message_log();
    UpdateWindow(window);
    expect_sequence(platform::stop_message_log(), {{edit, WM_PAINT, true}});
}

}  // namespace
