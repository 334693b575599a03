// Keyboard focus and activation as Windows has them.
#include "support/machine_fixture.h"
#include "user/input.h"
#include "user/window.h"

namespace {

using FocusTest = MachineTest;

struct Dialog {
    HWND window;
    HWND edit;
    HWND button;
};

Dialog make_dialog(int show)
{
    Dialog d;
    d.window = create_test_window();
    d.edit = CreateWindowExA(0, "edit", "text", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 5, 5, 100, 20,
                             d.window, (HMENU)1, NULL, NULL);
    d.button = CreateWindowExA(0, "button", "OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 5, 40, 60, 20, d.window,
                               (HMENU)2, NULL, NULL);
    ShowWindow(d.window, show);
    return d;
}

TEST_F(FocusTest, AShownTopLevelWindowHoldsTheFocusItselfUntilTheUserClicksAControl)
{
    Dialog d = make_dialog(SW_SHOWNORMAL);
    EXPECT_EQ(GetActiveWindow(), d.window);
    EXPECT_EQ(GetFocus(), d.window);

    platform::start_message_log();
    platform::input::key(VK_RETURN);
    handle_pending_input();
    platform::input::click(d.edit);
    handle_pending_input();
    EXPECT_EQ(GetFocus(), d.edit);
    platform::input::key(VK_RETURN);
    handle_pending_input();
    expect_sequence(platform::stop_message_log(), {
                                                      {d.window, WM_KEYDOWN, false, VK_RETURN},
                                                      {d.edit, WM_SETFOCUS, true},
                                                      {d.edit, WM_KEYDOWN, false, VK_RETURN},
                                                  });
}

TEST_F(FocusTest, ShowStatesDecideActivationAndFocus)
{
    struct Case {
        const char* name;
        int show;
        bool active;
        bool focus;
        bool minimized;
    };
    const Case cases[] = {
        {"normal", SW_SHOWNORMAL, true, true, false},
        {"default", SW_SHOWDEFAULT, true, true, false},
        {"maximized", SW_SHOWMAXIMIZED, true, true, false},
        {"minimized: active, but keys have no focus window", SW_SHOWMINIMIZED, true, false, true},
        {"not activated", SW_SHOWNOACTIVATE, false, false, false},
        {"minimized, not activated", SW_SHOWMINNOACTIVE, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start_with({});
        HWND window = make_dialog(c.show).window;
        EXPECT_EQ(GetActiveWindow() == window, c.active);
        EXPECT_EQ(GetFocus() == window, c.focus);
        EXPECT_EQ((bool)IsIconic(window), c.minimized);
        EXPECT_TRUE(IsWindowVisible(window));
    }
}

TEST_F(FocusTest, WithoutAFocusKeysReachTheActiveWindowAsSystemKeys)
{
    Dialog d = make_dialog(SW_SHOWMINIMIZED);
    platform::start_message_log();
    platform::input::key(VK_RETURN);
    handle_pending_input();
    expect_sequence(platform::stop_message_log(), {{d.window, WM_SYSKEYDOWN, false, VK_RETURN}});
}

TEST_F(FocusTest, ARestoredWindowHasTheFocusAgain)
{
    Dialog d = make_dialog(SW_SHOWMINIMIZED);
    platform::start_message_log();
    platform::input::system_command(d.window, SC_RESTORE);
    platform::input::key(VK_RETURN);
    handle_pending_input();
    expect_sequence(platform::stop_message_log(),
                    {{d.window, WM_ACTIVATE, true, WA_ACTIVE}, {d.window, WM_SETFOCUS, true},
                     {d.window, WM_KEYDOWN, false, VK_RETURN}});
    EXPECT_EQ(GetFocus(), d.window);
}

TEST_F(FocusTest, AnEditFieldKeepsEnterTabAndEscapeAndDoesNothingWithThem)
{
    Dialog d = make_dialog(SW_SHOWNORMAL);
    platform::input::click(d.edit);
    handle_pending_input();
    platform::start_message_log();
    for (UINT key : {VK_RETURN, VK_TAB, VK_ESCAPE}) platform::input::key(key);
    handle_pending_input();
    auto log = platform::stop_message_log();
    for (const platform::LoggedMessage& m : log)
        EXPECT_EQ(m.window, d.edit) << platform::message_name(m.message) << " reached another window";
    EXPECT_EQ(GetFocus(), d.edit);
    char text[32];
    GetWindowTextA(d.edit, text, sizeof text);
    EXPECT_STREQ(text, "text");
}

TEST_F(FocusTest, ADefaultPushButtonHasNoKeyboardBehaviour)
{
    Dialog d = make_dialog(SW_SHOWNORMAL);
    platform::start_message_log();
    platform::input::key(VK_RETURN);
    platform::input::click(d.edit);
    platform::input::key(VK_RETURN);
    handle_pending_input();
    auto log = platform::stop_message_log();
    for (const platform::LoggedMessage& m : log) EXPECT_NE(m.message, (UINT)WM_COMMAND);
}

TEST_F(FocusTest, AltF4AndTheTitleBarCloseTheWindow)
{
    struct Case {
        const char* name;
        void (*act)(HWND);
        bool command_sent;   // Alt+F4 sends the command from the key's default processing
    };
    const Case cases[] = {
        {"Alt+F4", [](HWND) { platform::input::key(VK_F4, true); }, true},
        {"title bar", [](HWND w) { platform::input::system_command(w, SC_CLOSE); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start_with({});
        Dialog d = make_dialog(SW_SHOWNORMAL);
        platform::start_message_log();
        c.act(d.window);
        EXPECT_EQ(run_message_loop(), 0);
        expect_sequence(platform::stop_message_log(), {
                                                          {d.window, WM_SYSCOMMAND, c.command_sent, SC_CLOSE},
                                                          {d.window, WM_CLOSE, true},
                                                          {d.window, WM_DESTROY, true},
                                                          {d.edit, WM_DESTROY, true},
                                                          {d.button, WM_DESTROY, true},
                                                      });
        EXPECT_FALSE(IsWindow(d.window));
        EXPECT_EQ(GetFocus(), nullptr);
        EXPECT_EQ(GetActiveWindow(), nullptr);
    }
}

}  // namespace
