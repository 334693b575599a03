// Whole runs of the built setup: the program group and the install key that
// a person sees with quorix-machine after a default install, after a second
// install, and after a run without the right to write the machine.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/scenario.h"

namespace {

const char* const ITEMS[][3] = {
    {"QRXMAN", "qrxman.exe", "36"},   {"QRXHLP", "qrxhlp.exe", "36"},  {"QRXDRV", "qrxdrv_w.exe", "6"},
    {"QRXTIF", "qrxtif_w.exe", "6"},  {"QRXIMG", "qrximg_w.exe", "6"}, {"QRXMOV", "qrxmov_w.exe", "6"},
    {"QRXAPS", "qrxaps_w.exe", "6"},  {"Overview", "readme.exe", "40"}, {"Readme", "readme.exe", "40"},
};

// What quorix-machine groups shows for the group of a directory.
std::string group_listing(const std::string& d)
{
    std::string out = "[QRXDVF] " + d + "\\quorix\n";
    for (const auto& item : ITEMS) {
        std::string command = d + "\\win\\" + item[1];
        if (std::string(item[0]) == "Overview") command += "  " + d + "\\quorix.inf";
        if (std::string(item[0]) == "Readme") command += "  " + d + "\\readme.dvf";
        out += std::string(item[0]) + "\t" + command + "\tprogman.exe\t" + item[2] + "\n";
    }
    return out;
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class RegisterScenario : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = scratch / "machine";
        // The folders the install tree makes before the group is created.
        std::filesystem::create_directories(root + "/drive_c/quorix");
        std::filesystem::create_directories(root + "/drive_c/other");
    }

    RunResult install(std::vector<std::string> answers, RunRequest request = {})
    {
        request.answers = std::move(answers);
        if (request.root.empty()) request.root = root;
        RunResult r = run_setup(request, scratch);
        EXPECT_EQ(r.exit_code, 0) << r.standard_error;
        return r;
    }

    // Runs quorix-machine on the machine and returns what it printed.
    std::string machine(const std::string& command)
    {
        std::string line = "SETUP_ROOT='" + root + "' '" + QUORIX_BIN_DIR + "/quorix-machine' " + command + " 2>&1";
        FILE* pipe = popen(line.c_str(), "r");
        std::string out;
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        EXPECT_EQ(pclose(pipe), 0) << out;
        return out;
    }

    TempDir scratch;
    std::string root;
};

TEST_F(RegisterScenario, ADefaultInstallLeavesTheGroupAndTheKey)
{
    RunResult r = install({"ok", "key enter", "ok"});
    EXPECT_EQ(machine("groups"), group_listing("c:\\quorix"));
    EXPECT_EQ(machine("reg"), "Windows Registry Editor Version 5.00\n\n"
                              "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n"
                              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorix]\n"
                              "\"Path\"=\"c:\\\\quorix\"\n"
                              "\"Version\"=\"8.2\"\n\n");
    std::string sequence;
    for (const auto& e : r.events("dde"))
        sequence += e["message"].get<std::string>() + (e["posted"].get<bool>() ? ":posted " : ":sent ");
    EXPECT_EQ(sequence, "INITIATE:sent ACK:sent EXECUTE:posted ACK:posted TERMINATE:posted ");
    EXPECT_EQ(r.events("msgbox").size(), 2u) << "the welcome and the closing notice, nothing between";
}

TEST_F(RegisterScenario, InstallingAgainReplacesTheGroupAndASecondDirectoryMovesIt)
{
    install({"ok", "key enter", "ok"});
    install({"ok", "key enter", "ok"});
    EXPECT_EQ(machine("groups"), group_listing("c:\\quorix")) << "replaced, not added to";

    // A value another program keeps in the key.
    std::string hive = root + "/HKEY_LOCAL_MACHINE.reg";
    std::string text = read_file(hive);
    text.insert(text.find("\"Version\""), "\"Licence\"=\"site\"\n");
    std::ofstream(hive) << text;

    install({"ok", "click edit", "type c:\\other\\", "click OK", "ok"});
    EXPECT_EQ(machine("groups"), group_listing("c:\\other\\"));
    std::string reg = machine("reg");
    EXPECT_NE(reg.find("\"Path\"=\"c:\\\\other\\\\\"\n"), std::string::npos) << reg;
    EXPECT_NE(reg.find("\"Version\"=\"8.2\"\n"), std::string::npos) << reg;
    EXPECT_NE(reg.find("\"Licence\"=\"site\"\n"), std::string::npos) << reg;
    EXPECT_FALSE(std::filesystem::exists(root + "/drive_c/quorix/quorix")) << "the old group file went";
}

TEST_F(RegisterScenario, WithoutTheRightToWriteTheMachineTheClosingNoticeStillComesAndNothingChanges)
{
    install({"ok", "key enter", "ok"});
    const std::string registry_before = read_file(root + "/HKEY_LOCAL_MACHINE.reg");
    const std::string groups_before = machine("groups");

    RunRequest request;
    request.root = root;
    // The unprivileged user reads the machine but may write only its trace.
    std::string traces = scratch / "traces";
    std::filesystem::create_directories(traces);
    chmod(traces.c_str(), 0777);
    request.environment["SETUP_TRACE"] = traces + "/trace.jsonl";
    chmod(scratch.path().c_str(), 0755);
    if (getuid() == 0) {
        if (access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv (util-linux) is needed to drop root";
        // A copy of the program that the unprivileged user may run wherever the checkout is.
        std::string program = scratch / "quorix-setup";
        std::filesystem::copy_file(QUORIX_SETUP_BINARY, program);
        chmod(program.c_str(), 0755);
        request.program = "/usr/bin/setpriv";
        request.arguments = {"--reuid=nobody", "--regid=nogroup", "--clear-groups", program};
    } else {
        chmod(root.c_str(), 0555);
        chmod((root + "/drive_c/quorix").c_str(), 0555);
    }
    // Not one file can be written either: each row of the copy is reported.
    std::vector<std::string> answers{"ok", "key enter"};
    answers.insert(answers.end(), 93, "ok");
    answers.push_back("ok");
    RunResult r = install(answers, request);
    chmod(root.c_str(), 0755);
    chmod((root + "/drive_c/quorix").c_str(), 0755);

    std::ifstream trace_file(traces + "/trace.jsonl");
    std::vector<nlohmann::json> trace;
    for (std::string line; std::getline(trace_file, line);) trace.push_back(nlohmann::json::parse(line));
    std::vector<nlohmann::json> boxes, registry_writes;
    for (const auto& e : trace) {
        if (e["event"] == "msgbox") boxes.push_back(e);
        if (e["event"] == "regset") registry_writes.push_back(e);
    }
    ASSERT_EQ(boxes.size(), 95u) << r.standard_error;
    for (size_t i = 1; i < 94; ++i) {
        EXPECT_EQ(boxes[i]["caption"], "Setup");
        EXPECT_EQ(boxes[i]["text"].get<std::string>().rfind("Cannot create file c:\\quorix\\", 0), 0u) << boxes[i];
    }
    EXPECT_EQ(boxes.back()["text"].get<std::string>().rfind("The installation of QUORIX is ready.", 0), 0u);
    EXPECT_TRUE(registry_writes.empty()) << "the key could not be opened, so nothing was written";
    EXPECT_EQ(read_file(root + "/HKEY_LOCAL_MACHINE.reg"), registry_before);
    EXPECT_EQ(machine("groups"), groups_before);
}

}  // namespace
