#include "support/machine_fixture.h"

#include <cstdlib>
#include <set>
#include <sstream>
#include <unistd.h>

#include "trace/trace.h"
#include "user/input.h"
#include "user/window.h"

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorix-test.XXXXXX";
    char* made = mkdtemp(pattern.data());
    if (!made) std::abort();
    path_ = made;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Tests may leave folders without write permission behind.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

void MachineTest::start_with(const std::vector<std::string>& answers, platform::Options options,
                             std::unique_ptr<platform::Frontend> frontend)
{
    platform::stop_machine(0);
    options.root = machine_folder.path() + "/machine";
    options.ui = "script";
    options.script.clear();
    int number = 0;
    for (const std::string& line : answers) {
        platform::Action action;
        bool is_action = false;
        std::string error;
        ++number;
        ASSERT_TRUE(platform::parse_action(line, action, is_action, error)) << line << ": " << error;
        action.line = number;
        if (is_action) options.script.push_back(action);
    }
    std::string error;
    ASSERT_TRUE(platform::start_machine(options, error, std::move(frontend))) << error;
    platform::trace::open_memory();
}

std::vector<nlohmann::json> MachineTest::trace() const
{
    std::vector<nlohmann::json> result;
    for (const std::string& line : platform::trace::captured()) result.push_back(nlohmann::json::parse(line));
    return result;
}

std::vector<nlohmann::json> MachineTest::events(const std::string& name) const
{
    std::vector<nlohmann::json> result;
    for (nlohmann::json& event : trace())
        if (event["event"] == name) result.push_back(event);
    return result;
}

namespace {

LRESULT CALLBACK quit_on_destroy(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

void register_test_class(const char* name, WNDPROC procedure)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = procedure ? procedure : quit_on_destroy;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

HWND create_test_window(const char* class_name, DWORD style, HWND parent, int id)
{
    register_test_class("testwindow");
    return CreateWindowExA(0, class_name, "Test", style, 10, 20, 300, 200, parent, (HMENU)(INT_PTR)id,
                           GetModuleHandleA(NULL), NULL);
}

int run_message_loop()
{
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}

void handle_pending_input()
{
    MSG message;
    while (platform::input::pending() || !platform::user_state().posted.empty()) {
        if (GetMessageA(&message, NULL, 0, 0) <= 0) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

namespace {

std::string describe(HWND window, UINT message, bool sent, WPARAM wparam, LPARAM lparam)
{
    std::ostringstream out;
    out << "  " << (uintptr_t)window << " " << platform::message_name(message) << (sent ? " sent" : " posted")
        << " w=" << wparam << " l=" << lparam << "\n";
    return out.str();
}

}  // namespace

void expect_sequence(const std::vector<platform::LoggedMessage>& actual, const std::vector<Expected>& expected)
{
    std::set<UINT> named;
    for (const Expected& e : expected) named.insert(e.message);
    std::vector<platform::LoggedMessage> relevant;
    for (const platform::LoggedMessage& m : actual)
        if (named.count(m.message)) relevant.push_back(m);

    std::string expected_list, actual_list;
    for (const Expected& e : expected)
        expected_list += describe(e.window, e.message, e.sent, e.wparam.value_or(0), e.lparam.value_or(0));
    for (const platform::LoggedMessage& m : relevant)
        actual_list += describe(m.window, m.message, m.sent, m.wparam, m.lparam);

    size_t n = std::max(relevant.size(), expected.size());
    for (size_t i = 0; i < n; ++i) {
        bool same = i < relevant.size() && i < expected.size() && relevant[i].window == expected[i].window &&
                    relevant[i].message == expected[i].message && relevant[i].sent == expected[i].sent &&
                    (!expected[i].wparam || *expected[i].wparam == relevant[i].wparam) &&
                    (!expected[i].lparam || *expected[i].lparam == relevant[i].lparam);
        if (!same) {
            ADD_FAILURE() << "message " << i << " differs\nexpected:\n" << expected_list << "actual:\n" << actual_list;
            return;
        }
    }
}
