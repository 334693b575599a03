// Whole installs of the demo distribution by the built program, through the
// response file and the trace, checked file by file against the demo's
// originals as libmspack expands them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/scenario.h"
#include "win32.h"

namespace {

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The manifest's rows as the installed files' paths: (source, path below c:\quorix).
std::vector<std::pair<std::string, std::string>> installed_rows(const RunResult& r)
{
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& copy : r.events("copy")) {
        std::string dest = copy["dest"];
        std::string below = dest.substr(std::string("c:\\quorix\\").size());
        std::replace(below.begin(), below.end(), '\\', '/');
        rows.emplace_back(copy["source"], below);
    }
    return rows;
}

class InstallScenario : public ::testing::Test {
protected:
    RunResult run(std::vector<std::string> answers, const std::string& root = "",
                  std::map<std::string, std::string> environment = {})
    {
        RunRequest request;
        request.answers = std::move(answers);
        request.root = root;
        request.environment = std::move(environment);
        return run_setup(request, scratch);
    }

    TempDir scratch;
};

TEST_F(InstallScenario, TheDemoDistributionIsInstalledWholeAndAgainOverItself)
{
    std::string root = scratch / "machine";
    RunResult first = run({"ok", "key enter", "ok"}, root);
    ASSERT_EQ(first.exit_code, 0) << first.standard_error;
    EXPECT_EQ(first.standard_error, "");
    EXPECT_EQ(first.events("msgbox").size(), 2u) << "a clean install shows the welcome and closing boxes only";
    auto made = first.events("mkdir");
    ASSERT_EQ(made.size(), 8u);
    for (const auto& m : made) EXPECT_EQ(m["errno"], 0) << m["path"];

    auto rows = installed_rows(first);
    ASSERT_EQ(rows.size(), 93u);
    std::string quorix = root + "/drive_c/quorix/";
    for (const auto& [source, below] : rows) {
        SCOPED_TRACE(below);
        std::string installed = read_file(quorix + below);
        EXPECT_FALSE(installed.empty());
        EXPECT_TRUE(installed == demo_original(source)) << "differs from the expanded " << source;
    }
    size_t compressed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(demo_source_directory()))
        if (read_file(entry.path()).rfind("SZDD", 0) == 0) ++compressed;
    EXPECT_GE(compressed, 3u) << "the demo should hold compressed files";

    RunResult again = run({"ok", "key enter", "ok"}, root);
    ASSERT_EQ(again.exit_code, 0) << again.standard_error;
    EXPECT_EQ(again.events("msgbox").size(), 2u);
    for (const auto& m : again.events("mkdir")) EXPECT_EQ(m["errno"], EEXIST) << m["path"];
    for (const auto& copy : again.events("copy")) EXPECT_GE(copy["result"], 0) << copy["dest"];
    for (const auto& [source, below] : rows) EXPECT_TRUE(read_file(quorix + below) == demo_original(source));
}

TEST_F(InstallScenario, TheStartUpShowStateReachesTheCopyWindow)
{
    RunResult r = run({"ok", "click OK", "ok"}, "", {{"SETUP_SHOW", "SW_SHOWMINIMIZED"}});
    ASSERT_EQ(r.exit_code, 0) << r.standard_error;
    auto windows = r.events("window");
    auto shows = r.events("show");
    std::vector<nlohmann::json> copy_windows;
    for (const auto& w : windows)
        if (w["class"] == "instcopy") copy_windows.push_back(w);
    ASSERT_EQ(copy_windows.size(), 1u);
    int copy_window_shows = 0;
    for (const auto& s : shows) {
        if (s["hwnd"] != copy_windows[0]["hwnd"]) continue;
        EXPECT_EQ(s["cmd"], SW_SHOWMINIMIZED);
        ++copy_window_shows;
    }
    EXPECT_EQ(copy_window_shows, 1);
}

TEST_F(InstallScenario, AMissingSourceIsReportedAndTheRestInstalled)
{
    std::string source = scratch / "source";
    std::filesystem::copy(demo_source_directory(), source);
    std::filesystem::remove(source + "/dvflink.bat");
    RunRequest request;
    request.answers = std::vector<std::string>{"ok", "key enter", "ok", "ok", "ok"};
    request.directory = source;
    RunResult r = run_setup(request, scratch);
    ASSERT_EQ(r.exit_code, 0) << r.standard_error;
    auto boxes = r.events("msgbox");
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[1]["text"], "Cannot open file dvflink.bat");
    EXPECT_EQ(boxes[2]["text"], "Cannot open file dvflink.bat");
    EXPECT_EQ(boxes[1]["caption"], "Setup");
    EXPECT_EQ(boxes[3]["caption"], "QUORIX Setup");
    EXPECT_EQ(r.events("copy").size(), 91u);
    EXPECT_TRUE(std::filesystem::exists(r.root + "/drive_c/quorix/readme.dvf"));
    EXPECT_FALSE(std::filesystem::exists(r.root + "/drive_c/quorix/win/dvflink.bat"));
}

}  // namespace
