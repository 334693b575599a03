// A fresh machine for each test: the script front-end with the test's
// answers, a temporary machine folder, and the trace kept in memory.
#ifndef QUORIX_TESTS_SUPPORT_MACHINE_FIXTURE_H
#define QUORIX_TESTS_SUPPORT_MACHINE_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "frontends/frontend.h"
#include "machine.h"
#include "support/temp_dir.h"
#include "user/message_log.h"
#include "win32.h"

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override { start_with({}); }
    void TearDown() override { platform::stop_machine(0); }

    // Restarts the machine with these response-file lines (and options).
    void start_with(const std::vector<std::string>& answers, platform::Options options = {},
                    std::unique_ptr<platform::Frontend> frontend = nullptr);

    // The trace so far, one object an event.
    std::vector<nlohmann::json> trace() const;
    // The events of the trace with this name.
    std::vector<nlohmann::json> events(const std::string& name) const;

    TempDir machine_folder;
};

// A window class of the test's own whose procedure hands everything to
// DefWindowProcA and posts the quit message when its window is destroyed.
// Registered under the name given, once per machine.
void register_test_class(const char* name, WNDPROC procedure = nullptr);
HWND create_test_window(const char* class_name = "testwindow", DWORD style = WS_OVERLAPPEDWINDOW,
                        HWND parent = nullptr, int id = 0);
// Runs the message loop until the quit message; returns its exit code.
int run_message_loop();
// Fetches and dispatches messages until the input queued so far and what it
// posted have been handled.
void handle_pending_input();

// One expected message of a sequence table.
struct Expected {
    HWND window;
    UINT message;
    bool sent;
    std::optional<WPARAM> wparam = std::nullopt;
    std::optional<LPARAM> lparam = std::nullopt;
};

// Compares what reached window procedures with a sequence table, reporting the
// first difference and both whole lists. Only messages whose numbers appear in
// the table are compared, so a table names what it is about.
void expect_sequence(const std::vector<platform::LoggedMessage>& actual, const std::vector<Expected>& expected);

#endif
