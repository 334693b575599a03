// Painting in the gui front-end: what the program paints is on the screen
// when UpdateWindow (or SetScrollPos with redraw) returns, though no message
// loop runs, as the copy window needs while it copies. The pixels are read
// back from the X server.
#include <gtest/gtest.h>

#include <cstdlib>

#include "machine.h"
#include "support/machine_fixture.h"
#include "support/x_server.h"
#include "win32.h"

namespace {

class GuiPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(x.failure(), "");
        setenv("DISPLAY", x.display().c_str(), 1);
        platform::Options options;
        options.ui = "gui";
        options.ui_chosen = true;
        options.root = scratch / "machine";
        std::string error;
        ASSERT_TRUE(platform::start_machine(options, error)) << error;
    }
    void TearDown() override { platform::stop_machine(0); }

    // The pixels of an X11 window as the server has them.
    std::string pixels(const std::string& id) { return x.run({"import", "-window", id, "rgb:-"}).output; }

    XServer x;
    TempDir scratch;
};

TEST_F(GuiPaint, WhatTheProgramPaintsIsShownAtOnceWithNoLoopRunning)
{
    HWND window = create_test_window();
    HWND percent = CreateWindowExA(0, "static", "0", WS_CHILD | WS_VISIBLE | SS_CENTER, 70, 120, 200, 24, window,
                                   NULL, NULL, NULL);
    HWND bar = CreateWindowExA(0, "scrollbar", NULL, WS_CHILD | WS_VISIBLE | SBS_HORZ, 70, 80, 200, 24, window,
                               NULL, NULL, NULL);
    SetScrollRange(bar, SB_CTL, 0, 100, FALSE);
    SetScrollPos(bar, SB_CTL, 0, FALSE);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    std::string top = x.wait_for_window("testwindow");
    ASSERT_NE(top, "");
    std::optional<XWindow> text_window = x.find(top, "static " + std::to_string((uintptr_t)percent));
    std::optional<XWindow> bar_window = x.find(top, "scrollbar " + std::to_string((uintptr_t)bar));
    ASSERT_TRUE(text_window && bar_window);
    const std::string text_at_0 = pixels(text_window->id), bar_at_0 = pixels(bar_window->id);
    ASSERT_FALSE(text_at_0.empty());

    // A scroll bar set with redraw shows its new position when the call returns.
    SetScrollPos(bar, SB_CTL, 57, TRUE);
    EXPECT_NE(pixels(bar_window->id), bar_at_0);
    // A text shows once the window is updated.
    SetWindowTextA(percent, "57");
    UpdateWindow(window);
    EXPECT_NE(pixels(text_window->id), text_at_0);
    std::string why;
    EXPECT_TRUE(x.screenshot(std::string(QUORIX_SCREENSHOT_DIR) + "/gui-paint-57.png", why)) << why;

    // Back to the first state, the same pixels: drawn from the machine's
    // record alone.
    SetScrollPos(bar, SB_CTL, 0, TRUE);
    SetWindowTextA(percent, "0");
    UpdateWindow(window);
    EXPECT_EQ(pixels(bar_window->id), bar_at_0);
    EXPECT_EQ(pixels(text_window->id), text_at_0);
}

}  // namespace
