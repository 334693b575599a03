// The queue: sends run at once, posts wait, the quit message comes after what
// was posted, messages for windows that are gone are dropped; broadcasts,
// translation and timers.
#include "shell/progman.h"
#include "support/machine_fixture.h"
#include "user/input.h"
#include "user/window.h"

namespace {

using MessageTest = MachineTest;

HWND other_window;   // where the ordering procedure sends and posts

LRESULT CALLBACK post_then_send(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_USER) {
        PostMessageA(other_window, WM_USER + 1, 0, 0);
        SendMessageA(other_window, WM_USER + 2, 0, 0);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wparam, lparam);
}

TEST_F(MessageTest, ASentMessageRunsBeforeTheCallReturnsAndAPostedOneWaitsForTheLoop)
{
    register_test_class("ordering", post_then_send);
    HWND first = CreateWindowExA(0, "ordering", "a", WS_OVERLAPPEDWINDOW, 0, 0, 9, 9, NULL, NULL, NULL, NULL);
    other_window = create_test_window();
    platform::start_message_log();
    SendMessageA(first, WM_USER, 0, 0);
    PostMessageA(first, WM_USER + 3, 0, 0);
    PostQuitMessage(42);
    EXPECT_EQ(run_message_loop(), 42);
    expect_sequence(platform::stop_message_log(), {
                                                      {first, WM_USER, true},
                                                      {other_window, WM_USER + 2, true},
                                                      {other_window, WM_USER + 1, false},
                                                      {first, WM_USER + 3, false},
                                                  });
}

TEST_F(MessageTest, QuitComesAfterThePostedMessagesAndEndsTheLoop)
{
    HWND window = create_test_window();
    PostMessageA(window, WM_USER, 0, 0);
    PostQuitMessage(5);
    PostMessageA(window, WM_USER + 1, 0, 0);
    MSG message;
    EXPECT_EQ(GetMessageA(&message, NULL, 0, 0), TRUE);
    EXPECT_EQ(message.message, (UINT)WM_USER);
    EXPECT_EQ(GetMessageA(&message, NULL, 0, 0), TRUE);
    EXPECT_EQ(message.message, (UINT)WM_USER + 1);
    EXPECT_EQ(GetMessageA(&message, NULL, 0, 0), FALSE);
    EXPECT_EQ(message.message, (UINT)WM_QUIT);
    EXPECT_EQ(message.wParam, 5u);
}

TEST_F(MessageTest, ADestroyedWindowsQueuedMessagesAreDropped)
{
    HWND doomed = create_test_window();
    HWND survivor = create_test_window();
    PostMessageA(doomed, WM_USER, 0, 0);
    PostMessageA(survivor, WM_USER + 1, 0, 0);
    DestroyWindow(doomed);   // posts the quit message
    platform::start_message_log();
    run_message_loop();
    expect_sequence(platform::stop_message_log(), {{survivor, WM_USER + 1, false}});
}

TEST_F(MessageTest, ABroadcastReachesEveryTopLevelWindowHiddenOnesIncluded)
{
    HWND shown = create_test_window();
    HWND hidden = create_test_window();
    HWND child = create_test_window("testwindow", WS_CHILD, shown, 1);
    ShowWindow(shown, SW_SHOW);
    platform::start_message_log();
    SendMessageA(HWND_BROADCAST, WM_USER + 9, 1, 2);
    // The machine's own Program Manager is a hidden top-level window made at start.
    HWND progman = platform::shell::program_manager_window();
    ASSERT_NE(progman, nullptr);
    expect_sequence(platform::stop_message_log(),
                    {{progman, WM_USER + 9, true}, {shown, WM_USER + 9, true}, {hidden, WM_USER + 9, true}});
    (void)child;
}

TEST_F(MessageTest, TranslateMessageMakesCharactersOfTypedKeys)
{
    HWND window = create_test_window();
    ShowWindow(window, SW_SHOW);
    platform::input::character('q');
    platform::input::key(VK_RETURN);
    platform::input::key(VK_LEFT);
    platform::start_message_log();
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (message.message == WM_KEYUP && (message.wParam & 0xFFFF) == VK_LEFT) break;
    }
    auto log = platform::stop_message_log();
    expect_sequence(log, {
                             {window, WM_KEYDOWN, false, VK_PACKET | ('q' << 16)},
                             {window, WM_CHAR, false, 'q'},
                             {window, WM_KEYDOWN, false, VK_RETURN},
                             {window, WM_CHAR, false, '\r'},
                             {window, WM_KEYDOWN, false, VK_LEFT},
                         });
}

UINT timer_calls;

void CALLBACK count_timer(HWND, UINT, UINT_PTR, DWORD)
{
    if (++timer_calls == 3) PostQuitMessage(0);
}

TEST_F(MessageTest, TimersRepeatUntilKilledAndTakeNoRealTimeUnderTheScript)
{
    HWND window = create_test_window();
    auto started = std::chrono::steady_clock::now();
    timer_calls = 0;
    ASSERT_NE(SetTimer(window, 7, 10000, count_timer), 0u);
    run_message_loop();
    EXPECT_EQ(timer_calls, 3u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_TRUE(KillTimer(window, 7));
    EXPECT_FALSE(KillTimer(window, 7));
}

TEST_F(MessageTest, WaitingWithNothingThatCouldEverArriveEndsTheRunWithCode3)
{
    EXPECT_EXIT(
        {
            MSG message;
            GetMessageA(&message, NULL, 0, 0);
        },
        ::testing::ExitedWithCode(3), "waits for a message, but none of its windows is open");
}

TEST_F(MessageTest, AWaitTheResponseFileCannotAnswerEndsTheRunWithCode3)
{
    HWND window = create_test_window();
    ShowWindow(window, SW_SHOW);
    EXPECT_EXIT(run_message_loop(), ::testing::ExitedWithCode(3),
                "no line left for the window \"Test\", which waits for the user");
}

}  // namespace
