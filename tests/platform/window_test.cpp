// Windows and classes: creation and destruction order, handles that are gone,
// window text.
#include <cstring>

#include "support/machine_fixture.h"
#include "user/window.h"

namespace {

using WindowTest = MachineTest;

LRESULT CALLBACK refuse_creation(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_CREATE) return -1;
    return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK close_during_creation(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_CREATE) {
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

TEST_F(WindowTest, CreationSendsNcCreateThenCreateBeforeTheCallReturns)
{
    platform::start_message_log();
    HWND window = create_test_window();
    ASSERT_NE(window, nullptr);
    expect_sequence(platform::stop_message_log(), {
                                                      {window, WM_NCCREATE, true},
                                                      {window, WM_CREATE, true},
                                                      {window, WM_SIZE, true},
                                                  });
    char title[16];
    EXPECT_EQ(GetWindowTextA(window, title, sizeof title), 4);
    EXPECT_STREQ(title, "Test");
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(WindowTest, DestroyReachesTheParentBeforeItsChildrenAndFreesChildrenFirst)
{
    HWND parent = create_test_window();
    HWND child = create_test_window("testwindow", WS_CHILD | WS_VISIBLE, parent, 7);
    HWND grandchild = create_test_window("testwindow", WS_CHILD, child, 8);
    platform::start_message_log();
    SendMessageA(parent, WM_CLOSE, 0, 0);
    expect_sequence(platform::stop_message_log(), {
                                                      {parent, WM_CLOSE, true},
                                                      {parent, WM_DESTROY, true},
                                                      {child, WM_DESTROY, true},
                                                      {grandchild, WM_DESTROY, true},
                                                      {grandchild, WM_NCDESTROY, true},
                                                      {child, WM_NCDESTROY, true},
                                                      {parent, WM_NCDESTROY, true},
                                                  });
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(grandchild));
    auto destroyed = events("destroy");
    ASSERT_EQ(destroyed.size(), 3u);
    EXPECT_EQ(destroyed[0]["hwnd"], (uintptr_t)parent);
    EXPECT_EQ(destroyed[1]["hwnd"], (uintptr_t)child);
}

TEST_F(WindowTest, AMessageToANullOrDestroyedWindowDoesNothingAndReturnsZero)
{
    HWND window = create_test_window();
    DestroyWindow(window);
    platform::start_message_log();
    EXPECT_EQ(SendMessageA(window, WM_USER, 1, 2), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(SendMessageA(nullptr, WM_USER, 1, 2), 0);
    EXPECT_FALSE(PostMessageA(window, WM_USER, 1, 2));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_TRUE(platform::stop_message_log().empty());
}

TEST_F(WindowTest, CreationFailures)
{
    register_test_class("refuses", refuse_creation);
    register_test_class("closes", close_during_creation);
    struct Case {
        const char* name;
        const char* class_name;
        DWORD style;
        DWORD error;
    };
    const Case cases[] = {
        {"unknown class", "nosuchclass", WS_OVERLAPPEDWINDOW, ERROR_CANNOT_FIND_WND_CLASS},
        {"child without parent", "testwindow", WS_CHILD, ERROR_TLW_WITH_WSCHILD},
        {"WM_CREATE answers -1", "refuses", WS_OVERLAPPEDWINDOW, 0},
        {"closed by its own WM_CREATE", "closes", WS_OVERLAPPEDWINDOW, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        register_test_class("testwindow");
        HWND window = CreateWindowExA(0, c.class_name, "x", c.style, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        EXPECT_EQ(window, nullptr);
        if (c.error) {
            EXPECT_EQ(GetLastError(), c.error);
        }
        EXPECT_TRUE(platform::program_top_levels().empty());
    }
}

TEST_F(WindowTest, RegisteringAClassTwiceFails)
{
    register_test_class("twice");
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "TWICE";   // class names ignore case
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_ALREADY_EXISTS);
}

TEST_F(WindowTest, GetWindowTextKeepsToTheBufferSize)
{
    HWND window = create_test_window();
    SetWindowTextA(window, "abcdef");
    struct Case {
        int size;
        int returned;
        const char* text;
    };
    const Case cases[] = {{7, 6, "abcdef"}, {100, 6, "abcdef"}, {6, 5, "abcde"}, {2, 1, "a"}, {1, 0, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char buffer[128];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(GetWindowTextA(window, buffer, c.size), c.returned);
        EXPECT_STREQ(buffer, c.text);
        EXPECT_EQ(buffer[c.size], 'x') << "wrote past the size given";
    }
    char untouched = 'x';
    EXPECT_EQ(GetWindowTextA(window, &untouched, 0), 0);
    EXPECT_EQ(untouched, 'x');
    EXPECT_EQ(GetWindowTextLengthA(window), 6);
}

TEST_F(WindowTest, TheTraceShowsWindowsTextsAndShows)
{
    HWND window = create_test_window();
    HWND child = create_test_window("testwindow", WS_CHILD | WS_VISIBLE, window, 5);
    SetWindowTextA(child, "hello");
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    auto all = trace();
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0]["event"], "window");
    EXPECT_EQ(all[0]["class"], "testwindow");
    EXPECT_EQ(all[0]["title"], "Test");
    EXPECT_EQ(all[0]["style"], WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(all[0]["x"], 10);
    EXPECT_EQ(all[0]["parent"], 0);
    EXPECT_EQ(all[1]["parent"], (uintptr_t)window);
    EXPECT_EQ(all[1]["id"], 5);
    EXPECT_EQ(all[2], (nlohmann::json{{"event", "text"}, {"hwnd", (uintptr_t)child}, {"text", "hello"}}));
    EXPECT_EQ(all[3], (nlohmann::json{{"event", "show"}, {"hwnd", (uintptr_t)window}, {"cmd", 1}}));
    EXPECT_EQ(all[4], (nlohmann::json{{"event", "update"}, {"hwnd", (uintptr_t)window}}));
}

TEST_F(WindowTest, TheMachinesOwnWindowsAreNotTraced)
{
    {
        platform::MachineWindowScope machine_windows;
        HWND hidden = create_test_window();
        ASSERT_NE(hidden, nullptr);
        SetWindowTextA(hidden, "x");
        DestroyWindow(hidden);
    }
    EXPECT_TRUE(trace().empty());
}

}  // namespace
