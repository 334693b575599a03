// The Program Manager conversation as message-sequence tables: one server,
// two servers answering, no server, a server that never acknowledges the
// script, and a block that cannot be allocated.
#include <cstring>
#include <filesystem>

#include "faults.h"
#include "kernel/atoms.h"
#include "kernel/global_memory.h"
#include "register/instdde.h"
#include "setup/setup.h"
#include "shell/groups.h"
#include "shell/progman.h"
#include "support/machine_fixture.h"
#include "user/window.h"

namespace {

const char NO_ANSWER[] =
    "The program group QRXDVF could not be created,\nbecause the Program Manager did not answer.\n \n"
    "The files of QUORIX are installed; only the group is missing.";

// A server of the test's own: it answers every initiate, and records the
// other DDE messages it gets without answering them.
std::vector<UINT> test_server_got;

LRESULT CALLBACK test_server(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DDE_INITIATE) {
        SendMessageA((HWND)wparam, WM_DDE_ACK, (WPARAM)window, MAKELPARAM(GlobalAddAtomA("PROGMAN"), GlobalAddAtomA("PROGMAN")));
        return 0;
    }
    if (message >= WM_DDE_FIRST && message <= WM_DDE_LAST) test_server_got.push_back(message);
    return DefWindowProcA(window, message, wparam, lparam);
}

class InstddeTest : public MachineTest {
protected:
    // A fresh machine with the answers, the program's state as at start, and
    // the folder the install tree would have made.
    void prepare(const std::vector<std::string>& answers = {}, const char* directory = "c:\\quorix")
    {
        start_with(answers);
        register_test_class("instdde", instdde_proc);
        register_test_class("testserver", test_server);
        test_server_got.clear();
        dde_window = nullptr;
        dde_server = nullptr;
        dde_commands = nullptr;
        dde_commands_text = nullptr;
        app_atom = topic_atom = 0;
        ack_count = 0;
        std::strcpy(install_dir, directory);
        std::filesystem::create_directories(platform::machine_options().root + "/drive_c/quorix");
        progman = platform::shell::program_manager_window();
    }

    HWND add_test_server()
    {
        return CreateWindowExA(0, "testserver", "server", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    }

    // Runs the phase and returns what reached window procedures.
    std::vector<platform::LoggedMessage> run()
    {
        platform::start_message_log();
        EXPECT_EQ(run_instdde(), 0);
        return platform::stop_message_log();
    }

    // The handle the execute carried, from the record.
    static HGLOBAL executed_block(const std::vector<platform::LoggedMessage>& log)
    {
        for (const auto& m : log)
            if (m.message == WM_DDE_EXECUTE) return (HGLOBAL)m.lparam;
        return nullptr;
    }

    // The conversation left nothing behind: its atoms deleted (what remains
    // are the servers' own), its block freed, its window gone.
    void expect_released(HGLOBAL block, int server_atoms)
    {
        EXPECT_EQ(platform::atom_references("PROGMAN"), server_atoms);
        if (block) {
            EXPECT_FALSE(platform::global_block_exists(block));
        }
        EXPECT_FALSE(IsWindow(dde_window));
        EXPECT_EQ(dde_commands, nullptr);
    }

    std::vector<std::string> boxes() const
    {
        std::vector<std::string> texts;
        for (const auto& box : events("msgbox")) texts.push_back(box["text"]);
        return texts;
    }

    HWND progman = nullptr;
};

TEST_F(InstddeTest, OneServerGetsTheScriptAndOneTerminate)
{
    prepare();
    auto log = run();
    HWND dde = dde_window;
    ASSERT_NE(dde, nullptr);
    HGLOBAL block = executed_block(log);
    ASSERT_NE(block, nullptr);
    expect_sequence(log, {
                             {progman, WM_DDE_INITIATE, true, (WPARAM)dde},
                             {dde, WM_DDE_ACK, true, (WPARAM)progman},   // during the broadcast
                             {dde, WM_DDE_INITIATE, true, (WPARAM)dde},
                             {progman, WM_DDE_EXECUTE, false, (WPARAM)dde, (LPARAM)block},
                             {dde, WM_DDE_ACK, false, (WPARAM)progman},
                             {dde, WM_CLOSE, true},
                             {dde, WM_DESTROY, true},
                             {progman, WM_DDE_TERMINATE, false, (WPARAM)dde},
                         });
    expect_released(block, 2);
    EXPECT_EQ(ack_count, 2);
    EXPECT_EQ(dde_server, progman);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(events("window").size(), 1u) << "the DDE window is the only one made";
    EXPECT_TRUE(events("show").empty()) << "and it is never shown";

    std::vector<platform::shell::GroupEntry> groups;
    std::string error;
    ASSERT_TRUE(platform::shell::load_index(platform::machine_options().root, groups, error)) << error;
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].name, "QRXDVF");
}

TEST_F(InstddeTest, ARefusedScriptEndsTheSameWayAndSilently)
{
    prepare({}, "q:\\nowhere");
    auto log = run();
    EXPECT_EQ(ack_count, 2);
    EXPECT_TRUE(boxes().empty());
    expect_released(executed_block(log), 2);
    auto outcomes = events("progman");
    ASSERT_FALSE(outcomes.empty());
    EXPECT_NE(outcomes[0]["result"], "ok");
}

TEST_F(InstddeTest, WithTwoServersTheFirstGetsTheScriptAndTwoTerminatesAndTheSecondNothing)
{
    prepare();
    HWND second = add_test_server();
    auto log = run();
    HWND dde = dde_window;
    HGLOBAL block = executed_block(log);
    expect_sequence(log, {
                             {progman, WM_DDE_INITIATE, true, (WPARAM)dde},
                             {dde, WM_DDE_ACK, true, (WPARAM)progman},
                             {second, WM_DDE_INITIATE, true, (WPARAM)dde},
                             {dde, WM_DDE_ACK, true, (WPARAM)second},   // the close goes to a window not yet stored
                             {dde, WM_DDE_INITIATE, true, (WPARAM)dde},
                             {progman, WM_DDE_EXECUTE, false, (WPARAM)dde, (LPARAM)block},
                             {progman, WM_DDE_TERMINATE, false, (WPARAM)dde},
                             {dde, WM_DDE_ACK, false, (WPARAM)progman},   // the third closes the window
                             {dde, WM_CLOSE, true},
                             {dde, WM_DESTROY, true},
                             {progman, WM_DDE_TERMINATE, false, (WPARAM)dde},
                         });
    EXPECT_TRUE(test_server_got.empty());
    EXPECT_EQ(ack_count, 3);
    expect_released(block, 4);
}

TEST_F(InstddeTest, WithNoServerTheWindowClosesAtOnceWithOneBox)
{
    prepare({"ok"});
    DestroyWindow(progman);
    auto log = run();
    EXPECT_EQ(dde_window, nullptr) << "the window went during its own creation";
    HWND dde = (HWND)(uintptr_t)events("window").at(0)["hwnd"].get<long long>();
    expect_sequence(log, {
                             {dde, WM_DDE_INITIATE, true, (WPARAM)dde},
                             {dde, WM_CLOSE, true},
                             {dde, WM_DESTROY, true},
                         });
    EXPECT_EQ(boxes(), std::vector<std::string>{NO_ANSWER});
    EXPECT_EQ(events("msgbox")[0]["caption"], "ZKV Setup");
    EXPECT_EQ(platform::global_blocks_in_use(), 0u);
    expect_released(nullptr, 0);
}

TEST_F(InstddeTest, AServerThatNeverAcknowledgesTheScriptIsLeftAfterTenSeconds)
{
    prepare({"ok"});
    DestroyWindow(progman);
    HWND server = add_test_server();
    auto started = platform::now();
    auto log = run();
    HWND dde = dde_window;
    HGLOBAL block = executed_block(log);
    expect_sequence(log, {
                             {server, WM_DDE_INITIATE, true, (WPARAM)dde},
                             {dde, WM_DDE_ACK, true, (WPARAM)server},
                             {dde, WM_DDE_INITIATE, true, (WPARAM)dde},
                             {server, WM_DDE_EXECUTE, false, (WPARAM)dde, (LPARAM)block},
                             {dde, WM_TIMER, false, (WPARAM)DDE_TIMER_ID},
                             {dde, WM_CLOSE, true},
                             {dde, WM_DESTROY, true},
                             {server, WM_DDE_TERMINATE, false, (WPARAM)dde},
                         });
    EXPECT_GE(platform::now() - started, std::chrono::seconds(10));
    EXPECT_LT(platform::now() - started, std::chrono::seconds(11));
    EXPECT_EQ(boxes(), std::vector<std::string>{NO_ANSWER});
    EXPECT_EQ(test_server_got, (std::vector<UINT>{WM_DDE_EXECUTE, WM_DDE_TERMINATE}));
    expect_released(block, 2);
}

TEST_F(InstddeTest, ABlockThatCannotBeAllocatedGivesOneBoxAndNoDdeMessage)
{
    prepare({"ok"});
    platform::faults().global_alloc.arm();
    auto log = run();
    EXPECT_EQ(dde_window, nullptr);
    EXPECT_EQ(boxes(), std::vector<std::string>{"Not enough memory to create group"});
    EXPECT_TRUE(events("dde").empty());
    for (const auto& m : log) EXPECT_FALSE(m.message >= WM_DDE_FIRST && m.message <= WM_DDE_LAST) << m.message;
    EXPECT_EQ(platform::atom_references("PROGMAN"), 0);
    EXPECT_EQ(platform::global_blocks_in_use(), 0u);
}

}  // namespace
